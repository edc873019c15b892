#include "analysis/saved_report.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "analysis/pass_report.h"
#include "analysis/report_numbers.h"
#include "text/number_text.h"
#include "text/text_file.h"

using namespace quillon;
using namespace quillon::analysis;
using course::Direction;
using course::Discipline;

namespace {

// The saved report of a pass with pseudo-random samples to the centimetre, as measured.
struct SavedPass {
    SavedPass(Discipline discipline, Direction direction, int speedOption, unsigned seed) {
        auto& pass = input.pass;
        pass.discipline = discipline;
        pass.direction = direction;
        pass.slalomSpeed = static_cast<course::SlalomSpeed>(speedOption % 5);
        pass.jumpSpeed = static_cast<course::JumpSpeed>(speedOption);
        input.lastSampleIndex = course::last_sample_index(pass);
        std::mt19937 random(seed);
        for (int k = 0; k <= input.lastSampleIndex; ++k) {
            samples.push_back(std::uniform_int_distribution<int>(-60, 60)(random) / 100.0);
        }
        input.samples = samples;
        input.figures = end_of_pass_figures(samples, input.lastSampleIndex);
        input.directionSign = direction == Direction::Away ? 1.0 : -1.0;
        file = saved_report_text(compose_pass_report(input, {}).text);
    }

    PassReportInput input;
    std::vector<double> samples;
    std::string file;
};

std::string frame_line(int k, double position, double deviation) {
    std::string line = "Frame ";
    line += text::number_text(k);
    line += "   Course Position: ";
    line += pattern_text(position, "000.0");
    line += "   Deviation: ";
    line += text::number_text(deviation);
    return line;
}

// A slalom report: a few heading lines, then the given lines, then the trailer.
std::string report_file(const std::vector<std::string>& lines,
                        const char* direction = "Boat is coming toward the camera") {
    std::string file = "Slalom Pass Results\r\nSkier Name: Ann\r\n";
    file += direction;
    file += "\r\n\r\n";
    for (const auto& line : lines) {
        file += line;
        file += "\r\n";
    }
    file += "\r\n\r\nEnd of Pass Analysis\r\n\r\n";
    return file;
}

}  // namespace

TEST(SavedReport, FileEndsWithTwoEmptyLinesTrailerAndEmptyLine) {
    EXPECT_EQ(saved_report_text("Slalom Pass Results\r\nFrame  0\r\n"),
              "Slalom Pass Results\r\nFrame  0\r\n\r\n\r\nEnd of Pass Analysis\r\n\r\n");
}

TEST(SavedReport, RoundTripGivesBackEveryPoint) {
    const struct {
        Discipline discipline;
        Direction direction;
        int speedOption;
        const char* lineEnd;
    } cases[] = {
        {Discipline::Slalom, Direction::Towards, 0, "\r\n"},  // N 161
        {Discipline::Slalom, Direction::Away, 4, "\n"},       // N 203
        {Discipline::Jump, Direction::Towards, 0, "\r"},      // N 210
        {Discipline::Jump, Direction::Away, 8, "\r\n"},       // N 140
    };
    unsigned seed = 1;
    for (const auto& c : cases) {
        const SavedPass saved(c.discipline, c.direction, c.speedOption, seed++);
        std::string file;
        for (std::size_t i = 0; i < saved.file.size(); ++i) {
            const bool crLf = saved.file.compare(i, 2, "\r\n") == 0;
            file += crLf ? c.lineEnd : saved.file.substr(i, 1);
            i += crLf ? 1 : 0;
        }
        // Step by step, as the Results screen reads with its colour question in between.
        SavedReportReader reader(file, c.discipline);
        ASSERT_FALSE(reader.checkFirstItem());
        const SavedReport report = reader.readRest();
        EXPECT_FALSE(report.error);
        EXPECT_EQ(report.direction, c.direction);
        const int n = saved.input.lastSampleIndex;
        ASSERT_EQ(report.points.size(), static_cast<std::size_t>(n) + 1);
        const double length = course::course_length(c.discipline);
        for (int k = 0; k <= n; ++k) {
            const auto& point = report.points[static_cast<std::size_t>(k)];
            EXPECT_NEAR(point.position, text::round_half_up(k * length / n, 1), 1e-9) << k;
            EXPECT_DOUBLE_EQ(point.deviation, saved.samples[static_cast<std::size_t>(k)]) << k;
        }
        // Shown: every line up to the empty one after the samples, trailing blanks dropped.
        std::string shown;
        const auto trailer = saved.file.find("\r\n\r\n\r\nEnd of Pass Analysis");
        for (std::size_t start = 0; start <= trailer + 2;) {
            const auto end = saved.file.find("\r\n", start);
            shown += text::trim_trailing_blanks(saved.file.substr(start, end - start));
            shown += "\r\n";
            start = end + 2;
        }
        EXPECT_EQ(report.shownText, shown);
        EXPECT_EQ(report, read_saved_report(file, c.discipline).report);
    }
}

