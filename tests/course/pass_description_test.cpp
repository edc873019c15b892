#include <gtest/gtest.h>

#include <cmath>

#include "course/pass_description.h"

using namespace quillon::course;

TEST(PassLength, EverySpeedGivesTenTimesCourseLengthOverMetresPerSecond) {
    const struct {
        Discipline discipline;
        int option;
        int kmh;
        int n;
    } cases[] = {
        {Discipline::Slalom, 0, 58, 161}, {Discipline::Slalom, 1, 55, 170},
        {Discipline::Slalom, 2, 52, 179}, {Discipline::Slalom, 3, 49, 190},
        {Discipline::Slalom, 4, 46, 203}, {Discipline::Jump, 0, 48, 210},
        {Discipline::Jump, 1, 51, 198},   {Discipline::Jump, 2, 54, 187},
        {Discipline::Jump, 3, 57, 177},   {Discipline::Jump, 4, 60, 168},
        {Discipline::Jump, 5, 63, 160},   {Discipline::Jump, 6, 66, 153},
        {Discipline::Jump, 7, 69, 146},   {Discipline::Jump, 8, 72, 140},
    };
    for (const auto& c : cases) {
        PassDescription pass;
        pass.discipline = c.discipline;
        pass.slalomSpeed =
            static_cast<SlalomSpeed>(c.discipline == Discipline::Slalom ? c.option : 0);
        pass.jumpSpeed = static_cast<JumpSpeed>(c.discipline == Discipline::Jump ? c.option : 0);
        EXPECT_EQ(speed_kmh(pass), c.kmh);
        EXPECT_EQ(last_sample_index(pass), c.n) << c.kmh << " km/h";
        const double formula = std::round(10.0 * course_length(c.discipline) / (c.kmh / 3.6));
        EXPECT_EQ(last_sample_index(pass), static_cast<int>(formula)) << c.kmh << " km/h";
    }
}

TEST(LineLength, CaptionsLabelsAndReportTexts) {
    const struct {
        LineLength length;
        const char* caption;
        const char* label;
        const char* report;
    } cases[] = {
        {LineLength::m18_25, "18.25", "18.25", "18.25m"},
        {LineLength::m16_00, "16.00", "16.00", "16.00m"},
        {LineLength::m11_25, "11.25", "11.25", "11.25m"},
        {LineLength::m10_25, "10.25", "10.25", "10.25m"},
        {LineLength::m9_75, "9.75", " 9.75", " 9.75m"},
        {LineLength::m9_25, "9.25", " 9.25", " 9.25m"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(line_length_caption(c.length), c.caption);
        EXPECT_EQ(line_length_label(c.length), c.label);
        EXPECT_EQ(line_length_report_text(c.length), c.report);
    }
}
