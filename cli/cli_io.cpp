#include "cli/cli_io.h"

#include "calibration/camera_model.h"

#include <charconv>
#include <cstdio>

#include "cli/number_parse.h"

namespace quillon::cli {

std::string g17(double value) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
    return std::string(buffer, result.ptr);
}

namespace {

bool blank_only(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

std::string shown(std::string_view text) {
    std::string result = "\"";
    for (char c : text.substr(0, 60)) {
        const auto u = static_cast<unsigned char>(c);
        result += (u < 0x20 || u == 0x7f) ? '?' : c;
    }
    if (text.size() > 60) {
        result += "...";
    }
    result += '"';
    return result;
}

}  // namespace

double number_argument(std::string_view text, std::string_view what) {
    const auto value = parse_number(text, calibrationNumber);
    if (!value) {
        std::string message(what);
        message += ": ";
        message += shown(text);
        message += " is not a number.";
        throw BadInput(message);
    }
    return *value;
}

NumberPair pair_argument(std::string_view text, std::string_view what) {
    const auto comma = text.find(',');
    if (comma == std::string_view::npos || text.find(',', comma + 1) != std::string_view::npos) {
        std::string message(what);
        message += ": ";
        message += shown(text);
        message += " is not two numbers X,Y.";
        throw BadInput(message);
    }
    return {number_argument(text.substr(0, comma), what),
            number_argument(text.substr(comma + 1), what)};
}

std::vector<NumberedLine> non_blank_lines(std::string_view text) {
    std::vector<NumberedLine> lines;
    std::size_t number = 1;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = text.substr(start, end - start);
        if (!blank_only(line)) {
            lines.push_back({number, line});
        }
        if (end == text.size()) {
            break;
        }
        start =
            end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
        ++number;
    }
    return lines;
}

std::vector<double> numbers_of_line(const NumberedLine& line, std::size_t count,
                                    std::string_view source) {
    std::vector<double> numbers;
    std::string where(source);
    where += " line ";
    where += std::to_string(line.number);
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = line.text.find(',', start);
        const std::string_view field = line.text.substr(
            start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        if (numbers.size() == count) {
            numbers.push_back(0);  // one too many: reported below
            break;
        }
        numbers.push_back(number_argument(field, where));
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    if (numbers.size() != count) {
        std::string message = where;
        message += ": ";
        message += shown(line.text);
        message += " is not ";
        message += std::to_string(count);
        message += " numbers separated by commas.";
        throw BadInput(message);
    }
    return numbers;
}

std::string read_all_stdin() {
    std::string text;
    char buffer[65536];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) {
        text.append(buffer, count);
    }
    if (std::ferror(stdin)) {
        throw BadInput("The standard input could not be read.");
    }
    return text;
}

void write_out(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

std::string coefficient_lines(const calibration::CameraModel& model) {
    std::string out;
    const auto c = model.coefficients();
    for (std::size_t k = 0; k < c.size(); ++k) {
        out += 'c';
        out += std::to_string(k + 1);
        out += ' ';
        out += g17(c[k]);
        out += '\n';
    }
    return out;
}

}  // namespace quillon::cli
