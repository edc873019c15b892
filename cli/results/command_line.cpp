#include "results/command_line.h"

#include <charconv>
#include <cmath>

namespace quillon::cli {

std::string joined(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (const auto part : parts) {
        text += part;
    }
    return text;
}

std::optional<std::string> CommandLine::option(std::string_view name) const {
    const auto found = options.find(name);
    if (found == options.end()) {
        return std::nullopt;
    }
    return found->second;
}

ParsedCommandLine parse_command_line(const std::vector<std::string>& args,
                                     const std::set<std::string, std::less<>>& knownOptions) {
    ParsedCommandLine parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (!word.starts_with("--")) {
            parsed.line.positional.push_back(word);
            continue;
        }
        const std::string name = word.substr(2);
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

std::optional<double> strict_number(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // from_chars would also take "inf" and "nan"; a deviation is digits, a point, an exponent.
    if (text.empty() || !((text.front() >= '0' && text.front() <= '9') || text.front() == '.')) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

}  // namespace quillon::cli
