#include "screens/measure/operator_inputs.h"

#include <cmath>
#include <cstdlib>

namespace quillon::screens {

namespace {

using platform::ArrowKey;
using session::LinePosition;
using session::LineReport;

constexpr double pixel = 15;
// Joystick units either side of the centre that still count as the stick at rest.
constexpr std::int32_t joystickDeadBand = 1311;

}  // namespace

LineReport ArrowKeysInput::read(const session::LinePoll& poll) {
    // Each key is asked once per poll, in this order, as a key tapped since the last poll
    // counts once.
    const bool left = keys_.pressed(ArrowKey::Left);
    up_ = keys_.pressed(ArrowKey::Up);
    const bool right = keys_.pressed(ArrowKey::Right);
    down_ = keys_.pressed(ArrowKey::Down);
    stepped_ = left || right;
    if (!stepped_) {
        return {};
    }
    LinePosition line = poll.line;
    if (left) {
        line.x -= pixel;
        line.twinX -= pixel;
    }
    if (right) {
        line.x += pixel;
        line.twinX += pixel;
    }
    return {line, true, std::nullopt};
}

int JoystickInput::connect() {
    const int capabilities = joystick_.capabilities();
    result_ = capabilities;
    if (capabilities == platform::joystick_result::ok) {
        result_ = joystick_.position(reading_);
        centreX_ = static_cast<std::int32_t>(reading_.x);
    }
    return capabilities;
}

LineReport JoystickInput::read(const session::LinePoll& poll) {
    const bool wasConnected = result_ == platform::joystick_result::ok;
    result_ = joystick_.position(reading_);
    if (result_ != platform::joystick_result::ok) {
        return {};
    }
    if (!wasConnected) {
        centreX_ = static_cast<std::int32_t>(reading_.x);
    }
    const double centre = std::round(poll.centreX);
    const double x =
        std::round((static_cast<double>(reading_.x) - centreX_) * 1250 / 65356 + centre);
    const bool deflected =
        std::abs(static_cast<std::int32_t>(reading_.x) - centreX_) > joystickDeadBand;
    return {LinePosition{x, x - pixel}, deflected, std::nullopt};
}

void MouseInput::moveTo(double xTwips) {
    x_ = static_cast<int>(std::lround(xTwips));
}

LineReport MouseInput::read(const session::LinePoll&) {
    if (!enabled_) {
        return {};
    }
    const bool moved = std::abs(x_ - lastReported_) >= pixel;
    lastReported_ = x_;
    return {LinePosition{static_cast<double>(x_), x_ - pixel}, moved, std::nullopt};
}

}  // namespace quillon::screens
