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

// A saved report of a pass with pseudo-random samples, rounded to the centimetre as the
// Measure screen stores them.
struct SavedPass {
    SavedPass(Discipline discipline, Direction direction, int speedOption, unsigned seed) {
        input.pass.discipline = discipline;
        input.pass.direction = direction;
        if (discipline == Discipline::Slalom) {
            input.pass.slalomSpeed = static_cast<course::SlalomSpeed>(speedOption);
        } else {
            input.pass.jumpSpeed = static_cast<course::JumpSpeed>(speedOption);
        }
        input.lastSampleIndex = course::last_sample_index(input.pass);
        std::mt19937 random(seed);
        std::uniform_int_distribution<int> centimetres(-60, 60);
        for (int k = 0; k <= input.lastSampleIndex; ++k) {
            samples.push_back(centimetres(random) / 100.0);
        }
        input.samples = samples;
        input.figures = end_of_pass_figures(samples, input.lastSampleIndex);
        input.directionSign = direction == Direction::Away ? 1.0 : -1.0;
        const auto statistics = compute_pass_statistics(samples, input.lastSampleIndex,
                                                        input.directionSign, discipline);
        file = saved_report_text(compose_pass_report(input, statistics).text);
    }

    PassReportInput input;
    std::vector<double> samples;
    std::string file;
};

// A slalom report heading followed by the given sample lines and a trailer.
std::string report_with_lines(const std::vector<std::string>& sampleLines,
                              const char* direction = "Boat is coming toward the camera") {
    std::string file = "Slalom Pass Results\r\nSkier Name: Ann\r\n";
    file += direction;
    file += "\r\n\r\nFrames Measured:  3\r\n\r\n";
    for (const auto& line : sampleLines) {
        file += line;
        file += "\r\n";
    }
    file += "\r\n\r\nEnd of Pass Analysis\r\n\r\n";
    return file;
}

std::string frame_line(int k, double position, double deviation) {
    std::string line = "Frame ";
    line += text::number_text(k);
    line += "   Course Position: ";
    line += pattern_text(position, "000.0");
    line += "   Deviation: ";
    line += text::number_text(deviation);
    return line;
}

}  // namespace

TEST(SavedReport, FileEndsWithEmptyLineTrailerAndEmptyLine) {
    EXPECT_EQ(saved_report_text("Slalom Pass Results\r\nFrame  0"),
              "Slalom Pass Results\r\nFrame  0\r\n\r\nEnd of Pass Analysis\r\n\r\n");
}

TEST(SavedReport, RoundTripGivesBackEveryPoint) {
    const struct {
        Discipline discipline;
        Direction direction;
        int speedOption;
    } cases[] = {
        {Discipline::Slalom, Direction::Towards, 0},  // N 161
        {Discipline::Slalom, Direction::Away, 0},
        {Discipline::Slalom, Direction::Away, 4},   // N 203
        {Discipline::Jump, Direction::Towards, 0},  // N 210
        {Discipline::Jump, Direction::Away, 8},     // N 140
        {Discipline::Jump, Direction::Towards, 3},  // N 177
    };
    unsigned seed = 1;
    for (const auto& c : cases) {
        const SavedPass saved(c.discipline, c.direction, c.speedOption, seed++);
        const auto reading = read_saved_report(saved.file, c.discipline);
        ASSERT_FALSE(reading.refusal) << *reading.refusal;
        const auto& report = reading.report;
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
        // The text shown is every line up to the first one after the samples (the empty line
        // before the trailer), without its trailing blanks, each ended by CR LF.
        const auto shownEnd = saved.file.find("\r\n\r\nEnd of Pass Analysis") + 4;
        std::string expected;
        for (std::size_t start = 0; start < shownEnd;) {
            const auto end = saved.file.find("\r\n", start);
            expected += text::trim_trailing_blanks(saved.file.substr(start, end - start));
            expected += "\r\n";
            start = end + 2;
        }
        EXPECT_EQ(report.shownText, expected);
    }
}

