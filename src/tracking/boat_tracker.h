#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "calibration/camera_model.h"
#include "course/pass_description.h"

namespace quillon::tracking {

// One decoded video frame as the screens and quillon-cli see it: 32-bit pixels in memory order
// B, G, R, X (QImage::Format_RGB32 and AV_PIX_FMT_RGB32 on little-endian machines), rows
// `strideBytes` apart. The tracker never keeps the pointer past the call.
struct FrameView {
    int width = 0;
    int height = 0;
    int strideBytes = 0;
    const std::uint8_t* pixels = nullptr;
    std::int64_t timeUs = 0;
};

// Where the video frame lies on the drawing surface the calibration was marked on: frame pixel
// (x, y) is surface pixel (left + x * scale, top + y * scale), and a surface pixel is 15 twips.
// The default is a frame shown unscaled from the surface's top-left corner.
struct FrameOnSurface {
    double left = 0;
    double top = 0;
    double scale = 1;
};

// Where the screens put a w x h video on a W x H drawing surface: scaled with its aspect kept
// and centred, in whole pixels (as QSize::scaled with Qt::KeepAspectRatio does). A frame
// pixel's centre lands on the surface at left + (x + 0.5) scale - 0.5.
inline FrameOnSurface fit_frame(long surfaceW, long surfaceH, long w, long h) {
    long fittedW = surfaceH * w / h;
    long fittedH = surfaceH;
    if (fittedW > surfaceW) {
        fittedW = surfaceW;
        fittedH = surfaceW * h / w;
    }
    const double scale = static_cast<double>(fittedW) / static_cast<double>(w);
    const double shift = 0.5 * scale - 0.5;
    return {static_cast<double>((surfaceW - fittedW) / 2) + shift,
            static_cast<double>((surfaceH - fittedH) / 2) + shift, scale};
}

// What the tracker is told when it starts.
struct TrackStart {
    // The operator's click on the mark, in frame pixels (whole pixels, may miss the centre).
    double markX = 0;
    double markY = 0;
    // The calibration and the pass: where the boat is expected on every frame and how large.
    calibration::CameraModel model;
    FrameOnSurface placement;
    course::PassDescription pass;
    // The video time of the frame the pass started on (Start Pass), microseconds.
    std::int64_t passStartUs = 0;
};

// The mark found on one frame.
struct TrackResult {
    bool found = false;
    // Sub-pixel position of the mark's centre in frame pixels; meaningful when found.
    double x = 0;
    double y = 0;
    // 0 to 1: how sure the tracker is; below its own threshold it reports not found.
    double confidence = 0;
    // The box drawn around the mark, in frame pixels.
    double boxWidth = 0;
    double boxHeight = 0;
};

// Why a start or a resume was refused.
enum class StartRefusal {
    None,
    // No mark there: flat water, or nothing with a mark's size and mirror axis.
    NothingToTrack,
    OutsideFrame,
    // Outside the course lane the boat can be in.
    OutsideLane,
    // Something, but not the mark being tracked, or not where the boat can be by now.
    NotTheMark,
};

// Follows the boat's mark (the pylon when the boat goes away, a windshield mark or the hatch
// when it comes toward the camera) from frame to frame, using the camera model and the speed
// to predict the row where the boat should be and how large it appears.
class BoatTracker {
  public:
    virtual ~BoatTracker() = default;
    // Starts on `frame` at the operator's click; centres the track on the mark itself.
    virtual StartRefusal start(const FrameView& frame, const TrackStart& start) = 0;
    // Every decoded frame after the first, in order.
    virtual TrackResult track(const FrameView& frame) = 0;
    // The position the track started from (the mark's own centre, not the click).
    virtual TrackResult startPosition() const = 0;
    // The operator's click to take the same mark again after a loss or a take-over: accepted
    // only where the frame shows the mark being tracked, at the size the model expects and
    // where the boat can have got to since it was last seen. On success the next track()
    // goes on from there and startPosition() is the mark found.
    virtual StartRefusal resume(const FrameView&, double /*markX*/, double /*markY*/) {
        return StartRefusal::NotTheMark;
    }
};

// The fastest a towboat moves across the course, metres per second: a mark found farther
// across since it was last seen is something else.
inline constexpr double maxLateralSpeedMs = 3.0;

// The tracker Quillon uses.
std::unique_ptr<BoatTracker> make_boat_tracker();

}  // namespace quillon::tracking
