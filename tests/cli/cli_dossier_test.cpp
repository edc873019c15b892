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
    for (const char* expected :
         {"Entry gate 0.0-5.0 4", "Buoy 1 27.0-32.0 3", "Exit gate 254.0-259.0 4", "OVER",
          "Setup file: " QUILLON_DATA_DIR "/SlalomOK.ipt",
          "Description: Demo slalom course from a tower camera", "Front Ratio: 58 Back Ratio: 18",
          "1 upper right 9090 2700 0 0", "4 lower left 3030 10350 2.5 -259",
          "Pass Clock: Wall Clock", "161 259.0 -.03", "Page 2 of 2"}) {
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
