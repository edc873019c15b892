#pragma once

#include <array>
#include <cstddef>

namespace quillon::calibration {

// A position given as a pair: twips on the screen or metres in the survey plane.
struct PlanePoint {
    double x = 0;
    double y = 0;
};

// The plane projective camera model: its reference points, coefficients and jump point.
//
// With (X, Y) a screen position in twips and (x, y) a survey position in metres:
//     D = 1 + c4 X + c5 Y,   x = (c1 + c2 X + c3 Y) / D,   y = (c6 + c7 X + c8 Y) / D.
//
// The mappings are functions of the model alone, so one model can be shared by every caller.
// Whatever coefficients stand in c1..c8 are used, so before any solve or load (all zero)
// screen_to_survey gives (0, 0) and survey_to_screen divides by zero; nothing guards the
// divisions, and a zero denominator gives infinities or NaN. Each keeps its order of
// operations exactly: one ulp can move a sample across a half centimetre.
struct CameraModel {
    // Reference point arrays, indices 0..30 of which 1..4 are used, in the fixed order
    // 1 upper right, 2 lower right, 3 upper left, 4 lower left.
    static constexpr std::size_t pointArraySize = 31;
    static constexpr std::size_t pointCount = 4;
    std::array<double, pointArraySize> screen_x{};
    std::array<double, pointArraySize> screen_y{};
    std::array<double, pointArraySize> survey_x{};
    std::array<double, pointArraySize> survey_y{};

    double c1 = 0, c2 = 0, c3 = 0, c4 = 0, c5 = 0, c6 = 0, c7 = 0, c8 = 0;

    double jump_survey_x = 0;
    double jump_survey_y = 0;

    // Gate widths as a percentage of the screen width (grid_check).
    double front_ratio = 0;
    double back_ratio = 0;

    // c1..c8 in order.
    std::array<double, 8> coefficients() const;
    void set_coefficients(const std::array<double, 8>& c);

    // Screen twips to survey metres: D = (c4 X + c5 Y) + 1, then x and y over D.
    PlanePoint screen_to_survey(PlanePoint screen) const;
    // Survey metres to screen twips by the closed-form inverse.
    PlanePoint survey_to_screen(PlanePoint survey) const;
    // The jump distance of a screen point: its survey point's distance from the jump point
    // plus jumpDistanceAddition.
    double jump_distance(PlanePoint screen) const;

    friend bool operator==(const CameraModel&, const CameraModel&) = default;
};

// The distance, in metres, added to every jump distance measured from the jump point.
inline constexpr double jumpDistanceAddition = 2.1;

}  // namespace quillon::calibration
