#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/pass_report.h"
#include "analysis/saved_report.h"
#include "results/results_commands.h"
#include "support/temp_folder.h"
#include "text/number_text.h"
#include "text/text_file.h"

using namespace quillon;
namespace fs = std::filesystem;

namespace {

struct CommandRun {
    int status = 0;
    std::string out;
    std::string err;
};

CommandRun report(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    CommandRun run;
    run.status = cli::report_command(args, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

CommandRun read_results(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    CommandRun run;
    run.status = cli::read_results_command(args, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

// count deviations, one per line: k / 100 - .3, wrapping at .6.
std::string samples_text(int count, const char* lineEnd = "\n") {
    std::string text;
    for (int k = 0; k < count; ++k) {
        text += text::number_text((k % 60) / 100.0 - 0.3);
        text += lineEnd;
    }
    return text;
}

std::vector<std::string> lines_of(const std::string& text, const std::string& end) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto stop = text.find(end, start);
        lines.push_back(text.substr(start, stop - start));
        if (stop == std::string::npos) {
            break;
        }
        start = stop + end.size();
    }
    return lines;
}

std::size_t files_in(const fs::path& folder) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class CliResults : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directory(results());
        write("samples162.txt", samples_text(162));
        write("samples141.txt", samples_text(141, "\r\n"));
    }

    std::string file(const std::string& name) const { return folder.file(name); }
    std::string results() const { return folder.file("results"); }
    void write(const std::string& name, const std::string& content) const {
        ASSERT_TRUE(text::replace_file(file(name), content).ok);
    }
    std::string read(const std::string& name) const {
        return text::read_file(results() + "/" + name).bytes;
    }

    test_support::TempFolder folder;
};

}  // namespace

