#include "dossier/dossier_pages.h"

#include <QBuffer>
#include <QFont>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

#include "course/reference_course.h"
#include "text/number_text.h"

namespace quillon::dossier {

namespace {

constexpr double pageWidth = 210;  // mm, A4
constexpr double pageHeight = 297;
constexpr double margin = 15;

const QColor ink(0x20, 0x20, 0x20);
const QColor muted(0x66, 0x6a, 0x70);
const QColor accent(0x1f, 0x3a, 0x5f);
const QColor rule(0xb8, 0xbe, 0xc6);
const QColor limitRed(0xc0, 0x1c, 0x1c);
const QColor fitBlue(0x1c, 0x4f, 0xd0);

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

// Drawing in millimetres on a device of any resolution.
class Sheet {
  public:
    Sheet(QPainter& painter, double dotsPerMm) : p_(painter), dpmm_(dotsPerMm) {}

    double d(double mm) const { return mm * dpmm_; }
    QPointF at(double x, double y) const { return {d(x), d(y)}; }
    QRectF box(double x, double y, double w, double h) const { return {d(x), d(y), d(w), d(h)}; }

    void font(double points, bool bold = false, bool mono = false) {
        QFont f(mono ? "DejaVu Sans Mono" : "DejaVu Sans");
        f.setPointSizeF(points);
        f.setBold(bold);
        f.setStyleHint(mono ? QFont::Monospace : QFont::SansSerif);
        // No ligatures: "fi" stays two letters, so the text searches and copies as written.
        f.setStyleStrategy(QFont::PreferNoShaping);
        p_.setFont(f);
    }
    void pen(const QColor& colour, double widthMm, Qt::PenStyle style = Qt::SolidLine) {
        QPen pen(colour, d(widthMm), style, Qt::FlatCap, Qt::MiterJoin);
        p_.setPen(pen);
    }
    void line(double x1, double y1, double x2, double y2) { p_.drawLine(at(x1, y1), at(x2, y2)); }
    // Text in a box, aligned; the baseline sits inside the box.
    void text(double x, double y, double w, double h, const QString& s,
              Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
        p_.drawText(box(x, y, w, h), static_cast<int>(align), s);
    }
    QPainter& painter() { return p_; }

