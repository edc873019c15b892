#include "tools/demo_course/demo_pass.h"

#include <QPainter>
#include <QPolygonF>
#include <cmath>
#include <numbers>

#include "calibration/setup_file.h"
#include "course/reference_course.h"
#include "tools/demo_course/demo_course.h"

namespace quillon::demo_course {

namespace {

constexpr double speedMs = 58.0 / 3.6;
const double courseLength = course::course_length(course::Discipline::Slalom);
constexpr double tailSeconds = 1.0;
constexpr double hullLength = 6.5;
constexpr double hullWidth = 2.3;

QPointF pixel(calibration::CameraModel& model, double x, double y) {
    const calibration::PlanePoint screen = model.survey_to_screen({x, y});
    return {screen.x / twipsPerPixel, screen.y / twipsPerPixel};
}

}  // namespace

int pass_frame_count() {
    const double seconds = passLeadSeconds + courseLength / speedMs + tailSeconds;
    return static_cast<int>(std::ceil(seconds * passFramesPerSecond));
}

BoatPosition boat_position(int index) {
    const double t = index / passFramesPerSecond - passLeadSeconds;
    const double y = -speedMs * t;
    const double weave = 0.18 * std::sin(2 * std::numbers::pi * 1.5 * (-y) / courseLength);
    return {course::slalomPathCentreX + weave, y};
}

calibration::CameraModel slalom_model() {
    const DemoCourse demo = demo_course(course::Discipline::Slalom);
    const calibration::SetupFileData data = demo_setup(demo);
    const auto reread =
        calibration::parse_setup_file(calibration::setup_file_text(data), demo.fileStem + ".ipt");
    calibration::CameraModel model;
    if (reread.data) {
        model.set_coefficients(reread.data->coefficients);
    }
    return model;
}

QImage pass_frame(const QImage& course, calibration::CameraModel model, int index) {
    QImage frame = course.convertToFormat(QImage::Format_RGB32);
    const BoatPosition boat = boat_position(index);
    const double x = boat.x;
    const double y = boat.y;
    // The boat comes toward the camera, bow first (toward lower y).
    const double stern = y + hullLength / 2;
    const double bow = y - hullLength / 2;
    const double half = hullWidth / 2;
    auto at = [&](double dx, double along) { return pixel(model, x + dx, along); };
    const double rise = std::hypot(at(-0.5, y).x() - at(0.5, y).x(), 0.0);  // pixels per metre

    QPainter p(&frame);
    p.setRenderHint(QPainter::Antialiasing);
    // The wake spreads behind the stern.
    p.setPen(QPen(QColor(235, 245, 250, 150), 2));
    for (const double side : {-1.0, 1.0}) {
        p.drawLine(at(side * half, stern), at(side * (half + 4), stern + 40));
    }
    // Hull: the bow and sides rise from the water line to the deck, which the tower camera
    // looks down on.
    const QPointF freeboard(0, -rise * 0.8);
    const QPolygonF waterLine(
        {at(-half, stern), at(-half, bow + 1.8), at(0, bow), at(half, bow + 1.8), at(half, stern)});
    const QPolygonF deck = waterLine.translated(freeboard);
    p.setPen(QPen(QColor(40, 40, 48), 1));
    p.setBrush(QColor(200, 204, 210));
    QPolygonF sides;
    for (int k = 1; k <= 3; ++k) {
        sides << waterLine[k];
    }
    for (int k = 3; k >= 1; --k) {
        sides << deck[k];
    }
    p.drawPolygon(sides);
    p.setBrush(QColor(246, 246, 240));
    p.drawPolygon(deck);
    // The windshield stands on the deck; its centre mark is what the operator follows.
    const QPointF up(0, -rise * 0.45);
    const double screenHalf = half * 0.75;
    const QPointF left = at(-screenHalf, y - 0.6) + freeboard;
    const QPointF right = at(screenHalf, y - 0.6) + freeboard;
    p.setBrush(QColor(60, 80, 100));
    p.drawPolygon(QPolygonF({left, right, right + up, left + up}));
    const QPointF mark = at(0, y - 0.6) + freeboard;
    p.setPen(QPen(QColor(220, 30, 30), std::max(1.0, rise * 0.08)));
    p.drawLine(mark, mark + up);
    p.end();
    return frame;
}

}  // namespace quillon::demo_course
