#include "analysis/pass_analysis.h"

#include <cmath>
#include <stdexcept>

#include "analysis/report_numbers.h"
#include "text/number_text.h"

namespace quillon::analysis {

namespace {

// The mean of ten samples starting at `first`.
double ten_sample_mean(std::span<const double> samples, int first) {
    double sum = 0;
    for (int k = first; k < first + 10; ++k) {
        sum += samples[static_cast<std::size_t>(k)];
    }
    return sum / 10;
}

void analyse_slalom(std::span<const double> s, int n, double directionSign, PassStatistics& stats) {
    // Least-squares line y = a + b x through (k + 1, S[k]): the samples are numbered 1 to n.
    double sumX = 0;
    double sumY = 0;
    double sumXY = 0;
    double sumXX = 0;
    for (int k = 0; k < n; ++k) {
        const double x = k + 1;
        const double y = s[static_cast<std::size_t>(k)];
        sumX += x;
        sumY += y;
        sumXY += x * y;
        sumXX += x * x;
    }
    const double slope = (sumXY - sumX * sumY / n) / (sumXX - sumX * sumX / n);
    const double intercept = (sumY - slope * sumX) / n;

    double sumAbsFit = 0;
    double sumAbs = 0;
    double sumSigned = 0;
    for (int k = 0; k < n; ++k) {
        const double x = k + 1;
        const double y = s[static_cast<std::size_t>(k)];
        const double fit = intercept + slope * x;
        const double d = y - fit;
        if (k == 0) {
            stats.fitStart = fit;
        }
        if (k == n - 1) {
            stats.fitEnd = fit;
        }
        // Three independent tests; together they place every sample exactly once, and a
        // sample of exactly the threshold is centre.
        const double side = directionSign * y;
        if (side < -sideThreshold) {
            ++stats.rightCount;
        }
        if (side > sideThreshold) {
            ++stats.leftCount;
        }
        if (std::abs(y) <= sideThreshold) {
            ++stats.centerCount;
        }
        if (std::abs(d) > stats.maxDeviation) {
            stats.maxDeviation = std::abs(d);
        }
        if (std::abs(y) > stats.maxDeviationOffCenter) {
            stats.maxDeviationOffCenter = std::abs(y);
        }
        sumAbsFit += std::abs(d);
        sumAbs += std::abs(y);
        sumSigned += y;
    }
    stats.meanAbsDeviation = sumAbsFit / n;
    stats.driverDeviationOffCenter = sumAbs / n;
    stats.averageDistanceFromCenter = round3(sumSigned / n) * directionSign;
    stats.totalDeviation = stats.fitEnd - stats.fitStart;
}

void analyse_jump(std::span<const double> s, int n, PassStatistics& stats) {
    double sum = 0;
    for (int k = 0; k < n; ++k) {
        sum += s[static_cast<std::size_t>(k)];
    }
    stats.pathMean = sum / n;

    double sumAbs = 0;
    double sumSigned = 0;
    for (int k = 0; k < n; ++k) {
        const double y = s[static_cast<std::size_t>(k)];
        const double d = y - stats.pathMean;
        if (std::abs(d) > stats.maxDeviation) {
            stats.maxDeviation = std::abs(d);
        }
        sumAbs += std::abs(d);
        sumSigned += y;
    }
    stats.meanAbsDeviation = sumAbs / n;
    stats.averageDistanceFromCenter = round3(sumSigned / n);
}

}  // namespace

void require_pass_samples(std::span<const double> samples, int lastSampleIndex) {
    if (lastSampleIndex < 9 || lastSampleIndex > 700) {
        throw std::invalid_argument("a pass has from 10 to 701 samples");
    }
    if (static_cast<std::size_t>(lastSampleIndex) >= samples.size()) {
        throw std::invalid_argument("the last sample index lies beyond the samples");
    }
}

PassStatistics compute_pass_statistics(std::span<const double> samples, int lastSampleIndex,
                                       double directionSign, course::Discipline discipline) {
    require_pass_samples(samples, lastSampleIndex);
    const int n = lastSampleIndex + 1;
    PassStatistics stats;
    if (discipline == course::Discipline::Slalom) {
        analyse_slalom(samples, n, directionSign, stats);
    } else {
        analyse_jump(samples, n, stats);
    }
    stats.deviationAtStart = directionSign * ten_sample_mean(samples, 0);
    stats.deviationAtExit = directionSign * ten_sample_mean(samples, lastSampleIndex - 9);
    return stats;
}

std::string original_measurements_block(const PassStatistics& stats, course::Discipline discipline,
                                        int lastSampleIndex, const text::CivilDateTime& now) {
    using text::printed_number;
    const int n = lastSampleIndex + 1;
    std::string line4 = "MEAN ABSOLUTE DEVIATION = ";
    line4 += printed_number(round3(stats.meanAbsDeviation));
    line4 += " M   MAXIMUM DEVIATION = ";
    line4 += printed_number(round3(stats.maxDeviation));
    line4 += " M";

    std::string line5 = "DRIVER DEVIATION OFF CENTER = ";
    line5 += printed_number(round3(stats.driverDeviationOffCenter));
    line5 += " M  MAX DEVIATION = ";
    line5 += printed_number(round3(stats.maxDeviationOffCenter));
    line5 += " M";

    std::string line6 = "LEFT= ";
    line6 += printed_number(share_percent(stats.leftCount, n));
    line6 += "%";

    std::string line7 = "CENTER= ";
    line7 += printed_number(share_percent(stats.centerCount, n));
    line7 += "%  RIGHT= ";
    line7 += printed_number(share_percent(stats.rightCount, n));
    line7 += "%  AVERAGE DISTANCE FROM CENTER: ";
    line7 += printed_number(stats.averageDistanceFromCenter);

    std::string line8 = "DEVIATION AT START: ";
    line8 += printed_number(stats.deviationAtStart);
    std::string line9 = "DEVIATION AT EXIT: ";
    line9 += printed_number(stats.deviationAtExit);
    std::string line10 = "CALCULATED TOTAL DEVIATION: ";
    line10 += printed_number(stats.totalDeviation);

    text::CrLfText block;
    block.line(discipline == course::Discipline::Slalom ? "Slalom" : "Jump")
        .line(text::date_text(now))
        .line(text::time_text(now))
        .line(line4)
        .line(line5)
        .line(line6)
        .line(line7)
        .line(line8)
        .line(line9)
        .line(line10);
    return block.str();
}

PassAnalysis analyse_pass(std::span<const double> samples, int lastSampleIndex,
                          double directionSign, course::Discipline discipline,
                          std::string_view resultsFolder, const text::CivilDateTime& now) {
    PassAnalysis analysis;
    analysis.statistics =
        compute_pass_statistics(samples, lastSampleIndex, directionSign, discipline);
    analysis.summaryPath = text::path_in_folder(resultsFolder, originalMeasurementsFileName);
    analysis.summaryStatus = text::append_to_file(
        analysis.summaryPath,
        original_measurements_block(analysis.statistics, discipline, lastSampleIndex, now));
    return analysis;
}

}  // namespace quillon::analysis
