#include "dossier/dossier_content.h"

#include <charconv>
#include <cmath>

#include <filesystem>

#include "analysis/zone_readings.h"
#include "calibration/grid_check.h"
#include "text/number_text.h"
#include "text/sha256.h"
#include "text/text_file.h"
#include "text/text_value.h"

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

// The number without the leading blank of the program's form.
std::string plain(double value) {
    std::string text = text::number_text(value);
    return text.starts_with(' ') ? text.substr(1) : text;
}

}  // namespace

CalibrationFacts calibration_facts(const calibration::Calibration& calibration, PixelBasis pixel) {
    CalibrationFacts facts;
    const auto& slot = calibration.grids.current();
    facts.setupFile = slot.grid_file_name;
    facts.markedAt = slot.grid_marked_at;
    facts.description = slot.grid_description;
    const auto& model = calibration.model;
    for (std::size_t i = 0; i < 4; ++i) {
        facts.points[i] = {model.screen_x[i + 1], model.screen_y[i + 1], model.survey_x[i + 1],
                           model.survey_y[i + 1]};
    }
    facts.coefficients = model.coefficients();
    facts.gridSlot = calibration.grids.current_grid;
    facts.pixel = pixel;
    return facts;
}

GateRatios gate_ratios(const CalibrationFacts& facts) {
    // Points 1 upper right, 2 lower right, 3 upper left, 4 lower left; x in twips.
    const double widthTwips = facts.pixel.widthPx * facts.pixel.twipsPerPixel;
    if (!(widthTwips > 0)) {
        return {};
    }
    return {std::abs(facts.points[1][0] - facts.points[3][0]) * 100 / widthTwips,
            std::abs(facts.points[0][0] - facts.points[2][0]) * 100 / widthTwips};
}

std::string coefficients_sha256(const CalibrationFacts& facts) {
    text::CrLfText lines;
    for (const double c : facts.coefficients) {
        lines.line(text::printed_number(c));
    }
    return text::sha256_hex(lines.str());
}

std::vector<double> zone_pixel_cm(const CalibrationFacts& facts, course::Discipline discipline,
                                  course::Direction direction,
                                  const std::vector<analysis::ZoneReading>& zones) {
    const double length = course::course_length(discipline);
    calibration::CameraModel model;
    model.set_coefficients(facts.coefficients);
    // The path centre across the course: between the buoy lines.
    const double centreX = discipline == course::Discipline::Slalom ? 1.25 : 2.0;
    std::vector<double> sizes;
    for (const auto& zone : zones) {
        const double travelled = (zone.start + zone.end) / 2;
        const double y =
            direction == course::Direction::Towards ? -travelled : -(length - travelled);
        const auto screen = model.survey_to_screen({centreX, y});
        const auto here = model.screen_to_survey(screen);
        const auto next = model.screen_to_survey({screen.x + facts.pixel.twipsPerPixel, screen.y});
        sizes.push_back(std::hypot(next.x - here.x, next.y - here.y) * 100);
    }
    return sizes;
}

VideoFacts video_facts(const std::string& path, std::optional<double> sample0Seconds) {
    VideoFacts facts;
    facts.fileName = std::filesystem::path(path).filename().string();
    facts.sample0Seconds = sample0Seconds;
    const auto digest = text::sha256_of_file(path);
    if (digest.status) {
        facts.sha256 = digest.hex;
    } else {
        facts.sha256Failure = digest.status.description;
    }
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
        rows.push_back({text::whole_text(k), text::format_pattern(k * length / last, "000.0"),
                        text::number_text(content.samples[static_cast<std::size_t>(k)])});
    }
    return rows;
}

namespace {

std::string iso_date_time(const text::CivilDateTime& when) {
    return text::iso_date_text(when) + "T" + text::time_text(when);
}

std::string or_none(const std::string& text) {
    return text.empty() ? std::string("(none)") : text;
}

bool marked_on_screen(const CalibrationFacts& facts) {
    return !facts.markedAt.empty() || facts.setupFile.empty() || facts.setupFile == "No File";
}

}  // namespace

std::optional<ClockVideo> clock_line_video(std::string_view clockLine) {
    // A replay timed by its video, or a live pass and its recording.
    bool found = false;
    for (const std::string_view head : {"Pass Clock: Video Time (", "Pass Clock: Live Video ("}) {
        if (clockLine.starts_with(head)) {
            clockLine.remove_prefix(head.size());
            found = true;
            break;
        }
    }
    if (!found) {
        return std::nullopt;
    }
    const auto from = clockLine.find(" from ");
    const auto close = clockLine.find_first_of("),", from == std::string_view::npos ? 0 : from);
    if (from == std::string_view::npos || close == std::string_view::npos) {
        return std::nullopt;
    }
    ClockVideo video{std::string(clockLine.substr(0, from)), std::nullopt};
    // "m:ss.mmm": minutes, a colon, seconds.
    const std::string_view time = clockLine.substr(from + 6, close - from - 6);
    const auto colon = time.find(':');
    if (colon != std::string_view::npos) {
        video.sample0Seconds =
            text::text_value(time.substr(0, colon)) * 60 + text::text_value(time.substr(colon + 1));
    }
    return video;
}

