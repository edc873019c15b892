#pragma once

#include <QImage>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "calibration/camera_model.h"
#include "calibration/setup_file.h"
#include "course/pass_description.h"

namespace quillon::demo_course {

// The pictures fill a 1024 x 768 screen from its top-left corner, 15 twips to the pixel, which
// is the screen the setup files are calibrated for.
inline constexpr int pictureWidthPx = 1024;
inline constexpr int pictureHeightPx = 768;
inline constexpr double twipsPerPixel = 15;

enum class BuoyKind {
    Gate,   // the end gates: the four reference buoys
    Guide,  // slalom boat-guide buoys, 1.15 m either side of the path centre
    Turn,   // slalom skier buoys, 11.5 m either side of the path centre
    Path,   // jump boat-path buoys on the lines of the gates
};

struct Buoy {
    calibration::PlanePoint survey;  // metres
    BuoyKind kind;
};

// One demo course: where the tower camera sees the four gate buoys, and what the setup file
// carries besides.
struct DemoCourse {
    course::Discipline discipline;
    std::string fileStem;     // "SlalomOK" gives SlalomOK.ipt and SlalomOK.bmp
    std::string description;  // line 2 of the setup file; no comma, or it splits on reading
    // Screen positions in twips, in the order of the reference points: upper right, lower
    // right, upper left, lower left.
    std::array<calibration::PlanePoint, calibration::CameraModel::pointCount> gateScreen;
    calibration::PlanePoint jumpPoint;  // metres
};

DemoCourse demo_course(course::Discipline discipline);

// Every buoy of the course at its true survey position.
std::vector<Buoy> course_buoys(course::Discipline discipline);

// The setup file of the course: the four gate buoys at their marked screen positions and
// reference survey positions, the model solved from them, the jump point, slot 1. Line 1 names
// the bare file, so the file does not depend on the folder it is written to.
calibration::SetupFileData demo_setup(const DemoCourse& demo);

// The still picture of the course seen through `model`: every buoy is painted with its centre
// at the screen image of its survey position.
QImage course_picture(calibration::CameraModel model, course::Discipline discipline);

// Writes SlalomOK.ipt, SlalomOK.bmp, JumpOK.ipt and JumpOK.bmp into an existing folder. The
// pictures are drawn with the coefficients as read back from the written setup text, so the
// picture and the file agree to the last printed digit. Returns what went wrong, if anything.
std::optional<std::string> write_demo_files(const std::string& folder);

}  // namespace quillon::demo_course
