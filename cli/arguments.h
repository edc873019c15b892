#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "text/date_time.h"

namespace quillon::cli {

// One option of a command: its name ("--results") and what its value is ("DIR"), or no value
// for a flag that stands alone ("--zones"). A required option must be given.
struct CommandOption {
    std::string_view name;
    std::string_view value;
    bool required = false;
};

// What a command's words must be: its name, the one input file it reads ("a POINTS file"),
// its options and its usage, "quillon-cli NAME ARGUMENTS" broken into the lines --help shows.
// Every command of quillon-cli is read by this one description (cli/command_table.cpp).
struct CommandSyntax {
    std::string_view name;
    std::string_view usage;
    std::string_view input;
    std::span<const CommandOption> options;
};

// A command's words as its syntax reads them: the input file and the options given, each once.
class CommandWords {
  public:
    const std::string& input() const { return input_; }
    // The value of an option given by its name ("--results"); empty for a flag.
    std::optional<std::string> option(std::string_view name) const;
    bool has(std::string_view name) const { return options_.contains(name); }
    // --help was among the options: the command shows its usage and does nothing else.
    bool help() const { return help_; }
    // The words as given, for a command that hands them on (to a module of quillon-cli).
    const std::vector<std::string>& given() const { return given_; }

  private:
    friend CommandWords read_words(const std::vector<std::string>& args,
                                   const CommandSyntax& syntax);
    std::string input_;
    std::vector<std::string> given_;
    std::map<std::string, std::string, std::less<>> options_;
    bool help_ = false;
};

// Reads the words after a command's name by its syntax. Words that start with "-" are options
// (a value is the word after its option, whatever it holds); the one other word is the input.
// --help anywhere among the options asks for the usage and ends the reading. Throws BadInput
// for no words at all (the usage line), an unknown option, an option given twice or without
// its value, a missing or second input, or a missing required option.
CommandWords read_words(const std::vector<std::string>& args, const CommandSyntax& syntax);

// "usage: quillon-cli NAME ..." on one line.
std::string usage_line(const CommandSyntax& syntax);

// --surface W,H: the drawing surface a setup was marked on, in whole pixels (1 to 100000).
struct SurfaceSize {
    long width = 0;
    long height = 0;
};
SurfaceSize surface_argument(const std::string& text);

// --now "MM-DD-YYYY HH:MM:SS" (text::parse_date_time); BadInput for anything else.
text::CivilDateTime parse_now(std::string_view text);

}  // namespace quillon::cli
