// The record dossier's content without Qt: how the calibration, the camera's exactness, the
// video, the way the line was kept and the limit are worded.

#include "dossier/dossier_content.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/sha256.h"
#include "text/text_file.h"

using namespace quillon;
using namespace quillon::dossier;

namespace {

// A camera that sees `metresPerTwip` of water per twip everywhere, across and along: one
// screen pixel (15 twips) is 1500 x metresPerTwip centimetres wide.
CalibrationFacts flat_camera(double metresPerTwip, PixelBasis pixel = {}) {
    CalibrationFacts facts;
    facts.coefficients = {0, metresPerTwip, 0, 0, 0, 0, 0, metresPerTwip};
    facts.pixel = pixel;
    return facts;
}

DossierContent slalom_pass(std::optional<CalibrationFacts> calibration) {
    const std::vector<double> samples(162, 0.0);
    return dossier_content("Slalom Pass Results\r\n", course::Discipline::Slalom,
                           course::Direction::Towards, samples, 161, -1.0, {}, {},
                           std::move(calibration));
}

bool has_line(const std::vector<std::string>& lines, const std::string& wanted) {
    for (const auto& line : lines) {
        if (line == wanted) {
            return true;
        }
    }
    return false;
}

}  // namespace

// The setup is named by its file, or by when it was marked; the ratios come from the marks in
// use against the width of the pixel basis; a back ratio under the minimum is warned of.
TEST(DossierContent, CalibrationIsNamedAndItsRatiosComeFromTheMarks) {
    const struct {
        const char* what;
        std::string setupFile;
        std::string markedAt;
        PixelBasis pixel;
        double farGateTwips;  // the upper gate's width on the screen
        std::vector<std::string> expected;
        bool warned;
    } cases[] = {
        {"file",
         "/data/SlalomOK.ipt",
         "",
         {15, 1024, false},
         2820,
         {"Setup: file /data/SlalomOK.ipt",
          "Front Ratio: 58%   Back Ratio: 18% (from the marks in use, of the screen's width, 1024 "
          "pixels)"},
         false},
        {"marked, far gate too narrow",
         "No File",
         "2026-12-06 14:05",
         {15, 1024, false},
         2300,
         {"Setup: marked on the Setup screen, 2026-12-06 14:05",
          "Front Ratio: 58%   Back Ratio: 14% (from the marks in use, of the screen's width, 1024 "
          "pixels)",
          "Warning: the back ratio is under the 16% minimum"},
         true},
        // A 720-pixel video shown 1440 pixels wide: each video pixel is 30 twips.
        {"video pixels",
         "c.ipt",
         "",
         {30, 720, true},
         2820,
         {"Front Ratio: 41%   Back Ratio: 13% (from the marks in use, of the video's width, 720 "
          "pixels)"},
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CalibrationFacts facts = flat_camera(0.001, c.pixel);
        facts.setupFile = c.setupFile;
        facts.markedAt = c.markedAt;
        // Points 1 upper right, 2 lower right, 3 upper left, 4 lower left; the near gate 9000
        // twips wide (58% of 1024 x 15).
        facts.points[0][0] = 6000 + c.farGateTwips;
        facts.points[2][0] = 6000;
        facts.points[1][0] = 12030;
        facts.points[3][0] = 3030;
        const auto lines = calibration_lines(slalom_pass(facts));
        for (const auto& expected : c.expected) {
            EXPECT_TRUE(has_line(lines, expected)) << expected << "\n" << lines[3];
        }
        EXPECT_EQ(has_line(lines, "Warning: the back ratio is under the 16% minimum"), c.warned);
    }
    EXPECT_EQ(calibration_lines(slalom_pass(std::nullopt)),
              std::vector<std::string>{"No calibration was given for this pass."});
}

// One pixel across the course at every zone, in the pixel the dossier says; a warning names the
// zones where a pixel is wider than 5 cm.
TEST(DossierContent, CameraExactnessPerZoneAndItsWarning) {
    const struct {
        const char* what;
        CalibrationFacts facts;
        std::string heading;
        std::string sizes;
        std::string warning;
    } cases[] = {
        {"screen pixel of 1.5 cm", flat_camera(0.001),
         "Lateral size of one screen pixel (15 twips, as the accuracy check takes it) at each "
         "zone's row:",
         "Entry gate 1.5 cm, Buoy 1 1.5 cm, Buoy 2 1.5 cm, Buoy 3 1.5 cm, Buoy 4 1.5 cm, Buoy 5 "
         "1.5 cm, Buoy 6 1.5 cm, Exit gate 1.5 cm",
         ""},
        {"video pixel of 6 cm", flat_camera(0.002, {30, 720, true}),
         "Lateral size of one video pixel (30.0 twips on the screen) at each zone's row:",
         "Entry gate 6.0 cm, Buoy 1 6.0 cm, Buoy 2 6.0 cm, Buoy 3 6.0 cm, Buoy 4 6.0 cm, Buoy 5 "
         "6.0 cm, Buoy 6 6.0 cm, Exit gate 6.0 cm",
         "Warning: one pixel is wider than 5 cm in Entry gate, Buoy 1, Buoy 2, Buoy 3, Buoy 4, "
         "Buoy 5, Buoy 6, Exit gate; the camera cannot resolve the limit there"},
        {"just under 5 cm is enough", flat_camera(0.0499 / 15), "", "Entry gate 5.0 cm", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto lines = exactness_lines(slalom_pass(c.facts));
        ASSERT_GE(lines.size(), 2u);
        if (!c.heading.empty()) {
            EXPECT_EQ(lines[0], c.heading);
        }
        EXPECT_TRUE(lines[1].starts_with(c.sizes)) << lines[1];
        EXPECT_EQ(lines.size() == 3 ? lines[2] : std::string(), c.warning);
    }
    EXPECT_TRUE(exactness_lines(slalom_pass(std::nullopt)).empty());
}

// The coefficient lines are hashed exactly as a setup file writes them.
TEST(DossierContent, CoefficientHashIsOfTheSetupFileLines) {
    CalibrationFacts facts;
    facts.coefficients = {31.5, -0.004, 0.0015, 0, 0.00126, 1287.8, 0, -0.477};
    EXPECT_EQ(
        coefficients_sha256(facts),
        text::sha256_hex(" 31.5 \r\n-.004 \r\n .0015 \r\n 0 \r\n .00126 \r\n 1287.8 \r\n 0 \r\n"
                         "-.477 \r\n"));
}

TEST(DossierContent, ClockLineVideoAndLimitLegend) {
    const struct {
        std::string line;
        std::string file;
        double seconds;  // -1: no video
    } clocks[] = {
        {"Pass Clock: Video Time (pass one.mp4 from 0:01.500)", "pass one.mp4", 1.5},
        {"Pass Clock: Video Time (a.mp4 from 2:03.250), Auto Track, 7 samples not tracked "
         "(36, 61-63, 137-139)",
         "a.mp4", 123.25},
        {"Pass Clock: Live Video (Pass_2026-12-06_14-05-09.mkv from 0:00.000, mark "
         "472.815,197.000), Auto Track",
         "Pass_2026-12-06_14-05-09.mkv", 0},
        {"Pass Clock: Wall Clock", "", -1},
        {"", "", -1},
    };
    for (const auto& c : clocks) {
        const auto video = clock_line_video(c.line);
        ASSERT_EQ(video.has_value(), c.seconds >= 0) << c.line;
        if (video) {
            EXPECT_EQ(video->fileName, c.file);
            EXPECT_DOUBLE_EQ(video->sample0Seconds.value_or(-1), c.seconds);
        }
    }
    const struct {
        double limit;
        const char* legend;
    } legends[] = {{0.20, "Red Line - 20cm Record Limit"},
                   {0.15, "Red Line - 15cm Limit"},
                   {0.05, "Red Line - 5cm Limit"},
                   {0.24, "Red Line - 24cm Limit"}};
    for (const auto& l : legends) {
        EXPECT_EQ(limit_legend(l.limit), l.legend);
    }
}

// How the line was kept, from the samples' provenance.
TEST(DossierContent, MeasuredByLineFromTheProvenance) {
    using analysis::Provenance;
    auto content = slalom_pass(std::nullopt);
    EXPECT_EQ(measured_by_line(content), "Line held by the operator (keys, joystick, mouse)");
    content.facts.provenance.assign(162, Provenance::Operator);
    EXPECT_EQ(measured_by_line(content), "Line held by the operator (keys, joystick, mouse)");
    content.facts.provenance.assign(162, Provenance::Tracked);
    EXPECT_EQ(measured_by_line(content), "Auto Track: 162 of 162 samples tracked");
    for (const int k : {36, 61, 62, 63, 137, 138, 139}) {
        content.facts.provenance[static_cast<std::size_t>(k)] = Provenance::Held;
    }
    EXPECT_EQ(measured_by_line(content),
              "Auto Track: 155 of 162 samples tracked; not tracked: 36, 61-63, 137-139");
}
