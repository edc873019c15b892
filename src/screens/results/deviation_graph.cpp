#include "screens/results/deviation_graph.h"

#include <QLabel>
#include <QPainter>
#include <algorithm>

#include "dossier/dossier_content.h"
#include "screens/widgets/line_shape.h"
#include "screens/widgets/overlay_canvas.h"

namespace quillon::screens {

namespace {

constexpr double frameLeft = 7080;
constexpr double frameRight = 8520;
constexpr double slalomBottom = 6135;
constexpr double jumpBottom = 6615;

int pixels(double twips) {
    return static_cast<int>(twips / OverlayCanvas::twipsPerPixel);
}

// Where the caption's tops stand, under the graph.
constexpr double slalomCaptionTop = 6240;
constexpr double jumpCaptionTop = 6720;
// The five scale marks under which the caption's numbers stand: the outer frame lines, the
// 0.12 m lines and the centre line, 360 twips apart.
constexpr double markSpacing = 360;
constexpr double captionHalfWidth = 2 * markSpacing + 300;

// The scale caption keeps its text as written ("24    12     0    12    24"), but a font an
// operator can read is wider than the graph, so each number is painted centred under its
// own mark rather than where its column in the text would put it.
class ScaleCaption : public QLabel {
  public:
    using QLabel::QLabel;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        const QStringList numbers = text().split(' ', Qt::SkipEmptyParts);
        const double middle = width() / 2.0;
        const double step = markSpacing / OverlayCanvas::twipsPerPixel;
        for (qsizetype i = 0; i < numbers.size(); ++i) {
            const double centre =
                middle + (static_cast<double>(i) - (numbers.size() - 1) / 2.0) * step;
            const int textWidth = fontMetrics().horizontalAdvance(numbers[i]);
            const QRect box(static_cast<int>(centre - textWidth / 2.0), 0, textWidth, height());
            painter.drawText(box, Qt::AlignCenter, numbers[i]);
        }
    }
};

}  // namespace

DeviationGraph::DeviationGraph(OverlayCanvas* canvas) : QObject(canvas), canvas_(canvas) {
    frameLines_ = {
        fixedLine("Line1", frameLeft, courseStartY, frameLeft, slalomBottom),
        fixedLine("Line2", centreX, courseStartY, centreX, slalomBottom),
        fixedLine("Line3", frameRight, courseStartY, frameRight, slalomBottom),
        fixedLine("Line4", frameLeft, courseStartY, frameRight, courseStartY),
        fixedLine("Line5", frameLeft, slalomBottom, frameRight, slalomBottom),
        fixedLine("Line12", 7440, courseStartY, 7440, slalomBottom),
        fixedLine("Line13", 8160, courseStartY, 8160, slalomBottom),
    };
    recordLimits_ = {
        fixedLine("Line14", 7200, courseStartY, 7200, slalomBottom, Qt::red),
        fixedLine("Line15", 8400, courseStartY, 8400, slalomBottom, Qt::red),
    };
    const double rowY[] = {900, 1830, 2760, 3675, 4605, 5520};
    for (int row = 0; row < 6; ++row) {
        const QByteArray name = "Line" + QByteArray::number(6 + row);
        const bool leftward = row % 2 == 0;
        buoyRows_.push_back(fixedLine(name.constData(), leftward ? frameRight : frameLeft,
                                      rowY[row], leftward ? 6600 : 9000, rowY[row]));
    }
    // Label8 numbers the top row, Label3 the bottom one, on alternate sides.
    for (int row = 0; row < 6; ++row) {
        const QByteArray name = "Label" + QByteArray::number(8 - row);
        const double x = row % 2 == 0 ? 6240 : 9120;
        buoyNumbers_.push_back(fixedLabel(name.constData(), QString(), x, rowY[row] - 120));
    }
    std::reverse(buoyNumbers_.begin(), buoyNumbers_.end());  // index 0 is Label3

    for (int tick = 0; tick < 6; ++tick) {
        const QByteArray name = "Line" + QByteArray::number(16 + tick);
        const double y = courseStartY + 1125 * tick;
        distanceTicks_.push_back(fixedLine(name.constData(), frameRight, y, 8640, y));
    }
    jumpDecorations_ = {
        fixedLabel("Label13", "100m", 8760, courseStartY + 100 * twipsPerMetre - 120),
        fixedLabel("Label14", "200m", 8760, courseStartY + 200 * twipsPerMetre - 120),
    };
    for (int shape = 0; shape < 3; ++shape) {
        const QByteArray name = "Shape" + QByteArray::number(shape + 1);
        QLabel* marker = fixedLabel(name.constData(), QString(), 9300, 1200 + 1800 * shape);
        marker->setFixedSize(12, 12);
        marker->setStyleSheet("background: #3060c0; border-radius: 6px;");
        jumpDecorations_.push_back(marker);
    }

    scaleCaption_ = new ScaleCaption(canvas_);
    scaleCaption_->setObjectName("Label2");
    recordLegend_ = fixedLabel("Label12", "Red Line - 20cm Record Limit", 6300, jumpBottom + 120);
    recordLegend_->setStyleSheet("color: red;");
}

