#include "course/reference_course.h"

namespace quillon::course {

ReferenceBuoys reference_buoys(Discipline discipline) {
    if (discipline == Discipline::Slalom) {
        return {{2.5, 0}, {0, 0}, {2.5, -259}, {0, -259}};
    }
    return {{4, 0}, {0, 0}, {4, -280}, {0, -280}};
}

double pass_start_y(Direction direction) {
    return direction == Direction::Towards ? farGateY : nearGateY;
}

// -distance rather than farGateY - distance: the same value, and the sign of a zero the rows
// have always had.
double pass_row_y(Direction direction, double distance) {
    return direction == Direction::Towards ? -distance : nearGateY + distance;
}

double measured_path_centre_x(Discipline discipline) {
    return discipline == Discipline::Slalom ? slalomPathCentreX : jumpSplitPathX;
}

}  // namespace quillon::course