TEST(SavedReport, FirstItemMustMatchTheSelectedDiscipline) {
    const struct {
        std::string bytes;
        Discipline selected;
        const char* refusal;
    } cases[] = {
        {SavedPass(Discipline::Jump, Direction::Towards, 0, 8).file, Discipline::Slalom,
         "Not a valid slalom path results file"},
        {SavedPass(Discipline::Slalom, Direction::Away, 0, 7).file, Discipline::Jump,
         "Not a valid jump path results file"},
        {"", Discipline::Slalom, "Not a valid slalom path results file"},
        {"\r\nSlalom Pass Results\r\n", Discipline::Slalom, "Not a valid slalom path results file"},
        {std::string("\0\xff", 2), Discipline::Jump, "Not a valid jump path results file"},
        {"  Slalom Pass Results ,x\n", Discipline::Slalom, ""},  // blanks dropped, comma ends it
    };
    for (const auto& c : cases) {
        SavedReportReader reader(c.bytes, c.selected);
        EXPECT_EQ(reader.checkFirstItem().value_or(""), c.refusal);
        if (*c.refusal) {
            EXPECT_EQ(reader.readRest(), SavedReport{});
        }
    }
}

TEST(SavedReport, AtMost501Points) {
    for (int count : {501, 502}) {
        std::vector<std::string> lines;
        for (int k = 0; k < count; ++k) {
            lines.push_back(frame_line(k, k * 0.5, 0.01 * (k % 7)));
        }
        const auto report = read_saved_report(report_file(lines), Discipline::Slalom).report;
        EXPECT_EQ(report.points.size(), 501u);
        EXPECT_EQ(report.error, count == 502 ? std::optional(subscriptOutOfRange) : std::nullopt);
    }
}

TEST(SavedReport, BothSampleLayoutsAndWhereReadingStops) {
    // The older layout: position in the six characters from character 28, deviation after
    // the first colon. Reading stops at the Frame line, which is still shown.
    const auto buoys =
        read_saved_report(report_file({"Buoy  1 Sample   0  Dist    000.0 Deviation: -.05",
                                       "Buoy  2 Sample  99  Dist    159.2 Dev: -1.25",
                                       "Buoy  6 Sample 161  Dist    259.0 Dev:  0",
                                       "Frame  4   Course Position: 006.4   Deviation:  .3"}),
                          Discipline::Slalom);
    EXPECT_EQ(buoys.report.points,
              std::vector<ReloadedPoint>({{0, -0.05}, {159.2, -1.25}, {259, 0}}));
    EXPECT_TRUE(
        buoys.report.shownText.ends_with("Dev:  0\r\nFrame  4   Course Position: 006.4"
                                         "   Deviation:  .3\r\n"));

    // Frame numbers of one, two and three digits; short and broken lines read as 0.
    const auto frames =
        read_saved_report(report_file({frame_line(7, 11.26, -0.4), frame_line(42, 67.56, 0.02),
                                       frame_line(161, 259, -0.13), "Frame  2",
                                       "Frame  4   Course Position: abcdef   Deviation: xyz",
                                       "Frame  5   Course Position: 008.0   Deviation: -.123456789",
                                       "Buoy  1 Sample   0  Dist    000.0 Deviation: -.05"},
                                      "Boat is going away from camera"),
                          Discipline::Slalom);
    EXPECT_EQ(frames.report.points,
              std::vector<ReloadedPoint>(
                  {{11.3, -0.4}, {67.6, 0.02}, {259, -0.13}, {0, 0}, {0, 0}, {8, -0.12345}}));
    EXPECT_EQ(frames.report.direction, Direction::Away);
}

