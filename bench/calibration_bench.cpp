// Throughput of the camera model: solving the calibration, and mapping points both ways as
// the Measure screen does every 50 ms and the overlay does for every line it draws.

#include <benchmark/benchmark.h>

#include "calibration/camera_model.h"
#include "calibration/solver.h"

namespace {

using quillon::calibration::CameraModel;

CameraModel perspective_slalom() {
    CameraModel m;
    const double points[4][4] = {{8200, 3000, 0, 0},
                                 {12300, 11000, 0, -259},
                                 {7100, 3050, 2.5, 0},
                                 {2900, 11200, 2.5, -259}};
    for (std::size_t i = 1; i <= 4; ++i) {
        m.screen_x[i] = points[i - 1][0];
        m.screen_y[i] = points[i - 1][1];
        m.survey_x[i] = points[i - 1][2];
        m.survey_y[i] = points[i - 1][3];
    }
    return m;
}

void BM_SolveGrid(benchmark::State& state) {
    CameraModel model = perspective_slalom();
    for (auto _ : state) {
        benchmark::DoNotOptimize(quillon::calibration::solve_grid(model));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SolveGrid);

// A sweep of screen points across the picture, so the inputs change from call to call.
void BM_ScreenToSurvey(benchmark::State& state) {
    CameraModel model = perspective_slalom();
    quillon::calibration::solve_grid(model);
    double x = 0;
    for (auto _ : state) {
        const auto survey = model.screen_to_survey({3000 + x, 3000 + 0.5 * x});
        benchmark::DoNotOptimize(survey.x);
        benchmark::DoNotOptimize(survey.y);
        x = x < 9000 ? x + 1 : 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ScreenToSurvey);

void BM_SurveyToScreen(benchmark::State& state) {
    CameraModel model = perspective_slalom();
    quillon::calibration::solve_grid(model);
    double y = 0;
    for (auto _ : state) {
        const auto screen = model.survey_to_screen({1.25 + 0.001 * y, -y});
        benchmark::DoNotOptimize(screen.x);
        benchmark::DoNotOptimize(screen.y);
        y = y < 259 ? y + 0.1 : 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SurveyToScreen);

}  // namespace

BENCHMARK_MAIN();
