#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/arguments.h"

namespace quillon::cli {

// Where a subcommand reads its input and writes its output and messages: the process's stdin,
// stdout and stderr in quillon-cli, string streams in the tests.
struct CommandIo {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
};

// A subcommand gets its words, read by its syntax, and gives back the exit code. It refuses
// bad input by throwing BadInput (run_command turns it into one line on stderr, exit code 2).
using CommandHandler = int (*)(const CommandWords& words, const CommandIo& io);

// A row of the command table: the command's syntax (its options and usage) and its handler.
// The rows of --help itself have no usage and take any words.
struct Subcommand : CommandSyntax {
    CommandHandler run;
};

// Every subcommand, in the order --help lists them.
std::span<const Subcommand> subcommands();

// The text of --help: every usage, then the exit codes.
std::string usage_text();

// The text of "quillon-cli NAME --help": the command's usage, then the exit codes.
std::string command_help(const Subcommand& command);

// Runs the subcommand named by the first word with the words after it, read by its syntax;
// prints its usage when they hold --help. Every refusal (a missing or unknown name, words the
// syntax does not take, the handler's BadInput) is one line on io.err and exit code 2; output
// that io.out did not take gives one line and exit code 1 (finish_output).
int run_command(const std::vector<std::string>& words, const CommandIo& io);

}  // namespace quillon::cli
