#pragma once

#include <span>
#include <string>
#include <string_view>

#include "analysis/pass_statistics.h"
#include "course/pass_description.h"
#include "text/date_time.h"
#include "text/text_file.h"

namespace quillon::analysis {

// The summary file in the results folder that every analysis appends one block to.
inline constexpr std::string_view originalMeasurementsFileName = "originalmeasurements.txt";

// Left/centre/right threshold of the analysis, metres: a sample beyond it counts to that side.
inline constexpr double sideThreshold = 0.12;

// Throws std::invalid_argument unless samples[0..lastSampleIndex] is a pass of at least ten
// samples (and at most 701) that the span holds.
void require_pass_samples(std::span<const double> samples, int lastSampleIndex);

// The statistics of samples[0..lastSampleIndex], from scratch. Slalom measures against the
// least-squares line through (k + 1, samples[k]), jump against the mean path; directionSign is
// +1 when the boat goes away from the camera, -1 when it comes toward it. Throws
// std::invalid_argument when the pass has fewer than ten samples or lastSampleIndex lies
// beyond the samples given.
PassStatistics compute_pass_statistics(std::span<const double> samples, int lastSampleIndex,
                                       double directionSign, course::Discipline discipline);

// The ten lines (each ended by CR LF) that an analysis appends to originalmeasurements.txt.
std::string original_measurements_block(const PassStatistics& statistics,
                                        course::Discipline discipline, int lastSampleIndex,
                                        const text::CivilDateTime& now);

// What an analysis gives back: the statistics always, and whether the summary block reached
// its file. When it did not, the statistics are still good; the caller tells the operator
// which file could not be written and why.
struct PassAnalysis {
    PassStatistics statistics;
    std::string summaryPath;
    text::FileStatus summaryStatus;
};

// Computes the statistics and appends their block to originalmeasurements.txt in the results
// folder, in one write.
PassAnalysis analyse_pass(std::span<const double> samples, int lastSampleIndex,
                          double directionSign, course::Discipline discipline,
                          std::string_view resultsFolder, const text::CivilDateTime& now);

}  // namespace quillon::analysis
