#include "tracking/opencv_tracker.h"

#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>
#include <opencv2/tracking.hpp>

namespace quillon::tracking {

namespace {

// The box: the mark with the windshield or deck around it, in metres (as the template tracker's
// template).
constexpr double boxHalfWidthM = 0.55;
constexpr double boxHalfHeightM = 0.35;
// The smallest box either tracker can learn from, in frame pixels.
constexpr int minBoxPixels = 8;
// Nothing to follow: the box around the click is flat.
constexpr double minContrast = 10;

cv::Mat frame_mat(const FrameView& frame) {
    return cv::Mat(frame.height, frame.width, CV_8UC4, const_cast<std::uint8_t*>(frame.pixels),
                   static_cast<std::size_t>(frame.strideBytes));
}

}  // namespace

TrackResult OpenCvTracker::result(const cv::Rect& box) const {
    TrackResult r;
    r.found = true;
    // The box covers the pixels box.x to box.x + width - 1.
    r.x = box.x + 0.5 * (box.width - 1);
    r.y = box.y + 0.5 * (box.height - 1);
    r.confidence = 1;
    r.boxWidth = box.width;
    r.boxHeight = box.height;
    return r;
}

StartRefusal OpenCvTracker::start(const FrameView& frame, const TrackStart& start) {
    tracker_.reset();
    if (start.markX < 0 || start.markY < 0 || start.markX >= frame.width ||
        start.markY >= frame.height) {
        return StartRefusal::OutsideFrame;
    }
    const PassGeometry geometry(start.model, start.placement, start.pass, start.passStartUs);
    const ExpectedBoat boat = geometry.expected(frame.timeUs);
    if (!(boat.pixelsPerMetre > 0) || !std::isfinite(boat.pixelsPerMetre)) {
        return StartRefusal::NothingToTrack;
    }
    const double width = std::min(2 * boxHalfWidthM * boat.pixelsPerMetre, 4.0 * frame.width);
    const double height = std::min(2 * boxHalfHeightM * boat.pixelsPerMetre, 4.0 * frame.height);
    const int w = std::max(minBoxPixels, static_cast<int>(std::lround(width)));
    const int h = std::max(minBoxPixels, static_cast<int>(std::lround(height)));
    const cv::Rect box(static_cast<int>(std::lround(start.markX - 0.5 * (w - 1))),
                       static_cast<int>(std::lround(start.markY - 0.5 * (h - 1))), w, h);
    if ((box & cv::Rect(0, 0, frame.width, frame.height)) != box) {
        return StartRefusal::NothingToTrack;
    }
    cv::cvtColor(frame_mat(frame), bgr_, cv::COLOR_BGRA2BGR);
    cv::Scalar mean, deviation;
    cv::meanStdDev(bgr_(box), mean, deviation);
    if (std::max({deviation[0], deviation[1], deviation[2]}) < minContrast) {
        return StartRefusal::NothingToTrack;
    }
    if (kind_ == Kind::Csrt) {
        tracker_ = cv::TrackerCSRT::create();
    } else {
        tracker_ = cv::TrackerKCF::create();
    }
    tracker_->init(bgr_, box);
    startResult_ = result(box);
    return StartRefusal::None;
}

TrackResult OpenCvTracker::track(const FrameView& frame) {
    if (!tracker_) {
        return {};
    }
    cv::cvtColor(frame_mat(frame), bgr_, cv::COLOR_BGRA2BGR);
    cv::Rect box;
    if (!tracker_->update(bgr_, box) || box.width <= 0 || box.height <= 0) {
        return {};
    }
    return result(box);
}

}  // namespace quillon::tracking
