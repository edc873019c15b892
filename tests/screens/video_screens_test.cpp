#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "screens/measure/measure_screen.h"
#include "screens/setup/setup_screen.h"
#include "screens/start/start_screen.h"
#include "screens/widgets/overlay_canvas.h"
#include "session/pass_recorder.h"
#include "support/app_harness.h"
#include "support/fake_boat_tracker.h"

using quillon::platform::ArrowKey;
using quillon::platform::VideoSource;
using quillon::screens::OverlayCanvas;
using namespace quillon::testing;

namespace {

const QString sourceKey = "Quillon/Video/Source";

// A program whose folder holds a "recorded" video; the fake source plays generated frames.
struct WithVideo : AppHarness {
    WithVideo() {
        write_bytes(path("pass.mp4"), "recorded pass");
        startWithResultsHere();
    }
    void openVideo(QObject& screen) {
        dialogs.fileAnswers.push_back(path("pass.mp4"));
        trigger(screen, "mnuVideoOpenFile");
    }
};

OverlayCanvas& surface(QWidget& screen) {
    return *screen.findChild<OverlayCanvas*>();
}

// A point in the lower half of the surface, where every frame of the test video differs.
QColor lowerMiddle(const OverlayCanvas& canvas) {
    return canvas.colourAt(canvas.width() * 15 / 2, canvas.height() * 15 * 3 / 4);
}

}  // namespace

class VideoScreensTest : public QObject {
    Q_OBJECT

  private slots:
    void theSetupScreenKeysTheVideoInAndGrabsAFrame();
    void aSourceThatCannotBeOpenedChangesNothing();
    void theLastSourceIsReopenedAtStartUpWhenStillThere();
    void aReplayedPassStoresTheSameSamplesAtEverySpeed();
    void autoTrackKeepsTheLineOnTheMarkUntilItIsLostOrTakenOver_data();
    void autoTrackKeepsTheLineOnTheMarkUntilItIsLostOrTakenOver();
    void aReplayThatEndsBeforeThePassKeepsNoPass();
    void nothingOfAutoTrackOutlivesAnAbortOrAnotherVideo();
    void aStreamAndATypedTimeAreOpenedFromTheVideoControls();
    void thePlaybackBarIsPlacedWhenTheScreenIsShown();
    void aMarkIsTheSameVideoPixelOnSetupAndMeasure_data();
    void aMarkIsTheSameVideoPixelOnSetupAndMeasure();
};

void VideoScreensTest::aMarkIsTheSameVideoPixelOnSetupAndMeasure_data() {
    QTest::addColumn<QSize>("display");
    QTest::newRow("1024x768") << QSize(1024, 768);
    QTest::newRow("1280x1024") << QSize(1280, 1024);
    QTest::newRow("1920x1080") << QSize(1920, 1080);
}

// Where a point of the surface falls on the video frame, in the frame's pixels.
static QPointF video_pixel(const OverlayCanvas& canvas, QPointF at, QSize frame) {
    const QRect shown = canvas.videoRect();
    return {(at.x() - shown.x()) * frame.width() / shown.width(),
            (at.y() - shown.y()) * frame.height() / shown.height()};
}

void VideoScreensTest::aMarkIsTheSameVideoPixelOnSetupAndMeasure() {
    QFETCH(QSize, display);
    WithVideo h;
    h.session.screenWidthPx = std::to_string(display.width());
    h.session.screenHeightPx = std::to_string(display.height());
    auto& setup = h.app.setup();
    setup.show();
    h.openVideo(setup);
    OverlayCanvas& setupSurface = surface(setup);
    const QPoint at(setupSurface.width() / 2, setupSurface.height() / 2);
    click_option(setup, "upper_left_button");
    QTest::mouseClick(&setupSurface, Qt::LeftButton, {}, at);
    const QSize frame = h.video.frame().image.size();
    const QPointF onSetup = video_pixel(setupSurface, at, frame);

    // The Measure window maximized, or resized by a window manager, keeps its surface.
    auto& measure = h.app.measure();
    measure.showMaximized();
    measure.resize(display / 2);
    const OverlayCanvas& measureSurface = measure.canvas();
    QVERIFY(measureSurface.hasVideo());
    QCOMPARE(measureSurface.size(), setupSurface.size());
    const auto& corners = h.session.calibration.corners;
    const QPointF marked = OverlayCanvas::toPixels(corners.ul_screen_x, corners.ul_screen_y);
    QCOMPARE(video_pixel(measureSurface, marked, frame), onSetup);
}

