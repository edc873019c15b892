#include "measure/pass_loop.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "measure/tracked_line.h"
#include "session/video_time.h"

using namespace quillon;
using session::Provenance;

namespace {

// A camera with perspective: survey x = (X / 1024 - 4) / D and y = (62.5 - Y / 16) / D with
// D = 1 + Y / 8000, so a point at a fixed survey x moves across the screen as its row moves.
void use_camera(session::PassSession& session) {
    session.calibration.model.set_coefficients(
        {-4.0, 1.0 / 1024, 0, 0, 1.0 / 8000, 62.5, 0, -1.0 / 16});
}

course::PassDescription slalom_towards() {
    course::PassDescription pass;
    pass.discipline = course::Discipline::Slalom;
    pass.direction = course::Direction::Towards;
    return pass;
}

// A line input that puts the line where a test says, on the frame the loop is on.
class ScriptedLine : public session::LineInput {
  public:
    Stage stage() const override { return Stage::BeforeDeviation; }
    session::LineReport read(const session::LinePoll&) override {
        return {session::LinePosition{x, x + 15}, false, Provenance::Tracked};
    }
    double x = 0;
};

// A tracker that finds the mark at (300 + 0.4 i, 200) on frame i, except on the frames it
// misses; a resume is taken within 3 pixels of the mark.
class ScriptedTracker : public tracking::BoatTracker {
  public:
    explicit ScriptedTracker(std::set<int> misses) : misses_(std::move(misses)) {}
    static double markX(int index) { return 300 + 0.4 * index; }
    static int index_of(std::int64_t timeUs) {
        return static_cast<int>(std::lround(timeUs / 40000.0));
    }
    tracking::StartRefusal start(const tracking::FrameView& frame,
                                 const tracking::TrackStart& start) override {
        if (std::abs(start.markX - markX(index_of(frame.timeUs))) > 3) {
            return tracking::StartRefusal::NothingToTrack;
        }
        at_ = {true, markX(index_of(frame.timeUs)), 200, 0.9, 20, 10};
        return tracking::StartRefusal::None;
    }
    tracking::TrackResult track(const tracking::FrameView& frame) override {
        const int index = index_of(frame.timeUs);
        if (misses_.count(index) != 0) {
            return {false, 0, 0, 0.2, 0, 0};
        }
        at_ = {true, markX(index), 200, 0.9, 20, 10};
        return at_;
    }
    tracking::TrackResult startPosition() const override { return at_; }
    tracking::StartRefusal resume(const tracking::FrameView& frame, double x, double) override {
        if (std::abs(x - markX(index_of(frame.timeUs))) > 3) {
            return tracking::StartRefusal::NotTheMark;
        }
        at_ = {true, markX(index_of(frame.timeUs)), 200, 0.9, 20, 10};
        return tracking::StartRefusal::None;
    }

  private:
    std::set<int> misses_;
    tracking::TrackResult at_;
};

tracking::FrameView frame_at(std::int64_t timeUs) {
    static const std::uint8_t pixel[4] = {};
    return {1, 1, 4, pixel, timeUs};
}

}  // namespace

// Sample k is taken on the first frame at or after t0 + (k + 1) x 100 ms, with the line as
// that frame put it: the poll due with it runs first. Every frame rate, a variable one and a
// gap of several periods in one frame give the same rule; a frame older than the newest
// takes nothing.
TEST(PassLoop, VideoTimeRuleOnEveryFrameRate) {
    const struct {
        const char* name;
        std::function<std::int64_t(int)> frameUs;
    } rates[] = {
        {"25 fps", [](int i) { return std::int64_t{40000} * i; }},
        {"30 fps", [](int i) { return std::llround(i * 1e6 / 30); }},
        {"29.97 fps", [](int i) { return std::llround(i * 1001e6 / 30000); }},
        {"variable", [](int i) { return std::int64_t{67000} * (i / 2) + (i % 2) * 20000; }},
        {"a 350 ms gap",
         [](int i) { return i < 40 ? std::int64_t{33333} * i : std::int64_t{33333} * i + 350000; }},
    };
    for (const auto& rate : rates) {
        session::PassSession session;
        use_camera(session);
        session::PassRecorder recorder(session);
        ScriptedLine line;
        session::LineInputs inputs;
        inputs.add(line);
        measure::PassLoop loop(recorder, inputs, nullptr);
        const auto pass = slalom_towards();
        recorder.activate(pass, false, 2, 0.5);
        const int first = 3;  // the frame shown at Start Pass
        const std::int64_t t0 = rate.frameUs(first);
        // The line stands further right on each frame, by a whole number of centimetres at the
        // row of sample k - 1, so each sample tells which frame it was taken on.
        auto x_on = [&](int i) { return 4096.0 + 1024 * 0.01 * i; };
        recorder.start(pass, x_on(first));
        loop.startVideoTime(t0);
        std::vector<int> takenOn;  // the frame of each sample
        for (int i = first + 1; recorder.passRunning() && i < 2000; ++i) {
            line.x = x_on(i);
            if (i == first + 20) {  // an older frame after going back: nothing is due on it
                EXPECT_TRUE(loop.frame(frame_at(rate.frameUs(first + 2)), false).steps.empty());
            }
            const auto outcome = loop.frame(frame_at(rate.frameUs(i)), false);
            for (const auto& step : outcome.steps) {
                EXPECT_EQ(step.index, static_cast<int>(takenOn.size())) << rate.name;
                takenOn.push_back(i);
            }
        }
        ASSERT_EQ(takenOn.size(), 162U) << rate.name;
        for (int k = 0; k < 162; ++k) {
            int expected = first + 1;
            while (session::video_ticks_due(rate.frameUs(expected), t0, 100) < k + 1) {
                ++expected;
            }
            EXPECT_EQ(takenOn[static_cast<std::size_t>(k)], expected) << rate.name << " " << k;
            // The value is the frame's line measured on the row sample k - 1 placed.
            EXPECT_EQ(session.sampleProvenance[static_cast<std::size_t>(k)], Provenance::Tracked);
        }
        EXPECT_EQ(recorder.state(), session::PassState::Ended) << rate.name;
        EXPECT_EQ(recorder.tickCount2(), 162) << rate.name;
        EXPECT_EQ(recorder.tickCount1(), 324) << rate.name;
        EXPECT_FALSE(loop.videoTime()) << rate.name;
    }
}

