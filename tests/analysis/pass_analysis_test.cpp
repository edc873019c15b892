#include "analysis/pass_analysis.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "analysis/report_numbers.h"
#include "support/temp_folder.h"
#include "text/text_file.h"

using namespace quillon;
using namespace quillon::analysis;
using course::Discipline;

namespace {

constexpr double away = 1.0;
constexpr double towards = -1.0;

const text::CivilDateTime december6{2026, 12, 6, 14, 5, 9};

// A 162-sample slalom pass (58 km/h) with every sample `value`.
std::vector<double> flat_pass(double value, int lastIndex = 161) {
    return std::vector<double>(static_cast<std::size_t>(lastIndex) + 1, value);
}

}  // namespace

TEST(PassAnalysis, SamplesOnAStraightLineHaveNoFitDeviation) {
    const struct {
        const char* what;
        double start;
        double rise;
        int last;
    } lines[] = {
        {"binary-exact slope", -0.5, 161.0 / 128, 161},
        {"decimal slope", -0.3, 0.68, 170},
        {"falling line", 0.25, -0.5, 203},
        {"level line", 0.1, 0, 190},
    };
    for (const auto& line : lines) {
        std::vector<double> samples;
        for (int k = 0; k <= line.last; ++k) {
            samples.push_back(line.start + line.rise * k / line.last);
        }
        const auto stats = compute_pass_statistics(samples, line.last, away, Discipline::Slalom);
        EXPECT_NEAR(stats.meanAbsDeviation, 0, 1e-12) << line.what;
        EXPECT_NEAR(stats.maxDeviation, 0, 1e-12) << line.what;
        EXPECT_NEAR(stats.fitStart, line.start, 1e-12) << line.what;
        EXPECT_NEAR(stats.fitEnd, line.start + line.rise, 1e-12) << line.what;
        EXPECT_NEAR(stats.totalDeviation, line.rise, 1e-12) << line.what;
        // The total deviation has no direction factor.
        const auto towardsStats =
            compute_pass_statistics(samples, line.last, towards, Discipline::Slalom);
        EXPECT_DOUBLE_EQ(towardsStats.totalDeviation, stats.totalDeviation) << line.what;
    }
}

TEST(PassAnalysis, FitDeviationsAroundTheBestLine) {
    // Alternating +-0.1 about zero, with an even count: the best line is level at zero.
    std::vector<double> samples;
    for (int k = 0; k <= 161; ++k) {
        samples.push_back(k % 2 == 0 ? 0.1 : -0.1);
    }
    const auto stats = compute_pass_statistics(samples, 161, away, Discipline::Slalom);
    EXPECT_NEAR(stats.meanAbsDeviation, 0.1, 1e-3);
    EXPECT_NEAR(stats.maxDeviation, 0.1, 2e-3);
    EXPECT_NEAR(stats.driverDeviationOffCenter, 0.1, 1e-12);
    EXPECT_DOUBLE_EQ(stats.maxDeviationOffCenter, 0.1);
    EXPECT_EQ(stats.averageDistanceFromCenter, 0);
}

TEST(PassAnalysis, LeftCentreRightWithTheDirection) {
    // One sample of `value` among zeros; the threshold itself is centre.
    const struct {
        double value;
        double sign;
        int left;
        int centre;
        int right;
    } cases[] = {
        {0.12, away, 0, 162, 0},     {-0.12, away, 0, 162, 0},     {0.12, towards, 0, 162, 0},
        {-0.12, towards, 0, 162, 0}, {0.2, away, 1, 161, 0},       {0.2, towards, 0, 161, 1},
        {-0.2, away, 0, 161, 1},     {-0.2, towards, 1, 161, 0},   {0.1201, away, 1, 161, 0},
        {-0.1201, away, 0, 161, 1},  {0.1199, towards, 0, 162, 0},
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
    } cases[] = {
        {Discipline::Slalom, away, 0.2, -0.05},
        {Discipline::Slalom, towards, -0.2, 0.05},
        {Discipline::Jump, away, 0.2, -0.05},
        {Discipline::Jump, towards, -0.2, 0.05},
    };
    for (const auto& c : cases) {
        const auto stats = compute_pass_statistics(samples, 161, c.sign, c.discipline);
        EXPECT_DOUBLE_EQ(stats.deviationAtStart, c.start);
        EXPECT_DOUBLE_EQ(stats.deviationAtExit, c.exit);
    }
    // The mean is 1.5 / 162 = .00926 m: round3 gives .009, turned by the sign in slalom only.
    EXPECT_DOUBLE_EQ(
        compute_pass_statistics(samples, 161, away, Discipline::Slalom).averageDistanceFromCenter,
        0.009);
    EXPECT_DOUBLE_EQ(compute_pass_statistics(samples, 161, towards, Discipline::Slalom)
                         .averageDistanceFromCenter,
                     -0.009);
    EXPECT_DOUBLE_EQ(
        compute_pass_statistics(samples, 161, towards, Discipline::Jump).averageDistanceFromCenter,
        0.009);
}

