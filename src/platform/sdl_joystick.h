#pragma once

#include "platform/joystick.h"

struct _SDL_Joystick;

namespace quillon::platform {

// The first joystick SDL finds. Each call looks for devices plugged in or pulled out since the
// last one, so a joystick connected after start-up is picked up and one pulled out reports
// unplugged until another is connected. Only SDL's joystick subsystem is started: no window and
// no display are needed.
class SdlJoystick : public Joystick {
  public:
    SdlJoystick();
    ~SdlJoystick() override;
    SdlJoystick(const SdlJoystick&) = delete;
    SdlJoystick& operator=(const SdlJoystick&) = delete;

    // ok while a joystick is connected, badDevice otherwise.
    int capabilities() override;
    // ok with the axes and buttons of the connected joystick; unplugged once one has been
    // connected and none is now; badDevice while none has ever been.
    int position(JoystickPosition& position) override;

  private:
    bool connected();

    bool started_ = false;
    _SDL_Joystick* device_ = nullptr;
    bool everConnected_ = false;
};

}  // namespace quillon::platform
