#include "platform/precise_pulse_clock.h"

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

void PrecisePulseClock::scheduleNext() {
    const qint64 dueNs = (ticks_ + 1) * static_cast<qint64>(periodMs()) * 1'000'000;
    const qint64 waitNs = dueNs - clock_.nsecsElapsed();
    // Round up: a timer that fires early would only have to wait again.
    timer_->start(waitNs <= 0 ? 0 : static_cast<int>((waitNs + 999'999) / 1'000'000));
}

void PrecisePulseClock::timeout() {
    if (!running()) {
        return;
    }
    const qint64 dueNs = (ticks_ + 1) * static_cast<qint64>(periodMs()) * 1'000'000;
    const qint64 nowNs = clock_.nsecsElapsed();
    if (nowNs < dueNs) {
        scheduleNext();
        return;
    }
    ++ticks_;
    lastLatenessNs_ = nowNs - dueNs;
    if (deliverTick(static_cast<int>(nowNs / 1'000'000))) {
        scheduleNext();
    }
}

}  // namespace quillon::platform
