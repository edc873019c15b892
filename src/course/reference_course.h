#pragma once

#include <array>

#include "course/pass_description.h"

namespace quillon::course {

// A position in the course's survey plane, in metres: y along the course, x across it.
struct SurveyPosition {
    double x = 0;
    double y = 0;
};

// The four reference buoys of a course: the far gate ("upper") and the near gate ("lower").
struct ReferenceBuoys {
    SurveyPosition upperLeft;
    SurveyPosition upperRight;
    SurveyPosition lowerLeft;
    SurveyPosition lowerRight;
};

// Slalom: the end gates, 2.5 m wide and 259 m apart. Jump: a 4 m gate at the 180 m buoy and
// the gate 100 m further on, 280 m apart. The right-hand buoys stand on x = 0, the far gate on
// y = 0.
ReferenceBuoys reference_buoys(Discipline discipline);

// The middle of the boat path between the slalom buoy lines.
inline constexpr double slalomPathCentreX = 1.25;

// The slalom course's six buoy rows down the course, and the boat-guide buoys on each row,
// 1.15 m either side of the path centre.
inline constexpr std::array<double, 6> slalomBuoyY{-27, -68, -109, -150, -191, -232};
inline constexpr std::array<double, 2> slalomGuideX{0.1, 2.4};

// Both directions count the pass along the course from the far gate at y = 0 to the near gate
// at y = -259, in jump too: the pass starts on the row of the gate the boat enters, and each
// sample's row lies `distance` metres on from it.
inline constexpr double farGateY = 0.0;
inline constexpr double nearGateY = -259.0;
// The row a pass starts on, and the row `distance` metres into the pass.
double pass_start_y(Direction direction);
double pass_row_y(Direction direction, double distance);

// The jump boat paths of the Measure screen (16, 16.5, 17, 17.5 and 18 m, the reference buoy
// line being the 15 m line), narrow to wide; the split path is the one a measured jump pass
// takes.
inline constexpr std::array<double, 5> jumpPathCentresX{1.0, 1.5, 2.0, 2.5, 3.0};
inline constexpr double jumpSplitPathX = jumpPathCentresX[2];

// The path centre a measured pass is taken against: the middle of the slalom buoy lines, or
// the jump course's split path.
double measured_path_centre_x(Discipline discipline);

// The rows the Measure screen draws the jump path through: 1 m past the far gate, then every
// 40 m down the course, past the 280 m end.
inline constexpr std::array<double, 8> jumpPathRowY{-1, -41, -81, -121, -161, -201, -241, -281};

}  // namespace quillon::course
