// The camera model's mappings are const functions of the model. They must give the very bits
// the register-based mappings they replaced gave: one ulp can move a sample across a half
// centimetre, and so change a report. The reference below is the former code, kept verbatim.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "calibration/solver.h"
#include "calibration_test_support.h"

using namespace quillon::calibration;
using namespace quillon::calibration::testing;

namespace {

// The former mappings: point registers written by the caller, read back after the call.
struct RegisterMappings {
    double c1 = 0, c2 = 0, c3 = 0, c4 = 0, c5 = 0, c6 = 0, c7 = 0, c8 = 0;
    double pt_screen_x = 0;
    double pt_screen_y = 0;
    double pt_survey_x = 0;
    double pt_survey_y = 0;
    double map_scratch = 0;
    double jump_survey_x = 0;
    double jump_survey_y = 0;
    double jump_distance = 0;

    void screen_to_survey() {
        const double X = pt_screen_x;
        const double Y = pt_screen_y;
        map_scratch = (c4 * X + c5 * Y) + 1;
        pt_survey_x = (c1 + c2 * X + c3 * Y) / map_scratch;
        pt_survey_y = (c6 + c7 * X + c8 * Y) / map_scratch;
    }

    void survey_to_screen() {
        const double x = pt_survey_x;
        const double y = pt_survey_y;
        map_scratch = x * (c5 * c7 - c4 * c8) + y * (c3 * c4 - c2 * c5) + (c2 * c8 - c3 * c7);
        pt_screen_x = (x * (c8 - c5 * c6) + y * (c1 * c5 - c3) + (c3 * c6 - c1 * c8)) / map_scratch;
        pt_screen_y = (x * (c4 * c6 - c7) + y * (c2 - c1 * c4) + (c1 * c7 - c2 * c6)) / map_scratch;
    }

    void distance_calculation() {
        screen_to_survey();
        const double dy = jump_survey_y - pt_survey_y;
        const double dx = jump_survey_x - pt_survey_x;
        jump_distance = std::sqrt(dy * dy + dx * dx) + jumpDistanceAddition;
    }
};

RegisterMappings registers_of(const CameraModel& model) {
    RegisterMappings r;
    const auto c = model.coefficients();
    r.c1 = c[0], r.c2 = c[1], r.c3 = c[2], r.c4 = c[3];
    r.c5 = c[4], r.c6 = c[5], r.c7 = c[6], r.c8 = c[7];
    r.jump_survey_x = model.jump_survey_x;
    r.jump_survey_y = model.jump_survey_y;
    return r;
}

bool same_bits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// Solved models: the two test courses, then the perspective course with its four screen
// points moved at random by up to 400 twips, a jump point anywhere near the course.
std::vector<CameraModel> solved_models() {
    std::vector<CameraModel> models;
    CameraModel square;
    set_point(square, 1, 12000, 2000, 0, 0);
    set_point(square, 2, 12000, 11000, 0, -259);
    set_point(square, 3, 3000, 2000, 2.5, 0);
    set_point(square, 4, 3000, 11000, 2.5, -259);
    models.push_back(square);
    models.push_back(perspective_slalom());
    std::mt19937_64 random(20261206);
    std::uniform_real_distribution<double> shift(-400, 400);
    std::uniform_real_distribution<double> jumpX(-5, 8);
    std::uniform_real_distribution<double> jumpY(-320, 20);
    for (int k = 0; k < 10; ++k) {
        CameraModel m = perspective_slalom();
        for (std::size_t i = 1; i <= CameraModel::pointCount; ++i) {
            m.screen_x[i] += shift(random);
            m.screen_y[i] += shift(random);
        }
        m.jump_survey_x = jumpX(random);
        m.jump_survey_y = jumpY(random);
        models.push_back(m);
    }
    for (CameraModel& m : models) {
        EXPECT_FALSE(solve_grid(m));
    }
    return models;
}

TEST(CameraMapping, GivesTheSameBitsAsTheRegisterMappings) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> screenX(-2000, 17000);
    std::uniform_real_distribution<double> screenY(-2000, 13000);
    std::uniform_real_distribution<double> surveyX(-10, 12);
    std::uniform_real_distribution<double> surveyY(-330, 40);
    long compared = 0;
    for (const CameraModel& model : solved_models()) {
        RegisterMappings old = registers_of(model);
        std::vector<PlanePoint> screens;
        std::vector<PlanePoint> surveys;
        for (double X = -1500; X <= 16500; X += 250) {  // a grid over the screen and beyond
            for (double Y = -1500; Y <= 12500; Y += 250) {
                screens.push_back({X, Y});
            }
        }
        for (double x = -8; x <= 10; x += 0.25) {  // a grid over the course and beyond
            for (double y = -320; y <= 30; y += 2.5) {
                surveys.push_back({x, y});
            }
        }
        for (int k = 0; k < 5000; ++k) {
            screens.push_back({screenX(random), screenY(random)});
            surveys.push_back({surveyX(random), surveyY(random)});
        }
        for (const PlanePoint& screen : screens) {
            old.pt_screen_x = screen.x;
            old.pt_screen_y = screen.y;
            old.distance_calculation();
            const PlanePoint survey = model.screen_to_survey(screen);
            ASSERT_TRUE(same_bits(survey.x, old.pt_survey_x)) << screen.x << "," << screen.y;
            ASSERT_TRUE(same_bits(survey.y, old.pt_survey_y)) << screen.x << "," << screen.y;
            ASSERT_TRUE(same_bits(model.jump_distance(screen), old.jump_distance))
                << screen.x << "," << screen.y;
            ++compared;
        }
        for (const PlanePoint& survey : surveys) {
            old.pt_survey_x = survey.x;
            old.pt_survey_y = survey.y;
            old.survey_to_screen();
            const PlanePoint screen = model.survey_to_screen(survey);
            ASSERT_TRUE(same_bits(screen.x, old.pt_screen_x)) << survey.x << "," << survey.y;
            ASSERT_TRUE(same_bits(screen.y, old.pt_screen_y)) << survey.x << "," << survey.y;
            ++compared;
        }
    }
    EXPECT_GT(compared, 200000);
}

}  // namespace