void VideoScreensTest::theSetupScreenKeysTheVideoInAndGrabsAFrame() {
    WithVideo h;
    auto& setup = h.app.setup();
    setup.resize(900, 700);
    setup.show();
    OverlayCanvas& canvas = surface(setup);
    QVERIFY(!canvas.hasVideo());

    h.openVideo(setup);
    QCOMPARE(h.video.opened, QStringList{h.path("pass.mp4")});
    QCOMPARE(h.settings.values[sourceKey], "file:" + h.path("pass.mp4"));
    QVERIFY(canvas.hasVideo());
    const QColor frame0 = lowerMiddle(canvas);
    QCOMPARE(frame0, canvas.videoAsShown().pixelColor(canvas.width() / 2, canvas.height() * 3 / 4));

    // The menu's stepping and playing reach the video.
    const struct {
        const char* entry;
        int frame;
    } steps[] = {{"mnuVideoForward", 1}, {"mnuVideoForward", 2}, {"mnuVideoBack", 1}};
    for (const auto& step : steps) {
        trigger(setup, step.entry);
        QCOMPARE(h.video.frameIndex(), step.frame);
        QCOMPARE(FakeVideoSource::indexShown(h.video.frame().image), step.frame);
    }
    trigger(setup, "mnuVideoPlay");
    QVERIFY(h.video.playing());
    trigger(setup, "mnuVideoSpeed25");
    QCOMPARE(h.video.rate(), 0.25);
    trigger(setup, "mnuVideoPlay");
    QVERIFY(!h.video.playing());

    // A grabbed frame is the still picture: it hides the video as it moves on, until cleared.
    const QColor grabbed = lowerMiddle(canvas);
    trigger(setup, "mnuVideoGrab");
    QVERIFY(canvas.hasPicture());
    h.video.advance();
    h.video.advance();
    QCOMPARE(lowerMiddle(canvas), grabbed);
    trigger(setup, "mnuClearPicture");
    QVERIFY(lowerMiddle(canvas) != grabbed);

    trigger(setup, "mnuVideoNone");
    QCOMPARE(h.video.kind(), VideoSource::Kind::None);
    QVERIFY(!canvas.hasVideo());
    QCOMPARE(h.settings.values[sourceKey], QString());
}

void VideoScreensTest::aSourceThatCannotBeOpenedChangesNothing() {
    WithVideo h;
    auto& setup = h.app.setup();
    h.openVideo(setup);
    h.video.stepFrames(7);
    write_bytes(h.path("broken.mkv"), "not a video");
    write_bytes(h.path("empty.avi"), "");

    const struct {
        QString file;
        std::optional<QString> failure;
        QString reason;
    } cases[] = {
        {h.path("gone.mov"), {}, "the file does not exist."},
        {h.path("empty.avi"), {}, "the file is empty."},
        {h.path("broken.mkv"), QString("it is not a video file this program can play."),
         "it is not a video file this program can play."},
    };
    for (const auto& c : cases) {
        h.video.failure = c.failure;
        h.dialogs.shown.clear();
        h.dialogs.fileAnswers.push_back(c.file);
        trigger(setup, "mnuVideoOpenFile");
        const auto messages = h.dialogs.messages();
        QCOMPARE(messages.size(), std::size_t{1});
        QCOMPARE(messages[0].text, "The video \"" + QDir::toNativeSeparators(c.file) +
                                       "\" cannot be opened: " + c.reason);
        QCOMPARE(h.video.name(), h.path("pass.mp4"));
        QCOMPARE(h.video.frameIndex(), 7);
        QCOMPARE(h.settings.values[sourceKey], "file:" + h.path("pass.mp4"));
    }
}

