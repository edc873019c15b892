#include "analysis/pass_figures.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using namespace quillon::analysis;

TEST(EndOfPassFigures, MeanMaximumAndItsIndex) {
    const struct {
        const char* what;
        std::vector<double> samples;
        int last;
        double mean;
        double max;
        int index;
    } cases[] = {
        {"all zero", {0, 0, 0, 0}, 3, 0, 0, 0},
        {"first of equal maxima wins", {0.1, -0.3, 0.2, 0.3, -0.3}, 4, 0.24, 0.3, 1},
        {"negative samples count by size", {-0.5, 0.1, 0, 0}, 3, 0.15, 0.5, 0},
        {"samples beyond N are ignored", {0.2, 0.1, 9.0, -9.0}, 1, 0.15, 0.2, 0},
        {"maximum at the last sample", {0, 0.01, 0.02, 0.04}, 3, 0.0175, 0.04, 3},
    };
    for (const auto& c : cases) {
        const PassFigures figures = end_of_pass_figures(c.samples, c.last);
        EXPECT_EQ(figures.passSampleCount, c.last + 1) << c.what;
        EXPECT_DOUBLE_EQ(figures.passMeanAbsDeviation, c.mean) << c.what;
        EXPECT_DOUBLE_EQ(figures.passMaxAbsDeviation, c.max) << c.what;
        EXPECT_EQ(figures.passMaxAbsIndex, c.index) << c.what;
    }
}

TEST(EndOfPassFigures, RefusesAnIndexOutsideTheSamples) {
    const std::vector<double> samples(10, 0.0);
    EXPECT_THROW(end_of_pass_figures(samples, 10), std::invalid_argument);
    EXPECT_THROW(end_of_pass_figures(samples, -1), std::invalid_argument);
    EXPECT_NO_THROW(end_of_pass_figures(samples, 9));
}
