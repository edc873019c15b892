#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "analysis/saved_report.h"
#include "cli/cli_io.h"
#include "cli/cli_runs.h"
#include "cli/command_table.h"
#include "cli/results/pass_provenance.h"
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

// Runs quillon-cli COMMAND ARGS... in-process.
CommandRun run(const std::string& command, std::vector<std::string> args) {
    args.insert(args.begin(), command);
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    const int status = cli::run_command(args, {in, out, err});
    return {status, out.str(), err.str()};
}

CommandRun report(const std::vector<std::string>& args) {
    return run("report", args);
}
CommandRun read_results(const std::vector<std::string>& args) {
    return run("read-results", args);
}

using test_support::samples_text;

std::vector<std::string> split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    for (std::size_t start = 0; start < text.size();) {
        const auto end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? end : end + separator.size();
    }
    return parts;
}

class CliResults : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directory(results);
        write("samples162.txt", samples_text(162));
        write("samples141.txt", samples_text(141, "\r\n"));
    }

    std::string file(const std::string& name) const { return folder.file(name); }
    void write(const std::string& name, const std::string& content) const {
        ASSERT_TRUE(text::replace_file(file(name), content).ok);
    }
    std::string log(const std::string& name) const {
        return text::read_file(results + "/" + name).bytes;
    }
    std::size_t logs() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(results), fs::directory_iterator()));
    }

    test_support::TempFolder folder;
    const std::string results = folder.file("results");
};

}  // namespace

TEST_F(CliResults, ReportAppendsTheThreeLogsAndPrintsTheReport) {
    const auto slalom = report({file("samples162.txt"), "--results", results, "--now",
                                "12-06-2026 14:05:09", "--comment", "calm"});
    ASSERT_EQ(slalom.status, 0) << slalom.err;
    EXPECT_EQ(slalom.err, "");
    EXPECT_EQ(slalom.out, log("ResultLog1206.txt"));
    // The report's lines, the last sample line ended too, then one empty line.
    EXPECT_TRUE(
        slalom.out.ends_with("\r\nFrame  161   Course Position: 259.0   Deviation:  .11\r\n\r\n"));
    EXPECT_EQ(split(slalom.out, "\r\n").size(), 17u + 10u + 162u + 1u);
    EXPECT_TRUE(log("dbResultLog1206.txt")
                    .starts_with("1|Boat Manufacturer|Boat Model|S|Drivers|Skiers|58|11.25|"));
    EXPECT_TRUE(log("dbResultLog1206.txt").ends_with("|calm\r\n"));

    // Every option reaches the report and the record.
    std::vector<std::string> args = split(
        "--discipline jump --speed 72 --line 9.75 --direction away --boat Hydra --model Arrow "
        "--driver Bo --skier Ann --tournament Cup --location Lake --date 6-Dec --number 7 "
        "--split 10.1 --full 17.2",
        " ");
    args.insert(args.begin(),
                {file("samples141.txt"), "--results", results, "--now", "12-06-2026 23:59:59"});
    const auto jump = report(args);
    ASSERT_EQ(jump.status, 0) << jump.err;
    ASSERT_TRUE(jump.out.ends_with("\r\n\r\n"));
    const auto jumpLines = split(jump.out.substr(0, jump.out.size() - 4), "\r\n");
    ASSERT_EQ(jumpLines.size(), 16u + 10u + 141u);
    EXPECT_EQ(jumpLines[9], "Boat is going away from camera");
    EXPECT_EQ(jumpLines.back(), "Frame  140   Course Position: 280.0   Deviation: -.1");
    const auto records = split(log("dbResultLog1206.txt"), "\r\n");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_TRUE(records[1].starts_with("7|Hydra|Arrow|J|Bo|Ann|72| 9.75|")) << records[1];
    EXPECT_TRUE(records[1].ends_with("|10.1|17.2| 7| 80| 13|-0.03|-0.25|-0.15|0.00|"))
        << records[1];
    EXPECT_EQ(log("ResultLog1206.txt"), slalom.out + jump.out);
    EXPECT_EQ(split(log("originalmeasurements.txt"), "\r\n").size(), 20u);
}

