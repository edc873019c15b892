#include "tracking/template_tracker.h"

#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>

namespace quillon::tracking {

namespace {

// The boat frame: pixels per metre across the course.
constexpr double boatFramePpm = 40;
// The template: the mark with the windshield or deck around it, in metres.
constexpr double templateHalfWidthM = 0.55;
constexpr double templateHalfHeightM = 0.35;
// The part of the template whose mirror symmetry centres the track.
constexpr double symmetryHalfWidthM = 0.45;
constexpr double symmetryHalfHeightM = 0.3;
// How far the operator's click may miss the mark's axis, and how far a frame's match may be
// moved onto the axis.
constexpr double clickMissM = 0.12;
constexpr double axisPullM = 0.05;
// The search window around the prediction, and while the mark is lost.
constexpr double searchHalfWidthM = 0.3;
constexpr double searchHalfHeightM = 0.45;
constexpr double lostHalfWidthM = 0.8;
constexpr double lostHalfHeightM = 0.9;
// Below this correlation the mark is lost; above the second the template learns the frame.
constexpr double foundCorrelation = 0.55;
constexpr double learnCorrelation = 0.8;
constexpr double learnRate = 0.05;
// A boat does not move sideways this far from one frame to the next: a match that does is on
// something else (the skier, spray).
constexpr double lateralJumpM = 0.12;
// Nothing to follow: the window around the click is flat or has no mirror axis.
constexpr double minContrast = 10;
constexpr double minSymmetry = 0.5;
// A mark is a stripe or a post: narrower than this across, wider than a pixel's noise.
constexpr double markMinWidthM = 0.03;
constexpr double markMaxWidthM = 0.3;
// The boat's width: a mark is on the boat, so within this of the buoy lines.
constexpr double boatWidthM = 2.2;
// The buoy lines either side of the path centre: slalom 0 and 2.5, jump 0 and 4.
constexpr double slalomLaneHalfWidthM = 1.25;
constexpr double jumpLaneHalfWidthM = 2.0;

cv::Mat frame_mat(const FrameView& frame) {
    return cv::Mat(frame.height, frame.width, CV_8UC4, const_cast<std::uint8_t*>(frame.pixels),
                   static_cast<std::size_t>(frame.strideBytes));
}

// The frame around (x, y) resampled so that one metre spans boatFramePpm pixels: a patch of
// (2 halfW + 1) x (2 halfH + 1) boat-frame pixels whose centre pixel is exactly (x, y).
// Empty when the region is not on the frame at all.
cv::Mat boat_frame_patch(const cv::Mat& frame, double x, double y, double pixelsPerMetre, int halfW,
                         int halfH) {
    const double f = boatFramePpm / pixelsPerMetre;
    const int marginX = static_cast<int>(std::ceil((halfW + 2) / f)) + 1;
    const int marginY = static_cast<int>(std::ceil((halfH + 2) / f)) + 1;
    const cv::Rect wanted(static_cast<int>(std::floor(x)) - marginX,
                          static_cast<int>(std::floor(y)) - marginY, 2 * marginX + 1,
                          2 * marginY + 1);
    const cv::Rect roi = wanted & cv::Rect(0, 0, frame.cols, frame.rows);
    if (roi.width < 2 || roi.height < 2) {
        return {};
    }
    cv::Mat bgr;
    cv::cvtColor(frame(roi), bgr, cv::COLOR_BGRA2BGR);
    cv::Mat scaled;
    cv::resize(bgr, scaled, cv::Size(), f, f, f < 1 ? cv::INTER_AREA : cv::INTER_LINEAR);
    cv::Mat floating;
    scaled.convertTo(floating, CV_32FC3);
    const cv::Point2f centre(static_cast<float>((x - roi.x + 0.5) * f - 0.5),
                             static_cast<float>((y - roi.y + 0.5) * f - 0.5));
    cv::Mat patch;
    cv::getRectSubPix(floating, cv::Size(2 * halfW + 1, 2 * halfH + 1), centre, patch);
    return patch;
}

int pixels_of(double metres) {
    return static_cast<int>(std::lround(metres * boatFramePpm));
}

// The column (boat-frame pixels, within `reach` of `column`) about which the rows of `patch`
// around `row` are most nearly mirror images, and how symmetric they are there (1 perfect, 0
// no better than a flat patch).
struct Axis {
    double column = 0;
    double symmetry = 0;
};

Axis mirror_axis(const cv::Mat& patch, double column, int row, double reach) {
    const int halfW = pixels_of(symmetryHalfWidthM);
    const int halfH = std::min(pixels_of(symmetryHalfHeightM), std::min(row, patch.rows - 1 - row));
    const int steps = static_cast<int>(std::ceil(reach * 4));
    auto sample = [&](int r, double c, int ch) {
        const double clamped = std::clamp(c, 0.0, patch.cols - 1.001);
        const int c0 = static_cast<int>(clamped);
        const double t = clamped - c0;
        const auto* line = patch.ptr<cv::Vec3f>(r);
        return line[c0][ch] * (1 - t) + line[std::min(c0 + 1, patch.cols - 1)][ch] * t;
    };
    std::vector<double> costs;
    for (int s = -steps; s <= steps; ++s) {
        const double c = column + s * 0.25;
        double cost = 0;
        for (int r = row - halfH; r <= row + halfH; ++r) {
            for (int u = 1; u <= halfW; ++u) {
                for (int ch = 0; ch < 3; ++ch) {
                    const double d = sample(r, c + u, ch) - sample(r, c - u, ch);
                    cost += d * d;
                }
            }
        }
        costs.push_back(cost);
    }
    const auto best = std::min_element(costs.begin(), costs.end()) - costs.begin();
    double offset = static_cast<double>(best);
    if (best > 0 && best + 1 < static_cast<long>(costs.size())) {
        const double a = costs[best - 1], b = costs[best], c = costs[best + 1];
        const double curvature = a - 2 * b + c;
        if (curvature > 0) {
            offset += 0.5 * (a - c) / curvature;
        }
    }
    // A flat patch's mirror cost: twice the variance of every pixel compared.
    double energy = 0;
    const cv::Rect area(static_cast<int>(std::lround(column)) - halfW, row - halfH, 2 * halfW + 1,
                        2 * halfH + 1);
    const cv::Mat region = patch(area & cv::Rect(0, 0, patch.cols, patch.rows));
    cv::Scalar mean, deviation;
    cv::meanStdDev(region, mean, deviation);
    for (int ch = 0; ch < 3; ++ch) {
        energy += 2 * deviation[ch] * deviation[ch];
    }
    energy *= static_cast<double>(halfW) * (2 * halfH + 1);
    const double least = costs[static_cast<std::size_t>(best)];
    return {column + (offset - steps) * 0.25, energy > 0 ? 1 - least / energy : 0};
}

// The width in metres of the stripe standing on the axis at `column` of a boat-frame patch:
// the columns either side of the axis whose mean differs from the flanks by at least half the
// difference at the axis. A mark (a post, a painted stripe) is a few centimetres; a cabin
// top, a hull or a skier is wider; 0 when the axis does not stand out from its flanks.
double stripe_width(const cv::Mat& patch, double column, int row) {
    const int halfH = std::min(pixels_of(symmetryHalfHeightM), std::min(row, patch.rows - 1 - row));
    cv::Mat grey;
    cv::cvtColor(patch.rowRange(row - halfH, row + halfH + 1), grey, cv::COLOR_BGR2GRAY);
    cv::Mat profile;
    cv::reduce(grey, profile, 0, cv::REDUCE_AVG, CV_64F);
    const int centre = std::clamp(static_cast<int>(std::lround(column)), 0, profile.cols - 1);
    auto at = [&](int c) { return profile.at<double>(0, std::clamp(c, 0, profile.cols - 1)); };
    std::vector<double> flanks;
    for (int u = pixels_of(markMaxWidthM / 2 + 0.05); u <= pixels_of(symmetryHalfWidthM); ++u) {
        flanks.push_back(at(centre - u));
        flanks.push_back(at(centre + u));
    }
    std::nth_element(flanks.begin(), flanks.begin() + flanks.size() / 2, flanks.end());
    const double flank = flanks[flanks.size() / 2];
    const double contrast = at(centre) - flank;
    if (std::abs(contrast) < minContrast) {
        return 0;
    }
    auto inside = [&](int c) { return (at(c) - flank) / contrast >= 0.5; };
    int left = centre, right = centre;
    while (left > 0 && inside(left - 1)) {
        --left;
    }
    while (right + 1 < profile.cols && inside(right + 1)) {
        ++right;
    }
    return (right - left + 1) / boatFramePpm;
}

// Sub-pixel peak of a correlation map by a parabola through the peak and its neighbours.
double parabola_peak(double a, double b, double c) {
    const double curvature = a - 2 * b + c;
    return curvature < 0 ? 0.5 * (a - c) / curvature : 0;
}

}  // namespace

TrackResult TemplateTracker::result(double x, double y, double confidence,
                                    double pixelsPerMetre) const {
    TrackResult r;
    r.found = true;
    r.x = x;
    r.y = y;
    r.confidence = confidence;
    r.boxWidth = 2 * templateHalfWidthM * pixelsPerMetre;
    r.boxHeight = 2 * templateHalfHeightM * pixelsPerMetre;
    return r;
}

StartRefusal TemplateTracker::start(const FrameView& frame, const TrackStart& start) {
    if (start.markX < 0 || start.markY < 0 || start.markX >= frame.width ||
        start.markY >= frame.height) {
        return StartRefusal::OutsideFrame;
    }
    geometry_ = PassGeometry(start.model, start.placement, start.pass, start.passStartUs);
    const ExpectedBoat boat = geometry_.expected(frame.timeUs);
    if (!(boat.pixelsPerMetre > 0) || !std::isfinite(boat.pixelsPerMetre)) {
        return StartRefusal::NothingToTrack;
    }
    const cv::Mat image = frame_mat(frame);
    const int halfW = pixels_of(templateHalfWidthM + clickMissM);
    const int halfH = pixels_of(templateHalfHeightM);
    const cv::Mat around =
        boat_frame_patch(image, start.markX, start.markY, boat.pixelsPerMetre, halfW, halfH);
    if (around.empty()) {
        return StartRefusal::NothingToTrack;
    }
    cv::Scalar mean, deviation;
    cv::meanStdDev(around, mean, deviation);
    const Axis axis = mirror_axis(around, halfW, halfH, clickMissM * boatFramePpm);
    if (std::max({deviation[0], deviation[1], deviation[2]}) < minContrast ||
        axis.symmetry < minSymmetry) {
        return StartRefusal::NothingToTrack;
    }
    const double f = boatFramePpm / boat.pixelsPerMetre;
    const double x = start.markX + (axis.column - halfW) / f;
    const double y = start.markY;
    laneHalfWidthM_ = start.pass.discipline == course::Discipline::Slalom ? slalomLaneHalfWidthM
                                                                          : jumpLaneHalfWidthM;
    if (std::abs(x - boat.centre.x) / boat.pixelsPerMetre > laneHalfWidthM_ + boatWidthM) {
        return StartRefusal::OutsideLane;
    }
    const double width = stripe_width(around, axis.column, halfH);
    if (width < markMinWidthM || width > markMaxWidthM) {
        return StartRefusal::NothingToTrack;
    }
    template_ =
        boat_frame_patch(image, x, y, boat.pixelsPerMetre, pixels_of(templateHalfWidthM), halfH);
    lateralM_ = (x - boat.centre.x) / boat.pixelsPerMetre;
    riseM_ = (y - boat.centre.y) / boat.pixelsPerMetre;
    lostFrames_ = 0;
    lastFoundUs_ = frame.timeUs;
    startResult_ = result(x, y, axis.symmetry, boat.pixelsPerMetre);
    return StartRefusal::None;
}

TemplateTracker::Found TemplateTracker::search(const cv::Mat& frame, const ExpectedBoat& boat,
                                               double predictedX, double predictedY,
                                               double halfWidthM, double halfHeightM) {
    const int reachX = pixels_of(halfWidthM);
    const int reachY = pixels_of(halfHeightM);
    const int halfW = template_.cols / 2;
    const int halfH = template_.rows / 2;
    const cv::Mat window = boat_frame_patch(frame, predictedX, predictedY, boat.pixelsPerMetre,
                                            halfW + reachX, halfH + reachY);
    if (window.empty()) {
        return {};
    }
    cv::Mat scores;
    cv::matchTemplate(window, template_, scores, cv::TM_CCOEFF_NORMED);
    double best = 0;
    cv::Point at;
    cv::minMaxLoc(scores, nullptr, &best, nullptr, &at);
    double dx = 0, dy = 0;
    if (at.x > 0 && at.x + 1 < scores.cols) {
        dx = parabola_peak(scores.at<float>(at.y, at.x - 1), scores.at<float>(at.y, at.x),
                           scores.at<float>(at.y, at.x + 1));
    }
    if (at.y > 0 && at.y + 1 < scores.rows) {
        dy = parabola_peak(scores.at<float>(at.y - 1, at.x), scores.at<float>(at.y, at.x),
                           scores.at<float>(at.y + 1, at.x));
    }
    // Boat-frame position of the match's centre in the window, then onto the mirror axis.
    double column = at.x + dx + halfW;
    const double row = at.y + dy + halfH;
    const Axis axis =
        mirror_axis(window, column, static_cast<int>(std::lround(row)), axisPullM * boatFramePpm);
    if (axis.symmetry >= minSymmetry) {
        column = axis.column;
    }
    const double f = boatFramePpm / boat.pixelsPerMetre;
    return {predictedX + (column - (halfW + reachX)) / f, predictedY + (row - (halfH + reachY)) / f,
            best};
}

TrackResult TemplateTracker::track(const FrameView& frame) {
    if (template_.empty()) {
        return {};
    }
    const ExpectedBoat boat = geometry_.expected(frame.timeUs);
    const double predictedX = boat.centre.x + lateralM_ * boat.pixelsPerMetre;
    const double predictedY = boat.centre.y + riseM_ * boat.pixelsPerMetre;
    const bool lost = lostFrames_ > 0;
    const cv::Mat image = frame_mat(frame);
    const Found found =
        search(image, boat, predictedX, predictedY, lost ? lostHalfWidthM : searchHalfWidthM,
               lost ? lostHalfHeightM : searchHalfHeightM);
    const double lateral = (found.x - boat.centre.x) / boat.pixelsPerMetre;
    if (found.confidence < foundCorrelation ||
        std::abs(lateral - lateralM_) > lateralReach(frame.timeUs)) {
        ++lostFrames_;
        TrackResult r;
        r.confidence = std::max(0.0, found.confidence);
        return r;
    }
    lostFrames_ = 0;
    lastFoundUs_ = frame.timeUs;
    lateralM_ = lateral;
    riseM_ = (found.y - boat.centre.y) / boat.pixelsPerMetre;
    if (found.confidence >= learnCorrelation) {
        const cv::Mat seen = boat_frame_patch(image, found.x, found.y, boat.pixelsPerMetre,
                                              template_.cols / 2, template_.rows / 2);
        if (seen.size() == template_.size()) {
            cv::addWeighted(template_, 1 - learnRate, seen, learnRate, 0, template_);
        }
    }
    return result(found.x, found.y, found.confidence, boat.pixelsPerMetre);
}

double TemplateTracker::lateralReach(std::int64_t timeUs) const {
    // From frame to frame the match may wander by a few centimetres of noise; after a gap the
    // boat may have moved as far as it can at its fastest across the course.
    const double seconds = static_cast<double>(timeUs - lastFoundUs_) / 1e6;
    return std::max(lateralJumpM, maxLateralSpeedMs * seconds);
}

StartRefusal TemplateTracker::resume(const FrameView& frame, double markX, double markY) {
    if (markX < 0 || markY < 0 || markX >= frame.width || markY >= frame.height) {
        return StartRefusal::OutsideFrame;
    }
    if (template_.empty()) {
        return StartRefusal::NotTheMark;
    }
    const ExpectedBoat boat = geometry_.expected(frame.timeUs);
    const cv::Mat image = frame_mat(frame);
    // Only around the click: the template must match there, not somewhere near it.
    const Found found = search(image, boat, markX, markY, clickMissM, clickMissM);
    const double lateral = (found.x - boat.centre.x) / boat.pixelsPerMetre;
    if (found.confidence < foundCorrelation ||
        std::abs(lateral - lateralM_) > lateralReach(frame.timeUs)) {
        return StartRefusal::NotTheMark;
    }
    lostFrames_ = 0;
    lastFoundUs_ = frame.timeUs;
    lateralM_ = lateral;
    riseM_ = (found.y - boat.centre.y) / boat.pixelsPerMetre;
    startResult_ = result(found.x, found.y, found.confidence, boat.pixelsPerMetre);
    return StartRefusal::None;
}

std::unique_ptr<BoatTracker> make_boat_tracker() {
    return std::make_unique<TemplateTracker>();
}

}  // namespace quillon::tracking
