#include "cli/cli_io.h"

#include "calibration/camera_model.h"

#include <charconv>
#include <ctime>
#include <istream>
#include <ostream>

#include "cli/command_table.h"
#include "text/number_forms.h"

namespace quillon::cli {

void refuse(std::string message) {
    message += " Run quillon-cli --help for the usage.";
    throw BadInput(message);
}

int run_guarded(const CommandIo& io, const RefusalWording& wording,
                const std::function<int()>& work) {
    std::string line;
    try {
        return work();
    } catch (const BadInput& bad) {
        line = joined({wording.badInputPrefix, bad.what()});
    } catch (const std::exception& failure) {
        line = joined({wording.failurePrefix, failure.what()});
    }
    if (wording.oneLine) {
        for (char& c : line) {
            if (c == '\n' || c == '\r') {
                c = ' ';
            }
        }
    }
    line += '\n';
    io.err.write(line.data(), static_cast<std::streamsize>(line.size()));
    return 2;
}

int run_printing(const CommandIo& io, const std::function<std::string()>& work) {
    return run_guarded(io, plainRefusals, [&] {
        const std::string output = work();
        io.out.write(output.data(), static_cast<std::streamsize>(output.size()));
        io.out.flush();
        return io.out ? 0 : 2;
    });
}

std::string joined(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (const auto part : parts) {
        text += part;
    }
    return text;
}

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
    const auto value = text::parse_number(text, text::setupNumber);
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

std::string read_all(std::istream& in) {
    std::string text;
    char buffer[65536];
    do {
        in.read(buffer, sizeof buffer);
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
    } while (in);
    if (in.bad()) {
        throw BadInput("The standard input could not be read.");
    }
    return text;
}

text::CivilDateTime local_now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
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
