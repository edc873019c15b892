#include <gtest/gtest.h>

#include <sys/wait.h>

#include <locale.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <set>
#include <sstream>
#include <stdexcept>

#include "calibration/number_field.h"
#include "calibration/setup_file.h"
#include "calibration/setup_view.h"
#include "cli/cli_io.h"
#include "cli/cli_runs.h"
#include "cli/command_table.h"
#include "support/temp_folder.h"
#include "text/text_file.h"

namespace fs = std::filesystem;
using quillon::text::read_file;
using quillon::text::replace_file;

namespace {

using quillon::test_support::CliRun;
using quillon::test_support::shell_quoted;

// The commands take their paths as given, relative to the test's folder: each test runs in it.
class Cli : public quillon::test_support::InTempFolder {
  protected:
    void SetUp() override {
        previousFolder_ = fs::current_path();
        fs::current_path(folder.str());
        write("points.txt", quillon::test_support::cornerPoints);
    }
    void TearDown() override { fs::current_path(previousFolder_); }

    void write(const std::string& name, const std::string& content) const {
        ASSERT_TRUE(replace_file(path(name), content));
    }

    // Runs quillon-cli WORDS... in-process, under the tests' decimal-comma locales.
    static CliRun run(const std::vector<std::string>& words, const std::string& input = "") {
        return quillon::test_support::run_cli(words, input);
    }

    // Runs the real program in the test's folder with the ARGUMENTS and redirections of a
    // shell command, under a decimal-comma locale where one exists.
    CliRun run_program(const std::string& arguments) const {
        return quillon::test_support::run_shell("LC_ALL=de_DE.UTF-8 " +
                                                    shell_quoted(QUILLON_CLI_PATH) + " " +
                                                    arguments + " 2>stderr.txt",
                                                folder.str());
    }

  private:
    fs::path previousFolder_;
};

// The numbers of "a,b" output lines, read without the locale.
std::vector<double> numbers_in(const std::string& out) {
    std::vector<double> numbers;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= out.size(); ++i) {
        if (i == out.size() || out[i] == ',' || out[i] == '\n') {
            if (i > start) {
                numbers.push_back(
                    quillon::calibration::number_field(out.substr(start, i - start)).value());
            }
            start = i + 1;
        }
    }
    return numbers;
}

long count_lines(const std::string& text) {
    return std::count(text.begin(), text.end(), '\n');
}

}  // namespace

TEST(G17, MatchesPrintfInTheCLocale) {
    const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    const locale_t previous = uselocale(c);
    const double values[] = {0,
                             -0.0,
                             1,
                             0.1,
                             -6.7870489666297358,
                             2.0902715784914627e-05,
                             1e-300,
                             123456789012345678.0,
                             1e21,
                             100.0 / 6,
                             5e-324,
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()};
    for (double value : values) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.17g", value);
        EXPECT_EQ(quillon::cli::g17(value), expected);
    }
    uselocale(previous);
    freelocale(c);
}

TEST_F(Cli, SolvePrintsTheEightCoefficients) {
    const CliRun solved = run({"solve", "points.txt"});
    EXPECT_EQ(solved.exitCode, 0) << solved.err;
    EXPECT_EQ(solved.err, "");
    ASSERT_EQ(count_lines(solved.out), 8);
    EXPECT_EQ(solved.out.rfind("c1 -6.78704896662973", 0), 0u) << solved.out;
    EXPECT_NE(solved.out.find("\nc8 0.126002142244155"), std::string::npos) << solved.out;
    EXPECT_EQ(solved.out.find(','), std::string::npos);  // no decimal commas
}

