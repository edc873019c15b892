#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/pass_statistics.h"
#include "analysis/zone_readings.h"
#include "calibration/calibration.h"
#include "course/pass_description.h"

namespace quillon::dossier {

// The calibration a pass was measured with, as a record dossier states it.
struct CalibrationFacts {
    std::string setupFile;
    std::string description;
    // Points 1 to 4 (upper right, lower right, upper left, lower left): screen x, screen y in
    // twips, survey x, survey y in metres.
    std::array<std::array<double, 4>, 4> points{};
    double frontRatio = 0;
    double backRatio = 0;
    int gridSlot = 1;
};

// The current slot's file and description, the working points and the ratios of the last
// grid check.
CalibrationFacts calibration_facts(const calibration::Calibration& calibration);

// Everything on the pages of a record dossier, plain C++: the screens and quillon-cli build it
// alike, and only the page drawing needs Qt.
struct DossierContent {
    course::Discipline discipline = course::Discipline::Slalom;
    course::Direction direction = course::Direction::Towards;
    // "Slalom Pass Results" or "Jump Pass Results".
    std::string title;
    // The report's head, from "Skier Name: " to the direction line.
    std::vector<std::string> headLines;
    // The report's statistics, from "Boat Statistics: " to "Frames Measured: ".
    std::vector<std::string> statisticsLines;
    // Samples 0 to N.
    std::vector<double> samples;
    double directionSign = -1.0;
    analysis::PassStatistics statistics;
    analysis::ZoneSettings zoneSettings;
    std::vector<analysis::ZoneReading> zones;
    // Nothing when the pass came without a calibration (quillon-cli without --setup).
    std::optional<CalibrationFacts> calibration;
    // The report's "Pass Clock: ..." line, or "Pass Clock: Wall Clock" when it has none.
    std::string clockLine;

    int lastSampleIndex() const { return static_cast<int>(samples.size()) - 1; }
};

// The content of a dossier from the report text as built (lines ended by CR LF), the pass's
// samples and statistics and the zone settings. Throws std::invalid_argument when the zones
// cannot be read (bad settings, too few samples).
DossierContent dossier_content(std::string_view reportText, course::Discipline discipline,
                               course::Direction direction, std::span<const double> samples,
                               int lastSampleIndex, double directionSign,
                               const analysis::PassStatistics& statistics,
                               const analysis::ZoneSettings& zoneSettings,
                               std::optional<CalibrationFacts> calibration);

// The sample lines of the dossier's table: "k", the course position as the report writes it
// ("027.0") and the deviation in the program's number form.
struct SampleRow {
    std::string index;
    std::string position;
    std::string deviation;
};
std::vector<SampleRow> sample_rows(const DossierContent& content);

// The calibration lines as the dossier prints them ("Setup file: SlalomOK.ipt", ...), or one
// line saying there is none.
std::vector<std::string> calibration_lines(const DossierContent& content);

}  // namespace quillon::dossier
