#pragma once

#include <QElapsedTimer>

#include "platform/pulse_clock.h"

class QTimer;

namespace quillon::platform {

// Tick k falls due at start + k x period on a monotonic clock, and each wait is computed from
// that deadline, so a late tick never delays the ones after it: lateness does not accumulate
// over a pass. A tick that could not be delivered on time (a handler ran long) is delivered
// as soon as the thread is free, one at a time. The last stretch before each deadline is
// waited out on the monotonic clock, since the event loop's timers only step in milliseconds.
class PrecisePulseClock : public PulseClock {
    Q_OBJECT

  public:
    explicit PrecisePulseClock(QObject* parent = nullptr);

    // Nanoseconds between the deadline and the delivery of the last tick.
    qint64 lastLatenessNs() const { return lastLatenessNs_; }

  protected:
    void started() override;
    void stopped() override;

  private:
    qint64 dueNs() const;
    void scheduleNext();
    void timeout();

    QTimer* timer_;
    QElapsedTimer clock_;
    qint64 ticks_ = 0;
    qint64 lastLatenessNs_ = 0;
};

class PrecisePulseClockFactory : public PulseClockFactory {
  public:
    PulseClock* create(QObject* parent) override { return new PrecisePulseClock(parent); }
};

}  // namespace quillon::platform
