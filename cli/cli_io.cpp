#include "cli/cli_io.h"

#include "calibration/camera_model.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <ctime>
#include <istream>
#include <ostream>
#include <system_error>

#include "cli/command_table.h"
#include "text/number_forms.h"

namespace quillon::cli {

void refuse(std::string message) {
    message += " Run quillon-cli --help for the usage.";
    throw BadInput(message);
}

int run_guarded(const CommandIo& io, const std::function<int()>& work) {
    std::string line;
    try {
        return work();
    } catch (const BadInput& bad) {
        line = bad.what();
    } catch (const std::exception& failure) {
        line = joined({"quillon-cli stopped: ", failure.what()});
    }
    line = message_line(line);
    io.err.write(line.data(), static_cast<std::streamsize>(line.size()));
    return 2;
}

const char* control_character_in(std::string_view text) {
    const char* found = nullptr;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\n' || c == '\r') {
            return "a line break";
        }
        if (u < 0x20 || u == 0x7f) {
            found = "a control character";
        }
    }
    return found;
}

std::string message_line(std::string_view text) {
    constexpr char hex[] = "0123456789ABCDEF";
    std::string line;
    line.reserve(text.size() + 1);
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7f) {
            line += c;
        } else if (c == '\n') {
            line += "\\n";
        } else if (c == '\r') {
            line += "\\r";
        } else if (c == '\t') {
            line += "\\t";
        } else {
            line += "\\x";
            line += hex[u >> 4];
            line += hex[u & 0xf];
        }
    }
    line += '\n';
    return line;
}

DescriptorOutput::DescriptorOutput(int descriptor) : descriptor_(descriptor) {
    setp(buffer_, buffer_ + sizeof buffer_);
}

DescriptorOutput::~DescriptorOutput() {
    write_buffer();
}

bool DescriptorOutput::write_buffer() {
    const char* next = pbase();
    const char* const end = pptr();
    while (error_ == 0 && next < end) {
        const ssize_t written = ::write(descriptor_, next, static_cast<std::size_t>(end - next));
        if (written > 0) {
            next += written;
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else {
            error_ = written < 0 && errno != 0 ? errno : EIO;
        }
    }
    setp(buffer_, buffer_ + sizeof buffer_);  // what could not be written is dropped
    return error_ == 0;
}

DescriptorOutput::int_type DescriptorOutput::overflow(int_type c) {
    if (!write_buffer()) {
        return traits_type::eof();
    }
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int DescriptorOutput::sync() {
    return write_buffer() ? 0 : -1;
}

int finish_output(const CommandIo& io, std::string_view command, int exitCode) {
    io.out.flush();
    if (io.out) {
        return exitCode;
    }
    const auto* descriptor = dynamic_cast<const DescriptorOutput*>(io.out.rdbuf());
    const int error = descriptor ? descriptor->error() : 0;
    const std::string reason =
        error ? std::generic_category().message(error) : std::string("the stream failed");
    const std::string line = message_line(
        joined({"The output of quillon-cli ", command, " could not be written: ", reason, "."}));
    io.err.write(line.data(), static_cast<std::streamsize>(line.size()));
    return 1;
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

std::string read_all(std::istream& in, std::size_t maxBytes) {
    std::string text;
    char buffer[65536];
    do {
        in.read(buffer, sizeof buffer);
        const auto count = static_cast<std::size_t>(in.gcount());
        if (count > maxBytes - text.size()) {
            const std::size_t mebibyte = 1024 * 1024;
            const std::string size = maxBytes % mebibyte == 0
                                         ? std::to_string(maxBytes / mebibyte) + " MiB"
                                         : std::to_string(maxBytes) + " bytes";
            throw BadInput(joined({"The standard input holds more than ", size,
                                   ": it is refused without reading further."}));
        }
        text.append(buffer, count);
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