LineShape* DeviationGraph::fixedLine(const char* name, double x1, double y1, double x2, double y2,
                                     const QColor& colour) {
    LineShape* line = canvas_->addLine(name);
    line->setCoordinates(x1, y1, x2, y2);
    line->setColour(colour);
    return line;
}

QLabel* DeviationGraph::fixedLabel(const char* name, const QString& text, double x, double y) {
    auto* label = new QLabel(text, canvas_);
    label->setObjectName(name);
    label->move(pixels(x), pixels(y));
    label->adjustSize();
    return label;
}

double DeviationGraph::lateralScale(course::Discipline discipline) {
    return discipline == course::Discipline::Slalom ? 3000 : 1500;
}

void DeviationGraph::showFrame(course::Discipline discipline, course::Direction direction) {
    const bool slalom = discipline == course::Discipline::Slalom;
    const double bottom = slalom ? slalomBottom : jumpBottom;
    for (LineShape* line : frameLines_) {
        if (line->objectName() == "Line4") {
            continue;
        }
        if (line->objectName() == "Line5") {
            line->setY(bottom);
        } else {
            line->setY2(bottom);
        }
    }
    for (LineShape* line : recordLimits_) {
        line->setVisible(slalom);
    }
    for (LineShape* line : buoyRows_) {
        line->setVisible(slalom);
    }
    for (int i = 0; i < 6; ++i) {
        // Buoy 1 is the first buoy the boat meets.
        const int number = direction == course::Direction::Towards ? 6 - i : i + 1;
        buoyNumbers_[static_cast<std::size_t>(i)]->setText(QString::number(number));
        buoyNumbers_[static_cast<std::size_t>(i)]->setVisible(slalom);
    }
    for (LineShape* tick : distanceTicks_) {
        tick->setVisible(!slalom);
    }
    for (QLabel* decoration : jumpDecorations_) {
        decoration->setVisible(!slalom);
    }
    recordLegend_->setVisible(slalom);
    scaleCaption_->setText(slalom ? "24    12     0    12    24" : "48    24     0    24    48");
    // Centred under the centre line, each number under its scale mark.
    scaleCaption_->setGeometry(pixels(centreX - captionHalfWidth),
                               pixels(slalom ? slalomCaptionTop : jumpCaptionTop),
                               pixels(2 * captionHalfWidth), scaleCaption_->sizeHint().height());
}

void DeviationGraph::showZoneSettings(course::Discipline discipline,
                                      const analysis::ZoneSettings& settings) {
    if (discipline != course::Discipline::Slalom) {
        return;  // jump keeps the classic frame, without limit lines
    }
    const double k = lateralScale(discipline);
    recordLimits_[0]->setX(centreX - k * settings.limit);
    recordLimits_[1]->setX(centreX + k * settings.limit);
    recordLegend_->setText(QString::fromStdString(dossier::limit_legend(settings.limit)));
    recordLegend_->adjustSize();

    // The classic rows: the top row reaches out to the left. Which buoy that is depends on the
    // direction; the side it stands on is the boat's, and coming toward the camera the boat's
    // right is the screen's left. So the classic rows hold for buoy 1 on the boat's right, and
    // buoy 1 on its left mirrors them.
    const bool mirrored = settings.buoy1Side == analysis::BoatSide::Left;
    const double rowY[] = {900, 1830, 2760, 3675, 4605, 5520};
    for (int row = 0; row < 6; ++row) {
        const bool leftward = (row % 2 == 0) != mirrored;
        buoyRows_[static_cast<std::size_t>(row)]->setCoordinates(
            leftward ? frameRight : frameLeft, rowY[row], leftward ? 6600 : 9000, rowY[row]);
        // buoyNumbers_ runs from Label3 (bottom row) to Label8 (top row).
        QLabel* number = buoyNumbers_[static_cast<std::size_t>(5 - row)];
        number->move(pixels(leftward ? 6240 : 9120), pixels(rowY[row] - 120));
    }
}

