#include <gtest/gtest.h>

#include <cmath>

#include "calibration/grid_check.h"
#include "calibration/solver.h"
#include "calibration_test_support.h"

using namespace quillon::calibration;
using namespace quillon::calibration::testing;

namespace {

// The corners of a screen rectangle on the slalom course.
CameraModel rectangle_slalom() {
    CameraModel m;
    set_point(m, 1, 12000, 2000, 0, 0);
    set_point(m, 2, 12000, 11000, 0, -259);
    set_point(m, 3, 3000, 2000, 2.5, 0);
    set_point(m, 4, 3000, 11000, 2.5, -259);
    return m;
}

}  // namespace

TEST(SolveGrid, MapsEveryReferenceCornerBothWays) {
    for (CameraModel model : {rectangle_slalom(), perspective_slalom()}) {
        ASSERT_FALSE(solve_grid(model));
        for (std::size_t i = 1; i <= 4; ++i) {
            const PlanePoint survey =
                model.screen_to_survey({model.screen_x[i], model.screen_y[i]});
            EXPECT_TRUE(close(survey.x, model.survey_x[i])) << "point " << i;
            EXPECT_TRUE(close(survey.y, model.survey_y[i])) << "point " << i;

            const PlanePoint screen =
                model.survey_to_screen({model.survey_x[i], model.survey_y[i]});
            EXPECT_TRUE(close(screen.x, model.screen_x[i])) << "point " << i;
            EXPECT_TRUE(close(screen.y, model.screen_y[i])) << "point " << i;
        }
    }
}

TEST(SolveGrid, InverseMappingUndoesTheForwardOneAwayFromTheCorners) {
    CameraModel model = perspective_slalom();
    ASSERT_FALSE(solve_grid(model));
    ASSERT_NE(model.c4, 0.0);  // a real perspective, not an affine map
    for (double X : {0.0, 1234.5, 7680.0, 15000.0}) {
        for (double Y : {500.0, 6000.0, 11519.0}) {
            const PlanePoint survey = model.screen_to_survey({X, Y});
            const PlanePoint back = model.survey_to_screen(survey);
            EXPECT_TRUE(close(back.x, X)) << X << "," << Y;
            EXPECT_TRUE(close(back.y, Y)) << X << "," << Y;
        }
    }
}

TEST(SolveGrid, SingularSystemKeepsTheCoefficientsAndSaysSo) {
    const struct {
        const char* name;
        CameraModel model;
    } cases[] = {
        {"two corners never marked",
         [] {
             CameraModel m = perspective_slalom();
             set_point(m, 3, 0, 0, 2.5, 0);
             set_point(m, 4, 0, 0, 2.5, -259);
             return m;
         }()},
        {"nothing marked at all", CameraModel{}},
        {"survey values that overflow the solve",
         [] {
             CameraModel m = perspective_slalom();
             set_point(m, 1, m.screen_x[1], m.screen_y[1], 1e306, 1e306);
             return m;
         }()},
    };
    for (const auto& c : cases) {
        CameraModel model = c.model;
        model.set_coefficients({1, 2, 3, 4, 5, 6, 7, 8});
        const auto message = solve_grid(model);
        ASSERT_TRUE(message) << c.name;
        EXPECT_EQ(message->text, "No Unique Solution - Re-enter data");
        EXPECT_EQ(message->title, "Error Message");
        EXPECT_EQ(message->style, MessageStyle::Exclamation);
        EXPECT_EQ(model.coefficients(), (std::array<double, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
    }
}

TEST(GaussJordan, TakesTheFirstNonZeroPivotHoweverSmall) {
    // A diagonal system whose first pivot is 1e-300: any tolerance would call it singular,
    // and a magnitude comparison would have swapped in the row below.
    SolveMatrix a{};
    for (int k = 1; k <= 8; ++k) {
        a[static_cast<std::size_t>(k)][static_cast<std::size_t>(k)] = 1;
        a[static_cast<std::size_t>(k)][9] = k;
    }
    a[1][1] = 1e-300;
    a[1][9] = 3e-300;
    a[2][1] = 1;  // larger, but below the first non-zero element
    ASSERT_TRUE(gauss_jordan(a));
    EXPECT_DOUBLE_EQ(a[1][9], 3);
    EXPECT_DOUBLE_EQ(a[2][9], 2 - 3.0);
    for (int k = 3; k <= 8; ++k) {
        EXPECT_EQ(a[static_cast<std::size_t>(k)][9], k);
    }
}

TEST(DistanceCalculation, IsTheDistanceFromTheJumpPointPlusTwoPointOne) {
    CameraModel model = perspective_slalom();
    ASSERT_FALSE(solve_grid(model));
    model.jump_survey_x = 2.5;
    model.jump_survey_y = -259;
    // The screen image of the jump point maps back onto it.
    const PlanePoint image = model.survey_to_screen({model.jump_survey_x, model.jump_survey_y});
    EXPECT_NEAR(model.jump_distance(image), 2.1, 1e-9);

    // With all coefficients zero every screen point maps to (0, 0).
    CameraModel blank;
    blank.jump_survey_x = 3;
    blank.jump_survey_y = 4;
    EXPECT_EQ(blank.screen_to_survey({777, 888}).x, 0);
    EXPECT_EQ(blank.screen_to_survey({777, 888}).y, 0);
    EXPECT_DOUBLE_EQ(blank.jump_distance({777, 888}), 5 + 2.1);
}

TEST(GridCheck, RatiosAndTheBackRatioWarning) {
    const struct {
        const char* upperLeft;
        const char* upperRight;
        const char* lowerLeft;
        const char* lowerRight;
        const char* widthPx;
        double front;
        double back;
        const char* warning;  // nullptr: none
    } cases[] = {
        // About 1.95 and 0.65.
        {"7000", "7100", "3000", "3300", "1024", 300 * 100.0 / 15360, 100 * 100.0 / 15360,
         "Warning - back ratio is  0% where  16% minimum is required"},
        {"1000", "3560", "0", "300", "1024", 300 * 100.0 / 15360, 100.0 / 6, nullptr},
        {" 1000", "3559", "0", "300", "1024", 300 * 100.0 / 15360, 2559 * 100.0 / 15360,
         "Warning - back ratio is  16% where  16% minimum is required"},
        // Right of left or left of right: the widths count either way.
        {"3000", "1050", "auto", "2.50m", "1024", 2.5 * 100 / 15360, 1950 * 100.0 / 15360,
         "Warning - back ratio is  12% where  16% minimum is required"},
        {"0", "6000", "0", "9000", "800", 9000 * 100.0 / 12000, 50, nullptr},
    };
    for (const auto& c : cases) {
        CameraModel model;
        const auto warning =
            grid_check(model, c.upperLeft, c.upperRight, c.lowerLeft, c.lowerRight, c.widthPx);
        EXPECT_DOUBLE_EQ(model.front_ratio, c.front) << c.upperLeft;
        EXPECT_DOUBLE_EQ(model.back_ratio, c.back) << c.upperLeft;
        if (c.warning == nullptr) {
            EXPECT_FALSE(warning) << c.upperLeft;
        } else {
            ASSERT_TRUE(warning) << c.upperLeft;
            EXPECT_EQ(warning->text, c.warning);
            EXPECT_EQ(warning->title, "Quillon");
            EXPECT_EQ(warning->style, MessageStyle::Ok);
        }
    }
}
