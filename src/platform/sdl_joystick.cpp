#include "platform/sdl_joystick.h"

#include <SDL.h>

#include <cstdint>

namespace quillon::platform {

namespace {

// SDL's axis value (-32768 to 32767, 0 at rest for a centring stick) as a reading from 0 to
// 65535: the whole range one to one, so the rest value reads 32768. The screen measures the
// deflection from the reading it takes when the joystick connects, so the exact middle value
// does not matter.
std::uint32_t reading(std::int16_t axis) {
    return static_cast<std::uint32_t>(axis + 32768);
}

}  // namespace

SdlJoystick::SdlJoystick() {
    // Quillon's windows are Qt's, so SDL never learns which one has the focus: read the
    // joystick whatever window is active.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    // Ctrl+C and the session's terminate signal must end the program as usual; SDL would
    // otherwise turn them into a quit event that nobody reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    started_ = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
    if (started_) {
        // Nothing reads SDL's event queue: the state is asked for on each call instead, and
        // the queue stays empty.
        SDL_JoystickEventState(SDL_IGNORE);
    }
}

SdlJoystick::~SdlJoystick() {
    if (device_ != nullptr) {
        SDL_JoystickClose(device_);
    }
    if (started_) {
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }
}

// Brings SDL's device list and axis values up to date, lets go of a joystick that has been
// pulled out and opens the first one there is when none is open.
bool SdlJoystick::connected() {
    if (!started_) {
        return false;
    }
    SDL_JoystickUpdate();
    if (device_ != nullptr && !SDL_JoystickGetAttached(device_)) {
        SDL_JoystickClose(device_);
        device_ = nullptr;
    }
    if (device_ == nullptr && SDL_NumJoysticks() > 0) {
        device_ = SDL_JoystickOpen(0);
        everConnected_ = everConnected_ || device_ != nullptr;
    }
    return device_ != nullptr;
}

int SdlJoystick::capabilities() {
    return connected() ? joystick_result::ok : joystick_result::badDevice;
}

int SdlJoystick::position(JoystickPosition& position) {
    if (!connected()) {
        return everConnected_ ? joystick_result::unplugged : joystick_result::badDevice;
    }
    const int axes = SDL_JoystickNumAxes(device_);
    position.x = reading(axes > 0 ? SDL_JoystickGetAxis(device_, 0) : 0);
    position.y = reading(axes > 1 ? SDL_JoystickGetAxis(device_, 1) : 0);
    position.buttons = 0;
    const int buttons = SDL_JoystickNumButtons(device_);
    for (int button = 0; button < buttons && button < 32; ++button) {
        if (SDL_JoystickGetButton(device_, button) != 0) {
            position.buttons |= 1u << button;
        }
    }
    return joystick_result::ok;
}

}  // namespace quillon::platform
