// How closely the pass clocks keep their deadlines. Runs a whole 210-tick pass at 100 ms with
// the 50 ms poll clock beside it, idle and with the other core kept busy, and prints for each
// tick of the sampling clock its lateness against start + k x period, next to the same
// figures for a plain repeating QTimer.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

#include "platform/precise_pulse_clock.h"

namespace {

constexpr int passTicks = 210;
constexpr int samplePeriodMs = 100;
constexpr int pollPeriodMs = 50;

struct Figures {
    double meanPeriodMs = 0;
    double p50 = 0;
    double p99 = 0;
    double max = 0;
    double last = 0;
};

Figures figures_of(std::vector<double> latenessMs, double totalMs) {
    Figures f;
    f.meanPeriodMs = totalMs / static_cast<double>(latenessMs.size());
    f.last = latenessMs.back();
    std::sort(latenessMs.begin(), latenessMs.end());
    const auto at = [&](double q) {
        return latenessMs[static_cast<std::size_t>(q * static_cast<double>(latenessMs.size() - 1))];
    };
    f.p50 = at(0.5);
    f.p99 = at(0.99);
    f.max = latenessMs.back();
    return f;
}

// Runs a sampling clock and a poll clock together until the sampling clock has ticked a
// whole pass; `start` starts both and returns a way to stop them.
Figures run_pass(
    const std::function<void(std::function<void()> onSample, std::function<void()> onPoll)>& start,
    const std::function<void()>& stop) {
    QElapsedTimer clock;
    std::vector<double> lateness;
    lateness.reserve(passTicks);
    QEventLoop loop;
    int polls = 0;
    clock.start();
    start(
        [&] {
            const double now = static_cast<double>(clock.nsecsElapsed()) / 1e6;
            const auto k = static_cast<double>(lateness.size() + 1);
            lateness.push_back(now - k * samplePeriodMs);
            if (static_cast<int>(lateness.size()) == passTicks) {
                stop();
                loop.quit();
            }
        },
        [&] { ++polls; });
    loop.exec();
    return figures_of(lateness, static_cast<double>(clock.nsecsElapsed()) / 1e6);
}

Figures pulse_clock_pass() {
    quillon::platform::PrecisePulseClock sampling;
    quillon::platform::PrecisePulseClock poll;
    return run_pass(
        [&](std::function<void()> onSample, std::function<void()> onPoll) {
            QObject::connect(&sampling, &quillon::platform::PulseClock::Timer, onSample);
            QObject::connect(&poll, &quillon::platform::PulseClock::Timer, onPoll);
            poll.setPeriodMs(pollPeriodMs);
            poll.setRunning(true);
            sampling.setPeriodMs(samplePeriodMs);
            sampling.setRunning(true);
        },
        [&] {
            poll.setRunning(false);
            sampling.setRunning(false);
        });
}

Figures qtimer_pass() {
    QTimer sampling;
    QTimer poll;
    return run_pass(
        [&](std::function<void()> onSample, std::function<void()> onPoll) {
            QObject::connect(&sampling, &QTimer::timeout, onSample);
            QObject::connect(&poll, &QTimer::timeout, onPoll);
            poll.start(pollPeriodMs);
            sampling.start(samplePeriodMs);
        },
        [&] {
            poll.stop();
            sampling.stop();
        });
}

void print(const char* name, const Figures& f) {
    std::printf("%-34s %9.3f %8.3f %8.3f %8.3f %9.3f\n", name, f.meanPeriodMs, f.p50, f.p99, f.max,
                f.last);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    std::printf("%d ticks at %d ms with a %d ms poll clock beside; lateness in ms\n", passTicks,
                samplePeriodMs, pollPeriodMs);
    std::printf("%-34s %9s %8s %8s %8s %9s\n", "clock", "period", "p50", "p99", "max", "last");
    print("PulseClock, idle", pulse_clock_pass());
    print("QTimer (coarse), idle", qtimer_pass());

    std::atomic<bool> busy{true};
    std::thread spinner([&busy] {
        volatile unsigned long long work = 0;
        while (busy.load(std::memory_order_relaxed)) {
            work = work + 1;
        }
    });
    print("PulseClock, other core busy", pulse_clock_pass());
    print("QTimer (coarse), other core busy", qtimer_pass());
    busy = false;
    spinner.join();
    return 0;
}