// A missed frame is one held sample, not the end of tracking: the line keeps the boat's last
// tracked lateral position in survey metres on every new row, the tracker takes the mark back
// by itself, and after the operator moves the line it is the operator's until a click on the
// mark is taken.
TEST(TrackedLine, MissesHoldsRetakesAndTheOperator) {
    session::PassSession session;
    use_camera(session);
    session::PassRecorder recorder(session);
    measure::TrackedLine tracked(recorder, [] {
        return std::make_unique<ScriptedTracker>(
            std::set<int>{30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45});
    });
    // The operator's arrow key: one step on the frames the test says.
    struct Key : session::LineInput {
        Stage stage() const override { return Stage::BeforeDeviation; }
        session::LineReport read(const session::LinePoll& poll) override {
            if (!pressed) {
                return {};
            }
            pressed = false;
            return {session::LinePosition{poll.line.x + 15, poll.line.twinX + 15}, true,
                    std::nullopt};
        }
        bool pressed = false;
    } key;
    session::LineInputs inputs;
    inputs.add(tracked);
    inputs.add(key);
    measure::PassLoop loop(recorder, inputs, &tracked);
    const auto pass = slalom_towards();
    recorder.activate(pass, false, 2, 0.5);

    // A pick off the mark is refused; on it, taken.
    EXPECT_EQ(tracked.click(frame_at(0), 320, 200, session.calibration.model, pass),
              measure::refusal_text(tracking::StartRefusal::NothingToTrack));
    EXPECT_EQ(tracked.state(), measure::TrackState::Off);
    EXPECT_EQ(tracked.click(frame_at(0), 301, 200, session.calibration.model, pass), std::nullopt);
    EXPECT_EQ(tracked.status(), "Tracking");
    loop.poll(false);
    recorder.start(pass, loop.line().x);
    loop.startVideoTime(0);

    const struct {
        int frame;
        enum { None, Key, ClickOff, ClickOn } act;
        measure::TrackState after;
    } script[] = {
        {29, {}, measure::TrackState::Tracking},
        {30, {}, measure::TrackState::Lost},
        {46, {}, measure::TrackState::Tracking},
        {60, decltype(script[0].act)::Key, measure::TrackState::Operator},
        {70, decltype(script[0].act)::ClickOff, measure::TrackState::Operator},
        {80, decltype(script[0].act)::ClickOn, measure::TrackState::Tracking},
    };
    std::vector<int> frameOfSample;
    std::size_t next = 0;
    for (int i = 1; recorder.passRunning(); ++i) {
        const auto frame = frame_at(std::int64_t{40000} * i);
        const bool acting = next < std::size(script) && script[next].frame == i;
        if (acting && script[next].act == decltype(script[0].act)::Key) {
            key.pressed = true;
        }
        for (const auto& step : loop.frame(frame, false).steps) {
            frameOfSample.push_back(i);
            (void)step;
        }
        if (acting && script[next].act == decltype(script[0].act)::ClickOff) {
            EXPECT_EQ(tracked.click(frame, ScriptedTracker::markX(i) + 35, 200,
                                    session.calibration.model, pass),
                      measure::refusal_text(tracking::StartRefusal::NotTheMark));
        }
        if (acting && script[next].act == decltype(script[0].act)::ClickOn) {
            EXPECT_EQ(tracked.click(frame, ScriptedTracker::markX(i) + 2, 200,
                                    session.calibration.model, pass),
                      std::nullopt);
        }
        if (acting) {
            EXPECT_EQ(tracked.state(), script[next].after) << "frame " << i;
            ++next;
        }
    }
    ASSERT_EQ(next, std::size(script));
    ASSERT_EQ(frameOfSample.size(), 162U);

    // Samples on frames 30-45 are held, at one survey x although their rows move; the key at
    // frame 60 makes the samples the operator's until the click at 80 is taken.
    std::vector<double> held;
    for (std::size_t k = 0; k < 162; ++k) {
        const int i = frameOfSample[k];
        const Provenance expected = i >= 30 && i <= 45   ? Provenance::Held
                                    : i >= 60 && i <= 80 ? Provenance::Operator
                                                         : Provenance::Tracked;
        EXPECT_EQ(session.sampleProvenance[k], expected) << "sample " << k << " frame " << i;
        if (expected == Provenance::Held) {
            held.push_back(session.samples[k]);
        }
    }
    ASSERT_EQ(held.size(), 7U);
    for (const double value : held) {
        EXPECT_EQ(value, held.front());
    }
    EXPECT_EQ(recorder.passClockLine(), "");  // no clock line given: none to note it on
    EXPECT_EQ(session::sample_ranges(recorder.untrackedSamples()), "11-17, 23-31");
}
