#pragma once

#include <optional>
#include <string>

namespace quillon::app {

// What `quillon --help` and `quillon --version` print, and the exit code; nothing when the
// words start the program. Read before any window system is touched, so both work without a
// display. An unknown word is refused with the usage on stderr (exit 2).
struct CommandLineAnswer {
    std::string out;
    std::string err;
    int exitCode = 0;
};
std::optional<CommandLineAnswer> answer_command_line(int argc, const char* const* argv,
                                                     const std::string& version);

}  // namespace quillon::app