std::vector<std::string> calibration_lines(const DossierContent& content) {
    if (!content.calibration) {
        return {"No calibration was given for this pass."};
    }
    const CalibrationFacts& facts = *content.calibration;
    std::string setup = "Setup: ";
    if (marked_on_screen(facts)) {
        setup += "marked on the Setup screen";
        if (!facts.markedAt.empty()) {
            setup += ", " + facts.markedAt;
        }
    } else {
        setup += "file " + facts.setupFile;
    }
    const GateRatios ratios = gate_ratios(facts);
    const std::string basis =
        facts.pixel.videoPixel ? "the video's width, " : "the screen's width, ";
    std::vector<std::string> out{
        setup,
        "Description: " + or_none(facts.description),
        "Grid slot: " + text::whole_text(facts.gridSlot),
        "Front Ratio: " + plain(std::floor(ratios.front)) +
            "%   Back Ratio: " + plain(std::floor(ratios.back)) + "% (from the marks in use, of " +
            basis + plain(facts.pixel.widthPx) + " pixels)",
    };
    if (ratios.back < calibration::minimumBackRatio) {
        out.push_back("Warning: the back ratio is under the " +
                      plain(std::floor(calibration::minimumBackRatio)) + "% minimum");
    }
    out.push_back("Camera model SHA-256 (c1..c8 as a setup file writes them): " +
                  coefficients_sha256(facts));
    return out;
}

std::string software_text() {
    return std::string("Quillon ") + QUILLON_VERSION_TEXT;
}

std::vector<std::string> pass_fact_lines(const DossierContent& content) {
    const PassFacts& f = content.facts;
    std::vector<std::string> out{
        "Speed: " + (f.speed.empty() ? std::string("(not given)")
                                     : plain(text::text_value(f.speed)) + " km/h"),
        "Split Time: " + or_none(f.split),
        "Full Time: " + or_none(f.full),
        "Boat Model: " + or_none(f.boatModel),
        "Boat Number: " + or_none(f.boatNumber),
        "Comment: " + or_none(f.comment),
    };
    if (f.measuredAt) {
        out.push_back("Measured (ISO 8601): " + iso_date_time(*f.measuredAt) + "   (" +
                      text::date_text(*f.measuredAt) + " " + text::time_text(*f.measuredAt) + ")");
    }
    return out;
}

std::vector<int> untracked_samples(const DossierContent& content) {
    const auto& provenance = content.facts.provenance;
    const int count = static_cast<int>(content.samples.size());
    if (static_cast<int>(provenance.size()) < count || !analysis::auto_tracked(provenance, count)) {
        return {};
    }
    return analysis::untracked_samples(provenance, count);
}

std::string measured_by_line(const DossierContent& content) {
    const auto& provenance = content.facts.provenance;
    const int count = static_cast<int>(content.samples.size());
    if (static_cast<int>(provenance.size()) < count || !analysis::auto_tracked(provenance, count)) {
        return "Line held by the operator (keys, joystick, mouse)";
    }
    const auto untracked = analysis::untracked_samples(provenance, count);
    std::string line =
        "Auto Track: " + text::whole_text(count - static_cast<int>(untracked.size())) + " of " +
        text::whole_text(count) + " samples tracked";
    if (!untracked.empty()) {
        line += "; not tracked: " + analysis::sample_ranges(untracked);
    }
    return line;
}

std::vector<std::string> clock_lines(const DossierContent& content) {
    std::vector<std::string> out{content.clockLine};
    const auto& video = content.facts.video;
    if (!video) {
        out.push_back("Video: none");
        return out;
    }
    out.push_back("Video: " + video->fileName);
    out.push_back("Video SHA-256: " + (video->sha256.empty()
                                           ? "not known (" + video->sha256Failure + ")"
                                           : video->sha256));
    if (video->sample0Seconds) {
        out.push_back("Frame time of sample 0: " +
                      text::format_pattern(*video->sample0Seconds, "0.000") + " s");
    }
    return out;
}

std::string verdict_text(const DossierContent& content) {
    return "Verdict: " +
           analysis::verdict_line(analysis::zone_verdict(content.zones, untracked_samples(content)),
                                  content.zoneSettings.limit);
}

std::vector<ZoneExactness> zone_exactness(const DossierContent& content) {
    std::vector<ZoneExactness> out;
    if (!content.calibration) {
        return out;
    }
    const auto sizes =
        zone_pixel_cm(*content.calibration, content.discipline, content.direction, content.zones);
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        out.push_back({content.zones[i].name(), sizes[i]});
    }
    return out;
}

std::vector<std::string> exactness_lines(const DossierContent& content) {
    if (!content.calibration) {
        return {};
    }
    const PixelBasis& pixel = content.calibration->pixel;
    std::vector<std::string> out{
        pixel.videoPixel
            ? "Lateral size of one video pixel (" +
                  text::format_pattern(pixel.twipsPerPixel, "0.0") +
                  " twips on the screen) at each zone's row:"
            : "Lateral size of one screen pixel (15 twips, as the accuracy check takes it) at "
              "each zone's row:"};
    std::string row;
    std::vector<std::string> coarse;
    for (const auto& zone : zone_exactness(content)) {
        const std::string item =
            zone.zone + " " + text::format_pattern(zone.pixelCm, "0.0") + " cm";
        row += (row.empty() ? "" : ", ") + item;
        if (!(zone.pixelCm <= 5)) {
            coarse.push_back(zone.zone);
        }
    }
    out.push_back(row);
    if (!coarse.empty()) {
        std::string names;
        for (const auto& name : coarse) {
            names += (names.empty() ? "" : ", ") + name;
        }
        out.push_back("Warning: one pixel is wider than 5 cm in " + names +
                      "; the camera cannot resolve the limit there");
    }
    return out;
}

GraphSides graph_sides(course::Direction direction) {
    if (direction == course::Direction::Away) {
        return {"boat's left", "boat's right"};
    }
    return {"boat's right", "boat's left"};
}

std::string limit_legend(double limit) {
    const int cm = static_cast<int>(std::lround(limit * 100));
    if (cm == 20) {
        return "Red Line - 20cm Record Limit";
    }
    return "Red Line - " + text::whole_text(cm) + "cm Limit";
}

}  // namespace quillon::dossier
