#pragma once

#include <opencv2/core.hpp>
#include <opencv2/video/tracking.hpp>

#include "tracking/boat_tracker.h"
#include "tracking/pass_geometry.h"

namespace quillon::tracking {

// One of OpenCV's general-purpose correlation-filter trackers (contrib tracking module) behind
// the boat tracker's interface, to be measured against the template tracker on the same passes.
// It starts on a box centred on the operator's click, as large as the mark with the windshield
// or deck around it at the boat's expected distance (the camera model at the start row), and
// reports the centre of the box it follows. Beyond the start it knows nothing of the camera
// model or the speed: KCF keeps the box's size for the whole pass, CSRT rescales it itself.
class OpenCvTracker : public BoatTracker {
  public:
    enum class Kind { Csrt, Kcf };

    explicit OpenCvTracker(Kind kind) : kind_(kind) {}

    StartRefusal start(const FrameView& frame, const TrackStart& start) override;
    TrackResult track(const FrameView& frame) override;
    TrackResult startPosition() const override { return startResult_; }

  private:
    TrackResult result(const cv::Rect& box) const;

    Kind kind_;
    cv::Ptr<cv::Tracker> tracker_;
    cv::Mat bgr_;  // the frame without its padding byte, reused from frame to frame
    TrackResult startResult_;
};

}  // namespace quillon::tracking
