#include <gtest/gtest.h>

#include <limits>

#include "text/number_text.h"

using namespace quillon::text;

TEST(NumberText, GeneralDecimalForm) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.5, " .5"},
        {-0.25, "-.25"},
        {12, " 12"},
        {1.5e-5, " 1.5E-05"},
        {0, " 0"},
        {-0.0, " 0"},
        {-3, "-3"},
        {7200, " 7200"},
        {-259, "-259"},
        {2.1, " 2.1"},
        {0.0001, " .0001"},
        {0.00012, " .00012"},
        {1e15, " 1E+15"},
        {123456789012345, " 123456789012345"},
        {1e14, " 100000000000000"},
        {1.0 / 3, " .333333333333333"},
        {100.0 / 6, " 16.6666666666667"},
        {0.1 + 0.2, " .3"},
        {1e-100, " 1E-100"},
        {-2.5e20, "-2.5E+20"},
        {0.08, " .08"},
        {999999999999999.9, " 1E+15"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(number_text(c.value), c.text) << c.value;
    }
}

TEST(NumberText, PrintedFormAddsOneTrailingBlank) {
    EXPECT_EQ(printed_number(7200), " 7200 ");
    EXPECT_EQ(printed_number(-259), "-259 ");
    EXPECT_EQ(printed_number(1), " 1 ");
    EXPECT_EQ(printed_number(0.044), " .044 ");
}

TEST(NumberText, NonFiniteValuesStillGiveText) {
    EXPECT_EQ(number_text(std::numeric_limits<double>::quiet_NaN()), " NaN");
    EXPECT_EQ(number_text(-std::numeric_limits<double>::infinity()), "-Inf");
}

TEST(RoundHalfUp, HalvesGoTowardPlusInfinity) {
    const struct {
        double value;
        int decimals;
        double rounded;
    } cases[] = {
        {-0.0125, 3, -0.012}, {0.0125, 3, 0.013}, {1.25, 1, 1.3},     {-1.25, 1, -1.2},
        {0.044, 3, 0.044},    {0.125, 2, 0.13},   {-0.125, 2, -0.12}, {2.5, 0, 3},
        {-2.5, 0, -2},        {0.0049, 2, 0},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(round_half_up(c.value, c.decimals), c.rounded)
            << c.value << " to " << c.decimals;
    }
}

TEST(FormatPattern, FixedPatterns) {
    const struct {
        double value;
        const char* pattern;
        const char* text;
    } cases[] = {
        {-0.013, "0.00", "-0.01"},
        {5.3, "000.0", "005.3"},
        {0, "000.0", "000.0"},
        {259, "000.0", "259.0"},
        {0.125, "0.00", "0.13"},
        {-0.001, "0.00", "0.00"},
        {1.005, "0.00", "1.01"},
        {9.999, "0.00", "10.00"},
        {1234.56, "000.0", "1234.6"},
        {-12.345, "0.00", "-12.35"},
        {160.869565217391, "000.0", "160.9"},
        {0, "0.00", "0.00"},
        {0.5, "0.00", "0.50"},
        {1e-20, "0.00", "0.00"},
        {-5.3, "000.0", "-005.3"},
        {99.95, "000.0", "100.0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(format_pattern(c.value, c.pattern), c.text) << c.value << " " << c.pattern;
    }
}
