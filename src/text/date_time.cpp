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

}  // namespace

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