TEST_F(Cli, WritesASetupFileThatMapsTheCornersBack) {
    const CliRun solved = run({"solve", "points.txt", "--write", "north.ipt", "--description",
                               "North lake", "--jump", "1.25,-300"});
    ASSERT_EQ(solved.exitCode, 0) << solved.err;
    const auto file = quillon::calibration::read_setup_file(path("north.ipt"));
    ASSERT_TRUE(file.data) << file.problem.text;
    EXPECT_EQ(file.data->header, "Initialization Points for file: north.ipt");
    EXPECT_EQ(file.data->description, "North lake");
    EXPECT_EQ(file.data->jump_y, -300);

    // One "x,y" line per input line; empty lines are skipped, blanks after commas allowed.
    const CliRun toSurvey =
        run({"map", "north.ipt", "--to-survey"}, "8200,3000\n\n2900, 11200\r\n");
    ASSERT_EQ(toSurvey.exitCode, 0) << toSurvey.err;
    EXPECT_EQ(count_lines(toSurvey.out), 2) << toSurvey.out;
    const auto corner = numbers_in(toSurvey.out);
    ASSERT_EQ(corner.size(), 4u) << toSurvey.out;
    EXPECT_NEAR(corner[3], -259, 1e-9);

    const CliRun toScreen = run({"map", "north.ipt", "--to-screen"}, "0,-259\n");
    ASSERT_EQ(toScreen.exitCode, 0) << toScreen.err;
    const auto screen = numbers_in(toScreen.out);
    ASSERT_EQ(screen.size(), 2u) << toScreen.out;
    EXPECT_NEAR(screen[0], 12300, 1e-6);
}

TEST_F(Cli, CheckReportsPointsCoefficientsRatiosAndWarning) {
    ASSERT_EQ(run({"solve", "points.txt", "--write", "north.ipt", "--description", "North lake"})
                  .exitCode,
              0);
    const CliRun narrow = run({"check", "north.ipt"});
    ASSERT_EQ(narrow.exitCode, 0) << narrow.err;
    EXPECT_EQ(narrow.out.substr(0, narrow.out.find("c1 ")),
              "North lake\n8200,3000,0,0\n12300,11000,0,-259\n7100,3050,2.5,0\n"
              "2900,11200,2.5,-259\n");
    const std::string tail = narrow.out.substr(narrow.out.find("Front Ratio"));
    EXPECT_EQ(tail,
              "Front Ratio:  61\nBack Ratio:  7\n"
              "Warning - back ratio is  7% where  16% minimum is required\n");

    const CliRun wide = run({"check", "north.ipt", "--surface", "60,40"});
    ASSERT_EQ(wide.exitCode, 0) << wide.err;
    EXPECT_EQ(wide.out.substr(wide.out.find("Front Ratio")),
              "Front Ratio:  1044\nBack Ratio:  122\n");
}

// With a view file beside the setup, the gates are measured against the width of the picture
// the marks were made on, as the Setup screen measures them; a view file of another version
// of the setup is said on stderr and not used.
TEST_F(Cli, CheckMeasuresTheGatesAgainstThePictureOfTheViewFile) {
    ASSERT_EQ(run({"solve", "points.txt", "--write", "north.ipt", "--description", "North lake"})
                  .exitCode,
              0);
    const quillon::calibration::PictureFit picture{320, 240, 10, 0, 120, 90};
    ASSERT_FALSE(
        quillon::calibration::write_setup_view(path("north.ipt"), {1024, 668, picture, {}}));
    const CliRun viewed = run({"check", "north.ipt"});
    ASSERT_EQ(viewed.exitCode, 0) << viewed.err;
    EXPECT_EQ(viewed.out.substr(viewed.out.find("Front Ratio")),
              "Front Ratio:  522\nBack Ratio:  61\n");
    EXPECT_EQ(viewed.err, "");

    ASSERT_EQ(run({"solve", "points.txt", "--write", "north.ipt", "--description", "South lake"})
                  .exitCode,
              0);
    const CliRun stale = run({"check", "north.ipt"});
    ASSERT_EQ(stale.exitCode, 0) << stale.err;
    EXPECT_EQ(stale.out.substr(stale.out.find("Front Ratio")).substr(0, 32),
              "Front Ratio:  61\nBack Ratio:  7\n");
    EXPECT_NE(stale.err.find("\"north.ipt.view\" belongs to another version of \"north.ipt\""),
              std::string::npos)
        << stale.err;
}

