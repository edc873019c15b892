#pragma once

#include "cli/arguments.h"

namespace quillon::cli {

// Each command writes its results to stdout and throws BadInput for anything it cannot use.
void run_solve(const Arguments& args);
void run_map(const Arguments& args);
void run_check(const Arguments& args);
void run_accuracy(const Arguments& args);

}  // namespace quillon::cli
