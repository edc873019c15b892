#include "tracking/pass_geometry.h"

#include <cmath>

#include "course/reference_course.h"

namespace quillon::tracking {

namespace {

constexpr double twipsPerPixel = 15;

}  // namespace

PassGeometry::PassGeometry(const calibration::CameraModel& model, const FrameOnSurface& placement,
                           const course::PassDescription& pass, std::int64_t passStartUs)
    : model_(model),
      placement_(placement),
      direction_(pass.direction),
      speedMs_(course::speed_kmh(pass) / 3.6),
      pathCentreX_(course::measured_path_centre_x(pass.discipline)),
      startUs_(passStartUs) {}

FramePoint PassGeometry::toFrame(double surveyX, double surveyY) const {
    const calibration::PlanePoint screen = model_.survey_to_screen({surveyX, surveyY});
    return {(screen.x / twipsPerPixel - placement_.left) / placement_.scale,
            (screen.y / twipsPerPixel - placement_.top) / placement_.scale};
}

double PassGeometry::expectedSurveyY(std::int64_t timeUs) const {
    const double d = speedMs_ * static_cast<double>(timeUs - startUs_) / 1e6;
    return course::pass_row_y(direction_, d);
}

ExpectedBoat PassGeometry::expected(std::int64_t timeUs) const {
    ExpectedBoat boat;
    boat.surveyY = expectedSurveyY(timeUs);
    boat.centre = toFrame(pathCentreX_, boat.surveyY);
    const FramePoint left = toFrame(pathCentreX_ - 0.5, boat.surveyY);
    const FramePoint right = toFrame(pathCentreX_ + 0.5, boat.surveyY);
    boat.pixelsPerMetre = std::hypot(right.x - left.x, right.y - left.y);
    return boat;
}

}  // namespace quillon::tracking
