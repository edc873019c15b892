#include "screens/video/video_controls.h"

#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <vector>

#include "screens/widgets/overlay_canvas.h"
#include "video/video_reader.h"

namespace quillon::screens {

namespace {

const QString settingsApplication = QStringLiteral("Quillon");
const QString settingsSection = QStringLiteral("Video");
const QString settingsKey = QStringLiteral("Source");
const QString filePrefix = QStringLiteral("file:");
const QString cameraPrefix = QStringLiteral("camera:");
const QString streamPrefix = QStringLiteral("stream:");

const QString videoFilter = QStringLiteral(
    "Video Files (*.mp4;*.mov;*.m4v;*.avi;*.mkv;*.webm;*.mts;*.m2ts;*.ts;*.mxf)|"
    "*.mp4;*.mov;*.m4v;*.avi;*.mkv;*.webm;*.mts;*.m2ts;*.ts;*.mxf|All Files (*.*)|*.*|");

constexpr double speeds[] = {0.25, 0.5, 1.0};

QAction* named(QAction* action, const char* name) {
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

}  // namespace

QString video_time_text(qint64 timeUs) {
    const qint64 ms = timeUs < 0 ? 0 : timeUs / 1000;
    return QStringLiteral("%1:%2.%3")
        .arg(ms / 60000)
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

VideoControls::VideoControls(QMainWindow& window, OverlayCanvas& canvas,
                             platform::Platform& platform)
    : QObject(&window), window_(window), canvas_(canvas), platform_(platform) {
    buildMenu(window);
    buildBar();
    connect(&platform_.video, &platform::VideoSource::framePresented, this,
            &VideoControls::showFrame);
    connect(&platform_.video, &platform::VideoSource::stateChanged, this, &VideoControls::refresh);
    canvas_.installEventFilter(this);
    showFrame();
    refresh();
}

bool VideoControls::eventFilter(QObject* watched, QEvent* event) {
    // After the screen has placed its own panels for the new size. The bar is placed again
    // each time the screen is shown: a source opened while the window was hidden placed it
    // on a surface that had no size yet.
    const bool placing = event->type() == QEvent::Resize || event->type() == QEvent::Show;
    if (watched == &canvas_ && placing && !bar_->isHidden()) {
        QTimer::singleShot(0, this, &VideoControls::placeBar);
    }
    return QObject::eventFilter(watched, event);
}

void VideoControls::buildMenu(QMainWindow& window) {
    menu_ = window.menuBar()->addMenu("&Video");
    menu_->menuAction()->setObjectName("mnuVideo");
    openFile_ = named(menu_->addAction("&Open Video File..."), "mnuVideoOpenFile");
    openStream_ = named(menu_->addAction("Open &Stream..."), "mnuVideoOpenStream");
    cameraMenu_ = menu_->addMenu("Live &Camera");
    cameraMenu_->menuAction()->setObjectName("mnuVideoCamera");
    none_ = named(menu_->addAction("&No Video"), "mnuVideoNone");
    menu_->addSeparator();
    play_ = named(menu_->addAction("&Play / Pause"), "mnuVideoPlay");
    play_->setShortcut(Qt::Key_F5);
    back_ = named(menu_->addAction("Frame &Back"), "mnuVideoBack");
    back_->setShortcut(Qt::Key_F6);
    forward_ = named(menu_->addAction("Frame &Forward"), "mnuVideoForward");
    forward_->setShortcut(Qt::Key_F7);
    QMenu* speedMenu = menu_->addMenu("&Speed");
    speedMenu->menuAction()->setObjectName("mnuVideoSpeed");
    speeds_ = new QActionGroup(this);
    int key = Qt::Key_1;
    for (const double speed : speeds) {
        QAction* action = speedMenu->addAction(QString::number(speed) + "x");
        action->setObjectName(QStringLiteral("mnuVideoSpeed%1").arg(speed * 100));
        action->setCheckable(true);
        action->setChecked(speed == 1.0);
        action->setShortcut(QKeySequence(Qt::CTRL | key++));
        speeds_->addAction(action);
        connect(action, &QAction::triggered, this, [this, speed] { setRate(speed); });
    }

    connect(openFile_, &QAction::triggered, this, &VideoControls::openFile);
    connect(openStream_, &QAction::triggered, this, &VideoControls::openStream);
    connect(cameraMenu_, &QMenu::aboutToShow, this, &VideoControls::fillCameraMenu);
    connect(none_, &QAction::triggered, this, &VideoControls::noVideo);
    connect(play_, &QAction::triggered, this,
            [this] { platform_.video.setPlaying(!platform_.video.playing()); });
    connect(back_, &QAction::triggered, this, [this] { platform_.video.stepFrames(-1); });
    connect(forward_, &QAction::triggered, this, [this] { platform_.video.stepFrames(1); });
}

void VideoControls::buildBar() {
    bar_ = new QWidget(&canvas_);
    bar_->setObjectName("videoBar");
    bar_->setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(bar_);
    layout->setContentsMargins(6, 2, 6, 2);
    playButton_ = new QToolButton(bar_);
    playButton_->setObjectName("videoPlay");
    playButton_->setDefaultAction(play_);
    position_ = new QSlider(Qt::Horizontal, bar_);
    position_->setObjectName("videoPosition");
    time_ = new QLabel(bar_);
    time_->setObjectName("videoTime");
    time_->setMinimumWidth(
        time_->fontMetrics().horizontalAdvance("00:00.000 / 00:00.000  frame 00000"));
    // Type 0:02.100 or 2.1 and press Enter: the frame shown at that time.
    goTo_ = new QLineEdit(bar_);
    goTo_->setObjectName("videoGoTo");
    goTo_->setPlaceholderText("go to 0:02.100");
    goTo_->setMaximumWidth(110);
    for (QWidget* control :
         {static_cast<QWidget*>(playButton_), static_cast<QWidget*>(position_)}) {
        control->setFocusPolicy(Qt::NoFocus);
    }
    layout->addWidget(playButton_);
    layout->addWidget(position_, 1);
    layout->addWidget(time_);
    layout->addWidget(goTo_);
    connect(goTo_, &QLineEdit::returnPressed, this, &VideoControls::goToTypedTime);
    // Clicks on the bar seek at once; a drag seeks where it is let go.
    connect(position_, &QSlider::valueChanged, this, [this](int ms) {
        if (!seeking_ && !position_->isSliderDown()) {
            platform_.video.seekUs(static_cast<qint64>(ms) * 1000);
        }
    });
    connect(position_, &QSlider::sliderReleased, this,
            [this] { platform_.video.seekUs(static_cast<qint64>(position_->value()) * 1000); });
    bar_->hide();
}

void VideoControls::placeBar() {
    // In the widest stretch of the bottom edge (or else the top edge) that the screen's own
    // panels leave free, so that the bar never hides a control.
    const int height = bar_->sizeHint().height();
    const int margin = 4;
    QRect best;
    for (const int top : {canvas_.height() - height - margin, margin}) {
        const QRect band(0, top, canvas_.width(), height);
        std::vector<std::pair<int, int>> taken;
        for (const QWidget* panel : canvas_.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (panel != bar_ && panel->isVisibleTo(&canvas_) &&
                panel->geometry().intersects(band)) {
                taken.emplace_back(panel->geometry().left(), panel->geometry().right());
            }
        }
        std::sort(taken.begin(), taken.end());
        int from = 0;
        taken.emplace_back(canvas_.width(), canvas_.width());
        for (const auto& [left, right] : taken) {
            if (left - from > best.width()) {
                best = QRect(from, top, left - from, height);
            }
            from = std::max(from, right + 1);
        }
        if (best.width() >= 360) {
            break;
        }
    }
    const int width = std::min(best.width() - 2 * margin, 720);
    bar_->setGeometry(best.left() + (best.width() - width) / 2, best.top(), width, height);
}

void VideoControls::offerGrab(std::function<void(const QImage&)> grab) {
    menu_->addSeparator();
    grab_ = named(menu_->addAction("&Grab Frame as Picture"), "mnuVideoGrab");
    grab_->setShortcut(Qt::Key_F8);
    connect(grab_, &QAction::triggered, this, [this, grab = std::move(grab)] {
        if (canvas_.hasVideo()) {
            grab(canvas_.videoAsShown());
        }
    });
    refresh();
}

void VideoControls::offerPassClock() {
    menu_->addSeparator();
    QMenu* clockMenu = menu_->addMenu("Pass &Clock");
    clockMenu->menuAction()->setObjectName("mnuVideoClock");
    clocks_ = new QActionGroup(this);
    wallClock_ = named(clockMenu->addAction("&Wall Clock"), "mnuClockWall");
    videoTime_ = named(clockMenu->addAction("&Video Time"), "mnuClockVideo");
    for (QAction* action : {wallClock_, videoTime_}) {
        action->setCheckable(true);
        clocks_->addAction(action);
    }
    // A replay is timed by the video itself unless the operator chooses the wall clock: the
    // software decoder may play 1080p slower than real time, which would put the marker rows
    // ahead of the boat.
    videoTime_->setChecked(true);
    connect(clocks_, &QActionGroup::triggered, this, &VideoControls::refresh);
    refresh();
}

bool VideoControls::videoTimeChosen() const {
    return videoTime_ != nullptr && videoTime_->isChecked() &&
           platform_.video.kind() == platform::VideoSource::Kind::File;
}

void VideoControls::setPassRunning(bool running) {
    passRunning_ = running;
    refresh();
}

void VideoControls::openFile() {
    const QString current = platform_.video.kind() == platform::VideoSource::Kind::File
                                ? QFileInfo(platform_.video.name()).absolutePath()
                                : platform_.appFolder;
    const auto path = platform_.dialogs.openFile({"Open Video File", videoFilter, 1, current});
    if (!path) {
        return;
    }
    if (const auto message = platform_.video.openFile(*path)) {
        platform_.dialogs.message(*message, platform::MessageStyle::Exclamation);
        return;
    }
    remember();
}

void VideoControls::openStream() {
    const auto address = platform_.dialogs.input(
        "Network address of the stream (rtsp://, udp://, tcp://, http://):", "Open Stream");
    if (!address || address->trimmed().isEmpty()) {
        return;
    }
    const QString url = address->trimmed();
    openCamera({url.toUtf8(), url});
}

void VideoControls::goToTypedTime() {
    const auto timeUs = video::parse_video_time(goTo_->text().trimmed().toStdString());
    if (!timeUs) {
        platform_.dialogs.message(
            QStringLiteral("\"%1\" is not a time in the video: type seconds (2.1) or minutes "
                           "and seconds (0:02.100).")
                .arg(goTo_->text()),
            platform::MessageStyle::Exclamation);
        return;
    }
    platform_.video.seekUs(*timeUs);
    goTo_->clear();
}

void VideoControls::fillCameraMenu() {
    cameraMenu_->clear();
    const auto cameras = platform_.video.cameras();
    if (cameras.isEmpty()) {
        cameraMenu_->addAction("(no camera found)")->setEnabled(false);
        return;
    }
    for (const platform::VideoCamera& camera : cameras) {
        QAction* action = cameraMenu_->addAction(camera.description);
        action->setCheckable(true);
        action->setChecked(platform_.video.kind() == platform::VideoSource::Kind::Camera &&
                           platform_.video.name() == camera.description);
        connect(action, &QAction::triggered, this, [this, camera] { openCamera(camera); });
    }
}

void VideoControls::openCamera(const platform::VideoCamera& camera) {
    if (const auto message = platform_.video.openCamera(camera)) {
        platform_.dialogs.message(*message, platform::MessageStyle::Exclamation);
        return;
    }
    remember();
}

void VideoControls::noVideo() {
    platform_.video.close();
    remember();
}

void VideoControls::remember() {
    const auto& video = platform_.video;
    QString value;
    if (video.kind() == platform::VideoSource::Kind::File) {
        value = filePrefix + video.name();
    } else if (video.kind() == platform::VideoSource::Kind::Camera) {
        value = streamPrefix + video.name();
        for (const auto& camera : video.cameras()) {
            if (camera.description == video.name()) {
                value = cameraPrefix + QString::fromUtf8(camera.id);
            }
        }
    }
    platform_.settings.write(settingsApplication, settingsSection, settingsKey, value);
}

void VideoControls::reopenRemembered(platform::Platform& platform) {
    const QString value =
        platform.settings.read(settingsApplication, settingsSection, settingsKey, {});
    std::optional<QString> message;
    if (value.startsWith(filePrefix)) {
        const QString path = value.mid(filePrefix.size());
        if (QFileInfo(path).isFile()) {
            message = platform.video.openFile(path);
        }
    } else if (value.startsWith(streamPrefix)) {
        const QString url = value.mid(streamPrefix.size());
        message = platform.video.openCamera({url.toUtf8(), url});
    } else if (value.startsWith(cameraPrefix)) {
        const QByteArray id = value.mid(cameraPrefix.size()).toUtf8();
        for (const auto& camera : platform.video.cameras()) {
            if (camera.id == id) {
                message = platform.video.openCamera(camera);
            }
        }
    }
    if (message) {
        platform.dialogs.message(*message, platform::MessageStyle::Exclamation);
    }
}

void VideoControls::setRate(double rate) {
    platform_.video.setRate(rate);
}

void VideoControls::showFrame() {
    canvas_.setVideoFrame(platform_.video.frame().image);
    const auto& video = platform_.video;
    if (video.kind() != platform::VideoSource::Kind::File) {
        return;
    }
    seeking_ = true;
    position_->setValue(static_cast<int>(std::max<qint64>(video.frame().timeUs, 0) / 1000));
    seeking_ = false;
    time_->setText(
        QStringLiteral("%1 / %2  frame %3")
            .arg(video_time_text(video.frame().timeUs), video_time_text(video.durationUs()))
            .arg(video.frameIndex()));
}

void VideoControls::refresh() {
    const auto& video = platform_.video;
    const bool file = video.kind() == platform::VideoSource::Kind::File;
    const bool any = video.kind() != platform::VideoSource::Kind::None;
    openFile_->setEnabled(!passRunning_);
    openStream_->setEnabled(!passRunning_);
    goTo_->setEnabled(file && !passRunning_);
    cameraMenu_->setEnabled(!passRunning_);
    none_->setEnabled(!passRunning_ && any);
    for (QAction* action : {play_, back_, forward_}) {
        action->setEnabled(file);
    }
    play_->setText(video.playing() ? "&Pause" : "&Play");
    const QList<QAction*> speedActions = speeds_->actions();
    for (std::size_t k = 0; k < std::size(speeds); ++k) {
        QAction* action = speedActions[static_cast<qsizetype>(k)];
        action->setEnabled(file);
        action->setChecked(speeds[k] == video.rate());
    }
    if (grab_ != nullptr) {
        grab_->setEnabled(any);
    }
    if (clocks_ != nullptr) {
        clocks_->setEnabled(file && !passRunning_);
    }
    position_->setEnabled(file && !passRunning_);
    position_->setMaximum(static_cast<int>(video.durationUs() / 1000));
    bar_->setVisible(file);
    if (file) {
        placeBar();
        bar_->raise();
    }
    if (!any) {
        canvas_.setVideoFrame({});
    }
}

}  // namespace quillon::screens
