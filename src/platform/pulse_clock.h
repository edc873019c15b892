#pragma once

#include <QObject>

namespace quillon::platform {

// A periodic high-resolution timer raising `Timer` on the user-interface thread while
// `running` is true: the first tick one period after the start, one tick at a time, and none
// after `running` becomes false.
class PulseClock : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;

    bool running() const { return running_; }
    void setRunning(bool running);

    int periodMs() const { return periodMs_; }
    void setPeriodMs(int milliseconds) { periodMs_ = milliseconds < 1 ? 1 : milliseconds; }
    int resolutionMs() const { return resolutionMs_; }
    void setResolutionMs(int milliseconds) { resolutionMs_ = milliseconds; }
    // 1: tick every period; 0: tick once, then stop.
    int periodic() const { return periodic_; }
    void setPeriodic(int periodic) { periodic_ = periodic; }

  signals:
    // The argument is the time since the start in milliseconds.
    void Timer(int lMilliseconds);

  protected:
    virtual void started() = 0;
    virtual void stopped() = 0;
    // Raises one tick; false when a handler stopped the clock meanwhile.
    bool deliverTick(int milliseconds);

  private:
    bool running_ = false;
    int periodMs_ = 100;
    int resolutionMs_ = 1;
    int periodic_ = 1;
};

// Makes the clocks a screen owns.
class PulseClockFactory {
  public:
    virtual ~PulseClockFactory() = default;
    virtual PulseClock* create(QObject* parent) = 0;
};

}  // namespace quillon::platform
