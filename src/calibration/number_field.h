#pragma once

#include <optional>
#include <string_view>

namespace quillon::calibration {

// A field that must hold a number and nothing else: blanks and tabs around it are dropped,
// an empty field is 0, and the rest must be an optional sign, digits with at most one decimal
// point, and an optional exponent (E or D, optional sign, digits): "-259", " .5", "1.5E-05".
// Nothing for any other text, and for a number too large to hold.
std::optional<double> number_field(std::string_view field);

}  // namespace quillon::calibration