void VideoScreensTest::theLastSourceIsReopenedAtStartUpWhenStillThere() {
    const struct {
        const char* what;
        QString value;  // "%1" is the program's folder
        VideoSource::Kind kind;
        int messages;
    } cases[] = {
        {"a file still there", "file:%1/pass.mp4", VideoSource::Kind::File, 0},
        {"a file gone since", "file:%1/gone.mp4", VideoSource::Kind::None, 0},
        {"a camera still listed", "camera:usb-1", VideoSource::Kind::Camera, 0},
        {"a camera unplugged since", "camera:usb-2", VideoSource::Kind::None, 0},
        {"a file that cannot be opened", "file:%1/pass.mp4", VideoSource::Kind::None, 1},
        {"a network stream", "stream:tcp://10.0.0.5:9000", VideoSource::Kind::Camera, 0},
    };
    for (const auto& c : cases) {
        AppHarness h;
        write_bytes(h.path("pass.mp4"), "recorded pass");
        h.video.cameraList = {{"usb-1", "Boat camera"}};
        h.settings.values[sourceKey] = QString(c.value).replace("%1", h.folder.path());
        if (c.messages > 0) {
            h.video.failure = "it is not a video file this program can play.";
        }
        h.startWithResultsHere();
        QVERIFY2(h.video.kind() == c.kind, c.what);
        QVERIFY2(h.dialogs.messages().size() == std::size_t(c.messages), c.what);
    }
}

// The operator holds the line right for two seconds of video, then left: in video time the
// samples depend only on what the video showed, not on how fast it was played or stepped.
void VideoScreensTest::aReplayedPassStoresTheSameSamplesAtEverySpeed() {
    struct Run {
        const char* how;
        double rate;  // wall-clock ticks per frame are 1 / rate
        bool stepped;
    };
    const Run runs[] = {
        {"1x", 1, false}, {"0.5x", 0.5, false}, {"0.25x", 0.25, false}, {"stepped", 1, true}};
    std::vector<std::vector<double>> results;
    for (const Run& run : runs) {
        WithVideo h;
        h.video.frames = 3000;
        h.joystick.positionResult = quillon::platform::joystick_result::unplugged;
        h.dialogs.inputAnswers = {QString(), QString(), QString()};
        h.app.setup();
        auto& model = h.session.calibration.model;
        model.set_coefficients({-4.0, 1.0 / 1024, 0, 0, 0, 62.5, 0, -1.0 / 16});
        h.session.setupValid = 1;
        click(h.app.start(), "Command1");
        auto& measure = h.app.measure();
        h.openVideo(measure);
        trigger(measure, "mnuVideoSpeed" + QByteArray::number(run.rate * 100));
        trigger(measure, "mnuClockVideo");
        click(measure, "Command1");
        QVERIFY(measure.passRunning());

        int frame = 0;
        while (measure.passRunning() && frame < h.video.frames) {
            h.keys.hold(ArrowKey::Right, frame < 60);
            h.keys.hold(ArrowKey::Left, frame >= 60);
            // Wall-clock time passes as the video plays; it must not count.
            for (int tick = 0; tick < static_cast<int>(1 / run.rate); ++tick) {
                for (FakePulseClock* clock : h.pulseClocks.clocks) {
                    clock->tick();
                }
            }
            if (run.stepped) {
                trigger(measure, "mnuVideoForward");
            } else {
                h.video.advance();
            }
            ++frame;
        }
        QVERIFY2(!measure.passRunning(), run.how);
        QCOMPARE(h.session.passClockLine,
                 std::string("Pass Clock: Video Time (pass.mp4 from 0:00.000)"));
        const int n = h.session.lastSampleIndex;
        // One sample every 100 ms of video: the pass ends on frame 3 x (n + 1).
        QCOMPARE(frame, 3 * (n + 1));
        results.emplace_back(h.session.samples.begin(), h.session.samples.begin() + n + 1);
    }
    const auto& first = results.front();
    QVERIFY(*std::max_element(first.begin(), first.end()) > 0.5);
    QVERIFY(first.back() < *std::max_element(first.begin(), first.end()));
    for (const auto& samples : results) {
        QCOMPARE(samples, first);
    }
}
void VideoScreensTest::autoTrackKeepsTheLineOnTheMarkUntilItIsLostOrTakenOver_data() {
    QTest::addColumn<int>("lostFrom");  // the first frame the tracker does not find the mark on
    QTest::addColumn<int>("keyAt");     // the frame the operator presses Right on
    QTest::addColumn<int>("untracked");
    QTest::addColumn<QString>("ranges");
    QTest::addColumn<QString>("banner");  // on the surface after the mark was lost or taken
    QTest::newRow("lost at 10 s") << 300 << -1 << 63 << "99-161"
                                  << "Tracking lost - the line is yours";
    QTest::newRow("taken over at 5 s")
        << 100000 << 150 << 112 << "50-161"
        << "The line is yours: click the boat's mark to track it again";
    QTest::newRow("tracked throughout") << 100000 << -1 << 0 << ""
                                        << "";
}