TEST(SavedReport, AnyLineEndsReadTheSame) {
    const SavedPass saved(Discipline::Slalom, Direction::Away, 1, 42);
    const auto expected = read_saved_report(saved.file, Discipline::Slalom).report.points;
    for (const char* lineEnd : {"\n", "\r"}) {
        std::string file;
        for (std::size_t i = 0; i < saved.file.size(); ++i) {
            if (saved.file.compare(i, 2, "\r\n") == 0) {
                file += lineEnd;
                ++i;
            } else {
                file += saved.file[i];
            }
        }
        const auto reading = read_saved_report(file, Discipline::Slalom);
        ASSERT_FALSE(reading.refusal);
        EXPECT_EQ(reading.report.points, expected);
        EXPECT_EQ(reading.report.direction, Direction::Away);
    }
}

TEST(SavedReport, FirstItemMustMatchTheSelectedDiscipline) {
    const std::string slalomFile = SavedPass(Discipline::Slalom, Direction::Away, 0, 7).file;
    const std::string jumpFile = SavedPass(Discipline::Jump, Direction::Towards, 0, 8).file;
    const struct {
        std::string bytes;
        Discipline selected;
        const char* refusal;
    } cases[] = {
        {jumpFile, Discipline::Slalom, "Not a valid slalom path results file"},
        {slalomFile, Discipline::Jump, "Not a valid jump path results file"},
        {"", Discipline::Slalom, "Not a valid slalom path results file"},
        {"\r\nSlalom Pass Results\r\n", Discipline::Slalom, "Not a valid slalom path results file"},
        {"Slalom Pass Results, extra\r\n", Discipline::Jump, "Not a valid jump path results file"},
        {std::string("\0\xff\x01", 3), Discipline::Jump, "Not a valid jump path results file"},
    };
    for (const auto& c : cases) {
        SavedReportReader reader(c.bytes, c.selected);
        EXPECT_EQ(reader.checkFirstItem(), std::optional<std::string>(c.refusal));
        const auto rest = reader.readRest();
        EXPECT_TRUE(rest.shownText.empty());
        EXPECT_TRUE(rest.points.empty());
    }
    // Blanks around the first item are dropped; a comma ends it.
    for (const char* accepted : {"  Slalom Pass Results  \r\n", "Slalom Pass Results,x\n"}) {
        SavedReportReader reader(accepted, Discipline::Slalom);
        EXPECT_FALSE(reader.checkFirstItem()) << accepted;
    }
}

TEST(SavedReport, StepsLeaveRoomForTheColourQuestion) {
    const SavedPass saved(Discipline::Jump, Direction::Towards, 8, 9);
    SavedReportReader reader(saved.file, Discipline::Jump);
    ASSERT_FALSE(reader.checkFirstItem());
    // ... the screen asks for the colour here ...
    const auto report = reader.readRest();
    EXPECT_EQ(report.points.size(), 141u);
    EXPECT_TRUE(report.shownText.starts_with("Jump Pass Results\r\nSkier Name: Skiers\r\n"));
    EXPECT_EQ(report, read_saved_report(saved.file, Discipline::Jump).report);
}

TEST(SavedReport, AtMost501Points) {
    const struct {
        int lines;
        std::size_t points;
        bool error;
    } cases[] = {{500, 500, false}, {501, 501, false}, {502, 501, true}, {700, 501, true}};
    for (const auto& c : cases) {
        std::vector<std::string> lines;
        for (int k = 0; k < c.lines; ++k) {
            lines.push_back(frame_line(k, k * 0.5, 0.01 * (k % 7)));
        }
        const auto reading = read_saved_report(report_with_lines(lines), Discipline::Slalom);
        ASSERT_FALSE(reading.refusal);
        EXPECT_EQ(reading.report.points.size(), c.points) << c.lines;
        EXPECT_EQ(reading.report.error.has_value(), c.error) << c.lines;
        if (c.error) {
            EXPECT_EQ(*reading.report.error, subscriptOutOfRange);
            EXPECT_EQ(unexpected_error_text(*reading.report.error),
                      "Unexpected error #9 occurred: Subscript out of range");
        }
    }
}