TEST_F(Cli, AccuracyAppendsTheReportAndPrintsTheLabels) {
    ASSERT_EQ(run({"solve", "points.txt", "--write", "north.ipt", "--description", "North lake"})
                  .exitCode,
              0);
    fs::create_directories(path("results"));
    std::vector<std::string> words = {"accuracy", "north.ipt", "--results",
                                      "results",  "--now",     "12-06-2026 09:05:07"};
    const CliRun detail = run(words);
    ASSERT_EQ(detail.exitCode, 0) << detail.err;
    ASSERT_EQ(count_lines(detail.out), 42);
    EXPECT_EQ(detail.out.rfind("0\t .16\t7091.17914369626", 0), 0u) << detail.out;
    EXPECT_NE(detail.out.find("\n41\t"), std::string::npos);

    words.insert(words.end(), {"--display", "level"});
    const CliRun level = run(words);
    ASSERT_EQ(level.exitCode, 0) << level.err;
    EXPECT_EQ(level.out.rfind("0\tC\t", 0), 0u) << level.out;

    // The --now time heads the report; its body is the calibration core's.
    const std::string report = read_file(path("results/acc1206.txt")).bytes;
    EXPECT_EQ(report.rfind("12-06-2026  09:05:07 Accuracy Check\r\n", 0), 0u) << report;
    // Two checks, two blocks in the day's file.
    EXPECT_EQ(report.find("Accuracy Check", 100), report.rfind("Accuracy Check"));
    EXPECT_NE(report.find("Accuracy Check", 100), std::string::npos);
}

TEST_F(Cli, BadInputGivesOneLineAndExitCodeTwo) {
    write("short.ipt", "Initialization Points for file: x\r\nshort\r\n 1 , 2 , 3 , 4 \r\n");
    write("singular.txt", "0,0,0,0\n0,0,0,-259\n7100,3050,2.5,0\n2900,11200,2.5,-259\n");
    write("three.txt", "0,0,0,0\n0,0,0,-259\n7100,3050,2.5,0\n");
    write("letters.txt", "0,0,0,0\n0,0,0,-259\n7100,3050,2.5,zero\n2900,11200,2.5,-259\n");
    ASSERT_EQ(run({"solve", "points.txt", "--write", "good.ipt"}).exitCode, 0);
    const struct {
        std::vector<std::string> words;
        std::string input;
        std::string message;  // the start of the stderr line
    } cases[] = {
        {{}, "", "No command given."},
        {{"frobnicate", "x"}, "", "Unknown command \"frobnicate\"."},
        {{"frob\nni\rcate"}, "", "Unknown command \"frob\\nni\\rcate\"."},
        {{"solve"}, "", "usage: quillon-cli solve POINTS [--write OUT.ipt"},
        {{"solve", "--write", "x.ipt"}, "", "The command solve needs a POINTS file."},
        {{"solve", "singular.txt"}, "", "No Unique Solution - Re-enter data"},
        {{"solve", "three.txt"}, "", "The points file \"three.txt\" holds 3 lines"},
        {{"solve", "letters.txt"}, "", "letters.txt line 3: \"zero\" is not a number."},
        {{"solve", "missing.txt"}, "", "The points file \"missing.txt\" cannot be read: "},
        {{"solve", "points.txt", "--jump", "1"}, "", "--jump: \"1\" is not two numbers X,Y."},
        {{"solve", "points.txt", "--write"}, "", "The option --write needs a value."},
        {{"solve", "points.txt", "--write", "nofolder/x.ipt"},
         "",
         "--write: the folder \"nofolder\" does not exist."},
        {{"map", "good.ipt"}, "", "map needs --to-survey or --to-screen."},
        {{"map", "good.ipt", "--to-survey", "--to-screen"}, "", "Give one of --to-survey"},
        {{"map", "good.ipt", "--to-survey"},
         "1,2\n3;4\n",
         "stdin line 2: \"3;4\" is not a number."},
        {{"map", "good.ipt", "--to-screen"}, "1,2,3\n", "stdin line 1: \"1,2,3\" is not 2 numbers"},
        {{"map", "short.ipt", "--to-survey"},
         "1,2\n",
         "Setup file \"short.ipt\" cannot be used: it ends before line 4"},
        {{"check", "good.ipt", "--surface", "wide"},
         "",
         "--surface: \"wide\" is not two numbers X,Y."},
        {{"check", "good.ipt", "--surface", "0,600"},
         "",
         "--surface must be W,H in whole pixels, not \"0,600\""},
        {{"check", "good.ipt", "--frames", "2"}, "", "Unknown option \"--frames\"."},
        {{"accuracy", "good.ipt"}, "", "The command accuracy needs --results DIR."},
        {{"accuracy", "good.ipt", "--results", ".", "--display", "fancy"},
         "",
         "--display: \"fancy\" is none"},
        {{"accuracy", "good.ipt", "--results", ".", "--now", "13-06-2026 09:05:07"},
         "",
         "--now must be a date and time \"MM-DD-YYYY HH:MM:SS\", not \"13-06-2026 09:05:07\"."},
        {{"accuracy", "good.ipt", "--results", "nowhere", "--now", "12-06-2026 09:05:07"},
         "",
         "The accuracy report could not be written to \"nowhere/acc1206.txt\""},
    };
    for (const auto& c : cases) {
        const CliRun bad = run(c.words, c.input);
        const std::string shown = c.words.empty() ? "" : c.words.back();
        EXPECT_EQ(bad.exitCode, 2) << shown;
        EXPECT_EQ(bad.out, "") << shown;
        EXPECT_EQ(bad.err.rfind(c.message, 0), 0u) << shown << "\n" << bad.err;
        EXPECT_EQ(count_lines(bad.err), 1) << shown << "\n" << bad.err;
    }
    EXPECT_FALSE(fs::exists(path("nowhere")));
}

