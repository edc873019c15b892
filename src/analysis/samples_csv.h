#pragma once

#include <span>
#include <string>

#include "analysis/sample_provenance.h"
#include "course/pass_description.h"

namespace quillon::analysis {

// The samples of a pass as CSV: a header row "sample,time_s,position_m,deviation_m,provenance",
// then one row per sample k = 0 to lastSampleIndex: k, the time from the start (k x 0.1 s),
// the report's course position k x L / N (three decimals), the deviation as stored (the
// shortest text that reads back to the same double) and where the sample came from
// ("tracked", "operator", "held"; empty when `provenance` does not say). A point is the
// decimal separator; rows end with CR LF.
// Throws std::invalid_argument for a pass that require_pass_samples refuses.
std::string samples_csv(std::span<const double> samples, int lastSampleIndex,
                        course::Discipline discipline, std::span<const Provenance> provenance = {});

}  // namespace quillon::analysis
