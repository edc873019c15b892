#include "analysis/pass_report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "text/number_text.h"
#include "text/text_file.h"

using namespace quillon;
using namespace quillon::analysis;
using course::Discipline;

namespace {

const text::CivilDateTime december6{2026, 12, 6, 14, 5, 9};

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (true) {
        const auto end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) {
            return lines;
        }
        start = end + 2;
    }
}

std::vector<std::string> fields_of(const std::string& record) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true) {
        const auto end = record.find('|', start);
        fields.push_back(record.substr(start, end - start));
        if (end == std::string::npos) {
            return fields;
        }
        start = end + 1;
    }
}

// A report input as the Results screen hands it over after a default slalom pass.
struct ReportCase {
    explicit ReportCase(Discipline discipline = Discipline::Slalom,
                        course::Direction direction = course::Direction::Towards) {
        auto& pass = input.pass;
        pass.discipline = discipline;
        pass.direction = direction;
        pass.skier = "Ann Lee";
        pass.tournament = "Autumn Cup";
        pass.location = "Lake Quill";
        pass.date = "Dec 6";
        pass.boatNumber = "3";
        pass.boatManufacturer = "Hydra";
        pass.boatModel = "Arrow 200";
        pass.driver = "Bo Reyes";
        const int last = course::last_sample_index(pass);
        samples.assign(static_cast<std::size_t>(last) + 1, 0.0);
        input.lastSampleIndex = last;
        input.directionSign = direction == course::Direction::Away ? 1.0 : -1.0;
        input.speedText = std::to_string(course::speed_kmh(pass));
        input.lineText = course::line_length_label(pass.lineLength);
        input.split = "10.2";
        input.full = "17.9";
        input.now = december6;
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

TEST(PassReport, HeadingLinesPerDisciplineAndDirection) {
    const struct {
        Discipline discipline;
        course::Direction direction;
        course::LineLength line;
        std::vector<std::string> heading;
    } cases[] = {
        {Discipline::Slalom,
         course::Direction::Towards,
         course::LineLength::m11_25,
         {"Slalom Pass Results", "Skier Name: Ann Lee", "Tournament: Autumn Cup",
          "Location: Lake Quill", "Date: Dec 6", "Driver: Bo Reyes", "Boat: Hydra",
          "Date of Measurement: 12-06-2026", "Time of Measurement: 14:05:09", "Line Length: 11.25m",
          "Boat is coming toward the camera", "", "Full Path Deviation Measurement", "",
          "Boat Path Deviation", "", "Boat Statistics: "}},
        {Discipline::Slalom,
         course::Direction::Away,
         course::LineLength::m9_75,
         {"Slalom Pass Results", "Skier Name: Ann Lee", "Tournament: Autumn Cup",
          "Location: Lake Quill", "Date: Dec 6", "Driver: Bo Reyes", "Boat: Hydra",
          "Date of Measurement: 12-06-2026", "Time of Measurement: 14:05:09", "Line Length:  9.75m",
          "Boat is going away from camera", "", "Full Path Deviation Measurement", "",
          "Boat Path Deviation", "", "Boat Statistics: "}},
        {Discipline::Jump,
         course::Direction::Towards,
         course::LineLength::m11_25,
         {"Jump Pass Results", "Skier Name: Ann Lee", "Tournament: Autumn Cup",
          "Location: Lake Quill", "Date: Dec 6", "Driver: Bo Reyes", "Boat: Hydra",
          "Date of Measurement: 12-06-2026", "Time of Measurement: 14:05:09",
          "Boat is coming toward the camera", "", "Full Path Deviation Measurement", "",
          "Boat Path Deviation", "", "Boat Statistics: "}},
    };
    for (const auto& c : cases) {
        ReportCase report(c.discipline, c.direction);
        report.input.pass.lineLength = c.line;
        const auto composed = compose_pass_report(report.ready(), PassStatistics{});
        const auto lines = lines_of(composed.text);
        ASSERT_GT(lines.size(), c.heading.size());
        EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + c.heading.size()),
                  c.heading);
        const int samples = report.input.lastSampleIndex + 1;
        // Heading, 10 statistics lines, one line per sample, nothing after the last.
        EXPECT_EQ(lines.size(), c.heading.size() + 10 + static_cast<std::size_t>(samples));
    }
}

