// The dossier PDF through the real quillon-cli: the text a reader extracts from it holds the
// report's values, the zone table and the calibration, and the graph is drawn, not pasted in.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_folder.h"
#include "text/number_text.h"
#include "text/text_file.h"

namespace fs = std::filesystem;
using namespace quillon;

namespace {

struct ShellRun {
    int status = -1;
    std::string out;
};

ShellRun shell(const std::string& command) {
    ShellRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        return run;
    }
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        run.out.append(buffer, n);
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string quoted(const std::string& text) {
    return "'" + text + "'";
}

// Runs of blanks as one: the extracted text spaces words as the layout places them.
std::string squeezed(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r') {
            continue;
        }
        if (c == ' ' && !out.empty() && (out.back() == ' ' || out.back() == '\n')) {
            continue;
        }
        out += c;
    }
    return out;
}

std::string report_line(const std::string& report, const std::string& start) {
    const auto at = report.find(start);
    return at == std::string::npos ? "" : report.substr(at, report.find('\r', at) - at);
}

}  // namespace

TEST(CliDossier, PdfHoldsTheReportZonesAndCalibrationAsText) {
    test_support::TempFolder folder;
    std::string samples;
    for (int k = 0; k <= 161; ++k) {
        samples += text::number_text(k == 17    ? -0.25
                                     : k == 160 ? 0.3
                                                : (k % 30) / 100.0 - 0.14) +
                   "\n";
    }
    ASSERT_TRUE(text::replace_file(folder.file("samples.txt"), samples).ok);
    const std::string pdf = folder.file("dossier.pdf");
    const ShellRun report =
        shell("LC_ALL=de_DE.UTF-8 " + quoted(QUILLON_CLI_PATH) + " report " +
              quoted(folder.file("samples.txt")) + " --results " + quoted(folder.str()) +
              " --now '12-06-2026 14:05:09' --skier 'Ann Lee' --setup " +
              quoted(QUILLON_DATA_DIR "/SlalomOK.ipt") + " --pdf " + quoted(pdf) + " 2>/dev/null");
    ASSERT_EQ(report.status, 0);
    EXPECT_EQ(report.out, text::read_file(folder.file("ResultLog1206.txt")).bytes);

    const std::string pages = squeezed(shell("pdftotext -layout " + quoted(pdf) + " -").out);
    for (const char* start :
         {"Slalom Pass Results", "Skier Name: Ann Lee", "Time of Measurement: 14:05:09",
          "Mean Boat Deviation from best fit line:", "Max deviation (from center) of",
          "Left: ", "Frames Measured: "}) {
        const std::string line = squeezed(report_line(report.out, start));
        ASSERT_FALSE(line.empty()) << start;
        EXPECT_NE(pages.find(line), std::string::npos) << line;
    }
    // Buoy 1 holds sample 17 (-.25, on the boat's left, away from the buoy) and 18 and 19;
    // the exit gate's largest is .3, over the limit.
    // Sample 17 is away from buoy 1 but 0.25 m off the centre: over the limit all the same.
    for (const char* expected :
         {"Entry gate both 0.0-5.0 4", "Buoy 1 right 27.0-32.0 3 -0.053 0.050 0.250 left OVER",
          "Exit gate both 254.0-259.0 4", "Setup: file " QUILLON_DATA_DIR "/SlalomOK.ipt",
          "Description: Demo slalom course from a tower camera",
          "Front Ratio: 58% Back Ratio: 18% (from the marks in use, of the screen's width, "
          "1024 pixels)",
          "1 upper right 9090 2700 0 0", "4 lower left 3030 10350 2.5 -259",
          "Pass Clock: Wall Clock", "161 259.0 -.03", "Page 3 of 3"}) {
        EXPECT_NE(pages.find(expected), std::string::npos) << expected << "\n" << pages;
    }
    // The graph is vectors: the PDF holds no picture at all.
    const ShellRun images = shell("pdfimages -list " + quoted(pdf));
    ASSERT_EQ(images.status, 0);
    EXPECT_EQ(std::count(images.out.begin(), images.out.end(), '\n'), 2) << images.out;

    // A folder at the PDF's name, or a folder that is missing, is refused before anything is
    // written.
    const auto before = text::read_file(folder.file("ResultLog1206.txt")).bytes;
    fs::create_directory(folder.file("taken.pdf"));
    const ShellRun taken =
        shell(quoted(QUILLON_CLI_PATH) + " report " + quoted(folder.file("samples.txt")) +
              " --results " + quoted(folder.str()) + " --now '12-06-2026 14:05:09' --pdf " +
              quoted(folder.file("taken.pdf")) + " 2>&1 >/dev/null");
    EXPECT_EQ(taken.status, 2);
    EXPECT_NE(taken.out.find(folder.file("taken.pdf") + "\" is a folder, not a file."),
              std::string::npos)
        << taken.out;
    const ShellRun missing =
        shell(quoted(QUILLON_CLI_PATH) + " report " + quoted(folder.file("samples.txt")) +
              " --results " + quoted(folder.str()) + " --now '12-06-2026 14:05:09' --pdf " +
              quoted(folder.file("nowhere/d.pdf")) + " 2>&1 >/dev/null");
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(text::read_file(folder.file("ResultLog1206.txt")).bytes, before);
}

