#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using quillon::app::answer_command_line;

namespace {

std::optional<quillon::app::CommandLineAnswer> answer(std::vector<const char*> words) {
    words.insert(words.begin(), "quillon");
    return answer_command_line(static_cast<int>(words.size()), words.data(), "16.0");
}

}  // namespace

TEST(QuillonCommandLine, AnswersHelpAndVersionAndLeavesQtItsOwnOptions) {
    struct Case {
        std::vector<const char*> words;
        bool answered;
        int exitCode;
        const char* outStart;
    };
    for (const Case& c : {
             Case{{}, false, 0, ""},
             Case{{"-platform", "offscreen"}, false, 0, ""},
             Case{{"--help"}, true, 0, "Usage: quillon [--help] [--version]\n"},
             Case{{"-h"}, true, 0, "Usage: quillon"},
             Case{{"--version"}, true, 0, "quillon 16.0\n"},
             Case{{"--verbose"}, true, 2, ""},
         }) {
        const auto a = answer(c.words);
        ASSERT_EQ(a.has_value(), c.answered) << (c.words.empty() ? "" : c.words[0]);
        if (a) {
            EXPECT_EQ(a->exitCode, c.exitCode);
            EXPECT_EQ(a->out.rfind(c.outStart, 0), 0U) << a->out;
            EXPECT_EQ(a->err.empty(), c.exitCode == 0) << a->err;
        }
    }
    EXPECT_EQ(answer({"--verbose"})->err.rfind("quillon: unknown option \"--verbose\"\n", 0), 0U);
}

// help2man makes the manual page from this, on build machines that have no display.
TEST(QuillonCommandLine, HelpNeedsNoDisplay) {
    const std::string command =
        std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \"") + QUILLON_APP_PATH +
        "\" --help";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        out += buffer;
    }
    EXPECT_EQ(pclose(pipe), 0);
    EXPECT_EQ(out.rfind("Usage: quillon", 0), 0U) << out;
}
