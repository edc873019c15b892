#include <charconv>
#include <ostream>

#include "analysis/results_errors.h"
#include "analysis/saved_report.h"
#include "cli/cli_io.h"
#include "cli/commands.h"
#include "cli/results/command_line.h"
#include "text/text_file.h"

namespace quillon::cli {

namespace {

// The shortest text that reads back as the same double.
std::string shortest(double value) {
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, result.ptr);
}

}  // namespace

int read_results_command(const std::vector<std::string>& args, const CommandIo& io) {
    const auto parsed = parse_command_line(args, {"discipline"});
    if (!parsed.error.empty() || parsed.line.positional.size() != 1) {
        io.err << (parsed.error.empty() ? usage_line("read-results")
                                        : joined({"quillon-cli read-results: ", parsed.error}))
               << '\n';
        return 2;
    }
    const std::string discipline = parsed.line.option("discipline").value_or("slalom");
    if (discipline != "slalom" && discipline != "jump") {
        io.err << "quillon-cli read-results: --discipline must be slalom or jump, not \""
               << discipline << "\"\n";
        return 2;
    }

    auto content = text::read_file(parsed.line.positional.front());
    if (!content.status) {
        io.err << analysis::unexpected_error_text(analysis::file_error(content.status)) << '\n';
        return 2;
    }
    const auto reading = analysis::read_saved_report(
        std::move(content.bytes),
        discipline == "jump" ? course::Discipline::Jump : course::Discipline::Slalom);
    if (reading.refusal) {
        io.err << *reading.refusal << '\n';
        return 2;
    }
    if (reading.report.error) {
        io.err << analysis::unexpected_error_text(*reading.report.error) << '\n';
        return 2;
    }

    std::string listing =
        reading.report.direction == course::Direction::Towards ? "towards\n" : "away\n";
    for (const auto& point : reading.report.points) {
        listing += shortest(point.position);
        listing += ',';
        listing += shortest(point.deviation);
        listing += '\n';
    }
    io.out << listing;
    return 0;
}

}  // namespace quillon::cli