TEST_F(CliResults, ReportRefusesBadInputAndWritesNothing) {
    write("short.txt", samples_text(161));
    write("word.txt", samples_text(161) + "nan\n");
    write("gap.txt", samples_text(100) + "\n" + samples_text(62));
    write("comma.txt", samples_text(161) + "0,5\n");
    const std::string samples = file("samples162.txt");
    const std::vector<std::vector<std::string>> cases = {
        {},
        {samples},
        {samples, "--results", file("samples141.txt")},
        {file("missing.txt"), "--results", results},
        {file("short.txt"), "--results", results},
        {file("word.txt"), "--results", results},
        {file("gap.txt"), "--results", results},
        {file("comma.txt"), "--results", results},
        {file("samples141.txt"), "--results", results},  // 141 samples: jump at 72 km/h
        {samples, "--results", results, "--speed", "57"},
        {samples, "--results", results, "--discipline", "jump", "--speed", "58"},
        {samples, "--results", results, "--line", "11"},
        {samples, "--results", results, "--direction", "sideways"},
        {samples, "--results", results, "--discipline", "ski"},
        {samples, "--results", results, "--now", "13-01-2026 00:00:00"},
        {samples, "--results", results, "--now", "02-29-2026 10:00:00"},
        {samples, "--results", results, "--colour", "red"},
        {samples, "--results", results, "--comment"},
        {samples, "--results", results, "--speed", "58", "--speed", "55"},
        {samples, samples, "--results", results},
        {samples, "--results", results, "--zone-length", "1.5"},
        {samples, "--results", results, "--zone-length", "five"},
        {samples, "--results", results, "--limit", "0"},
        {samples, "--results", results, "--limit", "0.049"},
        {samples, "--results", results, "--limit", "0.25"},
        // The dossier's options go with --pdf, and with each other as they make sense.
        {samples, "--results", results, "--measured-by", "auto"},
        {samples, "--results", results, "--video", samples},
        {samples, "--results", results, "--buoy1", "middle"},
        {samples, "--results", results, "--zones", "--zones"},
        {samples, "--results", results, "--csv", file("no-folder/samples.csv")},
        {samples, "--results", results, "--setup", file("missing.ipt")},
    };
    for (const auto& args : cases) {
        const auto refused = report(args);
        const std::string words = args.empty() ? "" : args.back();
        EXPECT_EQ(refused.status, 2) << words;
        EXPECT_EQ(refused.out, "") << words;
        EXPECT_EQ(refused.err.find('\n'), refused.err.size() - 1) << "one line: " << refused.err;
        EXPECT_EQ(logs(), 0u) << words;
    }
    EXPECT_EQ(report({}).err,
              "usage: quillon-cli report SAMPLES --results DIR [--discipline slalom|jump] "
              "[--speed KMH] [--line METRES] [--direction towards|away] [--boat T] [--model T] "
              "[--driver T] [--skier T] [--tournament T] [--location T] [--date T] [--number T] "
              "[--split T] [--full T] [--comment T] [--now \"MM-DD-YYYY HH:MM:SS\"] "
              "[--pdf OUT.pdf] [--csv OUT.csv] [--setup SETUP.ipt] [--zones] "
              "[--zone-length 2..10] [--limit METRES] [--buoy1 left|right] [--video FILE "
              "[--video-start SECONDS]] [--measured-by hand|auto [--untracked 36,61-63]] "
              "[--detail FILE.csv]\n");
}

TEST_F(CliResults, ReportTakesAnyLineEndsAndNamesALogItCouldNotWrite) {
    write("crlf.txt", samples_text(162, "\r\n") + "\r\n\r\n");
    write("cr.txt", samples_text(162, "\r"));
    write("noend.txt", samples_text(161) + "0.25");
    for (const char* name : {"crlf.txt", "cr.txt", "noend.txt"}) {
        const auto done = report({file(name), "--results", results, "--line", "16"});
        EXPECT_EQ(done.status, 0) << name << ": " << done.err;
        EXPECT_NE(done.out.find("Line Length: 16.00m"), std::string::npos) << name;
    }

    fs::create_directory(results + "/dbResultLog0101.txt");
    const auto failed =
        report({file("samples162.txt"), "--results", results, "--now", "01-01-2027 08:00:00"});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.out, log("ResultLog0101.txt"));
    EXPECT_TRUE(failed.err.starts_with("quillon-cli report: could not write ")) << failed.err;
    EXPECT_NE(failed.err.find(results + "/dbResultLog0101.txt: "), std::string::npos);
}

