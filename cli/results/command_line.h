#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::cli {

// The words of a subcommand: positional words and "--name value" options.
struct CommandLine {
    std::vector<std::string> positional;
    std::map<std::string, std::string, std::less<>> options;

    std::optional<std::string> option(std::string_view name) const;
};

// Splits the words; every option takes one value, except the flags, which stand alone (and
// are held with an empty value). Gives the error text for an unknown option, an option given
// twice or an option without its value.
struct ParsedCommandLine {
    CommandLine line;
    std::string error;
};
ParsedCommandLine parse_command_line(const std::vector<std::string>& args,
                                     const std::set<std::string, std::less<>>& knownOptions,
                                     const std::set<std::string, std::less<>>& flags = {});

}  // namespace quillon::cli
