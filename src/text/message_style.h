#pragma once

namespace quillon::text {

// Message box styles, the button set and the icon, as the core hands them to the screens'
// dialogs and the command-line tool.
enum class MessageStyle {
    Ok = 0,
    Error = 16,        // error icon, OK
    Exclamation = 48,  // exclamation icon, OK
    Information = 64,  // information icon, OK
    YesNo = 4,         // Yes and No, no icon
};

// The title every message box has unless a caller names another.
inline constexpr const char* applicationTitle = "Quillon";

}  // namespace quillon::text
