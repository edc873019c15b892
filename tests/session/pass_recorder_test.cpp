#include "session/pass_recorder.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace quillon;
using namespace quillon::session;
using course::Direction;
using course::Discipline;

namespace {

// A camera looking straight down: survey x = (X - 4096) / 1024 and y = (1000 - Y) / 16, so
// every mapping is exact.
double screen_x(double surveyX) {
    return 4096 + 1024 * surveyX;
}
double screen_y(double surveyY) {
    return 1000 - 16 * surveyY;
}

struct Recording {
    Recording() {
        session.calibration.model.set_coefficients({-4.0, 1.0 / 1024, 0, 0, 0, 62.5, 0, -1.0 / 16});
    }
    PassSession session;
    PassRecorder recorder{session};
};

course::PassDescription pass_of(Discipline discipline, Direction direction) {
    course::PassDescription pass;
    pass.discipline = discipline;
    pass.direction = direction;
    return pass;
}

}  // namespace

TEST(PassRecorder, AWholePassAt58StoresEverySampleAtItsRow) {
    for (const Direction direction : {Direction::Towards, Direction::Away}) {
        Recording r;
        const auto pass = pass_of(Discipline::Slalom, direction);
        const double startY = direction == Direction::Towards ? 0.0 : -259.0;
        const MarkerRow start = r.recorder.activate(pass, false, 2.0, 0.5);
        EXPECT_EQ(start.y, screen_y(startY));
        EXPECT_EQ(start.centreX(), screen_x(1.25));
        EXPECT_EQ(start.x2() - start.x1(), 800);

        EXPECT_EQ(r.recorder.start(pass, screen_x(1.25)), 0);
        EXPECT_EQ(r.session.lastSampleIndex, 161);
        EXPECT_EQ(r.session.passSpeedText, "58");
        EXPECT_EQ(r.session.passLineText, "11.25");
        int steps = 0;
        MarkerRow pollRow = start;
        while (true) {
            // The operator holds the line k centimetres right of the centre for sample k.
            const int k = r.session.sampleIndex;
            EXPECT_EQ(r.recorder.row().y, pollRow.y) << k;
            const double deviation = r.recorder.poll(screen_x(1.25 + k / 100.0)).deviation;
            const auto step = r.recorder.step(deviation_text(deviation));
            ASSERT_TRUE(step);
            ++steps;
            EXPECT_EQ(step->index, k);
            const double d = static_cast<double>(k) / 161 * 259.0;
            EXPECT_EQ(step->distance, std::floor(d * 10 + 0.5) / 10);
            // Sample 0 puts the marker back on the start row, so sample 1 is taken there too.
            const double expectedY = direction == Direction::Towards ? -d : d - 259;
            EXPECT_NEAR(step->row.y, screen_y(expectedY), 1e-9) << k;
            pollRow = step->row;
            if (step->ended) {
                break;
            }
        }
        EXPECT_EQ(steps, 162);
        EXPECT_EQ(r.session.sampleIndex, 162);
        EXPECT_EQ(r.session.samples[0], 0);
        EXPECT_EQ(r.session.samples[1], 0.01);
        EXPECT_EQ(r.session.samples[161], 1.61);
        EXPECT_EQ(r.session.passMeasured, 1);
        EXPECT_EQ(r.session.passSampleCount, 162);
        EXPECT_EQ(r.session.passMaxAbsIndex, 161);
        EXPECT_DOUBLE_EQ(r.session.passMaxAbsDeviation, 1.61);
    }
}

TEST(PassRecorder, NoStepBeforeAPassStarts) {
    Recording r;
    r.recorder.activate(pass_of(Discipline::Slalom, Direction::Towards), false, 2, 0.5);
    EXPECT_FALSE(r.recorder.step("0.5"));
    EXPECT_EQ(r.session.samples[0], 0);
}

TEST(PassRecorder, TheDeviationIsToTheCentimetreHalvesUp) {
    const struct {
        double offset;
        double deviation;
        const char* text;
    } cases[] = {{0.125, 0.13, "0.13"}, {-0.125, -0.12, "-0.12"}, {0.07, 0.07, "0.07"},
                 {0.0, 0.0, "0"},       {-0.004, 0.0, "0"},       {0.3751, 0.38, "0.38"}};
    Recording r;
    r.recorder.activate(pass_of(Discipline::Slalom, Direction::Towards), false, 2, 0.5);
    for (const auto& c : cases) {
        const PollReading reading = r.recorder.poll(screen_x(1.25 + c.offset));
        EXPECT_EQ(reading.deviation, c.deviation) << c.offset;
        EXPECT_EQ(deviation_text(reading.deviation), c.text);
        EXPECT_EQ(reading.surveyY, 0);
    }
}

TEST(PassRecorder, JumpGeometryAndTheViewOnlyFlip) {
    Recording r;
    const auto jump = pass_of(Discipline::Jump, Direction::Towards);
    r.recorder.activate(jump, false, 3.0, 0.5);
    EXPECT_EQ(r.recorder.pathCentreX(), 2.0);  // the split path unless view only
    EXPECT_EQ(r.recorder.courseLength(), 280);
    EXPECT_EQ(r.recorder.boundaryDistance(), 0.5);
    r.recorder.activate(jump, true, 3.0, 0.7);
    EXPECT_EQ(r.recorder.pathCentreX(), 3.0);
    EXPECT_EQ(r.recorder.boundaryDistance(), 0.7);
    r.recorder.activate(pass_of(Discipline::Slalom, Direction::Away), true, 3.0, 0.7);
    EXPECT_EQ(r.recorder.pathCentreX(), 1.25);
    EXPECT_EQ(r.recorder.boundaryDistance(), 0.2);

    const struct {
        Discipline discipline;
        Direction before;
        Direction after;
    } flips[] = {{Discipline::Slalom, Direction::Towards, Direction::Away},
                 {Discipline::Slalom, Direction::Away, Direction::Towards},
                 {Discipline::Jump, Direction::Towards, Direction::Towards},
                 {Discipline::Jump, Direction::Away, Direction::Towards}};
    for (const auto& flip : flips) {
        EXPECT_EQ(direction_after_view_only(pass_of(flip.discipline, flip.before)), flip.after);
    }
}

TEST(PassRecorder, MarkersFollowTheBoatAndBarsStayOnThePathLimits) {
    Recording r;
    r.recorder.activate(pass_of(Discipline::Slalom, Direction::Towards), false, 2, 0.5);
    const MarkerPlacement placed = r.recorder.markers(1.5, -100, 2.2, 2);
    EXPECT_EQ(placed.leftEdgeX, screen_x(1.5 - 1.1));
    EXPECT_EQ(placed.rightEdgeX, screen_x(1.5 + 1.1));
    EXPECT_EQ(placed.leftBarX, screen_x(1.25 - 1.1 - 0.2) + 15 + 15);
    EXPECT_EQ(placed.rightBarX, screen_x(1.25 + 1.1 + 0.2) - 15);
}
