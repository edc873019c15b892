#include "calibration/reference_boxes.h"

#include "text/number_text.h"
#include "text/text_value.h"

namespace quillon::calibration {

using text::number_text;
using text::text_value;

ReferenceBoxes initial_reference_boxes() {
    return ReferenceBoxes{
        .upper_left_x = "auto",
        .upper_left_y = "auto",
        .upper_right_x = "auto",
        .upper_right_y = "auto",
        .lower_left_x = "auto",
        .lower_left_y = "auto",
        .lower_right_x = "auto",
        .lower_right_y = "auto",
        .ul_survey_x = "2.5",
        .ul_survey_y = "0",
        .ur_survey_x = "0",
        .ur_survey_y = "0",
        .ll_survey_x = "2.5",
        .ll_survey_y = "-259",
        .lr_survey_x = "0",
        .lr_survey_y = "-259",
        .jump_x = "jump x",
        .jump_y = "jump y",
    };
}

ReferenceBoxes boxes_from_model(const CameraModel& m) {
    ReferenceBoxes b;
    b.upper_right_x = number_text(m.screen_x[1]);
    b.upper_right_y = number_text(m.screen_y[1]);
    b.lower_right_x = number_text(m.screen_x[2]);
    b.lower_right_y = number_text(m.screen_y[2]);
    b.upper_left_x = number_text(m.screen_x[3]);
    b.upper_left_y = number_text(m.screen_y[3]);
    b.lower_left_x = number_text(m.screen_x[4]);
    b.lower_left_y = number_text(m.screen_y[4]);
    b.ur_survey_x = number_text(m.survey_x[1]);
    b.ur_survey_y = number_text(m.survey_y[1]);
    b.lr_survey_x = number_text(m.survey_x[2]);
    b.lr_survey_y = number_text(m.survey_y[2]);
    b.ul_survey_x = number_text(m.survey_x[3]);
    b.ul_survey_y = number_text(m.survey_y[3]);
    b.ll_survey_x = number_text(m.survey_x[4]);
    b.ll_survey_y = number_text(m.survey_y[4]);
    b.jump_x = number_text(m.jump_survey_x);
    b.jump_y = number_text(m.jump_survey_y);
    return b;
}

void read_survey_boxes(const ReferenceBoxes& b, CameraModel& m) {
    m.survey_x[1] = text_value(b.ur_survey_x);
    m.survey_y[1] = text_value(b.ur_survey_y);
    m.survey_x[2] = text_value(b.lr_survey_x);
    m.survey_y[2] = text_value(b.lr_survey_y);
    m.survey_x[3] = text_value(b.ul_survey_x);
    m.survey_y[3] = text_value(b.ul_survey_y);
    m.survey_x[4] = text_value(b.ll_survey_x);
    m.survey_y[4] = text_value(b.ll_survey_y);
}

void read_jump_boxes(const ReferenceBoxes& b, CameraModel& m) {
    m.jump_survey_x = text_value(b.jump_x);
    m.jump_survey_y = text_value(b.jump_y);
}

std::optional<SurveyRewrite> activation_survey_rewrite(course::Discipline discipline,
                                                       std::string_view ul_survey_x) {
    if (discipline == course::Discipline::Slalom) {
        if (text_value(ul_survey_x) == 2.5) {
            return std::nullopt;
        }
        return SurveyRewrite{"2.5", "2.5", "-259", "-259"};
    }
    if (text_value(ul_survey_x) == 4) {
        return std::nullopt;
    }
    return SurveyRewrite{"4", "4", "-280", "-280"};
}

namespace {

std::string pair_line(std::string_view label, std::string_view x, std::string_view y) {
    std::string line(label);
    line += x;
    line += "  ";
    line += y;
    return line;
}

}  // namespace

void put_reference_boxes(text::CrLfText& text, const ReferenceBoxes& b,
                         std::string_view screenWord) {
    const struct {
        const char* corner;
        const std::string* x;
        const std::string* y;
        const std::string* surveyX;
        const std::string* surveyY;
    } blocks[] = {
        {"Upper Left", &b.upper_left_x, &b.upper_left_y, &b.ul_survey_x, &b.ul_survey_y},
        {"Lower Left", &b.lower_left_x, &b.lower_left_y, &b.ll_survey_x, &b.ll_survey_y},
        {"Upper Right", &b.upper_right_x, &b.upper_right_y, &b.ur_survey_x, &b.ur_survey_y},
        {"Lower Right", &b.lower_right_x, &b.lower_right_y, &b.lr_survey_x, &b.lr_survey_y},
    };
    for (const auto& block : blocks) {
        std::string screen(block.corner);
        screen += " X,Y ";
        screen += screenWord;
        screen += ": ";
        text.line(pair_line(screen, *block.x, *block.y));
        std::string survey(block.corner);
        survey += " X,Y Survey: ";
        text.line(pair_line(survey, *block.surveyX, *block.surveyY));
        text.line(" ");
    }
    text.line(pair_line("Jump X,Y Survey: ", b.jump_x, b.jump_y));
    text.line(" ");
}

}  // namespace quillon::calibration
