// The one command-line design: every command's words are read by its row of the command table,
// and the same bad word gets the same one-line refusal from every command that takes it.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cli/cli_io.h"
#include "cli/command_table.h"
#include "cli_runs.h"

namespace {

using quillon::cli::Subcommand;
using quillon::test_support::run_cli;

bool takes(const Subcommand& command, std::string_view option) {
    return std::any_of(command.options.begin(), command.options.end(),
                       [&](const auto& known) { return known.name == option; });
}

// The command with an input that need not exist and a value for each required option: enough
// for the words to be read, so that the word under test is the first thing refused.
std::vector<std::string> words_for(const Subcommand& command) {
    std::vector<std::string> words{std::string(command.name), "input-that-is-not-there"};
    for (const auto& known : command.options) {
        if (known.required) {
            words.emplace_back(known.name);
            words.emplace_back("not-there");
        }
    }
    return words;
}

TEST(CliOptions, EveryCommandRefusesTheSameBadWordWithTheSameLine) {
    const struct {
        std::vector<std::string> words;  // the option and its value
        std::string err;
    } rows[] = {
        {{"--bogus"}, "Unknown option \"--bogus\". Run quillon-cli --help for the usage.\n"},
        {{"--now", "02-31-2026 10:00:00"},
         "--now must be a date and time \"MM-DD-YYYY HH:MM:SS\", not \"02-31-2026 10:00:00\".\n"},
        {{"--now", "13-01-2026 00:00:00"},
         "--now must be a date and time \"MM-DD-YYYY HH:MM:SS\", not \"13-01-2026 00:00:00\".\n"},
        {{"--discipline", "ski"}, "--discipline must be slalom or jump, not \"ski\".\n"},
        {{"--speed", "57"},
         "--speed must be one of the slalom speeds 58, 55, 52, 49, 46 (km/h), not \"57\".\n"},
        {{"--direction", "sideways"}, "--direction must be towards or away, not \"sideways\".\n"},
    };
    for (const auto& row : rows) {
        int commands = 0;
        for (const Subcommand& command : quillon::cli::subcommands()) {
            if (command.usage.empty() || (row.words.size() > 1 && !takes(command, row.words[0]))) {
                continue;
            }
            ++commands;
            std::vector<std::string> words = words_for(command);
            words.insert(words.end(), row.words.begin(), row.words.end());
            const auto refused = run_cli(words);
            EXPECT_EQ(refused.exitCode, 2) << command.name << " " << row.words[0];
            EXPECT_EQ(refused.out, "") << command.name;
            EXPECT_EQ(refused.err, row.err) << command.name;
        }
        EXPECT_GE(commands, 2) << row.words[0];
    }
}

TEST(CliOptions, EveryCommandRefusesItsWordsAlikeAndShowsItsOwnHelp) {
    for (const Subcommand& command : quillon::cli::subcommands()) {
        if (command.usage.empty()) {
            continue;
        }
        const std::string name(command.name);
        const auto help = run_cli({name, "--help"});
        EXPECT_EQ(help.exitCode, 0) << name;
        EXPECT_EQ(help.err, "") << name;
        EXPECT_EQ(help.out, quillon::cli::command_help(command)) << name;
        EXPECT_TRUE(help.out.starts_with("Usage:\n  quillon-cli " + name + " ")) << help.out;

        const auto bare = run_cli({name});
        EXPECT_EQ(bare.exitCode, 2) << name;
        EXPECT_EQ(bare.err, quillon::cli::message_line(usage_line(command))) << name;

        const auto twice = run_cli({name, "a", "b"});
        EXPECT_EQ(twice.exitCode, 2) << name;
        EXPECT_TRUE(twice.err.starts_with("The command " + name + " takes one ")) << twice.err;

        for (const auto& known : command.options) {
            // The usage names every option the row takes, with its value.
            EXPECT_NE(command.usage.find(std::string(known.name)), std::string::npos) << known.name;
            std::vector<std::string> words = words_for(command);
            words.emplace_back(known.name);
            if (!known.value.empty()) {
                const auto missing = run_cli(words);
                EXPECT_EQ(missing.exitCode, 2) << name << " " << known.name;
                EXPECT_EQ(missing.err,
                          "The option " + std::string(known.name) +
                              " needs a value. Run quillon-cli --help for the usage.\n");
                words.emplace_back("v");
            }
            if (known.required) {
                continue;  // given once already by words_for
            }
            const std::vector<std::string> once(words.end() - (known.value.empty() ? 1 : 2),
                                                words.end());
            words.insert(words.end(), once.begin(), once.end());
            const auto repeated = run_cli(words);
            EXPECT_EQ(repeated.exitCode, 2) << name << " " << known.name;
            EXPECT_EQ(repeated.err, "The option " + std::string(known.name) +
                                        " is given twice. Run quillon-cli --help for the usage.\n");
        }
        // ... and every option the usage names is in the row.
        for (std::size_t at = command.usage.find("--"); at != std::string::npos;
             at = command.usage.find("--", at + 2)) {
            const auto end = command.usage.find_first_of(" ]|\n", at);
            EXPECT_TRUE(takes(command, command.usage.substr(at, end - at)))
                << name << ": " << command.usage.substr(at, end - at);
        }
    }
}

}  // namespace