// --help and its other names print the usage and nothing else, whatever follows them.
TEST_F(Cli, HelpShowsTheUsage) {
    const std::string usage =
        "Usage:\n"
        "  quillon-cli solve POINTS [--write OUT.ipt [--description TEXT] [--jump X,Y]]\n"
        "  quillon-cli map SETUP.ipt --to-survey|--to-screen   (pairs a,b on stdin)\n"
        "  quillon-cli check SETUP.ipt [--surface W,H]\n"
        "  quillon-cli accuracy SETUP.ipt --results DIR [--display detail|distance|level]\n"
        "                       [--surface W,H] [--now \"MM-DD-YYYY HH:MM:SS\"]\n"
        "  quillon-cli report SAMPLES --results DIR [--discipline slalom|jump] [--speed KMH]\n"
        "                     [--line METRES] [--direction towards|away] [--boat T] [--model T]\n"
        "                     [--driver T] [--skier T] [--tournament T] [--location T] [--date T]\n"
        "                     [--number T] [--split T] [--full T] [--comment T]\n"
        "                     [--now \"MM-DD-YYYY HH:MM:SS\"] [--pdf OUT.pdf] [--csv OUT.csv]\n"
        "                     [--setup SETUP.ipt] [--zones] [--zone-length 2..10] [--limit "
        "METRES]\n"
        "                     [--buoy1 left|right] [--video FILE [--video-start SECONDS]]\n"
        "                     [--measured-by hand|auto [--untracked 36,61-63]] [--detail "
        "FILE.csv]\n"
        "  quillon-cli read-results FILE [--discipline slalom|jump]\n"
        "  quillon-cli track VIDEO --setup SETUP.ipt --start-time SECONDS --mark X,Y\n"
        "                    [--discipline slalom|jump] [--speed KMH] [--direction towards|away]\n"
        "                    [--surface W,H] [--annotate OUT.mp4] [--detail SAMPLES.csv]\n"
        "Exit codes: 0 done, 1 output lost (stdout could not be written, or for report a log\n"
        "file), 2 bad input (one-line message on stderr); track: 3 when the mark was lost for\n"
        "some samples.\n";
    const std::vector<std::vector<std::string>> asks = {
        {"--help"}, {"-h"}, {"help"}, {"--help", "solve", "--frames"}};
    for (const auto& words : asks) {
        const CliRun help = run(words);
        EXPECT_EQ(help.exitCode, 0) << words.front();
        EXPECT_EQ(help.err, "") << words.front();
        EXPECT_EQ(help.out, usage) << words.front();
    }
}