// The fake tracker finds the mark half a pixel further right on every frame of the video.
void VideoScreensTest::autoTrackKeepsTheLineOnTheMarkUntilItIsLostOrTakenOver() {
    QFETCH(int, lostFrom);
    QFETCH(int, keyAt);
    QFETCH(int, untracked);
    QFETCH(QString, ranges);
    QFETCH(QString, banner);
    WithVideo h;
    h.video.frames = 3000;
    h.joystick.positionResult = quillon::platform::joystick_result::unplugged;
    h.dialogs.inputAnswers = {QString(), QString(), QString()};
    const FakeBoatTracker::Script script{0.5, lostFrom};
    h.platform.boatTracker = [script] { return std::make_unique<FakeBoatTracker>(script); };
    h.app.setup();
    h.session.calibration.model.set_coefficients({-4.0, 1.0 / 1024, 0, 0, 0, 62.5, 0, -1.0 / 16});
    h.session.setupValid = 1;
    click(h.app.start(), "Command1");
    auto& measure = h.app.measure();
    auto* autoTrack = control<QCheckBox>(measure, "chkAutoTrack");
    QVERIFY(!autoTrack->isEnabled());  // no video yet
    h.openVideo(measure);
    click_option(autoTrack);

    // A press on the picture picks the mark; it never starts a pass.
    OverlayCanvas& canvas = surface(measure);
    const QRect shown = canvas.videoRect();
    const QPoint mark = shown.center();
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, mark);
    QVERIFY(!measure.passRunning());
    auto* status = control<QLabel>(measure, "lblTrackStatus");
    QCOMPARE(status->text(), QString("Tracking"));

    click(measure, "Command1");
    auto* bannerLabel = control<QLabel>(measure, "lblTrackBanner");
    int frame = 0;
    QString bannerSeen;
    while (measure.passRunning() && frame < h.video.frames) {
        h.keys.hold(ArrowKey::Right, keyAt >= 0 && frame >= keyAt && frame < keyAt + 3);
        h.video.advance();
        if (frame == lostFrom + 10 || frame == keyAt + 10) {
            bannerSeen = bannerLabel->isVisible() ? bannerLabel->text() : QString();
        }
        ++frame;
    }
    const int n = h.session.lastSampleIndex;
    QCOMPARE(frame, 3 * (n + 1));
    QCOMPARE(bannerSeen, banner);
    std::string clock = "Pass Clock: Video Time (pass.mp4 from 0:00.000), Auto Track";
    if (untracked > 0) {
        clock += ", " + std::to_string(untracked) + " samples not tracked (" +
                 ranges.toStdString() + ")";
    }
    QVERIFY2(h.session.passClockLine == clock, h.session.passClockLine.c_str());
    // After the pass, nothing of Auto Track stays on the screen.
    QVERIFY(status->isHidden());
    QVERIFY(status->text().isEmpty());
    QVERIFY(bannerLabel->isHidden());
    QVERIFY(!measure.findChild<quillon::screens::LineShape*>("trackBoxTop")->isVisible());

    // Each tracked sample measures the mark on the frame its clock tick was due on.
    const QSize frameSize = h.video.frame().image.size();
    const auto at = quillon::tracking::fit_frame(canvas.width(), canvas.height(), frameSize.width(),
                                                 frameSize.height());
    const double clickX = (mark.x() - at.left) / at.scale;
    for (int k = 0; k < n + 1 - untracked; ++k) {
        const double markX = clickX + 0.5 * 3 * (k + 1);
        const double lineTwips = (at.left + markX * at.scale) * 15;
        const double expected =
            quillon::session::rounded_deviation((lineTwips - 4096) / 1024, 1.25);
        QCOMPARE(h.session.samples[static_cast<std::size_t>(k)], expected);
    }
}

