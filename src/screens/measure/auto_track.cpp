#include "screens/measure/auto_track.h"

#include <QColor>

#include "platform/video_time_pulse_clock.h"
#include "screens/widgets/line_shape.h"
#include "screens/widgets/overlay_canvas.h"

namespace quillon::screens {

namespace {

constexpr double twips = OverlayCanvas::twipsPerPixel;
// How much tracked video is kept for the video-time clock to look back into.
constexpr qint64 historyUs = 3'000'000;

tracking::FrameView view_of(const platform::VideoFrame& frame) {
    const QImage& image = frame.image;
    return {image.width(), image.height(), static_cast<int>(image.bytesPerLine()),
            image.constBits(), frame.timeUs};
}

}  // namespace

AutoTrack::AutoTrack(OverlayCanvas& canvas, platform::Platform& platform,
                     const session::PassSession& session, QObject* parent)
    : QObject(parent), canvas_(canvas), platform_(platform), session_(session) {
    const char* const names[] = {"trackBoxTop", "trackBoxBottom", "trackBoxLeft", "trackBoxRight"};
    for (std::size_t side = 0; side < box_.size(); ++side) {
        box_[side] = canvas_.addLine(names[side]);
        box_[side]->setColour(QColor(255, 255, 0));
        box_[side]->setWidth(1);
        box_[side]->setVisible(false);
    }
    connect(&platform_.video, &platform::VideoSource::frameDecoded, this, &AutoTrack::frameDecoded);
    connect(&platform_.video, &platform::VideoSource::framePresented, this,
            &AutoTrack::framePresented);
}

bool AutoTrack::available() const {
    return platform_.boatTracker && platform_.video.kind() != platform::VideoSource::Kind::None;
}

void AutoTrack::setEnabled(bool enabled) {
    enabled_ = enabled;
    platform_.video.setEveryFrame(enabled);
    if (!enabled) {
        tracking_ = false;
        lineTracked_ = false;
        tracker_.reset();
        history_.clear();
        line_.reset();
        showBox(false);
        emit statusChanged(QString());
    } else {
        emit statusChanged("Click the boat's mark to track it");
    }
}

// The video as the surface shows it, fitted as quillon-cli track fits it, so that the screen
// and the command measure the same pixels.
tracking::FrameOnSurface AutoTrack::placement() const {
    const QImage& image = platform_.video.frame().image;
    if (image.isNull()) {
        return {};
    }
    return tracking::fit_frame(canvas_.width(), canvas_.height(), image.width(), image.height());
}

tracking::TrackStart AutoTrack::trackStart(double x, double y, const course::PassDescription& pass,
                                           qint64 passStartUs) const {
    tracking::TrackStart start;
    start.markX = x;
    start.markY = y;
    start.model = session_.calibration.model;
    start.placement = placement();
    start.pass = pass;
    start.passStartUs = passStartUs;
    return start;
}

std::optional<QString> AutoTrack::pick(double xTwips, double yTwips,
                                       const course::PassDescription& pass) {
    const platform::VideoFrame& frame = platform_.video.frame();
    const tracking::FrameOnSurface at = placement();
    if (frame.image.isNull() || !available()) {
        return QString("There is no video to track the boat on.");
    }
    const double x = (xTwips / twips - at.left) / at.scale;
    const double y = (yTwips / twips - at.top) / at.scale;
    tracker_ = platform_.boatTracker();
    history_.clear();
    const auto refusal = tracker_->start(view_of(frame), trackStart(x, y, pass, frame.timeUs));
    if (refusal != tracking::StartRefusal::None) {
        tracker_.reset();
        lose();
        return refusal == tracking::StartRefusal::OutsideFrame
                   ? QString("The click is outside the video picture: click the boat's mark.")
                   : QString(
                         "There is nothing to track where you clicked: click the pylon, or "
                         "the mark on the boat's windshield.");
    }
    tracking_ = true;
    emit statusChanged("Tracking");
    const tracking::TrackResult first = tracker_->startPosition();
    history_.push_back({frame.timeUs, first});
    follow(first);
    return std::nullopt;
}

void AutoTrack::passStarted(const course::PassDescription& pass, qint64 startUs) {
    if (!tracking_ || history_.empty()) {
        return;
    }
    if (history_.size() == 1 && history_.back().timeUs == startUs) {
        return;  // picked on this very frame, so the tracker already runs from this start
    }
    const platform::VideoFrame& frame = platform_.video.frame();
    const tracking::TrackResult& last = history_.back().result;
    tracker_ = platform_.boatTracker();
    if (tracker_->start(view_of(frame), trackStart(last.x, last.y, pass, startUs)) !=
        tracking::StartRefusal::None) {
        lose();
    }
}

void AutoTrack::frameDecoded(const platform::VideoFrame& frame) {
    if (!tracking_ || !tracker_ || frame.image.isNull()) {
        return;
    }
    if (!history_.empty() && frame.timeUs <= history_.back().timeUs) {
        return;  // stepped back: the track goes on from the newest frame
    }
    const tracking::TrackResult result = tracker_->track(view_of(frame));
    history_.push_back({frame.timeUs, result});
    while (history_.front().timeUs < frame.timeUs - historyUs) {
        history_.pop_front();
    }
    if (!result.found) {
        lose();
    }
}

void AutoTrack::framePresented() {
    if (!tracking_ || history_.empty()) {
        return;
    }
    const qint64 shown = platform_.video.frame().timeUs;
    for (auto it = history_.rbegin(); it != history_.rend(); ++it) {
        if (it->timeUs <= shown) {
            follow(it->result);
            return;
        }
    }
}

void AutoTrack::dueAt(qint64 timeUs) {
    // Frames tracked before the track was lost still count for the ticks due before the loss.
    for (const Tracked& frame : history_) {
        if (frame.timeUs + platform::VideoTimePulseClock::toleranceUs >= timeUs) {
            if (frame.result.found) {
                follow(frame.result);
            } else {
                lineTracked_ = false;
            }
            return;
        }
    }
}

void AutoTrack::follow(const tracking::TrackResult& result) {
    if (!result.found) {
        return;
    }
    const tracking::FrameOnSurface at = placement();
    const double x = (at.left + result.x * at.scale) * twips;
    const double y = (at.top + result.y * at.scale) * twips;
    const double halfWidth = result.boxWidth * at.scale * twips / 2;
    const double halfHeight = result.boxHeight * at.scale * twips / 2;
    box_[0]->setCoordinates(x - halfWidth, y - halfHeight, x + halfWidth, y - halfHeight);
    box_[1]->setCoordinates(x - halfWidth, y + halfHeight, x + halfWidth, y + halfHeight);
    box_[2]->setCoordinates(x - halfWidth, y - halfHeight, x - halfWidth, y + halfHeight);
    box_[3]->setCoordinates(x + halfWidth, y - halfHeight, x + halfWidth, y + halfHeight);
    showBox(true);
    line_ = session::LinePosition{x, x - twips};
    lineTracked_ = true;
    emit lineMoved(*line_);
}

void AutoTrack::lose() {
    tracking_ = false;
    lineTracked_ = false;
    showBox(false);
    emit statusChanged("Tracking lost - the line is yours");
}

void AutoTrack::takeOver() {
    if (tracking_ || lineTracked_) {
        history_.clear();
        lose();
    }
}

void AutoTrack::showBox(bool visible) {
    for (LineShape* side : box_) {
        side->setVisible(visible);
    }
}

session::LineReport AutoTrack::read(const session::LinePoll&) {
    if (!lineTracked_ || !line_) {
        return {};
    }
    return {*line_, false};
}

}  // namespace quillon::screens
