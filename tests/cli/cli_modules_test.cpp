// quillon-cli loads Qt, OpenCV and FFmpeg only in its modules, when a command needs one: the
// dynamic loader's own trace (LD_DEBUG=libs, on stderr) names every library a run loads.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "cli/cli_runs.h"
#include "support/temp_folder.h"
#include "text/text_file.h"

namespace fs = std::filesystem;
using quillon::test_support::CliRun;
using quillon::test_support::shell_quoted;

namespace {

// The libraries quillon-cli keeps in its modules, by the start of their file names.
const std::vector<std::string> moduleLibraries = {"libQt6", "libopencv", "libav", "libsw"};

// Which of moduleLibraries the loader's trace names as loaded ("file=NAME [...]").
std::set<std::string> module_libraries_loaded(const std::string& trace) {
    std::set<std::string> found;
    for (auto at = trace.find("file="); at != std::string::npos; at = trace.find("file=", at)) {
        at += 5;
        const std::string file = fs::path(trace.substr(at, trace.find(' ', at) - at)).filename();
        for (const std::string& library : moduleLibraries) {
            if (file.starts_with(library)) {
                found.insert(library);
            }
        }
    }
    return found;
}

class CliModules : public quillon::test_support::InTempFolder {
  protected:
    void SetUp() override {
        write("points.txt", quillon::test_support::cornerPoints);
        write("samples.txt", quillon::test_support::samples_text(162));
        write("pairs.txt", "8200,3000\n");
        fs::create_directory(path("res"));
    }

    void write(const std::string& name, const std::string& content) const {
        ASSERT_TRUE(quillon::text::replace_file(path(name), content));
    }

    // Runs PROGRAM ARGUMENTS in the test's folder, its stderr in stderr.txt.
    CliRun run(const std::string& program, const std::string& arguments,
               const std::string& environment = "") const {
        return quillon::test_support::run_shell(
            environment + shell_quoted(program) + " " + arguments + " 2>stderr.txt", folder.str());
    }
};

// Each command in turn (later ones read what earlier ones wrote), with the module libraries
// it may load: none but for report --pdf (Qt; hashing --video needs no FFmpeg) and track.
TEST_F(CliModules, OnlyTheCommandsThatNeedAModuleLoadItsLibraries) {
    const struct {
        std::string arguments;
        int exitCode;
        std::set<std::string> loads;
    } runs[] = {
        {"--help >/dev/null", 0, {}},
        {"frobnicate", 2, {}},
        {"solve points.txt --write setup.ipt >/dev/null", 0, {}},
        {"check setup.ipt >/dev/null", 0, {}},
        {"map setup.ipt --to-survey <pairs.txt >/dev/null", 0, {}},
        {"accuracy setup.ipt --results res >/dev/null", 0, {}},
        {"report samples.txt --results res --csv out.csv --now '01-02-2026 10:00:00' >/dev/null",
         0,
         {}},
        {"read-results res/ResultLog0102.txt >/dev/null", 0, {}},
        {"report samples.txt --results res --pdf out.pdf --video samples.txt >/dev/null",
         0,
         {"libQt6"}},
        {"track missing.mp4 --setup setup.ipt --start-time 1 --mark 10,10",
         2,
         {"libopencv", "libav", "libsw"}},
    };
    for (const auto& r : runs) {
        const CliRun done = run(QUILLON_CLI_PATH, r.arguments, "LD_DEBUG=libs ");
        EXPECT_EQ(done.exitCode, r.exitCode) << r.arguments;
        EXPECT_EQ(module_libraries_loaded(done.err), r.loads) << r.arguments;
    }
    EXPECT_TRUE(fs::exists(path("out.pdf")));
}

// A module that cannot be loaded is refused in one line that names it, exit code 2, before
// anything is written: here the program runs from a bin/ folder with no lib/quillon beside it.
TEST_F(CliModules, AMissingModuleIsRefusedInOneLine) {
    fs::create_directory(path("bin"));
    fs::copy_file(QUILLON_CLI_PATH, path("bin/quillon-cli"));
    const std::string program = path("bin/quillon-cli");
    const struct {
        std::string arguments;
        std::string module;
    } runs[] = {
        {"track missing.mp4 --setup points.txt --start-time 1 --mark 10,10",
         "quillon-cli-track.so"},
        {"report samples.txt --results res --pdf out.pdf", "quillon-cli-pdf.so"},
    };
    for (const auto& r : runs) {
        const CliRun done = run(program, r.arguments);
        EXPECT_EQ(done.exitCode, 2) << r.arguments;
        EXPECT_EQ(done.err.rfind("quillon-cli could not load its module " + r.module + ": " +
                                     path("lib/quillon/" + r.module) + ": ",
                                 0),
                  0u)
            << done.err;
        EXPECT_EQ(done.err.find('\n'), done.err.size() - 1) << done.err;
    }
    EXPECT_TRUE(fs::is_empty(path("res")));
    EXPECT_FALSE(fs::exists(path("out.pdf")));
}

}  // namespace