void DeviationGraph::drawPass(course::Discipline discipline, course::Direction direction,
                              const double* samples, int lastSampleIndex,
                              const analysis::PassStatistics& statistics,
                              const std::vector<int>& untracked) {
    const double length = course::course_length(discipline);
    const double k = lateralScale(discipline);
    const bool towards = direction == course::Direction::Towards;
    const int n = lastSampleIndex;
    canvas_->setPenWidth(1);

    double previousX = 0;
    double previousY = 0;
    for (int i = 0; i < n; ++i) {
        const double along = static_cast<double>(i) * length / n;
        const double p = towards ? along : length - along;
        const double x = centreX - k * samples[i];
        const double y = courseStartY + 15 * 1.5 * p;
        if (i == 0) {
            previousX = x;
            previousY = y;
        }
        canvas_->line(previousX, previousY, x, y, Qt::black);
        const QColor red(255, 0, 0);
        if (std::binary_search(untracked.begin(), untracked.end(), i)) {
            canvas_->circle(x, y, 45, red);
            previousX = x;
            previousY = y;
            continue;
        }
        canvas_->point(x, y, red);
        canvas_->point(x + 30, y, red);
        canvas_->point(x - 30, y, red);
        canvas_->point(x, y + 30, red);
        canvas_->point(x, y - 30, red);
        previousX = x;
        previousY = y;
    }

    const double top = courseStartY;
    const double end = courseStartY + twipsPerMetre * length;
    const double firstY = towards ? top : end;
    const double lastY = towards ? end : top;
    const QColor blue(0, 0, 255);
    if (discipline == course::Discipline::Slalom) {
        canvas_->line(centreX - k * statistics.fitStart, firstY, centreX - k * statistics.fitEnd,
                      lastY, blue);
    } else {
        const double x = centreX - k * statistics.pathMean;
        canvas_->line(x, firstY, x, lastY, blue);
    }
}

void DeviationGraph::drawReloadedPath(course::Discipline discipline, course::Direction direction,
                                      const std::vector<std::pair<double, double>>& points,
                                      const QColor& colour) {
    const double k = lateralScale(discipline);
    double previousX = centreX;
    double previousY = direction == course::Direction::Towards ? courseStartY : slalomBottom;
    canvas_->setPenWidth(1);
    for (const auto& [position, deviation] : points) {
        const double x = centreX - k * deviation;
        const double y = courseStartY + twipsPerMetre * position;
        canvas_->line(previousX, previousY, x, y, colour);
        canvas_->point(x, y, colour);
        previousX = x;
        previousY = y;
    }
}

QColor DeviationGraph::reloadColour(int number) {
    // The bright half of the classic 16-colour palette, indices 9 to 15.
    static const QColor colours[] = {{0, 0, 255},   {0, 255, 0},   {0, 255, 255},  {255, 0, 0},
                                     {255, 0, 255}, {255, 255, 0}, {255, 255, 255}};
    return number >= 1 && number <= 7 ? colours[number - 1] : QColor(Qt::black);
}

QString DeviationGraph::reloadColourName(int number) {
    static const char* names[] = {"Blue", "Green", "Cyan", "Red", "Magenta", "Yellow", "White"};
    return number >= 1 && number <= 7 ? names[number - 1] : QString();
}

void DeviationGraph::drawZoneTicks(course::Discipline discipline, course::Direction direction,
                                   const std::vector<analysis::ZoneReading>& zones) {
    const double length = course::course_length(discipline);
    const QColor orange(224, 138, 0);
    // Just outside the right frame line (+0.24 m in slalom), clear of the samples. Shapes
    // rather than drawing, so new settings move them without touching a reloaded path.
    const double x = 8580;
    const auto y = [&](double travelled) {
        return courseStartY +
               twipsPerMetre *
                   (direction == course::Direction::Towards ? travelled : length - travelled);
    };
    while (zoneTicks_.size() < 2 * zones.size()) {
        const QString name = QStringLiteral("lnZone%1").arg(zoneTicks_.size() + 1);
        zoneTicks_.push_back(canvas_->addLine(name.toLatin1().constData()));
    }
    for (std::size_t i = 0; i < zoneTicks_.size(); ++i) {
        LineShape* tick = zoneTicks_[i];
        const bool used = i / 2 < zones.size();
        tick->setVisible(used);
        if (!used) {
            continue;
        }
        const auto& zone = zones[i / 2];
        if (i % 2 == 0) {
            tick->setCoordinates(x, y(zone.start), x, y(zone.end));
        } else {
            tick->setCoordinates(x, y(zone.start), x + 60, y(zone.start));
        }
        tick->setColour(orange);
    }
}

}  // namespace quillon::screens
