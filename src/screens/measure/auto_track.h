#pragma once

#include <QObject>
#include <QString>
#include <array>

#include "measure/tracked_line.h"
#include "platform/video_source.h"

class QLabel;

namespace quillon::screens {

class LineShape;
class OverlayCanvas;

// What Auto Track shows on the drawing surface: a yellow box around the mark while the
// tracker has it, and a banner in large text across the top of the picture, where the
// operator looks, when the tracker lost the mark, the operator has the line, or a click was
// not taken. The tracking itself is measure::TrackedLine's.
class AutoTrackOverlay : public QObject {
    Q_OBJECT

  public:
    AutoTrackOverlay(OverlayCanvas& canvas, QObject* parent);

    // Draws the box and the banner for where `tracked` stands; `placement` puts frame pixels
    // on the surface. A refusal said before stays until the state changes.
    void show(const measure::TrackedLine& tracked, const tracking::FrameOnSurface& placement);
    // One line on the banner: why a click was not taken.
    void say(const QString& text);
    // Nothing of Auto Track on the surface.
    void clear();

    QString bannerText() const;

  private:
    void showBox(bool visible);
    void showBanner(const QString& text);

    OverlayCanvas& canvas_;
    std::array<LineShape*, 4> box_{};
    QLabel* banner_ = nullptr;
    measure::TrackState shownState_ = measure::TrackState::Off;
};

}  // namespace quillon::screens
