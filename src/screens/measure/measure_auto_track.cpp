#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>

#include "screens/measure/measure_screen.h"
#include "screens/video/video_controls.h"

// The Measure screen's side of Auto Track: the check box and its Video menu entry, offered
// while a video is open, the status, and the note the pass's report carries.

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
    connect(&platform_.video, &platform::VideoSource::stateChanged, this,
            [this] { refreshAutoTrack(); });
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