TEST(PassReport, StatisticsBlockOfAKnownPass) {
    ReportCase report;
    report.ready();
    report.input.figures.passMeanAbsDeviation = 0.044;
    report.input.figures.passMaxAbsDeviation = 0.13;
    report.input.figures.passMaxAbsIndex = 95;
    report.input.figures.passSampleCount = 162;
    PassStatistics analysed;
    analysed.meanAbsDeviation = 0.044;
    analysed.maxDeviation = 0.118;
    const auto lines = lines_of(compose_pass_report(report.input, analysed).text);
    const std::vector<std::string> expected = {
        "Boat Statistics: ",
        "Mean Boat Deviation from best fit line:  .044",
        "Maximum Deviation from best fit line:  .118",
        "",
        "Driver Statistics",
        "Mean Absolute Deviation (from center):  .044",
        "Max deviation (from center) of  .13 at frame  95",
        "Left:  0%  Center:  100%  Right:  0%",
        "",
        "Frames Measured:  162",
        "",
        "Frame  0   Course Position: 000.0   Deviation:  0",
    };
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 16, lines.begin() + 28), expected);
}

TEST(PassReport, SampleLines) {
    ReportCase slalom;
    slalom.samples[1] = -0.12;
    slalom.samples[2] = 0.3;
    slalom.samples[161] = 0.05;
    const auto slalomLines = lines_of(compose_pass_report(slalom.ready(), {}).text);
    EXPECT_EQ(slalomLines[28], "Frame  1   Course Position: 001.6   Deviation: -.12");
    EXPECT_EQ(slalomLines[29], "Frame  2   Course Position: 003.2   Deviation:  .3");
    EXPECT_EQ(slalomLines.back(), "Frame  161   Course Position: 259.0   Deviation:  .05");

    ReportCase jump(Discipline::Jump);
    jump.input.pass.jumpSpeed = course::JumpSpeed::Kmh48;
    jump.input.lastSampleIndex = 210;
    jump.samples.assign(211, -0.07);
    const auto jumpLines = lines_of(compose_pass_report(jump.ready(), {}).text);
    EXPECT_EQ(jumpLines[26], "Frame  0   Course Position: 000.0   Deviation: -.07");
    EXPECT_EQ(jumpLines[26 + 105], "Frame  105   Course Position: 140.0   Deviation: -.07");
    EXPECT_EQ(jumpLines.back(), "Frame  210   Course Position: 280.0   Deviation: -.07");
}

