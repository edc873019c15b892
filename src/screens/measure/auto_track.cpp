#include "screens/measure/auto_track.h"

#include <QColor>
#include <QFont>
#include <QLabel>

#include "screens/widgets/line_shape.h"
#include "screens/widgets/overlay_canvas.h"

namespace quillon::screens {

namespace {

constexpr double twips = OverlayCanvas::twipsPerPixel;

}  // namespace

AutoTrackOverlay::AutoTrackOverlay(OverlayCanvas& canvas, QObject* parent)
    : QObject(parent), canvas_(canvas) {
    const char* const names[] = {"trackBoxTop", "trackBoxBottom", "trackBoxLeft", "trackBoxRight"};
    for (std::size_t side = 0; side < box_.size(); ++side) {
        box_[side] = canvas_.addLine(names[side]);
        box_[side]->setColour(QColor(255, 255, 0));
        box_[side]->setWidth(1);
        box_[side]->setVisible(false);
    }
    banner_ = new QLabel(&canvas_);
    banner_->setObjectName("lblTrackBanner");
    QFont font = banner_->font();
    font.setPointSize(20);
    font.setBold(true);
    banner_->setFont(font);
    banner_->setAlignment(Qt::AlignCenter);
    banner_->setStyleSheet(
        "QLabel { color: rgb(255, 230, 0); background-color: rgba(0, 0, 0, 170); "
        "padding: 6px 14px; }");
    banner_->setWordWrap(true);
    banner_->setAttribute(Qt::WA_TransparentForMouseEvents);
    banner_->hide();
}

void AutoTrackOverlay::show(const measure::TrackedLine& tracked,
                            const tracking::FrameOnSurface& placement) {
    const measure::TrackState state = tracked.state();
    if (state == measure::TrackState::Tracking && tracked.lastFound().found) {
        const tracking::TrackResult& mark = tracked.lastFound();
        const double x = (placement.left + mark.x * placement.scale) * twips;
        const double y = (placement.top + mark.y * placement.scale) * twips;
        const double halfWidth = mark.boxWidth * placement.scale * twips / 2;
        const double halfHeight = mark.boxHeight * placement.scale * twips / 2;
        box_[0]->setCoordinates(x - halfWidth, y - halfHeight, x + halfWidth, y - halfHeight);
        box_[1]->setCoordinates(x - halfWidth, y + halfHeight, x + halfWidth, y + halfHeight);
        box_[2]->setCoordinates(x - halfWidth, y - halfHeight, x - halfWidth, y + halfHeight);
        box_[3]->setCoordinates(x + halfWidth, y - halfHeight, x + halfWidth, y + halfHeight);
        showBox(true);
    } else {
        showBox(false);
    }
    if (state == shownState_) {
        return;
    }
    shownState_ = state;
    // Tracking needs no banner: the box says it.
    showBanner(state == measure::TrackState::Lost || state == measure::TrackState::Operator
                   ? QString::fromStdString(tracked.status())
                   : QString());
}

void AutoTrackOverlay::say(const QString& text) {
    showBanner(text);
}

void AutoTrackOverlay::clear() {
    showBox(false);
    showBanner(QString());
    shownState_ = measure::TrackState::Off;
}

QString AutoTrackOverlay::bannerText() const {
    return banner_->isVisible() ? banner_->text() : QString();
}

void AutoTrackOverlay::showBox(bool visible) {
    for (LineShape* side : box_) {
        if (side->isVisible() != visible) {
            side->setVisible(visible);
        }
    }
}

void AutoTrackOverlay::showBanner(const QString& text) {
    banner_->setText(text);
    banner_->setVisible(!text.isEmpty());
    if (text.isEmpty()) {
        return;
    }
    // On the water beside the course, a third of the way down the picture: in the operator's
    // view of the boat, never over the course's centre line, where the boat and the line are.
    const QRect picture = canvas_.videoRect().isValid() ? canvas_.videoRect() : canvas_.rect();
    const int room = std::max(200, picture.width() / 2 - 80);
    const int wanted = banner_->fontMetrics().horizontalAdvance(text) + 40;
    const int width = std::min(wanted, room);
    banner_->resize(width, banner_->heightForWidth(width));
    banner_->move(picture.center().x() - 80 - banner_->width(),
                  picture.top() + picture.height() / 3);
    banner_->raise();
}

}  // namespace quillon::screens
