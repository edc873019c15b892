#include "platform/video_time_pulse_clock.h"

#include "platform/video_source.h"
#include "session/video_time.h"

namespace quillon::platform {

VideoTimePulseClock::VideoTimePulseClock(VideoSource& video, QObject* parent)
    : PulseClock(parent), video_(video) {}

void VideoTimePulseClock::started() {
    startUs_ = video_.frame().timeUs < 0 ? 0 : video_.frame().timeUs;
    ticks_ = 0;
    connection_ =
        connect(&video_, &VideoSource::framePresented, this, &VideoTimePulseClock::framePresented);
}

void VideoTimePulseClock::stopped() {
    disconnect(connection_);
}

void VideoTimePulseClock::framePresented() {
    const qint64 now = video_.frame().timeUs;
    if (now < 0) {
        return;
    }
    const int due = session::video_ticks_due(now, startUs_, periodMs());
    while (ticks_ < due) {
        ++ticks_;
        if (!deliverTick(ticks_ * periodMs())) {
            return;
        }
    }
}

}  // namespace quillon::platform