TEST(SavedReport, HeadingItemsAndDirection) {
    const struct {
        std::string file;
        Direction direction;
        const char* shown;
    } cases[] = {
        // A line with commas arrives in pieces; a quoted item keeps its commas.
        {"Slalom Pass Results\r\nSkier Name: Lee, Ann\r\n\"Cup, Autumn\"\r\nBoat is coming\r\n",
         Direction::Towards,
         "Slalom Pass Results\r\nSkier Name: Lee\r\nAnn\r\nCup, Autumn\r\nBoat is coming\r\n"},
        // Only a "Boat is co" before the first sample line counts.
        {"Slalom Pass Results\nFrame  0   Course Position: 000.0   Deviation:  .1\nBoat is co\n",
         Direction::Away,
         "Slalom Pass Results\r\nFrame  0   Course Position: 000.0   Deviation:  .1\r\n"
         "Boat is co\r\n"},
        // A Buoy line that is not "Buoy  1 Sample" does not start the samples.
        {"Slalom Pass Results\nBuoy  2 Sample\nBoat is co", Direction::Towards,
         "Slalom Pass Results\r\nBuoy  2 Sample\r\nBoat is co\r\n"},
    };
    for (const auto& c : cases) {
        const auto report = read_saved_report(c.file, Discipline::Slalom).report;
        EXPECT_EQ(report.direction, c.direction) << c.file;
        EXPECT_EQ(report.shownText, c.shown);
    }
}

TEST(SavedReport, SurvivesArbitraryBytes) {
    std::mt19937 random(20261206);
    auto below = [&random](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    const char rawAlphabet[] = "Frame Buoy  1 Sample,\"\r\n:ation: -.0123456789e+\t\x00\xff";
    const std::string alphabet(rawAlphabet, sizeof rawAlphabet - 1);
    const std::string valid = SavedPass(Discipline::Slalom, Direction::Towards, 2, 3).file;

    auto check = [](const std::string& bytes) {
        const auto reading = read_saved_report(bytes, Discipline::Slalom);
        const auto& report = reading.report;
        EXPECT_LE(report.points.size(), reloadedPointCapacity);
        EXPECT_EQ(report.shownText.empty(), reading.refusal.has_value());
        EXPECT_TRUE(!report.error || report.points.size() == reloadedPointCapacity);
    };

    for (int round = 0; round < 200; ++round) {
        // Random bytes drawn from the reader's own markers, half of them after a good heading.
        std::string bytes = round % 2 ? "Slalom Pass Results\r\n" : "";
        for (std::size_t i = below(4000); i > 0; --i) {
            bytes += alphabet[below(alphabet.size())];
        }
        check(bytes);

        // A saved report with bytes changed or cut short.
        std::string mutated = valid;
        for (std::size_t edits = 1 + below(20); edits > 0; --edits) {
            const auto at = below(mutated.size());
            if (below(2)) {
                mutated[at] = static_cast<char>(random());
            } else {
                mutated.resize(std::max<std::size_t>(at, 1));
            }
        }
        check(mutated);
    }

    // Large inputs: many sample lines stop at the 502nd; one endless line is a single item.
    std::string many = "Slalom Pass Results\n";
    while (many.size() < 8'000'000) {
        many += "Frame  1   Course Position: 001.6   Deviation:  .1\n";
    }
    EXPECT_EQ(read_saved_report(many, Discipline::Slalom).report.error, subscriptOutOfRange);
    std::string endless = "Slalom Pass Results\n";
    endless.append(8'000'000, '\x01');
    EXPECT_EQ(read_saved_report(endless, Discipline::Slalom).report.shownText.size(),
              21u + 8'000'000u + 2u);
}