  private:
    QPainter& p_;
    double dpmm_;
};

// A section heading with a thin rule under it; gives the y below it.
double heading(Sheet& s, double x, double y, double w, const QString& title) {
    s.font(9.5, true);
    s.pen(accent, 0.2);
    s.text(x, y, w, 5, title.toUpper());
    s.pen(rule, 0.25);
    s.line(x, y + 5.3, x + w, y + 5.3);
    return y + 7;
}

// Lines of text, one under the other; gives the y below them.
double lines(Sheet& s, double x, double y, double w, const std::vector<std::string>& texts,
             double points = 8.5, double step = 4.1) {
    s.font(points);
    s.pen(ink, 0.2);
    for (const auto& t : texts) {
        // A long line (a description, a comment) wraps rather than running off the column.
        const QRectF room = s.box(x, y, w, 4 * step);
        const QRectF used =
            s.painter().boundingRect(room, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, q(t));
        const int rows = std::max(1, static_cast<int>(std::lround(used.height() / s.d(step))));
        s.painter().drawText(s.box(x, y, w, rows * step),
                             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, q(t));
        y += rows * step;
    }
    return y;
}

QString metres3(double value) {
    return q(text::format_pattern(value, "0.000"));
}

QString side_word(analysis::BoatSide side) {
    return side == analysis::BoatSide::Left ? QStringLiteral("left") : QStringLiteral("right");
}

double zone_table(Sheet& s, double x, double y, const DossierContent& c) {
    const struct {
        const char* title;
        double width;
    } columns[] = {{"Zone", 15},     {"Buoy", 9},         {"From-to (m)", 19},    {"Samples", 11},
                   {"Mean (m)", 14}, {"Largest (m)", 15}, {"Off centre (m)", 21}, {"Flag", 8}};
    const double rowHeight = 4.3;
    s.font(6, true);
    s.pen(muted, 0.2);
    double cx = x;
    for (const auto& column : columns) {
        const bool left = column.width == columns[0].width;
        s.text(cx, y, column.width - 0.8, rowHeight, column.title,
               (left ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
        cx += column.width;
    }
    y += rowHeight;
    s.pen(rule, 0.2);
    s.line(x, y, cx, y);
    int row = 0;
    for (const auto& zone : c.zones) {
        if (row++ % 2 == 1) {
            s.painter().fillRect(s.box(x, y, cx - x, rowHeight), QColor(0xf2, 0xf4, 0xf7));
        }
        const bool any = zone.sampleCount > 0;
        const QString cells[] = {
            q(zone.name()),
            zone.hasBuoySide() ? side_word(zone.buoySide) : QStringLiteral("both"),
            q(text::format_pattern(zone.start, "0.0")) + "-" +
                q(text::format_pattern(zone.end, "0.0")),
            QString::number(zone.sampleCount),
            any ? metres3(zone.meanReading) : QStringLiteral("-"),
            any ? metres3(zone.largestReading) : QStringLiteral("-"),
            any ? metres3(zone.largestOffCentre) + " " + side_word(zone.offCentreSide)
                : QStringLiteral("-"),
            zone.overLimit ? QStringLiteral("OVER") : QStringLiteral("ok"),
        };
        cx = x;
        for (std::size_t i = 0; i < std::size(columns); ++i) {
            const bool flag = i + 1 == std::size(columns);
            s.font(7, flag && zone.overLimit);
            s.pen(flag && zone.overLimit ? limitRed : ink, 0.2);
            s.text(cx, y, columns[i].width - 0.8, rowHeight, cells[i],
                   (i == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
            cx += columns[i].width;
        }
        y += rowHeight;
    }
    s.pen(rule, 0.2);
    s.line(x, y, cx, y);
    s.font(6.5);
    s.pen(muted, 0.2);
    const QString limit = q(text::format_pattern(c.zoneSettings.limit, "0.00"));
    QString note;
    if (c.discipline == course::Discipline::Slalom) {
        note = QStringLiteral(
                   "Zones %1 m from each buoy; buoy 1 on the boat's %2. Mean and Largest: readings "
                   "toward the zone's buoy (gates: off the centre). Off centre: the largest "
                   "deviation from the path centre either way, with the boat's side; OVER when "
                   "it is beyond the %3 m limit.")
                   .arg(q(text::number_text(c.zoneSettings.zoneLength)).trimmed(),
                        q(std::string(analysis::side_name(c.zoneSettings.buoy1Side))), limit);
    } else {
        note = QStringLiteral(
                   "40 m stretches; readings off the centre; OVER when the largest "
                   "deviation either way is beyond the %1 m limit.")
                   .arg(limit);
    }
    const QRectF room = s.box(x, y + 0.8, cx - x, 12);
    const QRectF used = s.painter().boundingRect(room, Qt::TextWordWrap, note);
    s.painter().drawText(room, Qt::TextWordWrap, note);
    return y + 0.8 + used.height() / s.d(1) + 1;
}

double calibration_block(Sheet& s, double x, double y, double w, const DossierContent& c) {
    y = lines(s, x, y, w, calibration_lines(c));
    if (!c.calibration) {
        return y;
    }
    const char* titles[] = {"Point", "Screen x", "Screen y", "Survey x", "Survey y"};
    const char* names[] = {"1 upper right", "2 lower right", "3 upper left", "4 lower left"};
    const double widths[] = {24, 19, 19, 17, 17};
    const double rowHeight = 3.9;
    y += 1;
    s.font(7.5, true);
    s.pen(muted, 0.2);
    double cx = x;
    for (int i = 0; i < 5; ++i) {
        s.text(cx, y, widths[i] - 1, rowHeight, titles[i],
               (i == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
        cx += widths[i];
    }
    y += rowHeight;
    s.font(7.5);
    s.pen(ink, 0.2);
    for (std::size_t p = 0; p < 4; ++p) {
        cx = x;
        s.text(cx, y, widths[0] - 1, rowHeight, names[p]);
        cx += widths[0];
        for (std::size_t i = 0; i < 4; ++i) {
            s.text(cx, y, widths[i + 1] - 1, rowHeight,
                   q(text::number_text(c.calibration->points[p][i])).trimmed(),
                   Qt::AlignRight | Qt::AlignVCenter);
            cx += widths[i + 1];
        }
        y += rowHeight;
    }
    return y + 1;
}

// The plan view of the pass, as the Results screen draws it: course start at the top for a
// boat coming toward the camera, positive deviations to the left of the centre line.
void graph(Sheet& s, double x, double y, double w, double h, const DossierContent& c) {
    const bool slalom = c.discipline == course::Discipline::Slalom;
    const bool towards = c.direction == course::Direction::Towards;
    const double length = course::course_length(c.discipline);
    const double halfWidth = slalom ? 0.24 : 0.48;  // metres at the frame's edge
    const double frameLeft = x + 14;
    const double frameWidth = w - 28;
    const double centre = frameLeft + frameWidth / 2;
    const double top = y + 6;
    const double bottom = y + h - 25;
    const double perMetreAcross = frameWidth / 2 / halfWidth;
    const double perMetreAlong = (bottom - top) / length;
    auto gx = [&](double deviation) { return centre - perMetreAcross * deviation; };
    // p: metres the boat has travelled.
    auto gy = [&](double travelled) {
        return top + perMetreAlong * (towards ? travelled : length - travelled);
    };

    // Scale lines: the frame at the outer marks, the half-way marks, the centre.
    s.pen(rule, 0.2);
    for (double f : {-1.0, -0.5, 0.5, 1.0}) {
        s.line(gx(f * halfWidth), top, gx(f * halfWidth), bottom);
    }
    s.pen(ink, 0.3);
    s.line(frameLeft, top, frameLeft + frameWidth, top);
    s.line(frameLeft, bottom, frameLeft + frameWidth, bottom);
    s.pen(muted, 0.25);
    s.line(centre, top, centre, bottom);
    // The limit lines stand at the limit the zones are judged by, in jump too.
    const double limit = c.zoneSettings.limit;
    s.pen(limitRed, 0.3, Qt::DashLine);
    s.line(gx(limit), top, gx(limit), bottom);
    s.line(gx(-limit), top, gx(-limit), bottom);

    // Buoy rows and numbers; buoy 1 is the first buoy the boat meets.
    s.font(7, true);
    if (slalom) {
        double side = c.zoneSettings.buoy1Side == analysis::BoatSide::Left ? 1 : -1;
        for (std::size_t i = 0; i < course::slalomBuoyY.size(); ++i) {
            const double row = gy(-course::slalomBuoyY[i]);
            // A buoy on the boat's left is on the positive side: drawn to the left.
            const double boatLeft = side * c.directionSign > 0 ? 1 : -1;
            const double outer = boatLeft > 0 ? frameLeft - 6 : frameLeft + frameWidth + 6;
            s.pen(muted, 0.25);
            s.line(centre, row, outer, row);
            s.pen(accent, 0.2);
            s.painter().setBrush(Qt::NoBrush);
            s.painter().drawEllipse(s.at(outer, row), s.d(1.0), s.d(1.0));
            s.text(boatLeft > 0 ? outer - 7 : outer + 1.5, row - 2, 5, 4, QString::number(i + 1),
                   (boatLeft > 0 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
            side = -side;
        }
    } else {
        s.pen(muted, 0.25);
        for (int metres = 0; metres <= 280; metres += 40) {
            s.line(frameLeft + frameWidth, gy(metres), frameLeft + frameWidth + 2, gy(metres));
            s.text(frameLeft + frameWidth + 2.5, gy(metres) - 2, 12, 4,
                   QStringLiteral("%1 m").arg(metres));
        }
    }

    // The zones: thin ticks on the frame's left edge from each zone's start to its end.
    s.pen(QColor(0xe0, 0x8a, 0x00), 0.5);
    for (const auto& zone : c.zones) {
        s.line(frameLeft - 1.2, gy(zone.start), frameLeft - 1.2, gy(zone.end));
        s.line(frameLeft - 2.2, gy(zone.start), frameLeft - 0.2, gy(zone.start));
    }

    // Samples 0 to N - 1 as a black line with red crosses, the best-fit path in blue.
    const int last = c.lastSampleIndex();
    QPolygonF path;
    for (int i = 0; i < last; ++i) {
        path << s.at(gx(c.samples[static_cast<std::size_t>(i)]), gy(i * length / last));
    }
    s.pen(ink, 0.25);
    s.painter().drawPolyline(path);
    // A tracked or operator-held sample is a red cross; one the tracker did not track is a
    // hollow circle, so a reader sees where the path was not followed on the video.
    const double arm = s.d(0.5);
    std::vector<bool> hollow(static_cast<std::size_t>(last) + 1, false);
    for (const int k : untracked_samples(c)) {
        hollow[static_cast<std::size_t>(k)] = true;
    }
    for (int i = 0; i < path.size(); ++i) {
        const QPointF point = path[i];
        if (hollow[static_cast<std::size_t>(i)]) {
            s.pen(QColor(0xd0, 0x20, 0x20), 0.2);
            s.painter().setBrush(Qt::white);
            s.painter().drawEllipse(point, arm * 1.2, arm * 1.2);
            s.painter().setBrush(Qt::NoBrush);
            continue;
        }
        s.pen(QColor(0xd0, 0x20, 0x20), 0.15);
        s.painter().drawLine(point - QPointF(arm, 0), point + QPointF(arm, 0));
        s.painter().drawLine(point - QPointF(0, arm), point + QPointF(0, arm));
    }
    s.pen(fitBlue, 0.35);
    if (slalom) {
        s.line(gx(c.statistics.fitStart), gy(0), gx(c.statistics.fitEnd), gy(length));
    } else {
        s.line(gx(c.statistics.pathMean), gy(0), gx(c.statistics.pathMean), gy(length));
    }

    // Scale under the graph, in centimetres, and the legend.
    s.font(6.5);
    s.pen(muted, 0.2);
    for (double f : {-1.0, -0.5, 0.0, 0.5, 1.0}) {
        const int cm = static_cast<int>(std::lround(std::abs(f) * halfWidth * 100));
        s.text(gx(f * halfWidth) - 5, bottom + 0.8, 10, 3.5, QString::number(cm), Qt::AlignCenter);
    }
    // The sides are the boat's: coming toward the camera its left is on the page's right.
    const GraphSides sides = graph_sides(c.direction);
    s.text(frameLeft - 6, bottom + 3.8, frameWidth + 12, 3, "cm off the centre line",
           Qt::AlignCenter);
    s.font(6.5, true);
    s.text(frameLeft - 8, bottom + 6.8, frameWidth + 16, 3,
           QStringLiteral("(%1 | %2)").arg(q(sides.pageLeft), q(sides.pageRight)), Qt::AlignCenter);
    s.font(6.5);
    s.text(x, y - 1, w, 4,
           towards ? QStringLiteral("Course start (entry gate) at the top")
                   : QStringLiteral("Course start (entry gate) at the bottom"),
           Qt::AlignCenter);
    double ly = bottom + 10.5;
    const struct {
        QColor colour;
        Qt::PenStyle style;
        QString label;
    } legend[] = {{ink, Qt::SolidLine, QStringLiteral("Measured path")},
                  {fitBlue, Qt::SolidLine,
                   slalom ? QStringLiteral("Best-fit path") : QStringLiteral("Mean path")},
                  {QColor(0xe0, 0x8a, 0x00), Qt::SolidLine, QStringLiteral("Zones")},
                  {QColor(0xd0, 0x20, 0x20), Qt::NoPen, QStringLiteral("o Not tracked")}};
    // Two entries to a row, the limit line's legend on a row of its own.
    int entry = 0;
    for (const auto& item : legend) {
        const double lx = x + 4 + (entry % 2) * (w / 2);
        const double row = ly + (entry / 2) * 4;
        if (item.style != Qt::NoPen) {
            s.pen(item.colour, 0.4, item.style);
            s.line(lx, row + 1.5, lx + 5, row + 1.5);
        }
        s.pen(muted, 0.2);
        s.text(item.style == Qt::NoPen ? lx : lx + 6, row, w / 2 - 8, 3, item.label);
        ++entry;
    }
    const double limitRow = ly + ((entry + 1) / 2) * 4;
    s.pen(limitRed, 0.4, Qt::DashLine);
    s.line(x + 4, limitRow + 1.5, x + 9, limitRow + 1.5);
    s.pen(limitRed, 0.2);
    s.text(x + 10, limitRow, w - 12, 3, q(limit_legend(limit)));
}

void page_frame(Sheet& s, const DossierContent& c, int page, int pages) {
    s.painter().fillRect(s.box(0, 0, pageWidth, 6), accent);
    s.font(16, true);
    s.pen(accent, 0.2);
    s.text(margin, 10, 120, 9, "Record Dossier");
    s.font(9);
    s.pen(muted, 0.2);
    s.text(margin, 18.5, 120, 5, q(c.title));
    s.text(pageWidth - margin - 80, 10, 80, 9, "Quillon boat path measurement",
           Qt::AlignRight | Qt::AlignVCenter);
    s.pen(accent, 0.5);
    s.line(margin, 25, pageWidth - margin, 25);
    s.pen(rule, 0.2);
    s.line(margin, pageHeight - 12, pageWidth - margin, pageHeight - 12);
    s.font(7);
    s.pen(muted, 0.2);
    s.text(margin, pageHeight - 11, 70, 4,
           q(c.headLines.size() > 0 ? c.headLines.front() : std::string()));
    s.text(margin + 70, pageHeight - 11, 50, 4, q(software_text()), Qt::AlignCenter);
    s.text(pageWidth - margin - 40, pageHeight - 11, 40, 4,
           QStringLiteral("Page %1 of %2").arg(page).arg(pages), Qt::AlignRight | Qt::AlignVCenter);
}

// The verdict in bold, red when a zone is over the limit or not verified.
double verdict(Sheet& s, double x, double y, double w, const DossierContent& c) {
    const QString text = q(verdict_text(c));
    const bool within = text.contains("Within") && !text.contains("Not verified");
    s.font(9, true);
    s.pen(within ? accent : limitRed, 0.2);
    const QRectF room = s.box(x, y, w, 14);
    const QRectF used = s.painter().boundingRect(room, Qt::TextWordWrap, text);
    s.painter().drawText(room, Qt::TextWordWrap, text);
    return y + used.height() / s.d(1) + 1.5;
}

void first_page(Sheet& s, const DossierContent& c, int pages) {
    page_frame(s, c, 1, pages);
    const double left = margin;
    const double leftWidth = 112;
    double y = heading(s, left, 29, leftWidth, "Pass");
    y = lines(s, left, y, leftWidth, c.headLines, 8, 3.7);
    y = lines(s, left, y, leftWidth, pass_fact_lines(c), 8, 3.7) + 1.5;
    y = heading(s, left, y, leftWidth, "Statistics");
    y = lines(s, left, y, leftWidth, c.statisticsLines, 8, 3.7) + 1.5;
    y = heading(s, left, y, leftWidth, "Zone readings");
    y = zone_table(s, left, y, c) + 1;
    y = heading(s, left, y, leftWidth, "Verdict");
    verdict(s, left, y, leftWidth, c);

    const double graphLeft = left + leftWidth + 5;
    const double graphWidth = pageWidth - margin - graphLeft;
    heading(s, graphLeft, 29, graphWidth, "Path along the course");
    graph(s, graphLeft, 40, graphWidth, pageHeight - 12 - 48, c);
}

// Two officials sign: name, role, signature and date, each on a line to write on.
double signatures(Sheet& s, double x, double y, double w) {
    const double column = (w - 10) / 2;
    const char* fields[] = {"Name", "Role", "Signature", "Date"};
    for (int official = 0; official < 2; ++official) {
        const double cx = x + official * (column + 10);
        s.font(8, true);
        s.pen(accent, 0.2);
        s.text(cx, y, column, 5, QStringLiteral("Official %1").arg(official + 1));
        double fy = y + 7;
        for (const char* field : fields) {
            s.font(8);
            s.pen(muted, 0.2);
            s.text(cx, fy, 20, 5, field);
            s.pen(ink, 0.25);
            s.line(cx + 20, fy + 4.5, cx + column, fy + 4.5);
            fy += std::string_view(field) == "Signature" ? 14 : 9;
        }
    }
    return y + 7 + 3 * 9 + 14 + 2;
}

void measurement_page(Sheet& s, const DossierContent& c, int pages) {
    page_frame(s, c, 2, pages);
    const double width = pageWidth - 2 * margin;
    double y = heading(s, margin, 29, width, "How the pass was measured");
    std::vector<std::string> how{measured_by_line(c)};
    for (auto& line : clock_lines(c)) {
        how.push_back(std::move(line));
    }
    how.push_back("Software: " + software_text());
    y = lines(s, margin, y, width, how) + 2;
    y = heading(s, margin, y, width, "Calibration");
    y = calibration_block(s, margin, y, width, c) + 1;
    const auto exactness = exactness_lines(c);
    if (!exactness.empty()) {
        y = heading(s, margin, y, width, "How exact the camera was");
        y = lines(s, margin, y, width, exactness) + 2;
    }
    y = heading(s, margin, y, width, "Verdict");
    y = verdict(s, margin, y, width, c) + 2;
    y = heading(s, margin, y, width, "Signatures");
    signatures(s, margin, y + 1, width);
}

constexpr double sampleRowHeight = 3.55;
constexpr int sampleColumns = 4;
constexpr double sampleTop = 37;

int sample_rows_per_column() {
    return static_cast<int>((pageHeight - 14 - sampleTop - sampleRowHeight) / sampleRowHeight);
}

void sample_page(Sheet& s, const DossierContent& c, const std::vector<SampleRow>& rows,
                 std::size_t first, int page, int pages) {
    page_frame(s, c, page, pages);
    const double width = pageWidth - 2 * margin;
    heading(s, margin, 29, width, page == 3 ? "Samples" : "Samples (continued)");
    const double columnWidth = width / sampleColumns;
    const int perColumn = sample_rows_per_column();
    const double cells[] = {9, 17, 15};
    for (int column = 0; column < sampleColumns; ++column) {
        const double x = margin + column * columnWidth;
        double y = sampleTop;
        s.font(7, true);
        s.pen(muted, 0.2);
        const char* titles[] = {"Frame", "Course (m)", "Dev. (m)"};
        double cx = x;
        for (int i = 0; i < 3; ++i) {
            s.text(cx - 3, y, cells[i] + 3, sampleRowHeight, titles[i],
                   Qt::AlignRight | Qt::AlignVCenter);
            cx += cells[i];
        }
        y += sampleRowHeight;
        s.font(7);
        s.pen(ink, 0.2);
        for (int r = 0; r < perColumn; ++r) {
            const std::size_t k = first + static_cast<std::size_t>(column * perColumn + r);
            if (k >= rows.size()) {
                return;
            }
            const QString texts[] = {q(rows[k].index), q(rows[k].position),
                                     q(rows[k].deviation).trimmed()};
            cx = x;
            for (int i = 0; i < 3; ++i) {
                s.text(cx, y, cells[i], sampleRowHeight, texts[i],
                       Qt::AlignRight | Qt::AlignVCenter);
                cx += cells[i];
            }
            y += sampleRowHeight;
        }
    }
}

}  // namespace

int draw_dossier(QPagedPaintDevice& device, const DossierContent& content) {
    QPainter painter;
    if (!painter.begin(&device)) {
        return 0;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // The pages are laid out on A4 portrait. Any other paper, orientation or margins (US Letter,
    // a printer's unprintable edges) gets the same pages scaled to fit its printable area and
    // centred on it, so nothing, the footer included, falls off the sheet.
    const double dotsPerMm = device.logicalDpiX() / 25.4;
    const double scale = std::min(device.width() / (pageWidth * dotsPerMm),
                                  device.height() / (pageHeight * dotsPerMm));
    painter.translate((device.width() - pageWidth * dotsPerMm * scale) / 2,
                      (device.height() - pageHeight * dotsPerMm * scale) / 2);
    painter.scale(scale, scale);
    Sheet sheet(painter, dotsPerMm);

    const auto rows = sample_rows(content);
    const std::size_t perPage = static_cast<std::size_t>(sample_rows_per_column()) * sampleColumns;
    const int samplePages = static_cast<int>((rows.size() + perPage - 1) / perPage);
    const int pages = 2 + samplePages;
    first_page(sheet, content, pages);
    if (!device.newPage()) {
        painter.end();
        return 0;
    }
    measurement_page(sheet, content, pages);
    for (int page = 0; page < samplePages; ++page) {
        if (!device.newPage()) {
            painter.end();
            return 0;
        }
        sample_page(sheet, content, rows, static_cast<std::size_t>(page) * perPage, page + 3,
                    pages);
    }
    if (!painter.end()) {
        return 0;
    }
    return pages;
}

QPageLayout a4_page() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter);
}

text::FileStatus write_dossier_pdf(const std::string& path, const DossierContent& content,
                                   const QPageLayout& layout) {
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(600);
        writer.setCreator(q(software_text()));
        writer.setTitle(QStringLiteral("Record Dossier - %1").arg(q(content.title)));
        if (!writer.setPageLayout(layout) || draw_dossier(writer, content) == 0) {
            return text::FileStatus::failure(std::make_error_code(std::errc::io_error));
        }
    }
    return text::replace_file(
        path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace quillon::dossier
