#include "analysis/report_numbers.h"

#include <gtest/gtest.h>

using namespace quillon::analysis;

TEST(PatternText, RoundsHalvesUpThenFormats) {
    const struct {
        double value;
        const char* pattern;
        const char* text;
    } cases[] = {
        {5.25, "000.0", "005.3"},        {-0.015, "0.00", "-0.01"},
        {-0.013, "0.00", "-0.01"},       {0.125, "0.00", "0.13"},
        {-0.125, "0.00", "-0.12"},       {-0.001, "0.00", "0.00"},
        {-0.004, "0.00", "0.00"},        {-0.006, "0.00", "-0.01"},
        {0, "000.0", "000.0"},           {259, "000.0", "259.0"},
        {259.0 / 161, "000.0", "001.6"}, {80 * 259.0 / 161, "000.0", "128.7"},
        {99.95, "000.0", "100.0"},       {-1.2, "0.00", "-1.20"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pattern_text(c.value, c.pattern), c.text) << c.value << " " << c.pattern;
    }
}

TEST(SharePercent, WholePerCentHalvesUp) {
    const struct {
        int count;
        int samples;
        int percent;
    } cases[] = {{0, 162, 0}, {162, 162, 100}, {19, 162, 12}, {1, 8, 13}, {1, 200, 1}, {1, 201, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(share_percent(c.count, c.samples), c.percent) << c.count << "/" << c.samples;
    }
}
