#include "tools/demo_course/demo_course.h"

#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "calibration/setup_view.h"
#include "calibration/solver.h"
#include "course/reference_course.h"
#include "text/text_file.h"

namespace quillon::demo_course {

using calibration::CameraModel;
using calibration::PlanePoint;
using course::Discipline;

namespace {

// The far bank, this many metres beyond the far gate.
constexpr double shoreBeyondFarGate = 110;

// Buoy diameters in metres.
constexpr double gateBuoyDiameter = 0.27;
constexpr double guideBuoyDiameter = 0.23;
constexpr double turnBuoyDiameter = 0.27;

// A repeatable pseudo-random value in [0, 1) for an integer pair and a salt, so that the
// water and the trees come out the same on every run and every machine.
double noise(int i, int j, int salt) {
    std::uint32_t h = static_cast<std::uint32_t>(i) * 0x8da6b343u;
    h ^= static_cast<std::uint32_t>(j) * 0xd8163841u;
    h ^= static_cast<std::uint32_t>(salt) * 0xcb1ab31fu;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h / 4294967296.0;
}

// The camera as the painter sees it: survey metres to picture pixels.
class View {
  public:
    explicit View(CameraModel model) : model_(model) {}

    QPointF pixel(double x, double y) {
        const PlanePoint screen = model_.survey_to_screen({x, y});
        return {screen.x / twipsPerPixel, screen.y / twipsPerPixel};
    }

    // Pixels per metre across the course at (x, y). An upright object of height h metres
    // standing there is h times this many pixels tall.
    double across(double x, double y) { return distance(pixel(x - 0.5, y), pixel(x + 0.5, y)); }

    // Pixels per metre along the course at (x, y): far smaller than across, the water being
    // seen at a grazing angle.
    double along(double x, double y) { return distance(pixel(x, y - 0.5), pixel(x, y + 0.5)); }

  private:
    static double distance(QPointF a, QPointF b) {
        return std::hypot(a.x() - b.x(), a.y() - b.y());
    }

    CameraModel model_;
};

QColor mix(const QColor& a, const QColor& b, double t) {
    auto channel = [t](int u, int v) { return static_cast<int>(std::lround(u + (v - u) * t)); };
    return QColor(channel(a.red(), b.red()), channel(a.green(), b.green()),
                  channel(a.blue(), b.blue()));
}

void paint_sky_and_bank(QPainter& p, double shoreRow) {
    QLinearGradient sky(0, 0, 0, shoreRow);
    sky.setColorAt(0, QColor(176, 200, 222));
    sky.setColorAt(1, QColor(214, 224, 230));
    p.fillRect(QRectF(0, 0, pictureWidthPx, shoreRow), sky);

    // The tree line of the far bank: a ragged crown edge, filled dark green, with lighter and
    // darker crowns over it.
    const double crownBase = shoreRow * 0.42;
    QPolygonF trees;
    trees << QPointF(0, shoreRow);
    for (int u = 0; u <= pictureWidthPx; u += 4) {
        const double edge = crownBase - shoreRow * 0.18 * std::sin(u * 0.011 + 0.7) -
                            shoreRow * 0.10 * std::sin(u * 0.037 + 2.1) -
                            shoreRow * 0.08 * noise(u / 12, 0, 1);
        trees << QPointF(u, std::max(2.0, edge));
    }
    trees << QPointF(pictureWidthPx, shoreRow);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(44, 66, 42));
    p.drawPolygon(trees);

    QPainterPath clip;
    clip.addPolygon(trees);
    p.save();
    p.setClipPath(clip);
    for (int i = 0; i < 60; ++i) {
        for (int j = 0; j < 6; ++j) {
            const double u = (i + noise(i, j, 2)) * pictureWidthPx / 60.0;
            const double v = (j + noise(i, j, 3)) * shoreRow / 6.0;
            const double r = 8 + 14 * noise(i, j, 4);
            const QColor shade = mix(QColor(30, 50, 32), QColor(86, 112, 66), noise(i, j, 5));
            p.setBrush(shade);
            p.drawEllipse(QPointF(u, v), r, r * 0.8);
        }
    }
    p.restore();

