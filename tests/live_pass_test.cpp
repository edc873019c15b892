#include <QCheckBox>
#include <QLabel>
#include <QRegularExpression>
#include <QtTest>
#include <sstream>

#include "app/application.h"
#include "calibration/calibration.h"
#include "calibration/setup_file.h"
#include "cli/command_table.h"
#include "demo_course/truth_pass.h"
#include "platform/ffmpeg_video_source.h"
#include "screens/measure/measure_screen.h"
#include "screens/start/start_screen.h"
#include "screens/widgets/overlay_canvas.h"
#include "session/pass_recorder.h"
#include "support/fake_platform.h"
#include "support/fake_pulse_clock.h"
#include "support/screen_test.h"
#include "tracking/boat_tracker.h"
#include "video/video_reader.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

const QString videos = QUILLON_TRUTH_VIDEOS;

// The program with the real video adapter, a live source and a results folder of its own.
struct LiveProgram {
    LiveProgram() {
        joystick.capabilitiesResult = platform::joystick_result::unplugged;
        platform.boatTracker = [] { return tracking::make_boat_tracker(); };
        settings.values["Quillon/Settings/resultspath"] = folder.path();
        app.startUp();
        // A display whose drawing surface is the rendered frame's size.
        session.screenWidthPx = "960";
        session.screenHeightPx = "640";
        click_option(app.start(), "optJump");
        click_option(app.start(), "optj45");
        click_option(app.start(), "optAway");
        app.setup();
    }
    void loadSetup(const QString& path) {
        QVERIFY(calibration::load_setup_file(session.calibration, path.toStdString())
                    .display.has_value());
        calibration::finish_setup_load(session.calibration, session.setupValid);
    }

    QTemporaryDir folder;
    FakeSettingsStore settings;
    FakeDialogs dialogs;
    FakeWallClock clock;
    FakeKeyState keys;
    FakeJoystick joystick;
    FakePulseClockFactory pulseClocks;
    platform::FfmpegVideoSource video;
    platform::Platform platform{settings, dialogs,     clock, keys,
                                joystick, pulseClocks, video, folder.path()};
    session::PassSession session;
    app::Application app{session, platform};
};

}  // namespace

// A live pass, from a filter graph that plays a rendered pass as a camera would deliver it:
// it is timed by its frames, recorded losslessly beside the logs, and quillon-cli track on the
// recording, from the time and mark the report names, gives its samples again byte for byte.
// A source that goes quiet for 2 seconds ends the pass and keeps what was recorded.
class LivePassTest : public QObject {
    Q_OBJECT

  private slots:
    void aLivePassIsRecordedAndMeasuredAgain();
    void aSourceThatGoesQuietEndsThePass();
};

