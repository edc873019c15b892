#include <gtest/gtest.h>

#include "calibration/calibration.h"
#include "calibration/results_log_entry.h"
#include "calibration/solver.h"
#include "calibration_test_support.h"
#include "text/text_file.h"

using namespace quillon::calibration;
using namespace quillon::calibration::testing;
using quillon::text::CivilDateTime;
using quillon::text::read_file;

namespace {

ResultsLogInput north_lake(ScreenLabelWord word) {
    ResultsLogInput in;
    in.now = CivilDateTime{2026, 12, 6, 9, 5, 7};
    in.boxes = boxes_from_model(perspective_slalom());
    in.boxes.upper_left_y = "auto";  // box texts are written as they stand
    in.ipt_file_description = "/data/north.ipt";
    in.ipt_file_description_2 = "North lake";
    in.current_grid = 1;
    in.labelWord = word;
    return in;
}

}  // namespace

TEST(ResultsLogEntry, LoadEntryByteForByte) {
    EXPECT_EQ(results_log_entry(north_lake(ScreenLabelWord::Twips)),
              "12-06-2026 09:05:07 New Set-up now in place\r\n"
              "/data/north.ipt\r\n"
              "North lake\r\n"
              "Grid Number:  1 \r\n"
              " \r\n"
              "Upper Left X,Y Twips:  7100  auto\r\n"
              "Upper Left X,Y Survey:  2.5   0\r\n"
              " \r\n"
              "Lower Left X,Y Twips:  2900   11200\r\n"
              "Lower Left X,Y Survey:  2.5  -259\r\n"
              " \r\n"
              "Upper Right X,Y Twips:  8200   3000\r\n"
              "Upper Right X,Y Survey:  0   0\r\n"
              " \r\n"
              "Lower Right X,Y Twips:  12300   11000\r\n"
              "Lower Right X,Y Survey:  0  -259\r\n"
              " \r\n"
              "Jump X,Y Survey:  1.25  -300\r\n"
              " \r\n");
}

TEST(ResultsLogEntry, CompleteEntryOnlyChangesTheLabelWord) {
    std::string load = results_log_entry(north_lake(ScreenLabelWord::Twips));
    const std::string complete = results_log_entry(north_lake(ScreenLabelWord::Pixels));
    for (std::size_t at; (at = load.find("Twips")) != std::string::npos;) {
        load.replace(at, 5, "Pixels");
    }
    EXPECT_EQ(complete, load);
}

TEST_F(TempFolder, EntriesAppendAndAFailureLeavesTheCalibration) {
    ASSERT_FALSE(append_results_log_entry(folder.str(), north_lake(ScreenLabelWord::Twips)));
    ASSERT_FALSE(append_results_log_entry(folder.str(), north_lake(ScreenLabelWord::Pixels)));
    const std::string log = read_file(path("results_file.txt")).bytes;
    EXPECT_EQ(log, results_log_entry(north_lake(ScreenLabelWord::Twips)) +
                       results_log_entry(north_lake(ScreenLabelWord::Pixels)));

    // Complete, then the log cannot be written: the calibration and the flags stay.
    Calibration calibration;
    calibration.model = perspective_slalom();
    double setupValid = 0;
    auto in = north_lake(ScreenLabelWord::Pixels);
    in.boxes = boxes_from_model(calibration.model);
    ASSERT_TRUE(complete_setup(calibration, in.boxes, "f", "d", setupValid).solved);
    const Calibration completed = calibration;
    const std::string missing = path("missing-folder");
    const auto problem = append_results_log_entry(missing, in);
    ASSERT_TRUE(problem);
    EXPECT_NE(problem->text.find(missing + "/results_file.txt"), std::string::npos)
        << problem->text;
    EXPECT_TRUE(calibration == completed);
    EXPECT_EQ(setupValid, 1);
}