void VideoScreensTest::aReplayThatEndsBeforeThePassKeepsNoPass() {
    WithVideo h;
    h.video.frames = 240;  // 8 s of video for a pass of 16.2 s
    h.app.setup();
    h.session.calibration.model.set_coefficients({-4.0, 1.0 / 1024, 0, 0, 0, 62.5, 0, -1.0 / 16});
    h.session.setupValid = 1;
    click(h.app.start(), "Command1");
    auto& measure = h.app.measure();
    h.openVideo(measure);
    click(measure, "Command1");
    h.video.setPlaying(true);
    while (h.video.advance()) {
    }
    QVERIFY(measure.passRunning());
    h.video.setPlaying(false);  // as the player stops at the end of the file
    QVERIFY(!measure.passRunning());
    QCOMPARE(h.session.passMeasured, 0);
    QVERIFY(measure.isVisible());
    const auto messages = h.dialogs.messages();
    QVERIFY(!messages.empty());
    QVERIFY(messages.back().text.startsWith("The video ended before the pass did: 79 of 162"));
}

// The tracking box, the banner and the status go with the mark: after Abort, and when
// another video is opened, none of them stays on the screen.
void VideoScreensTest::nothingOfAutoTrackOutlivesAnAbortOrAnotherVideo() {
    WithVideo h;
    write_bytes(h.path("other.mp4"), "another pass");
    h.platform.boatTracker = [] {
        return std::make_unique<FakeBoatTracker>(FakeBoatTracker::Script{});
    };
    h.app.setup();
    h.session.calibration.model.set_coefficients({-4.0, 1.0 / 1024, 0, 0, 0, 62.5, 0, -1.0 / 16});
    h.session.setupValid = 1;
    for (const char* leave : {"btnAbort", "another video"}) {
        click(h.app.start(), "Command1");
        auto& measure = h.app.measure();
        h.openVideo(measure);
        click_option(measure, "chkAutoTrack");
        OverlayCanvas& canvas = surface(measure);
        QTest::mouseClick(&canvas, Qt::LeftButton, {}, canvas.videoRect().center());
        auto* status = control<QLabel>(measure, "lblTrackStatus");
        auto* box = measure.findChild<quillon::screens::LineShape*>("trackBoxTop");
        QCOMPARE(status->text(), QString("Tracking"));
        h.video.advance();
        QVERIFY(box->isVisible());
        if (QByteArray(leave) == "btnAbort") {
            click(measure, "Command1");
            h.video.advance();
            click(measure, "btnAbort");
            QVERIFY(!measure.passRunning());
        } else {  // the Video menu opens another file only between passes
            h.dialogs.fileAnswers.push_back(h.path("other.mp4"));
            trigger(measure, "mnuVideoOpenFile");
        }
        QVERIFY2(status->isHidden() && status->text().isEmpty(),
                 qPrintable(QString(leave) + ": " + status->text()));
        QVERIFY2(!box->isVisible(), leave);
        QVERIFY2(control<QLabel>(measure, "lblTrackBanner")->isHidden(), leave);
        if (measure.isVisible()) {
            click(measure, "btnAbort");
        }
        click_option(measure, "chkAutoTrack");  // off again for the next round
    }
}

