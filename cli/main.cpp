// quillon-cli: the calibration and analysis cores without a window. See the README.

#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/cli_io.h"
#include "cli/commands.h"
#include "cli/results/results_commands.h"

namespace {

void write_error(const std::string& message) {
    std::string line = message;
    for (char& c : line) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quillon::cli;
    constexpr int done = 0;
    constexpr int badInput = 2;
    // The pass-report commands parse their own options.
    if (argc >= 2) {
        const std::string command = argv[1];
        const std::vector<std::string> rest(argv + 2, argv + argc);
        if (command == "report") {
            return report_command(rest, std::cout, std::cerr);
        }
        if (command == "read-results") {
            return read_results_command(rest, std::cout, std::cerr);
        }
    }
    try {
        const Arguments args = parse_arguments(std::vector<std::string>(argv + 1, argv + argc));
        switch (args.command) {
            case Command::Help:
                write_out(usageText);
                break;
            case Command::Solve:
                run_solve(args);
                break;
            case Command::Map:
                run_map(args);
                break;
            case Command::Check:
                run_check(args);
                break;
            case Command::Accuracy:
                run_accuracy(args);
                break;
        }
    } catch (const BadInput& bad) {
        write_error(bad.what());
        return badInput;
    } catch (const std::exception& failure) {
        std::string message = "quillon-cli stopped: ";
        message += failure.what();
        write_error(message);
        return badInput;
    }
    return std::fflush(stdout) == 0 ? done : badInput;
}