TEST(SavedReport, BothSampleLayouts) {
    // The older layout: position in the six characters from character 28, deviation after
    // the first colon.
    const std::vector<std::string> buoyLines = {
        "Buoy  1 Sample   0  Dist    000.0 Deviation: -.05",
        "Buoy  1 Sample   1  Dist    001.6 Deviation:  .12",
        "Buoy  2 Sample  99  Dist    159.2 Dev: -1.25",
        "Buoy  6 Sample 161  Dist    259.0 Dev:  0",
        "Frame  4   Course Position: 006.4   Deviation:  .3",
    };
    const auto buoys = read_saved_report(report_with_lines(buoyLines), Discipline::Slalom);
    ASSERT_FALSE(buoys.refusal);
    const std::vector<ReloadedPoint> expectedBuoys = {
        {0, -0.05}, {1.6, 0.12}, {159.2, -1.25}, {259, 0}};
    EXPECT_EQ(buoys.report.points, expectedBuoys);
    EXPECT_EQ(buoys.report.direction, Direction::Towards);
    // Reading stopped at the Frame line: it is shown, the trailer is not.
    EXPECT_TRUE(buoys.report.shownText.ends_with(
        "Dev:  0\r\nFrame  4   Course Position: 006.4   Deviation:  .3\r\n"));

    // Frame numbers of one, two and three digits put the position in the same six characters.
    const std::vector<std::string> frameLines = {
        frame_line(0, 0, 0),
        frame_line(7, 11.26, -0.4),
        frame_line(42, 67.56, 0.02),
        frame_line(161, 259, -0.13),
        "Buoy  1 Sample   0  Dist    000.0 Deviation: -.05",
    };
    const auto frames = read_saved_report(
        report_with_lines(frameLines, "Boat is going away from camera"), Discipline::Slalom);
    const std::vector<ReloadedPoint> expectedFrames = {
        {0, 0}, {11.3, -0.4}, {67.6, 0.02}, {259, -0.13}};
    EXPECT_EQ(frames.report.points, expectedFrames);
    EXPECT_EQ(frames.report.direction, Direction::Away);
}

TEST(SavedReport, DirectionAndItemsOfTheHeading) {
    const struct {
        const char* what;
        std::string file;
        Direction direction;
        std::size_t points;
    } cases[] = {
        {"coming toward", report_with_lines({frame_line(0, 0, 0.1)}), Direction::Towards, 1},
        {"going away", report_with_lines({frame_line(0, 0, 0.1)}, "Boat is going away from camera"),
         Direction::Away, 1},
        {"'Boat is co' after the samples does not count",
         "Slalom Pass Results\r\n" + frame_line(0, 0, 0.1) + "\r\nBoat is coming\r\n",
         Direction::Away, 1},
        {"no sample lines at all", "Slalom Pass Results\r\nBoat is co\r\n", Direction::Towards, 0},
        {"a Buoy line that is not the first sample does not start samples",
         "Slalom Pass Results\r\nBuoy  2 Sample  5  Dist    010.0 Dev: .1\r\n" +
             frame_line(0, 0, 0.2) + "\r\n",
         Direction::Away, 1},
    };
    for (const auto& c : cases) {
        const auto reading = read_saved_report(c.file, Discipline::Slalom);
        ASSERT_FALSE(reading.refusal) << c.what;
        EXPECT_EQ(reading.report.direction, c.direction) << c.what;
        EXPECT_EQ(reading.report.points.size(), c.points) << c.what;
    }
}

TEST(SavedReport, ALineWithCommasArrivesInPieces) {
    const std::string file =
        "Slalom Pass Results\r\nSkier Name: Lee, Ann\r\nLocation: Lake, North\r\n\"Cup, "
        "Autumn\"\r\n" +
        frame_line(0, 0, 0.25) + "\r\n";
    const auto report = read_saved_report(file, Discipline::Slalom).report;
    EXPECT_EQ(report.shownText,
              "Slalom Pass Results\r\nSkier Name: Lee\r\nAnn\r\nLocation: Lake\r\nNorth\r\nCup, "
              "Autumn\r\n" +
                  frame_line(0, 0, 0.25) + "\r\n");
    EXPECT_EQ(report.points, std::vector<ReloadedPoint>({{0, 0.25}}));
}

