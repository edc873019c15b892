#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calibration/message.h"
#include "calibration/reference_boxes.h"
#include "text/date_time.h"

namespace quillon::calibration {

inline constexpr std::string_view resultsLogFileName = "results_file.txt";

// The word in the screen-position labels: "Twips" when a setup file was loaded, "Pixels" when
// the Complete button was pressed. The values are twips either way.
enum class ScreenLabelWord { Twips, Pixels };

// What the entry records: the boxes as they stand, the two description boxes and the slot.
struct ResultsLogInput {
    text::CivilDateTime now;
    ReferenceBoxes boxes;
    std::string ipt_file_description;
    std::string ipt_file_description_2;
    int current_grid = 1;
    ScreenLabelWord labelWord = ScreenLabelWord::Twips;
};

// The entry appended to "results_file.txt" at each setup-file load and each press of Complete:
// date, time and "New Set-up now in place" on one line, the two description lines, the grid
// number, then the upper left, lower left, upper right and lower right blocks and the jump
// point, every line ending with CR LF.
std::string results_log_entry(const ResultsLogInput& input);

// Appends the entry to "results_file.txt" in the results folder in one write. On failure the
// file keeps what it held and the message to show comes back; the calibration is not touched.
std::optional<Message> append_results_log_entry(std::string_view resultsFolder,
                                                const ResultsLogInput& input);

}  // namespace quillon::calibration
