#include "text/number_forms.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <system_error>

namespace quillon::text {

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}
bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Whether a plain number text ("-0.012e3") that from_chars found out of range is too small
// for a double rather than too large: the power of ten of its leading digit is negative.
bool too_small(std::string_view plain) {
    constexpr long far = 1000000L;  // far beyond the range of a double either way
    const auto e = std::min(plain.find('e'), plain.size());
    const std::string_view mantissa = plain.substr(0, e);
    const auto point = std::min(mantissa.find('.'), mantissa.size());
    const auto first = mantissa.find_first_of("123456789");  // out of range: never all zeros
    const long power = first < point ? static_cast<long>(point - first) - 1
                                     : static_cast<long>(point) - static_cast<long>(first);
    std::string_view digits = plain.substr(std::min(e + 1, plain.size()));
    const bool negative = !digits.empty() && digits.front() == '-';
    if (negative) {
        digits.remove_prefix(1);
    }
    long exponent = 0;
    for (char c : digits) {
        exponent = std::min(exponent * 10 + (c - '0'), far);
    }
    return power + (negative ? -exponent : exponent) < 0;
}

}  // namespace

std::optional<double> parse_number(std::string_view text, const NumberForms& forms) {
    if (forms.blanksAround) {
        while (!text.empty() && is_blank(text.front())) {
            text.remove_prefix(1);
        }
        while (!text.empty() && is_blank(text.back())) {
            text.remove_suffix(1);
        }
    }

    // Check the shape and build the plain form from_chars takes: no '+', 'e' for the exponent.
    // (from_chars alone would also take "inf" and "nan".)
    std::string plain;
    std::size_t i = 0;
    const auto take_digits = [&] {
        std::size_t count = 0;
        for (; i < text.size() && is_digit(text[i]); ++i, ++count) {
            plain += text[i];
        }
        return count;
    };
    const auto take_sign = [&] {
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            if (text[i] == '-') {
                plain += '-';
            }
            ++i;
        }
    };

    if (forms.sign) {
        take_sign();
    }
    std::size_t mantissaDigits = take_digits();
    if (forms.decimals && i < text.size() && text[i] == '.') {
        plain += text[i++];
        mantissaDigits += take_digits();
    }
    if (mantissaDigits == 0) {
        return std::nullopt;
    }
    if (forms.decimals && i < text.size() &&
        (text[i] == 'E' || text[i] == 'e' ||
         (forms.exponentD && (text[i] == 'D' || text[i] == 'd')))) {
        plain += 'e';
        ++i;
        take_sign();
        if (take_digits() == 0) {
            return std::nullopt;
        }
    }
    if (i != text.size()) {
        return std::nullopt;
    }

    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error == std::errc::result_out_of_range) {
        return forms.tinyIsZero && too_small(plain) ? std::optional<double>(0.0) : std::nullopt;
    }
    if (error != std::errc{} || end != plain.data() + plain.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace quillon::text
