// The Measure screen replaying a rendered jump pass at 1920 x 1080, 60 frames per second
// (H.264 at 8 Mb/s; 20 Mb/s at 2160p), in video time with Auto Track on, as an official re-measures
// a recorded pass: whether every frame reaches the pass loop (tracked) and at what pace of real
// time the replay runs. The pass is rendered and encoded at the first run into a temporary folder.
//
//   measure_replay_bench [--size WxH] [--fps N]
//
// It runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise. It never passes or
// fails; it prints what it measured.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <QtTest>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/full_hd_program.h"
#include "calibration/setup_file.h"
#include "screens/start/start_screen.h"
#include "screens/widgets/overlay_canvas.h"
#include "tracking/boat_tracker.h"

namespace {

using namespace quillon;

void click(QObject& screen, const char* name) {
    if (auto* button = screen.findChild<QAbstractButton*>(name)) {
        button->click();
    } else if (auto* action = screen.findChild<QAction*>(name)) {
        action->trigger();
    } else {
        std::fprintf(stderr, "no control %s\n", name);
        std::exit(1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication qtApplication(argc, argv);
    std::string size = "1920x1080";
    std::string fps = "60";
    for (int i = 1; i + 1 < argc; i += 2) {
        (std::string(argv[i]) == "--size" ? size : fps) = argv[i + 1];
    }
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / "quillon_measure_replay_bench";
    fs::create_directories(folder);
    // What cameras record at these sizes: 8 Mb/s up to full HD, 20 Mb/s for 2160p.
    const std::string bitRate = size.find("x2160") != std::string::npos ? "20M" : "8M";
    const std::string stem = (folder / ("jump_away_" + size + "_" + fps + "_" + bitRate)).string();
    if (!fs::exists(stem + ".mp4")) {
        std::printf("rendering the pass %s ...\n", stem.c_str());
        const std::string render =
            std::string("\"") + QUILLON_DEMO_COURSE + "\" --truth-pass \"" + stem +
            "\" --discipline jump --direction away --speed 72 --seed 12 --size " + size +
            " --fps " + fps + " | ffmpeg -v error -y -f rawvideo -pix_fmt rgb24 -s " + size +
            " -r " + fps + " -i - -c:v libx264 -preset veryfast -b:v " + bitRate + " -g " + fps +
            " -pix_fmt yuv420p \"" + stem + ".tmp.mp4\" && mv \"" + stem + ".tmp.mp4\" \"" + stem +
            ".mp4\"";
        if (std::system(render.c_str()) != 0) {
            std::fprintf(stderr, "the pass could not be rendered\n");
            return 1;
        }
    }
    // The renderer's words: --start-time 1 --mark X,Y ...
    std::ifstream argsFile(stem + ".args");
    std::string word, markText;
    while (argsFile >> word) {
        if (word == "--mark") {
            argsFile >> markText;
        }
    }
    const auto comma = markText.find(',');
    const QPoint mark(std::stoi(markText.substr(0, comma)), std::stoi(markText.substr(comma + 1)));

    bench::FullHdProgram program;
    program.platform.boatTracker = [] { return tracking::make_boat_tracker(); };
    const int width = std::stoi(size.substr(0, size.find('x')));
    const int height = std::stoi(size.substr(size.find('x') + 1));
    program.session.screenWidthPx = std::to_string(width);
    program.session.screenHeightPx = std::to_string(height + 100);
    auto& start = program.application.start();
    click(start, "optJump");
    click(start, "optj45");
    click(start, "optAway");
    if (!calibration::load_setup_file(program.session.calibration, stem + ".ipt").display) {
        std::fprintf(stderr, "the rendered setup does not load\n");
        return 1;
    }
    calibration::finish_setup_load(program.session.calibration, program.session.setupValid);
    screens::MeasureScreen& measure = program.application.measure();
    measure.show();
    QCoreApplication::processEvents();
    auto& canvas = *measure.findChild<screens::OverlayCanvas*>();
    auto& video = program.video;
    if (const auto problem = video.openFile(QString::fromStdString(stem + ".mp4"))) {
        std::fprintf(stderr, "%s\n", qPrintable(*problem));
        return 1;
    }
    click(measure, "mnuClockVideo");
    click(measure, "chkAutoTrack");
    video.seekUs(1'000'000);
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, mark);
    const auto* status = measure.findChild<QLabel*>("lblTrackStatus");
    if (status->text() != "Tracking") {
        std::fprintf(stderr, "the click was not taken: %s\n", qPrintable(status->text()));
        return 1;
    }

    // Every frame handed to the pass loop, from Start Pass to the pass's end.
    qint64 firstUs = -1, lastUs = -1;
    int handed = 0;
    QObject::connect(&video, &platform::VideoSource::frameDecoded,
                     [&](const platform::VideoFrame& frame) {
                         if (!measure.passRunning()) {
                             return;
                         }
                         if (firstUs < 0) {
                             firstUs = frame.timeUs;
                         }
                         lastUs = frame.timeUs;
                         ++handed;
                     });
    const qint64 decodedBefore = video.framesDecoded();
    click(measure, "Command1");
    QElapsedTimer wall;
    wall.start();
    video.setPlaying(true);
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (!measure.passRunning()) {
            loop.quit();
        }
    });
    check.start(10);
    loop.exec();
    const double seconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
    video.setPlaying(false);

    const double rate = std::stod(fps);
    const double videoSeconds = static_cast<double>(lastUs - firstUs) / 1e6;
    const int expected = static_cast<int>(videoSeconds * rate + 0.5) + 1;
    std::printf("%s %s frames/s, H.264 %sb/s, Auto Track on, video time\n", size.c_str(),
                fps.c_str(), bitRate.c_str());
    std::printf("pass: %.3f s of video in %.3f s: replay at %.2fx of real time\n", videoSeconds,
                seconds, videoSeconds / seconds);
    std::printf("frames handed to the pass loop: %d of %d (%d missing); decoded %lld\n", handed,
                expected, expected - handed,
                static_cast<long long>(video.framesDecoded() - decodedBefore));
    const auto* pace = measure.findChild<QLabel*>("lblReplayPace");
    std::printf("screen says: \"%s\"; samples taken %d\n", qPrintable(pace->text()),
                program.session.sampleIndex);
    return 0;
}
