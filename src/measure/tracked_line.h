#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "calibration/camera_model.h"
#include "course/pass_description.h"
#include "session/line_input.h"
#include "session/pass_recorder.h"
#include "tracking/boat_tracker.h"
#include "tracking/pass_geometry.h"

namespace quillon::measure {

// Who has the line while Auto Track is on. Off: nobody picked a mark. Tracking: the line is
// on the mark the tracker found on the newest frame. Lost: the tracker missed the mark and the
// line holds the boat's last tracked lateral position until the tracker takes the mark again
// by itself. Operator: a key, the joystick or the mouse took the line; it stays the
// operator's until a click on the mark is accepted.
enum class TrackState { Off, Tracking, Lost, Operator };

// Auto Track as a line input, before the deviation: the tracker follows the boat's mark on
// every decoded frame, and each poll puts the line on it. A frame where the mark is not found
// is one untracked sample, not the end of tracking: the line holds the boat's last tracked
// lateral position in survey metres, placed again on each new marker row, and the tracker
// takes the mark back where it passes the tracker's checks. The Measure screen and quillon-cli
// track both use this one class.
class TrackedLine : public session::LineInput {
  public:
    using TrackerFactory = std::function<std::unique_ptr<tracking::BoatTracker>()>;

    TrackedLine(const session::PassRecorder& recorder, TrackerFactory makeTracker);

    Stage stage() const override { return Stage::BeforeDeviation; }
    session::LineReport read(const session::LinePoll& poll) override;

    // Where the video lies on the drawing surface the calibration was marked on.
    void setPlacement(const tracking::FrameOnSurface& placement) { placement_ = placement; }
    const tracking::FrameOnSurface& placement() const { return placement_; }

    // The operator's click on `frame`, in frame pixels: with no mark yet a pick, which must
    // land on something shaped like a mark inside the course lane; afterwards a resume, which
    // must land on the mark being tracked, where the boat can be by now. Gives the refusal to
    // show when the click is not accepted; what was there before stays.
    std::optional<std::string> click(const tracking::FrameView& frame, double x, double y,
                                     const calibration::CameraModel& model,
                                     const course::PassDescription& pass);
    // Start Pass on `frame`: the tracker's prediction of the boat runs from this frame on.
    // With `fromRoundedMark` the track starts again from the mark's position rounded to
    // 0.001 px even when it was picked on this very frame, so that quillon-cli track given that
    // position on the recorded frame starts exactly as the pass did.
    void passStarted(const tracking::FrameView& frame, const calibration::CameraModel& model,
                     const course::PassDescription& pass, bool fromRoundedMark = false);
    // A decoded frame, in order. Gives what the tracker found on it.
    tracking::TrackResult track(const tracking::FrameView& frame);
    // A frame at `timeUs` that could not be decoded: the mark is not seen on it.
    void missed(std::int64_t timeUs);
    // A key, the joystick or the mouse moved the line.
    void operatorMoved();
    // Auto Track switched off, or the video or the setup changed: no mark any more.
    void stop();

    TrackState state() const { return state_; }
    // The mark where the tracker last found it (found is false before any).
    const tracking::TrackResult& lastFound() const { return lastFound_; }
    // The video time of the newest frame tracked.
    std::int64_t lastFrameUs() const { return lastFrameUs_; }
    // Where the track started at the last Start Pass, in frame pixels.
    const tracking::FramePoint& startMark() const { return startMark_; }
    // "Tracking", "Tracking lost - the line is yours", ...: what the banner says.
    std::string status() const;

  private:
    double surfaceTwips(double frameX) const;
    tracking::TrackStart trackStart(double x, double y, std::int64_t timeUs,
                                    const calibration::CameraModel& model,
                                    const course::PassDescription& pass) const;
    void follow(const tracking::TrackResult& result);

    const session::PassRecorder& recorder_;
    TrackerFactory makeTracker_;
    std::unique_ptr<tracking::BoatTracker> tracker_;
    tracking::FrameOnSurface placement_;
    TrackState state_ = TrackState::Off;
    tracking::TrackResult lastFound_;
    std::int64_t lastFoundUs_ = -1;
    std::int64_t lastFrameUs_ = -1;
    // The boat's last tracked lateral position, survey metres, and whether a poll measured it.
    std::optional<double> heldSurveyX_;
    tracking::FramePoint startMark_;
};

// What the operator is told when a click is not taken.
std::string refusal_text(tracking::StartRefusal refusal);

}  // namespace quillon::measure