namespace {

// A slalom pass of 162 samples, each from the function, as a samples file.
template <typename Deviation>
std::string samples_of(Deviation deviation) {
    std::string samples;
    for (int k = 0; k <= 161; ++k) {
        samples += text::number_text(deviation(k)) + "\n";
    }
    return samples;
}

// Runs quillon-cli report with the arguments into a PDF and gives its text, blanks squeezed.
struct Dossier {
    int status = -1;
    std::string stderrText;
    std::string text;
    // The text with its line breaks as blanks: a long line wrapped on page 2 reads whole.
    std::string oneLine;

    bool holds(const std::string& expected) const {
        return text.find(expected) != std::string::npos ||
               oneLine.find(expected) != std::string::npos;
    }
};
Dossier dossier_of(test_support::TempFolder& folder, const std::string& samples,
                   const std::string& arguments) {
    EXPECT_TRUE(text::replace_file(folder.file("samples.txt"), samples).ok);
    const std::string pdf = folder.file("dossier.pdf");
    fs::remove(pdf);
    Dossier dossier;
    const ShellRun report = shell(
        quoted(QUILLON_CLI_PATH) + " report " + quoted(folder.file("samples.txt")) + " --results " +
        quoted(folder.str()) + " --now '12-06-2026 14:05:09' --pdf " + quoted(pdf) + " " +
        arguments + " 2>" + quoted(folder.file("stderr.txt")) + " >/dev/null");
    dossier.status = report.status;
    dossier.stderrText = text::read_file(folder.file("stderr.txt")).bytes;
    if (fs::exists(pdf)) {
        dossier.text = squeezed(shell("pdftotext -layout " + quoted(pdf) + " -").out);
        std::string joined = dossier.text;
        std::replace(joined.begin(), joined.end(), '\n', ' ');
        dossier.oneLine = squeezed(joined);
    }
    return dossier;
}

std::string first_word(const std::string& text) {
    return text.substr(0, text.find_first_of(" \n"));
}

}  // namespace

