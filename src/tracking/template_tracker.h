#pragma once

#include <opencv2/core.hpp>

#include "tracking/boat_tracker.h"
#include "tracking/pass_geometry.h"

namespace quillon::tracking {

// The mark followed by normalised cross-correlation in a "boat frame": every frame's search
// window is resampled so that one metre across the course spans the same number of pixels,
// whatever the boat's distance, so one template serves the whole pass. The window is put where
// the camera model and the speed expect the boat, corrected by what the last frames showed.
// The match is refined to a sub-pixel peak, and the column to the axis about which the boat,
// seen from a camera on the course line, is mirror-symmetric: the mark's own centre.
class TemplateTracker : public BoatTracker {
  public:
    StartRefusal start(const FrameView& frame, const TrackStart& start) override;
    TrackResult track(const FrameView& frame) override;
    TrackResult startPosition() const override { return startResult_; }
    StartRefusal resume(const FrameView& frame, double markX, double markY) override;

  private:
    struct Found {
        double x = 0;  // frame pixels
        double y = 0;
        double confidence = 0;
    };
    Found search(const cv::Mat& frame, const ExpectedBoat& boat, double predictedX,
                 double predictedY, double halfWidthM, double halfHeightM);
    TrackResult result(double x, double y, double confidence, double pixelsPerMetre) const;
    // How far across the course the boat can have moved by `timeUs` since it was last seen.
    double lateralReach(std::int64_t timeUs) const;

    PassGeometry geometry_;
    cv::Mat template_;  // CV_32FC3, boat-frame pixels
    TrackResult startResult_;
    // What the last found frame showed, in metres, so that it scales with the distance: the
    // mark's offset from the path centre and its height above the expected water row.
    double lateralM_ = 0;
    double riseM_ = 0;
    int lostFrames_ = 0;
    // The video time of the last frame the mark was found on.
    std::int64_t lastFoundUs_ = 0;
    // Half the width of the lane the boat can be in, beside the path centre, in metres.
    double laneHalfWidthM_ = 0;
};

}  // namespace quillon::tracking
