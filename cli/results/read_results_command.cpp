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
    // Every refusal is one line on stderr and exit code 2.
    const auto refused = [&](std::string_view message) {
        io.err << message_line(message);
        return 2;
    };
    const auto parsed = parse_command_line(args, {"discipline"});
    if (!parsed.error.empty() || parsed.line.positional.size() != 1) {
        return refused(parsed.error.empty() ? usage_line("read-results")
                                            : joined({"quillon-cli read-results: ", parsed.error}));
    }
    const std::string discipline = parsed.line.option("discipline").value_or("slalom");
    if (discipline != "slalom" && discipline != "jump") {
        return refused(
            joined({"quillon-cli read-results: --discipline must be slalom or jump, not \"",
                    discipline, "\""}));
    }

    const std::string& path = parsed.line.positional.front();
    auto content = text::read_file(path, analysis::maxSavedReportBytes);
    if (content.tooLarge) {
        return refused(joined({"The file \"", path, "\" is too large to be a saved pass report."}));
    }
    if (!content.status) {
        return refused(analysis::unexpected_error_text(analysis::file_error(content.status)));
    }
    const auto reading = analysis::read_saved_report(
        std::move(content.bytes),
        discipline == "jump" ? course::Discipline::Jump : course::Discipline::Slalom);
    if (reading.refusal) {
        return refused(*reading.refusal);
    }
    if (reading.report.error) {
        return refused(analysis::unexpected_error_text(*reading.report.error));
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
