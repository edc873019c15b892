#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <string>
#include <vector>

#include "demo_course/truth_pass.h"
#include "tracking/boat_tracker.h"

using namespace quillon;

namespace {

// A rendered pass as quillon-cli track sees it, frame by frame.
struct Rendered {
    explicit Rendered(const demo_course::TruthPassOptions& options)
        : pass(options), setup(pass.setup("pass.ipt")) {
        model.set_coefficients(setup.coefficients);
    }
    tracking::FrameView view(int index) {
        image = pass.frame(index).convertToFormat(QImage::Format_RGB32);
        return {image.width(), image.height(), static_cast<int>(image.bytesPerLine()),
                image.constBits(), pass.frameTimeUs(index)};
    }
    tracking::TrackStart start(double x, double y, int index) const {
        tracking::TrackStart s;
        s.markX = x;
        s.markY = y;
        s.model = model;
        s.pass = pass_description;
        s.passStartUs = pass.frameTimeUs(index);
        return s;
    }
    int frameAt(double seconds) const {
        int index = 0;
        while (pass.frameTimeUs(index + 1) <= std::llround(seconds * 1e6)) {
            ++index;
        }
        return index;
    }
    demo_course::TruthPass pass;
    calibration::SetupFileData setup;
    calibration::CameraModel model;
    course::PassDescription pass_description;
    QImage image;
};

demo_course::TruthPassOptions options_of(course::Discipline discipline, course::Direction direction,
                                         int width, int height, double fps, unsigned seed) {
    demo_course::TruthPassOptions o;
    o.pass.discipline = discipline;
    o.pass.direction = direction;
    if (discipline == course::Discipline::Jump) {
        o.pass.jumpSpeed = course::JumpSpeed::Kmh72;
    }
    o.width = width;
    o.height = height;
    o.framesPerSecond = fps;
    o.seed = seed;
    return o;
}

}  // namespace

// A click that starts tracking, and a click that takes the mark again, are taken only on the
// mark: a few pixels off its centre is fine (the track centres on the mark), the skier, open
// water and the cabin top above the windshield mark are refused.
TEST(MarkChecks, PickAndResumeTakeOnlyTheMark) {
    struct Click {
        const char* what;
        bool taken;
        bool towardsOnly = false;  // the cabin stands above the windshield mark, not the pylon
    };
    const std::vector<Click> clicks{{"the mark 3 px off its centre", true},
                                    {"the skier", false},
                                    {"open water beside the boat", false},
                                    {"the cabin top 35 px above the mark", false, true}};
    const struct {
        const char* name;
        demo_course::TruthPassOptions options;
    } passes[] = {
        {"slalom towards 720p",
         options_of(course::Discipline::Slalom, course::Direction::Towards, 1280, 720, 25, 11)},
        {"jump away 540p",
         options_of(course::Discipline::Jump, course::Direction::Away, 960, 540, 30, 12)},
    };
    for (const auto& p : passes) {
        Rendered r(p.options);
        r.pass_description = p.options.pass;
        for (const bool resume : {false, true}) {
            // A resume comes after the track ran for a second from the start of the pass. Each
            // click is made on the first frame from then on that shows what it clicks.
            const int first = r.frameAt(p.options.leadSeconds);
            const int base = resume ? first + static_cast<int>(p.options.framesPerSecond) : first;
            for (std::size_t c = 0; c < clicks.size(); ++c) {
                if (clicks[c].towardsOnly &&
                    p.options.pass.direction != course::Direction::Towards) {
                    continue;
                }
                const std::string label =
                    std::string(p.name) + (resume ? ", resume: " : ", pick: ") + clicks[c].what;
                int at = base;
                double x = -1, y = -1, markX = 0;
                for (; at < base + 10 * p.options.framesPerSecond; ++at) {
                    const double seconds = r.pass.frameTimeUs(at) / 1e6;
                    const auto mark = r.pass.markPoint(seconds);
                    const auto skier = r.pass.skierPoint(seconds);
                    const double points[][2] = {{mark.first + 3, mark.second},
                                                {skier.first, skier.second},
                                                {mark.first + 150, mark.second},
                                                {mark.first, mark.second - 35}};
                    markX = mark.first;
                    x = std::floor(points[c][0]);
                    y = std::floor(points[c][1]);
                    if (x >= 0 && y >= 0 && x < p.options.width && y < p.options.height &&
                        std::hypot(x - mark.first, y - mark.second) < 200) {
                        break;
                    }
                }
                ASSERT_LT(at, base + 10 * p.options.framesPerSecond) << label;
                auto tracker = tracking::make_boat_tracker();
                tracking::StartRefusal refusal;
                if (resume) {
                    const auto [clickX, clickY] = r.pass.click();
                    ASSERT_EQ(tracker->start(r.view(first), r.start(clickX, clickY, first)),
                              tracking::StartRefusal::None)
                        << label;
                    for (int i = first + 1; i < at; ++i) {
                        tracker->track(r.view(i));
                    }
                    refusal = tracker->resume(r.view(at), x, y);
                } else {
                    refusal = tracker->start(r.view(at), r.start(x, y, at));
                }
                EXPECT_EQ(refusal == tracking::StartRefusal::None, clicks[c].taken)
                    << label << " at frame " << at << ", refusal " << static_cast<int>(refusal);
                if (clicks[c].taken && refusal == tracking::StartRefusal::None) {
                    // Centred on the mark itself, not where the click fell.
                    EXPECT_NEAR(tracker->startPosition().x, markX - 0.5, 1.0) << label;
                }
            }
        }
    }
}
