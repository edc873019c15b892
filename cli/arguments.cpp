#include "cli/arguments.h"

#include "cli/cli_io.h"

namespace quillon::cli {

namespace {

std::string quoted(std::string_view text) {
    std::string result = "\"";
    result += text;
    result += '"';
    return result;
}

int two_digits(std::string_view text, std::size_t at) {
    const char a = text[at];
    const char b = text[at + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9') {
        return -1;
    }
    return (a - '0') * 10 + (b - '0');
}

}  // namespace

CommandWords::CommandWords(const std::vector<std::string>& args, std::string_view command,
                           std::string_view inputName)
    : args_(args), command_(command) {
    if (args.empty() || args.front().empty()) {
        refuse(joined({"The command ", command, " needs ", inputName, "."}));
    }
}

const std::string& CommandWords::value_of(const std::string& option) {
    if (done()) {
        refuse(joined({"The option ", option, " needs a value."}));
    }
    return next_option();
}

void CommandWords::refuse_unknown(const std::string& option) const {
    refuse(joined({"Unknown option ", quoted(option), " for ", command_, "."}));
}

std::string screen_width_argument(const std::string& text) {
    const double width = number_argument(text, "--screen-width");
    if (!(width > 0)) {
        throw BadInput("--screen-width: the screen width must be more than 0 pixels.");
    }
    return text;
}

text::CivilDateTime parse_now(std::string_view text) {
    const std::string_view shape = "MM-DD-YYYY HH:MM:SS";
    bool fits = text.size() == shape.size();
    for (std::size_t i = 0; fits && i < shape.size(); ++i) {
        const bool digitWanted = shape[i] != '-' && shape[i] != ' ' && shape[i] != ':';
        fits = digitWanted ? (text[i] >= '0' && text[i] <= '9') : text[i] == shape[i];
    }
    text::CivilDateTime when;
    if (fits) {
        when.month = two_digits(text, 0);
        when.day = two_digits(text, 3);
        when.year = two_digits(text, 6) * 100 + two_digits(text, 8);
        when.hour = two_digits(text, 11);
        when.minute = two_digits(text, 14);
        when.second = two_digits(text, 17);
        fits = when.month >= 1 && when.month <= 12 && when.day >= 1 && when.day <= 31 &&
               when.hour <= 23 && when.minute <= 59 && when.second <= 59;
    }
    if (!fits) {
        std::string message = "--now: ";
        message += quoted(text);
        message += " is not a date and time \"MM-DD-YYYY HH:MM:SS\".";
        throw BadInput(message);
    }
    return when;
}

}  // namespace quillon::cli