TEST_F(CliResults, ReportExportsSamplesAndZonesWithoutChangingItsOutput) {
    const auto plain =
        report({file("samples162.txt"), "--results", results, "--now", "12-06-2026 14:05:09"});
    const auto dossier = report({file("samples162.txt"), "--results", results, "--now",
                                 "12-06-2026 14:05:09", "--csv", file("pass.csv"), "--zones",
                                 "--zone-length", "2", "--limit", ".1", "--buoy1", "left"});
    ASSERT_EQ(dossier.status, 0) << dossier.err;
    EXPECT_EQ(dossier.out, plain.out);
    EXPECT_EQ(log("ResultLog1206.txt"), plain.out + plain.out);

    const auto rows = split(text::read_file(file("pass.csv")).bytes, "\r\n");
    ASSERT_EQ(rows.size(), 1u + 162u);
    EXPECT_EQ(rows[0], "sample,time_s,position_m,deviation_m,provenance");
    EXPECT_EQ(rows[161], "160,16.0,257.391,0.1,");

    const auto zones = split(dossier.err, "\n");
    ASSERT_EQ(zones.size(), 1u + 8u) << dossier.err;
    EXPECT_EQ(zones[0], "Zone readings (zone 2 m, limit 0.10 m, buoy 1 on the boat's left)");
    const char* names[] = {"Entry gate", "Buoy 1", "Buoy 2", "Buoy 3",
                           "Buoy 4",     "Buoy 5", "Buoy 6", "Exit gate"};
    for (std::size_t i = 0; i < std::size(names); ++i) {
        EXPECT_TRUE(zones[i + 1].starts_with(names[i])) << zones[i + 1];
    }
    // Buoy 1 zone 27-29 m holds samples 17 and 18: -.13 and -.12, toward a buoy on the boat's
    // left when the boat comes toward the camera.
    EXPECT_EQ(zones[2],
              "Buoy 1       27.0-  29.0 m  left   samples   2  mean  0.125  largest  0.130  off "
              "centre 0.130 left  OVER LIMIT");

    // A folder at the CSV's name is refused before anything is written.
    fs::create_directory(file("taken.csv"));
    const auto taken =
        report({file("samples162.txt"), "--results", results, "--csv", file("taken.csv")});
    EXPECT_EQ(taken.status, 2);
    EXPECT_EQ(taken.err, "--csv: \"" + file("taken.csv") + "\" is a folder, not a file.\n");
    EXPECT_TRUE(fs::is_directory(file("taken.csv")));
    EXPECT_EQ(log("ResultLog1206.txt"), plain.out + plain.out);

    // A CSV whose write fails (a full disk) is named; the report and its logs are written all
    // the same.
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "SKIPPED: no /dev/full for a full disk";
    }
    fs::create_symlink("/dev/full", file("full.csv"));
    const auto failed = report({file("samples162.txt"), "--results", results, "--now",
                                "12-06-2026 14:05:09", "--csv", file("full.csv")});
    EXPECT_EQ(failed.status, 1);
    // (The system's words are those of the tests' German locale here, escaped as any bytes
    // above 0x7F in a message.)
    EXPECT_EQ(failed.err,
              cli::message_line("quillon-cli report: could not write " + file("full.csv") + ": " +
                                std::generic_category().message(ENOSPC)));
    EXPECT_EQ(log("ResultLog1206.txt"), plain.out + plain.out + plain.out);
}

TEST_F(CliResults, ReadResultsGivesBackThePath) {
    for (const char* direction : {"towards", "away"}) {
        const auto made =
            report({file("samples162.txt"), "--results", results, "--direction", direction});
        ASSERT_EQ(made.status, 0);
        // What is printed is the report and one line end.
        write("saved.txt", analysis::saved_report_text(made.out.substr(0, made.out.size() - 2)));
        const auto read = read_results({file("saved.txt")});
        ASSERT_EQ(read.status, 0) << read.err;
        // The direction, then "position,deviation" per point; the values are the reader's.
        const auto lines = split(read.out, "\n");
        ASSERT_EQ(lines.size(), 163u);
        EXPECT_EQ(lines[0], direction);
        EXPECT_EQ(lines[2], "1.6,-0.29");
    }
}

