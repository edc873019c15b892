#include "session/pass_recorder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

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
            r.recorder.poll(screen_x(1.25 + k / 100.0));
            const auto step = r.recorder.step();
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

// The whole lifecycle through the recorder alone, with no widget: every transition, what
// a step does in each state, the tick counts, the times from the injected clock, and where
// each sample came from.
TEST(PassRecorder, LifecycleTable) {
    enum class Act { Activate, Start, StartViewOnly, Step, ToEnd, Tick, Abort, StopEarly };
    struct Expect {
        Act act;
        PassState state;
        int sampleIndex;
        bool stepTaken = false;  // for Step: a sample was stored
    };
    const int n = 161;
    const struct {
        const char* name;
        std::vector<Expect> acts;
    } scenarios[] = {
        {"a step before any pass stores nothing",
         {{Act::Activate, PassState::Idle, 0}, {Act::Step, PassState::Idle, 0, false}}},
        {"a measured pass ends after N + 1 samples; a step after the end does nothing",
         {{Act::Activate, PassState::Idle, 0},
          {Act::Start, PassState::Running, 0},
          {Act::Step, PassState::Running, 1, true},
          {Act::ToEnd, PassState::Ended, n + 1},
          {Act::Step, PassState::Ended, n + 1, false},
          {Act::Activate, PassState::Idle, n + 1}}},
        {"a view-only pass ends view-only; activation makes it idle",
         {{Act::StartViewOnly, PassState::Running, 0},
          {Act::ToEnd, PassState::EndedViewOnly, n + 1},
          {Act::Activate, PassState::Idle, n + 1}}},
        {"abort stops the pass; nothing more is stored",
         {{Act::Start, PassState::Running, 0},
          {Act::Step, PassState::Running, 1, true},
          {Act::Abort, PassState::Aborted, 1},
          {Act::Step, PassState::Aborted, 1, false},
          {Act::Tick, PassState::Aborted, 1},
          {Act::Activate, PassState::Idle, 1}}},
        {"Start Pass again while running restarts from sample 0",
         {{Act::Start, PassState::Running, 0},
          {Act::Tick, PassState::Running, 0},
          {Act::Step, PassState::Running, 1, true},
          {Act::Start, PassState::Running, 0},
          {Act::ToEnd, PassState::Ended, n + 1}}},
        {"a replay that ends early stops the pass as an abort does",
         {{Act::Start, PassState::Running, 0},
          {Act::Step, PassState::Running, 1, true},
          {Act::StopEarly, PassState::Aborted, 1},
          {Act::Step, PassState::Aborted, 1, false}}},
        {"activation during a pass leaves it running",
         {{Act::Start, PassState::Running, 0},
          {Act::Activate, PassState::Running, 0},
          {Act::Step, PassState::Running, 1, true}}},
    };
    const auto pass = pass_of(Discipline::Slalom, Direction::Towards);
    for (const auto& scenario : scenarios) {
        PassSession session;
        session.calibration.model.set_coefficients({-4.0, 1.0 / 1024, 0, 0, 0, 62.5, 0, -1.0 / 16});
        int second = 0;
        PassRecorder recorder(session, [&second] {
            return quillon::text::CivilDateTime{2026, 12, 6, 10, 0, second++};
        });
        recorder.activate(pass, false, 2, 0.5);
        for (const Expect& e : scenario.acts) {
            std::optional<SampleStep> step;
            switch (e.act) {
                case Act::Activate:
                    recorder.activate(pass, false, 2, 0.5);
                    break;
                case Act::Start:
                case Act::StartViewOnly:
                    recorder.start(pass, screen_x(1.25), e.act == Act::StartViewOnly,
                                   "Pass Clock: Wall Clock");
                    EXPECT_EQ(recorder.tickCount1(), 0) << scenario.name;
                    EXPECT_EQ(recorder.tickCount2(), 0) << scenario.name;
                    EXPECT_EQ(recorder.passEndTime(), "") << scenario.name;
                    break;
                case Act::Step:
                    step = recorder.step();
                    EXPECT_EQ(step.has_value(), e.stepTaken) << scenario.name;
                    break;
                case Act::ToEnd:
                    while (recorder.passRunning()) {
                        recorder.tick2();
                        ASSERT_TRUE(recorder.step()) << scenario.name;
                    }
                    EXPECT_FALSE(recorder.passEndTime().empty()) << scenario.name;
                    break;
                case Act::Tick:
                    recorder.tick1();
                    recorder.tick2();
                    break;
                case Act::Abort:
                    recorder.abort();
                    break;
                case Act::StopEarly:
                    recorder.stopEarly();
                    break;
            }
            EXPECT_EQ(recorder.state(), e.state) << scenario.name;
            EXPECT_EQ(recorder.passRunning(), e.state == PassState::Running) << scenario.name;
            EXPECT_EQ(session.sampleIndex, e.sampleIndex) << scenario.name;
            // Only a pass that reached its end is measured.
            EXPECT_EQ(session.passMeasured,
                      e.state == PassState::Ended || e.state == PassState::EndedViewOnly ||
                              (e.state == PassState::Idle && e.sampleIndex == n + 1)
                          ? 1
                          : 0)
                << scenario.name;
        }
    }
}

// Each sample keeps where its line came from; the report's clock line names the samples not
// tracked as ranges, and says nothing of Auto Track when no sample was tracked.
TEST(PassRecorder, ProvenanceAndTheClockLine) {
    const auto pass = pass_of(Discipline::Slalom, Direction::Towards);
    const struct {
        const char* name;
        // The provenance of sample k's last poll, by k; beyond the list, tracked.
        std::vector<Provenance> first;
        std::string clockLine;
    } cases[] = {
        {"every sample tracked", {}, "Pass Clock: Video Time (p.mp4 from 0:01.000), Auto Track"},
        {"held and operator samples are not tracked",
         {Provenance::Tracked, Provenance::Held, Provenance::Held, Provenance::Held,
          Provenance::Tracked, Provenance::Operator},
         "Pass Clock: Video Time (p.mp4 from 0:01.000), Auto Track, 4 samples not tracked "
         "(1-3, 5)"},
    };
    for (const auto& c : cases) {
        Recording r;
        r.recorder.activate(pass, false, 2, 0.5);
        r.recorder.start(pass, screen_x(1.25), false,
                         "Pass Clock: Video Time (p.mp4 from 0:01.000)");
        for (std::size_t k = 0; r.recorder.passRunning(); ++k) {
            const Provenance from = k < c.first.size() ? c.first[k] : Provenance::Tracked;
            r.recorder.poll(screen_x(1.25 + 0.01 * static_cast<double>(k % 7)), from);
            const auto step = r.recorder.step();
            ASSERT_TRUE(step);
            EXPECT_EQ(step->provenance, from);
            EXPECT_EQ(r.session.sampleProvenance[k], from);
        }
        EXPECT_EQ(r.session.passClockLine, c.clockLine) << c.name;
    }
    // The operator alone: no Auto Track note; without a video no clock line at all.
    for (const std::string clock : {"Pass Clock: Wall Clock", ""}) {
        Recording r;
        r.recorder.start(pass, screen_x(1.25), false, clock);
        while (r.recorder.step()) {
        }
        EXPECT_EQ(r.session.passClockLine, clock);
        EXPECT_EQ(r.recorder.untrackedSamples().size(), 162U);
    }
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
