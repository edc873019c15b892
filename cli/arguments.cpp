#include "cli/arguments.h"

#include <algorithm>

#include "cli/cli_io.h"

namespace quillon::cli {

std::optional<std::string> CommandWords::option(std::string_view name) const {
    const auto found = options_.find(name);
    if (found == options_.end()) {
        return std::nullopt;
    }
    return found->second;
}

namespace {

// Refuses the words with a pointer to the program's --help: the program is the first word of
// the usage.
[[noreturn]] void refuse_words(const CommandSyntax& syntax, std::string_view message) {
    const std::string_view program = syntax.usage.substr(0, syntax.usage.find(' '));
    throw BadInput(joined({message, " Run ", program, " --help for the usage."}));
}

}  // namespace

CommandWords read_words(const std::vector<std::string>& args, const CommandSyntax& syntax) {
    if (args.empty()) {
        throw BadInput(usage_line(syntax));
    }
    CommandWords words;
    words.given_ = args;
    bool inputGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word.size() < 2 || word.front() != '-') {
            if (inputGiven) {
                refuse_words(syntax,
                             joined({"The command ", syntax.name, " takes one ",
                                     syntax.input.substr(syntax.input.find(' ') + 1), "."}));
            }
            words.input_ = word;
            inputGiven = true;
            continue;
        }
        if (word == "--help") {
            words.help_ = true;
            return words;
        }
        const auto known = std::find_if(syntax.options.begin(), syntax.options.end(),
                                        [&](const CommandOption& o) { return o.name == word; });
        if (known == syntax.options.end()) {
            refuse_words(syntax, joined({"Unknown option \"", word, "\"."}));
        }
        std::string value;
        if (!known->value.empty()) {
            if (i + 1 >= args.size()) {
                refuse_words(syntax, joined({"The option ", word, " needs a value."}));
            }
            value = args[++i];
        }
        if (!words.options_.emplace(word, std::move(value)).second) {
            refuse_words(syntax, joined({"The option ", word, " is given twice."}));
        }
    }
    if (!inputGiven || words.input_.empty()) {
        refuse_words(syntax, joined({"The command ", syntax.name, " needs ", syntax.input, "."}));
    }
    for (const CommandOption& known : syntax.options) {
        if (known.required && !words.has(known.name)) {
            refuse_words(syntax, joined({"The command ", syntax.name, " needs ", known.name, " ",
                                         known.value, "."}));
        }
    }
    return words;
}

std::string usage_line(const CommandSyntax& syntax) {
    std::string line = "usage: ";
    for (const char c : syntax.usage) {
        line += c == '\n' ? ' ' : c;
    }
    return line;
}

SurfaceSize surface_argument(const std::string& text) {
    const NumberPair size = pair_argument(text, "--surface");
    if (size.a < 1 || size.b < 1 || size.a > 1e5 || size.b > 1e5 ||
        size.a != static_cast<long>(size.a) || size.b != static_cast<long>(size.b)) {
        throw BadInput{joined({"--surface must be W,H in whole pixels, not \"", text, "\""})};
    }
    return {static_cast<long>(size.a), static_cast<long>(size.b)};
}

text::CivilDateTime parse_now(std::string_view text) {
    const auto when = text::parse_date_time(text);
    if (!when) {
        throw BadInput(
            joined({"--now must be a date and time \"MM-DD-YYYY HH:MM:SS\", not \"", text, "\"."}));
    }
    return *when;
}

}  // namespace quillon::cli
