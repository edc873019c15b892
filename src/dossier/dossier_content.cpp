#include "dossier/dossier_content.h"

#include <charconv>
#include <cmath>

#include "analysis/zone_readings.h"
#include "text/number_text.h"

namespace quillon::dossier {

namespace {

std::vector<std::string> report_lines(std::string_view report) {
    std::vector<std::string> lines;
    while (!report.empty()) {
        const auto end = report.find('\n');
        std::string_view line = report.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.emplace_back(line);
        if (end == std::string_view::npos) {
            break;
        }
        report.remove_prefix(end + 1);
    }
    return lines;
}

std::string whole(int value) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, result.ptr);
}

// The number without the leading blank of the program's form.
std::string plain(double value) {
    std::string text = text::number_text(value);
    return text.starts_with(' ') ? text.substr(1) : text;
}

}  // namespace

CalibrationFacts calibration_facts(const calibration::Calibration& calibration) {
    CalibrationFacts facts;
    const auto& slot = calibration.grids.current();
    facts.setupFile = slot.grid_file_name;
    facts.description = slot.grid_description;
    const auto& model = calibration.model;
    for (std::size_t i = 0; i < 4; ++i) {
        facts.points[i] = {model.screen_x[i + 1], model.screen_y[i + 1], model.survey_x[i + 1],
                           model.survey_y[i + 1]};
    }
    facts.frontRatio = model.front_ratio;
    facts.backRatio = model.back_ratio;
    facts.gridSlot = calibration.grids.current_grid;
    return facts;
}

DossierContent dossier_content(std::string_view reportText, course::Discipline discipline,
                               course::Direction direction, std::span<const double> samples,
                               int lastSampleIndex, double directionSign,
                               const analysis::PassStatistics& statistics,
                               const analysis::ZoneSettings& zoneSettings,
                               std::optional<CalibrationFacts> calibration) {
    DossierContent content;
    content.discipline = discipline;
    content.direction = direction;
    content.zones =
        analysis::zone_readings(samples, lastSampleIndex, directionSign, discipline, zoneSettings);
    content.zoneSettings = zoneSettings;
    content.samples.assign(samples.begin(), samples.begin() + lastSampleIndex + 1);
    content.directionSign = directionSign;
    content.statistics = statistics;
    content.calibration = std::move(calibration);
    content.clockLine = "Pass Clock: Wall Clock";

    const auto lines = report_lines(reportText);
    std::size_t i = 0;
    if (i < lines.size()) {
        content.title = lines[i++];
    }
    // The head runs to the first empty line; its clock line gets a section of its own.
    for (; i < lines.size() && !lines[i].empty(); ++i) {
        if (lines[i].starts_with("Pass Clock: ")) {
            content.clockLine = lines[i];
        } else {
            content.headLines.push_back(lines[i]);
        }
    }
    bool inStatistics = false;
    for (; i < lines.size() && !lines[i].starts_with("Frame "); ++i) {
        inStatistics = inStatistics || lines[i].starts_with("Boat Statistics");
        if (inStatistics && !lines[i].empty()) {
            content.statisticsLines.push_back(lines[i]);
        }
    }
    return content;
}

std::vector<SampleRow> sample_rows(const DossierContent& content) {
    std::vector<SampleRow> rows;
    const int last = content.lastSampleIndex();
    const double length = course::course_length(content.discipline);
    for (int k = 0; k <= last; ++k) {
        rows.push_back({whole(k), text::format_pattern(k * length / last, "000.0"),
                        text::number_text(content.samples[static_cast<std::size_t>(k)])});
    }
    return rows;
}

std::vector<std::string> calibration_lines(const DossierContent& content) {
    if (!content.calibration) {
        return {"No calibration was given for this pass."};
    }
    const CalibrationFacts& facts = *content.calibration;
    return {
        "Setup file: " + facts.setupFile,
        "Description: " + facts.description,
        "Grid slot: " + whole(facts.gridSlot),
        "Front Ratio: " + plain(std::floor(facts.frontRatio)) +
            "   Back Ratio: " + plain(std::floor(facts.backRatio)),
    };
}

}  // namespace quillon::dossier
