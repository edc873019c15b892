#pragma once

#include <QColor>
#include <QObject>
#include <utility>
#include <vector>

#include "analysis/pass_statistics.h"
#include "analysis/zone_readings.h"
#include "course/pass_description.h"

class QLabel;

namespace quillon::screens {

class LineShape;
class OverlayCanvas;

// The plan view of a pass on the Results screen, in twips: a fixed frame of scale lines,
// buoy rows and numbers (slalom) or distance ticks (jump), the samples as a black line with
// red crosses, the best-fit path in blue, and reloaded paths in a colour of their own.
class DeviationGraph : public QObject {
    Q_OBJECT

  public:
    static constexpr double centreX = 7800;
    static constexpr double courseStartY = 300;
    // 1.5 pixels per metre of course.
    static constexpr double twipsPerMetre = 22.5;

    explicit DeviationGraph(OverlayCanvas* canvas);

    // Twips per metre of deviation: 3000 in slalom, 1500 in jump.
    static double lateralScale(course::Discipline discipline);

    // Shows the frame for the discipline, with the buoys numbered for the direction.
    void showFrame(course::Discipline discipline, course::Direction direction);

    // Slalom: puts the limit lines at the zones' limit (their legend "Red Line - 15cm Limit";
    // at 0.20 m the classic lines and "Red Line - 20cm Record Limit"), and mirrors the buoy
    // rows and numbers when buoy 1 is on the boat's left, so the buoys stand on the side the
    // boat passes them. The classic frame is the one for 0.20 m with buoy 1 on the right.
    void showZoneSettings(course::Discipline discipline, const analysis::ZoneSettings& settings);

    // Draws samples 0 to N - 1 and the best-fit path. A sample the tracker did not track is a
    // hollow circle instead of the red cross.
    void drawPass(course::Discipline discipline, course::Direction direction, const double* samples,
                  int lastSampleIndex, const analysis::PassStatistics& statistics,
                  const std::vector<int>& untracked = {});

    // Marks each zone with a thin tick beside the frame, from its start to its end.
    void drawZoneTicks(course::Discipline discipline, course::Direction direction,
                       const std::vector<analysis::ZoneReading>& zones);

    // Draws a reloaded path of (course position, deviation) points in a colour.
    void drawReloadedPath(course::Discipline discipline, course::Direction direction,
                          const std::vector<std::pair<double, double>>& points,
                          const QColor& colour);

    // The colours offered for a reloaded path, by the number typed (1 to 7).
    static QColor reloadColour(int number);
    static QString reloadColourName(int number);

  private:
    LineShape* fixedLine(const char* name, double x1, double y1, double x2, double y2,
                         const QColor& colour = Qt::black);
    QLabel* fixedLabel(const char* name, const QString& text, double x, double y);

    OverlayCanvas* canvas_;
    std::vector<LineShape*> frameLines_;     // Line1..Line5, Line12, Line13
    std::vector<LineShape*> recordLimits_;   // Line14, Line15
    std::vector<LineShape*> buoyRows_;       // Line6..Line11
    std::vector<QLabel*> buoyNumbers_;       // Label3..Label8
    std::vector<LineShape*> distanceTicks_;  // Line16..Line21
    std::vector<QLabel*> jumpDecorations_;   // Label13, Label14, Shape1..Shape3
    std::vector<LineShape*> zoneTicks_;      // lnZone1.. : span and start tick of each zone
    QLabel* scaleCaption_ = nullptr;         // Label2
    QLabel* recordLegend_ = nullptr;         // Label12
};

}  // namespace quillon::screens
