#pragma once

#include <cstdint>

#include "calibration/camera_model.h"
#include "course/pass_description.h"
#include "course/reference_course.h"
#include "tracking/boat_tracker.h"

namespace quillon::tracking {

// A point in frame pixels.
struct FramePoint {
    double x = 0;
    double y = 0;
};

// What the calibration and the pass say about one video time: where on the frame the path
// centre is on the row of the boat's expected position, and how many frame pixels one metre
// across the course spans there.
struct ExpectedBoat {
    double surveyY = 0;
    FramePoint centre;
    double pixelsPerMetre = 0;
};

// The camera model seen from the video frame: survey metres to frame pixels through the
// drawing surface the calibration was marked on, and the boat's expected position from the
// speed and the time since Start Pass.
class PassGeometry {
  public:
    PassGeometry() = default;
    PassGeometry(const calibration::CameraModel& model, const FrameOnSurface& placement,
                 const course::PassDescription& pass, std::int64_t passStartUs);

    FramePoint toFrame(double surveyX, double surveyY) const;
    // Survey y of the boat at video time `timeUs`: the start of the course at Start Pass, then
    // the speed along the course in the pass's direction.
    double expectedSurveyY(std::int64_t timeUs) const;
    ExpectedBoat expected(std::int64_t timeUs) const;
    double pathCentreX() const { return pathCentreX_; }

  private:
    calibration::CameraModel model_;
    FrameOnSurface placement_;
    course::Direction direction_ = course::Direction::Towards;
    double speedMs_ = 0;
    double pathCentreX_ = course::slalomPathCentreX;
    std::int64_t startUs_ = 0;
};

}  // namespace quillon::tracking
