#pragma once

#include <array>
#include <optional>

#include "calibration/camera_model.h"
#include "calibration/message.h"

namespace quillon::calibration {

// The augmented system of the solve, used one-based: rows 1..8, columns 1..9 (column 9 is the
// right-hand side). Row 0 and column 0 are never touched.
inline constexpr int unknownCount = 8;
using SolveMatrix = std::array<std::array<double, unknownCount + 2>, unknownCount + 1>;

// Builds the system from points 1..4 of the model's reference arrays. Row i reads
// [1, P, Q, -P SX, -Q SX, 0, 0, 0 | SX] and row i + 4 reads [0, 0, 0, -P SY, -Q SY, 1, P, Q | SY]:
// the model's two equations multiplied out by the denominator.
SolveMatrix build_system(const CameraModel& model);

// Gauss-Jordan elimination in place. The pivot of column k is the first row from k down whose
// element is not exactly zero: no magnitude comparison and no tolerance, so 1e-300 serves.
// Returns false, with the matrix partly reduced, when a column has no such row.
bool gauss_jordan(SolveMatrix& a);

// "No Unique Solution - Re-enter data", title "Error Message", exclamation.
Message no_unique_solution_message();

// Solves the camera model from the four reference points (the survey values must already be
// in survey_x/survey_y). On success c1..c8 hold the solution and nothing is returned; on a
// singular system, or one whose values overflow the solve, the message to show comes back and
// c1..c8 are left as they were.
std::optional<Message> solve_grid(CameraModel& model);

}  // namespace quillon::calibration
