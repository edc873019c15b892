#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "session/line_input.h"
#include "session/pass_recorder.h"
#include "tracking/boat_tracker.h"

namespace quillon::measure {

class TrackedLine;

// One input poll: where the inputs put the line and what the recorder measured there.
struct PollOutcome {
    session::CombinedPoll combined;
    session::PollReading reading;
};

// What one decoded frame did.
struct FrameOutcome {
    // What the tracker found on it (found is false without Auto Track).
    tracking::TrackResult track;
    // The polls that fell due on it; the last one's outcome.
    int polls = 0;
    std::optional<PollOutcome> lastPoll;
    // The samples taken on it, in order.
    std::vector<session::SampleStep> steps;
};

// The pass loop: the input poll and, in video time, the pass clocks counted on the frames.
// It is the one place where the video-time rule lives: poll j falls due on the first frame
// at or after t0 + j x 50 ms and sample k on the first frame at or after t0 + (k + 1) x 100
// ms, t0 being the time of the frame shown at Start Pass; a poll and a sample due together
// run poll first, so sample k is measured at the marker row placed by sample k - 1 on the
// frame it is taken on. quillon-cli track feeds it a file's frames; the Measure screen feeds
// it every decoded frame, and its own clocks only decide what is shown when.
class PassLoop {
  public:
    // `tracked` is the Auto Track input among `inputs`, or null; none is owned.
    PassLoop(session::PassRecorder& recorder, session::LineInputs& inputs, TrackedLine* tracked);

    // The measurement line where the last poll left it, and where activation puts it.
    const session::LinePosition& line() const { return line_; }
    void setLine(const session::LinePosition& line) { line_ = line; }

    // One input poll: the inputs move the line in their precedence, the recorder measures the
    // deviation; an operator's move takes the line from the tracker.
    PollOutcome poll(bool viewOnly);

    // Video time from the frame shown at Start Pass, at `startUs`; until stopVideoTime the
    // frames, not a clock, decide when the polls and the samples fall due.
    void startVideoTime(std::int64_t startUs);
    void stopVideoTime() { videoTime_ = false; }
    bool videoTime() const { return videoTime_; }
    std::int64_t startUs() const { return startUs_; }

    // A decoded frame, in order: tracked, then in video time every poll and sampling step due
    // by its time.
    FrameOutcome frame(const tracking::FrameView& frame, bool viewOnly);
    // A damaged frame at `timeUs` that the reader skipped: nothing can be seen on it, so the
    // polls and samples due on it hold the line where the tracker last had the mark.
    FrameOutcome damagedFrame(std::int64_t timeUs, bool viewOnly);

  private:
    void takeDue(std::int64_t timeUs, bool viewOnly, FrameOutcome& outcome);

    session::PassRecorder& recorder_;
    session::LineInputs& inputs_;
    TrackedLine* tracked_;
    session::LinePosition line_;
    bool videoTime_ = false;
    std::int64_t startUs_ = 0;
    int polls_ = 0;
    int steps_ = 0;
};

}  // namespace quillon::measure
