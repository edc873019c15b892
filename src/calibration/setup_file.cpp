#include "calibration/setup_file.h"

#include "calibration/number_field.h"
#include "text/item_reader.h"
#include "text/number_text.h"
#include "text/text_file.h"

namespace quillon::calibration {

using text::printed_number;

namespace {

// Setup files are a few hundred bytes; anything far larger is not one.
constexpr std::size_t maxSetupFileBytes = 1024 * 1024;

// A piece of file content fit to quote in a one-line message.
std::string quoted(std::string_view text, std::size_t shown = 40) {
    std::string result = "\"";
    for (std::size_t i = 0; i < text.size() && i < shown; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        result += (c < 0x20 || c == 0x7f) ? '?' : text[i];
    }
    if (text.size() > shown) {
        result += "...";
    }
    result += '"';
    return result;
}

Message refusal(std::string_view path, std::string_view reason) {
    std::string text = "Setup file ";
    text += quoted(path, std::string_view::npos);
    text += " cannot be used: ";
    text += reason;
    return {std::move(text), applicationTitle, MessageStyle::Exclamation};
}

// A picture, a video or another program's file: control bytes that no text holds. Tabs, line
// ends and form feeds are text; bytes above 0x7F may be a description in any code page.
bool holds_binary_bytes(std::string_view bytes) {
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v') ||
            u == 0x7f) {
            return true;
        }
    }
    return false;
}

// What each line of the file holds, for messages.
std::string line_content(int line) {
    if (line == 1) {
        return "the file name";
    }
    if (line == 2) {
        return "the descriptive line";
    }
    std::string content;
    if (line <= 6) {
        content = "reference point ";
        content += std::to_string(line - 2);
        return content;
    }
    if (line <= 14) {
        content = "coefficient c";
        content += std::to_string(line - 6);
        return content;
    }
    if (line == 15) {
        return "the jump point x";
    }
    if (line == 16) {
        return "the jump point y";
    }
    return "a bookkeeping number";
}

// Hands out the file's items together with the line of the file they belong to.
class SetupItems {
  public:
    SetupItems(std::string_view bytes, std::string_view path)
        : reader_(std::string(bytes)), path_(path) {}

    // The next item, meant for line `line` of the file.
    std::optional<std::string> text(int line) {
        auto item = reader_.next();
        if (!item && !problem_) {
            std::string reason = "it ends before line ";
            reason += std::to_string(line);
            reason += " (";
            reason += line_content(line);
            reason += ") where ";
            reason += std::to_string(setupFileLineCount);
            reason += " lines are expected.";
            problem_ = refusal(path_, reason);
        }
        return item;
    }

    std::optional<double> number(int line) {
        const auto item = text(line);
        if (!item) {
            return std::nullopt;
        }
        auto value = number_field(*item);
        if (!value && !problem_) {
            std::string reason = "line ";
            reason += std::to_string(line);
            reason += " holds ";
            reason += quoted(*item);
            reason += " where a number is expected";
            const auto foundOn = static_cast<long>(reader_.line());
            if (foundOn != line) {
                reason += " (the text stands on line ";
                reason += std::to_string(foundOn);
                if (foundOn < line && foundOn <= 2) {
                    reason +=
                        ": a comma in the descriptive line moves every later value one field on";
                }
                reason += ")";
            }
            reason += ".";
            problem_ = refusal(path_, reason);
        }
        return value;
    }

    const std::optional<Message>& problem() const { return problem_; }

  private:
    text::ItemReader reader_;
    std::string_view path_;
    std::optional<Message> problem_;
};

}  // namespace

SetupFileData setup_file_data(const CameraModel& model, std::string_view path,
                              std::string description, int slot) {
    SetupFileData data;
    data.header = std::string(setupFileHeaderPrefix);
    data.header += path;
    data.description = std::move(description);
    for (std::size_t i = 1; i <= CameraModel::pointCount; ++i) {
        data.points[i - 1] = {model.screen_x[i], model.screen_y[i], model.survey_x[i],
                              model.survey_y[i]};
    }
    data.coefficients = model.coefficients();
    data.jump_x = model.jump_survey_x;
    data.jump_y = model.jump_survey_y;
    data.bookkeeping = {10, 2, static_cast<double>(slot)};
    return data;
}

std::string setup_file_text(const SetupFileData& data) {
    text::CrLfText file;
    file.line(data.header);
    file.line(data.description);
    for (const ReferencePoint& p : data.points) {
        std::string line = printed_number(p.screen_x);
        line += ',';
        line += printed_number(p.screen_y);
        line += ',';
        line += printed_number(p.survey_x);
        line += ',';
        line += printed_number(p.survey_y);
        file.line(line);
    }
    for (double c : data.coefficients) {
        file.line(printed_number(c));
    }
    file.line(printed_number(data.jump_x));
    file.line(printed_number(data.jump_y));
    for (double b : data.bookkeeping) {
        file.line(printed_number(b));
    }
    return file.str();
}

SetupFileRead parse_setup_file(std::string_view bytes, std::string_view path) {
    if (bytes.empty()) {
        return {std::nullopt, refusal(path, "it is empty.")};
    }
    if (bytes.size() > maxSetupFileBytes) {
        return {std::nullopt, refusal(path, "it is far too large to be a setup file.")};
    }
    if (holds_binary_bytes(bytes)) {
        // Say so rather than quote the first field that fails: its bytes mean nothing to the
        // operator, and no comma in the descriptive line is to blame.
        return {std::nullopt,
                refusal(path, "it is not a text file (it holds control bytes such as NUL).")};
    }
    SetupItems items(bytes, path);
    SetupFileData data;
    const auto header = items.text(1);
    const auto description = items.text(2);
    if (header) {
        data.header = *header;
    }
    if (description) {
        data.description = *description;
    }
    int line = 3;
    for (ReferencePoint& p : data.points) {
        for (double* field : {&p.screen_x, &p.screen_y, &p.survey_x, &p.survey_y}) {
            *field = items.number(line).value_or(0);
        }
        ++line;
    }
    for (double& c : data.coefficients) {
        c = items.number(line++).value_or(0);
    }
    data.jump_x = items.number(line++).value_or(0);
    data.jump_y = items.number(line++).value_or(0);
    for (double& b : data.bookkeeping) {
        b = items.number(line++).value_or(0);
    }
    if (items.problem()) {
        return {std::nullopt, *items.problem()};
    }
    return {std::move(data), {}};
}

SetupFileRead read_setup_file(const std::string& path, std::string* bytes) {
    text::FileContent content = text::read_file(path, maxSetupFileBytes + 1);
    if (!content.status) {
        std::string text = "Setup file ";
        text += quoted(path, std::string_view::npos);
        text += " cannot be read: ";
        text += content.status.description;
        text += ".";
        return {std::nullopt, {std::move(text), applicationTitle, MessageStyle::Exclamation}};
    }
    SetupFileRead read = parse_setup_file(content.bytes, path);
    if (bytes != nullptr) {
        *bytes = std::move(content.bytes);
    }
    return read;
}

std::optional<Message> write_setup_file(const std::string& path, const SetupFileData& data) {
    const text::FileStatus status = text::replace_file(path, setup_file_text(data));
    if (status) {
        return std::nullopt;
    }
    std::string text = "Setup file ";
    text += quoted(path, std::string_view::npos);
    text += " could not be written: ";
    text += status.description;
    text += ".";
    return Message{std::move(text), applicationTitle, MessageStyle::Exclamation};
}

}  // namespace quillon::calibration
