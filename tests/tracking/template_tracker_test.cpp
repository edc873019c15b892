#include "tracking/template_tracker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "tracking/pass_geometry.h"

using namespace quillon;

namespace {

// A camera looking straight down: survey x = (X - 4096) / 1024 and y = (1000 - Y) / 16 in
// twips, so on a frame shown unscaled a metre across the course is 1024 / 15 = 68.3 pixels
// and the start of the course (y = 0) is row 1000 / 15 = 66.7.
calibration::CameraModel straight_down() {
    calibration::CameraModel model;
    model.set_coefficients({-4.0, 1.0 / 1024, 0, 0, 0, 62.5, 0, -1.0 / 16});
    return model;
}

course::PassDescription slalom_towards() {
    course::PassDescription pass;
    pass.discipline = course::Discipline::Slalom;
    pass.direction = course::Direction::Towards;
    return pass;
}

constexpr int width = 480;
constexpr int height = 400;

// A grey water frame with a boat: a dark deck 1.6 m wide, and on it a light mark 8 cm wide
// centred at `markX` (pixel i spans i to i + 1, so the tracker, which counts pixel centres,
// finds it at markX - 0.5), rows `top` to `top + 26`. Without `showMark` the boat is hidden
// (spray over it).
std::vector<std::uint8_t> frame_pixels(double markX, int top, bool showMark) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4, 120);
    auto paint = [&](double left, double right, int from, int to, std::uint8_t level) {
        for (int y = from; y < to; ++y) {
            for (int x = 0; x < width; ++x) {
                // Coverage of the pixel by [left, right), so a sub-pixel position shows.
                const double cover =
                    std::clamp(std::min(right, x + 1.0) - std::max(left, double(x)), 0.0, 1.0);
                if (cover > 0) {
                    for (int c = 0; c < 3; ++c) {
                        auto& v = pixels[(static_cast<std::size_t>(y) * width + x) * 4 + c];
                        v = static_cast<std::uint8_t>(std::lround(v * (1 - cover) + level * cover));
                    }
                }
            }
        }
    };
    if (!showMark) {
        paint(markX - 80, markX + 80, top - 40, top + 66, 235);  // spray: bright and flat
        return pixels;
    }
    const double ppm = 1024.0 / 15;
    paint(markX - 0.8 * ppm, markX + 0.8 * ppm, top - 14, top + 40, 40);
    paint(markX - 0.04 * ppm, markX + 0.04 * ppm, top, top + 26, 220);
    return pixels;
}

tracking::FrameView view(const std::vector<std::uint8_t>& pixels, std::int64_t timeUs) {
    return {width, height, width * 4, pixels.data(), timeUs};
}

}  // namespace

// What the camera model says on the frame: the path centre at the boat's expected row, how
// many pixels a metre spans there, and the boat's expected course position from the speed.
TEST(PassGeometry, ExpectedBoatFromTheModelAndTheSpeed) {
    const tracking::PassGeometry geometry(straight_down(), {}, slalom_towards(), 1'000'000);
    const tracking::ExpectedBoat start = geometry.expected(1'000'000);
    EXPECT_DOUBLE_EQ(start.surveyY, 0);
    EXPECT_NEAR(start.centre.x, (4096 + 1024 * 1.25) / 15, 1e-9);
    EXPECT_NEAR(start.centre.y, 1000.0 / 15, 1e-9);
    EXPECT_NEAR(start.pixelsPerMetre, 1024.0 / 15, 1e-9);
    // 58 km/h for one second toward the camera: 16.1 m down the course.
    EXPECT_NEAR(geometry.expectedSurveyY(2'000'000), -58 / 3.6, 1e-9);
    course::PassDescription away = slalom_towards();
    away.direction = course::Direction::Away;
    const tracking::PassGeometry going(straight_down(), {0.5, 10, 2}, away, 0);
    EXPECT_NEAR(going.expectedSurveyY(1'000'000), -259 + 58 / 3.6, 1e-9);
    // A frame shown twice as large, 10 pixels down: half the frame pixels per twip.
    EXPECT_NEAR(going.toFrame(1.25, 0).y, (1000.0 / 15 - 10) / 2, 1e-9);
}

// The template tracker centres a click a few pixels off onto the mark's axis, follows the mark
// to a fraction of a pixel, reports a frame where the mark is hidden as not found, takes the
// mark back when it shows again where the boat can be, and refuses one that jumped farther
// across than a boat moves.
TEST(TemplateTracker, CentresFollowsLosesAndTakesTheMarkBack) {
    tracking::TemplateTracker tracker;
    tracking::TrackStart start;
    start.model = straight_down();
    start.pass = slalom_towards();
    start.passStartUs = 0;
    const double centre = (4096 + 1024 * 1.25) / 15;  // the path centre's column
    const int top = 50;
    auto pixels = frame_pixels(centre, top, true);
    start.markX = centre + 3;
    start.markY = top + 13;
    ASSERT_EQ(tracker.start(view(pixels, 0), start), tracking::StartRefusal::None);
    EXPECT_NEAR(tracker.startPosition().x, centre - 0.5, 0.2);

    // The boat drifts 0.3 px a frame at 25 frames a second (0.11 m/s across).
    double markX = centre;
    for (int frame = 1; frame <= 20; ++frame) {
        markX += 0.3;
        pixels = frame_pixels(markX, top, true);
        const tracking::TrackResult found = tracker.track(view(pixels, frame * 40'000));
        ASSERT_TRUE(found.found) << frame;
        EXPECT_NEAR(found.x, markX - 0.5, 0.2) << frame;
    }
    pixels = frame_pixels(markX, top, false);
    EXPECT_FALSE(tracker.track(view(pixels, 21 * 40'000)).found);
    markX += 0.6;
    pixels = frame_pixels(markX, top, true);
    const tracking::TrackResult back = tracker.track(view(pixels, 22 * 40'000));
    ASSERT_TRUE(back.found);
    EXPECT_NEAR(back.x, markX - 0.5, 0.2);

    // 0.5 m across in one frame (12.5 m/s): not the boat's mark.
    pixels = frame_pixels(markX + 0.5 * 1024 / 15, top, true);
    EXPECT_FALSE(tracker.track(view(pixels, 23 * 40'000)).found);
}
