#include "analysis/pass_analysis.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "support/temp_folder.h"
#include "text/text_file.h"

using namespace quillon;
using namespace quillon::analysis;
using course::Discipline;

namespace {

constexpr double away = 1.0;
constexpr double towards = -1.0;
const text::CivilDateTime december6{2026, 12, 6, 14, 5, 9};

// A pass of lastIndex + 1 samples, each `value`, in a store of 701 whose higher entries hold
// an earlier, longer pass.
std::vector<double> flat_pass(double value, int lastIndex = 161) {
    std::vector<double> samples(701, 9.0);
    std::fill_n(samples.begin(), lastIndex + 1, value);
    return samples;
}

}  // namespace

TEST(PassAnalysis, SamplesOnAStraightLineHaveNoFitDeviation) {
    const struct {
        double start;
        double rise;
        int last;
    } lines[] = {{-0.5, 161.0 / 128, 161}, {-0.3, 0.68, 170}, {0.25, -0.5, 203}, {0.1, 0, 190}};
    for (const auto& line : lines) {
        std::vector<double> samples;
        for (int k = 0; k <= line.last; ++k) {
            samples.push_back(line.start + line.rise * k / line.last);
        }
        for (double sign : {away, towards}) {
            const auto stats =
                compute_pass_statistics(samples, line.last, sign, Discipline::Slalom);
            EXPECT_NEAR(stats.meanAbsDeviation, 0, 1e-12) << line.rise;
            EXPECT_NEAR(stats.maxDeviation, 0, 1e-12) << line.rise;
            EXPECT_NEAR(stats.fitStart, line.start, 1e-12) << line.rise;
            // The rise, with no direction factor.
            EXPECT_NEAR(stats.totalDeviation, line.rise, 1e-12) << line.rise;
        }
    }
}

TEST(PassAnalysis, LeftCentreRightWithTheDirection) {
    // One sample of `value` among zeros; the threshold itself is centre only.
    const struct {
        double value;
        double sign;
        int left;
        int centre;
        int right;
    } cases[] = {
        {0.12, away, 0, 162, 0},     {-0.12, away, 0, 162, 0},   {0.12, towards, 0, 162, 0},
        {-0.12, towards, 0, 162, 0}, {0.2, away, 1, 161, 0},     {0.2, towards, 0, 161, 1},
        {-0.2, away, 0, 161, 1},     {-0.2, towards, 1, 161, 0}, {0.1201, away, 1, 161, 0},
    };
    for (const auto& c : cases) {
        auto samples = flat_pass(0);
        samples[40] = c.value;
        const auto stats = compute_pass_statistics(samples, 161, c.sign, Discipline::Slalom);
        EXPECT_EQ(stats.leftCount, c.left) << c.value << " sign " << c.sign;
        EXPECT_EQ(stats.centerCount, c.centre) << c.value << " sign " << c.sign;
        EXPECT_EQ(stats.rightCount, c.right) << c.value << " sign " << c.sign;
    }
}

TEST(PassAnalysis, DirectionSignTurnsStartExitAndAverage) {
    // First ten samples .2, five of the last ten -.1: mean 1.5 / 162 = .00926, round3 .009.
    auto samples = flat_pass(0);
    for (int k = 0; k < 10; ++k) {
        samples[static_cast<std::size_t>(k)] = 0.2;
        samples[static_cast<std::size_t>(161 - k)] = -0.1 * (k % 2);
    }
    const struct {
        Discipline discipline;
        double sign;
        double start;
        double exit;
        double average;
    } cases[] = {
        {Discipline::Slalom, away, 0.2, -0.05, 0.009},
        {Discipline::Slalom, towards, -0.2, 0.05, -0.009},
        {Discipline::Jump, away, 0.2, -0.05, 0.009},
        {Discipline::Jump, towards, -0.2, 0.05, 0.009},  // no direction factor in jump
    };
    for (const auto& c : cases) {
        const auto stats = compute_pass_statistics(samples, 161, c.sign, c.discipline);
        EXPECT_DOUBLE_EQ(stats.deviationAtStart, c.start);
        EXPECT_DOUBLE_EQ(stats.deviationAtExit, c.exit);
        EXPECT_DOUBLE_EQ(stats.averageDistanceFromCenter, c.average);
    }
    EXPECT_THROW(compute_pass_statistics(samples, 8, away, Discipline::Slalom),
                 std::invalid_argument);
    EXPECT_THROW(compute_pass_statistics(samples, 701, away, Discipline::Jump),
                 std::invalid_argument);
}

