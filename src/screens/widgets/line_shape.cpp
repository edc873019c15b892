#include "screens/widgets/line_shape.h"

#include <QPainter>
#include <cmath>

#include "screens/widgets/overlay_canvas.h"

namespace quillon::screens {

LineShape::LineShape(const QString& name, OverlayCanvas* canvas)
    : QObject(canvas), canvas_(canvas) {
    setObjectName(name);
}

void LineShape::setX1(double twips) {
    x1_ = twips;
    changed();
}

void LineShape::setY1(double twips) {
    y1_ = twips;
    changed();
}

void LineShape::setX2(double twips) {
    x2_ = twips;
    changed();
}

void LineShape::setY2(double twips) {
    y2_ = twips;
    changed();
}

void LineShape::setX(double twips) {
    x1_ = x2_ = twips;
    changed();
}

void LineShape::setY(double twips) {
    y1_ = y2_ = twips;
    changed();
}

void LineShape::setCoordinates(double x1, double y1, double x2, double y2) {
    x1_ = x1;
    y1_ = y1;
    x2_ = x2;
    y2_ = y2;
    changed();
}

void LineShape::setColour(const QColor& colour) {
    colour_ = colour;
    changed();
}

void LineShape::setWidth(int pixels) {
    width_ = pixels < 1 ? 1 : pixels;
    changed();
}

void LineShape::setStyle(Style style) {
    style_ = style;
    changed();
}

void LineShape::setVisible(bool visible) {
    visible_ = visible;
    changed();
}

void LineShape::changed() {
    canvas_->update();
}

void LineShape::paint(QPainter& painter) const {
    // Coordinates from a mapping with a zero denominator are not on any screen.
    for (double v : {x1_, y1_, x2_, y2_}) {
        if (!visible_ || !std::isfinite(v) || std::abs(v) > 1e9) {
            return;
        }
    }
    QPen pen(colour_, width_);
    pen.setCapStyle(Qt::FlatCap);
    switch (style_) {
        case Style::Solid:
            pen.setStyle(Qt::SolidLine);
            break;
        case Style::Dash:
            pen.setStyle(Qt::DashLine);
            break;
        case Style::Dot:
            pen.setStyle(Qt::DotLine);
            break;
    }
    painter.setPen(pen);
    painter.drawLine(OverlayCanvas::toPixels(x1_, y1_), OverlayCanvas::toPixels(x2_, y2_));
}

}  // namespace quillon::screens
