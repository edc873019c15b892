#include "analysis/report_numbers.h"

#include <cmath>

#include "text/number_text.h"

namespace quillon::analysis {

double round3(double value) {
    return text::round_half_up(value, 3);
}

std::string pattern_text(double value, std::string_view pattern) {
    const auto point = pattern.find('.');
    const int decimals =
        point == std::string_view::npos ? 0 : static_cast<int>(pattern.size() - point - 1);
    // Once rounded, the value has no digits beyond the pattern's, so the pattern writes it as is.
    return text::format_pattern(text::round_half_up(value, decimals), pattern);
}

int share_percent(int count, int sampleCount) {
    return static_cast<int>(std::floor(count * 100.0 / sampleCount + 0.5));
}

}  // namespace quillon::analysis
