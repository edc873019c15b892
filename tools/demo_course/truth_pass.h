#pragma once

#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

#include "calibration/setup_file.h"
#include "course/pass_description.h"

namespace quillon::demo_course {

// A rendered pass whose truth is known: a towboat on a weaving path through the slalom or
// jump course, seen by a camera where officials put it (behind the near gate, on the course's
// centre line, a few metres up), with a windshield mark, a pylon, the wake, a skier swinging
// across the course with spray, sensor noise, a slow change of brightness and a little shake.
struct TruthPassOptions {
    course::PassDescription pass;  // discipline, speed, direction, line length
    int width = 1280;
    int height = 720;
    double framesPerSecond = 25;
    unsigned seed = 1;
    bool skier = true;
    double noise = 3;              // standard deviation of the sensor noise, 0-255 levels
    double shakePx = 0.25;         // camera shake at 1080 rows, pixels
    double cameraBehindGate = 37;  // metres behind the near gate
    double cameraHeight = 4;       // metres above the water
    double cameraOffset = 0;       // metres off the path centre, toward larger survey x
    double leadSeconds = 1;        // from the first frame to the boat at the start gate
    double speedError = 0;         // relative: 0.01 is a boat 1 % faster than the speed
    double durationSeconds = 0;    // cut the video short; 0 runs it past the last sample
};

// The boat in survey metres at a video time.
struct TruthBoat {
    double x = 0;
    double y = 0;
};

class TruthPass {
  public:
    explicit TruthPass(const TruthPassOptions& options);

    int frameCount() const;
    // Video time of frame `index`, microseconds, as the encoder stamps it.
    std::int64_t frameTimeUs(int index) const;
    TruthBoat boat(double seconds) const;
    QImage frame(int index) const;

    // The setup file of the camera: the four gate buoys where the frame shows them (15 twips
    // per frame pixel), the model solved from them.
    calibration::SetupFileData setup(const std::string& fileName) const;
    // The video time to start the pass at (the boat at the start gate) and the operator's
    // click on the mark there, whole pixels, missing its centre by up to a pixel.
    double startSeconds() const { return options_.leadSeconds; }
    std::pair<int, int> click() const;
    // Where the frame at `seconds` shows the mark's centre, and the skier's waist, in frame
    // pixels (QPainter's: pixel i spans i to i + 1).
    std::pair<double, double> markPoint(double seconds) const;
    std::pair<double, double> skierPoint(double seconds) const;
    // The true deviation of every sample, to the centimetre: the boat's centre line at the
    // video time of the frame that sample k is taken on.
    std::vector<double> truth() const;

    struct Impl;

  private:
    TruthPassOptions options_;
    std::shared_ptr<const Impl> impl_;
};

}  // namespace quillon::demo_course
