#include <QCheckBox>
#include <QLabel>
#include <QtTest>
#include <sstream>

#include "app/application.h"
#include "calibration/calibration.h"
#include "calibration/setup_file.h"
#include "calibration/solver.h"
#include "cli/command_table.h"
#include "platform/qt_video_source.h"
#include "screens/measure/measure_screen.h"
#include "screens/start/start_screen.h"
#include "screens/widgets/overlay_canvas.h"
#include "support/fake_platform.h"
#include "support/fake_pulse_clock.h"
#include "support/screen_test.h"
#include "tracking/boat_tracker.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

const std::string videos = QUILLON_TRUTH_VIDEOS;
const std::string pass = "slalom_towards_720p25";
// A display whose drawing surface is not the frame's size: the 1280 x 720 video is fitted to
// 1024 x 576 pixels in the middle of the surface, clear of the panels at its edges.
constexpr int surfaceWidth = 1600;
constexpr int surfaceHeight = 576;

// The pass's setup file as it would have been marked on that surface: the four reference
// points moved onto the surface as the video is fitted to it, and the model solved anew.
std::string setup_for_surface(const std::string& folder) {
    const auto read = calibration::read_setup_file(videos + "/" + pass + ".ipt");
    if (!read.data) {
        qFatal("the rendered pass has no setup file");
    }
    const auto at = tracking::fit_frame(surfaceWidth, surfaceHeight, 1280, 720);
    calibration::CameraModel model;
    for (std::size_t i = 1; i <= calibration::CameraModel::pointCount; ++i) {
        const auto& point = read.data->points[i - 1];
        model.screen_x[i] = (at.left + point.screen_x / 15 * at.scale) * 15;
        model.screen_y[i] = (at.top + point.screen_y / 15 * at.scale) * 15;
        model.survey_x[i] = point.survey_x;
        model.survey_y[i] = point.survey_y;
    }
    if (calibration::solve_grid(model)) {
        qFatal("the moved reference points do not solve");
    }
    const std::string path = folder + "/surface.ipt";
    if (calibration::write_setup_file(path, calibration::setup_file_data(model, path, "", 1))) {
        qFatal("cannot write the setup file");
    }
    return path;
}

}  // namespace

// The Measure screen replaying a pass in video time with Auto Track, on a surface the video
// is scaled to, stores the samples quillon-cli track gives for the same video and click.
class AutoTrackReplayTest : public QObject {
    Q_OBJECT

  private slots:
    void theScreenStoresWhatTheCommandTracks();
};

void AutoTrackReplayTest::theScreenStoresWhatTheCommandTracks() {
    QTemporaryDir folder;
    const std::string setup = setup_for_surface(folder.path().toStdString());

    FakeSettingsStore settings;
    FakeDialogs dialogs;
    FakeWallClock clock;
    FakeKeyState keys;
    FakeJoystick joystick;
    joystick.capabilitiesResult = platform::joystick_result::unplugged;
    FakePulseClockFactory pulseClocks;
    platform::QtVideoSource video;
    platform::Platform platform{settings, dialogs,     clock, keys,
                                joystick, pulseClocks, video, folder.path()};
    platform.boatTracker = [] { return tracking::make_boat_tracker(); };
    session::PassSession session;
    app::Application app(session, platform);
    settings.values["Quillon/Settings/resultspath"] = folder.path();
    app.startUp();
    session.screenWidthPx = std::to_string(surfaceWidth);
    session.screenHeightPx = std::to_string(surfaceHeight + 100);
    app.setup();
    QVERIFY(calibration::load_setup_file(session.calibration, setup).display.has_value());
    calibration::finish_setup_load(session.calibration, session.setupValid);
    dialogs.inputAnswers = {QString(), QString(), QString()};
    click(app.start(), "Command1");
    auto& measure = app.measure();
    QCOMPARE(measure.canvas().size(), QSize(surfaceWidth, surfaceHeight));
    dialogs.fileAnswers.push_back(QString::fromStdString(videos + "/" + pass + ".mp4"));
    trigger(measure, "mnuVideoOpenFile");
    video.seekUs(1'000'000);
    QTRY_COMPARE_WITH_TIMEOUT(video.frame().timeUs, qint64(1'000'000), 5000);

    // The operator's click on the mark (the renderer's click, 636, 40 in the frame, on the
    // nearest surface pixel), and the same click in frame pixels for the command.
    click_option(measure, "chkAutoTrack");
    const auto at = tracking::fit_frame(surfaceWidth, surfaceHeight, 1280, 720);
    const QPoint mark(qRound(at.left + 636 * at.scale), qRound(at.top + 40 * at.scale));
    const std::string markInFrame = (QString::number((mark.x() - at.left) / at.scale, 'g', 17) +
                                     "," + QString::number((mark.y() - at.top) / at.scale, 'g', 17))
                                        .toStdString();
    std::istringstream in;
    std::ostringstream out, err;
    const int code =
        cli::run_command({"track", videos + "/" + pass + ".mp4", "--setup", setup, "--start-time",
                          "1", "--mark", markInFrame, "--surface",
                          std::to_string(surfaceWidth) + "," + std::to_string(surfaceHeight)},
                         {in, out, err});
    QVERIFY2(code == 0, err.str().c_str());
    std::vector<double> tracked;
    std::istringstream lines(out.str());
    lines.imbue(std::locale::classic());
    for (double value; lines >> value;) {
        tracked.push_back(value);
    }
    QCOMPARE(tracked.size(), std::size_t(162));

    QTest::mouseClick(&measure.canvas(), Qt::LeftButton, {}, mark);
    QCOMPARE(control<QLabel>(measure, "lblTrackStatus")->text(), QString("Tracking"));
    click(measure, "Command1");
    QVERIFY(measure.passRunning());
    video.setPlaying(true);
    const QString shots = qEnvironmentVariable("QUILLON_SCREENSHOTS");
    bool shot = shots.isEmpty();
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            if (!shot && session.sampleIndex >= 80) {
                measure.grab().save(shots + "/measure-screen-tracking.png");
                shot = true;
            }
            return !measure.passRunning();
        }(),
        90000);
    video.setPlaying(false);

    const std::vector<double> stored(session.samples.begin(), session.samples.begin() + 162);
    QCOMPARE(stored, tracked);
    QVERIFY(QString::fromStdString(session.passClockLine).endsWith(", Auto Track"));
}

int main(int argc, char** argv) {
    platform::QtVideoSource::chooseBackend();
    QApplication application(argc, argv);
    AutoTrackReplayTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "auto_track_replay_test.moc"
