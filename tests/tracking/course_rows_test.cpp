// The course's facts are read from src/course by every part that follows a pass: the recorder
// that takes the samples, the tracker's geometry that expects the boat, and the course table
// itself must agree on the path centre and on the rows of the pass, in each discipline and
// direction.

#include <gtest/gtest.h>

#include <cmath>

#include "course/reference_course.h"
#include "session/pass_recorder.h"
#include "session/pass_session.h"
#include "tracking/pass_geometry.h"

using namespace quillon;
using course::Direction;
using course::Discipline;

namespace {

// A camera looking straight down: survey x = (X - 4096) / 1024 and y = (1000 - Y) / 16.
calibration::CameraModel straight_down() {
    calibration::CameraModel model;
    model.set_coefficients({-4.0, 1.0 / 1024, 0, 0, 0, 62.5, 0, -1.0 / 16});
    return model;
}

TEST(CourseRows, RecorderTrackerAndCourseAgreeForEachDisciplineAndDirection) {
    const struct {
        Discipline discipline;
        Direction direction;
        double centreX;  // the path a measured pass is taken against
        double startY;   // the row the pass starts on
        double endY;     // the row of its last sample
    } rows[] = {
        {Discipline::Slalom, Direction::Towards, 1.25, 0, -259},
        {Discipline::Slalom, Direction::Away, 1.25, -259, 0},
        // Jump counts from the same gates: a pass away ends 280 m on from the near gate.
        {Discipline::Jump, Direction::Towards, 2.0, 0, -280},
        {Discipline::Jump, Direction::Away, 2.0, -259, 21},
    };
    for (const auto& row : rows) {
        course::PassDescription pass;
        pass.discipline = row.discipline;
        pass.direction = row.direction;
        const auto name = ::testing::Message()
                          << (row.discipline == Discipline::Slalom ? "slalom " : "jump ")
                          << (row.direction == Direction::Towards ? "towards" : "away");
        EXPECT_EQ(course::measured_path_centre_x(row.discipline), row.centreX) << name;
        EXPECT_EQ(course::pass_start_y(row.direction), row.startY) << name;
        EXPECT_EQ(course::pass_row_y(row.direction, course::course_length(row.discipline)),
                  row.endY)
            << name;

        session::PassSession session;
        session.calibration.model = straight_down();
        session::PassRecorder recorder(session);
        // A view-only path of 3 m, which a measured pass does not take.
        const session::MarkerRow start = recorder.activate(pass, false, 3.0, 0.5);
        const tracking::PassGeometry geometry(session.calibration.model, {}, pass, 0);
        EXPECT_EQ(recorder.pathCentreX(), row.centreX) << name;
        EXPECT_EQ(geometry.pathCentreX(), row.centreX) << name;
        EXPECT_EQ(recorder.courseLength(), course::course_length(row.discipline)) << name;
        const auto& model = session.calibration.model;
        EXPECT_EQ(model.screen_to_survey({start.pointX, start.y}).y, row.startY) << name;
        EXPECT_EQ(geometry.expectedSurveyY(0), row.startY) << name;

        // Sample k is taken k tenths of a second after Start Pass; the tracker expects the
        // boat where the speed has taken it by then, which differs from the recorder's row
        // only by the rounding of the pass length to whole tenths (under a metre at the end).
        recorder.start(pass, start.pointX);
        const double metresPerTenth = course::speed_kmh(pass) / 36.0;
        double lastY = 0;
        while (const auto step = recorder.step()) {
            const double recorderY = model.screen_to_survey({step->row.pointX, step->row.y}).y;
            const double trackerY = geometry.expectedSurveyY(step->index * 100'000LL);
            EXPECT_NEAR(trackerY, recorderY, metresPerTenth / 2)
                << name << " sample " << step->index;
            EXPECT_NEAR(geometry.expected(step->index * 100'000LL).centre.x,
                        (step->row.pointX / 15), 1e-6)
                << name;
            lastY = recorderY;
            if (step->ended) {
                break;
            }
        }
        EXPECT_NEAR(lastY, row.endY, 1e-9) << name;
    }
}

}  // namespace
