#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/results_errors.h"
#include "course/pass_description.h"
#include "text/item_reader.h"

namespace quillon::analysis {

// What "Save Result File" writes: the report text (its last line ended) + CR LF + CR LF, then
// "End of Pass Analysis" and an empty line: after the last sample line two empty lines, the
// trailer and one more empty line.
std::string saved_report_text(std::string_view reportText);

// The most points a reloaded path holds (indices 0 to 500).
inline constexpr std::size_t reloadedPointCapacity = 501;

// The largest file read as a saved report. A report of 501 samples is about 40 KB; a file many
// times that size is not one, and its text would take the report box many seconds to show.
inline constexpr std::size_t maxSavedReportBytes = 256u * 1024u;

// One point of a reloaded path: course position and deviation, metres.
struct ReloadedPoint {
    double position = 0;
    double deviation = 0;

    friend bool operator==(const ReloadedPoint&, const ReloadedPoint&) = default;
};

// What a saved report gives back after its first item was accepted.
struct SavedReport {
    // Every item read, each followed by CR LF: the text the Results screen shows.
    std::string shownText;
    // Towards when an item starting "Boat is co" comes before the first sample line.
    course::Direction direction = course::Direction::Away;
    std::vector<ReloadedPoint> points;
    // Set when the file has more sample lines than a reloaded path holds (error 9); the
    // points then hold the first 501, the text runs up to the line that did not fit, and
    // nothing should be drawn.
    std::optional<UnexpectedError> error;

    friend bool operator==(const SavedReport&, const SavedReport&) = default;
};

// Reads a saved report in two steps, so that the Results screen can ask for the graph colour
// in between, as it does after the first item and before the rest:
//
//     SavedReportReader reader(bytes, discipline);
//     if (auto refusal = reader.checkFirstItem()) { show *refusal; return; }
//     ... ask for the colour ...
//     SavedReport report = reader.readRest();
//
// It works on the file's bytes alone, so any content (empty, binary, huge, any line ends)
// gives a result; nothing is thrown.
class SavedReportReader {
  public:
    SavedReportReader(std::string bytes, course::Discipline discipline);

    // Reads the first item. Nothing when it is "Slalom Pass Results" (slalom selected) or
    // "Jump Pass Results" (jump selected); otherwise the refusal to show: "Not a valid slalom
    // path results file" or "Not a valid jump path results file".
    std::optional<std::string> checkFirstItem();

    // Reads the rest: the heading items up to the first sample line, then the sample lines of
    // either layout, up to the first line of another kind or the end. Gives an empty report
    // unless checkFirstItem() accepted the file.
    SavedReport readRest();

  private:
    text::ItemReader items_;
    course::Discipline discipline_;
    std::string firstItem_;
    bool accepted_ = false;
};

// Both steps at once, for callers with nothing to ask in between.
struct SavedReportReading {
    std::optional<std::string> refusal;
    SavedReport report;
};
SavedReportReading read_saved_report(std::string bytes, course::Discipline discipline);

}  // namespace quillon::analysis