// --help lines a command's usage up after "quillon-cli NAME "; a row that names another
// command, or a name given twice, would send the user elsewhere.
TEST(CliCommandTable, EachRowNamesItsOwnCommandOnce) {
    std::set<std::string_view> names;
    for (const auto& command : quillon::cli::subcommands()) {
        EXPECT_TRUE(names.insert(command.name).second) << command.name;
        EXPECT_NE(command.run, nullptr) << command.name;
        if (!command.usage.empty()) {
            EXPECT_TRUE(command.usage.starts_with(
                quillon::cli::joined({"quillon-cli ", command.name, " "})))
                << command.usage;
        }
    }
}

// The shared boundary of the commands: what a refusal looks like on stderr, and that the
// output of a refused command, or one that cannot be written, is not taken as done.
TEST(CliRefusals, BecomeOneStderrLineAndExitCodeTwo) {
    using quillon::cli::BadInput;
    const struct {
        std::function<int()> work;
        int exitCode;
        std::string err;
    } cases[] = {
        {[] { return 0; }, 0, ""},
        {[] { return 3; }, 3, ""},
        {[]() -> int { throw BadInput("two\nli\rnes"); }, 2, "two\\nli\\rnes\n"},
        {[]() -> int { throw BadInput("tab\there, bell\a, \xC3\x85 and \xff"); }, 2,
         "tab\\there, bell\\x07, \\xC3\\x85 and \\xFF\n"},
        {[]() -> int { throw std::length_error("too\nlong"); }, 2,
         "quillon-cli stopped: too\\nlong\n"},
    };
    for (const auto& c : cases) {
        std::istringstream in;
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(quillon::cli::run_guarded({in, out, err}, c.work), c.exitCode);
        EXPECT_EQ(out.str(), "");
        EXPECT_EQ(err.str(), c.err);
    }

    std::istringstream in;
    std::ostringstream out;
    std::ostringstream finished;
    EXPECT_EQ(quillon::cli::finish_output({in, out, finished}, "x", 3), 3);
    EXPECT_EQ(finished.str(), "");
    out.setstate(std::ios::badbit);  // as a stream is when its output cannot be written
    EXPECT_EQ(quillon::cli::finish_output({in, out, finished}, "x", 0), 1);
    EXPECT_EQ(finished.str(),
              "The output of quillon-cli x could not be written: the stream failed.\n");
}

// main itself: argv, stdin, stdout, stderr and the exit code of the real program.
TEST_F(Cli, TheProgramRunsTheCommandsWithItsOwnStreams) {
    ASSERT_EQ(run({"solve", "points.txt", "--write", "north.ipt"}).exitCode, 0);
    write("pairs.txt", "8200,3000\n\n2900, 11200\r\n");

    const CliRun mapped = run_program("map north.ipt --to-survey <pairs.txt >stdout.txt");
    EXPECT_EQ(mapped.exitCode, 0) << mapped.err;
    EXPECT_EQ(mapped.err, "");
    EXPECT_EQ(mapped.out,
              run({"map", "north.ipt", "--to-survey"}, "8200,3000\n\n2900, 11200\r\n").out);
    EXPECT_EQ(count_lines(mapped.out), 2) << mapped.out;

    // A folder as stdin cannot be read: map refuses it rather than take it for no pairs.
    const CliRun unread = run_program("map north.ipt --to-survey <. >stdout.txt");
    EXPECT_EQ(unread.exitCode, 2);
    EXPECT_EQ(unread.out, "");
    EXPECT_EQ(unread.err, "The standard input could not be read.\n");

    if (fs::exists("/dev/full")) {
        const CliRun full = run_program("--help </dev/null >/dev/full");
        EXPECT_EQ(full.exitCode, 1);
        EXPECT_EQ(full.err,
                  "The output of quillon-cli --help could not be written: No space left on "
                  "device.\n");
    }
}
