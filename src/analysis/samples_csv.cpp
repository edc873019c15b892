#include "analysis/samples_csv.h"

#include <charconv>

#include "analysis/pass_analysis.h"
#include "text/number_text.h"
#include "text/text_file.h"

namespace quillon::analysis {

namespace {

void put_number(std::string& row, double value, int decimals = -1) {
    char digits[64];
    const auto result = decimals < 0 ? std::to_chars(digits, digits + sizeof digits, value)
                                     : std::to_chars(digits, digits + sizeof digits, value,
                                                     std::chars_format::fixed, decimals);
    row.append(digits, result.ptr);
}

}  // namespace

std::string samples_csv(std::span<const double> samples, int lastSampleIndex,
                        course::Discipline discipline, std::span<const Provenance> provenance) {
    require_pass_samples(samples, lastSampleIndex);
    const double length = course::course_length(discipline);
    text::CrLfText csv;
    csv.line("sample,time_s,position_m,deviation_m,provenance");
    for (int k = 0; k <= lastSampleIndex; ++k) {
        std::string row = text::whole_text(k);
        row += ',';
        // Tenths of a second written from the whole number, so 0.3 s is "0.3", never
        // "0.30000000000000004".
        row += text::whole_text(k / 10) + '.' + text::whole_text(k % 10);
        row += ',';
        put_number(row, k * length / lastSampleIndex, 3);
        row += ',';
        // -0 is written as 0: a stored zero has no side.
        const double deviation = samples[static_cast<std::size_t>(k)];
        put_number(row, deviation == 0 ? 0.0 : deviation);
        row += ',';
        if (static_cast<std::size_t>(k) < provenance.size()) {
            row += provenance_name(provenance[static_cast<std::size_t>(k)]);
        }
        csv.line(row);
    }
    return csv.str();
}

}  // namespace quillon::analysis
