#pragma once

#include <span>
#include <string>

#include "course/pass_description.h"

namespace quillon::analysis {

// The samples of a pass as CSV: a header row "sample,time_s,position_m,deviation_m", then one
// row per sample k = 0 to lastSampleIndex: k, the time from the start (k x 0.1 s), the report's
// course position k x L / N (three decimals) and the deviation as stored (the shortest text
// that reads back to the same double). A point is the decimal separator; rows end with CR LF.
// Throws std::invalid_argument for a pass that require_pass_samples refuses.
std::string samples_csv(std::span<const double> samples, int lastSampleIndex,
                        course::Discipline discipline);

}  // namespace quillon::analysis
