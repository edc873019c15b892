#include "text/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace quillon::text {

namespace {

// A finite non-zero value as 15 significant decimal digits and the decimal exponent of the
// first digit: value = 0.d1d2...d15 * 10^(exponent + 1).
struct Decimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

Decimal decimal_of(double value) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));

    Decimal decimal;
    if (!text.empty() && text.front() == '-') {
        decimal.negative = true;
        text.remove_prefix(1);
    }
    const auto e = text.find('e');
    for (char c : text.substr(0, e)) {
        if (c != '.') {
            decimal.digits += c;
        }
    }
    std::string_view exponent = text.substr(e + 1);
    if (!exponent.empty() && exponent.front() == '+') {
        exponent.remove_prefix(1);
    }
    std::from_chars(exponent.data(), exponent.data() + exponent.size(), decimal.exponent);
    return decimal;
}

std::string two_digit_exponent(int exponent) {
    const int magnitude = std::abs(exponent);
    std::string result(exponent < 0 ? "E-" : "E+");
    if (magnitude < 10) {
        result += '0';
    }
    result += std::to_string(magnitude);
    return result;
}

}  // namespace

std::string number_text(double value) {
    if (std::isnan(value)) {
        return " NaN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-Inf" : " Inf";
    }
    if (value == 0.0) {
        return " 0";
    }

    Decimal decimal = decimal_of(value);
    while (decimal.digits.size() > 1 && decimal.digits.back() == '0') {
        decimal.digits.pop_back();
    }
    const std::string& d = decimal.digits;
    const int e = decimal.exponent;

    std::string body;
    if (e < -4 || e >= 15) {
        body = d.substr(0, 1);
        if (d.size() > 1) {
            body += '.';
            body += d.substr(1);
        }
        body += two_digit_exponent(e);
    } else if (e >= 0) {
        const auto integerDigits = static_cast<std::size_t>(e) + 1;
        if (d.size() <= integerDigits) {
            body = d + std::string(integerDigits - d.size(), '0');
        } else {
            body = d.substr(0, integerDigits);
            body += '.';
            body += d.substr(integerDigits);
        }
    } else {
        body.assign(1, '.');
        body.append(static_cast<std::size_t>(-e - 1), '0');
        body += d;
    }
    std::string result(1, decimal.negative ? '-' : ' ');
    result += body;
    return result;
}

std::string printed_number(double value) {
    std::string text = number_text(value);
    text += ' ';
    return text;
}

double round_half_up(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::floor(value * scale + 0.5) / scale;
}

std::string format_pattern(double value, std::string_view pattern) {
    const auto point = pattern.find('.');
    const std::size_t minIntegerDigits = point == std::string_view::npos ? pattern.size() : point;
    const std::size_t decimals = point == std::string_view::npos ? 0 : pattern.size() - point - 1;

    // Fixed-point digits of |value| with `decimals` places, as one digit string.
    std::string digits;
    bool negative = false;
    if (std::isfinite(value) && value != 0.0) {
        Decimal decimal = decimal_of(value);
        negative = decimal.negative;
        // Position of the first dropped digit within decimal.digits.
        const long keep = static_cast<long>(decimal.exponent) + 1 + static_cast<long>(decimals);
        if (keep >= 0) {
            std::string kept;
            bool roundUp = false;
            if (keep >= static_cast<long>(decimal.digits.size())) {
                kept = decimal.digits +
                       std::string(static_cast<std::size_t>(keep) - decimal.digits.size(), '0');
            } else {
                kept = decimal.digits.substr(0, static_cast<std::size_t>(keep));
                roundUp = decimal.digits[static_cast<std::size_t>(keep)] >= '5';
            }
            if (roundUp) {
                int i = static_cast<int>(kept.size()) - 1;
                while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9') {
                    kept[static_cast<std::size_t>(i)] = '0';
                    --i;
                }
                if (i >= 0) {
                    ++kept[static_cast<std::size_t>(i)];
                } else {
                    kept.insert(kept.begin(), '1');
                }
            }
            digits = kept;
        }
    }
    // digits now holds the value times 10^decimals; pad so there is an integer part.
    if (digits.size() < decimals + 1) {
        digits.insert(digits.begin(), decimals + 1 - digits.size(), '0');
    }
    std::string integerPart = digits.substr(0, digits.size() - decimals);
    const std::string fraction = digits.substr(digits.size() - decimals);
    while (integerPart.size() > 1 && integerPart.front() == '0') {
        integerPart.erase(integerPart.begin());
    }
    if (integerPart.size() < minIntegerDigits) {
        integerPart.insert(integerPart.begin(), minIntegerDigits - integerPart.size(), '0');
    }
    if (minIntegerDigits == 0 && integerPart == "0") {
        integerPart.clear();
    }
    const bool allZero = digits.find_first_not_of('0') == std::string::npos;
    std::string text = (negative && !allZero) ? "-" : "";
    text += integerPart;
    if (decimals > 0) {
        text += '.';
        text += fraction;
    }
    return text;
}

std::string whole_text(long long value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, result.ptr);
}

std::string shortest_text(double value) {
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, result.ptr);
}

std::string fixed_text(double value, int decimals) {
    char digits[352];
    const auto result =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals);
    return std::string(digits, result.ptr);
}

}  // namespace quillon::text