    // A strip of reeds and mud at the water's edge.
    const double bank = std::max(3.0, shoreRow * 0.05);
    p.setBrush(QColor(92, 96, 62));
    p.drawRect(QRectF(0, shoreRow - bank, pictureWidthPx, bank));
    p.setBrush(QColor(120, 108, 78));
    p.drawRect(QRectF(0, shoreRow - bank * 0.35, pictureWidthPx, bank * 0.35));
}

void paint_water(QPainter& p, View& view, double shoreRow, double shoreY) {
    QLinearGradient water(0, shoreRow, 0, pictureHeightPx);
    water.setColorAt(0, QColor(128, 152, 166));
    water.setColorAt(0.2, QColor(78, 118, 146));
    water.setColorAt(1, QColor(28, 74, 108));
    p.fillRect(QRectF(0, shoreRow, pictureWidthPx, pictureHeightPx - shoreRow), water);

    // The bank's reflection, dark near the shore and fading out.
    QLinearGradient reflection(0, shoreRow, 0, shoreRow + 40);
    reflection.setColorAt(0, QColor(40, 62, 58, 190));
    reflection.setColorAt(1, QColor(40, 62, 58, 0));
    p.fillRect(QRectF(0, shoreRow, pictureWidthPx, 40), reflection);

    // Wind ripples, laid out evenly on the water in metres, so that near ones come out large
    // and sparse and far ones small and crowded, as the camera sees them. Each is a light crest
    // with a dark trough just behind it.
    constexpr double rowStep = 0.9;
    constexpr double columnStep = 0.9;
    const int firstRow = static_cast<int>(std::floor(-340 / rowStep));
    const int lastRow = static_cast<int>(std::floor(shoreY / rowStep));
    p.setBrush(Qt::NoBrush);
    for (int j = firstRow; j <= lastRow; ++j) {
        for (int i = -20; i <= 20; ++i) {
            if (noise(i, j, 10) < 0.35) {
                continue;
            }
            const double x = 1.25 + (i + noise(i, j, 11)) * columnStep;
            const double y = (j + noise(i, j, 12)) * rowStep;
            if (y > shoreY - 3) {
                continue;
            }
            const QPointF centre = view.pixel(x, y);
            if (centre.x() < -60 || centre.x() > pictureWidthPx + 60 || centre.y() < shoreRow ||
                centre.y() > pictureHeightPx + 10) {
                continue;
            }
            const double halfLength = 0.15 + 0.4 * noise(i, j, 13);
            const double thickness = std::clamp(0.14 * view.along(x, y), 0.6, 5.0);
            const double troughOffset = 0.12;
            const int alpha = 40 + static_cast<int>(60 * noise(i, j, 14));

            QPen trough(QColor(8, 36, 62, alpha), thickness, Qt::SolidLine, Qt::RoundCap);
            p.setPen(trough);
            p.drawLine(view.pixel(x - halfLength, y + troughOffset),
                       view.pixel(x + halfLength, y + troughOffset));
            QPen crest(QColor(214, 232, 244, alpha), thickness, Qt::SolidLine, Qt::RoundCap);
            p.setPen(crest);
            p.drawLine(view.pixel(x - halfLength, y), view.pixel(x + halfLength, y));
        }
    }
}

QColor buoy_colour(BuoyKind kind) {
    switch (kind) {
        case BuoyKind::Gate:
            return QColor(250, 118, 12);
        case BuoyKind::Guide:
        case BuoyKind::Path:
            return QColor(252, 196, 8);
        case BuoyKind::Turn:
            return QColor(236, 84, 20);
    }
    return QColor(250, 118, 12);
}

double buoy_diameter(BuoyKind kind) {
    switch (kind) {
        case BuoyKind::Gate:
            return gateBuoyDiameter;
        case BuoyKind::Turn:
            return turnBuoyDiameter;
        case BuoyKind::Guide:
        case BuoyKind::Path:
            return guideBuoyDiameter;
    }
    return gateBuoyDiameter;
}

// A floating ball centred exactly on the screen image of its position: its reflection
// below, the ball lit from the upper left, its lower part seen through the water, and a ring
// of foam where it meets the surface.
void paint_buoy(QPainter& p, View& view, const Buoy& buoy) {
    const double x = buoy.survey.x;
    const double y = buoy.survey.y;
    const QPointF centre = view.pixel(x, y);
    const double diameter = buoy_diameter(buoy.kind);
    const double width = diameter * view.across(x, y);
    const double height = width * 0.9;
    const double waterline = centre.y() + height * 0.3;
    const double ringHeight = std::max(1.2, 0.9 * diameter * view.along(x, y));
    const QColor colour = buoy_colour(buoy.kind);

    QLinearGradient mirrored(0, waterline, 0, waterline + height * 0.7);
    QColor top = mix(colour, QColor(30, 70, 100), 0.45);
    top.setAlpha(150);
    QColor bottom = top;
    bottom.setAlpha(0);
    mirrored.setColorAt(0, top);
    mirrored.setColorAt(1, bottom);
    p.setPen(Qt::NoPen);
    p.setBrush(mirrored);
    p.drawEllipse(QPointF(centre.x(), waterline + height * 0.2), width * 0.42, height * 0.45);

    const QRectF ball(centre.x() - width / 2, centre.y() - height / 2, width, height);
    QRadialGradient body(centre, width * 0.6,
                         QPointF(centre.x() - width * 0.2, centre.y() - height * 0.25));
    body.setColorAt(0, mix(colour, QColor(255, 236, 120), 0.7));
    body.setColorAt(0.45, colour);
    body.setColorAt(1, mix(colour, QColor(90, 30, 0), 0.45));
    p.setBrush(body);
    p.drawEllipse(ball);

    QPainterPath underwater;
    underwater.addEllipse(ball);
    QPainterPath below;
    below.addRect(QRectF(ball.left() - 1, waterline, width + 2, height));
    p.setBrush(QColor(26, 72, 104, 150));
    p.drawPath(underwater.intersected(below));

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(222, 236, 246, 170), std::max(0.8, width / 22)));
    p.drawEllipse(QPointF(centre.x(), waterline), width * 0.58, ringHeight);
}

