#include "calibration/number_field.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <system_error>

namespace quillon::calibration {

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}
bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// The power of ten of the leading non-zero digit of a plain number text ("-0.012e3" gives 1),
// with the exponent saturated far beyond the range of a double; very negative for zero.
long decimal_magnitude(std::string_view number) {
    constexpr long far = 1000000L;
    const auto e = number.find('e');
    std::string_view mantissa = number.substr(0, e);
    if (!mantissa.empty() && mantissa.front() == '-') {
        mantissa.remove_prefix(1);
    }
    long exponent = 0;
    if (e != std::string_view::npos) {
        std::string_view digits = number.substr(e + 1);
        const bool negative = !digits.empty() && digits.front() == '-';
        if (negative) {
            digits.remove_prefix(1);
        }
        for (char c : digits) {
            exponent = std::min(exponent * 10 + (c - '0'), far);
        }
        exponent = negative ? -exponent : exponent;
    }
    const auto first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos) {
        return -far;
    }
    const auto point = std::min(mantissa.find('.'), mantissa.size());
    const long power = first < point ? static_cast<long>(point - first) - 1
                                     : static_cast<long>(point) - static_cast<long>(first);
    return power + exponent;
}

}  // namespace

std::optional<double> number_field(std::string_view field) {
    while (!field.empty() && is_blank(field.front())) {
        field.remove_prefix(1);
    }
    while (!field.empty() && is_blank(field.back())) {
        field.remove_suffix(1);
    }
    if (field.empty()) {
        return 0.0;
    }

    // Check the shape first and build the plain form from_chars takes (no '+', 'e').
    std::string number;
    std::size_t i = 0;
    if (field[i] == '+' || field[i] == '-') {
        if (field[i] == '-') {
            number += '-';
        }
        ++i;
    }
    std::size_t mantissaDigits = 0;
    while (i < field.size() && is_digit(field[i])) {
        number += field[i++];
        ++mantissaDigits;
    }
    if (i < field.size() && field[i] == '.') {
        number += field[i++];
        while (i < field.size() && is_digit(field[i])) {
            number += field[i++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) {
        return std::nullopt;
    }
    if (i < field.size() &&
        (field[i] == 'E' || field[i] == 'e' || field[i] == 'D' || field[i] == 'd')) {
        number += 'e';
        ++i;
        if (i < field.size() && (field[i] == '+' || field[i] == '-')) {
            if (field[i] == '-') {
                number += '-';
            }
            ++i;
        }
        std::size_t exponentDigits = 0;
        while (i < field.size() && is_digit(field[i])) {
            number += field[i++];
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return std::nullopt;
        }
    }
    if (i != field.size()) {
        return std::nullopt;
    }

    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Too small to hold is as good as 0; too large to hold is not a usable number.
        return decimal_magnitude(number) < 0 ? std::optional<double>(0.0) : std::nullopt;
    }
    if (error != std::errc{} || end != number.data() + number.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace quillon::calibration