// "Open Stream..." takes a network address and is remembered like a camera; the time box on
// the bar goes to the frame shown at a time typed as seconds or as minutes and seconds.
void VideoScreensTest::aStreamAndATypedTimeAreOpenedFromTheVideoControls() {
    WithVideo h;
    auto& setup = h.app.setup();
    setup.show();
    h.dialogs.inputAnswers = {QString("  udp://239.0.0.1:1234 ")};
    trigger(setup, "mnuVideoOpenStream");
    QCOMPARE(h.video.kind(), VideoSource::Kind::Camera);
    QCOMPARE(h.video.name(), QString("udp://239.0.0.1:1234"));
    QCOMPARE(h.settings.values[sourceKey], QVariant("stream:udp://239.0.0.1:1234"));

    h.openVideo(setup);
    auto* goTo = setup.findChild<QLineEdit*>("videoGoTo");
    QVERIFY(goTo != nullptr);
    const struct {
        const char* typed;
        int frame;  // the frame shown after it, at 30 frames per second; -1: refused
    } cases[] = {{"0:02.100", 63}, {"2.1", 63}, {"0:05", 150}, {"0:75", -1}, {"soon", -1}};
    for (const auto& c : cases) {
        const auto messagesBefore = h.dialogs.messages().size();
        const int before = h.video.frameIndex();
        goTo->setText(c.typed);
        QTest::keyClick(goTo, Qt::Key_Return);
        if (c.frame < 0) {
            QCOMPARE(h.dialogs.messages().size(), messagesBefore + 1);
            QCOMPARE(h.video.frameIndex(), before);
        } else {
            QCOMPARE(h.video.frameIndex(), c.frame);
        }
    }
}

// On a second start the last video is reopened before the Setup screen exists: the bar is
// made while the window is hidden, and must still stand clear of the boxes, along the bottom,
// wide enough to use, once the screen is shown.
void VideoScreensTest::thePlaybackBarIsPlacedWhenTheScreenIsShown() {
    AppHarness h;
    write_bytes(h.path("pass.mp4"), "recorded pass");
    h.settings.values[sourceKey] = "file:" + h.path("pass.mp4");
    h.startWithResultsHere();
    QCOMPARE(h.video.kind(), VideoSource::Kind::File);
    auto& setup = h.app.setup();
    setup.show();
    QVERIFY(QTest::qWaitForWindowExposed(&setup));
    QCoreApplication::processEvents();

    const auto* bar = control(setup, "videoBar");
    const OverlayCanvas& canvas = surface(setup);
    QVERIFY(bar->isVisible());
    QVERIFY2(bar->width() >= 300, qPrintable(QString::number(bar->width())));
    QVERIFY(canvas.rect().contains(bar->geometry()));
    QVERIFY(bar->geometry().bottom() > canvas.height() / 2);
    for (const QWidget* other : canvas.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (other != bar && other->isVisible()) {
            QVERIFY2(!other->geometry().intersects(bar->geometry()),
                     qPrintable(other->objectName()));
        }
    }
    QVERIFY(control(setup, "videoPosition")->isEnabled());
}

QTEST_MAIN(VideoScreensTest)
#include "video_screens_test.moc"
