#pragma once

#include <optional>
#include <string_view>

#include "calibration/camera_model.h"
#include "calibration/message.h"
#include "calibration/reference_boxes.h"

namespace quillon::calibration {

// Below this back ratio (percent of the screen width) the far gate is too narrow on the
// screen for a usable calibration.
inline constexpr double minimumBackRatio = 100.0 / 6;

// Sets front_ratio and back_ratio: the near and far gate widths on the screen as percentages
// of the screen width (screenWidthPx pixels, 15 twips each). Returns the warning to show when
// the back ratio is strictly below the minimum, for example
// "Warning - back ratio is  12% where  16% minimum is required" (style 0, default title).
std::optional<Message> grid_check(CameraModel& model, std::string_view upper_left_x,
                                  std::string_view upper_right_x, std::string_view lower_left_x,
                                  std::string_view lower_right_x, std::string_view screenWidthPx);

std::optional<Message> grid_check(CameraModel& model, const ReferenceBoxes& boxes,
                                  std::string_view screenWidthPx);

}  // namespace quillon::calibration