void LivePassTest::aLivePassIsRecordedAndMeasuredAgain() {
    LiveProgram p;
    p.loadSetup(videos + "/jump_away_540p30.ipt");
    p.dialogs.inputAnswers = {QString(), QString(), QString()};
    click(p.app.start(), "Command1");
    auto& measure = p.app.measure();
    QCOMPARE(measure.canvas().size(), QSize(960, 540));
    // Paced as a camera delivers, one frame when its time comes, at half speed so that the
    // recording keeps pace on a busy machine.
    const QByteArray graph =
        "lavfi:movie=" + (videos + "/jump_away_540p30.mp4").toUtf8() + ",realtime=speed=0.5";
    QCOMPARE(p.video.openCamera({graph, "rendered pass"}), std::nullopt);
    click_option(measure, "chkAutoTrack");

    // On the first frame from 1 s on, the operator clicks the mark where the renderer put it.
    QTRY_VERIFY_WITH_TIMEOUT(p.video.frame().timeUs >= 1'000'000, 30000);
    demo_course::TruthPassOptions options;
    options.pass.discipline = course::Discipline::Jump;
    options.pass.jumpSpeed = course::JumpSpeed::Kmh72;
    options.pass.direction = course::Direction::Away;
    options.width = 960;
    options.height = 540;
    options.framesPerSecond = 30;
    options.seed = 12;
    const auto [markX, markY] =
        demo_course::TruthPass(options).markPoint(p.video.frame().timeUs / 1e6);
    QTest::mouseClick(&measure.canvas(), Qt::LeftButton, {},
                      QPoint(static_cast<int>(markX), static_cast<int>(markY)));
    QCOMPARE(control<QLabel>(measure, "lblTrackStatus")->text(), QString("Tracking"));
    click(measure, "Command1");
    QVERIFY(measure.passRunning());
    QVERIFY(control<QLabel>(measure, "lblRecording")->text().startsWith("Recording Pass_"));
    QTRY_VERIFY_WITH_TIMEOUT(!measure.passRunning(), 120000);
    QCOMPARE(p.session.passMeasured, 1);
    // The recording never holds the pass up: on a machine too busy for the encoder to keep
    // pace, it drops frames and says how many. Then it cannot give the same samples again, and
    // what is checked is that the loss was told.
    for (const auto& message : p.dialogs.messages()) {
        if (message.text.contains("could not be written to the recording")) {
            QVERIFY2(QRegularExpression(R"(^[0-9]+ frames could not be written to the recording )")
                         .match(message.text)
                         .hasMatch(),
                     qPrintable(message.text));
            qWarning("the machine was too busy to record every frame: %s",
                     qPrintable(message.text));
            return;
        }
    }

    // "Pass Clock: Live Video (Pass_2026-12-06_14-05-09.mkv from 0:00.000, mark X,Y), ..."
    const QString clock = QString::fromStdString(p.session.passClockLine);
    const QRegularExpression form(
        R"(^Pass Clock: Live Video \((Pass_[0-9-]+_[0-9-]+\.mkv) from (0:00\.000), mark ([0-9.]+),([0-9.]+)\), Auto Track)");
    const auto match = form.match(clock);
    QVERIFY2(match.hasMatch(), qPrintable(clock));
    const std::string recording = QDir(p.folder.path()).filePath(match.captured(1)).toStdString();

    std::istringstream in;
    std::ostringstream out, err;
    const int code = cli::run_command(
        {"track", recording, "--setup", (videos + "/jump_away_540p30.ipt").toStdString(),
         "--start-time", match.captured(2).toStdString(), "--mark",
         (match.captured(3) + "," + match.captured(4)).toStdString(), "--surface", "960,540",
         "--discipline", "jump", "--speed", "72", "--direction", "away"},
        {in, out, err});
    QVERIFY2(code == 0 || code == 3, err.str().c_str());
    std::string stored;
    for (int k = 0; k <= p.session.lastSampleIndex; ++k) {
        stored += session::deviation_text(p.session.samples[static_cast<std::size_t>(k)]) + "\n";
    }
    if (out.str() != stored) {
        // What differs, and what the program said, for whoever reads a failed run.
        std::istringstream live(stored), again(out.str());
        std::string a, b;
        for (int k = 0; std::getline(live, a) && std::getline(again, b); ++k) {
            if (a != b) {
                qWarning("sample %d: live %s, recording %s", k, a.c_str(), b.c_str());
            }
        }
        for (const auto& message : p.dialogs.messages()) {
            qWarning("message: %s", qPrintable(message.text));
        }
        qWarning("%s; stderr: %s", p.session.passClockLine.c_str(), err.str().c_str());
    }
    QCOMPARE(out.str(), stored);
}

void LivePassTest::aSourceThatGoesQuietEndsThePass() {
    LiveProgram p;
    p.loadSetup(videos + "/jump_away_540p30.ipt");
    p.dialogs.inputAnswers = {QString(), QString(), QString()};
    click(p.app.start(), "Command1");
    auto& measure = p.app.measure();
    // Three seconds of pass, then nothing: a camera unplugged in the middle of a pass.
    const QByteArray graph = "lavfi:movie=" + (videos + "/short_360p25.mp4").toUtf8() + ",realtime";
    QCOMPARE(p.video.openCamera({graph, "short pass"}), std::nullopt);
    click(measure, "Command1");
    QVERIFY(measure.passRunning());
    QTRY_VERIFY_WITH_TIMEOUT(!measure.passRunning(), 60000);
    QCOMPARE(p.session.passMeasured, 0);
    QVERIFY(measure.isVisible());
    const auto messages = p.dialogs.messages();
    QVERIFY(!messages.empty());
    QVERIFY2(messages.back().text.startsWith("The camera sent no picture for 2 seconds"),
             qPrintable(messages.back().text));
    // The recording so far is kept, and reads back.
    const QStringList kept = QDir(p.folder.path()).entryList({"Pass_*.mkv"});
    QCOMPARE(kept.size(), 1);
    std::string error;
    auto reader =
        video::VideoReader::open(QDir(p.folder.path()).filePath(kept.front()).toStdString(), error);
    QVERIFY2(reader != nullptr, error.c_str());
    video::DecodedFrame frame;
    int frames = 0;
    while (reader->next(frame)) {
        ++frames;
    }
    QVERIFY(frames > 10);
}

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    LivePassTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "live_pass_test.moc"
