// A 1920 x 1080, 30 frames-per-second video under the full-HD Measure screen with its lines
// and marks: how many frames reach the screen and how long each paint of the surface takes,
// first with the screen idle, then while a pass is measured on the wall clock (both pass
// clocks running, the course overlay redrawn at every sample).
//
//   video_overlay_bench [VIDEO]      (default: the generated 1080p test video)
//
// It runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/full_hd_program.h"
#include "platform/ffmpeg_video_source.h"
#include "screens/measure/measure_screen.h"
#include "screens/widgets/overlay_canvas.h"

namespace {

using namespace quillon;

struct Window {
    int shown = 0;
    qint64 firstUs = -1, lastUs = -1;  // video times of the first and last frames shown
    int dropped = 0;                   // frames the video had between two shown ones
    std::vector<double> paintMs;
};

double percentile(std::vector<double> values, double p) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

void print(const char* what, const Window& w, double seconds) {
    // The video's own time against the wall clock: 1.00 when playback keeps up.
    const double pace = static_cast<double>(w.lastUs - w.firstUs) / 1e6 / seconds;
    std::printf(
        "%-22s %5.1f frames/s shown, %3d dropped, pace %.3f, paint median %.2f ms, "
        "p95 %.2f ms, max %.2f ms\n",
        what, w.shown / seconds, w.dropped, pace, percentile(w.paintMs, 0.5),
        percentile(w.paintMs, 0.95), percentile(w.paintMs, 1.0));
}

// Plays for `seconds` from where the video is, recording every frame shown and the paint
// that follows it.
Window measure_window(platform::FfmpegVideoSource& video, screens::OverlayCanvas& canvas,
                      double seconds) {
    Window w;
    int lastIndex = -1;
    qint64 lastPaint = canvas.lastPaintNs();
    auto frameShown = QObject::connect(&video, &platform::VideoSource::framePresented, [&] {
        const int index = video.frameIndex();
        if (lastIndex >= 0 && index > lastIndex + 1) {
            w.dropped += index - lastIndex - 1;
        }
        lastIndex = index;
        ++w.shown;
        if (w.firstUs < 0) {
            w.firstUs = video.frame().timeUs;
        }
        w.lastUs = video.frame().timeUs;
    });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (canvas.lastPaintNs() != lastPaint) {
            lastPaint = canvas.lastPaintNs();
            w.paintMs.push_back(static_cast<double>(lastPaint) / 1e6);
        }
    });
    poll.start(1);
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(frameShown);
    return w;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication qtApplication(argc, argv);
    const QString videoPath =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(QUILLON_BENCH_VIDEO);

    bench::FullHdProgram program;
    auto& video = program.video;
    screens::MeasureScreen& measure = program.showMeasure();
    auto& canvas = *measure.findChild<screens::OverlayCanvas*>();
    if (const auto problem = video.openFile(videoPath)) {
        std::fprintf(stderr, "%s\n", qPrintable(*problem));
        return 1;
    }
    std::printf("%s: %dx%d at %.2f frames/s, surface %dx%d\n", qPrintable(videoPath),
                video.frame().image.width(), video.frame().image.height(), video.frameRate(),
                canvas.width(), canvas.height());

    constexpr double seconds = 8;
    video.setPlaying(true);
    measure_window(video, canvas, 0.5);  // the decoder settles
    const Window idle = measure_window(video, canvas, seconds);
    QMetaObject::invokeMethod(measure.findChild<QObject*>("Command1"), "click");
    const Window pass = measure_window(video, canvas, seconds);
    video.setPlaying(false);

    print("idle", idle, seconds);
    print("while measuring a pass", pass, seconds);
    std::printf("frames decoded %lld, shown %lld since the file was opened\n",
                static_cast<long long>(video.framesDecoded()),
                static_cast<long long>(video.framesShown()));
    return 0;
}
