#include "platform/pulse_clock.h"

namespace quillon::platform {

void PulseClock::setRunning(bool running) {
    if (running == running_) {
        return;
    }
    running_ = running;
    if (running_) {
        started();
    } else {
        stopped();
    }
}

bool PulseClock::deliverTick(int milliseconds) {
    if (!running_) {
        return false;
    }
    if (periodic_ == 0) {
        setRunning(false);
    }
    emit Timer(milliseconds);
    return running_;
}

}  // namespace quillon::platform
