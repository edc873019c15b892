#pragma once

#include <string>
#include <string_view>

namespace quillon::analysis {

// round3(x): floor(x * 1000 + 0.5) / 1000, halves toward plus infinity (-0.0125 gives -0.012).
double round3(double value);

// A value in a fixed pattern of the report, "0.00" or "000.0": first rounded to the pattern's
// decimals with the program's halves-up rule (5.25 gives "005.3", -0.015 gives "-0.01"), then
// written with at least the pattern's integer digits. A value that rounds to zero carries no
// sign ("0.00").
std::string pattern_text(double value, std::string_view pattern);

// A share in whole per cent: floor(count * 100 / sampleCount + 0.5).
int share_percent(int count, int sampleCount);

}  // namespace quillon::analysis
