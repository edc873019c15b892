#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/sdl_joystick.h"

using namespace quillon::platform;

namespace {

// SDL's virtual joystick: a device that the test plugs in, moves and pulls out, with no
// hardware, no /dev/input and no display.
class VirtualJoystick {
  public:
    ~VirtualJoystick() { detach(); }

    void attach() {
        index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 4, 0);
        ASSERT_GE(index_, 0) << SDL_GetError();
        handle_ = SDL_JoystickOpen(index_);
        ASSERT_NE(handle_, nullptr) << SDL_GetError();
    }
    void detach() {
        if (handle_ != nullptr) {
            SDL_JoystickDetachVirtual(index_);
            SDL_JoystickClose(handle_);
            handle_ = nullptr;
        }
    }
    void axis(int axis, std::int16_t value) {
        ASSERT_EQ(SDL_JoystickSetVirtualAxis(handle_, axis, value), 0) << SDL_GetError();
    }
    void button(int button, bool down) {
        ASSERT_EQ(SDL_JoystickSetVirtualButton(handle_, button, down ? 1 : 0), 0) << SDL_GetError();
    }

  private:
    int index_ = -1;
    SDL_Joystick* handle_ = nullptr;
};

enum class Act { PlugIn, MoveX, MoveY, PressButton2, PullOut, Nothing };

struct Step {
    std::string what;
    Act act;
    std::int16_t value;
    int result;
    JoystickPosition expected;
};

}  // namespace

// A joystick missing at start-up, plugged in later, moved, pulled out and plugged in again,
// as the input poll sees it call by call. SDL's axis range covers the readings one to one, and
// its rest value 0 reads 32768.
TEST(SdlJoystick, FollowsPluggingInAndPullingOut) {
    SdlJoystick joystick;
    if (SDL_WasInit(SDL_INIT_JOYSTICK) == 0) {
        FAIL() << "SDL's joystick subsystem did not start: " << SDL_GetError();
    }
    if (SDL_NumJoysticks() > 0) {
        GTEST_SKIP() << "a joystick is connected to this machine; the test needs it unplugged";
    }
    JoystickPosition position;
    EXPECT_EQ(joystick.capabilities(), joystick_result::badDevice);
    EXPECT_EQ(joystick.position(position), joystick_result::badDevice);

    using namespace joystick_result;
    const std::vector<Step> steps = {
        {"plugged in, at rest", Act::PlugIn, 0, ok, {32768, 32768, 0}},
        {"full left", Act::MoveX, -32768, ok, {0, 32768, 0}},
        {"full right", Act::MoveX, 32767, ok, {65535, 32768, 0}},
        {"Y moved", Act::MoveY, -1000, ok, {65535, 31768, 0}},
        {"button 2 down", Act::PressButton2, 0, ok, {65535, 31768, 4}},
        {"pulled out", Act::PullOut, 0, unplugged, {}},
        {"still out", Act::Nothing, 0, unplugged, {}},
        {"plugged in again, at rest", Act::PlugIn, 0, ok, {32768, 32768, 0}},
        {"pulled out again", Act::PullOut, 0, unplugged, {}},
    };
    VirtualJoystick device;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        switch (step.act) {
            case Act::PlugIn:
                ASSERT_NO_FATAL_FAILURE(device.attach());
                break;
            case Act::MoveX:
                device.axis(0, step.value);
                break;
            case Act::MoveY:
                device.axis(1, step.value);
                break;
            case Act::PressButton2:
                device.button(2, true);
                break;
            case Act::PullOut:
                device.detach();
                break;
            case Act::Nothing:
                break;
        }
        position = {};
        ASSERT_EQ(joystick.position(position), step.result);
        if (step.result == ok) {
            EXPECT_EQ(position.x, step.expected.x);
            EXPECT_EQ(position.y, step.expected.y);
            EXPECT_EQ(position.buttons, step.expected.buttons);
            EXPECT_EQ(joystick.capabilities(), ok);
        } else {
            EXPECT_EQ(joystick.capabilities(), badDevice);
        }
    }
}
