#include "cli/command_table.h"

#include <algorithm>
#include <array>
#include <ostream>

#include "cli/cli_io.h"
#include "cli/commands.h"
#include "cli/pass_options.h"

namespace quillon::cli {

namespace {

int help_command(const CommandWords&, const CommandIo& io) {
    io.out << usage_text();
    return 0;
}

// Each command's options, in the order its usage gives them.
constexpr CommandOption solveOptions[] = {
    {"--write", "OUT.ipt"}, {"--description", "TEXT"}, {"--jump", "X,Y"}};
constexpr CommandOption mapOptions[] = {{"--to-survey", ""}, {"--to-screen", ""}};
constexpr CommandOption checkOptions[] = {{"--surface", "W,H"}};
constexpr CommandOption accuracyOptions[] = {{"--results", "DIR", true},
                                             {"--display", "detail|distance|level"},
                                             {"--surface", "W,H"},
                                             {"--now", "\"MM-DD-YYYY HH:MM:SS\""}};
constexpr CommandOption reportOptions[] = {
    {"--results", "DIR", true},
    disciplineOption,
    speedOption,
    lineOption,
    directionOption,
    {"--boat", "T"},
    {"--model", "T"},
    {"--driver", "T"},
    {"--skier", "T"},
    {"--tournament", "T"},
    {"--location", "T"},
    {"--date", "T"},
    {"--number", "T"},
    {"--split", "T"},
    {"--full", "T"},
    {"--comment", "T"},
    {"--now", "\"MM-DD-YYYY HH:MM:SS\""},
    {"--pdf", "OUT.pdf"},
    {"--csv", "OUT.csv"},
    {"--setup", "SETUP.ipt"},
    {"--zones", ""},
    {"--zone-length", "2..10"},
    {"--limit", "METRES"},
    {"--buoy1", "left|right"},
    {"--video", "FILE"},
    {"--video-start", "SECONDS"},
    {"--measured-by", "hand|auto"},
    {"--untracked", "36,61-63"},
    {"--detail", "FILE.csv"},
};
constexpr CommandOption readResultsOptions[] = {disciplineOption};
constexpr CommandOption trackOptions[] = {
    {"--setup", "SETUP.ipt", true},
    {"--start-time", "SECONDS", true},
    {"--mark", "X,Y", true},
    disciplineOption,
    speedOption,
    directionOption,
    {"--surface", "W,H"},
    {"--annotate", "OUT.mp4"},
    {"--detail", "SAMPLES.csv"},
};

// A new subcommand is one row here, with its options above, plus its handler in a file of its
// own (declared in cli/commands.h, listed in cli/CMakeLists.txt).
constexpr std::array<Subcommand, 10> table{{
    {{"solve", "quillon-cli solve POINTS [--write OUT.ipt [--description TEXT] [--jump X,Y]]",
      "a POINTS file", solveOptions},
     solve_command},
    {{"map", "quillon-cli map SETUP.ipt --to-survey|--to-screen   (pairs a,b on stdin)",
      "a setup file", mapOptions},
     map_command},
    {{"check", "quillon-cli check SETUP.ipt [--surface W,H]", "a setup file", checkOptions},
     check_command},
    {{"accuracy",
      "quillon-cli accuracy SETUP.ipt --results DIR [--display detail|distance|level]\n"
      "[--surface W,H] [--now \"MM-DD-YYYY HH:MM:SS\"]",
      "a setup file", accuracyOptions},
     accuracy_command},
    {{"report",
      "quillon-cli report SAMPLES --results DIR [--discipline slalom|jump] [--speed KMH]\n"
      "[--line METRES] [--direction towards|away] [--boat T] [--model T]\n"
      "[--driver T] [--skier T] [--tournament T] [--location T] [--date T]\n"
      "[--number T] [--split T] [--full T] [--comment T]\n"
      "[--now \"MM-DD-YYYY HH:MM:SS\"] [--pdf OUT.pdf] [--csv OUT.csv]\n"
      "[--setup SETUP.ipt] [--zones] [--zone-length 2..10] [--limit METRES]\n"
      "[--buoy1 left|right] [--video FILE [--video-start SECONDS]]\n"
      "[--measured-by hand|auto [--untracked 36,61-63]] [--detail FILE.csv]",
      "a SAMPLES file", reportOptions},
     report_command},
    {{"read-results", "quillon-cli read-results FILE [--discipline slalom|jump]",
      "a saved report FILE", readResultsOptions},
     read_results_command},
    {{"track",
      "quillon-cli track VIDEO --setup SETUP.ipt --start-time SECONDS --mark X,Y\n"
      "[--discipline slalom|jump] [--speed KMH] [--direction towards|away]\n"
      "[--surface W,H] [--annotate OUT.mp4] [--detail SAMPLES.csv]",
      "a VIDEO file", trackOptions},
     track_command},
    {{"--help", "", "", {}}, help_command},
    {{"-h", "", "", {}}, help_command},
    {{"help", "", "", {}}, help_command},
}};

constexpr std::string_view exitCodes =
    "Exit codes: 0 done, 1 output lost (stdout could not be written, or for report a log\n"
    "file), 2 bad input (one-line message on stderr); track: 3 when the mark was lost for\n"
    "some samples.\n";

// The row named by the first word; refuses a missing or unknown name.
const Subcommand& command_of(const std::vector<std::string>& words) {
    if (words.empty()) {
        refuse("No command given.");
    }
    const auto found = std::find_if(table.begin(), table.end(),
                                    [&](const Subcommand& c) { return c.name == words.front(); });
    if (found == table.end()) {
        refuse(joined({"Unknown command \"", words.front(), "\"."}));
    }
    return *found;
}

// A usage broken into lines, each continuation line lined up under the first word after
// "quillon-cli NAME".
std::string usage_block(std::string_view usage) {
    std::string text;
    const std::string continued(2 + usage.find(' ', usage.find(' ') + 1) + 1, ' ');
    std::size_t start = 0;
    while (start < usage.size()) {
        const auto end = std::min(usage.find('\n', start), usage.size());
        text += start == 0 ? "  " : continued;
        text += usage.substr(start, end - start);
        text += '\n';
        start = end + 1;
    }
    return text;
}

}  // namespace

std::span<const Subcommand> subcommands() {
    return table;
}

std::string usage_text() {
    std::string text = "Usage:\n";
    for (const Subcommand& command : table) {
        if (!command.usage.empty()) {
            text += usage_block(command.usage);
        }
    }
    text += exitCodes;
    return text;
}

std::string command_help(const Subcommand& command) {
    return joined({"Usage:\n", usage_block(command.usage), exitCodes});
}

int run_command(const std::vector<std::string>& words, const CommandIo& io) {
    std::string_view name = words.empty() ? std::string_view() : words.front();
    const int code = run_guarded(io, [&] {
        const Subcommand& command = command_of(words);
        name = command.name;
        if (command.usage.empty()) {
            return command.run(CommandWords(), io);
        }
        const CommandWords given =
            read_words(std::vector<std::string>(words.begin() + 1, words.end()), command);
        if (given.help()) {
            io.out << command_help(command);
            return 0;
        }
        return command.run(given, io);
    });
    return finish_output(io, name, code);
}

}  // namespace quillon::cli
