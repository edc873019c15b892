#pragma once

#include <QList>

#include "platform/pulse_clock.h"

namespace quillon::testing {

// Ticks only when the test says.
class FakePulseClock : public platform::PulseClock {
    Q_OBJECT

  public:
    using PulseClock::PulseClock;
    // One tick, if running; false when the clock is (or was meanwhile) stopped.
    bool tick() {
        elapsedMs += periodMs();
        return deliverTick(elapsedMs);
    }
    int starts = 0;
    int elapsedMs = 0;

  protected:
    void started() override {
        ++starts;
        elapsedMs = 0;
    }
    void stopped() override {}
};

class FakePulseClockFactory : public platform::PulseClockFactory {
  public:
    platform::PulseClock* create(QObject* parent) override {
        auto* clock = new FakePulseClock(parent);
        clocks.append(clock);
        return clock;
    }
    QList<FakePulseClock*> clocks;
};

}  // namespace quillon::testing
