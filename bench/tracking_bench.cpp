// The boat tracker on full-HD frames: time of each track() call over whole rendered passes
// (coming toward the camera and going away), on one core. Prints the median, p95 and largest
// time per frame. Frames are rendered in memory first, so only the tracker is timed.

#include <opencv2/core/utility.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "calibration/setup_file.h"
#include "tools/demo_course/truth_pass.h"
#include "tracking/boat_tracker.h"

using namespace quillon;

namespace {

struct Figures {
    double median = 0, p95 = 0, largest = 0;
    int lost = 0;
};

Figures run(course::Direction direction) {
    demo_course::TruthPassOptions options;
    options.pass.direction = direction;
    options.width = 1920;
    options.height = 1080;
    options.framesPerSecond = 30;
    options.seed = direction == course::Direction::Towards ? 41 : 42;
    const demo_course::TruthPass pass(options);
    const auto setup = pass.setup("bench");

    std::vector<QImage> frames;
    int first = 0;
    while (pass.frameTimeUs(first + 1) <= static_cast<std::int64_t>(pass.startSeconds() * 1e6)) {
        ++first;
    }
    for (int i = first; i < pass.frameCount(); ++i) {
        frames.push_back(pass.frame(i));
    }
    auto view = [&](std::size_t k) {
        const QImage& image = frames[k];
        return tracking::FrameView{image.width(), image.height(),
                                   static_cast<int>(image.bytesPerLine()), image.constBits(),
                                   pass.frameTimeUs(first + static_cast<int>(k))};
    };
    tracking::TrackStart start;
    const auto [x, y] = pass.click();
    start.markX = x;
    start.markY = y;
    start.model.set_coefficients(setup.coefficients);
    start.pass = options.pass;
    start.passStartUs = pass.frameTimeUs(first);
    auto tracker = tracking::make_boat_tracker();
    tracker->start(view(0), start);
    std::vector<double> ms;
    Figures f;
    for (std::size_t k = 1; k < frames.size(); ++k) {
        const auto frame = view(k);
        const auto began = std::chrono::steady_clock::now();
        const auto result = tracker->track(frame);
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began)
                .count());
        f.lost += result.found ? 0 : 1;
    }
    std::sort(ms.begin(), ms.end());
    f.median = ms[ms.size() / 2];
    f.p95 = ms[ms.size() * 95 / 100];
    f.largest = ms.back();
    return f;
}

}  // namespace

int main() {
    cv::setNumThreads(1);
    for (const auto direction : {course::Direction::Towards, course::Direction::Away}) {
        const Figures f = run(direction);
        std::printf(
            "1920x1080 slalom 58 km/h %s: track() median %.2f ms, p95 %.2f ms, "
            "largest %.2f ms, %d frames lost\n",
            direction == course::Direction::Towards ? "towards" : "away", f.median, f.p95,
            f.largest, f.lost);
    }
    return 0;
}
