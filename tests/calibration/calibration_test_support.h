#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "calibration/camera_model.h"
#include "course/reference_course.h"
#include "support/temp_folder.h"

namespace quillon::calibration::testing {

// Sets point i (1..4) of the model.
inline void set_point(CameraModel& m, std::size_t i, double sx, double sy, double ux, double uy) {
    m.screen_x[i] = sx;
    m.screen_y[i] = sy;
    m.survey_x[i] = ux;
    m.survey_y[i] = uy;
}

// The slalom course seen in perspective: the far gate narrow near the top of the screen, the
// near gate wide near the bottom. Points in the order upper right, lower right, upper left,
// lower left.
inline CameraModel perspective_slalom() {
    const auto buoys = course::reference_buoys(course::Discipline::Slalom);
    CameraModel m;
    set_point(m, 1, 8200, 3000, buoys.upperRight.x, buoys.upperRight.y);
    set_point(m, 2, 12300, 11000, buoys.lowerRight.x, buoys.lowerRight.y);
    set_point(m, 3, 7100, 3050, buoys.upperLeft.x, buoys.upperLeft.y);
    set_point(m, 4, 2900, 11200, buoys.lowerLeft.x, buoys.lowerLeft.y);
    m.jump_survey_x = 1.25;
    m.jump_survey_y = -300;
    return m;
}

// True when a and b agree to `relative` of the larger magnitude (or of 1 near zero).
inline ::testing::AssertionResult close(double a, double b, double relative = 1e-9) {
    const double scale = std::fmax(1.0, std::fmax(std::fabs(a), std::fabs(b)));
    if (std::fabs(a - b) <= relative * scale) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << a << " and " << b << " differ";
}

using TempFolder = test_support::InTempFolder;

}  // namespace quillon::calibration::testing
