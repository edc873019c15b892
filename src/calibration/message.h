#pragma once

#include <string>

#include "text/message_style.h"

namespace quillon::calibration {

using text::applicationTitle;
using text::MessageStyle;

// What the operator should be shown. The calibration core never shows anything itself: it
// hands this back and the Setup screen or the command-line tool presents it.
struct Message {
    std::string text;
    std::string title = applicationTitle;
    MessageStyle style = MessageStyle::Ok;

    friend bool operator==(const Message&, const Message&) = default;
};

}  // namespace quillon::calibration
