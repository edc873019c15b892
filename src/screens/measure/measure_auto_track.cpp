#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QTimer>

#include "screens/measure/measure_screen.h"
#include "screens/video/video_controls.h"

// The Measure screen's side of Auto Track (the check box and its Video menu entry, offered
// while a video is open, the status, and the note the pass's report carries), and a replay
// that ends before its pass.

namespace quillon::screens {

void MeasureScreen::buildAutoTrack() {
    autoTrack_ = new AutoTrack(*canvas_, platform_, session_, this);
    mnuAutoTrack = video_->menu()->addAction("&Auto Track");
    mnuAutoTrack->setObjectName("mnuAutoTrack");
    mnuAutoTrack->setCheckable(true);
    connect(mnuAutoTrack, &QAction::triggered, this, [this](bool on) {
        chkAutoTrack->setChecked(on);
        chkAutoTrack_Click();
    });
    connect(chkAutoTrack, &QCheckBox::clicked, this, [this] { chkAutoTrack_Click(); });
    connect(autoTrack_, &AutoTrack::lineMoved, this,
            [this](const session::LinePosition& line) { setLine(line); });
    connect(autoTrack_, &AutoTrack::statusChanged, this, [this](const QString& status) {
        lblTrackStatus->setText(status);
        lblTrackStatus->setVisible(!status.isEmpty());
    });
    connect(&platform_.video, &platform::VideoSource::stateChanged, this, [this] {
        refreshAutoTrack();
        replayEndedEarly();
    });
    refreshAutoTrack();
}

void MeasureScreen::chkAutoTrack_Click() {
    const bool on = chkAutoTrack->isChecked();
    mnuAutoTrack->setChecked(on);
    autoTrack_->setEnabled(on);
}

// Auto Track needs a video under the screen; without one it is switched off.
void MeasureScreen::refreshAutoTrack() {
    const bool available = autoTrack_->available();
    chkAutoTrack->setEnabled(available);
    mnuAutoTrack->setEnabled(available);
    if (!available && chkAutoTrack->isChecked()) {
        chkAutoTrack->setChecked(false);
        chkAutoTrack_Click();
    }
}

// A pass timed by the video cannot go on once the file has played to its end: it is stopped,
// and the samples so far are not kept as a pass.
void MeasureScreen::replayEndedEarly() {
    platform::VideoSource& video = platform_.video;
    if (!passRunning_ || !video_->videoTimeChosen() || video.playing() ||
        video.frameIndex() < video.frameCount() - 1) {
        return;
    }
    const int taken = session_.sampleIndex;
    stepTimer->stop();
    stop_pulse_clocks();
    passRunning_ = false;
    platform_.dialogs.message(
        QStringLiteral("The video ended before the pass did: %1 of %2 samples were taken, and "
                       "they are not kept as a pass. Go back in the video and start the pass "
                       "again.")
            .arg(taken)
            .arg(session_.lastSampleIndex + 1),
        platform::MessageStyle::Exclamation);
}

// "Pass Clock: Video Time (pass.mp4 from 0:01.500), Auto Track, 3 samples not tracked".
void MeasureScreen::noteAutoTrack() {
    if (session_.passClockLine.empty() || autoTrack_->trackedSamples() == 0) {
        return;
    }
    session_.passClockLine += ", Auto Track";
    if (const int untracked = autoTrack_->untrackedSamples(); untracked > 0) {
        session_.passClockLine += ", " + std::to_string(untracked) + " samples not tracked";
    }
}

}  // namespace quillon::screens
