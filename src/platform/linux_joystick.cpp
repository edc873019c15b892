#include <cerrno>
#include <utility>

#include "platform/joystick.h"

#ifdef __linux__
#include <fcntl.h>
#include <linux/joystick.h>
#include <unistd.h>
#endif

namespace quillon::platform {

LinuxJoystick::LinuxJoystick(std::string device) : device_(std::move(device)) {
    last_.x = last_.y = 32767;
}

LinuxJoystick::~LinuxJoystick() {
    close();
}

bool LinuxJoystick::open() {
#ifdef __linux__
    if (descriptor_ < 0) {
        descriptor_ = ::open(device_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        everOpened_ = everOpened_ || descriptor_ >= 0;
    }
    return descriptor_ >= 0;
#else
    return false;
#endif
}

void LinuxJoystick::close() {
#ifdef __linux__
    if (descriptor_ >= 0) {
        ::close(descriptor_);
        descriptor_ = -1;
    }
#endif
}

int LinuxJoystick::capabilities() {
    return open() ? joystick_result::ok : joystick_result::badDevice;
}

int LinuxJoystick::position(JoystickPosition& position) {
#ifdef __linux__
    if (!open()) {
        return everOpened_ ? joystick_result::unplugged : joystick_result::badDevice;
    }
    js_event event{};
    while (true) {
        const ssize_t count = ::read(descriptor_, &event, sizeof event);
        if (count == static_cast<ssize_t>(sizeof event)) {
            const auto type = event.type & ~JS_EVENT_INIT;
            const auto value = static_cast<std::uint32_t>(event.value + 32767);
            if (type == JS_EVENT_AXIS && event.number == 0) {
                last_.x = value;
            } else if (type == JS_EVENT_AXIS && event.number == 1) {
                last_.y = value;
            } else if (type == JS_EVENT_BUTTON && event.number < 32) {
                const std::uint32_t bit = 1u << event.number;
                last_.buttons = event.value ? (last_.buttons | bit) : (last_.buttons & ~bit);
            }
            continue;
        }
        if (count < 0 && (errno == EAGAIN || errno == EINTR)) {
            break;
        }
        // The device went away: report it, and try to open it again on the next read.
        close();
        return joystick_result::unplugged;
    }
    position = last_;
    return joystick_result::ok;
#else
    (void)position;
    return joystick_result::badDevice;
#endif
}

}  // namespace quillon::platform
