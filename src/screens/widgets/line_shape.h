#pragma once

#include <QColor>
#include <QObject>

class QPainter;

namespace quillon::screens {

class OverlayCanvas;

// A line control of a screen: two end points in twips, a colour, a width in pixels and a
// style, painted over the canvas's drawing on every repaint and moved by setting coordinates.
class LineShape : public QObject {
    Q_OBJECT

  public:
    enum class Style { Solid = 1, Dash = 2, Dot = 3 };

    LineShape(const QString& name, OverlayCanvas* canvas);

    double X1() const { return x1_; }
    double Y1() const { return y1_; }
    double X2() const { return x2_; }
    double Y2() const { return y2_; }
    void setX1(double twips);
    void setY1(double twips);
    void setX2(double twips);
    void setY2(double twips);
    // Both ends at one horizontal position, as a vertical line is moved.
    void setX(double twips);
    // Both ends at one vertical position, as a horizontal line is moved.
    void setY(double twips);
    void setCoordinates(double x1, double y1, double x2, double y2);

    QColor colour() const { return colour_; }
    void setColour(const QColor& colour);
    int width() const { return width_; }
    void setWidth(int pixels);
    Style style() const { return style_; }
    void setStyle(Style style);
    bool isVisible() const { return visible_; }
    void setVisible(bool visible);

    void paint(QPainter& painter) const;

  private:
    void changed();

    OverlayCanvas* canvas_;
    double x1_ = 0;
    double y1_ = 0;
    double x2_ = 0;
    double y2_ = 0;
    QColor colour_{Qt::black};
    int width_ = 1;
    Style style_ = Style::Solid;
    bool visible_ = true;
};

}  // namespace quillon::screens
