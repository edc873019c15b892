#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillon::text {

// A local date and time of day, as a wall clock reads it.
struct CivilDateTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// "mm-dd-yyyy"
std::string date_text(const CivilDateTime& when);
// "yyyy-mm-dd" (ISO 8601)
std::string iso_date_text(const CivilDateTime& when);
// "hh:mm:ss" on the 24-hour clock
std::string time_text(const CivilDateTime& when);
// The two-digit month and day used in daily file names ("ResultLog" + "1206" + ".txt").
std::string month_day_text(const CivilDateTime& when);

// "MM-DD-YYYY HH:MM:SS" (the form the commands' --now takes): a day the month has (the 29th of
// February in leap years only) and a time of day on the 24-hour clock; nothing for anything else.
std::optional<CivilDateTime> parse_date_time(std::string_view text);

}  // namespace quillon::text
