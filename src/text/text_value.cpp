#include "text/text_value.h"

#include <charconv>
#include <string>

namespace quillon::text {

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}
bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

double text_value(std::string_view text) {
    // Gather the characters that form the number, skipping blanks, then let from_chars
    // (locale-free) convert the clean form.
    std::string number;
    bool negative = false;
    bool seenSign = false;
    bool seenDigit = false;
    bool seenPoint = false;
    bool inExponent = false;
    bool exponentSign = false;
    bool exponentDigit = false;

    for (char c : text) {
        if (is_blank(c)) {
            continue;
        }
        if (!inExponent) {
            if ((c == '+' || c == '-') && !seenSign && !seenDigit && !seenPoint) {
                seenSign = true;
                negative = (c == '-');
                continue;
            }
            if (is_digit(c)) {
                seenDigit = true;
                number += c;
                continue;
            }
            if (c == '.' && !seenPoint) {
                seenPoint = true;
                number += c;
                continue;
            }
            if ((c == 'e' || c == 'E' || c == 'd' || c == 'D') && seenDigit) {
                inExponent = true;
                number += 'e';
                continue;
            }
            break;
        }
        if ((c == '+' || c == '-') && !exponentSign && !exponentDigit) {
            exponentSign = true;
            number += c;
            continue;
        }
        if (is_digit(c)) {
            exponentDigit = true;
            number += c;
            continue;
        }
        break;
    }

    if (!seenDigit) {
        return 0.0;
    }
    if (inExponent && !exponentDigit) {
        // "1e" or "1e-": the exponent never started, so the mantissa is the number.
        number.erase(number.find('e'));
    }

    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc{} || end != number.data() + number.size()) {
        return 0.0;
    }
    return negative ? -value : value;
}

}  // namespace quillon::text
