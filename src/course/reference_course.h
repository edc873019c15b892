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

}  // namespace quillon::course
