#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calibration/camera_model.h"
#include "course/pass_description.h"
#include "text/text_file.h"

namespace quillon::calibration {

// The texts of the Setup screen's twenty reference boxes, as they stand. The screen boxes
// only display positions (twips); the survey and jump boxes are the source of the survey
// values.
struct ReferenceBoxes {
    std::string upper_left_x, upper_left_y;
    std::string upper_right_x, upper_right_y;
    std::string lower_left_x, lower_left_y;
    std::string lower_right_x, lower_right_y;
    std::string ul_survey_x, ul_survey_y;
    std::string ur_survey_x, ur_survey_y;
    std::string ll_survey_x, ll_survey_y;
    std::string lr_survey_x, lr_survey_y;
    std::string jump_x, jump_y;

    friend bool operator==(const ReferenceBoxes&, const ReferenceBoxes&) = default;
};

// The boxes when the Setup screen opens: slalom survey values, "auto" screen boxes,
// "jump x" / "jump y".
ReferenceBoxes initial_reference_boxes();

// Every box as the number-to-text form of the model's value (" 7200", "-259"): how a loaded
// file or a restored slot fills the boxes.
ReferenceBoxes boxes_from_model(const CameraModel& model);

// Stores the survey boxes' values into survey_x/survey_y (points 1..4, x before y), as the
// solve does before it builds the system.
void read_survey_boxes(const ReferenceBoxes& boxes, CameraModel& model);
// Stores the jump boxes' values into the jump point ("jump x" reads as 0).
void read_jump_boxes(const ReferenceBoxes& boxes, CameraModel& model);

// On activation of the Setup screen: when the value of ul_survey_x is not the discipline's
// standard upper-left x, the four boxes that differ between slalom and jump are rewritten
// (and the setup becomes not complete). Nothing when the box already holds the standard value.
struct SurveyRewrite {
    std::string ul_survey_x, ll_survey_x, ll_survey_y, lr_survey_y;
};
std::optional<SurveyRewrite> activation_survey_rewrite(course::Discipline discipline,
                                                       std::string_view ul_survey_x);

// How the results log and the accuracy report record the boxes as they stand: for the upper
// left, lower left, upper right and lower right buoy in turn, "<buoy> X,Y <screenWord>: " with
// the two screen boxes, "<buoy> X,Y Survey: " with the two survey boxes (two blanks between
// the values) and a line holding one blank; then the jump boxes the same way.
void put_reference_boxes(text::CrLfText& text, const ReferenceBoxes& boxes,
                         std::string_view screenWord);

}  // namespace quillon::calibration
