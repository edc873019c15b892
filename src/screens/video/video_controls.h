#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "platform/platform.h"

class QAction;
class QActionGroup;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QSlider;
class QToolButton;
class QWidget;

namespace quillon::screens {

class OverlayCanvas;

// The "&Video" menu and the playback bar of a screen that shows the video under its drawing
// surface. Playback keys are function keys and Ctrl+digits, clear of the arrow keys, Enter
// and the mouse that position the measurement line; the bar's controls never take the focus.
class VideoControls : public QObject {
    Q_OBJECT

  public:
    VideoControls(QMainWindow& window, OverlayCanvas& canvas, platform::Platform& platform);

    // Adds "Grab Frame as Picture", which hands the frame as the surface shows it to `grab`.
    void offerGrab(std::function<void(const QImage&)> grab);
    // Adds the choice of the pass clock; offered only while a file is open.
    void offerPassClock();
    bool videoTimeChosen() const;
    // The "&Video" menu, for a screen to add entries of its own.
    QMenu* menu() const { return menu_; }
    // While a pass runs, no other source can be opened and the position bar is locked, but
    // playing, pausing, stepping and the speed still work.
    void setPassRunning(bool running);

    // The source named in the settings, reopened at start-up when it is still there.
    static void reopenRemembered(platform::Platform& platform);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Keeps the bar at the bottom of the surface, clear of the panels at its edges.
    void placeBar();
    void buildMenu(QMainWindow& window);
    void buildBar();
    void openFile();
    void openStream();
    void goToTypedTime();
    void fillCameraMenu();
    void openCamera(const platform::VideoCamera& camera);
    void noVideo();
    void remember();
    void showFrame();
    void refresh();
    void setRate(double rate);

    QMainWindow& window_;
    OverlayCanvas& canvas_;
    platform::Platform& platform_;
    bool passRunning_ = false;
    bool seeking_ = false;

    QMenu* menu_ = nullptr;
    QMenu* cameraMenu_ = nullptr;
    QAction* openFile_ = nullptr;
    QAction* openStream_ = nullptr;
    QAction* none_ = nullptr;
    QAction* play_ = nullptr;
    QAction* back_ = nullptr;
    QAction* forward_ = nullptr;
    QActionGroup* speeds_ = nullptr;
    QAction* grab_ = nullptr;
    QActionGroup* clocks_ = nullptr;
    QAction* wallClock_ = nullptr;
    QAction* videoTime_ = nullptr;

    QWidget* bar_ = nullptr;
    QToolButton* playButton_ = nullptr;
    QSlider* position_ = nullptr;
    QLabel* time_ = nullptr;
    QLineEdit* goTo_ = nullptr;
};

// "m:ss.mmm" of a time in microseconds.
QString video_time_text(qint64 timeUs);

}  // namespace quillon::screens
