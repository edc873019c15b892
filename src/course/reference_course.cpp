#include "course/reference_course.h"

namespace quillon::course {

ReferenceBuoys reference_buoys(Discipline discipline) {
    if (discipline == Discipline::Slalom) {
        return {{2.5, 0}, {0, 0}, {2.5, -259}, {0, -259}};
    }
    return {{4, 0}, {0, 0}, {4, -280}, {0, -280}};
}

}  // namespace quillon::course
