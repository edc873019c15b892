#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

#include "screens/measure/measure_screen.h"
#include "screens/video/video_controls.h"
#include "screens/widgets/overlay_canvas.h"
#include "text/text_file.h"

// The Measure screen's side of the pass loop and Auto Track: every decoded frame goes to the
// loop, which tracks it and, in video time, takes the polls and samples due on it; this file
// shows what the loop did. Also the Auto Track check box and its Video menu entry (offered
// while a video is open), the operator's clicks on the mark, and a replay that ends before
// its pass.

namespace quillon::screens {

using platform::view_of;

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
    if (recording_ && recorder_.passRunning()) {
        recording_->add(view_of(frame));
    }
    const measure::FrameOutcome outcome = loop_.frame(view_of(frame), chkViewOnly->isChecked());
    if (outcome.lastPoll) {
        showPoll(*outcome.lastPoll);
    }
    if (outcome.polls > 0) {
        txtCount1->setText(QString::number(recorder_.tickCount1()));
    }
    for (const session::SampleStep& step : outcome.steps) {
        if (step.index == 0) {
            session_.passSample0FrameUs = frame.timeUs;
        }
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

// The recording of a live pass, in the results folder, named by the time of Start Pass.
void MeasureScreen::startRecording(const course::PassDescription& pass,
                                   const platform::VideoFrame& frame) {
    const auto now = platform_.clock.now();
    const std::string path = text::path_in_folder(
        pass.resultsFolder,
        video::recording_name(now.year, now.month, now.day, now.hour, now.minute, now.second));
    std::string error;
    recording_ = platform_.video.startRecording(path, frame, error);
    if (!recording_) {
        // The pass goes on; the operator knows at once that nothing is kept of its video.
        lblRecording->setText(
            QStringLiteral("Not recording: \"%1\" cannot be written: %2")
                .arg(QString::fromStdString(path), QString::fromStdString(error)));
        lblRecording->show();
        return;
    }
    QString text =
        QStringLiteral("Recording %1").arg(QFileInfo(QString::fromStdString(path)).fileName());
    // Ten minutes of room is a pass and its repeats; less is said where the operator looks.
    const double rate = platform_.video.frameRate() > 0 ? platform_.video.frameRate() : 30;
    if (const auto room = video::free_bytes(pass.resultsFolder)) {
        const std::int64_t minutes =
            video::recording_minutes(*room, recording_->bytesPerSecond(rate));
        if (minutes < 10) {
            text += QStringLiteral(
                        " - the results folder has room for only %1 minutes of "
                        "recording")
                        .arg(minutes);
        }
    }
    lblRecording->setText(text);
    lblRecording->show();
}

// Closes the recording; what went wrong with it is said after the pass, which it never stops.
void MeasureScreen::finishRecording() {
    if (!recording_) {
        return;
    }
    const auto failure = recording_->finish();
    const int dropped = recording_->dropped();
    const QString name = QString::fromStdString(recording_->path());
    recording_.reset();
    lblRecording->hide();
    if (failure) {
        platform_.dialogs.message(
            QStringLiteral("The recording \"%1\" could not be written whole: %2. The pass itself "
                           "is measured.")
                .arg(name, QString::fromStdString(*failure)),
            platform::MessageStyle::Exclamation);
    } else if (dropped > 0) {
        platform_.dialogs.message(
            QStringLiteral("%1 frames could not be written to the recording \"%2\" in time; the "
                           "pass itself saw every frame.")
                .arg(dropped)
                .arg(name),
            platform::MessageStyle::Exclamation);
    }
}

// A camera or stream that sends nothing for 2 seconds ends the pass: its samples are not kept
// as a pass, and the recording so far is.
void MeasureScreen::liveSourceStalled() {
    const int taken = session_.sampleIndex;
    const QString name =
        recording_ ? QString::fromStdString(recording_->path()) : QStringLiteral("(none)");
    stepTimer->stop();
    recorder_.stopEarly();
    stop_pulse_clocks();
    stopTracking();
    finishRecording();
    platform_.dialogs.message(
        QStringLiteral("The camera sent no picture for 2 seconds: the pass stopped after %1 of "
                       "%2 samples, which are not kept as a pass. The recording so far is kept "
                       "in \"%3\".")
            .arg(taken)
            .arg(session_.lastSampleIndex + 1)
            .arg(name),
        platform::MessageStyle::Exclamation);
}

}  // namespace quillon::screens
