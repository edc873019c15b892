#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <deque>
#include <memory>
#include <optional>

#include "course/pass_description.h"
#include "platform/platform.h"
#include "session/line_input.h"
#include "session/pass_session.h"
#include "tracking/boat_tracker.h"

namespace quillon::screens {

class LineShape;
class OverlayCanvas;

// Auto Track: the line follows the boat's mark on the video by itself. The operator clicks
// the mark (the pylon, or a windshield mark when the boat comes toward the camera); from then
// on every decoded frame is tracked in order, and each frame shown puts the line on the mark
// before the pass clocks tick for it. A key, the joystick or the mouse takes over at once; a
// click on the mark resumes.
//
// As a line input it comes before the deviation, so a poll measures where the tracker put
// the line.
class AutoTrack : public QObject, public session::LineInput {
    Q_OBJECT

  public:
    AutoTrack(OverlayCanvas& canvas, platform::Platform& platform,
              const session::PassSession& session, QObject* parent);

    Stage stage() const override { return Stage::BeforeDeviation; }
    session::LineReport read(const session::LinePoll& poll) override;

    // A video is open and the program can track on it.
    bool available() const;
    void setEnabled(bool enabled);
    bool enabled() const { return enabled_; }
    bool tracking() const { return tracking_; }
    // The line stands on a mark the tracker found.
    bool lineTracked() const { return lineTracked_; }

    // A press on the drawing surface, in twips: starts tracking the mark there. Returns what
    // to tell the operator when there is nothing to track.
    std::optional<QString> pick(double xTwips, double yTwips, const course::PassDescription& pass);
    // Start Pass: the pass and the video time it starts at, so the tracker's prediction runs
    // from there.
    void passStarted(const course::PassDescription& pass, qint64 startUs);
    // A poll of the video-time clock due at `timeUs`: the line goes to the mark on the first
    // frame at or after it, as on the frame the clock ticked for.
    void dueAt(qint64 timeUs);
    // The operator moved the line.
    void takeOver();

    // The samples of the pass taken with the line on the tracked mark, and the others.
    void startCounting() { trackedSamples_ = untrackedSamples_ = 0; }
    void countSample() { ++(lineTracked_ ? trackedSamples_ : untrackedSamples_); }
    int trackedSamples() const { return trackedSamples_; }
    int untrackedSamples() const { return untrackedSamples_; }

  signals:
    // The line is to stand here now.
    void lineMoved(const session::LinePosition& line);
    // "Tracking", "Tracking lost - the line is yours", or empty when Auto Track is off.
    void statusChanged(const QString& status);

  private:
    struct Tracked {
        qint64 timeUs = 0;
        tracking::TrackResult result;
    };

    void frameDecoded(const platform::VideoFrame& frame);
    void framePresented();
    void follow(const tracking::TrackResult& result);
    void lose();
    void showBox(bool visible);
    tracking::FrameOnSurface placement() const;
    tracking::TrackStart trackStart(double x, double y, const course::PassDescription& pass,
                                    qint64 passStartUs) const;

    OverlayCanvas& canvas_;
    platform::Platform& platform_;
    const session::PassSession& session_;
    std::unique_ptr<tracking::BoatTracker> tracker_;
    bool enabled_ = false;
    bool tracking_ = false;
    // The line stands on a mark found by the tracker.
    bool lineTracked_ = false;
    std::optional<session::LinePosition> line_;
    // The last few seconds of tracked frames, oldest first.
    std::deque<Tracked> history_;
    std::array<LineShape*, 4> box_{};
    int trackedSamples_ = 0;
    int untrackedSamples_ = 0;
};

}  // namespace quillon::screens
