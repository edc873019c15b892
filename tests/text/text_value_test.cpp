#include <gtest/gtest.h>

#include "text/text_value.h"

using quillon::text::text_value;

TEST(TextValue, ReadsTheLeadingNumber) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {".5", 0.5},
        {"-.25", -0.25},
        {" 12", 12},
        {"1.5E-05", 1.5e-5},
        {"2.50m", 2.5},
        {"auto", 0},
        {" - 3", -3},
        {"2abc", 2},
        {"", 0},
        {"   ", 0},
        {"1,5", 1},
        {"+7", 7},
        {"1.2.3", 1.2},
        {"2.0", 2},
        {"1 000", 1000},
        {"\t4", 4},
        {"1e", 1},
        {"1e+", 1},
        {"1E+2", 100},
        {"1D2", 100},
        {"--3", 0},
        {".", 0},
        {"e5", 0},
        {"-", 0},
        {"-259", -259},
        {" 7200 ", 7200},
        {"1e999", 0},
        {"0x10", 0},
        {"3.14159265358979", 3.14159265358979},
        {"Grid 1", 0},
        {"\u0663", 0},        // an Arabic-Indic three
        {"\uFF11\uFF12", 0},  // full-width digits
        {"12\u00A0000", 12},  // a no-break space is no blank
        {"\u00D8st 3", 0},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(text_value(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(TextValue, NeverReadsPastTheText) {
    const std::string digits(300, '7');
    EXPECT_GT(text_value(digits), 7e299);
    EXPECT_EQ(text_value(std::string(1 << 20, '9')), 0);  // out of range, as 1e999
    EXPECT_EQ(text_value(std::string_view("12", 1)), 1);
}
