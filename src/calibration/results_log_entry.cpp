#include "calibration/results_log_entry.h"

#include "text/number_text.h"
#include "text/text_file.h"

namespace quillon::calibration {

namespace {

std::string pair_line(std::string_view label, std::string_view x, std::string_view y) {
    std::string line(label);
    line += x;
    line += "  ";
    line += y;
    return line;
}

}  // namespace

std::string results_log_entry(const ResultsLogInput& in) {
    const ReferenceBoxes& b = in.boxes;
    const char* word = in.labelWord == ScreenLabelWord::Twips ? "Twips: " : "Pixels: ";
    auto screen_label = [word](std::string_view corner) {
        std::string label(corner);
        label += " X,Y ";
        label += word;
        return label;
    };

    text::CrLfText entry;
    entry.put(text::date_text(in.now)).put(" ").put(text::time_text(in.now)).put(" ");
    entry.line("New Set-up now in place");
    entry.line(in.ipt_file_description);
    entry.line(in.ipt_file_description_2);
    std::string grid = "Grid Number: ";
    grid += text::printed_number(in.current_grid);
    entry.line(grid);
    entry.line(" ");

    const struct {
        const char* corner;
        const std::string* x;
        const std::string* y;
        const std::string* surveyX;
        const std::string* surveyY;
    } blocks[] = {
        {"Upper Left", &b.upper_left_x, &b.upper_left_y, &b.ul_survey_x, &b.ul_survey_y},
        {"Lower Left", &b.lower_left_x, &b.lower_left_y, &b.ll_survey_x, &b.ll_survey_y},
        {"Upper Right", &b.upper_right_x, &b.upper_right_y, &b.ur_survey_x, &b.ur_survey_y},
        {"Lower Right", &b.lower_right_x, &b.lower_right_y, &b.lr_survey_x, &b.lr_survey_y},
    };
    for (const auto& block : blocks) {
        entry.line(pair_line(screen_label(block.corner), *block.x, *block.y));
        std::string surveyLabel(block.corner);
        surveyLabel += " X,Y Survey: ";
        entry.line(pair_line(surveyLabel, *block.surveyX, *block.surveyY));
        entry.line(" ");
    }
    entry.line(pair_line("Jump X,Y Survey: ", b.jump_x, b.jump_y));
    entry.line(" ");
    return entry.str();
}

std::optional<Message> append_results_log_entry(std::string_view resultsFolder,
                                                const ResultsLogInput& input) {
    const std::string path = text::path_in_folder(resultsFolder, resultsLogFileName);
    const text::FileStatus status = text::append_to_file(path, results_log_entry(input));
    if (status) {
        return std::nullopt;
    }
    std::string text = "The set-up could not be recorded in \"";
    text += path;
    text += "\": ";
    text += status.description;
    text += ".";
    return Message{std::move(text), applicationTitle, styleExclamation};
}

}  // namespace quillon::calibration
