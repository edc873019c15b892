// Throughput of the Results screen's work on a 211-sample pass (jump at 48 km/h, the longest
// pass): analysis and report composition alone, the same with the three log appends into a
// temporary folder, reading the saved report back, the zone readings, the samples as CSV and
// the record dossier written as a PDF (Qt's offscreen platform, no display needed).

#include <benchmark/benchmark.h>
#include <QGuiApplication>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "analysis/pass_analysis.h"
#include "analysis/pass_figures.h"
#include "analysis/pass_report.h"
#include "analysis/samples_csv.h"
#include "analysis/saved_report.h"
#include "analysis/zone_readings.h"
#include "dossier/dossier_pages.h"

namespace {

using namespace quillon;

constexpr int lastSampleIndex = 210;

struct Pass {
    explicit Pass(course::Discipline discipline) {
        std::mt19937 random(211);
        std::uniform_int_distribution<int> centimetres(-40, 40);
        for (int k = 0; k <= lastSampleIndex; ++k) {
            samples.push_back(centimetres(random) / 100.0);
        }
        input.pass.discipline = discipline;
        input.pass.jumpSpeed = course::JumpSpeed::Kmh48;
        input.samples = samples;
        input.lastSampleIndex = lastSampleIndex;
        input.figures = analysis::end_of_pass_figures(samples, lastSampleIndex);
        input.directionSign = -1.0;
        input.speedText = "48";
        input.lineText = "11.25";
        input.now = {2026, 12, 6, 14, 5, 9};
    }

    std::vector<double> samples;
    analysis::PassReportInput input;
};

void analyse_and_compose(benchmark::State& state, course::Discipline discipline) {
    const Pass pass(discipline);
    for (auto _ : state) {
        const auto statistics = analysis::compute_pass_statistics(
            pass.samples, lastSampleIndex, pass.input.directionSign, discipline);
        auto report = analysis::compose_pass_report(pass.input, statistics);
        benchmark::DoNotOptimize(report);
    }
}

void BM_AnalyseAndComposeSlalom(benchmark::State& state) {
    analyse_and_compose(state, course::Discipline::Slalom);
}
void BM_AnalyseAndComposeJump(benchmark::State& state) {
    analyse_and_compose(state, course::Discipline::Jump);
}

void BM_AnalysisOnly(benchmark::State& state) {
    const Pass pass(course::Discipline::Slalom);
    for (auto _ : state) {
        auto statistics = analysis::compute_pass_statistics(pass.samples, lastSampleIndex, -1.0,
                                                            course::Discipline::Slalom);
        benchmark::DoNotOptimize(statistics);
    }
}

// The whole build: analysis, composition and the three appends.
void BM_BuildPassReportWithLogs(benchmark::State& state) {
    const auto folder = std::filesystem::temp_directory_path() / "quillon-analysis-bench";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    Pass pass(course::Discipline::Slalom);
    pass.input.pass.resultsFolder = folder.string();
    for (auto _ : state) {
        auto report = analysis::build_pass_report(pass.input);
        if (!report.allWritten()) {
            state.SkipWithError("a log could not be written");
            break;
        }
        benchmark::DoNotOptimize(report);
    }
    std::filesystem::remove_all(folder);
}

void BM_ReadSavedReport(benchmark::State& state) {
    const Pass pass(course::Discipline::Slalom);
    const auto statistics = analysis::compute_pass_statistics(pass.samples, lastSampleIndex, -1.0,
                                                              course::Discipline::Slalom);
    const std::string file =
        analysis::saved_report_text(analysis::compose_pass_report(pass.input, statistics).text);
    for (auto _ : state) {
        auto reading = analysis::read_saved_report(file, course::Discipline::Slalom);
        benchmark::DoNotOptimize(reading);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
}

void zone_readings(benchmark::State& state, course::Discipline discipline) {
    const Pass pass(discipline);
    for (auto _ : state) {
        auto zones = analysis::zone_readings(pass.samples, lastSampleIndex, -1.0, discipline,
                                             analysis::ZoneSettings{});
        benchmark::DoNotOptimize(zones);
    }
}
void BM_ZoneReadingsSlalom(benchmark::State& state) {
    zone_readings(state, course::Discipline::Slalom);
}
void BM_ZoneReadingsJump(benchmark::State& state) {
    zone_readings(state, course::Discipline::Jump);
}

void BM_SamplesCsv(benchmark::State& state) {
    const Pass pass(course::Discipline::Slalom);
    for (auto _ : state) {
        auto csv = analysis::samples_csv(pass.samples, lastSampleIndex, course::Discipline::Slalom);
        benchmark::DoNotOptimize(csv);
    }
}

// The whole dossier: its content from the report, the two pages drawn into a PDF in memory,
// and the file written beside the old one and moved over it.
void BM_WriteDossierPdf(benchmark::State& state) {
    const auto folder = std::filesystem::temp_directory_path() / "quillon-dossier-bench";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "dossier.pdf").string();
    const Pass pass(course::Discipline::Slalom);
    const auto statistics = analysis::compute_pass_statistics(pass.samples, lastSampleIndex, -1.0,
                                                              course::Discipline::Slalom);
    const auto report = analysis::compose_pass_report(pass.input, statistics);
    for (auto _ : state) {
        const auto content = dossier::dossier_content(
            report.text, course::Discipline::Slalom, course::Direction::Towards, pass.samples,
            lastSampleIndex, -1.0, report.statistics, analysis::ZoneSettings{}, std::nullopt);
        if (!dossier::write_dossier_pdf(path, content)) {
            state.SkipWithError("the dossier could not be written");
            break;
        }
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove_all(folder);
}

}  // namespace

BENCHMARK(BM_AnalysisOnly);
BENCHMARK(BM_AnalyseAndComposeSlalom);
BENCHMARK(BM_AnalyseAndComposeJump);
// Fixed iterations keep the logs in the temporary folder to a few megabytes.
BENCHMARK(BM_BuildPassReportWithLogs)->Iterations(500);
BENCHMARK(BM_ReadSavedReport);
BENCHMARK(BM_ZoneReadingsSlalom);
BENCHMARK(BM_ZoneReadingsJump);
BENCHMARK(BM_SamplesCsv);
BENCHMARK(BM_WriteDossierPdf)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    int qtArgc = 3;
    char name[] = "analysis_bench";
    char option[] = "-platform";
    char platform[] = "offscreen";
    char* qtArgv[] = {name, option, platform, nullptr};
    QGuiApplication application(qtArgc, qtArgv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
