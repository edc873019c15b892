#include "cli/results/pass_provenance.h"

#include <algorithm>
#include <charconv>

#include "cli/cli_io.h"
#include "text/number_forms.h"
#include "text/number_text.h"

namespace quillon::cli {

namespace {

std::vector<std::string_view> fields_of(std::string_view row) {
    std::vector<std::string_view> fields;
    while (true) {
        const auto comma = row.find(',');
        fields.push_back(row.substr(0, comma));
        if (comma == std::string_view::npos) {
            return fields;
        }
        row.remove_prefix(comma + 1);
    }
}

std::optional<long> whole_number(std::string_view text) {
    const auto value = text::parse_number(text, text::digitsOnly);
    if (!value || *value > 1e9) {
        return std::nullopt;
    }
    return static_cast<long>(*value);
}

}  // namespace

DetailFile parse_detail_file(std::string_view bytes, const std::string& path, int sampleCount) {
    constexpr std::string_view header = "sample,frame_time_s,deviation_m,provenance,confidence";
    DetailFile detail;
    long lineNumber = 0;
    const auto refuse = [&](std::string_view why) {
        throw BadInput{
            joined({"--detail ", path, " line ", text::whole_text(lineNumber), ": ", why})};
    };
    while (!bytes.empty()) {
        const auto end = bytes.find('\n');
        std::string_view row = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (!row.empty() && row.back() == '\r') {
            row.remove_suffix(1);
        }
        ++lineNumber;
        if (lineNumber == 1) {
            if (row != header) {
                refuse(joined({"the header must be \"", header, "\""}));
            }
            continue;
        }
        if (row.empty() && bytes.empty()) {
            break;
        }
        const auto fields = fields_of(row);
        if (fields.size() != 5) {
            refuse("a row has five fields: sample,frame_time_s,deviation_m,provenance,confidence");
        }
        const long expected = static_cast<long>(detail.provenance.size());
        if (whole_number(fields[0]) != expected) {
            refuse(joined({"sample ", text::whole_text(expected), " was expected"}));
        }
        if (expected >= sampleCount) {
            refuse(joined({"the pass has ", text::whole_text(sampleCount), " samples, not more"}));
        }
        const auto seconds = text::parse_number(fields[1], text::decimalNumber);
        if (!seconds || *seconds < 0) {
            refuse("frame_time_s must be a time in seconds");
        }
        if (expected == 0) {
            detail.sample0Seconds = *seconds;
        }
        if (fields[3] == "tracked") {
            detail.provenance.push_back(analysis::Provenance::Tracked);
        } else if (fields[3] == "held") {
            detail.provenance.push_back(analysis::Provenance::Held);
        } else if (fields[3] == "operator") {
            detail.provenance.push_back(analysis::Provenance::Operator);
        } else {
            refuse("provenance must be tracked, held or operator");
        }
    }
    if (lineNumber == 0) {
        refuse("the file is empty");
    }
    if (static_cast<int>(detail.provenance.size()) != sampleCount) {
        throw BadInput{joined({"--detail ", path, " holds ",
                               text::whole_text(static_cast<long>(detail.provenance.size())),
                               " samples; the pass has ", text::whole_text(sampleCount)})};
    }
    return detail;
}

std::vector<int> parse_sample_list(std::string_view text, int lastIndex) {
    const BadInput bad{
        joined({"--untracked must be sample numbers and ranges from 0 to ",
                text::whole_text(lastIndex), " such as 36,61-63, not \"", text, "\""})};
    std::vector<int> samples;
    if (text.empty()) {
        throw bad;
    }
    while (true) {
        const auto comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        const auto dash = item.find('-');
        const auto first = whole_number(item.substr(0, dash));
        const auto last =
            dash == std::string_view::npos ? first : whole_number(item.substr(dash + 1));
        if (!first || !last || *first > *last || *last > lastIndex) {
            throw bad;
        }
        for (long k = *first; k <= *last; ++k) {
            samples.push_back(static_cast<int>(k));
        }
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
    }
    std::sort(samples.begin(), samples.end());
    samples.erase(std::unique(samples.begin(), samples.end()), samples.end());
    return samples;
}

}  // namespace quillon::cli
