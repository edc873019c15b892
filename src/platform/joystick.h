#pragma once

#include <cstdint>

namespace quillon::platform {

// Result codes of the joystick calls: 0 is success.
namespace joystick_result {
constexpr int ok = 0;
constexpr int badDevice = 165;  // no joystick with that number
constexpr int unplugged = 167;  // it was there and has gone
}  // namespace joystick_result

// A position as the poll reads it: axes from 0 to 65535, at rest near the middle.
struct JoystickPosition {
    std::uint32_t x = 0;
    std::uint32_t y = 0;
    std::uint32_t buttons = 0;
};

// Joystick 0: a capabilities query and a position read, each answering a result code.
class Joystick {
  public:
    virtual ~Joystick() = default;
    virtual int capabilities() = 0;
    virtual int position(JoystickPosition& position) = 0;
};

}  // namespace quillon::platform
