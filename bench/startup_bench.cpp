// quillon-cli's start-up against a bare C++ program's: each run once in turn (so a change in
// the machine's load falls on both alike), stdout to /dev/null, RUNS times each. Prints the
// wall time and the CPU time (user + system, from wait4) per run of each, and the ratios.
//
//   startup_bench [RUNS] [-- PROGRAM ARGS...]   (default: 300 runs of quillon-cli --help)

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Run {
    double wallMs;
    double cpuMs;
};

double ms_of(const timeval& t) {
    return t.tv_sec * 1e3 + t.tv_usec / 1e3;
}

Run run_once(const std::vector<std::string>& command) {
    std::vector<char*> argv;
    for (const auto& word : command) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot run %s\n", argv[0]);
        std::exit(2);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", argv[0]);
        std::exit(2);
    }
    return {std::chrono::duration<double, std::milli>(end - start).count(),
            ms_of(usage.ru_utime) + ms_of(usage.ru_stime)};
}

struct Figures {
    double median;
    double mean;
    double p95;
};

Figures figures_of(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    double sum = 0;
    for (const double v : values) {
        sum += v;
    }
    return {values[values.size() / 2], sum / static_cast<double>(values.size()),
            values[values.size() * 95 / 100]};
}

// The figures of the runs' wall times and of their CPU times.
struct RunFigures {
    Figures wall;
    Figures cpu;
};

RunFigures figures_of(const std::vector<Run>& runs) {
    std::vector<double> wall;
    std::vector<double> cpu;
    for (const Run& r : runs) {
        wall.push_back(r.wallMs);
        cpu.push_back(r.cpuMs);
    }
    return {figures_of(wall), figures_of(cpu)};
}

void print(const char* name, const RunFigures& f, const RunFigures& base) {
    std::printf(
        "%-24s wall median %.3f ms, mean %.3f, p95 %.3f (median %.2fx); "
        "CPU mean %.3f ms (%.2fx)\n",
        name, f.wall.median, f.wall.mean, f.wall.p95, f.wall.median / base.wall.median, f.cpu.mean,
        f.cpu.mean / base.cpu.mean);
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 300;
    std::vector<std::string> program = {QUILLON_CLI_PATH, "--help"};
    int at = 1;
    if (at < argc && std::strcmp(argv[at], "--") != 0) {
        runs = std::max(1, std::atoi(argv[at++]));
    }
    if (at < argc && std::strcmp(argv[at], "--") == 0) {
        program.assign(argv + at + 1, argv + argc);
    }
    const std::vector<std::string> bare = {QUILLON_BARE_PROGRAM_PATH};
    for (int i = 0; i < 10; ++i) {  // warm the page cache for both
        run_once(bare);
        run_once(program);
    }
    std::vector<Run> bareRuns;
    std::vector<Run> programRuns;
    for (int i = 0; i < runs; ++i) {
        bareRuns.push_back(run_once(bare));
        programRuns.push_back(run_once(program));
    }
    const RunFigures base = figures_of(bareRuns);
    std::printf("%d runs each, in turn\n", runs);
    print("bare C++ program", base, base);
    std::string name = program.front().substr(program.front().rfind('/') + 1);
    for (std::size_t i = 1; i < program.size(); ++i) {
        name.append(" ").append(program[i]);
    }
    print(name.c_str(), figures_of(programRuns), base);
}