TEST(SavedReport, ShortAndBrokenSampleLines) {
    const std::vector<std::string> lines = {
        "Frame  2",                           // nothing where the numbers should be
        "Frame  3   Course Position: 004.8",  // no deviation
        "Frame  4   Course Position: abcdef   Deviation: xyz",
        "Frame  5   Course Position: 008.0   Deviation: -.123456789",  // cut to 8 characters
    };
    const auto report = read_saved_report(report_with_lines(lines), Discipline::Slalom).report;
    const std::vector<ReloadedPoint> expected = {{0, 0}, {4.8, 0}, {0, 0}, {8, -0.12345}};
    EXPECT_EQ(report.points, expected);
}

TEST(SavedReport, SurvivesArbitraryBytes) {
    std::mt19937 random(20261206);
    const char rawAlphabet[] = "Frame Buoy  1 Sample,\"\r\n:ation: -.0123456789e+\t\x00\xff";
    const std::string alphabet(rawAlphabet, sizeof rawAlphabet - 1);
    const std::string valid = SavedPass(Discipline::Slalom, Direction::Towards, 2, 3).file;

    auto check = [](const std::string& bytes, Discipline discipline) {
        const auto reading = read_saved_report(bytes, discipline);
        if (reading.refusal) {
            EXPECT_TRUE(reading.report.points.empty());
            return;
        }
        const auto& report = reading.report;
        EXPECT_LE(report.points.size(), reloadedPointCapacity);
        EXPECT_TRUE(report.shownText.ends_with("\r\n"));
        if (report.error) {
            EXPECT_EQ(report.points.size(), reloadedPointCapacity);
        }
    };

    for (int round = 0; round < 300; ++round) {
        // Random bytes from an alphabet of the reader's own markers, after a valid heading.
        std::string bytes = round % 2 ? "Slalom Pass Results\r\n" : "";
        const auto size = std::uniform_int_distribution<int>(0, 4000)(random);
        for (int i = 0; i < size; ++i) {
            bytes += alphabet[std::uniform_int_distribution<std::size_t>(
                0, alphabet.size() - 1)(random)];
        }
        check(bytes, Discipline::Slalom);

        // A saved report mutated: bytes changed, cut short, a slice copied elsewhere.
        std::string mutated = valid;
        const auto edits = std::uniform_int_distribution<int>(1, 20)(random);
        for (int e = 0; e < edits; ++e) {
            const auto at =
                std::uniform_int_distribution<std::size_t>(0, mutated.size() - 1)(random);
            switch (std::uniform_int_distribution<int>(0, 3)(random)) {
                case 0:
                    mutated[at] = static_cast<char>(random());
                    break;
                case 1:
                    mutated.resize(std::max<std::size_t>(at, 1));
                    break;
                case 2: {
                    const std::string slice =
                        mutated.substr(0, std::min<std::size_t>(200, mutated.size()));
                    mutated.insert(mutated.begin() + static_cast<std::ptrdiff_t>(at), slice.begin(),
                                   slice.end());
                    break;
                }
                default:
                    mutated.erase(at, 30);
                    break;
            }
            if (mutated.empty()) {
                mutated = valid;
            }
        }
        check(mutated, Discipline::Slalom);
    }

    // Large inputs: many sample lines stop at the 502nd; one endless line is one item.
    std::string manyLines = "Slalom Pass Results\n";
    while (manyLines.size() < 8'000'000) {
        manyLines += "Frame  1   Course Position: 001.6   Deviation:  .1\n";
    }
    const auto many = read_saved_report(manyLines, Discipline::Slalom).report;
    EXPECT_EQ(many.error, subscriptOutOfRange);
    std::string endlessLine = "Slalom Pass Results\n";
    endlessLine.append(8'000'000, '\x01');
    const auto endless = read_saved_report(endlessLine, Discipline::Slalom).report;
    EXPECT_TRUE(endless.points.empty());
    EXPECT_EQ(endless.shownText.size(), 21u + 8'000'000u + 2u);
}