TEST(PassAnalysis, ExitUsesTheLastTenSamplesOfThisPass) {
    // An earlier, longer pass left values above N.
    std::vector<double> samples(701, 5.0);
    for (int k = 0; k <= 140; ++k) {
        samples[static_cast<std::size_t>(k)] = k >= 131 ? 0.3 : 0.0;
    }
    const auto stats = compute_pass_statistics(samples, 140, away, Discipline::Jump);
    EXPECT_DOUBLE_EQ(stats.deviationAtExit, 0.3);
    EXPECT_DOUBLE_EQ(stats.deviationAtStart, 0);
    EXPECT_DOUBLE_EQ(stats.pathMean, 3.0 / 141);
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
    EXPECT_EQ(stats.averageDistanceFromCenter, 0.4);
    // Nothing of the slalom figures: no counts, no fit, no off-centre values.
    EXPECT_EQ(stats.leftCount + stats.centerCount + stats.rightCount, 0);
    EXPECT_EQ(stats.fitStart, 0);
    EXPECT_EQ(stats.fitEnd, 0);
    EXPECT_EQ(stats.totalDeviation, 0);
    EXPECT_EQ(stats.driverDeviationOffCenter, 0);
    EXPECT_EQ(stats.maxDeviationOffCenter, 0);

    const std::string block = original_measurements_block(stats, Discipline::Jump, 177, december6);
    EXPECT_NE(block.find("\r\nDRIVER DEVIATION OFF CENTER =  0  M  MAX DEVIATION =  0  M\r\n"
                         "LEFT=  0 %\r\nCENTER=  0 %  RIGHT=  0 %  AVERAGE DISTANCE FROM "
                         "CENTER:  .4 \r\n"),
              std::string::npos)
        << block;
    EXPECT_TRUE(block.starts_with("Jump\r\n12-06-2026\r\n14:05:09\r\n")) << block;
}

TEST(PassAnalysis, RefusesPassesTooShortOrBeyondTheSamples) {
    const std::vector<double> samples(20, 0.0);
    EXPECT_THROW(compute_pass_statistics(samples, 8, away, Discipline::Slalom),
                 std::invalid_argument);
    EXPECT_THROW(compute_pass_statistics(samples, 20, away, Discipline::Jump),
                 std::invalid_argument);
    EXPECT_NO_THROW(compute_pass_statistics(samples, 9, away, Discipline::Slalom));
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

TEST(OriginalMeasurements, EachAnalysisAppendsOneBlock) {
    test_support::TempFolder folder;
    const auto first = flat_pass(0.05);
    const auto second = flat_pass(-0.2, 140);

    const auto a = analyse_pass(first, 161, away, Discipline::Slalom, folder.str(), december6);
    const auto b = analyse_pass(second, 140, towards, Discipline::Jump, folder.str(), december6);
    ASSERT_TRUE(a.summaryStatus.ok) << a.summaryStatus.description;
    ASSERT_TRUE(b.summaryStatus.ok) << b.summaryStatus.description;
    EXPECT_EQ(a.summaryPath, folder.file("originalmeasurements.txt"));

    const std::string expected =
        original_measurements_block(a.statistics, Discipline::Slalom, 161, december6) +
        original_measurements_block(b.statistics, Discipline::Jump, 140, december6);
    EXPECT_EQ(text::read_file(a.summaryPath).bytes, expected);
    // A flat slalom pass at +.05 going away: all centre, average +.05.
    EXPECT_NE(expected.find("LEFT=  0 %\r\nCENTER=  100 %  RIGHT=  0 %  AVERAGE DISTANCE FROM "
                            "CENTER:  .05 \r\n"),
              std::string::npos);
}

TEST(OriginalMeasurements, AFailedAppendKeepsTheStatistics) {
    test_support::TempFolder folder;
    const auto samples = flat_pass(0.2);
    const auto missing = folder.file("no-such-folder");
    const auto analysis = analyse_pass(samples, 161, away, Discipline::Slalom, missing, december6);
    EXPECT_FALSE(analysis.summaryStatus.ok);
    EXPECT_FALSE(analysis.summaryStatus.description.empty());
    EXPECT_EQ(analysis.summaryPath, missing + "/originalmeasurements.txt");
    EXPECT_EQ(analysis.statistics.leftCount, 162);
    EXPECT_DOUBLE_EQ(analysis.statistics.deviationAtStart, 0.2);
}
