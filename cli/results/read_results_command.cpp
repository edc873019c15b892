#include <charconv>
#include <ostream>

#include "analysis/results_errors.h"
#include "analysis/saved_report.h"
#include "cli/cli_io.h"
#include "cli/commands.h"
#include "cli/pass_options.h"
#include "text/number_text.h"
#include "text/text_file.h"

namespace quillon::cli {

namespace {}  // namespace

int read_results_command(const CommandWords& words, const CommandIo& io) {
    // A refusal is the Results screen's message as it stands.
    const course::Discipline discipline = pass_options(words).discipline;

    const std::string& path = words.input();
    auto content = text::read_file(path, analysis::maxSavedReportBytes);
    if (content.tooLarge) {
        throw BadInput(joined({"The file \"", path, "\" is too large to be a saved pass report."}));
    }
    if (!content.status) {
        throw BadInput(analysis::unexpected_error_text(analysis::file_error(content.status)));
    }
    const auto reading = analysis::read_saved_report(std::move(content.bytes), discipline);
    if (reading.refusal) {
        throw BadInput(*reading.refusal);
    }
    if (reading.report.error) {
        throw BadInput(analysis::unexpected_error_text(*reading.report.error));
    }

    std::string listing =
        reading.report.direction == course::Direction::Towards ? "towards\n" : "away\n";
    for (const auto& point : reading.report.points) {
        listing += text::shortest_text(point.position);
        listing += ',';
        listing += text::shortest_text(point.deviation);
        listing += '\n';
    }
    io.out << listing;
    return 0;
}

}  // namespace quillon::cli
