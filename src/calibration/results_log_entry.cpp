#include "calibration/results_log_entry.h"

#include "text/number_text.h"
#include "text/text_file.h"

namespace quillon::calibration {

std::string results_log_entry(const ResultsLogInput& in) {
    text::CrLfText entry;
    entry.put(text::date_text(in.now)).put(" ").put(text::time_text(in.now)).put(" ");
    entry.line("New Set-up now in place");
    entry.line(in.ipt_file_description);
    entry.line(in.ipt_file_description_2);
    std::string grid = "Grid Number: ";
    grid += text::printed_number(in.current_grid);
    entry.line(grid);
    entry.line(" ");

    put_reference_boxes(entry, in.boxes,
                        in.labelWord == ScreenLabelWord::Twips ? "Twips" : "Pixels");
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
    return Message{std::move(text), applicationTitle, MessageStyle::Exclamation};
}

}  // namespace quillon::calibration
