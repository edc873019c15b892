#include "calibration/camera_model.h"

#include <cmath>

namespace quillon::calibration {

std::array<double, 8> CameraModel::coefficients() const {
    return {c1, c2, c3, c4, c5, c6, c7, c8};
}

void CameraModel::set_coefficients(const std::array<double, 8>& c) {
    c1 = c[0];
    c2 = c[1];
    c3 = c[2];
    c4 = c[3];
    c5 = c[4];
    c6 = c[5];
    c7 = c[6];
    c8 = c[7];
}

void CameraModel::screen_to_survey() {
    const double X = pt_screen_x;
    const double Y = pt_screen_y;
    map_scratch = (c4 * X + c5 * Y) + 1;
    pt_survey_x = (c1 + c2 * X + c3 * Y) / map_scratch;
    pt_survey_y = (c6 + c7 * X + c8 * Y) / map_scratch;
}

void CameraModel::survey_to_screen() {
    const double x = pt_survey_x;
    const double y = pt_survey_y;
    map_scratch = x * (c5 * c7 - c4 * c8) + y * (c3 * c4 - c2 * c5) + (c2 * c8 - c3 * c7);
    pt_screen_x = (x * (c8 - c5 * c6) + y * (c1 * c5 - c3) + (c3 * c6 - c1 * c8)) / map_scratch;
    pt_screen_y = (x * (c4 * c6 - c7) + y * (c2 - c1 * c4) + (c1 * c7 - c2 * c6)) / map_scratch;
}

void CameraModel::distance_calculation() {
    screen_to_survey();
    const double dy = jump_survey_y - pt_survey_y;
    const double dx = jump_survey_x - pt_survey_x;
    jump_distance = std::sqrt(dy * dy + dx * dx) + jumpDistanceAddition;
}

PlanePoint CameraModel::screen_to_survey(PlanePoint screen) {
    pt_screen_x = screen.x;
    pt_screen_y = screen.y;
    screen_to_survey();
    return {pt_survey_x, pt_survey_y};
}

PlanePoint CameraModel::survey_to_screen(PlanePoint survey) {
    pt_survey_x = survey.x;
    pt_survey_y = survey.y;
    survey_to_screen();
    return {pt_screen_x, pt_screen_y};
}

}  // namespace quillon::calibration
