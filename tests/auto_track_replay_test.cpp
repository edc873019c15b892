#include <QCheckBox>
#include <QLabel>
#include <QtTest>
#include <fstream>
#include <sstream>

#include "app/application.h"
#include "calibration/calibration.h"
#include "calibration/setup_file.h"
#include "calibration/solver.h"
#include "cli/command_table.h"
#include "measure/tracked_line.h"
#include "screens/measure/measure_screen.h"
#include "screens/start/start_screen.h"
#include "screens/widgets/overlay_canvas.h"
#include "session/pass_recorder.h"
#include "support/decoded_video_source.h"
#include "support/fake_platform.h"
#include "support/fake_pulse_clock.h"
#include "support/file_words.h"
#include "support/screen_test.h"
#include "tracking/boat_tracker.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

const std::string videos = QUILLON_TRUTH_VIDEOS;

// The pass's setup file as it would have been marked on a surface the video is fitted to:
// the four reference points moved onto the surface as the video is, and the model solved
// anew.
std::string setup_for_surface(const std::string& folder, const std::string& pass, QSize frame,
                              QSize surface) {
    const auto read = calibration::read_setup_file(videos + "/" + pass + ".ipt");
    if (!read.data) {
        qFatal("the rendered pass has no setup file");
    }
    const auto at =
        tracking::fit_frame(surface.width(), surface.height(), frame.width(), frame.height());
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

std::string read_text(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

// The Measure screen replaying a rendered pass in video time with Auto Track, frame by
// frame, on a surface the video is scaled to, stores byte for byte the samples quillon-cli
// track gives for the same video and click: through frames the tracker misses (the skier
// crossing the pylon), and through a click on open water while the mark is lost, which is
// refused and changes nothing.
class AutoTrackReplayTest : public QObject {
    Q_OBJECT

  private slots:
    void theScreenStoresWhatTheCommandTracks_data();
    void theScreenStoresWhatTheCommandTracks();
};

void AutoTrackReplayTest::theScreenStoresWhatTheCommandTracks_data() {
    QTest::addColumn<QString>("pass");
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<QSize>("surface");
    QTest::addColumn<bool>("clickWhileLost");
    QTest::newRow("jump away, misses, 1600 x 576")
        << "jump_away_540p30" << QSize(960, 540) << QSize(1600, 576) << true;
    QTest::newRow("jump away, misses, 1900 x 880")
        << "jump_away_540p30" << QSize(960, 540) << QSize(1900, 880) << true;
    QTest::newRow("slalom towards, 1600 x 576")
        << "slalom_towards_720p25" << QSize(1280, 720) << QSize(1600, 576) << false;
}

void AutoTrackReplayTest::theScreenStoresWhatTheCommandTracks() {
    QFETCH(QString, pass);
    QFETCH(QSize, frame);
    QFETCH(QSize, surface);
    QFETCH(bool, clickWhileLost);
    const std::string name = pass.toStdString();
    QTemporaryDir folder;
    const std::string setup = setup_for_surface(folder.path().toStdString(), name, frame, surface);
    // The renderer's words: --start-time 1 --mark X,Y and the pass's discipline, speed and
    // direction.
    const auto args = words_of(videos + "/" + name + ".args");
    const bool jump = std::find(args.begin(), args.end(), "jump") != args.end();
    const bool away = std::find(args.begin(), args.end(), "away") != args.end();
    const QStringList clicked = QString::fromStdString(args[3]).split(',');

    FakeSettingsStore settings;
    FakeDialogs dialogs;
    FakeWallClock clock;
    FakeKeyState keys;
    FakeJoystick joystick;
    joystick.capabilitiesResult = platform::joystick_result::unplugged;
    FakePulseClockFactory pulseClocks;
    DecodedVideoSource video;
    platform::Platform platform{settings, dialogs,     clock, keys,
                                joystick, pulseClocks, video, folder.path()};
    platform.boatTracker = [] { return tracking::make_boat_tracker(); };
    session::PassSession session;
    app::Application app(session, platform);
    settings.values["Quillon/Settings/resultspath"] = folder.path();
    app.startUp();
    session.screenWidthPx = std::to_string(surface.width());
    session.screenHeightPx = std::to_string(surface.height() + 100);
    if (jump) {
        click_option(app.start(), "optJump");
        click_option(app.start(), "optj45");
    }
    click_option(app.start(), away ? "optAway" : "optTowards");
    app.setup();
    QVERIFY(calibration::load_setup_file(session.calibration, setup).display.has_value());
    calibration::finish_setup_load(session.calibration, session.setupValid);
    dialogs.inputAnswers = {QString(), QString(), QString()};
    click(app.start(), "Command1");
    auto& measure = app.measure();
    QCOMPARE(measure.canvas().size(), surface);
    dialogs.fileAnswers.push_back(QString::fromStdString(videos + "/" + name + ".mp4"));
    trigger(measure, "mnuVideoOpenFile");
    video.seekUs(1'000'000);
    QCOMPARE(video.frame().timeUs, qint64(1'000'000));

    // The operator's click on the mark: the renderer's click on the nearest surface pixel,
    // and the same point in frame pixels for the command.
    click_option(measure, "chkAutoTrack");
    const auto at =
        tracking::fit_frame(surface.width(), surface.height(), frame.width(), frame.height());
    const QPoint mark(qRound(at.left + clicked[0].toDouble() * at.scale),
                      qRound(at.top + clicked[1].toDouble() * at.scale));
    const std::string markInFrame = (QString::number((mark.x() - at.left) / at.scale, 'g', 17) +
                                     "," + QString::number((mark.y() - at.top) / at.scale, 'g', 17))
                                        .toStdString();
    const std::string detail = folder.path().toStdString() + "/detail.csv";
    std::vector<std::string> words{
        "track",     videos + "/" + name + ".mp4",
        "--setup",   setup,
        "--mark",    markInFrame,
        "--surface", std::to_string(surface.width()) + "," + std::to_string(surface.height()),
        "--detail",  detail};
    for (std::size_t i = 0; i < args.size(); i += 2) {
        if (args[i] != "--mark") {
            words.push_back(args[i]);
            words.push_back(args[i + 1]);
        }
    }
    std::istringstream in;
    std::ostringstream out, err;
    const int code = cli::run_command(words, {in, out, err});
    QVERIFY2(code == (clickWhileLost ? 3 : 0), err.str().c_str());

    QTest::mouseClick(&measure.canvas(), Qt::LeftButton, {}, mark);
    auto* status = control<QLabel>(measure, "lblTrackStatus");
    QCOMPARE(status->text(), QString("Tracking"));
    click(measure, "Command1");
    QVERIFY(measure.passRunning());

    auto* banner = control<QLabel>(measure, "lblTrackBanner");
    const QString shots = qEnvironmentVariable("QUILLON_SCREENSHOTS");
    bool clickedWhileLost = false;
    bool trackingShot = shots.isEmpty() || surface.width() != 1900;
    while (measure.passRunning() && video.advance()) {
        if (!trackingShot && session.sampleIndex >= 40 && status->text() == "Tracking") {
            measure.grab().save(shots + "/measure-screen-tracking.png");
            trackingShot = true;
        }
        if (clickWhileLost && !clickedWhileLost &&
            status->text() == "Tracking lost - the line is yours") {
            QCOMPARE(banner->text(), status->text());
            if (!shots.isEmpty() && surface.width() == 1900) {
                measure.grab().save(shots + "/measure-screen-tracking-lost.png");
            }
            // Open water beside the course: refused on the banner; the line stays held.
            const QRect picture = measure.canvas().videoRect();
            QTest::mouseClick(
                &measure.canvas(), Qt::LeftButton, {},
                QPoint(picture.center().x() + picture.width() * 3 / 10, picture.center().y()));
            QCOMPARE(
                banner->text(),
                QString::fromStdString(measure::refusal_text(tracking::StartRefusal::NotTheMark)));
            QCOMPARE(status->text(), QString("Tracking lost - the line is yours"));
            clickedWhileLost = true;
        }
    }
    QVERIFY(!measure.passRunning());
    QCOMPARE(clickedWhileLost, clickWhileLost);

    const int n = session.lastSampleIndex;
    std::string stored;
    for (int k = 0; k <= n; ++k) {
        stored += session::deviation_text(session.samples[static_cast<std::size_t>(k)]) + "\n";
    }
    QCOMPARE(stored, out.str());
    // The same provenance, sample for sample, as the command's detail says.
    std::istringstream rows(read_text(detail));
    std::string row;
    std::getline(rows, row);
    for (int k = 0; k <= n; ++k) {
        QVERIFY(std::getline(rows, row));
        const auto fields = QString::fromStdString(row).trimmed().split(',');
        QCOMPARE(fields.size(), 5);
        QCOMPARE(fields[3].toStdString(),
                 std::string(session::provenance_name(
                     session.sampleProvenance[static_cast<std::size_t>(k)])));
    }
    QVERIFY(QString::fromStdString(session.passClockLine)
                .startsWith("Pass Clock: Video Time (" + pass + ".mp4 from 0:01.000), Auto Track"));
}

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    AutoTrackReplayTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "auto_track_replay_test.moc"