TEST(PassAnalysis, JumpMeasuresFromTheMeanPathOnly) {
    std::vector<double> samples;
    for (int k = 0; k <= 177; ++k) {
        samples.push_back(k % 2 == 0 ? 0.5 : 0.3);  // mean .4, every sample .1 off it
    }
    const auto stats = compute_pass_statistics(samples, 177, towards, Discipline::Jump);
    EXPECT_NEAR(stats.pathMean, 0.4, 1e-12);
    EXPECT_NEAR(stats.meanAbsDeviation, 0.1, 1e-12);
    EXPECT_NEAR(stats.maxDeviation, 0.1, 1e-12);
    // None of the slalom figures.
    EXPECT_EQ(stats.leftCount + stats.centerCount + stats.rightCount, 0);
    EXPECT_EQ(stats.fitEnd, 0);
    EXPECT_EQ(stats.totalDeviation, 0);
    EXPECT_EQ(stats.driverDeviationOffCenter, 0);
    EXPECT_EQ(stats.maxDeviationOffCenter, 0);

    const std::string block = original_measurements_block(stats, Discipline::Jump, 177, december6);
    EXPECT_TRUE(block.starts_with("Jump\r\n12-06-2026\r\n14:05:09\r\n")) << block;
    EXPECT_NE(block.find("\r\nDRIVER DEVIATION OFF CENTER =  0  M  MAX DEVIATION =  0  M\r\n"
                         "LEFT=  0 %\r\nCENTER=  0 %  RIGHT=  0 %  AVERAGE DISTANCE FROM "
                         "CENTER:  .4 \r\n"),
              std::string::npos)
        << block;
}

TEST(OriginalMeasurements, BlockByteForByte) {
    PassStatistics stats;
    stats.meanAbsDeviation = 0.0441;
    stats.maxDeviation = 0.1184;
    stats.driverDeviationOffCenter = 0.0625;
    stats.maxDeviationOffCenter = 0.13;
    stats.leftCount = 19;     // 19 of 162: 12 %
    stats.centerCount = 130;  // 80 %
    stats.rightCount = 13;    // 8 %
    stats.averageDistanceFromCenter = -0.012;
    stats.deviationAtStart = 0.025;
    stats.deviationAtExit = -0.13;
    stats.totalDeviation = 0.0837;
    EXPECT_EQ(original_measurements_block(stats, Discipline::Slalom, 161, december6),
              "Slalom\r\n"
              "12-06-2026\r\n"
              "14:05:09\r\n"
              "MEAN ABSOLUTE DEVIATION =  .044  M   MAXIMUM DEVIATION =  .118  M\r\n"
              "DRIVER DEVIATION OFF CENTER =  .063  M  MAX DEVIATION =  .13  M\r\n"
              "LEFT=  12 %\r\n"
              "CENTER=  80 %  RIGHT=  8 %  AVERAGE DISTANCE FROM CENTER: -.012 \r\n"
              "DEVIATION AT START:  .025 \r\n"
              "DEVIATION AT EXIT: -.13 \r\n"
              "CALCULATED TOTAL DEVIATION:  .0837 \r\n");
}

TEST(OriginalMeasurements, EachAnalysisAppendsOneBlockAndAFailureKeepsTheStatistics) {
    test_support::TempFolder folder;
    const auto a =
        analyse_pass(flat_pass(0.05), 161, away, Discipline::Slalom, folder.str(), december6);
    const auto b =
        analyse_pass(flat_pass(-0.2, 140), 140, towards, Discipline::Jump, folder.str(), december6);
    ASSERT_TRUE(a.summaryStatus.ok && b.summaryStatus.ok) << a.summaryStatus.description;
    EXPECT_EQ(a.summaryPath, folder.file("originalmeasurements.txt"));
    EXPECT_EQ(text::read_file(a.summaryPath).bytes,
              original_measurements_block(a.statistics, Discipline::Slalom, 161, december6) +
                  original_measurements_block(b.statistics, Discipline::Jump, 140, december6));

    const auto missing = folder.file("no-such-folder");
    const auto failed =
        analyse_pass(flat_pass(0.2), 161, away, Discipline::Slalom, missing, december6);
    EXPECT_FALSE(failed.summaryStatus.ok);
    EXPECT_FALSE(failed.summaryStatus.description.empty());
    EXPECT_EQ(failed.summaryPath, missing + "/originalmeasurements.txt");
    EXPECT_EQ(failed.statistics.leftCount, 162);
}