TEST_F(CliResults, ReadResultsRefusals) {
    std::string tooMany = "Slalom Pass Results\r\n";
    for (int k = 0; k < 502; ++k) {
        tooMany += "Frame  1   Course Position: 001.6   Deviation:  .1\r\n";
    }
    write("toomany.txt", tooMany);
    write("jump.txt", "Jump Pass Results\r\nFrame  0   Course Position: 000.0   Deviation:  .1");
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{file("jump.txt")}, "Not a valid slalom path results file\n"},
        {{file("samples162.txt"), "--discipline", "jump"}, "Not a valid jump path results file\n"},
        {{file("missing.txt")}, "Unexpected error #53 occurred: File not found\n"},
        {{folder.str()}, "Unexpected error #75 occurred: Path/File access error\n"},
        {{file("toomany.txt")}, "Unexpected error #9 occurred: Subscript out of range\n"},
        {{}, "usage: quillon-cli read-results FILE [--discipline slalom|jump]\n"},
    };
    for (const auto& c : cases) {
        const auto refused = read_results(c.args);
        EXPECT_EQ(refused.status, 2) << c.message;
        EXPECT_EQ(refused.out, "") << c.message;
        EXPECT_EQ(refused.err, c.message);
    }
    EXPECT_EQ(read_results({file("jump.txt"), "--discipline", "jump"}).out, "away\n0,0.1\n");
}

// The per-sample file of `quillon-cli track --detail`, read back by `report --detail`, and the
// sample lists of --untracked: what fits the pass is taken, anything else refused by line.
TEST(CliPassProvenance, DetailFileAndSampleLists) {
    using analysis::Provenance;
    const std::string header = "sample,frame_time_s,deviation_m,provenance,confidence\r\n";
    const auto detail = cli::parse_detail_file(header +
                                                   "0,1.500000,0.01,tracked,0.910\r\n"
                                                   "1,1.600000,0.02,held,\r\n"
                                                   "2,1.700000,0.03,operator,\n",
                                               "d.csv", 3);
    EXPECT_EQ(detail.provenance, (std::vector<Provenance>{Provenance::Tracked, Provenance::Held,
                                                          Provenance::Operator}));
    EXPECT_DOUBLE_EQ(detail.sample0Seconds, 1.5);

    const struct {
        std::string bytes;
        const char* message;
    } refused[] = {
        {"", "--detail d.csv line 0: the file is empty"},
        {"sample,deviation\r\n", "--detail d.csv line 1: the header must be"},
        {header + "0,1.5,0,tracked\r\n", "--detail d.csv line 2: a row has five fields"},
        {header + "1,1.5,0,tracked,0.9\r\n", "--detail d.csv line 2: sample 0 was expected"},
        {header + "0,-1,0,tracked,0.9\r\n", "--detail d.csv line 2: frame_time_s must be"},
        {header + "0,1.5,0,lost,\r\n", "--detail d.csv line 2: provenance must be"},
        {header + "0,1.5,0,held,\r\n", "--detail d.csv holds 1 samples; the pass has 3"},
    };
    for (const auto& r : refused) {
        try {
            cli::parse_detail_file(r.bytes, "d.csv", 3);
            ADD_FAILURE() << "taken: " << r.bytes;
        } catch (const cli::BadInput& bad) {
            EXPECT_TRUE(std::string(bad.what()).starts_with(r.message)) << bad.what();
        }
    }

    EXPECT_EQ(cli::parse_sample_list("36,61-63,137-139", 161),
              (std::vector<int>{36, 61, 62, 63, 137, 138, 139}));
    EXPECT_EQ(cli::parse_sample_list("5,2-3,3", 10), (std::vector<int>{2, 3, 5}));
    for (const char* bad : {"", "1,", "3-1", "162", "a", "1--2", "-1", " 3"}) {
        EXPECT_THROW(cli::parse_sample_list(bad, 161), cli::BadInput) << bad;
    }
}
