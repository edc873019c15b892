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

PlanePoint CameraModel::screen_to_survey(PlanePoint screen) const {
    const double X = screen.x;
    const double Y = screen.y;
    const double denominator = (c4 * X + c5 * Y) + 1;
    return {(c1 + c2 * X + c3 * Y) / denominator, (c6 + c7 * X + c8 * Y) / denominator};
}

PlanePoint CameraModel::survey_to_screen(PlanePoint survey) const {
    const double x = survey.x;
    const double y = survey.y;
    const double determinant =
        x * (c5 * c7 - c4 * c8) + y * (c3 * c4 - c2 * c5) + (c2 * c8 - c3 * c7);
    return {(x * (c8 - c5 * c6) + y * (c1 * c5 - c3) + (c3 * c6 - c1 * c8)) / determinant,
            (x * (c4 * c6 - c7) + y * (c2 - c1 * c4) + (c1 * c7 - c2 * c6)) / determinant};
}

double CameraModel::jump_distance(PlanePoint screen) const {
    const PlanePoint survey = screen_to_survey(screen);
    const double dy = jump_survey_y - survey.y;
    const double dx = jump_survey_x - survey.x;
    return std::sqrt(dy * dy + dx * dx) + jumpDistanceAddition;
}

}  // namespace quillon::calibration
