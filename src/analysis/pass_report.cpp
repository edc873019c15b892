#include "analysis/pass_report.h"

#include <string_view>
#include <vector>

#include "analysis/report_numbers.h"
#include "text/number_text.h"

namespace quillon::analysis {

namespace {

using text::number_text;

// The report's lines; each ends with CR LF, the last one too.
class ReportLines {
  public:
    void add(std::string line) { lines_.push_back(std::move(line)); }
    void add(std::string_view head, std::string_view tail) {
        std::string line(head);
        line += tail;
        lines_.push_back(std::move(line));
    }
    std::string joined() const {
        std::size_t size = 0;
        for (const auto& line : lines_) {
            size += line.size() + 2;
        }
        std::string text;
        text.reserve(size);
        for (const auto& line : lines_) {
            text += line;
            text += "\r\n";
        }
        return text;
    }

  private:
    std::vector<std::string> lines_;
};

std::string sample_line(int k, double position, double deviation) {
    std::string line = "Frame ";
    line += number_text(k);
    line += "   Course Position: ";
    line += pattern_text(position, "000.0");
    line += "   Deviation: ";
    line += number_text(deviation);
    return line;
}

std::string database_record(const PassReportInput& input, const PassStatistics& stats,
                            const ReportShares& shares) {
    const auto& pass = input.pass;
    const std::string fields[] = {
        pass.boatNumber,
        pass.boatManufacturer,
        pass.boatModel,
        pass.discipline == course::Discipline::Slalom ? "S" : "J",
        pass.driver,
        pass.skier,
        input.speedText,
        input.lineText,
        number_text(round3(stats.meanAbsDeviation)),
        number_text(round3(stats.maxDeviation)),
        number_text(round3(input.figures.passMeanAbsDeviation)),
        number_text(input.figures.passMaxAbsDeviation),
        input.split,
        input.full,
        number_text(shares.left),
        number_text(shares.center),
        number_text(shares.right),
        pattern_text(stats.averageDistanceFromCenter, "0.00"),
        pattern_text(stats.deviationAtStart, "0.00"),
        pattern_text(stats.deviationAtExit, "0.00"),
        pattern_text(stats.totalDeviation, "0.00"),
        input.comment,
    };
    std::string record;
    for (const auto& field : fields) {
        if (&field != &fields[0]) {
            record += '|';
        }
        record += field;
    }
    return record;
}

// Report lines 1 to 17, up to "Boat Statistics: ", after which the analysis runs.
void add_heading(const PassReportInput& input, ReportLines& lines) {
    const auto& pass = input.pass;
    const bool slalom = pass.discipline == course::Discipline::Slalom;
    lines.add(slalom ? "Slalom Pass Results" : "Jump Pass Results");
    lines.add("Skier Name: ", pass.skier);
    lines.add("Tournament: ", pass.tournament);
    lines.add("Location: ", pass.location);
    lines.add("Date: ", pass.date);
    lines.add("Driver: ", pass.driver);
    lines.add("Boat: ", pass.boatManufacturer);
    lines.add("Date of Measurement: ", text::date_text(input.now));
    lines.add("Time of Measurement: ", text::time_text(input.now));
    if (slalom) {
        lines.add("Line Length: ", course::line_length_report_text(pass.lineLength));
    }
    lines.add(pass.direction == course::Direction::Away ? "Boat is going away from camera"
                                                        : "Boat is coming toward the camera");
    if (!input.clockLine.empty()) {
        lines.add(input.clockLine);
    }
    lines.add("");
    lines.add("Full Path Deviation Measurement");
    lines.add("");
    lines.add("Boat Path Deviation");
    lines.add("");
    lines.add("Boat Statistics: ");
}

// Report lines 18 to 27 and the database record, from the analysed statistics; the counts
// of the statistics become the report's percentages.
std::string add_statistics(const PassReportInput& input, PassStatistics& stats,
                           ReportLines& lines) {
    lines.add("Mean Boat Deviation from best fit line: ",
              number_text(round3(stats.meanAbsDeviation)));
    lines.add("Maximum Deviation from best fit line: ", number_text(round3(stats.maxDeviation)));
    lines.add("");
    lines.add("Driver Statistics");
    lines.add("Mean Absolute Deviation (from center): ",
              number_text(round3(input.figures.passMeanAbsDeviation)));
    std::string maxLine = "Max deviation (from center) of ";
    maxLine += number_text(input.figures.passMaxAbsDeviation);
    maxLine += " at frame ";
    maxLine += number_text(input.figures.passMaxAbsIndex);
    lines.add(std::move(maxLine));

    const ReportShares shares = report_shares(input.samples, input.lastSampleIndex,
                                              input.directionSign, input.pass.discipline);
    stats.leftCount = shares.left;
    stats.centerCount = shares.center;
    stats.rightCount = shares.right;
    std::string sharesLine = "Left: ";
    sharesLine += number_text(shares.left);
    sharesLine += "%  Center: ";
    sharesLine += number_text(shares.center);
    sharesLine += "%  Right: ";
    sharesLine += number_text(shares.right);
    sharesLine += "%";
    lines.add(std::move(sharesLine));
    lines.add("");
    lines.add("Frames Measured: ", number_text(input.figures.passSampleCount));
    lines.add("");
    return database_record(input, stats, shares);
}

void add_sample_lines(const PassReportInput& input, ReportLines& lines) {
    const double length = course::course_length(input.pass.discipline);
    const int n = input.lastSampleIndex;
    for (int k = 0; k <= n; ++k) {
        lines.add(sample_line(k, k * length / n, input.samples[static_cast<std::size_t>(k)]));
    }
}

LogWrite append_log(std::string_view folder, const std::string& name, std::string content) {
    LogWrite write;
    write.path = text::path_in_folder(folder, name);
    content += "\r\n";
    write.status = text::append_to_file(write.path, content);
    return write;
}

}  // namespace

std::string result_log_name(const text::CivilDateTime& when) {
    std::string name = "ResultLog";
    name += text::month_day_text(when);
    name += ".txt";
    return name;
}

std::string database_log_name(const text::CivilDateTime& when) {
    std::string name = "dbResultLog";
    name += text::month_day_text(when);
    name += ".txt";
    return name;
}

ReportShares report_shares(std::span<const double> samples, int lastSampleIndex,
                           double directionSign, course::Discipline discipline) {
    const double threshold =
        discipline == course::Discipline::Slalom ? slalomShareThreshold : jumpShareThreshold;
    int leftCount = 0;
    int rightCount = 0;
    for (int k = 0; k <= lastSampleIndex; ++k) {
        const double side = directionSign * samples[static_cast<std::size_t>(k)];
        if (side < -threshold) {
            ++rightCount;
        }
        if (side > threshold) {
            ++leftCount;
        }
    }
    ReportShares shares;
    shares.left = share_percent(leftCount, lastSampleIndex + 1);
    shares.right = share_percent(rightCount, lastSampleIndex + 1);
    shares.center = 100 - shares.left - shares.right;
    return shares;
}

ComposedReport compose_pass_report(const PassReportInput& input, const PassStatistics& analysed) {
    require_pass_samples(input.samples, input.lastSampleIndex);
    ComposedReport report;
    report.statistics = analysed;
    ReportLines lines;
    add_heading(input, lines);
    report.record = add_statistics(input, report.statistics, lines);
    add_sample_lines(input, lines);
    report.text = lines.joined();
    return report;
}

PassReport build_pass_report(const PassReportInput& input) {
    const auto& pass = input.pass;
    PassReport report;

    ReportLines lines;
    add_heading(input, lines);
    PassAnalysis analysis = analyse_pass(input.samples, input.lastSampleIndex, input.directionSign,
                                         pass.discipline, pass.resultsFolder, input.now);
    report.summaryFile = {std::move(analysis.summaryPath), std::move(analysis.summaryStatus)};
    report.statistics = analysis.statistics;
    report.record = add_statistics(input, report.statistics, lines);
    add_sample_lines(input, lines);
    report.text = lines.joined();

    report.resultLog = append_log(pass.resultsFolder, result_log_name(input.now), report.text);
    report.databaseLog =
        append_log(pass.resultsFolder, database_log_name(input.now), report.record);
    return report;
}

}  // namespace quillon::analysis
