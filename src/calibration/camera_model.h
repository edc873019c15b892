#pragma once

#include <array>
#include <cstddef>

namespace quillon::calibration {

// A position given as a pair: twips on the screen or metres in the survey plane.
struct PlanePoint {
    double x = 0;
    double y = 0;
};

// The plane projective camera model and the state that goes with it.
//
// With (X, Y) a screen position in twips and (x, y) a survey position in metres:
//     D = 1 + c4 X + c5 Y,   x = (c1 + c2 X + c3 Y) / D,   y = (c6 + c7 X + c8 Y) / D.
//
// The mappings talk through the point registers: a caller writes the input pair, calls the
// mapping and reads the output pair. Whatever coefficients stand in c1..c8 are used, so before
// any solve or load (all zero) screen_to_survey gives (0, 0) and survey_to_screen divides by
// zero; nothing guards the divisions, and a zero denominator gives infinities or NaN.
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

    double pt_screen_x = 0;
    double pt_screen_y = 0;
    double pt_survey_x = 0;
    double pt_survey_y = 0;
    // Overwritten by every mapping: the denominator or the determinant.
    double map_scratch = 0;

    double jump_survey_x = 0;
    double jump_survey_y = 0;
    double jump_distance = 0;

    // Gate widths as a percentage of the screen width (grid_check).
    double front_ratio = 0;
    double back_ratio = 0;

    // c1..c8 in order.
    std::array<double, 8> coefficients() const;
    void set_coefficients(const std::array<double, 8>& c);

    // pt_screen_x/y -> pt_survey_x/y; map_scratch receives the denominator.
    void screen_to_survey();
    // pt_survey_x/y -> pt_screen_x/y by the closed-form inverse; map_scratch receives the
    // determinant.
    void survey_to_screen();
    // screen_to_survey, then jump_distance = the distance from the jump point + 2.1 m.
    void distance_calculation();

    // Conveniences that write the input registers, map, and return the output registers.
    PlanePoint screen_to_survey(PlanePoint screen);
    PlanePoint survey_to_screen(PlanePoint survey);

    friend bool operator==(const CameraModel&, const CameraModel&) = default;
};

// The distance, in metres, added to every jump distance measured from the jump point.
inline constexpr double jumpDistanceAddition = 2.1;

}  // namespace quillon::calibration
