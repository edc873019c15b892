#include <QCheckBox>
#include <QtTest>
#include <cmath>
#include <numbers>

#include "app/application.h"
#include "platform/ffmpeg_video_source.h"
#include "screens/measure/measure_screen.h"
#include "screens/results/results_screen.h"
#include "screens/setup/setup_screen.h"
#include "screens/start/start_screen.h"
#include "screens/widgets/overlay_canvas.h"
#include "support/fake_platform.h"
#include "support/fake_pulse_clock.h"
#include "support/screen_test.h"
#include "tools/demo_course/demo_pass.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

const QString programFolder = QStringLiteral(QUILLON_PROGRAM_FOLDER);

// The demo calibration is made for a 1024 x 768 drawing surface; the video fills a surface
// that size exactly, so the setup file fits the video as it fits the still picture.
void fit_surface(QMainWindow& screen) {
    screen.show();
    QTRY_COMPARE(screen.centralWidget()->size(), QSize(1024, 768));
}

void save_shot(QWidget& screen, const char* name) {
    const QString folder = qEnvironmentVariable("QUILLON_SCREENSHOTS");
    if (!folder.isEmpty()) {
        screen.grab().save(folder + "/" + name);
    }
}

}  // namespace

// The whole program over the real video adapter: the demo pass video is replayed in video time
// while the "operator" keeps the mouse on the boat's windshield mark, and the samples come out
// as the weave painted into the video.
class DemoReplayTest : public QObject {
    Q_OBJECT

  private slots:
    void aReplayedDemoPassMeasuresTheBoatsWeave();
};

void DemoReplayTest::aReplayedDemoPassMeasuresTheBoatsWeave() {
    QTemporaryDir folder;
    FakeSettingsStore settings;
    FakeDialogs dialogs;
    FakeWallClock clock;
    FakeKeyState keys;
    FakeJoystick joystick;
    joystick.capabilitiesResult = platform::joystick_result::unplugged;
    FakePulseClockFactory pulseClocks;
    platform::FfmpegVideoSource video;
    platform::Platform platform{settings, dialogs,     clock, keys,
                                joystick, pulseClocks, video, folder.path()};
    session::PassSession session;
    app::Application app(session, platform);
    settings.values["Quillon/Settings/resultspath"] = folder.path();
    app.startUp();
    // A display that leaves the screens a 1024 x 768 drawing surface.
    session.screenWidthPx = "1024";
    session.screenHeightPx = "868";

    // Setup: the demo setup file, the video paused as the boat reaches the far gate.
    auto& setup = app.setup();
    fit_surface(setup);
    dialogs.fileAnswers.push_back(programFolder + "/SlalomOK.ipt");
    trigger(setup, "gridLoad");
    QCOMPARE(session.setupValid, 1.0);
    dialogs.fileAnswers.push_back(programFolder + "/SlalomPass.mp4");
    trigger(setup, "mnuVideoOpenFile");
    QCOMPARE(video.kind(), platform::VideoSource::Kind::File);
    const int farGateFrame =
        static_cast<int>(demo_course::passLeadSeconds * demo_course::passFramesPerSecond);
    video.stepFrames(farGateFrame);
    QTRY_COMPARE_WITH_TIMEOUT(video.frameIndex(), farGateFrame, 5000);
    click(setup, "show_alignment");
    click(setup, "btnShowAllBuoys");
    save_shot(setup, "setup-screen-video.png");
    trigger(setup, "gridExit");

    // Measure in video time, following the boat with the mouse on every frame shown.
    dialogs.inputAnswers = {QString(), QString(), QString()};
    click(app.start(), "Command1");
    auto& measure = app.measure();
    fit_surface(measure);
    auto& canvas = *measure.findChild<screens::OverlayCanvas*>();
    auto follow = [&] {
        const auto boat = demo_course::boat_position(video.frameIndex());
        const auto at = session.calibration.model.survey_to_screen({boat.x, boat.y});
        emit canvas.mouseMoved(at.x, at.y);
    };
    connect(&video, &platform::VideoSource::framePresented, &measure, follow);
    follow();
    click_option(measure, "chkUseMouse");
    trigger(measure, "mnuClockVideo");
    click(measure, "Command1");
    QVERIFY(measure.passRunning());
    video.setPlaying(true);
    bool shot = false;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            if (!shot && session.sampleIndex >= 60) {
                save_shot(measure, "measure-screen-video.png");
                shot = true;
            }
            return !measure.passRunning();
        }(),
        60000);
    video.setPlaying(false);

    // The weave of the video, 0.18 m sin(3 pi d / 259) at d metres down the course.
    const int n = session.lastSampleIndex;
    for (int k = 0; k <= n; ++k) {
        const double d = k * 259.0 / n;
        const double weave = 0.18 * std::sin(3 * std::numbers::pi * d / 259.0);
        QVERIFY2(std::abs(session.samples[static_cast<std::size_t>(k)] - weave) <= 0.03,
                 qPrintable(QStringLiteral("sample %1: %2 against %3")
                                .arg(k)
                                .arg(session.samples[static_cast<std::size_t>(k)])
                                .arg(weave)));
    }
    QCOMPARE(session.passClockLine,
             std::string("Pass Clock: Video Time (SlalomPass.mp4 from 0:01.500)"));
    QTRY_VERIFY(app.results().isVisible());
    QTest::qWait(800);  // the graph is drawn half a second after the report
    save_shot(app.results(), "results-screen-video.png");
}

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    DemoReplayTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "demo_replay_test.moc"