// Everything a record committee needs of the pass besides the report: the texts typed, how the
// line was kept on the boat, the video, the software, the date in ISO 8601, the signatures.
TEST(CliDossier, ThePassIsStatedWhole) {
    test_support::TempFolder folder;
    const auto flat = samples_of([](int k) { return (k % 7) / 100.0 - 0.03; });
    ASSERT_TRUE(text::replace_file(folder.file("pass.mp4"), "not really a video, but bytes").ok);
    const std::string videoSha =
        first_word(shell("sha256sum " + quoted(folder.file("pass.mp4"))).out);
    ASSERT_EQ(videoSha.size(), 64u);
    ASSERT_TRUE(
        text::replace_file(folder.file("detail.csv"),
                           [] {
                               std::string csv =
                                   "sample,frame_time_s,deviation_m,provenance,confidence\r\n";
                               for (int k = 0; k <= 161; ++k) {
                                   const bool held = k == 2 || k == 3 || k == 95;
                                   // Not std::to_string: the suite runs under a decimal comma.
                                   csv += std::to_string(k) + "," +
                                          text::number_text(2.25 + k * 0.1).substr(1) + ",0," +
                                          (held ? "held," : "tracked,0.900") + "\r\n";
                               }
                               return csv;
                           }())
            .ok);

    const struct {
        const char* what;
        std::string arguments;
        std::vector<std::string> expected;
    } cases[] = {
        {"held by the operator",
         "--skier 'Ann Lee' --model 'Prostar 197' --number 7 --split 10.21 --full 17.93 "
         "--comment 'calm water' --speed 58",
         {"Speed: 58 km/h", "Split Time: 10.21", "Full Time: 17.93", "Boat Model: Prostar 197",
          "Boat Number: 7", "Comment: calm water",
          "Measured (ISO 8601): 2026-12-06T14:05:09 (12-06-2026 14:05:09)",
          "Date of Measurement: 12-06-2026", "Line held by the operator (keys, joystick, mouse)",
          "Pass Clock: Wall Clock", "Video: none", "Software: Quillon 16.0",
          "Verdict: Within the 0.20 m limit in every zone", "Official 1", "Official 2", "Name",
          "Role", "Signature", "Date"}},
        {"auto tracked, untracked given, on a video",
         "--measured-by auto --untracked 36,61-63,137-139 --video " +
             quoted(folder.file("pass.mp4")) + " --video-start 1.5",
         {"Auto Track: 155 of 162 samples tracked; not tracked: 36, 61-63, 137-139",
          "Pass Clock: Video Time (pass.mp4 from 0:01.500)", "Video: pass.mp4",
          "Video SHA-256: " + videoSha, "Frame time of sample 0: 1.500 s",
          // None of them lies in a zone (buoy 6's zone holds samples 145 to 147).
          "Verdict: Within the 0.20 m limit in every zone"}},
        {"auto tracked from --detail",
         "--detail " + quoted(folder.file("detail.csv")) + " --video " +
             quoted(folder.file("pass.mp4")),
         {"Auto Track: 159 of 162 samples tracked; not tracked: 2-3, 95",
          "Frame time of sample 0: 2.250 s", "Pass Clock: Video Time (pass.mp4 from 0:02.250)",
          // Samples 0 to 3 make the entry gate, 94 to 96 buoy 4.
          "Verdict: Not verified in Entry gate, Buoy 4 (samples not tracked); within the 0.20 m "
          "limit in every other zone"}},
        {"hand, said so",
         "--measured-by hand",
         {"Line held by the operator (keys, joystick, mouse)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Dossier dossier = dossier_of(folder, flat, c.arguments);
        ASSERT_EQ(dossier.status, 0) << dossier.stderrText;
        for (const auto& expected : c.expected) {
            EXPECT_TRUE(dossier.holds(expected)) << expected << "\n" << dossier.text;
        }
    }

    // A --detail that does not fit the pass is refused before anything is written.
    ASSERT_TRUE(text::replace_file(folder.file("short.csv"),
                                   "sample,frame_time_s,deviation_m,provenance,confidence\r\n"
                                   "0,1.0,0,tracked,0.9\r\n")
                    .ok);
    const Dossier refused =
        dossier_of(folder, flat, "--detail " + quoted(folder.file("short.csv")));
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.stderrText.find("holds 1 samples; the pass has 162"), std::string::npos)
        << refused.stderrText;
    EXPECT_TRUE(refused.text.empty());
}

// The verdict names the zones over the chosen limit, judged on the distance off the centre
// either way, and a zone with a sample not tracked is never "within".
TEST(CliDossier, VerdictWithinOrOverTheLimit) {
    test_support::TempFolder folder;
    const struct {
        const char* what;
        double atBuoy3;  // sample 70 lies in buoy 3's zone (109-114 m) at 58 km/h
        std::string arguments;
        const char* verdict;
        const char* legend;
    } cases[] = {
        {"within", 0.19, "", "Verdict: Within the 0.20 m limit in every zone",
         "Red Line - 20cm Record Limit"},
        {"over toward the buoy", 0.25, "", "Verdict: Over the 0.20 m limit in Buoy 3",
         "Red Line - 20cm Record Limit"},
        {"over away from the buoy", -0.25, "", "Verdict: Over the 0.20 m limit in Buoy 3",
         "Red Line - 20cm Record Limit"},
        {"over a 15 cm limit", 0.19, "--limit 0.15", "Verdict: Over the 0.15 m limit in Buoy 3",
         "Red Line - 15cm Limit"},
        {"within, one sample not tracked in buoy 3", 0.19, "--measured-by auto --untracked 70",
         "Verdict: Not verified in Buoy 3 (samples not tracked); within the 0.20 m limit in "
         "every other zone",
         "Red Line - 20cm Record Limit"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Dossier dossier = dossier_of(
            folder, samples_of([&](int k) { return k == 70 ? c.atBuoy3 : 0.02; }), c.arguments);
        ASSERT_EQ(dossier.status, 0) << dossier.stderrText;
        EXPECT_TRUE(dossier.holds(c.verdict)) << dossier.text;
        EXPECT_TRUE(dossier.holds(c.legend)) << c.legend;
    }
}

// The same deviations toward the camera and away from it: the graph's caption names the boat's
// side under each half of the page, and agrees with the report's Left/Right shares and the
// zone table's side. Positive deviations are drawn left of the centre line.
TEST(CliDossier, CaptionsAndSharesAgreeInBothDirections) {
    test_support::TempFolder folder;
    const auto drawnLeft = samples_of([](int) { return 0.15; });
    const struct {
        const char* direction;
        const char* caption;
        const char* shares;
        const char* entryGate;
    } cases[] = {
        {"towards", "(boat's right | boat's left)", "Left: 0% Center: 0% Right: 100%",
         "Entry gate both 0.0-5.0 4 0.150 0.150 0.150 right ok"},
        {"away", "(boat's left | boat's right)", "Left: 100% Center: 0% Right: 0%",
         "Entry gate both 0.0-5.0 4 0.150 0.150 0.150 left ok"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.direction);
        const Dossier dossier =
            dossier_of(folder, drawnLeft, std::string("--direction ") + c.direction);
        ASSERT_EQ(dossier.status, 0) << dossier.stderrText;
        for (const char* expected : {c.caption, c.shares, c.entryGate}) {
            EXPECT_TRUE(dossier.holds(expected)) << expected << "\n" << dossier.text;
        }
    }
}

// How exact the camera was: the pixel per zone, the ratios from the marks, the setup named and
// a SHA-256 of the coefficient lines as the setup file holds them.
TEST(CliDossier, CameraExactnessIsStatedPerZone) {
    test_support::TempFolder folder;
    const std::string setup = QUILLON_DATA_DIR "/SlalomOK.ipt";
    // Lines 7 to 14 of a setup file are c1..c8, CR LF included.
    const std::string coefficientsSha =
        first_word(shell("sed -n 7,14p " + quoted(setup) + " | sha256sum").out);
    const Dossier dossier =
        dossier_of(folder, samples_of([](int) { return 0.0; }), "--setup " + quoted(setup));
    ASSERT_EQ(dossier.status, 0) << dossier.stderrText;
    for (const std::string& expected :
         {std::string("Setup: file ") + setup,
          std::string("Lateral size of one screen pixel (15 twips, as the accuracy check takes "
                      "it) at each zone's row:"),
          // The far end of the course is seen smallest: its pixel is the widest.
          std::string("Entry gate 1.3 cm, Buoy 1 1.2 cm"), std::string("Buoy 6 0.5 cm"),
          std::string("Camera model SHA-256 (c1..c8 as a setup file writes them):"),
          coefficientsSha}) {
        EXPECT_TRUE(dossier.holds(expected)) << expected << "\n" << dossier.text;
    }
    EXPECT_EQ(dossier.text.find("wider than 5 cm"), std::string::npos);
}
