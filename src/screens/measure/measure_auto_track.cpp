#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

#include "screens/measure/measure_screen.h"
#include "screens/video/video_controls.h"
#include "screens/widgets/overlay_canvas.h"

// The Measure screen's side of the pass loop and Auto Track: every decoded frame goes to the
// loop, which tracks it and, in video time, takes the polls and samples due on it; this file
// shows what the loop did. Also the Auto Track check box and its Video menu entry (offered
// while a video is open), the operator's clicks on the mark, and a replay that ends before
// its pass.

namespace quillon::screens {

tracking::FrameView view_of(const platform::VideoFrame& frame) {
    const QImage& image = frame.image;
    return {image.width(), image.height(), static_cast<int>(image.bytesPerLine()),
            image.constBits(), frame.timeUs};
}

void MeasureScreen::buildAutoTrack() {
    autoTrack_ = new AutoTrackOverlay(*canvas_, this);
    mnuAutoTrack = video_->menu()->addAction("&Auto Track");
    mnuAutoTrack->setObjectName("mnuAutoTrack");
    mnuAutoTrack->setCheckable(true);
    connect(mnuAutoTrack, &QAction::triggered, this, [this](bool on) {
        chkAutoTrack->setChecked(on);
        chkAutoTrack_Click();
    });
    connect(chkAutoTrack, &QCheckBox::clicked, this, [this] { chkAutoTrack_Click(); });
    connect(&platform_.video, &platform::VideoSource::frameDecoded, this,
            [this](const platform::VideoFrame& frame) { frameDecoded(frame); });
    QString openedName = platform_.video.name();
    connect(&platform_.video, &platform::VideoSource::stateChanged, this,
            [this, openedName]() mutable {
                // Another video: the mark of the last one means nothing on it.
                if (platform_.video.name() != openedName) {
                    openedName = platform_.video.name();
                    stopTracking();
                }
                refreshAutoTrack();
                replayEndedEarly();
            });
    refreshAutoTrack();
}

void MeasureScreen::chkAutoTrack_Click() {
    const bool on = chkAutoTrack->isChecked();
    mnuAutoTrack->setChecked(on);
    platform_.video.setEveryFrame(on || loop_.videoTime());
    stopTracking();
    if (on) {
        lblTrackStatus->setText("Click the boat's mark to track it");
        lblTrackStatus->show();
    }
}

// Auto Track needs a video under the screen and a tracker; without them it is switched off.
void MeasureScreen::refreshAutoTrack() {
    const bool available =
        platform_.boatTracker && platform_.video.kind() != platform::VideoSource::Kind::None;
    chkAutoTrack->setEnabled(available);
    mnuAutoTrack->setEnabled(available);
    if (!available && chkAutoTrack->isChecked()) {
        chkAutoTrack->setChecked(false);
        chkAutoTrack_Click();
    }
}

// No mark, no box, no banner, no status: after a pass, Abort, another video or setup.
void MeasureScreen::stopTracking() {
    tracked_.stop();
    autoTrack_->clear();
    lblTrackStatus->clear();
    lblTrackStatus->setVisible(false);
    showLine();
}

tracking::FrameOnSurface MeasureScreen::videoPlacement() const {
    const QImage& image = platform_.video.frame().image;
    if (image.isNull()) {
        return {};
    }
    return tracking::fit_frame(canvas_->width(), canvas_->height(), image.width(), image.height());
}

// A press on the picture with Auto Track on: picks the mark, or takes it again.
void MeasureScreen::pickMark(double xTwips, double yTwips) {
    const platform::VideoFrame& frame = platform_.video.frame();
    if (frame.image.isNull() || !platform_.boatTracker) {
        autoTrack_->say("There is no video to track the boat on.");
        return;
    }
    const tracking::FrameOnSurface at = videoPlacement();
    tracked_.setPlacement(at);
    const double x = (xTwips / OverlayCanvas::twipsPerPixel - at.left) / at.scale;
    const double y = (yTwips / OverlayCanvas::twipsPerPixel - at.top) / at.scale;
    const auto refusal = tracked_.click(view_of(frame), x, y, session_.calibration.model,
                                        screens_.selections().passDescription());
    if (refusal) {
        // What was there stays: the box, the line and who has it.
        autoTrack_->say(QString::fromStdString(*refusal));
        return;
    }
    // The line goes onto the mark at once, as the next poll will put it.
    const double lineX =
        (at.left + tracked_.lastFound().x * at.scale) * OverlayCanvas::twipsPerPixel;
    setLine({lineX, lineX - OverlayCanvas::twipsPerPixel});
    showTracking();
}

void MeasureScreen::showTracking() {
    if (!chkAutoTrack->isChecked()) {
        return;
    }
    autoTrack_->show(tracked_, tracked_.placement());
    const QString status = QString::fromStdString(tracked_.status());
    if (!status.isEmpty()) {
        lblTrackStatus->setText(status);
        lblTrackStatus->show();
    }
}

void MeasureScreen::frameDecoded(const platform::VideoFrame& frame) {
    if (frame.image.isNull()) {
        return;
    }
    const measure::FrameOutcome outcome = loop_.frame(view_of(frame), chkViewOnly->isChecked());
    if (outcome.lastPoll) {
        showPoll(*outcome.lastPoll);
    }
    if (outcome.polls > 0) {
        txtCount1->setText(QString::number(recorder_.tickCount1()));
    }
    for (const session::SampleStep& step : outcome.steps) {
        txtCount2->setText(QString::number(recorder_.tickCount2()));
        showReplayPace(frame.timeUs);
        showStep(step);
    }
    showTracking();
}

void MeasureScreen::showPoll(const measure::PollOutcome& poll) {
    showLine();
    showDeviation();
    if (session_.setupValid != 0) {
        placeMarkers(poll.reading.surveyX, poll.reading.surveyY);
    }
    showTracking();
}

// "Replay at 0.86x of real time": video time over wall-clock time since Start Pass.
void MeasureScreen::showReplayPace(qint64 frameUs) {
    const qint64 wallMs = paceTimer_.isValid() ? paceTimer_.elapsed() : 0;
    if (wallMs < 1000 || statusHidden_) {
        return;
    }
    const double pace =
        static_cast<double>(frameUs - loop_.startUs()) / 1000.0 / static_cast<double>(wallMs);
    lblReplayPace->setText(QStringLiteral("Replay at %1x of real time").arg(pace, 0, 'f', 2));
    lblReplayPace->show();
}

// A pass timed by the video cannot go on once the file has played to its end: it is stopped,
// and the samples so far are not kept as a pass.
void MeasureScreen::replayEndedEarly() {
    platform::VideoSource& video = platform_.video;
    if (!recorder_.passRunning() || !loop_.videoTime() || video.playing() ||
        video.frameIndex() < video.frameCount() - 1) {
        return;
    }
    const int taken = session_.sampleIndex;
    stepTimer->stop();
    recorder_.stopEarly();
    stop_pulse_clocks();
    stopTracking();
    platform_.dialogs.message(
        QStringLiteral("The video ended before the pass did: %1 of %2 samples were taken, and "
                       "they are not kept as a pass. Go back in the video and start the pass "
                       "again.")
            .arg(taken)
            .arg(session_.lastSampleIndex + 1),
        platform::MessageStyle::Exclamation);
}

}  // namespace quillon::screens
