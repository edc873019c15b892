#include "measure/pass_loop.h"

#include "measure/tracked_line.h"
#include "session/video_time.h"

namespace quillon::measure {

namespace {

constexpr int pollPeriodMs = 50;
constexpr int stepPeriodMs = 100;

}  // namespace

PassLoop::PassLoop(session::PassRecorder& recorder, session::LineInputs& inputs,
                   TrackedLine* tracked)
    : recorder_(recorder), inputs_(inputs), tracked_(tracked) {}

PollOutcome PassLoop::poll(bool viewOnly) {
    PollOutcome outcome;
    outcome.combined = inputs_.poll(line_, recorder_.row().centreX(), viewOnly);
    if (outcome.combined.operatorMoved && tracked_ != nullptr) {
        tracked_->operatorMoved();
    }
    const session::CombinedPoll& combined = outcome.combined;
    outcome.reading = recorder_.poll(combined.forDeviation.x, combined.provenance);
    // While the tracker has the line, nothing at rest (a centred joystick, a still mouse)
    // moves it off the mark after the deviation.
    line_ = combined.provenance == session::Provenance::Operator ? combined.final
                                                                 : combined.forDeviation;
    return outcome;
}

void PassLoop::startVideoTime(std::int64_t startUs) {
    videoTime_ = true;
    startUs_ = startUs;
    polls_ = 0;
    steps_ = 0;
}

FrameOutcome PassLoop::frame(const tracking::FrameView& frame, bool viewOnly) {
    FrameOutcome outcome;
    if (tracked_ != nullptr) {
        outcome.track = tracked_->track(frame);
    }
    takeDue(frame.timeUs, viewOnly, outcome);
    return outcome;
}

FrameOutcome PassLoop::damagedFrame(std::int64_t timeUs, bool viewOnly) {
    FrameOutcome outcome;
    if (tracked_ != nullptr) {
        tracked_->missed(timeUs);
    }
    takeDue(timeUs, viewOnly, outcome);
    return outcome;
}

void PassLoop::takeDue(std::int64_t timeUs, bool viewOnly, FrameOutcome& outcome) {
    if (!videoTime_) {
        return;
    }
    const int pollsDue = session::video_ticks_due(timeUs, startUs_, pollPeriodMs);
    const int stepsDue = session::video_ticks_due(timeUs, startUs_, stepPeriodMs);
    while (recorder_.passRunning() && (polls_ < pollsDue || steps_ < stepsDue)) {
        // Due times in milliseconds after t0; a poll due with a step runs first.
        const long nextPoll = static_cast<long>(polls_ + 1) * pollPeriodMs;
        const long nextStep = static_cast<long>(steps_ + 1) * stepPeriodMs;
        if (polls_ < pollsDue && (steps_ >= stepsDue || nextPoll <= nextStep)) {
            ++polls_;
            recorder_.tick1();
            outcome.lastPoll = poll(viewOnly);
            ++outcome.polls;
        } else {
            ++steps_;
            recorder_.tick2();
            if (const auto step = recorder_.step()) {
                outcome.steps.push_back(*step);
            }
        }
    }
    if (!recorder_.passRunning()) {
        videoTime_ = false;
    }
}

}  // namespace quillon::measure
