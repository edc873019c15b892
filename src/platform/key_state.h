#pragma once

#include <QObject>
#include <array>

namespace quillon::platform {

// The four arrow keys, numbered as the virtual-key codes the poll was written for.
enum class ArrowKey { Left = 37, Up = 38, Right = 39, Down = 40 };

// Per arrow key: is it down now, or was it pressed since the last query?
class KeyState {
  public:
    virtual ~KeyState() = default;
    virtual bool pressed(ArrowKey key) = 0;
};

// Latches the arrow keys from the application's key events, so that a tap shorter than the
// time between two polls still counts once. When the program loses the focus every key counts
// as released: the release of a key held at that moment goes to another program, and without
// it the line would go on moving.
class QtKeyState : public QObject, public KeyState {
    Q_OBJECT

  public:
    // Watches every key event of the application.
    explicit QtKeyState(QObject* parent = nullptr);
    bool pressed(ArrowKey key) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void releaseAll();

    struct Key {
        bool down = false;
        bool pressedSinceQuery = false;
    };
    std::array<Key, 4> keys_{};
};

}  // namespace quillon::platform
