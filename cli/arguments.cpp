#include "cli/arguments.h"

#include "cli/cli_io.h"

namespace quillon::cli {

const char* const usageText =
    "Usage:\n"
    "  quillon-cli solve POINTS [--write OUT.ipt [--description TEXT] [--jump X,Y]]\n"
    "  quillon-cli map SETUP.ipt --to-survey|--to-screen   (pairs a,b on stdin)\n"
    "  quillon-cli check SETUP.ipt [--screen-width PX]\n"
    "  quillon-cli accuracy SETUP.ipt --results DIR [--display detail|distance|level]\n"
    "                       [--screen-width PX] [--now \"MM-DD-YYYY HH:MM:SS\"]\n"
    "  quillon-cli report SAMPLES --results DIR [--discipline slalom|jump] [--speed KMH]\n"
    "                     [--line METRES] [--direction towards|away] [--boat T] [--model T]\n"
    "                     [--driver T] [--skier T] [--tournament T] [--location T] [--date T]\n"
    "                     [--number T] [--split T] [--full T] [--comment T]\n"
    "                     [--now \"MM-DD-YYYY HH:MM:SS\"]\n"
    "  quillon-cli read-results FILE [--discipline slalom|jump]\n"
    "Exit codes: 0 done, 2 bad input (one-line message on stderr); report: 1 when a log\n"
    "file could not be written.\n";

namespace {

std::string quoted(std::string_view text) {
    std::string result = "\"";
    result += text;
    result += '"';
    return result;
}

[[noreturn]] void refuse(std::string message) {
    message += " Run quillon-cli --help for the usage.";
    throw BadInput(message);
}

class ArgumentList {
  public:
    explicit ArgumentList(const std::vector<std::string>& args) : args_(args) {}

    bool done() const { return next_ >= args_.size(); }
    const std::string& take() { return args_[next_++]; }
    const std::string& value_of(const std::string& option) {
        if (done()) {
            std::string message = "The option ";
            message += option;
            message += " needs a value.";
            refuse(message);
        }
        return take();
    }

  private:
    const std::vector<std::string>& args_;
    std::size_t next_ = 0;
};

int two_digits(std::string_view text, std::size_t at) {
    const char a = text[at];
    const char b = text[at + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9') {
        return -1;
    }
    return (a - '0') * 10 + (b - '0');
}

std::string checked_width(const std::string& text) {
    const double width = number_argument(text, "--screen-width");
    if (!(width > 0)) {
        throw BadInput("--screen-width: the screen width must be more than 0 pixels.");
    }
    return text;
}

}  // namespace

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

Arguments parse_arguments(const std::vector<std::string>& args) {
    Arguments parsed;
    if (args.empty()) {
        refuse("No command given.");
    }
    ArgumentList list(args);
    const std::string& command = list.take();
    if (command == "--help" || command == "-h" || command == "help") {
        parsed.command = Command::Help;
        return parsed;
    }
    if (command == "solve") {
        parsed.command = Command::Solve;
    } else if (command == "map") {
        parsed.command = Command::Map;
    } else if (command == "check") {
        parsed.command = Command::Check;
    } else if (command == "accuracy") {
        parsed.command = Command::Accuracy;
    } else {
        std::string message = "Unknown command ";
        message += quoted(command);
        message += ".";
        refuse(message);
    }
    if (list.done() || list.take().empty()) {
        std::string message = "The command ";
        message += command;
        message +=
            parsed.command == Command::Solve ? " needs a POINTS file." : " needs a setup file.";
        refuse(message);
    }
    parsed.input = args[1];

    bool directionGiven = false;
    bool descriptionGiven = false;
    while (!list.done()) {
        const std::string& option = list.take();
        const Command c = parsed.command;
        if (c == Command::Solve && option == "--write") {
            parsed.writeTo = list.value_of(option);
        } else if (c == Command::Solve && option == "--description") {
            parsed.description = list.value_of(option);
            descriptionGiven = true;
        } else if (c == Command::Solve && option == "--jump") {
            const NumberPair jump = pair_argument(list.value_of(option), "--jump");
            parsed.jump = std::make_pair(jump.a, jump.b);
        } else if (c == Command::Map && (option == "--to-survey" || option == "--to-screen")) {
            if (directionGiven) {
                refuse("Give one of --to-survey and --to-screen, once.");
            }
            directionGiven = true;
            parsed.direction =
                option == "--to-survey" ? MapDirection::ToSurvey : MapDirection::ToScreen;
        } else if ((c == Command::Check || c == Command::Accuracy) && option == "--screen-width") {
            parsed.screenWidthPx = checked_width(list.value_of(option));
        } else if (c == Command::Accuracy && option == "--results") {
            parsed.resultsFolder = list.value_of(option);
            if (parsed.resultsFolder.empty()) {
                refuse("--results needs a folder.");
            }
        } else if (c == Command::Accuracy && option == "--display") {
            const std::string& display = list.value_of(option);
            if (display == "detail") {
                parsed.display = calibration::AccuracyDisplay::Detail;
            } else if (display == "distance") {
                parsed.display = calibration::AccuracyDisplay::Distance;
            } else if (display == "level") {
                parsed.display = calibration::AccuracyDisplay::Level;
            } else {
                std::string message = "--display: ";
                message += quoted(display);
                message += " is none of detail, distance, level.";
                refuse(message);
            }
        } else if (c == Command::Accuracy && option == "--now") {
            parsed.now = parse_now(list.value_of(option));
        } else {
            std::string message = "Unknown option ";
            message += quoted(option);
            message += " for ";
            message += command;
            message += ".";
            refuse(message);
        }
    }

    if (parsed.command == Command::Solve && !parsed.writeTo && (descriptionGiven || parsed.jump)) {
        refuse("--description and --jump go with --write.");
    }
    if (parsed.command == Command::Map && !directionGiven) {
        refuse("map needs --to-survey or --to-screen.");
    }
    if (parsed.command == Command::Accuracy && parsed.resultsFolder.empty()) {
        refuse("accuracy needs --results DIR.");
    }
    return parsed;
}

}  // namespace quillon::cli
