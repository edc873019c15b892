// Bad inputs that once got a wrong answer, a lost file or a hang from quillon-cli, one table per
// command family: each is refused in one plain line, with the right exit code, before any file
// is touched.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "cli/cli_io.h"
#include "cli/cli_runs.h"
#include "cli/command_table.h"
#include "cli/output_paths.h"
#include "cli/results/dossier_writer.h"
#include "support/temp_folder.h"
#include "text/text_file.h"

namespace fs = std::filesystem;
using namespace quillon;
using test_support::CliRun;
using test_support::run_cli;
using test_support::samples_text;
using test_support::shell_quoted;

namespace {

// Every file under a folder with its size and (up to a megabyte) its bytes, to show that
// nothing was written.
std::map<std::string, std::string> contents_of(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (fs::is_regular_file(entry.symlink_status())) {
            const std::string name = entry.path().string();
            const auto size = fs::file_size(entry.path());
            files[name] = std::to_string(size) + ":" +
                          (size < 1'000'000 ? text::read_file(name).bytes : std::string());
        }
    }
    return files;
}

// One line, printable ASCII, ended by a line end.
bool one_plain_line(const std::string& text) {
    return !text.empty() && text.back() == '\n' &&
           std::all_of(text.begin(), text.end() - 1, [](char c) { return c >= 0x20 && c < 0x7f; });
}

// The samples of a slalom pass at 58 km/h with line 5 replaced.
std::string samples_with_line_5(const std::string& value) {
    std::string text = samples_text(4);
    text += value;
    text += '\n';
    text += samples_text(157);
    return text;
}

// A dossier writer for the in-process runs while it lives: the report command then takes --pdf.
struct FakePdfWriter {
    FakePdfWriter() { cli::set_dossier_pdf_writer(&write); }
    ~FakePdfWriter() { cli::set_dossier_pdf_writer(nullptr); }
    static text::FileStatus write(const std::string& path, const dossier::DossierContent&) {
        return text::replace_file(path, "%PDF-1.4\n");
    }
};

class CliRobustness : public test_support::InTempFolder {
  protected:
    void SetUp() override {
        write("points.txt", test_support::cornerPoints);
        ASSERT_EQ(run_cli({"solve", path("points.txt"), "--write", path("north.ipt")}).exitCode, 0);
        write("s.txt", samples_text(162));
        fs::create_directory(path("res"));
        fs::create_directory(path("folder"));
        ASSERT_EQ(mkfifo(path("pipe").c_str(), 0644), 0);
    }

    void write(const std::string& name, const std::string& content) const {
        ASSERT_TRUE(text::replace_file(path(name), content));
    }

    // A row of a table: the words after quillon-cli, in the test's folder.
    struct Refusal {
        std::vector<std::string> words;
        std::string message;  // found in the one stderr line
        std::string input = "";
    };

    // Runs each row in-process: exit code 2, nothing on stdout, one plain stderr line holding
    // the message, and no file of the test's folder changed or added.
    void expect_refused(const std::vector<Refusal>& rows) const {
        for (const Refusal& row : rows) {
            const auto before = contents_of(folder.str());
            const CliRun run = run_cli(row.words, row.input);
            const std::string shown = row.words.front() + " ... " + row.words.back();
            EXPECT_EQ(run.exitCode, 2) << shown;
            EXPECT_EQ(run.out, "") << shown;
            EXPECT_TRUE(one_plain_line(run.err)) << shown << "\n" << run.err;
            EXPECT_NE(run.err.find(row.message), std::string::npos) << shown << "\n" << run.err;
            EXPECT_EQ(contents_of(folder.str()), before) << shown;
        }
    }
};

}  // namespace

