#include "measure/tracked_line.h"

#include <cmath>

namespace quillon::measure {

namespace {

constexpr double twipsPerPixel = 15;

}  // namespace

std::string refusal_text(tracking::StartRefusal refusal) {
    switch (refusal) {
        case tracking::StartRefusal::None:
            break;
        case tracking::StartRefusal::OutsideFrame:
            return "The click is outside the video picture: click the boat's mark.";
        case tracking::StartRefusal::OutsideLane:
            return "That is outside the boat's lane: click the pylon, or the mark on the "
                   "boat's windshield.";
        case tracking::StartRefusal::NotTheMark:
            return "That is not the boat's mark: click the pylon, or the mark on the boat's "
                   "windshield.";
        case tracking::StartRefusal::NothingToTrack:
            return "There is nothing to track where you clicked: click the pylon, or the mark "
                   "on the boat's windshield.";
    }
    return {};
}

TrackedLine::TrackedLine(const session::PassRecorder& recorder, TrackerFactory makeTracker)
    : recorder_(recorder), makeTracker_(std::move(makeTracker)) {}

double TrackedLine::surfaceTwips(double frameX) const {
    return (placement_.left + frameX * placement_.scale) * twipsPerPixel;
}

tracking::TrackStart TrackedLine::trackStart(double x, double y, std::int64_t timeUs,
                                             const calibration::CameraModel& model,
                                             const course::PassDescription& pass) const {
    tracking::TrackStart start;
    start.markX = x;
    start.markY = y;
    start.model = model;
    start.placement = placement_;
    start.pass = pass;
    start.passStartUs = timeUs;
    return start;
}

std::optional<std::string> TrackedLine::click(const tracking::FrameView& frame, double x, double y,
                                              const calibration::CameraModel& model,
                                              const course::PassDescription& pass) {
    if (!makeTracker_) {
        return "This program was built without a tracker.";
    }
    if (!tracker_) {
        auto tracker = makeTracker_();
        const auto refusal = tracker->start(frame, trackStart(x, y, frame.timeUs, model, pass));
        if (refusal != tracking::StartRefusal::None) {
            return refusal_text(refusal);
        }
        tracker_ = std::move(tracker);
    } else if (const auto refusal = tracker_->resume(frame, x, y);
               refusal != tracking::StartRefusal::None) {
        return refusal_text(refusal);
    }
    lastFrameUs_ = frame.timeUs;
    follow(tracker_->startPosition());
    lastFoundUs_ = frame.timeUs;
    return std::nullopt;
}

void TrackedLine::passStarted(const tracking::FrameView& frame,
                              const calibration::CameraModel& model,
                              const course::PassDescription& pass, bool fromRoundedMark) {
    if (!tracker_ || state_ != TrackState::Tracking ||
        (lastFoundUs_ == frame.timeUs && !fromRoundedMark)) {
        return;  // a mark picked on this very frame already runs from this start
    }
    // The prediction of where the boat is runs from Start Pass: start again from the mark
    // where it was last found, on this frame.
    double x = lastFound_.x;
    double y = lastFound_.y;
    if (fromRoundedMark) {
        x = std::round(x * 1000) / 1000;
        y = std::round(y * 1000) / 1000;
    }
    startMark_ = {x, y};
    auto tracker = makeTracker_();
    if (tracker->start(frame, trackStart(x, y, frame.timeUs, model, pass)) ==
        tracking::StartRefusal::None) {
        tracker_ = std::move(tracker);
        lastFoundUs_ = frame.timeUs;
        follow(tracker_->startPosition());
    }
}

tracking::TrackResult TrackedLine::track(const tracking::FrameView& frame) {
    if (!tracker_ || state_ == TrackState::Off || frame.timeUs <= lastFrameUs_) {
        return {};  // nothing picked, or an older frame after going back in the video
    }
    lastFrameUs_ = frame.timeUs;
    const tracking::TrackResult result = tracker_->track(frame);
    if (result.found) {
        lastFoundUs_ = frame.timeUs;
        if (state_ == TrackState::Operator) {
            lastFound_ = result;  // the operator keeps the line until a click is accepted
        } else {
            follow(result);
        }
    } else if (state_ == TrackState::Tracking) {
        state_ = TrackState::Lost;
    }
    return result;
}

void TrackedLine::missed(std::int64_t timeUs) {
    if (!tracker_ || state_ == TrackState::Off || timeUs <= lastFrameUs_) {
        return;
    }
    lastFrameUs_ = timeUs;
    if (state_ == TrackState::Tracking) {
        state_ = TrackState::Lost;
    }
}

void TrackedLine::follow(const tracking::TrackResult& result) {
    lastFound_ = result;
    state_ = TrackState::Tracking;
}

void TrackedLine::operatorMoved() {
    if (state_ == TrackState::Tracking || state_ == TrackState::Lost) {
        state_ = TrackState::Operator;
    }
}

void TrackedLine::stop() {
    tracker_.reset();
    state_ = TrackState::Off;
    lastFound_ = {};
    lastFoundUs_ = -1;
    lastFrameUs_ = -1;
    heldSurveyX_.reset();
}

session::LineReport TrackedLine::read(const session::LinePoll&) {
    session::LineReport report;
    if (state_ == TrackState::Tracking) {
        const double x = surfaceTwips(lastFound_.x);
        heldSurveyX_ = recorder_.surveyXOnRow(x);
        report.position = session::LinePosition{x, x - twipsPerPixel};
        report.provenance = session::Provenance::Tracked;
    } else if (state_ == TrackState::Lost && heldSurveyX_) {
        const double x = recorder_.screenXOnRow(*heldSurveyX_);
        report.position = session::LinePosition{x, x - twipsPerPixel};
        report.provenance = session::Provenance::Held;
    }
    return report;
}

std::string TrackedLine::status() const {
    switch (state_) {
        case TrackState::Off:
            break;
        case TrackState::Tracking:
            return "Tracking";
        case TrackState::Lost:
            return "Tracking lost - the line is yours";
        case TrackState::Operator:
            return "The line is yours: click the boat's mark to track it again";
    }
    return {};
}

}  // namespace quillon::measure
