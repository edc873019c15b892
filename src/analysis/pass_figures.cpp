#include "analysis/pass_figures.h"

#include <cmath>
#include <stdexcept>

namespace quillon::analysis {

PassFigures end_of_pass_figures(std::span<const double> samples, int lastSampleIndex) {
    if (lastSampleIndex < 0 || lastSampleIndex > 700 ||
        static_cast<std::size_t>(lastSampleIndex) >= samples.size()) {
        throw std::invalid_argument("the last sample index lies outside the samples");
    }
    PassFigures figures;
    figures.passSampleCount = static_cast<std::int16_t>(lastSampleIndex + 1);
    double sum = 0;
    for (int k = 0; k <= lastSampleIndex; ++k) {
        const double size = std::abs(samples[static_cast<std::size_t>(k)]);
        sum += size;
        // Strictly greater: the first of equal maxima keeps its index.
        if (size > figures.passMaxAbsDeviation) {
            figures.passMaxAbsDeviation = size;
            figures.passMaxAbsIndex = static_cast<std::int16_t>(k);
        }
    }
    figures.passMeanAbsDeviation = sum / figures.passSampleCount;
    return figures;
}

}  // namespace quillon::analysis
