// The cost of one sampling step on a full-HD Measure screen: the mapping, the redraw of the
// reference marks and the course overlay, and the repaint of the screen.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "bench/full_hd_program.h"
#include "screens/measure/measure_screen.h"

namespace {

using namespace quillon;

void BM_SamplingStepFullHd(benchmark::State& state) {
    bench::FullHdProgram program;
    auto& session = program.session;
    screens::MeasureScreen& measure = program.showMeasure();
    session.lastSampleIndex = 161;
    for (auto _ : state) {
        session.sampleIndex = 80;
        measure.stepTimer_Timer();
        measure.repaint();
    }
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_SamplingStepFullHd)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
