#include "platform/key_state.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QWindow>
#include <optional>

namespace quillon::platform {

namespace {

std::optional<std::size_t> slot_of(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Left:
            return 0;
        case Qt::Key_Up:
            return 1;
        case Qt::Key_Right:
            return 2;
        case Qt::Key_Down:
            return 3;
        default:
            return std::nullopt;
    }
}

}  // namespace

QtKeyState::QtKeyState(QObject* parent) : QObject(parent) {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(application, &QGuiApplication::focusWindowChanged, this, [this](QWindow* window) {
            if (window == nullptr) {
                releaseAll();
            }
        });
    }
}

// A key pressed since the last query still counts once: only "down" is cleared.
void QtKeyState::releaseAll() {
    for (Key& key : keys_) {
        key.down = false;
    }
}

bool QtKeyState::pressed(ArrowKey key) {
    Key& state = keys_[static_cast<std::size_t>(key) - static_cast<std::size_t>(ArrowKey::Left)];
    const bool result = state.down || state.pressedSinceQuery;
    state.pressedSinceQuery = false;
    return result;
}

bool QtKeyState::eventFilter(QObject* watched, QEvent* event) {
    // A window of the program, or the program as a whole, loses the focus.
    if (event->type() == QEvent::WindowDeactivate ||
        (event->type() == QEvent::ApplicationStateChange &&
         static_cast<QApplicationStateChangeEvent*>(event)->applicationState() !=
             Qt::ApplicationActive)) {
        releaseAll();
    }
    // One key event may pass here more than once as it travels up the widgets, and held
    // keys repeat: latching is idempotent, so neither matters.
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        if (const auto slot = slot_of(keyEvent->key())) {
            Key& state = keys_[*slot];
            if (event->type() == QEvent::KeyPress) {
                state.down = true;
                state.pressedSinceQuery = true;
            } else if (!keyEvent->isAutoRepeat()) {
                state.down = false;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace quillon::platform
