#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "calibration/camera_model.h"
#include "calibration/message.h"
#include "calibration/reference_boxes.h"
#include "text/date_time.h"

namespace quillon::calibration {

// The course points whose precision the accuracy check evaluates: i = 0..6 across the course
// (x = 2.4 down to 0.1, the boat-guide lines) and j = 0..5 along it (y = -27 down to -232).
// The tables are 11 x 11 and zero outside the 7 x 6 that are used.
struct AccuracyLattice {
    static constexpr int columns = 7;
    static constexpr int rows = 6;
    std::array<std::array<double, 11>, 11> acc_x{};
    std::array<std::array<double, 11>, 11> acc_y{};
};

// Corners first, then the two outer columns, then every row, by linear interpolation.
AccuracyLattice build_accuracy_lattice();

// The level code of a pixel step on the water, limits included: "R" up to 0.1 m, "L" up to
// 0.15, "C" up to 0.2, "NH" above.
std::string accuracy_level(double h_inc);

// What the labels show: the level code ("Hom.Lvl"), the jump distance to 1 decimal
// ("Distance") or the pixel step to 2 decimals ("Detail ").
enum class AccuracyDisplay { Detail, Distance, Level };

// One evaluated course point and its label (k = 6 i + j).
struct AccuracyPoint {
    int i = 0;
    int j = 0;
    int k = 0;
    double acc_x = 0;
    double acc_y = 0;
    // The screen image of the course point (twips).
    double px = 0;
    double py = 0;
    double acc_distance = 0;
    double h_inc = 0;
    double v_inc = 0;
    double delta = 0;
    std::string acc_level;
    // The survey position of the screen point one pixel below the image.
    double below_x = 0;
    double below_y = 0;
    std::string label;
    // Label position, twips: 75 twips below the image, at its left.
    double left = 0;
    double top = 0;
};

// The label text for a point in the given display.
std::string accuracy_label(const AccuracyPoint& point, AccuracyDisplay display);

// What the report records besides the points: the boxes as they stand, the two description
// boxes, the slot, and the clock.
struct AccuracyReportInput {
    text::CivilDateTime now;
    ReferenceBoxes boxes;
    std::string ipt_file_description;
    std::string ipt_file_description_2;
    int current_grid = 1;
    AccuracyDisplay display = AccuracyDisplay::Detail;
};

struct AccuracyCheck {
    static constexpr int pointCount = AccuracyLattice::columns * AccuracyLattice::rows;
    std::array<AccuracyPoint, pointCount> points;  // in order of k
    std::string report;                            // the block appended to the day's file
};

// Evaluates the 42 points through the model's mappings and builds the report block. The ratios
// come from the model, as the last grid_check left them.
AccuracyCheck run_accuracy_check(const CameraModel& model, const AccuracyReportInput& input);

// "acc" + MM + DD + ".txt": one report file per day.
std::string accuracy_file_name(const text::CivilDateTime& now);

// Appends the report block to the day's file in the results folder in one write. Returns the
// message to show on failure; the file then keeps what it held.
std::optional<Message> append_accuracy_report(std::string_view resultsFolder,
                                              const text::CivilDateTime& now,
                                              std::string_view report);

// The answer to "Pick the line number that best represents where the skier will land": its
// value must be one of 1..6 ("2.0" and "2abc" are 2); anything else asks again.
std::optional<int> skier_line_answer(std::string_view answer);

}  // namespace quillon::calibration
