#pragma once

namespace quillon::analysis {

// The statistics of one analysed pass, in metres unless said. Slalom measures deviations from
// the best-fit line through the samples, jump from the mean path.
struct PassStatistics {
    double meanAbsDeviation = 0;
    double maxDeviation = 0;
    double pathMean = 0;
    double averageDistanceFromCenter = 0;
    double deviationAtStart = 0;
    double deviationAtExit = 0;
    double fitStart = 0;
    double fitEnd = 0;
    double totalDeviation = 0;
    // Sample counts after the analysis; the report replaces them with percentages.
    int leftCount = 0;
    int centerCount = 0;
    int rightCount = 0;
    double driverDeviationOffCenter = 0;
    double maxDeviationOffCenter = 0;
};

}  // namespace quillon::analysis
