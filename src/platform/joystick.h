#pragma once

#include <cstdint>
#include <string>

namespace quillon::platform {

// Result codes of the joystick calls: 0 is success.
namespace joystick_result {
constexpr int ok = 0;
constexpr int badDevice = 165;  // no joystick with that number
constexpr int unplugged = 167;  // it was there and has gone
}  // namespace joystick_result

// A position as the poll reads it: axes from 0 to 65535, at rest near 32767.
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

// The first joystick of the Linux joystick interface (/dev/input/js0).
class LinuxJoystick : public Joystick {
  public:
    explicit LinuxJoystick(std::string device = "/dev/input/js0");
    ~LinuxJoystick() override;
    LinuxJoystick(const LinuxJoystick&) = delete;
    LinuxJoystick& operator=(const LinuxJoystick&) = delete;

    int capabilities() override;
    int position(JoystickPosition& position) override;

  private:
    bool open();
    void close();

    std::string device_;
    int descriptor_ = -1;
    bool everOpened_ = false;
    JoystickPosition last_;
};

}  // namespace quillon::platform