TEST_F(CliResults, ReportWithDefaultsWritesTheThreeLogsAndPrintsTheReport) {
    const CommandRun run = report({file("samples162.txt"), "--results", results(), "--now",
                                   "12-06-2026 14:05:09", "--comment", "calm"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, read("ResultLog1206.txt"));
    const auto lines = lines_of(run.out, "\r\n");
    ASSERT_EQ(lines.size(), 17u + 10u + 162u);
    EXPECT_EQ(lines[0], "Slalom Pass Results");
    EXPECT_EQ(lines[1], "Skier Name: Skiers");
    EXPECT_EQ(lines[9], "Line Length: 11.25m");
    EXPECT_EQ(lines[10], "Boat is coming toward the camera");
    EXPECT_EQ(lines[25], "Frames Measured:  162");
    EXPECT_EQ(lines[27], "Frame  0   Course Position: 000.0   Deviation: -.3");

    const std::string record = read("dbResultLog1206.txt");
    EXPECT_TRUE(record.starts_with("1|Boat Manufacturer|Boat Model|S|Drivers|Skiers|58|11.25|"))
        << record;
    EXPECT_TRUE(record.ends_with("|calm\r\n")) << record;
    EXPECT_TRUE(
        read("originalmeasurements.txt").starts_with("Slalom\r\n12-06-2026\r\n14:05:09\r\n"));
}

TEST_F(CliResults, ReportOfAJumpPassWithEveryOption) {
    const CommandRun run = report({file("samples141.txt"),
                                   "--results",
                                   results(),
                                   "--discipline",
                                   "jump",
                                   "--speed",
                                   "72",
                                   "--line",
                                   "9.75",
                                   "--direction",
                                   "away",
                                   "--boat",
                                   "Hydra",
                                   "--model",
                                   "Arrow",
                                   "--driver",
                                   "Bo",
                                   "--skier",
                                   "Ann",
                                   "--tournament",
                                   "Cup",
                                   "--location",
                                   "Lake",
                                   "--date",
                                   "Dec 6",
                                   "--number",
                                   "7",
                                   "--split",
                                   "10.1",
                                   "--full",
                                   "17.2",
                                   "--now",
                                   "02-29-2028 23:59:59"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto lines = lines_of(run.out, "\r\n");
    ASSERT_EQ(lines.size(), 16u + 10u + 141u);
    EXPECT_EQ(lines[0], "Jump Pass Results");
    EXPECT_EQ(lines[3], "Location: Lake");
    EXPECT_EQ(lines[7], "Date of Measurement: 02-29-2028");
    EXPECT_EQ(lines[9], "Boat is going away from camera");
    EXPECT_EQ(lines.back(), "Frame  140   Course Position: 280.0   Deviation: -.1");
    const auto record = read("dbResultLog0229.txt");
    EXPECT_TRUE(record.starts_with("7|Hydra|Arrow|J|Bo|Ann|72| 9.75|")) << record;
    EXPECT_NE(record.find("|10.1|17.2|"), std::string::npos) << record;
    EXPECT_TRUE(record.ends_with("|\r\n")) << record;
    EXPECT_EQ(files_in(results()), 3u);
}

TEST_F(CliResults, ReportRunsTwiceIntoTheSameDailyLogs) {
    for (int pass = 0; pass < 2; ++pass) {
        ASSERT_EQ(
            report({file("samples162.txt"), "--results", results(), "--now", "12-06-2026 14:05:09"})
                .status,
            0);
    }
    EXPECT_EQ(lines_of(read("dbResultLog1206.txt"), "\r\n").size(), 2u);
    EXPECT_EQ(lines_of(read("originalmeasurements.txt"), "\r\n").size(), 20u);
}

TEST_F(CliResults, ReportRefusesBadInputAndWritesNothing) {
    write("short.txt", samples_text(161));
    write("long.txt", samples_text(163));
    write("word.txt", samples_text(161) + "abc\n");
    write("nan.txt", samples_text(161) + "nan\n");
    write("gap.txt", samples_text(100) + "\n" + samples_text(62));
    write("comma.txt", samples_text(161) + "0,5\n");
    const std::string samples = file("samples162.txt");
    const std::string dir = results();
    const std::vector<std::vector<std::string>> cases = {
        {},
        {samples},
        {samples, "--results", file("samples141.txt")},
        {samples, "--results", file("no-such-folder")},
        {file("missing.txt"), "--results", dir},
        {file("short.txt"), "--results", dir},
        {file("long.txt"), "--results", dir},
        {file("word.txt"), "--results", dir},
        {file("nan.txt"), "--results", dir},
        {file("gap.txt"), "--results", dir},
        {file("comma.txt"), "--results", dir},
        {file("samples141.txt"), "--results", dir},  // 141 is a jump pass at 72 km/h
        {samples, "--results", dir, "--speed", "57"},
        {samples, "--results", dir, "--speed", "58.0"},
        {samples, "--results", dir, "--discipline", "jump", "--speed", "58"},
        {samples, "--results", dir, "--line", "11"},
        {samples, "--results", dir, "--line", "eleven"},
        {samples, "--results", dir, "--direction", "sideways"},
        {samples, "--results", dir, "--discipline", "ski"},
        {samples, "--results", dir, "--now", "13-01-2026 00:00:00"},
        {samples, "--results", dir, "--now", "02-29-2026 10:00:00"},
        {samples, "--results", dir, "--now", "12-06-2026 24:00:00"},
        {samples, "--results", dir, "--now", "12-06-2026"},
        {samples, "--results", dir, "--colour", "red"},
        {samples, "--results", dir, "--comment"},
        {samples, "--results", dir, "--speed", "58", "--speed", "55"},
        {samples, samples, "--results", dir},
    };
    for (const auto& args : cases) {
        std::string words;
        for (const auto& arg : args) {
            words += arg;
            words += ' ';
        }
        const CommandRun run = report(args);
        EXPECT_EQ(run.status, 2) << words;
        EXPECT_EQ(run.out, "") << words;
        EXPECT_FALSE(run.err.empty()) << words;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
        EXPECT_EQ(files_in(results()), 0u) << words;
    }
}

TEST_F(CliResults, ReportAcceptsAnyLineEndsAndTrailingEmptyLines) {
    write("crlf.txt", samples_text(162, "\r\n") + "\r\n\r\n");
    write("cr.txt", samples_text(162, "\r"));
    write("noend.txt", samples_text(161) + "0.25");
    for (const char* name : {"crlf.txt", "cr.txt", "noend.txt"}) {
        const CommandRun run = report({file(name), "--results", results(), "--line", "16"});
        EXPECT_EQ(run.status, 0) << name << ": " << run.err;
        EXPECT_NE(run.out.find("Line Length: 16.00m"), std::string::npos) << name;
    }
}

TEST_F(CliResults, ReportNamesTheLogItCouldNotWrite) {
    fs::create_directory(results() + "/dbResultLog1206.txt");
    const CommandRun run =
        report({file("samples162.txt"), "--results", results(), "--now", "12-06-2026 08:00:00"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, read("ResultLog1206.txt"));
    EXPECT_TRUE(run.err.starts_with("quillon-cli report: could not write ")) << run.err;
    EXPECT_NE(run.err.find(results() + "/dbResultLog1206.txt: "), std::string::npos) << run.err;
    EXPECT_FALSE(read("originalmeasurements.txt").empty());
}

TEST_F(CliResults, ReadResultsGivesBackThePath) {
    for (const char* direction : {"towards", "away"}) {
        const CommandRun made =
            report({file("samples162.txt"), "--results", results(), "--direction", direction});
        ASSERT_EQ(made.status, 0);
        // The report as printed is the report text and one line end.
        write("saved.txt", analysis::saved_report_text(made.out.substr(0, made.out.size() - 2)));
        const CommandRun run = read_results({file("saved.txt")});
        ASSERT_EQ(run.status, 0) << run.err;
        const auto lines = lines_of(run.out, "\n");
        ASSERT_EQ(lines.size(), 163u);
        EXPECT_EQ(lines[0], direction);
        EXPECT_EQ(lines[1], "0,-0.3");
        EXPECT_EQ(lines[2], "1.6,-0.29");
        EXPECT_EQ(lines[31], "48.3,0");
        EXPECT_EQ(lines[162], "259,0.11");
        EXPECT_EQ(run.err, "");
    }
}

TEST_F(CliResults, ReadResultsRefusals) {
    std::string tooMany = "Slalom Pass Results\r\n";
    for (int k = 0; k < 502; ++k) {
        tooMany += "Frame  1   Course Position: 001.6   Deviation:  .1\r\n";
    }
    write("toomany.txt", tooMany);
    write("jumpreport.txt",
          "Jump Pass Results\r\nFrame  0   Course Position: 000.0   "
          "Deviation:  .1\r\n");
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{file("jumpreport.txt")}, "Not a valid slalom path results file\n"},
        {{file("samples162.txt"), "--discipline", "jump"}, "Not a valid jump path results file\n"},
        {{file("missing.txt")}, "Unexpected error #53 occurred: File not found\n"},
        {{folder.str()}, "Unexpected error #75 occurred: Path/File access error\n"},
        {{file("toomany.txt")}, "Unexpected error #9 occurred: Subscript out of range\n"},
        {{file("jumpreport.txt"), "--discipline", "both"},
         "quillon-cli read-results: --discipline must be slalom or jump, not \"both\"\n"},
        {{}, "usage: quillon-cli read-results FILE [--discipline slalom|jump]\n"},
    };
    for (const auto& c : cases) {
        const CommandRun run = read_results(c.args);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_EQ(run.out, "") << c.message;
        EXPECT_EQ(run.err, c.message);
    }
    const CommandRun jump = read_results({file("jumpreport.txt"), "--discipline", "jump"});
    EXPECT_EQ(jump.status, 0);
    EXPECT_EQ(jump.out, "away\n0,0.1\n");
}
