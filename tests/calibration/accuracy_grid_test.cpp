#include <gtest/gtest.h>

#include "calibration/accuracy_grid.h"
#include "calibration/solver.h"
#include "calibration_test_support.h"
#include "text/number_text.h"
#include "text/text_file.h"

using namespace quillon::calibration;
using namespace quillon::calibration::testing;
using quillon::text::CivilDateTime;
using quillon::text::number_text;
using quillon::text::read_file;
using quillon::text::round_half_up;

TEST(AccuracyLevel, LimitsBelongToTheBetterLevel) {
    const struct {
        double h_inc;
        const char* level;
    } cases[] = {
        {0, "R"},         {0.1, "R"}, {0.1000001, "L"},  {0.15, "L"},
        {0.1500001, "C"}, {0.2, "C"}, {0.2000001, "NH"}, {5, "NH"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(accuracy_level(c.h_inc), c.level) << c.h_inc;
    }
}

TEST(AccuracyCheck, LabelsFollowTheDisplayAndSitBelowTheirPoint) {
    CameraModel model = perspective_slalom();
    ASSERT_FALSE(solve_grid(model));
    AccuracyReportInput in;
    for (AccuracyDisplay display :
         {AccuracyDisplay::Detail, AccuracyDisplay::Distance, AccuracyDisplay::Level}) {
        in.display = display;
        const AccuracyCheck check = run_accuracy_check(model, in);
        for (const AccuracyPoint& p : check.points) {
            ASSERT_EQ(p.k, 6 * p.i + p.j);
            const PlanePoint image = model.survey_to_screen({p.acc_x, p.acc_y});
            EXPECT_EQ(p.left, image.x);
            EXPECT_EQ(p.top, image.y + 75);
            EXPECT_EQ(p.delta, p.h_inc);
            EXPECT_EQ(p.acc_level, accuracy_level(p.h_inc));
            switch (display) {
                case AccuracyDisplay::Detail:
                    EXPECT_EQ(p.label, number_text(round_half_up(p.h_inc, 2)));
                    break;
                case AccuracyDisplay::Distance:
                    EXPECT_EQ(p.label, number_text(round_half_up(p.acc_distance, 1)));
                    break;
                case AccuracyDisplay::Level:
                    EXPECT_EQ(p.label, p.acc_level);
            }
        }
        // Points nearer the camera (further down the course) are seen in more detail.
        EXPECT_LT(check.points[5].h_inc, check.points[0].h_inc);
    }
}

TEST(AccuracyCheck, ReportHeaderByteForByte) {
    CameraModel model = perspective_slalom();
    ASSERT_FALSE(solve_grid(model));
    model.front_ratio = 61.9;
    model.back_ratio = 7.2;
    AccuracyReportInput in;
    in.now = CivilDateTime{2026, 3, 4, 17, 0, 59};
    in.boxes = boxes_from_model(model);
    in.ipt_file_description = "/data/north.ipt";
    in.ipt_file_description_2 = "North lake";
    const AccuracyCheck check = run_accuracy_check(model, in);
    const std::string header =
        "03-04-2026  17:00:59 Accuracy Check\r\n"
        "Grid Set-up for accuracy check\r\n"
        "/data/north.ipt\r\n"
        "North lake\r\n"
        "Grid Number:  1 \r\n"
        " \r\n"
        "Front Ratio:  61\r\n"
        "Back Ratio:  7\r\n"
        "Upper Left X,Y Pixels:  7100   3050\r\n"
        "Upper Left X,Y Survey:  2.5   0\r\n"
        " \r\n"
        "Lower Left X,Y Pixels:  2900   11200\r\n"
        "Lower Left X,Y Survey:  2.5  -259\r\n"
        " \r\n"
        "Upper Right X,Y Pixels:  8200   3000\r\n"
        "Upper Right X,Y Survey:  0   0\r\n"
        " \r\n"
        "Lower Right X,Y Pixels:  12300   11000\r\n"
        "Lower Right X,Y Survey:  0  -259\r\n"
        " \r\n"
        "Jump X,Y Survey:  1.25  -300\r\n"
        " \r\n";
    ASSERT_EQ(check.report.substr(0, header.size()), header);

    // Then three lines per point, the first point being (2.4, -27).
    const std::string rest = check.report.substr(header.size());
    EXPECT_EQ(rest.rfind("xpix:  2  ypix: -27  x: ", 0), 0u) << rest.substr(0, 200);
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = rest.find("\r\n", at)) != std::string::npos; at += 2) {
        ++lines;
    }
    EXPECT_EQ(lines, 42u * 3);
    EXPECT_NE(rest.find("\r\nnew method\r\nxpix: "), std::string::npos);
    EXPECT_NE(rest.find("xpix:  0  ypix: -232  x: "), std::string::npos);
}

TEST(AccuracyCheck, PointLinesByteForByte) {
    // An affine model: 125 twips per metre across, 10 along, with the far gate at the top.
    CameraModel model;
    model.set_coefficients({0, 0.008, 0, 0, 0, 0, 0, -0.1});
    model.jump_survey_x = 2.4;
    model.jump_survey_y = 0;
    const AccuracyCheck check = run_accuracy_check(model, {});
    const std::string first = check.report.substr(check.report.find("xpix:  2  ypix: -27"));
    EXPECT_EQ(first.substr(0, first.find("xpix:  2  ypix: -68")),
              "xpix:  2  ypix: -27  x:  2.4  y: -28.5  distance:  29.1  v inc:  30.6  h inc:  .12"
              "  delta:  .12\r\n"
              "new method\r\n"
              "xpix:  300  ypix:  285  x:  2.4  y: -28.5  h inc:  .12\r\n");
    EXPECT_EQ(check.points[0].label, " .12");
    EXPECT_EQ(check.points[0].acc_level, "L");
}

TEST_F(TempFolder, ReportsOfOneDayGoIntoOneFile) {
    const CivilDateTime morning{2026, 12, 6, 8, 0, 0};
    const CivilDateTime evening{2026, 12, 6, 20, 0, 0};
    EXPECT_EQ(accuracy_file_name(morning), "acc1206.txt");
    ASSERT_FALSE(append_accuracy_report(folder.str(), morning, "one\r\n"));
    ASSERT_FALSE(append_accuracy_report(folder.str(), evening, "two\r\n"));
    EXPECT_EQ(read_file(path("acc1206.txt")).bytes, "one\r\ntwo\r\n");
    const auto problem = append_accuracy_report(path("gone"), morning, "x");
    ASSERT_TRUE(problem);
    EXPECT_NE(problem->text.find(path("gone") + "/acc1206.txt"), std::string::npos);
}

TEST(SkierLineAnswer, OnlyOneToSix) {
    const struct {
        const char* answer;
        std::optional<int> line;
    } cases[] = {{"3", 3},
                 {"2.0", 2},
                 {"2abc", 2},
                 {" 6", 6},
                 {"7", std::nullopt},
                 {"0", std::nullopt},
                 {"abc", std::nullopt},
                 {"", std::nullopt},
                 {"2.5", std::nullopt},
                 {"-1", std::nullopt}};
    for (const auto& c : cases) {
        EXPECT_EQ(skier_line_answer(c.answer), c.line) << c.answer;
    }
}
