#include "screens/widgets/overlay_canvas.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <cmath>

#include "screens/widgets/line_shape.h"

namespace quillon::screens {

namespace {

// A mapping through a camera model with a zero denominator gives infinities or NaN; such a
// point has no place on the screen and is not drawn.
bool drawable(std::initializer_list<double> values) {
    for (double v : values) {
        if (!std::isfinite(v) || std::abs(v) > 1e9) {
            return false;
        }
    }
    return true;
}

}  // namespace

OverlayCanvas::OverlayCanvas(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    // Marks may be drawn before the window is laid out: start with a layer the size of the
    // screen, so nothing drawn early is cut off.
    const QScreen* screen = QGuiApplication::primaryScreen();
    ensureLayerCovers(screen ? screen->size() : QSize(1024, 768));
}

void OverlayCanvas::ensureLayerCovers(const QSize& size) {
    if (layer_.width() >= size.width() && layer_.height() >= size.height()) {
        return;
    }
    QImage grown(size.expandedTo(layer_.size()), QImage::Format_ARGB32_Premultiplied);
    grown.fill(Qt::transparent);
    if (!layer_.isNull()) {
        QPainter painter(&grown);
        painter.drawImage(0, 0, layer_);
    }
    layer_ = grown;
}

void OverlayCanvas::setBackgroundColour(const QColor& colour) {
    background_ = colour;
    update();
}

void OverlayCanvas::setPicture(const QImage& picture) {
    picture_ = picture.convertToFormat(QImage::Format_RGB32);
    update();
}

void OverlayCanvas::clearPicture() {
    picture_ = QImage();
    update();
}

void OverlayCanvas::clear() {
    layer_.fill(Qt::transparent);
    update();
}

void OverlayCanvas::setPenWidth(int pixels) {
    penWidth_ = pixels < 1 ? 1 : pixels;
}

QPen OverlayCanvas::pen(const QColor& colour) const {
    QPen pen(colour, penWidth_);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void OverlayCanvas::line(double x1, double y1, double x2, double y2, const QColor& colour) {
    if (!drawable({x1, y1, x2, y2})) {
        return;
    }
    QPainter painter(&layer_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setPen(pen(colour));
    painter.drawLine(toPixels(x1, y1), toPixels(x2, y2));
    update();
}

void OverlayCanvas::circle(double x, double y, double radius, const QColor& colour) {
    if (!drawable({x, y, radius})) {
        return;
    }
    QPainter painter(&layer_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setPen(pen(colour));
    painter.setBrush(Qt::NoBrush);
    const double r = radius / twipsPerPixel;
    painter.drawEllipse(toPixels(x, y), r, r);
    update();
}

void OverlayCanvas::point(double x, double y, const QColor& colour) {
    if (!drawable({x, y})) {
        return;
    }
    // A point is a dot as wide as the pen, centred on the position.
    const QPointF centre = toPixels(x, y);
    const int size = penWidth_;
    const int left = static_cast<int>(std::floor(centre.x() - (size - 1) / 2.0));
    const int top = static_cast<int>(std::floor(centre.y() - (size - 1) / 2.0));
    QPainter painter(&layer_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(QRect(left, top, size, size), colour);
    update();
}

LineShape* OverlayCanvas::addLine(const QString& name) {
    auto* shape = new LineShape(name, this);
    shapes_.push_back(shape);
    return shape;
}

void OverlayCanvas::paintSurface(QPainter& painter, const QRect& area) const {
    painter.fillRect(area, background_);
    if (!picture_.isNull()) {
        painter.drawImage(area.topLeft(), picture_, area);
    }
    painter.drawImage(area.topLeft(), layer_, area);
    for (const LineShape* shape : shapes_) {
        shape->paint(painter);
    }
}

void OverlayCanvas::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    paintSurface(painter, event->rect());
}

void OverlayCanvas::resizeEvent(QResizeEvent* event) {
    ensureLayerCovers(event->size());
    QWidget::resizeEvent(event);
}

void OverlayCanvas::mousePressEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    emit mousePressed(at.x() * twipsPerPixel, at.y() * twipsPerPixel, event->button());
}

void OverlayCanvas::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    emit mouseMoved(at.x() * twipsPerPixel, at.y() * twipsPerPixel);
}

QImage OverlayCanvas::composed() const {
    QImage image(size(), QImage::Format_RGB32);
    QPainter painter(&image);
    paintSurface(painter, rect());
    return image;
}

QColor OverlayCanvas::colourAt(double xTwips, double yTwips) const {
    const QPointF at = toPixels(xTwips, yTwips);
    const QPoint pixel(static_cast<int>(std::floor(at.x())), static_cast<int>(std::floor(at.y())));
    const QImage image = composed();
    return image.valid(pixel) ? image.pixelColor(pixel) : QColor();
}

}  // namespace quillon::screens
