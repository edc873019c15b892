#pragma once

#include <cmath>

#include "tracking/boat_tracker.h"

namespace quillon::testing {

// A tracker that "finds" the mark where a test says it is on each frame: at x = startX + step
// pixels per frame of 30 frames per second after the frame it started on, on the row it
// started on, and loses it from frame `lostFrom` on.
class FakeBoatTracker : public tracking::BoatTracker {
  public:
    struct Script {
        double step = 0.5;
        int lostFrom = 1 << 30;
    };
    explicit FakeBoatTracker(Script script) : script_(script) {}

    static int frame_of(std::int64_t timeUs) {
        return static_cast<int>(std::lround(timeUs * 30e-6));
    }

    tracking::StartRefusal start(const tracking::FrameView& frame,
                                 const tracking::TrackStart& start) override {
        if (start.markX < 0 || start.markY < 0 || start.markX >= frame.width ||
            start.markY >= frame.height) {
            return tracking::StartRefusal::OutsideFrame;
        }
        startFrame_ = frame_of(frame.timeUs);
        origin_ = {true, start.markX, start.markY, 1, 12, 8};
        return tracking::StartRefusal::None;
    }
    tracking::TrackResult track(const tracking::FrameView& frame) override {
        const int index = frame_of(frame.timeUs);
        if (index >= script_.lostFrom) {
            return {};
        }
        tracking::TrackResult at = origin_;
        at.x += script_.step * (index - startFrame_);
        return at;
    }
    tracking::TrackResult startPosition() const override { return origin_; }

  private:
    Script script_;
    int startFrame_ = 0;
    tracking::TrackResult origin_;
};

}  // namespace quillon::testing
