#include "analysis/pass_report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "text/text_file.h"

using namespace quillon;
using namespace quillon::analysis;
using course::Direction;
using course::Discipline;

namespace {

std::vector<std::string> split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    for (std::size_t start = 0;;) {
        const auto end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos) {
            return parts;
        }
        start = end + separator.size();
    }
}

// A report's lines: every one ends with CR LF, the last sample line too.
std::vector<std::string> report_lines(const std::string& text) {
    EXPECT_TRUE(text.ends_with("\r\n"));
    return split(text.substr(0, text.size() - 2), "\r\n");
}

// The report input the Results screen hands over after a pass with all samples 0.
struct ReportCase {
    explicit ReportCase(Discipline discipline = Discipline::Slalom,
                        Direction direction = Direction::Towards) {
        auto& pass = input.pass;
        pass.discipline = discipline;
        pass.direction = direction;
        pass.skier = "Ann Lee";
        pass.tournament = "Autumn Cup";
        pass.boatNumber = "3";
        pass.boatManufacturer = "Hydra";
        pass.boatModel = "Arrow 200";
        pass.driver = "Bo Reyes";
        input.lastSampleIndex = course::last_sample_index(pass);
        samples.assign(static_cast<std::size_t>(input.lastSampleIndex) + 1, 0.0);
        input.directionSign = direction == Direction::Away ? 1.0 : -1.0;
        input.speedText = std::to_string(course::speed_kmh(pass));
        input.lineText = course::line_length_label(pass.lineLength);
        input.split = "10.2";
        input.full = "17.9";
        input.now = {2026, 12, 6, 14, 5, 9};
    }

    const PassReportInput& ready() {
        input.samples = samples;
        input.figures = end_of_pass_figures(samples, input.lastSampleIndex);
        return input;
    }

    PassReportInput input;
    std::vector<double> samples;
};

}  // namespace

TEST(PassReport, LinesOfASlalomAndAJumpReport) {
    ReportCase slalom;
    slalom.samples[1] = -0.12;
    slalom.samples[161] = 0.05;
    const auto lines = report_lines(compose_pass_report(slalom.ready(), {}).text);
    const std::vector<std::string> heading = {"Slalom Pass Results",
                                              "Skier Name: Ann Lee",
                                              "Tournament: Autumn Cup",
                                              "Location: ",
                                              "Date: ",
                                              "Driver: Bo Reyes",
                                              "Boat: Hydra",
                                              "Date of Measurement: 12-06-2026",
                                              "Time of Measurement: 14:05:09",
                                              "Line Length: 11.25m",
                                              "Boat is coming toward the camera",
                                              "",
                                              "Full Path Deviation Measurement",
                                              "",
                                              "Boat Path Deviation",
                                              "",
                                              "Boat Statistics: "};
    ASSERT_EQ(lines.size(), 17u + 10u + 162u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 17), heading);
    EXPECT_EQ(lines[25], "Frames Measured:  162");
    EXPECT_EQ(lines[27], "Frame  0   Course Position: 000.0   Deviation:  0");
    EXPECT_EQ(lines[28], "Frame  1   Course Position: 001.6   Deviation: -.12");
    EXPECT_EQ(lines.back(), "Frame  161   Course Position: 259.0   Deviation:  .05");

    ReportCase jump(Discipline::Jump, Direction::Away);
    jump.input.pass.jumpSpeed = course::JumpSpeed::Kmh48;
    jump.input.lastSampleIndex = 210;
    jump.samples.assign(211, -0.07);
    const auto jumpLines = report_lines(compose_pass_report(jump.ready(), {}).text);
    ASSERT_EQ(jumpLines.size(), 16u + 10u + 211u);  // no "Line Length: " line
    EXPECT_EQ(jumpLines[0], "Jump Pass Results");
    EXPECT_EQ(jumpLines[9], "Boat is going away from camera");
    EXPECT_EQ(jumpLines[26 + 105], "Frame  105   Course Position: 140.0   Deviation: -.07");
    EXPECT_EQ(jumpLines.back(), "Frame  210   Course Position: 280.0   Deviation: -.07");

    ReportCase shortLine(Discipline::Slalom, Direction::Away);
    shortLine.input.pass.lineLength = course::LineLength::m9_75;
    EXPECT_EQ(report_lines(compose_pass_report(shortLine.ready(), {}).text)[9],
              "Line Length:  9.75m");
}

TEST(PassReport, StatisticsLinesOfAKnownPass) {
    ReportCase report;
    report.ready();
    report.input.figures = {162, 0.044, 0.13, 95};
    PassStatistics analysed;
    analysed.meanAbsDeviation = 0.044;
    analysed.maxDeviation = 0.118;
    const auto lines = report_lines(compose_pass_report(report.input, analysed).text);
    const std::vector<std::string> expected = {
        "Boat Statistics: ",
        "Mean Boat Deviation from best fit line:  .044",
        "Maximum Deviation from best fit line:  .118",
        "",
        "Driver Statistics",
        "Mean Absolute Deviation (from center):  .044",
        "Max deviation (from center) of  .13 at frame  95",
        "Left:  0%  Center:  100%  Right:  0%",
    };
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 16, lines.begin() + 24), expected);
}

