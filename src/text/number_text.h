#pragma once

#include <string>
#include <string_view>

namespace quillon::text {

// The program-wide number-to-text form: up to 15 significant digits, no trailing zeros, no 0
// before the point of a value between -1 and 1 (" .5", "-.25"), one leading blank when the
// value is not negative, and the form 1.5E-05 for magnitudes below 1E-04 or from 1E+15 up.
std::string number_text(double value);

// Forms for files and messages, whatever the locale: a whole number ("-12"); the shortest text
// that reads back as the same double ("0.1"); a fixed number of decimals ("10.500").
std::string whole_text(long long value);
std::string shortest_text(double value);
std::string fixed_text(double value, int decimals);

// The same with one trailing blank: how numbers are printed into text files (" 12 ").
std::string printed_number(double value);

// Int(v * 10^n + 0.5) / 10^n with Int the floor function: halves go up.
double round_half_up(double value, int decimals);

// Fixed patterns of the form "0.00" or "000.0": at least as many integer digits as the pattern
// has zeros before the point, exactly as many decimals as after it, rounded half away from
// zero on the value's 15-digit decimal form (so 0.125 gives "0.13", -0.013 gives "-0.01").
std::string format_pattern(double value, std::string_view pattern);

}  // namespace quillon::text
