// How closely the pass clock keeps its deadlines: lateness of each tick against
// start + k x period, and whether it accumulates over a run as long as a pass.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>
#include <vector>

#include "platform/precise_pulse_clock.h"

namespace {

void BM_PulseClockLateness(benchmark::State& state) {
    const int periodMs = static_cast<int>(state.range(0));
    const int ticks = static_cast<int>(state.range(1));
    for (auto _ : state) {
        quillon::platform::PrecisePulseClock clock;
        clock.setPeriodMs(periodMs);
        std::vector<double> latenessMs;
        QEventLoop loop;
        QObject::connect(&clock, &quillon::platform::PulseClock::Timer, [&](int) {
            latenessMs.push_back(static_cast<double>(clock.lastLatenessNs()) / 1e6);
            if (static_cast<int>(latenessMs.size()) == ticks) {
                clock.setRunning(false);
                loop.quit();
            }
        });
        clock.setRunning(true);
        loop.exec();
        double sum = 0;
        for (double l : latenessMs) {
            sum += l;
        }
        const auto firstHalf = latenessMs.begin() + static_cast<long>(latenessMs.size() / 2);
        double early = 0;
        double late = 0;
        for (auto it = latenessMs.begin(); it != firstHalf; ++it) {
            early += *it;
        }
        for (auto it = firstHalf; it != latenessMs.end(); ++it) {
            late += *it;
        }
        const double half = static_cast<double>(latenessMs.size() / 2);
        state.counters["mean_late_ms"] = sum / static_cast<double>(latenessMs.size());
        state.counters["max_late_ms"] = *std::max_element(latenessMs.begin(), latenessMs.end());
        // Equal halves mean no accumulation over the run.
        state.counters["first_half_mean_ms"] = early / half;
        state.counters["second_half_mean_ms"] = late / half;
    }
}

}  // namespace

// The sampling clock of a pass (100 ms, 211 ticks at the slowest jump speed) and the poll.
BENCHMARK(BM_PulseClockLateness)->Args({100, 211})->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_PulseClockLateness)->Args({50, 200})->Iterations(1)->Unit(benchmark::kSecond);

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
