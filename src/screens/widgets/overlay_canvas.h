#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QWidget>
#include <vector>

#include "screens/widgets/key_colour.h"

namespace quillon::screens {

class LineShape;

// The drawing surface of the Setup, Measure and Results screens, in twips (15 per pixel):
// a background (the key colour, or a still picture from the top-left corner), a drawing
// layer that keeps what was drawn across repaints, and line objects painted over both.
// Erasing a mark is drawing it in the background colour; over a picture that paints the
// key colour onto it.
class OverlayCanvas : public QWidget {
    Q_OBJECT

  public:
    static constexpr double twipsPerPixel = 15.0;

    explicit OverlayCanvas(QWidget* parent = nullptr);

    static QPointF toPixels(double xTwips, double yTwips) {
        return {xTwips / twipsPerPixel, yTwips / twipsPerPixel};
    }

    void setBackgroundColour(const QColor& colour);
    QColor backgroundColour() const { return background_; }

    void setPicture(const QImage& picture);
    void clearPicture();
    bool hasPicture() const { return !picture_.isNull(); }

    // Drawing, all in twips; lines and circles use the pen width in pixels.
    void clear();
    void setPenWidth(int pixels);
    int penWidth() const { return penWidth_; }
    void line(double x1, double y1, double x2, double y2, const QColor& colour);
    void circle(double x, double y, double radius, const QColor& colour);
    void point(double x, double y, const QColor& colour);

    // A line object owned by the canvas, found again by its name.
    LineShape* addLine(const QString& name);

    // What has been drawn, without background or line objects (transparent elsewhere).
    const QImage& drawing() const { return layer_; }
    // What the surface shows, as an image of the widget's size.
    QImage composed() const;
    // The colour shown at a point given in twips.
    QColor colourAt(double xTwips, double yTwips) const;

  signals:
    void mousePressed(double xTwips, double yTwips, Qt::MouseButton button);
    void mouseMoved(double xTwips, double yTwips);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void ensureLayerCovers(const QSize& size);
    void paintSurface(QPainter& painter, const QRect& area) const;
    QPen pen(const QColor& colour) const;

    QColor background_ = keyColour;
    QImage picture_;
    QImage layer_;
    int penWidth_ = 1;
    std::vector<LineShape*> shapes_;
};

}  // namespace quillon::screens
