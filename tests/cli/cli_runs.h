#pragma once

// Running quillon-cli from the tests: in-process through the command table, or the real
// program through the shell.

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/command_table.h"
#include "text/number_text.h"
#include "text/text_file.h"

namespace quillon::test_support {

// COUNT deviations, one per line: k / 100 - .3, wrapping after .29.
inline std::string samples_text(int count, const char* lineEnd = "\n") {
    std::string text;
    for (int k = 0; k < count; ++k) {
        text += text::number_text((k % 60) / 100.0 - 0.3);
        text += lineEnd;
    }
    return text;
}

// The four reference points of a POINTS file for `solve`, CR LF line ends.
inline constexpr const char* cornerPoints =
    "8200,3000,0,0\r\n12300,11000,0,-259\r\n7100,3050,2.5,0\r\n2900,11200,2.5,-259\r\n";

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs quillon-cli WORDS... in-process with INPUT on stdin.
inline CliRun run_cli(const std::vector<std::string>& words, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const int exitCode = cli::run_command(words, {in, out, err});
    return {exitCode, out.str(), err.str()};
}

// The text as one word of a shell command.
inline std::string shell_quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    quoted += "'";
    return quoted;
}

// Runs a shell command in FOLDER; stdout and stderr are whatever the command's own
// redirections leave in FOLDER/stdout.txt and FOLDER/stderr.txt (empty when it leaves none).
inline CliRun run_shell(const std::string& command, const std::string& folder) {
    namespace fs = std::filesystem;
    const std::string out = folder + "/stdout.txt";
    const std::string err = folder + "/stderr.txt";
    fs::remove(out);
    fs::remove(err);
    const int status = std::system(("cd " + shell_quoted(folder) + " && " + command).c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1,
            fs::exists(out) ? text::read_file(out).bytes : "",
            fs::exists(err) ? text::read_file(err).bytes : ""};
}

}  // namespace quillon::test_support
