#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRegion>
#include <QWidget>
#include <optional>
#include <vector>

#include "screens/widgets/key_colour.h"

namespace quillon::screens {

class LineShape;

// The drawing surface of the Setup, Measure and Results screens, in twips (15 per pixel):
// a background (the key colour, or a still picture from the top-left corner, scaled down to
// fit when it is larger than the surface), a drawing
// layer that keeps what was drawn across repaints, and line objects painted over both.
// Erasing a mark is drawing it in the background colour; over a picture that paints the
// key colour onto it.
//
// With a video frame set, the surface is keyed as a chroma-key card would key it: every
// pixel of background, picture and drawing that is exactly the key colour shows the video,
// scaled to the surface with its aspect ratio kept (black bars outside); everything else
// stays on top, and line objects are painted over both.
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

    // A picture larger than the surface is scaled down to fit it, its aspect kept; one that
    // fits keeps its own size. Either way it stands in the top-left corner.
    void setPicture(const QImage& picture);
    void clearPicture();
    bool hasPicture() const { return !picture_.isNull(); }
    // Where the picture stands on the surface, in pixels, and its own size; nothing without one.
    struct PicturePlacement {
        QRect shown;
        QSize own;
    };
    std::optional<PicturePlacement> picturePlacement() const;

    // The video frame behind the key colour; a null image removes the video.
    void setVideoFrame(const QImage& frame);
    bool hasVideo() const { return !video_.isNull(); }
    // The video frame's own size; empty without video.
    QSize videoSize() const { return video_.size(); }
    // Where the video appears on the surface, in pixels.
    QRect videoRect() const;
    // The video frame as the surface shows it: scaled and centred, black bars outside.
    QImage videoAsShown() const;

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
    // How long the last paint of the surface took, for the overlay benchmark.
    qint64 lastPaintNs() const { return lastPaintNs_; }

  signals:
    // Presses and moves on the bare surface only, never on a control or panel over it.
    void mousePressed(double xTwips, double yTwips, Qt::MouseButton button);
    void mouseMoved(double xTwips, double yTwips);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    bool onBareSurface(QMouseEvent* event) const;
    void ensureLayerCovers(const QSize& size);
    void paintSurface(QPainter& painter, const QRect& area) const;
    void paintKeyedSurface(QPainter& painter, const QRect& area) const;
    void refreshKeyed(const QRect& area) const;
    // Background, picture and drawing changed in `area` (pixels); the whole surface if null.
    void changed(const QRect& area = {});
    void fitPicture();
    QPen pen(const QColor& colour) const;

    QColor background_ = keyColour;
    // The picture as set, and as the surface shows it (fitted to the surface's size).
    QImage ownPicture_;
    QImage picture_;
    QImage layer_;
    QImage video_;
    // Background, picture and drawing with the key colour made transparent, kept up to date
    // only while there is a video and only where something changed: painting a frame then
    // costs two image draws and no pass over the pixels.
    mutable QImage keyed_;
    mutable QRegion keyedStale_;
    int penWidth_ = 1;
    qint64 lastPaintNs_ = 0;
    std::vector<LineShape*> shapes_;
};

}  // namespace quillon::screens