TEST(PassReport, SharesUseTheDisciplineThresholdAndTheDirection) {
    // 162 slalom samples / 178 jump samples: 20 at +a, 10 at -b, the rest 0.
    const struct {
        Discipline discipline;
        double sign;
        double plus;
        double minus;
        ReportShares shares;
    } cases[] = {
        {Discipline::Slalom, 1.0, 0.2, 0.2, {12, 82, 6}},
        {Discipline::Slalom, -1.0, 0.2, 0.2, {6, 82, 12}},
        {Discipline::Slalom, 1.0, 0.12, 0.12, {0, 100, 0}},
        {Discipline::Jump, 1.0, 0.2, 0.2, {0, 100, 0}},
        {Discipline::Jump, 1.0, 0.24, 0.25, {0, 94, 6}},
        {Discipline::Jump, -1.0, 0.3, 0.3, {6, 83, 11}},
    };
    for (const auto& c : cases) {
        ReportCase report(c.discipline);
        for (int k = 0; k < 20; ++k) {
            report.samples[static_cast<std::size_t>(k)] = c.plus;
        }
        for (int k = 20; k < 30; ++k) {
            report.samples[static_cast<std::size_t>(k)] = -c.minus;
        }
        report.input.directionSign = c.sign;
        const auto composed = compose_pass_report(report.ready(), PassStatistics{});
        EXPECT_EQ(composed.statistics.leftCount, c.shares.left) << c.plus << " " << c.sign;
        EXPECT_EQ(composed.statistics.centerCount, c.shares.center) << c.plus << " " << c.sign;
        EXPECT_EQ(composed.statistics.rightCount, c.shares.right) << c.plus << " " << c.sign;
        const auto fields = fields_of(composed.record);
        EXPECT_EQ(fields[14], text::number_text(c.shares.left));
        EXPECT_EQ(fields[15], text::number_text(c.shares.center));
        EXPECT_EQ(fields[16], text::number_text(c.shares.right));
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
    const auto composed = compose_pass_report(report.input, analysed);
    EXPECT_EQ(composed.record,
              "3|Hydra|Arrow 200|S|Bo Reyes|Ann Lee|58|11.25| .044| .118| .001| .13|10.2|17.9| 1| "
              "99| 0|-0.01|0.13|0.00|1.20|");

    report.input.comment = "windy | rough";
    report.input.pass.discipline = Discipline::Jump;
    report.input.lineText = " 9.75";
    const auto fields = fields_of(compose_pass_report(report.input, analysed).record);
    ASSERT_EQ(fields.size(), 23u);  // the typed "|" splits the comment
    EXPECT_EQ(fields[3], "J");
    EXPECT_EQ(fields[7], " 9.75");
    EXPECT_EQ(fields[21], "windy ");
    EXPECT_EQ(fields[22], " rough");
}

TEST(PassReport, WritesTheThreeLogsAndAppendsTheNextPass) {
    test_support::TempFolder folder;
    ReportCase first;
    first.input.pass.resultsFolder = folder.str();
    first.samples[3] = 0.2;
    const auto a = build_pass_report(first.ready());
    ReportCase second(Discipline::Jump);
    second.input.pass.resultsFolder = folder.str();
    second.input.comment = "second";
    const auto b = build_pass_report(second.ready());
    ASSERT_TRUE(a.allWritten());
    ASSERT_TRUE(b.allWritten());

    EXPECT_EQ(a.resultLog.path, folder.file("ResultLog1206.txt"));
    EXPECT_EQ(a.databaseLog.path, folder.file("dbResultLog1206.txt"));
    EXPECT_EQ(a.summaryFile.path, folder.file("originalmeasurements.txt"));
    EXPECT_EQ(text::read_file(a.resultLog.path).bytes, a.text + "\r\n" + b.text + "\r\n");
    EXPECT_EQ(text::read_file(a.databaseLog.path).bytes, a.record + "\r\n" + b.record + "\r\n");
    const std::string summary = text::read_file(a.summaryFile.path).bytes;
    EXPECT_TRUE(summary.starts_with("Slalom\r\n12-06-2026\r\n"));
    EXPECT_NE(summary.find("\r\nJump\r\n12-06-2026\r\n"), std::string::npos);

    // The build is the analysis and the composition, in one go.
    const auto statistics = compute_pass_statistics(first.samples, 161, -1.0, Discipline::Slalom);
    const auto composed = compose_pass_report(first.input, statistics);
    EXPECT_EQ(a.text, composed.text);
    EXPECT_EQ(a.record, composed.record);
    EXPECT_EQ(a.statistics.rightCount, 1);  // 1 of 162 right: 1 %, in per cent now

    // A pass after midnight starts the next day's logs.
    ReportCase third;
    third.input.pass.resultsFolder = folder.str();
    third.input.now = {2026, 12, 7, 0, 0, 1};
    EXPECT_EQ(build_pass_report(third.ready()).resultLog.path, folder.file("ResultLog1207.txt"));
}

TEST(PassReport, OneFailedLogDoesNotStopTheOthers) {
    test_support::TempFolder folder;
    // A folder where the day's result log should be: that append fails.
    std::filesystem::create_directory(folder.file("ResultLog1206.txt"));
    ReportCase report;
    report.input.pass.resultsFolder = folder.str();
    const auto built = build_pass_report(report.ready());
    EXPECT_FALSE(built.allWritten());
    EXPECT_TRUE(built.summaryFile.status.ok);
    EXPECT_FALSE(built.resultLog.status.ok);
    EXPECT_FALSE(built.resultLog.status.description.empty());
    EXPECT_TRUE(built.databaseLog.status.ok);
    EXPECT_EQ(text::read_file(built.databaseLog.path).bytes, built.record + "\r\n");
    EXPECT_FALSE(built.text.empty());
}
