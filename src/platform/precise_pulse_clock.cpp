#include "platform/precise_pulse_clock.h"

#include <QThread>
#include <QTimer>

namespace quillon::platform {

PrecisePulseClock::PrecisePulseClock(QObject* parent)
    : PulseClock(parent), timer_(new QTimer(this)) {
    timer_->setSingleShot(true);
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, [this] { timeout(); });
}

void PrecisePulseClock::started() {
    ticks_ = 0;
    clock_.start();
    scheduleNext();
}

void PrecisePulseClock::stopped() {
    timer_->stop();
}

namespace {

// The event loop's timers have millisecond steps: wake this long before a deadline and wait
// out the rest on the monotonic clock, so a tick is on time to well under a millisecond.
constexpr qint64 spinNs = 1'500'000;

}  // namespace

qint64 PrecisePulseClock::dueNs() const {
    return (ticks_ + 1) * static_cast<qint64>(periodMs()) * 1'000'000;
}

void PrecisePulseClock::scheduleNext() {
    const qint64 waitNs = dueNs() - spinNs - clock_.nsecsElapsed();
    timer_->start(waitNs <= 0 ? 0 : static_cast<int>(waitNs / 1'000'000));
}

void PrecisePulseClock::timeout() {
    if (!running()) {
        return;
    }
    const qint64 due = dueNs();
    qint64 nowNs = clock_.nsecsElapsed();
    if (due - nowNs > spinNs) {
        scheduleNext();
        return;
    }
    while (nowNs < due) {
        QThread::yieldCurrentThread();
        nowNs = clock_.nsecsElapsed();
    }
    ++ticks_;
    lastLatenessNs_ = nowNs - due;
    if (deliverTick(static_cast<int>(nowNs / 1'000'000))) {
        scheduleNext();
    }
}

}  // namespace quillon::platform