TEST_F(CliRobustness, ReportAndReadResultsRefuseWhatTheyCannotTrust) {
    const std::string now = "12-06-2026 14:05:09";
    const std::vector<std::string> pass = {"report",    path("s.txt"), "--results",
                                           path("res"), "--now",       now};
    const auto report = [&](std::vector<std::string> more) {
        std::vector<std::string> words = pass;
        words.insert(words.end(), more.begin(), more.end());
        return words;
    };
    ASSERT_EQ(run_cli(pass).exitCode, 0);  // the day's result and database logs exist now
    fs::create_hard_link(path("s.txt"), path("s-link.txt"));
    fs::create_hard_link(path("s.txt"), path("res/acc1208.txt"));
    for (const char* value : {"1e308", "-1e300", "1234567", "10.001"}) {
        write(std::string("far ") + value + ".txt", samples_with_line_5(value));
    }
    write("bytes.txt", "\xff\xfe\x01-.1\n" + samples_text(161));
    ASSERT_EQ(fs::copy_file(path("s.txt"), path("huge.txt")), true);
    fs::resize_file(path("huge.txt"), 300'000'000);  // sparse: nothing written to the disk
    const FakePdfWriter pdfWriter;

    expect_refused({
        // Samples that no pass can hold, with the line that holds them.
        {{"report", path("far 1e308.txt"), "--results", path("res")},
         "line 5 of " + path("far 1e308.txt") + " holds a deviation beyond 10 m"},
        {{"report", path("far -1e300.txt"), "--results", path("res")}, "beyond 10 m"},
        {{"report", path("far 1234567.txt"), "--results", path("res")}, "beyond 10 m"},
        {{"report", path("far 10.001.txt"), "--results", path("res")}, "beyond 10 m"},
        {{"report", path("bytes.txt"), "--results", path("res")},
         "line 1 of " + path("bytes.txt") + " is not a deviation"},
        // Inputs and logs are never outputs: by name, by a second name, before they exist.
        {report({"--csv", path("s.txt")}), "--csv \"" + path("s.txt") + "\" is the samples file"},
        {report({"--csv", path("s-link.txt")}), "is the samples file"},
        {report({"--csv", path("res/ResultLog1206.txt")}), "is the day's result log"},
        {report({"--csv", path("res/./dbResultLog1206.txt")}), "is the day's database log"},
        {report({"--pdf", path("res/originalmeasurements.txt")}), "is the analysis log"},
        {report({"--csv", path("res/results_file.txt")}), "is the set-up log"},
        {report({"--csv", path("res/acc1206.txt")}), "is the day's accuracy report"},
        {{"report", path("s.txt"), "--results", path("res"), "--now", "12-07-2026 09:00:00",
          "--csv", path("res/ResultLog1207.txt")},
         "is the day's result log"},
        {report({"--csv", path("out.csv"), "--pdf", path("./out.csv")}),
         "--pdf \"" + path("./out.csv") + "\" and --csv \"" + path("out.csv") +
             "\" are the same file"},
        {report({"--setup", path("north.ipt"), "--csv", path("north.ipt")}),
         "is the setup file of --setup"},
        // Nor is a log an input, whatever its name.
        {{"report", path("s-link.txt"), "--results", path("res"), "--now", "12-08-2026 10:00:00"},
         "the samples file \"" + path("s-link.txt") + "\" is the day's accuracy report \"" +
             path("res") + "/acc1208.txt\": a log is never read as an input."},
        // An output that cannot be opened says why.
        {report({"--csv", path("folder")}), "--csv: \"" + path("folder") + "\" is a folder"},
        {report({"--csv", path("missing/x.csv")}),
         "--csv: the folder \"" + path("missing") + "\" does not exist."},
        {report({"--pdf", path("s.txt/x.pdf")}), "\"" + path("s.txt") + "\" is not a folder."},
        {report({"--csv", path("pipe")}), "is a pipe or a socket, not a file."},
        // Inputs that would hang the reader.
        {{"report", path("pipe"), "--results", path("res")},
         "cannot read " + path("pipe") + ": Not a regular file"},
        {report({"--setup", path("pipe")}), "Not a regular file"},
        // Texts that the logs cannot keep, and names with line breaks in the message.
        {report({"--skier", "Ann\nLee"}), "--skier holds a line break"},
        {report({"--skier", "Ann|Lee"}), "--skier holds the field separator \"|\""},
        {report({"--comment", "calm|windy"}), "--comment holds the field separator"},
        {report({"--number", "7\r"}), "--number holds a line break"},
        {report({"--driver", "Bo\x1b[2J"}), "--driver holds a control character"},
        {report({"--tournament", "Cup\nFinal"}), "--tournament holds a line break"},
        {{"report", path("s.txt"), "--results", "no\nsuch\xff"},
         "the results folder \"no\\nsuch\\xFF\" is not a folder"},
        // read-results: a pipe, a huge file, a name with a line break.
        {{"read-results", path("pipe")}, "Unexpected error #75 occurred: Path/File access error"},
        {{"read-results", path("huge.txt")},
         "The file \"" + path("huge.txt") + "\" is too large to be a saved pass report."},
        {{"read-results", "no\nsuch"}, "Unexpected error #53 occurred: File not found"},
    });

    // What a pass can hold is taken, to 10 m either side; a "|" is no field separator outside
    // the database record.
    write("edges.txt", samples_text(4) + "-10\n" + samples_text(156) + "10\n");
    const CliRun edges = run_cli({"report", path("edges.txt"), "--results", path("res"),
                                  "--tournament", "Cup|Final", "--csv", path("edges.csv")});
    EXPECT_EQ(edges.exitCode, 0) << edges.err;
    EXPECT_NE(edges.out.find("Tournament: Cup|Final\r\n"), std::string::npos);
}

