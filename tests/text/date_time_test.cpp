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
