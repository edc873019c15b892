#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace quillon::cli {

// quillon-cli report SAMPLES --results DIR [options]: analyses a pass read from a file of
// deviations, appends the three result logs and prints the report. args are the words after
// "report". Returns 0 when done, 1 when a log could not be written, 2 for bad input (nothing
// is written then).
int report_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// quillon-cli read-results FILE [--discipline slalom|jump]: reads a saved report back as the
// Results screen does and prints its direction and points. Returns 0 when done, 2 when the
// file is refused or cannot be read.
int read_results_command(const std::vector<std::string>& args, std::ostream& out,
                         std::ostream& err);

}  // namespace quillon::cli
