#include "cli/command_table.h"

#include <algorithm>
#include <array>

#include "cli/cli_io.h"
#include "cli/commands.h"

namespace quillon::cli {

namespace {

int help_command(const std::vector<std::string>&, const CommandIo& io) {
    return run_printing(io, [] { return usage_text(); });
}

// A new subcommand is one row here plus its handler in a file of its own (declared in
// cli/commands.h, listed in cli/CMakeLists.txt).
constexpr std::array table{
    Subcommand{"solve",
               "quillon-cli solve POINTS [--write OUT.ipt [--description TEXT] [--jump X,Y]]",
               solve_command},
    Subcommand{"map", "quillon-cli map SETUP.ipt --to-survey|--to-screen   (pairs a,b on stdin)",
               map_command},
    Subcommand{"check", "quillon-cli check SETUP.ipt [--screen-width PX]", check_command},
    Subcommand{"accuracy",
               "quillon-cli accuracy SETUP.ipt --results DIR [--display detail|distance|level]\n"
               "[--screen-width PX] [--now \"MM-DD-YYYY HH:MM:SS\"]",
               accuracy_command},
    Subcommand{"report",
               "quillon-cli report SAMPLES --results DIR [--discipline slalom|jump] [--speed KMH]\n"
               "[--line METRES] [--direction towards|away] [--boat T] [--model T]\n"
               "[--driver T] [--skier T] [--tournament T] [--location T] [--date T]\n"
               "[--number T] [--split T] [--full T] [--comment T]\n"
               "[--now \"MM-DD-YYYY HH:MM:SS\"] [--pdf OUT.pdf] [--csv OUT.csv]\n"
               "[--setup SETUP.ipt] [--zones] [--zone-length 2..10] [--limit METRES]\n"
               "[--buoy1 left|right] [--video FILE [--video-start SECONDS]]\n"
               "[--measured-by hand|auto [--untracked 36,61-63]] [--detail FILE.csv]",
               report_command},
    Subcommand{"read-results", "quillon-cli read-results FILE [--discipline slalom|jump]",
               read_results_command},
    Subcommand{"track",
               "quillon-cli track VIDEO --setup SETUP.ipt --start-time SECONDS --mark X,Y\n"
               "[--discipline slalom|jump] [--speed KMH] [--direction towards|away]\n"
               "[--surface W,H] [--annotate OUT.mp4] [--detail SAMPLES.csv]",
               track_command},
    Subcommand{"--help", "", help_command},
    Subcommand{"-h", "", help_command},
    Subcommand{"help", "", help_command},
};

constexpr std::string_view exitCodes =
    "Exit codes: 0 done, 1 output lost (stdout could not be written, or for report a log\n"
    "file), 2 bad input (one-line message on stderr); track: 3 when the mark was lost for\n"
    "some samples.\n";

// The handler named by the first word; refuses a missing or unknown name.
CommandHandler handler_of(const std::vector<std::string>& words) {
    if (words.empty()) {
        refuse("No command given.");
    }
    const auto found = std::find_if(table.begin(), table.end(),
                                    [&](const Subcommand& c) { return c.name == words.front(); });
    if (found == table.end()) {
        refuse(joined({"Unknown command \"", words.front(), "\"."}));
    }
    return found->run;
}

}  // namespace

std::span<const Subcommand> subcommands() {
    return table;
}

std::string usage_text() {
    std::string text = "Usage:\n";
    for (const Subcommand& command : table) {
        const std::string_view usage = command.usage;
        if (usage.empty()) {
            continue;
        }
        // Continuation lines line up under the first word after "quillon-cli NAME".
        const std::string continued(2 + usage.find(' ', usage.find(' ') + 1) + 1, ' ');
        std::size_t start = 0;
        while (start < usage.size()) {
            const auto end = std::min(usage.find('\n', start), usage.size());
            text += start == 0 ? "  " : continued;
            text += usage.substr(start, end - start);
            text += '\n';
            start = end + 1;
        }
    }
    text += exitCodes;
    return text;
}

std::string usage_line(std::string_view name) {
    std::string line = "usage: ";
    for (const Subcommand& command : table) {
        if (command.name == name) {
            for (char c : command.usage) {
                line += c == '\n' ? ' ' : c;
            }
        }
    }
    return line;
}

int run_command(const std::vector<std::string>& words, const CommandIo& io) {
    CommandHandler handler = nullptr;
    const int refused = run_guarded(io, plainRefusals, [&] {
        handler = handler_of(words);
        return 0;
    });
    if (!handler) {
        return refused;
    }
    const int code = handler(std::vector<std::string>(words.begin() + 1, words.end()), io);
    return finish_output(io, words.front(), code);
}

}  // namespace quillon::cli