// The jump ramp beside the boat path, seen from behind and from low down: its pale surface
// rising away from the camera to the lip at the jump point, the side that faces the boat path
// in shadow, and the dark water under the lip.
void paint_ramp(QPainter& p, View& view, PlanePoint lip) {
    constexpr double length = 6.5;
    constexpr double halfWidth = 2.1;
    constexpr double lipHeight = 1.7;
    const double raise = lipHeight * view.across(lip.x, lip.y);
    const QPointF nearRight = view.pixel(lip.x - halfWidth, lip.y - length);
    const QPointF nearLeft = view.pixel(lip.x + halfWidth, lip.y - length);
    const QPointF lipRightFoot = view.pixel(lip.x - halfWidth, lip.y);
    const QPointF lipLeftFoot = view.pixel(lip.x + halfWidth, lip.y);
    const QPointF lipRight = lipRightFoot - QPointF(0, raise);
    const QPointF lipLeft = lipLeftFoot - QPointF(0, raise);

    // Its pale reflection, broken by the ripples, and the shadow where it meets the water.
    const double mirrorDepth = raise * 0.35;
    QLinearGradient mirrored(0, nearRight.y(), 0, nearRight.y() + mirrorDepth);
    mirrored.setColorAt(0, QColor(200, 210, 218, 90));
    mirrored.setColorAt(1, QColor(200, 210, 218, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(mirrored);
    p.drawRect(QRectF(nearLeft.x(), nearRight.y(), nearRight.x() - nearLeft.x(), mirrorDepth));
    p.setBrush(QColor(10, 34, 54, 120));
    p.drawPolygon(QPolygonF{nearRight, nearLeft, nearLeft + QPointF(-raise * 0.1, raise * 0.06),
                            nearRight + QPointF(raise * 0.3, raise * 0.06)});
    p.setBrush(QColor(62, 70, 80));
    p.drawPolygon(QPolygonF{nearRight, lipRightFoot, lipRight});

    QLinearGradient surface(0, nearRight.y(), 0, lipRight.y());
    surface.setColorAt(0, QColor(168, 178, 186));
    surface.setColorAt(1, QColor(232, 236, 238));
    p.setBrush(surface);
    const QPolygonF slope{nearRight, nearLeft, lipLeft, lipRight};
    p.drawPolygon(slope);

    // Seams between the panels of the surface, running up the slope.
    p.setPen(QPen(QColor(150, 158, 166), std::max(0.8, raise / 90)));
    for (int seam = 1; seam < 5; ++seam) {
        const double t = seam / 5.0;
        p.drawLine(nearRight + (nearLeft - nearRight) * t, lipRight + (lipLeft - lipRight) * t);
    }
    p.setPen(QPen(QColor(160, 44, 32), std::max(1.0, raise / 35)));
    p.drawLine(lipRight, lipLeft);
}

CameraModel solved(const DemoCourse& demo) {
    const auto buoys = course::reference_buoys(demo.discipline);
    const std::array<course::SurveyPosition, CameraModel::pointCount> survey{
        buoys.upperRight, buoys.lowerRight, buoys.upperLeft, buoys.lowerLeft};
    CameraModel model;
    for (std::size_t i = 1; i <= CameraModel::pointCount; ++i) {
        model.screen_x[i] = demo.gateScreen[i - 1].x;
        model.screen_y[i] = demo.gateScreen[i - 1].y;
        model.survey_x[i] = survey[i - 1].x;
        model.survey_y[i] = survey[i - 1].y;
    }
    model.jump_survey_x = demo.jumpPoint.x;
    model.jump_survey_y = demo.jumpPoint.y;
    // Four buoys at the corners of a proper trapezoid never make a singular system.
    (void)calibration::solve_grid(model);
    return model;
}

}  // namespace

DemoCourse demo_course(Discipline discipline) {
    // The camera stands on a tower behind the near gate, with a long lens: the far gate is
    // narrow and high in the picture (well above the one-sixth of the screen width the setup
    // check asks for), the near gate wide and low. In slalom it looks straight down the path;
    // in jump it is turned towards the ramp, which stands to the left of the boat path with its
    // lip, the jump point, 180 m beyond the near gate and 100 m short of the far gate.
    if (discipline == Discipline::Slalom) {
        return {Discipline::Slalom,
                "SlalomOK",
                "Demo slalom course from a tower camera behind the near gate",
                {{{9090, 2700}, {12030, 10350}, {6270, 2700}, {3030, 10350}}},
                {0, 0}};
    }
    return {Discipline::Jump,
            "JumpOK",
            "Demo jump course from a tower camera behind the near gate",
            {{{13200, 2550}, {14610, 10440}, {10170, 2550}, {6210, 10440}}},
            {10, -100}};
}

std::vector<Buoy> course_buoys(Discipline discipline) {
    const auto reference = course::reference_buoys(discipline);
    std::vector<Buoy> buoys;
    for (const auto& gate :
         {reference.upperLeft, reference.upperRight, reference.lowerLeft, reference.lowerRight}) {
        buoys.push_back({{gate.x, gate.y}, BuoyKind::Gate});
    }
    if (discipline == Discipline::Slalom) {
        // Six pairs of boat-guide buoys, 41 m apart, 1.15 m either side of the path centre,
        // and at each pair a turn buoy for the skier, 11.5 m out, on alternate sides.
        for (int row = 0; row < 6; ++row) {
            const double y = -27.0 - 41.0 * row;
            for (double x : {0.1, 2.4}) {
                buoys.push_back({{x, y}, BuoyKind::Guide});
            }
            const double side = row % 2 == 0 ? -1.0 : 1.0;
            buoys.push_back({{course::slalomPathCentreX + side * 11.5, y}, BuoyKind::Turn});
        }
    } else {
        // Boat-path buoys in pairs on the lines of the gates, every 40 m.
        for (int row = 1; row <= 6; ++row) {
            const double y = -40.0 * row;
            for (double x : {reference.lowerRight.x, reference.lowerLeft.x}) {
                buoys.push_back({{x, y}, BuoyKind::Path});
            }
        }
    }
    // Far buoys first, so that a near buoy is painted over a far one, never under it.
    std::stable_sort(buoys.begin(), buoys.end(),
                     [](const Buoy& a, const Buoy& b) { return a.survey.y > b.survey.y; });
    return buoys;
}

calibration::SetupFileData demo_setup(const DemoCourse& demo) {
    std::string fileName = demo.fileStem;
    fileName += ".ipt";
    return calibration::setup_file_data(solved(demo), fileName, demo.description, 1);
}

QImage course_picture(CameraModel model, Discipline discipline) {
    QImage image(pictureWidthPx, pictureHeightPx, QImage::Format_RGB32);
    image.fill(Qt::black);
    View view(model);
    const double shoreY = shoreBeyondFarGate;
    const double shoreRow = view.pixel(course::slalomPathCentreX, shoreY).y();

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    paint_sky_and_bank(p, shoreRow);
    paint_water(p, view, shoreRow, shoreY);
    const auto buoys = course_buoys(discipline);
    if (discipline == Discipline::Jump) {
        const DemoCourse demo = demo_course(Discipline::Jump);
        // The ramp is nearer the camera than the buoys beyond it and farther than those in
        // front of it.
        for (const Buoy& buoy : buoys) {
            if (buoy.survey.y > demo.jumpPoint.y) {
                paint_buoy(p, view, buoy);
            }
        }
        paint_ramp(p, view, demo.jumpPoint);
        for (const Buoy& buoy : buoys) {
            if (buoy.survey.y <= demo.jumpPoint.y) {
                paint_buoy(p, view, buoy);
            }
        }
    } else {
        for (const Buoy& buoy : buoys) {
            paint_buoy(p, view, buoy);
        }
    }
    p.end();
    return image;
}

std::optional<std::string> write_demo_files(const std::string& folder) {
    for (Discipline discipline : {Discipline::Slalom, Discipline::Jump}) {
        const DemoCourse demo = demo_course(discipline);
        const calibration::SetupFileData data = demo_setup(demo);

        std::string setupName = demo.fileStem;
        setupName += ".ipt";
        const std::string setupPath = text::path_in_folder(folder, setupName);
        if (auto problem = calibration::write_setup_file(setupPath, data)) {
            return problem->text;
        }
        // The marks are made on the picture shown whole from the surface's top-left corner on
        // a surface of its own size: the view file lets them follow the picture elsewhere.
        const calibration::PictureFit picture{pictureWidthPx, pictureHeightPx, 0, 0,
                                              pictureWidthPx, pictureHeightPx};
        if (auto problem = calibration::write_setup_view(
                setupPath, {pictureWidthPx, pictureHeightPx, picture, {}})) {
            return problem->text;
        }

        // Draw with the coefficients as the file gives them back.
        const auto reread =
            calibration::parse_setup_file(calibration::setup_file_text(data), setupPath);
        if (!reread.data) {
            return reread.problem.text;
        }
        CameraModel model;
        model.set_coefficients(reread.data->coefficients);

        std::string pictureName = demo.fileStem;
        pictureName += ".bmp";
        const std::string picturePath = text::path_in_folder(folder, pictureName);
        if (!course_picture(model, discipline).save(QString::fromStdString(picturePath), "BMP")) {
            std::string problem = "Picture \"";
            problem += picturePath;
            problem += "\" could not be written.";
            return problem;
        }
    }
    return std::nullopt;
}

}  // namespace quillon::demo_course
