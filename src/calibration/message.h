#pragma once

#include <string>

namespace quillon::calibration {

// Message box styles, as numbers the screens pass on to their dialogs.
inline constexpr int styleOk = 0;
inline constexpr int styleError = 16;
inline constexpr int styleExclamation = 48;
inline constexpr int styleInformation = 64;
inline constexpr int styleYesNo = 4;

inline constexpr const char* applicationTitle = "Quillon";

// What the operator should be shown. The calibration core never shows anything itself: it
// hands this back and the Setup screen or the command-line tool presents it.
struct Message {
    std::string text;
    std::string title = applicationTitle;
    int style = styleOk;

    friend bool operator==(const Message&, const Message&) = default;
};

}  // namespace quillon::calibration
