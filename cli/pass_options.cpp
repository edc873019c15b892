#include "cli/pass_options.h"

#include "cli/cli_io.h"
#include "text/number_forms.h"

namespace quillon::cli {

namespace {

using course::Discipline;

[[noreturn]] void refuse_value(const CommandOption& option, std::string_view allowed,
                               std::string_view given) {
    throw BadInput(joined({option.name, " must be ", allowed, ", not \"", given, "\"."}));
}

// "one of the slalom speeds 58, 55, 52, 49, 46 (km/h)", from the course's table.
std::string speeds_text(Discipline discipline) {
    std::string text =
        discipline == Discipline::Slalom ? "one of the slalom speeds " : "one of the jump speeds ";
    course::PassDescription pass;
    pass.discipline = discipline;
    for (int i = 0; i < course::speed_option_count(discipline); ++i) {
        course::select_speed(pass, i);
        text += i == 0 ? "" : ", ";
        text += std::to_string(course::speed_kmh(pass));
    }
    return text + " (km/h)";
}

void select_speed(course::PassDescription& pass, const std::string& given) {
    if (const auto kmh = text::parse_number(given, text::digitsOnly)) {
        for (int i = 0; i < course::speed_option_count(pass.discipline); ++i) {
            course::select_speed(pass, i);
            if (course::speed_kmh(pass) == *kmh) {
                return;
            }
        }
    }
    refuse_value(speedOption, speeds_text(pass.discipline), given);
}

// The length is compared as a number: "16" and "16.00" both select "16.00".
void select_line(course::PassDescription& pass, const std::string& given) {
    std::string allowed = "one of ";
    if (const auto metres = text::parse_number(given, text::decimalNumber)) {
        for (int i = 0; i < course::lineLengthCount; ++i) {
            const auto length = static_cast<course::LineLength>(i);
            if (text::parse_number(course::line_length_caption(length), text::decimalNumber) ==
                *metres) {
                pass.lineLength = length;
                return;
            }
        }
    }
    for (int i = 0; i < course::lineLengthCount; ++i) {
        allowed += i == 0 ? "" : ", ";
        allowed += course::line_length_caption(static_cast<course::LineLength>(i));
    }
    refuse_value(lineOption, allowed + " (metres)", given);
}

}  // namespace

course::PassDescription pass_options(const CommandWords& words) {
    course::PassDescription pass;
    if (const auto discipline = words.option(disciplineOption.name)) {
        if (*discipline == "jump") {
            pass.discipline = Discipline::Jump;
        } else if (*discipline != "slalom") {
            refuse_value(disciplineOption, "slalom or jump", *discipline);
        }
    }
    if (const auto direction = words.option(directionOption.name)) {
        if (*direction == "away") {
            pass.direction = course::Direction::Away;
        } else if (*direction != "towards") {
            refuse_value(directionOption, "towards or away", *direction);
        }
    }
    if (const auto speed = words.option(speedOption.name)) {
        select_speed(pass, *speed);
    }
    if (const auto line = words.option(lineOption.name)) {
        select_line(pass, *line);
    }
    return pass;
}

}  // namespace quillon::cli
