#include "cli/results/command_line.h"

#include "cli/cli_io.h"

namespace quillon::cli {

std::optional<std::string> CommandLine::option(std::string_view name) const {
    const auto found = options.find(name);
    if (found == options.end()) {
        return std::nullopt;
    }
    return found->second;
}

ParsedCommandLine parse_command_line(const std::vector<std::string>& args,
                                     const std::set<std::string, std::less<>>& knownOptions,
                                     const std::set<std::string, std::less<>>& flags) {
    ParsedCommandLine parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (!word.starts_with("--")) {
            parsed.line.positional.push_back(word);
            continue;
        }
        const std::string name = word.substr(2);
        if (flags.contains(name)) {
            if (!parsed.line.options.emplace(name, std::string()).second) {
                parsed.error = joined({"option ", word, " is given twice"});
                return parsed;
            }
            continue;
        }
        if (!knownOptions.contains(name)) {
            parsed.error = joined({"unknown option ", word});
            return parsed;
        }
        if (i + 1 >= args.size()) {
            parsed.error = joined({"option ", word, " needs a value"});
            return parsed;
        }
        if (!parsed.line.options.emplace(name, args[i + 1]).second) {
            parsed.error = joined({"option ", word, " is given twice"});
            return parsed;
        }
        ++i;
    }
    return parsed;
}

}  // namespace quillon::cli
