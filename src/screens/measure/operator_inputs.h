#pragma once

#include <cstdint>

#include "platform/joystick.h"
#include "platform/key_state.h"
#include "session/line_input.h"

namespace quillon::screens {

// The arrow keys: Left and Right step the line one pixel per poll, before the deviation is
// computed. Up and Down move the line's top end; the screen applies them.
class ArrowKeysInput : public session::LineInput {
  public:
    explicit ArrowKeysInput(platform::KeyState& keys) : keys_(keys) {}
    Stage stage() const override { return Stage::BeforeDeviation; }
    session::LineReport read(const session::LinePoll& poll) override;

    // Of the last read.
    bool anyPressed() const { return up_ || down_ || stepped_; }
    bool upPressed() const { return up_; }
    bool downPressed() const { return down_; }

  private:
    platform::KeyState& keys_;
    bool up_ = false;
    bool down_ = false;
    bool stepped_ = false;
};

// Joystick 0: its X reading sets the line absolutely, after the deviation is computed, so
// that at rest the line is on the path centre of the marker row and full deflection moves it
// about 42 pixels either way. A joystick that connects after start-up (plugged in later, or
// again) is at rest then: its reading at that moment is its centre.
class JoystickInput : public session::LineInput {
  public:
    explicit JoystickInput(platform::Joystick& joystick) : joystick_(joystick) {}
    Stage stage() const override { return Stage::AfterDeviation; }
    session::LineReport read(const session::LinePoll& poll) override;

    // The capability query and, when it succeeds, the first reading, taken as the centre.
    // Returns the result code of the capability query.
    int connect();

    // Of the last call.
    int result() const { return result_; }
    const platform::JoystickPosition& reading() const { return reading_; }

  private:
    platform::Joystick& joystick_;
    int result_ = platform::joystick_result::badDevice;
    platform::JoystickPosition reading_;
    std::int32_t centreX_ = 0;
};

// The mouse over the drawing surface, when the operator chose to use it: puts the line at the
// mouse's last position, after the deviation is computed.
class MouseInput : public session::LineInput {
  public:
    Stage stage() const override { return Stage::AfterDeviation; }
    session::LineReport read(const session::LinePoll& poll) override;

    void setEnabled(bool enabled) { enabled_ = enabled; }
    // Every move over the bare surface, in twips; kept to the whole twip.
    void moveTo(double xTwips);

  private:
    bool enabled_ = false;
    int x_ = 0;
    int lastReported_ = 0;
};

}  // namespace quillon::screens
