#include "calibration/grid_check.h"

#include <cmath>
#include <string>

#include "text/number_text.h"
#include "text/text_value.h"

namespace quillon::calibration {

using text::number_text;
using text::text_value;

std::optional<Message> grid_check(CameraModel& model, std::string_view upper_left_x,
                                  std::string_view upper_right_x, std::string_view lower_left_x,
                                  std::string_view lower_right_x, std::string_view screenWidthPx) {
    const double widthTwips = text_value(screenWidthPx) * 15;
    model.front_ratio =
        std::fabs(text_value(lower_right_x) - text_value(lower_left_x)) * 100 / widthTwips;
    model.back_ratio =
        std::fabs(text_value(upper_right_x) - text_value(upper_left_x)) * 100 / widthTwips;
    if (!(model.back_ratio < minimumBackRatio)) {
        return std::nullopt;
    }
    std::string warning = "Warning - back ratio is ";
    warning += number_text(std::floor(model.back_ratio));
    warning += "%";
    warning += " where ";
    warning += number_text(std::floor(minimumBackRatio));
    warning += "% minimum is required";
    return Message{std::move(warning), applicationTitle, MessageStyle::Ok};
}

std::optional<Message> grid_check(CameraModel& model, const ReferenceBoxes& boxes,
                                  std::string_view screenWidthPx) {
    return grid_check(model, boxes.upper_left_x, boxes.upper_right_x, boxes.lower_left_x,
                      boxes.lower_right_x, screenWidthPx);
}

}  // namespace quillon::calibration
