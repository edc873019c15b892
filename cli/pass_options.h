#pragma once

#include "cli/arguments.h"
#include "course/pass_description.h"

namespace quillon::cli {

// The Start screen's selections as options, shared by report, track and read-results: each
// command's row in the command table lists those it takes.
inline constexpr CommandOption disciplineOption{"--discipline", "slalom|jump"};
inline constexpr CommandOption directionOption{"--direction", "towards|away"};
inline constexpr CommandOption speedOption{"--speed", "KMH"};
inline constexpr CommandOption lineOption{"--line", "METRES"};

// The pass the words select, read against the course's own tables of speeds and line lengths;
// the Start screen's initial selection for each option not given. Throws BadInput naming the
// option and the values it may take.
course::PassDescription pass_options(const CommandWords& words);

}  // namespace quillon::cli
