#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::cli {

// Where a subcommand reads its input and writes its output and messages: the process's stdin,
// stdout and stderr in quillon-cli, string streams in the tests.
struct CommandIo {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
};

// A subcommand gets the words after its name and gives back the exit code.
using CommandHandler = int (*)(const std::vector<std::string>& args, const CommandIo& io);

struct Subcommand {
    std::string_view name;
    // "quillon-cli NAME ARGUMENTS", broken into lines where --help breaks it (--help lines the
    // continuation lines up under the arguments); empty for the names of --help itself, which
    // the usage does not list.
    std::string_view usage;
    CommandHandler run;
};

// Every subcommand, in the order --help lists them.
std::span<const Subcommand> subcommands();

// The text of --help: every usage, then the exit codes.
std::string usage_text();

// "usage: quillon-cli NAME ..." on one line, for a subcommand's own usage message.
std::string usage_line(std::string_view name);

// Runs the subcommand named by the first word with the words after it. A missing or unknown
// name gives one line on io.err and exit code 2; output that io.out did not take gives one
// line and exit code 1 (finish_output).
int run_command(const std::vector<std::string>& words, const CommandIo& io);

}  // namespace quillon::cli
