#include "text/date_time.h"

namespace quillon::text {

namespace {

std::string padded(int value, std::size_t width) {
    std::string text = std::to_string(value < 0 ? -value : value);
    if (text.size() < width) {
        text.insert(0, width - text.size(), '0');
    }
    return text;
}

// Two digits at text[at], as a number; -1 when they are not digits.
int two_digits(std::string_view text, std::size_t at) {
    const char tens = text[at];
    const char ones = text[at + 1];
    if (tens < '0' || tens > '9' || ones < '0' || ones > '9') {
        return -1;
    }
    return (tens - '0') * 10 + (ones - '0');
}

int days_in_month(int year, int month) {
    constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

}  // namespace

std::optional<CivilDateTime> parse_date_time(std::string_view text) {
    if (text.size() != 19 || text[2] != '-' || text[5] != '-' || text[10] != ' ' ||
        text[13] != ':' || text[16] != ':') {
        return std::nullopt;
    }
    const int century = two_digits(text, 6);
    const int year = two_digits(text, 8);
    if (century < 0 || year < 0) {
        return std::nullopt;
    }
    CivilDateTime when;
    when.year = century * 100 + year;
    when.month = two_digits(text, 0);
    when.day = two_digits(text, 3);
    when.hour = two_digits(text, 11);
    when.minute = two_digits(text, 14);
    when.second = two_digits(text, 17);
    if (when.month < 1 || when.month > 12 || when.day < 1 ||
        when.day > days_in_month(when.year, when.month) || when.hour < 0 || when.hour > 23 ||
        when.minute < 0 || when.minute > 59 || when.second < 0 || when.second > 59) {
        return std::nullopt;
    }
    return when;
}

std::string date_text(const CivilDateTime& when) {
    return padded(when.month, 2) + "-" + padded(when.day, 2) + "-" + padded(when.year, 4);
}

std::string time_text(const CivilDateTime& when) {
    return padded(when.hour, 2) + ":" + padded(when.minute, 2) + ":" + padded(when.second, 2);
}

std::string iso_date_text(const CivilDateTime& when) {
    return padded(when.year, 4) + "-" + padded(when.month, 2) + "-" + padded(when.day, 2);
}

std::string month_day_text(const CivilDateTime& when) {
    return padded(when.month, 2) + padded(when.day, 2);
}

}  // namespace quillon::text
