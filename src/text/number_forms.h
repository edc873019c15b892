#pragma once

#include <optional>
#include <string_view>

namespace quillon::text {

// What a number text may hold besides its digits. Every number read whole from a field, an
// argument or an input line goes through parse_number; each use names the forms it takes.
struct NumberForms {
    bool blanksAround = false;  // spaces and tabs before and after the number
    bool sign = false;          // a leading '-' or '+'
    bool decimals = false;      // a decimal point and an E exponent: ".5", "5.", "1e-2"
    bool exponentD = false;     // a D exponent as well: "1.5D-05", as setup files write it
    bool tinyIsZero = false;    // a value too small for a double reads as 0 rather than refused
};

// The numbers of setup files and of the calibration commands (options, POINTS files, stdin
// pairs): "-259", " .5", "1.5D-05"; a value too small for a double is 0.
inline constexpr NumberForms setupNumber{
    .blanksAround = true, .sign = true, .decimals = true, .exponentD = true, .tinyIsZero = true};

// A report's deviations and line length: "-.12", "0.05", "+0.3", "1e-2", blanks around.
inline constexpr NumberForms decimalNumber{.blanksAround = true, .sign = true, .decimals = true};

// Bare digits: "58".
inline constexpr NumberForms digitsOnly{};

// The value of a text that is one number in the given forms and nothing else. Nothing for
// any other text, for an empty one and for a number too large for a double.
std::optional<double> parse_number(std::string_view text, const NumberForms& forms);

}  // namespace quillon::text
