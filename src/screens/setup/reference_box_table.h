#pragma once

#include <array>
#include <string>

#include "calibration/camera_model.h"
#include "calibration/reference_boxes.h"

namespace quillon::screens {

// One of the Setup screen's reference boxes: its control name, its text in ReferenceBoxes, its
// tool tip and the model value a change of it sets (none for the screen boxes, which only
// show where a buoy was marked).
struct ReferenceBoxEntry {
    const char* name;
    std::string calibration::ReferenceBoxes::*text;
    const char* tip;
    double& (*modelValue)(calibration::CameraModel&);
};

// The eighteen boxes, in the order they are created and filled; the model's points are
// 1 upper right, 2 lower right, 3 upper left, 4 lower left.
inline constexpr std::size_t referenceBoxCount = 18;
using calibration::CameraModel;
using calibration::ReferenceBoxes;
inline constexpr std::array<ReferenceBoxEntry, referenceBoxCount> referenceBoxTable{{
    {"upper_left_x", &ReferenceBoxes::upper_left_x, "Upper left buoy: screen x (twips)", nullptr},
    {"upper_left_y", &ReferenceBoxes::upper_left_y, "Upper left buoy: screen y (twips)", nullptr},
    {"upper_right_x", &ReferenceBoxes::upper_right_x, "Upper right buoy: screen x (twips)",
     nullptr},
    {"upper_right_y", &ReferenceBoxes::upper_right_y, "Upper right buoy: screen y (twips)",
     nullptr},
    {"lower_left_x", &ReferenceBoxes::lower_left_x, "Lower left buoy: screen x (twips)", nullptr},
    {"lower_left_y", &ReferenceBoxes::lower_left_y, "Lower left buoy: screen y (twips)", nullptr},
    {"lower_right_x", &ReferenceBoxes::lower_right_x, "Lower right buoy: screen x (twips)",
     nullptr},
    {"lower_right_y", &ReferenceBoxes::lower_right_y, "Lower right buoy: screen y (twips)",
     nullptr},
    {"ul_survey_x", &ReferenceBoxes::ul_survey_x, "Upper left buoy: survey x (m)",
     [](CameraModel& m) -> double& { return m.survey_x[3]; }},
    {"ul_survey_y", &ReferenceBoxes::ul_survey_y, "Upper left buoy: survey y (m)",
     [](CameraModel& m) -> double& { return m.survey_y[3]; }},
    {"ur_survey_x", &ReferenceBoxes::ur_survey_x, "Upper right buoy: survey x (m)",
     [](CameraModel& m) -> double& { return m.survey_x[1]; }},
    {"ur_survey_y", &ReferenceBoxes::ur_survey_y, "Upper right buoy: survey y (m)",
     [](CameraModel& m) -> double& { return m.survey_y[1]; }},
    {"ll_survey_x", &ReferenceBoxes::ll_survey_x, "Lower left buoy: survey x (m)",
     [](CameraModel& m) -> double& { return m.survey_x[4]; }},
    {"ll_survey_y", &ReferenceBoxes::ll_survey_y, "Lower left buoy: survey y (m)",
     [](CameraModel& m) -> double& { return m.survey_y[4]; }},
    {"lr_survey_x", &ReferenceBoxes::lr_survey_x, "Lower right buoy: survey x (m)",
     [](CameraModel& m) -> double& { return m.survey_x[2]; }},
    {"lr_survey_y", &ReferenceBoxes::lr_survey_y, "Lower right buoy: survey y (m)",
     [](CameraModel& m) -> double& { return m.survey_y[2]; }},
    {"jump_x", &ReferenceBoxes::jump_x, "Jump point: survey x (m)",
     [](CameraModel& m) -> double& { return m.jump_survey_x; }},
    {"jump_y", &ReferenceBoxes::jump_y, "Jump point: survey y (m)",
     [](CameraModel& m) -> double& { return m.jump_survey_y; }},
}};

}  // namespace quillon::screens
