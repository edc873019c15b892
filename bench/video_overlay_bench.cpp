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
#include <map>
#include <vector>

#include "app/application.h"
#include "calibration/calibration.h"
#include "calibration/solver.h"
#include "platform/joystick.h"
#include "platform/key_state.h"
#include "platform/precise_pulse_clock.h"
#include "platform/qt_video_source.h"
#include "screens/measure/measure_screen.h"
#include "screens/widgets/overlay_canvas.h"

namespace {

using namespace quillon;

class MemorySettings : public platform::SettingsStore {
  public:
    QString read(const QString&, const QString&, const QString& key,
                 const QString& defaultValue) const override {
        const auto found = values_.find(key);
        return found == values_.end() ? defaultValue : found->second;
    }
    void write(const QString&, const QString&, const QString& key, const QString& value) override {
        values_[key] = value;
    }

  private:
    std::map<QString, QString> values_;
};

class SilentDialogs : public platform::Dialogs {
  public:
    platform::MessageAnswer message(const QString&, platform::MessageStyle,
                                    const QString&) override {
        return platform::MessageAnswer::Ok;
    }
    std::optional<QString> input(const QString&, const QString&, const QString&,
                                 std::optional<QPoint>) override {
        return std::nullopt;
    }
    std::optional<QString> openFile(const platform::FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<QString> saveFile(const platform::FileDialogRequest&) override {
        return std::nullopt;
    }
};

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
Window measure_window(platform::QtVideoSource& video, screens::OverlayCanvas& canvas,
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
    platform::QtVideoSource::chooseBackend();
    QApplication qtApplication(argc, argv);
    const QString videoPath =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(QUILLON_BENCH_VIDEO);

    MemorySettings settings;
    SilentDialogs dialogs;
    platform::SystemWallClock clock;
    platform::QtKeyState keys;
    platform::LinuxJoystick joystick("/nonexistent/js0");
    platform::PrecisePulseClockFactory pulseClocks;
    platform::QtVideoSource video;
    platform::Platform platform{
        settings, dialogs,     clock, keys,
        joystick, pulseClocks, video, QCoreApplication::applicationDirPath()};
    session::PassSession session;
    app::Application application(session, platform);
    application.startUp();

    // A camera at the end of the course: the far gate narrow and high, the near gate wide.
    auto& model = session.calibration.model;
    const double screen[4][2] = {{15300, 3000}, {24000, 15000}, {13500, 3000}, {4800, 15000}};
    const double survey[4][2] = {{0, 0}, {0, -259}, {2.5, 0}, {2.5, -259}};
    for (int i = 0; i < 4; ++i) {
        model.screen_x[i + 1] = screen[i][0];
        model.screen_y[i + 1] = screen[i][1];
        model.survey_x[i + 1] = survey[i][0];
        model.survey_y[i + 1] = survey[i][1];
    }
    calibration::solve_grid(model);
    session.calibration.corners = calibration::corners_from_points(model);
    session.setupValid = 1;

    screens::MeasureScreen& measure = application.measure();
    measure.resize(1920, 1080);
    measure.show();
    auto& canvas = *measure.findChild<screens::OverlayCanvas*>();
    if (qEnvironmentVariableIsSet("QUILLON_BENCH_UNSCALED")) {
        measure.resize(measure.size() + QSize(1920, 1080) - canvas.size());
    }
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
                static_cast<long long>(video.framesDelivered()),
                static_cast<long long>(video.framesShown()));
    return 0;
}
