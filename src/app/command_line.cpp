#include "app/command_line.h"

#include <string_view>

namespace quillon::app {

namespace {

constexpr std::string_view usage = R"(Usage: quillon [--help] [--version]

Quillon measures how far a water-ski towboat strays from its ideal straight path through a
slalom or jump course. The operator sees the course on video with Quillon's screens laid over
it; four surveyed buoys calibrate the camera; during a pass the operator (or Auto Track) keeps
a line on the boat's centre, and every 0.1 s Quillon stores the lateral deviation. Afterwards
it analyses the pass, shows a report and a graph, and appends plain-text logs.

Options:
  --help      print this help and exit
  --version   print the version and exit

Files:
  The name lists boats.txt, models.txt, drivers.txt and skiers.txt are kept in the program's
  folder, or per user (~/.local/share/Quillon) when Quillon is installed. Results,
  logs, accuracy reports and live pass recordings (Pass_*.mkv) go to the folder named on the
  Start screen ("Data Path for Results").

Environment:
  QT_QPA_PLATFORM  the Qt platform; without a display, run Quillon under xvfb-run.

The same calibration, reports and tracking work without a window through quillon-cli(1).
)";

}  // namespace

std::optional<CommandLineAnswer> answer_command_line(int argc, const char* const* argv,
                                                     const std::string& version) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word == "--help" || word == "-h") {
            return CommandLineAnswer{std::string(usage), {}, 0};
        }
        if (word == "--version") {
            return CommandLineAnswer{"quillon " + version + "\n", {}, 0};
        }
        // Qt's own options (-platform, -style, ...) are Qt's to read.
        if (word.substr(0, 2) == "--") {
            std::string refusal = "quillon: unknown option \"";
            refusal.append(word).append("\"\n").append(usage);
            return CommandLineAnswer{{}, std::move(refusal), 2};
        }
    }
    return std::nullopt;
}

}  // namespace quillon::app