TEST_F(CliRobustness, CalibrationCommandsRefuseWhatTheyCannotTrust) {
    fs::create_hard_link(path("points.txt"), path("points-link.txt"));
    fs::copy_file(path("north.ipt"), path("res/results_file.txt"));
    write("picture.ipt", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR, \xff\xfe", 20));
    const std::string points = path("points.txt");
    expect_refused({
        {{"solve", points, "--write", points},
         "--write \"" + points + "\" is the POINTS file \"" + points + "\""},
        {{"solve", points, "--write", path("points-link.txt")}, "is the POINTS file"},
        {{"solve", points, "--write", path("folder")}, "is a folder, not a file."},
        {{"solve", points, "--write", path("pipe")}, "is a pipe or a socket"},
        {{"solve", points, "--write", path("missing/x.ipt")}, "does not exist."},
        {{"solve", points, "--write", path("x.ipt"), "--description", "North\nlake"},
         "--description holds a line break"},
        {{"solve", points, "--write", path("x.ipt"), "--description", "North\tlake"},
         "--description holds a control character"},
        {{"solve", points, "--write", path("x\n.ipt")}, "--write: the name holds a line break"},
        {{"solve", path("pipe")}, "Not a regular file"},
        {{"map", path("pipe"), "--to-survey"}, "Not a regular file"},
        {{"check", "/dev/zero"}, "Setup file \"/dev/zero\" cannot be read: Not a regular file"},
        {{"check", path("picture.ipt")}, "cannot be used: it is not a text file"},
        {{"accuracy", path("picture.ipt"), "--results", path("res")}, "it is not a text file"},
        {{"accuracy", path("res/results_file.txt"), "--results", path("res")},
         "the setup file \"" + path("res/results_file.txt") + "\" is the set-up log"},
        {{"map", path("north.ipt"), "--to-survey"},
         "stdin line 2: \"\\xFF\\xFE\" is not a number.",
         "1,2\n\xff\xfe\n"},
    });
    // The binary setup file's message blames no comma.
    EXPECT_EQ(run_cli({"check", path("picture.ipt")}).err.find("comma"), std::string::npos);
}

// stdin is read to 64 MiB at most: /dev/zero is refused, not read until memory runs out.
TEST_F(CliRobustness, StdinStopsAtItsLimit) {
    const CliRun zeros = test_support::run_shell(
        shell_quoted(QUILLON_CLI_PATH) + " map " + shell_quoted(path("north.ipt")) +
            " --to-survey </dev/zero >stdout.txt 2>stderr.txt",
        folder.str());
    EXPECT_EQ(zeros.exitCode, 2);
    EXPECT_EQ(zeros.out, "");
    EXPECT_EQ(zeros.err,
              "The standard input holds more than 64 MiB: it is refused without reading "
              "further.\n");

    std::istringstream in(std::string(1000, '1'));
    EXPECT_THROW(cli::read_all(in, 999), cli::BadInput);
    std::istringstream fits(std::string(1000, '1'));
    EXPECT_EQ(cli::read_all(fits, 1000).size(), 1000u);
}

// Output that stdout did not take (a full disk) is exit code 1 and one line naming the cause,
// for every command, in-process and in the real program.
TEST_F(CliRobustness, EveryCommandSaysWhenItsOutputWasLost) {
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "SKIPPED: this machine has no /dev/full";
    }
    const auto made = run_cli({"report", path("s.txt"), "--results", path("res")});
    ASSERT_EQ(made.exitCode, 0);
    write("pairs.txt", "8200,3000\n");
    write("saved.txt", "Slalom Pass Results\r\nFrame  0   Course Position: 000.0   Deviation: .1");
    const std::vector<std::vector<std::string>> commands = {
        {"--help"},
        {"solve", path("points.txt")},
        {"map", path("north.ipt"), "--to-survey"},
        {"check", path("north.ipt")},
        {"accuracy", path("north.ipt"), "--results", path("res")},
        {"report", path("s.txt"), "--results", path("res")},
        {"read-results", path("saved.txt")},
    };
    for (const auto& words : commands) {
        const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
        ASSERT_GE(full, 0);
        cli::DescriptorOutput buffer(full);
        std::ostream out(&buffer);
        std::istringstream in("8200,3000\n");
        std::ostringstream err;
        const int code = cli::run_command(words, {in, out, err});
        close(full);
        EXPECT_EQ(code, 1) << words.front();
        EXPECT_EQ(err.str(), cli::message_line("The output of quillon-cli " + words.front() +
                                               " could not be written: " +
                                               std::generic_category().message(ENOSPC) + "."))
            << words.front();
    }

    // The real program, in its own locale: the system's words in English.
    for (const std::string command :
         {"map north.ipt --to-survey <pairs.txt", "check north.ipt </dev/null",
          "report s.txt --results res </dev/null", "read-results saved.txt </dev/null"}) {
        const CliRun run = test_support::run_shell(
            shell_quoted(QUILLON_CLI_PATH) + " " + command + " >/dev/full 2>stderr.txt",
            folder.str());
        EXPECT_EQ(run.exitCode, 1) << command;
        const std::string name = command.substr(0, command.find(' '));
        EXPECT_EQ(run.err, "The output of quillon-cli " + name +
                               " could not be written: No space left on device.\n")
            << command;
    }

    // A real full disk: a tmpfs of 8 KiB in a user namespace of its own, which the report's
    // 11 KB do not fit.
    fs::create_directory(path("small"));
    const CliRun small = test_support::run_shell(
        "unshare -rm sh -c " +
            shell_quoted("mount -t tmpfs -o size=8k tmpfs small || exit 99; " +
                         shell_quoted(QUILLON_CLI_PATH) +
                         " report s.txt --results res >small/out.txt 2>stderr.txt") +
            " 2>/dev/null",
        folder.str());
    if (small.exitCode == 99 || (small.exitCode == 1 && small.err.empty())) {
        GTEST_SKIP() << "SKIPPED: this machine allows no tmpfs in a user namespace";
    }
    EXPECT_EQ(small.exitCode, 1);
    EXPECT_EQ(small.err,
              "The output of quillon-cli report could not be written: No space left on device.\n");
}

