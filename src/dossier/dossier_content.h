#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/pass_statistics.h"
#include "analysis/sample_provenance.h"
#include "analysis/zone_readings.h"
#include "calibration/calibration.h"
#include "course/pass_description.h"
#include "text/date_time.h"

namespace quillon::dossier {

// The pixel the camera's exactness is stated in: one pixel of the video when the rectangle the
// video is shown in is known, else one screen pixel (15 twips), as the accuracy check takes it.
struct PixelBasis {
    // Twips one pixel is wide.
    double twipsPerPixel = 15;
    // The width, in pixels, the gate ratios are taken against: the video rectangle's width when
    // known, else the screen's.
    double widthPx = 1024;
    bool videoPixel = false;
};

// The calibration a pass was measured with, as a record dossier states it.
struct CalibrationFacts {
    // The setup file's name; empty (or "No File") for a calibration marked on the Setup screen.
    std::string setupFile;
    // When the calibration was marked on the Setup screen, if known ("2026-12-06 14:05").
    std::string markedAt;
    std::string description;
    // Points 1 to 4 (upper right, lower right, upper left, lower left): screen x, screen y in
    // twips, survey x, survey y in metres.
    std::array<std::array<double, 4>, 4> points{};
    // c1..c8 of the camera model.
    std::array<double, 8> coefficients{};
    int gridSlot = 1;
    PixelBasis pixel;
};

// The current slot's file and description, the working points and coefficients.
CalibrationFacts calibration_facts(const calibration::Calibration& calibration,
                                   PixelBasis pixel = {});

// Front and back ratio from the marks in use: the near and far gate widths on the screen as a
// percentage of the basis width.
struct GateRatios {
    double front = 0;
    double back = 0;
};
GateRatios gate_ratios(const CalibrationFacts& facts);

// SHA-256 of the eight coefficient lines exactly as a setup file writes them (CR LF included).
std::string coefficients_sha256(const CalibrationFacts& facts);

// The lateral size, in centimetres, of one pixel at a zone's row: the path centre at the middle
// of the zone mapped onto the screen, one pixel to the right mapped back, the distance between.
// A boat coming toward the camera travels from the far gate (survey y = 0) to the near one.
std::vector<double> zone_pixel_cm(const CalibrationFacts& facts, course::Discipline discipline,
                                  course::Direction direction,
                                  const std::vector<analysis::ZoneReading>& zones);

// The video a pass was timed on.
struct VideoFacts {
    // The file's name without its folder.
    std::string fileName;
    // SHA-256 of the whole file, or the reason it could not be read.
    std::string sha256;
    std::string sha256Failure;
    // The video's time of the frame sample 0 was taken on, seconds.
    std::optional<double> sample0Seconds;
};

// Names the file and hashes it.
VideoFacts video_facts(const std::string& path, std::optional<double> sample0Seconds);

// From "Pass Clock: Video Time (file.mp4 from 0:01.500)...": the video's file name and the
// time of sample 0 in seconds; nothing for a pass on the wall clock.
struct ClockVideo {
    std::string fileName;
    std::optional<double> sample0Seconds;
};
std::optional<ClockVideo> clock_line_video(std::string_view clockLine);

// What the report's text does not carry about a pass.
struct PassFacts {
    // The speed caption ("58"), split and full times, boat model and number, comment.
    std::string speed;
    std::string split;
    std::string full;
    std::string boatModel;
    std::string boatNumber;
    std::string comment;
    // When the pass was measured (the report's date and time of measurement).
    std::optional<text::CivilDateTime> measuredAt;
    // Sample by sample where the line came from; empty for a pass held by the operator.
    std::vector<analysis::Provenance> provenance;
    std::optional<VideoFacts> video;
};

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
    PassFacts facts;

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

// "Quillon 16.0": the software that made the dossier.
std::string software_text();

// Speed, split and full times, boat model and number, comment, and the date of measurement in
// ISO 8601 beside the report's own form.
std::vector<std::string> pass_fact_lines(const DossierContent& content);

// "Line held by the operator (keys, joystick, mouse)" or
// "Auto Track: 155 of 162 samples tracked; not tracked: 36, 61-63, 137-139".
std::string measured_by_line(const DossierContent& content);

// The samples the tracker did not track (none for a pass held by the operator).
std::vector<int> untracked_samples(const DossierContent& content);

// The pass clock, the video's name, SHA-256 and the frame time of sample 0.
std::vector<std::string> clock_lines(const DossierContent& content);

// "Within the 0.20 m limit in every zone", or the zones over it, or not verified, by name.
std::string verdict_text(const DossierContent& content);

// The camera's exactness: per zone the size of one pixel across the course, which pixel, and a
// warning where a pixel is wider than 5 cm. Empty without a calibration.
struct ZoneExactness {
    std::string zone;
    double pixelCm = 0;
};
std::vector<ZoneExactness> zone_exactness(const DossierContent& content);
std::vector<std::string> exactness_lines(const DossierContent& content);

// Which side of the page shows the boat's left: deviations toward the boat's left
// (directionSign x S > 0) are drawn left of the centre line going away, right of it toward.
struct GraphSides {
    std::string pageLeft;  // "boat's left" or "boat's right"
    std::string pageRight;
};
GraphSides graph_sides(course::Direction direction);

// The limit lines' legend: "Red Line - 20cm Record Limit" at 0.20 m, "Red Line - 15cm Limit"
// at 0.15 m.
std::string limit_legend(double limit);

}  // namespace quillon::dossier
