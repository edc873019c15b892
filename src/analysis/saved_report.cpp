#include "analysis/saved_report.h"

#include "text/text_value.h"

namespace quillon::analysis {

namespace {

// The sample-line layouts a saved report may have.
enum class Layout { Frame, Buoy };

// Up to `count` characters from `first` (0-based), or fewer when the text is shorter.
std::string_view middle(std::string_view text, std::size_t first, std::size_t count) {
    if (first >= text.size()) {
        return {};
    }
    return text.substr(first, count);
}

// The number in the eight characters after the first `marker`; 0 when there is no marker.
double number_after(std::string_view line, std::string_view marker) {
    const auto at = line.find(marker);
    if (at == std::string_view::npos) {
        return 0;
    }
    return text::text_value(middle(line, at + marker.size(), 8));
}

bool starts_sample_lines(std::string_view item, Layout& layout) {
    if (item.starts_with("Frame ")) {
        layout = Layout::Frame;
        return true;
    }
    if (item.starts_with("Buoy  1 Sample")) {
        layout = Layout::Buoy;
        return true;
    }
    return false;
}

bool is_sample_line(std::string_view item, Layout layout) {
    return layout == Layout::Frame ? item.starts_with("Frame ") : item.starts_with("Buoy");
}

// "Frame " lines: the position in the six characters from character 30, the deviation after
// "ation:". "Buoy" lines: the position from character 28, the deviation after the first ":".
ReloadedPoint point_of(std::string_view line, Layout layout) {
    if (layout == Layout::Frame) {
        return {text::text_value(middle(line, 29, 6)), number_after(line, "ation:")};
    }
    return {text::text_value(middle(line, 27, 6)), number_after(line, ":")};
}

void show(std::string& shown, std::string_view item) {
    shown += item;
    shown += "\r\n";
}

}  // namespace

std::string saved_report_text(std::string_view reportText) {
    std::string text(reportText);
    text += "\r\n\r\nEnd of Pass Analysis\r\n\r\n";
    return text;
}

SavedReportReader::SavedReportReader(std::string bytes, course::Discipline discipline)
    : items_(std::move(bytes)), discipline_(discipline) {}

std::optional<std::string> SavedReportReader::checkFirstItem() {
    const bool slalom = discipline_ == course::Discipline::Slalom;
    const auto first = items_.next();
    if (first && *first == (slalom ? "Slalom Pass Results" : "Jump Pass Results")) {
        firstItem_ = *first;
        accepted_ = true;
        return std::nullopt;
    }
    return std::string(slalom ? "Not a valid slalom path results file"
                              : "Not a valid jump path results file");
}

SavedReport SavedReportReader::readRest() {
    SavedReport report;
    if (!accepted_) {
        return report;
    }
    accepted_ = false;  // the items are used up
    show(report.shownText, firstItem_);

    Layout layout = Layout::Frame;
    std::optional<std::string> item;
    while ((item = items_.next())) {
        show(report.shownText, *item);
        if (starts_sample_lines(*item, layout)) {
            break;
        }
        if (item->starts_with("Boat is co")) {
            report.direction = course::Direction::Towards;
        }
    }
    while (item && is_sample_line(*item, layout)) {
        if (report.points.size() == reloadedPointCapacity) {
            report.error = subscriptOutOfRange;
            return report;
        }
        report.points.push_back(point_of(*item, layout));
        item = items_.next();
        if (item) {
            show(report.shownText, *item);
        }
    }
    return report;
}

SavedReportReading read_saved_report(std::string bytes, course::Discipline discipline) {
    SavedReportReader reader(std::move(bytes), discipline);
    SavedReportReading reading;
    reading.refusal = reader.checkFirstItem();
    if (!reading.refusal) {
        reading.report = reader.readRest();
    }
    return reading;
}

}  // namespace quillon::analysis
