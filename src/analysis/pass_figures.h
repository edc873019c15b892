#pragma once

#include <cstdint>
#include <span>

namespace quillon::analysis {

// The figures the Measure screen computes when a pass ends, over samples 0 to N.
struct PassFigures {
    // N + 1: the number of samples stored.
    std::int16_t passSampleCount = 0;
    // Mean and largest absolute sample, metres.
    double passMeanAbsDeviation = 0;
    double passMaxAbsDeviation = 0;
    // Index of the first sample with the largest absolute value; 0 when all samples are 0.
    std::int16_t passMaxAbsIndex = 0;
};

// The end-of-pass figures of samples[0..lastSampleIndex]. Throws std::invalid_argument when
// lastSampleIndex is negative, above 700 or beyond the samples given.
PassFigures end_of_pass_figures(std::span<const double> samples, int lastSampleIndex);

}  // namespace quillon::analysis
