#pragma once

#include <string>
#include <vector>

#include "cli/command_table.h"

namespace quillon::cli {

// The subcommands of quillon-cli, one file each, named in the table of cli/command_table.cpp.
// Each gets its words, read by the command's row of the table, and gives back the exit code;
// it refuses bad input by throwing BadInput before it prints anything.

// solve POINTS [--write OUT.ipt [--description TEXT] [--jump X,Y]]: solves the camera model
// from four reference points and prints its coefficients; writes a setup file on request.
int solve_command(const CommandWords& words, const CommandIo& io);

// map SETUP.ipt --to-survey|--to-screen: maps the pairs "a,b" read from io.in.
int map_command(const CommandWords& words, const CommandIo& io);

// check SETUP.ipt [--surface W,H]: the setup file's points, coefficients and ratios.
int check_command(const CommandWords& words, const CommandIo& io);

// accuracy SETUP.ipt --results DIR [...]: appends the accuracy report and prints its labels.
int accuracy_command(const CommandWords& words, const CommandIo& io);

// report SAMPLES --results DIR [options]: analyses a pass read from a file of deviations,
// appends the three result logs and prints the report. Exit code 1 when a log could not be
// written; nothing is written on bad input.
int report_command(const CommandWords& words, const CommandIo& io);

// read-results FILE [--discipline slalom|jump]: reads a saved report back as the Results
// screen does and prints its direction and points; 2 when the file is refused or cannot be
// read, with the Results screen's message.
int read_results_command(const CommandWords& words, const CommandIo& io);

// track VIDEO --setup SETUP.ipt --start-time SECONDS --mark X,Y [options]: follows the boat's
// mark through a recorded pass and prints one sample per line as report reads them. Exit code
// 3 when the mark was lost for some samples (listed on io.err). It runs in quillon-cli-track.so,
// loaded here on first use (cli/modules.h).
int track_command(const CommandWords& words, const CommandIo& io);

}  // namespace quillon::cli
