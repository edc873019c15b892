#include "calibration/solver.h"

#include <cmath>
#include <utility>

namespace quillon::calibration {

SolveMatrix build_system(const CameraModel& model) {
    constexpr int n = unknownCount;
    SolveMatrix a{};
    // Every element is set explicitly, in the same order as the equations are laid out.
    for (int row = 5; row <= n; ++row) {
        a[row][6] = 1;
        a[row][1] = 0;
        a[row][2] = 0;
        a[row][3] = 0;
    }
    for (int row = 1; row <= 4; ++row) {
        a[row][1] = 1;
        a[row][6] = 0;
        a[row][7] = 0;
        a[row][8] = 0;
    }
    for (int i = 1; i <= 4; ++i) {
        const auto index = static_cast<std::size_t>(i);
        const double P = model.screen_x[index];
        const double Q = model.screen_y[index];
        const double SX = model.survey_x[index];
        const double SY = model.survey_y[index];
        a[i][4] = -P * SX;
        a[i][5] = -Q * SX;
        a[i][9] = SX;
        a[i][2] = P;
        a[i][3] = Q;
        a[i + 4][4] = -P * SY;
        a[i + 4][5] = -Q * SY;
        a[i + 4][9] = SY;
        a[i + 4][7] = P;
        a[i + 4][8] = Q;
    }
    return a;
}

bool gauss_jordan(SolveMatrix& a) {
    constexpr int n = unknownCount;
    for (int k = 1; k <= n; ++k) {
        int pivot = k;
        while (pivot <= n && a[pivot][k] == 0.0) {
            ++pivot;
        }
        if (pivot > n) {
            return false;
        }
        for (int j = 1; j <= n + 1; ++j) {
            std::swap(a[pivot][j], a[k][j]);
        }
        const double r = 1.0 / a[k][k];
        for (int j = 1; j <= n + 1; ++j) {
            a[k][j] *= r;
        }
        for (int i = 1; i <= n; ++i) {
            if (i == k) {
                continue;
            }
            const double f = -a[i][k];
            for (int j = 1; j <= n + 1; ++j) {
                a[i][j] = a[i][j] + a[k][j] * f;
            }
        }
    }
    return true;
}

Message no_unique_solution_message() {
    return {"No Unique Solution - Re-enter data", "Error Message", MessageStyle::Exclamation};
}

std::optional<Message> solve_grid(CameraModel& model) {
    SolveMatrix a = build_system(model);
    if (!gauss_jordan(a)) {
        return no_unique_solution_message();
    }
    // Survey values near the limits of a double (a box reading 1e300) overflow the
    // elimination into infinities and NaNs, which would map every point to nowhere.
    for (int k = 1; k <= unknownCount; ++k) {
        if (!std::isfinite(a[static_cast<std::size_t>(k)][9])) {
            return no_unique_solution_message();
        }
    }
    model.set_coefficients(
        {a[1][9], a[2][9], a[3][9], a[4][9], a[5][9], a[6][9], a[7][9], a[8][9]});
    return std::nullopt;
}

}  // namespace quillon::calibration