// Permissions hold for a user who is not root: a read-only file or folder is refused, not
// replaced, and a file replaced keeps its mode.
TEST_F(CliRobustness, ReadOnlyOutputsAreRefusedForAnUnprivilegedUser) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "SKIPPED: dropping to user nobody needs root";
    }
    // The test's folder is private (0700): nobody may look into it, not write in it.
    fs::permissions(folder.str(), fs::perms::owner_all | fs::perms::group_read |
                                      fs::perms::group_exec | fs::perms::others_read |
                                      fs::perms::others_exec);
    const std::string home = path("nobody");
    fs::create_directory(home);
    fs::permissions(home, fs::perms::all);
    fs::permissions(path("res"), fs::perms::all);
    const auto owned_by_nobody = [&](const std::string& name, fs::perms mode) {
        ASSERT_EQ(chown(path(name).c_str(), 65534, 65534), 0);
        fs::permissions(path(name), mode);
    };
    write("nobody/ro.csv", "kept\r\n");
    owned_by_nobody("nobody/ro.csv", fs::perms::owner_read | fs::perms::group_read);
    write("nobody/ro.ipt", "kept\r\n");
    owned_by_nobody("nobody/ro.ipt", fs::perms::owner_read);
    write("nobody/private.csv", "old\r\n");
    owned_by_nobody("nobody/private.csv",
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_directory(path("nobody/ro-folder"));
    owned_by_nobody("nobody/ro-folder", fs::perms::owner_read | fs::perms::owner_exec);

    const auto as_nobody = [&](const std::string& arguments) {
        return test_support::run_shell("setpriv --reuid=nobody --regid=nogroup --clear-groups " +
                                           shell_quoted(QUILLON_CLI_PATH) + " " + arguments +
                                           " 2>nobody/stderr.txt",
                                       folder.str());
    };
    const bool runs = as_nobody("--help >/dev/null").exitCode == 0;
    fs::remove(path("nobody/stderr.txt"));
    if (!runs) {
        GTEST_SKIP() << "SKIPPED: setpriv cannot run quillon-cli as nobody here";
    }
    const struct {
        std::string arguments;
        std::string message;
    } rows[] = {
        {"report s.txt --results res --csv nobody/ro.csv",
         "--csv: \"nobody/ro.csv\" is read-only (Permission denied).\n"},
        {"report s.txt --results res --csv nobody/ro-folder/x.csv",
         "--csv: the folder \"nobody/ro-folder\" is read-only (Permission "
         "denied).\n"},
        {"solve points.txt --write nobody/ro.ipt",
         "--write: \"nobody/ro.ipt\" is read-only (Permission denied).\n"},
    };
    for (const auto& row : rows) {
        const auto before = contents_of(folder.str());
        const CliRun run = as_nobody(row.arguments);
        EXPECT_EQ(run.exitCode, 2) << row.arguments;
        EXPECT_EQ(text::read_file(path("nobody/stderr.txt")).bytes, row.message);
        fs::remove(path("nobody/stderr.txt"));
        EXPECT_EQ(contents_of(folder.str()), before) << row.arguments;
    }
    EXPECT_EQ(fs::status(path("nobody/ro.csv")).permissions(),
              fs::perms::owner_read | fs::perms::group_read);

    const CliRun replaced = as_nobody("report s.txt --results res --csv nobody/private.csv");
    EXPECT_EQ(replaced.exitCode, 0) << text::read_file(path("nobody/stderr.txt")).bytes;
    EXPECT_TRUE(text::read_file(path("nobody/private.csv")).bytes.starts_with("sample,"));
    EXPECT_EQ(fs::status(path("nobody/private.csv")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// The two checks every output option goes through (track's --annotate and --detail too): which
// names are one file, and which outputs cannot be opened.
TEST_F(CliRobustness, OutputChecksCompareFilesNotNames) {
    fs::create_hard_link(path("s.txt"), path("hard.txt"));
    fs::create_symlink(path("s.txt"), path("soft.txt"));
    write("other.txt", samples_text(162));
    const struct {
        std::string input;
        std::string output;
        bool same;
    } pairs[] = {
        {path("s.txt"), path("s.txt"), true},
        {path("s.txt"), path("./s.txt"), true},
        {path("s.txt"), path("folder/../s.txt"), true},
        {path("s.txt"), path("hard.txt"), true},
        {path("s.txt"), path("soft.txt"), true},
        {path("s.txt"), path("other.txt"), false},
        {path("new.csv"), path("folder/../new.csv"), true},  // neither exists yet
        {path("new.csv"), path("folder/new.csv"), false},
        {path("new.csv"), path("missing/new.csv"), false},  // check_output_file refuses it
    };
    for (const auto& pair : pairs) {
        const cli::CommandFiles files{{{"the input", pair.input}}, {{"--out", pair.output}}, {}};
        bool refused = false;
        try {
            cli::refuse_shared_files(files);
        } catch (const cli::BadInput&) {
            refused = true;
        }
        EXPECT_EQ(refused, pair.same) << pair.input << " / " << pair.output;
    }

    const struct {
        std::string path;
        std::string refusal;  // empty when the output can be written
    } outputs[] = {
        {path("new.csv"), ""},
        {path("s.txt"), ""},
        {"/dev/null", ""},
        {"", "--out needs a file name."},
        {path("folder"), "--out: \"" + path("folder") + "\" is a folder, not a file."},
        {path("folder/"), "--out: \"" + path("folder/") + "\" is a folder, not a file."},
        {path("new/"), "--out: \"" + path("new/") + "\" names a folder, not a file."},
        {path("pipe"), "--out: \"" + path("pipe") + "\" is a pipe or a socket, not a file."},
        {path("missing/x"), "--out: the folder \"" + path("missing") + "\" does not exist."},
        {path("s.txt/x"), "--out: \"" + path("s.txt") + "\" is not a folder."},
        {path("s.txt/a/x"), "--out: \"" + path("s.txt/a") + "\" is not a folder."},
    };
    for (const auto& output : outputs) {
        std::string refusal;
        try {
            cli::check_output_file({"--out", output.path});
        } catch (const cli::BadInput& bad) {
            refusal = bad.what();
        }
        EXPECT_EQ(refusal, output.refusal) << output.path;
    }
}
