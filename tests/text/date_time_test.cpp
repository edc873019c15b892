#include <gtest/gtest.h>

#include "text/date_time.h"

using namespace quillon::text;

TEST(DateTimeText, TwoDigitFieldsAndFourDigitYear) {
    const CivilDateTime morning{2026, 12, 6, 1, 2, 3};
    EXPECT_EQ(date_text(morning), "12-06-2026");
    EXPECT_EQ(time_text(morning), "01:02:03");
    EXPECT_EQ(month_day_text(morning), "1206");

    const CivilDateTime evening{2027, 1, 31, 23, 59, 59};
    EXPECT_EQ(date_text(evening), "01-31-2027");
    EXPECT_EQ(time_text(evening), "23:59:59");
    EXPECT_EQ(month_day_text(evening), "0131");
}

// The one reader of --now: a real date and time of day in exactly "MM-DD-YYYY HH:MM:SS".
TEST(DateTimeText, ReadsOnlyRealDatesAndTimes) {
    const struct {
        const char* text;
        bool taken;
    } cases[] = {
        {"12-06-2026 09:05:07", true},   {"02-29-2024 10:00:00", true},
        {"02-29-2000 10:00:00", true},   {"12-31-2026 23:59:59", true},
        {"02-29-2026 10:00:00", false},  {"02-29-1900 10:00:00", false},
        {"02-31-2026 10:00:00", false},  {"04-31-2026 10:00:00", false},
        {"13-01-2026 00:00:00", false},  {"00-01-2026 00:00:00", false},
        {"01-00-2026 00:00:00", false},  {"01-01-2026 24:00:00", false},
        {"01-01-2026 00:60:00", false},  {"01-01-2026 00:00:60", false},
        {"1-01-2026 00:00:00", false},   {"01-01-2026T00:00:00", false},
        {"01/01/2026 00:00:00", false},  {"01-01-2026 00:00:0x", false},
        {"01-01-2026 00:00:00 ", false}, {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parse_date_time(c.text).has_value(), c.taken) << c.text;
    }
    const auto when = parse_date_time("02-29-2024 17:08:09");
    ASSERT_TRUE(when);
    EXPECT_EQ(date_text(*when) + " " + time_text(*when), "02-29-2024 17:08:09");
}
