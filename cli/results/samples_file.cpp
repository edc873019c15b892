#include "cli/results/samples_file.h"

#include <cmath>
#include <string>

#include "cli/cli_io.h"
#include "text/number_forms.h"
#include "text/text_file.h"

namespace quillon::cli {

static_assert(maxSampleMetres == 10.0, "the message below names the limit");

std::vector<double> parse_samples(std::string_view bytes, std::string_view path) {
    std::vector<std::string_view> lines;
    std::string_view rest = bytes;
    while (!rest.empty()) {
        const auto end = rest.find_first_of("\r\n");
        lines.push_back(rest.substr(0, end));
        if (end == std::string_view::npos) {
            break;
        }
        const bool crLf = rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n';
        rest.remove_prefix(end + (crLf ? 2 : 1));
    }
    while (!lines.empty() && text::trim_trailing_blanks(lines.back()).empty()) {
        lines.pop_back();
    }
    std::vector<double> samples;
    samples.reserve(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto value = text::parse_number(lines[i], text::decimalNumber);
        const std::string where = joined({"line ", std::to_string(i + 1), " of ", path});
        if (!value) {
            throw BadInput{joined({where, " is not a deviation in metres"})};
        }
        if (!(std::abs(*value) <= maxSampleMetres)) {
            throw BadInput{joined({where,
                                   " holds a deviation beyond 10 m from the course "
                                   "centre, more than a pass can hold"})};
        }
        samples.push_back(*value);
    }
    return samples;
}

}  // namespace quillon::cli
