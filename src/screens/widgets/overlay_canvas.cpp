#include "screens/widgets/overlay_canvas.h"

#include <QElapsedTimer>
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

void OverlayCanvas::changed(const QRect& area) {
    if (area.isNull()) {
        keyedStale_ = QRegion(QRect(QPoint(0, 0), layer_.size()));
        update();
    } else {
        keyedStale_ += area;
        update(area);
    }
}

void OverlayCanvas::setBackgroundColour(const QColor& colour) {
    background_ = colour;
    changed();
}

void OverlayCanvas::setPicture(const QImage& picture) {
    ownPicture_ = picture.convertToFormat(QImage::Format_RGB32);
    picture_ = QImage();
    fitPicture();
    changed();
}

void OverlayCanvas::clearPicture() {
    ownPicture_ = QImage();
    picture_ = QImage();
    changed();
}

// A still taller or wider than the surface would lose the near gate off its edge: it is
// shown whole, scaled down. One that fits is not enlarged, so its pixels stay sharp.
void OverlayCanvas::fitPicture() {
    const QSize own = ownPicture_.size();
    if (ownPicture_.isNull() || width() <= 0 || height() <= 0 ||
        (own.width() <= width() && own.height() <= height())) {
        picture_ = ownPicture_;
        return;
    }
    const QSize fitted = own.scaled(size(), Qt::KeepAspectRatio);
    if (picture_.size() != fitted) {
        picture_ = ownPicture_.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
}

std::optional<OverlayCanvas::PicturePlacement> OverlayCanvas::picturePlacement() const {
    if (picture_.isNull()) {
        return std::nullopt;
    }
    return PicturePlacement{QRect(QPoint(0, 0), picture_.size()), ownPicture_.size()};
}

void OverlayCanvas::setVideoFrame(const QImage& frame) {
    const bool had = hasVideo();
    video_ = frame.format() == QImage::Format_RGB32 ? frame
                                                    : frame.convertToFormat(QImage::Format_RGB32);
    if (hasVideo() && !had) {
        changed();
    } else {
        update();
    }
}

QRect OverlayCanvas::videoRect() const {
    if (video_.isNull()) {
        return {};
    }
    const QSize fitted = video_.size().scaled(size(), Qt::KeepAspectRatio);
    return {QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted};
}

QImage OverlayCanvas::videoAsShown() const {
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    if (!video_.isNull()) {
        QPainter painter(&image);
        painter.drawImage(videoRect(), video_);
    }
    return image;
}

void OverlayCanvas::clear() {
    layer_.fill(Qt::transparent);
    changed();
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
    const int margin = penWidth_ + 2;
    changed(QRectF(toPixels(x1, y1), toPixels(x2, y2))
                .normalized()
                .toAlignedRect()
                .adjusted(-margin, -margin, margin, margin));
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
    const int margin = penWidth_ + 2;
    changed(QRectF(toPixels(x, y) - QPointF(r, r), QSizeF(2 * r, 2 * r))
                .toAlignedRect()
                .adjusted(-margin, -margin, margin, margin));
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
    changed(QRect(left, top, size, size));
}

LineShape* OverlayCanvas::addLine(const QString& name) {
    auto* shape = new LineShape(name, this);
    shapes_.push_back(shape);
    return shape;
}

void OverlayCanvas::paintSurface(QPainter& painter, const QRect& area) const {
    if (hasVideo()) {
        paintKeyedSurface(painter, area);
        return;
    }
    painter.fillRect(area, background_);
    if (!picture_.isNull()) {
        painter.drawImage(area.topLeft(), picture_, area);
    }
    painter.drawImage(area.topLeft(), layer_, area);
    for (const LineShape* shape : shapes_) {
        shape->paint(painter);
    }
}

void OverlayCanvas::refreshKeyed(const QRect& area) const {
    if (keyed_.size() != layer_.size()) {
        keyed_ = QImage(layer_.size(), QImage::Format_ARGB32_Premultiplied);
        keyedStale_ = QRegion(keyed_.rect());
    }
    const QRegion stale = keyedStale_.intersected(area);
    if (stale.isEmpty()) {
        return;
    }
    QPainter painter(&keyed_);
    for (const QRect& rect : stale) {
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(rect, background_);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        if (!picture_.isNull()) {
            painter.drawImage(rect.topLeft(), picture_, rect);
        }
        painter.drawImage(rect.topLeft(), layer_, rect);
    }
    painter.end();
    // Only what changed is keyed again, so this pass stays off the path of each video frame.
    const QRgb key = keyColour.rgb();
    for (const QRect& rect : stale) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(keyed_.scanLine(y));
            for (int x = rect.left(); x <= rect.right(); ++x) {
                if (row[x] == key) {
                    row[x] = 0;
                }
            }
        }
    }
    keyedStale_ -= stale;
}

void OverlayCanvas::paintKeyedSurface(QPainter& painter, const QRect& area) const {
    const QRect shown = videoRect();
    const QRegion bars = QRegion(area) - QRegion(shown);
    for (const QRect& bar : bars) {
        painter.fillRect(bar, Qt::black);
    }
    if (shown.size() == video_.size()) {
        const QRect part = area.intersected(shown);
        painter.drawImage(part.topLeft(), video_, part.translated(-shown.topLeft()));
    } else {
        painter.save();
        painter.setClipRect(area);
        painter.drawImage(shown, video_);
        painter.restore();
    }
    refreshKeyed(area);
    painter.drawImage(area.topLeft(), keyed_, area);
    for (const LineShape* shape : shapes_) {
        shape->paint(painter);
    }
}

void OverlayCanvas::paintEvent(QPaintEvent* event) {
    QElapsedTimer timer;
    timer.start();
    {
        QPainter painter(this);
        paintSurface(painter, event->rect());
    }
    lastPaintNs_ = timer.nsecsElapsed();
}

void OverlayCanvas::resizeEvent(QResizeEvent* event) {
    ensureLayerCovers(event->size());
    fitPicture();
    keyedStale_ = QRegion(QRect(QPoint(0, 0), layer_.size()));
    QWidget::resizeEvent(event);
}

// A press or move that a control or panel let through (a label, a frame caption, the blank
// part of an option button) reaches the surface as if it were its own; only the bare surface
// counts, so such events end here.
bool OverlayCanvas::onBareSurface(QMouseEvent* event) const {
    event->accept();
    return childAt(event->position().toPoint()) == nullptr;
}

void OverlayCanvas::mousePressEvent(QMouseEvent* event) {
    if (onBareSurface(event)) {
        const QPointF at = event->position();
        emit mousePressed(at.x() * twipsPerPixel, at.y() * twipsPerPixel, event->button());
    }
}

void OverlayCanvas::mouseMoveEvent(QMouseEvent* event) {
    if (onBareSurface(event)) {
        const QPointF at = event->position();
        emit mouseMoved(at.x() * twipsPerPixel, at.y() * twipsPerPixel);
    }
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