TEST(PassReport, SharesUseTheDisciplineThresholdAndTheDirection) {
    // 20 samples at +plus, 10 at -minus, the rest 0 (162 in slalom, 178 in jump).
    const struct {
        Discipline discipline;
        double sign;
        double plus;
        double minus;
        const char* fields;  // record fields 15 to 17
    } cases[] = {
        {Discipline::Slalom, 1.0, 0.2, 0.2, "| 12| 82| 6|"},
        {Discipline::Slalom, -1.0, 0.2, 0.2, "| 6| 82| 12|"},
        {Discipline::Slalom, 1.0, 0.12, 0.12, "| 0| 100| 0|"},
        {Discipline::Jump, 1.0, 0.2, 0.2, "| 0| 100| 0|"},
        {Discipline::Jump, 1.0, 0.24, 0.25, "| 0| 94| 6|"},
        {Discipline::Jump, -1.0, 0.3, 0.3, "| 6| 83| 11|"},
    };
    for (const auto& c : cases) {
        ReportCase report(c.discipline);
        std::fill_n(report.samples.begin(), 20, c.plus);
        std::fill_n(report.samples.begin() + 20, 10, -c.minus);
        report.input.directionSign = c.sign;
        const auto composed = compose_pass_report(report.ready(), PassStatistics{});
        const auto& stats = composed.statistics;
        EXPECT_EQ(stats.leftCount + stats.centerCount + stats.rightCount, 100);
        EXPECT_NE(composed.record.find(c.fields), std::string::npos) << composed.record;
        const std::string left = std::string("Left: ").append(split(c.fields, "|")[1]).append("%");
        EXPECT_NE(composed.text.find(left), std::string::npos);
    }
}

TEST(PassReport, DatabaseRecordFields) {
    ReportCase report;
    report.samples[95] = -0.13;
    report.ready();
    PassStatistics analysed;
    analysed.meanAbsDeviation = 0.0441;
    analysed.maxDeviation = 0.1184;
    analysed.averageDistanceFromCenter = -0.015;
    analysed.deviationAtStart = 0.125;
    analysed.deviationAtExit = -0.001;
    analysed.totalDeviation = 1.2;
    EXPECT_EQ(compose_pass_report(report.input, analysed).record,
              "3|Hydra|Arrow 200|S|Bo Reyes|Ann Lee|58|11.25| .044| .118| .001| .13|10.2|17.9| "
              "1| 99| 0|-0.01|0.13|0.00|1.20|");

    report.input.comment = "windy | rough";
    report.input.pass.discipline = Discipline::Jump;
    report.input.lineText = " 9.75";
    const auto fields = split(compose_pass_report(report.input, analysed).record, "|");
    ASSERT_EQ(fields.size(), 23u);  // a typed "|" splits the comment
    EXPECT_EQ(fields[3], "J");
    EXPECT_EQ(fields[7], " 9.75");
}

TEST(PassReport, AppendsTheThreeLogsAndKeepsGoingPastAFailedOne) {
    test_support::TempFolder folder;
    ReportCase first;
    first.input.pass.resultsFolder = folder.str();
    first.samples[3] = 0.2;
    const auto a = build_pass_report(first.ready());
    ReportCase second(Discipline::Jump);
    second.input.pass.resultsFolder = folder.str();
    const auto b = build_pass_report(second.ready());
    ASSERT_TRUE(a.allWritten() && b.allWritten());
    EXPECT_EQ(a.resultLog.path, folder.file("ResultLog1206.txt"));
    // Each pass is its report, every line ended, and one empty line after it.
    const std::string log = text::read_file(a.resultLog.path).bytes;
    EXPECT_EQ(log, a.text + "\r\n" + b.text + "\r\n");
    EXPECT_NE(log.find("Frame  161   Course Position: 259.0   Deviation:  0\r\n\r\n"
                       "Jump Pass Results\r\n"),
              std::string::npos);
    EXPECT_TRUE(log.ends_with("Frame  177   Course Position: 280.0   Deviation:  0\r\n\r\n"));
    EXPECT_EQ(text::read_file(folder.file("dbResultLog1206.txt")).bytes,
              a.record + "\r\n" + b.record + "\r\n");
    EXPECT_EQ(split(text::read_file(a.summaryFile.path).bytes, "\r\n").size(), 21u);
    // The build is the analysis followed by the composition; the counts become per cent.
    const auto composed = compose_pass_report(
        first.input, compute_pass_statistics(first.samples, 161, -1.0, Discipline::Slalom));
    EXPECT_EQ(a.text, composed.text);
    EXPECT_EQ(a.record, composed.record);
    EXPECT_EQ(a.statistics.rightCount, 1);
    EXPECT_EQ(a.statistics.centerCount, 99);

    // The next day's result log is a folder: only that append fails.
    std::filesystem::create_directory(folder.file("ResultLog1207.txt"));
    ReportCase third;
    third.input.pass.resultsFolder = folder.str();
    third.input.now = {2026, 12, 7, 0, 0, 1};
    const auto c = build_pass_report(third.ready());
    EXPECT_FALSE(c.allWritten());
    EXPECT_TRUE(c.summaryFile.status.ok);
    EXPECT_FALSE(c.resultLog.status.ok);
    EXPECT_FALSE(c.resultLog.status.description.empty());
    EXPECT_EQ(text::read_file(folder.file("dbResultLog1207.txt")).bytes, c.record + "\r\n");
}
