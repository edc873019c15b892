#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tracking/boat_tracker.h"

namespace quillon::tracking {

// One decoded frame in the screens' pixel layout (B, G, R, X), with its video time.
struct DecodedFrame {
    int width = 0;
    int height = 0;
    int strideBytes = 0;
    std::int64_t timeUs = 0;
    std::vector<std::uint8_t> pixels;

    FrameView view() const { return {width, height, strideBytes, pixels.data(), timeUs}; }
};

// Reads a video file's first video stream frame by frame with FFmpeg and converts each frame
// as the screens' frame converter does (libswscale, nearest-neighbour, BT.709 for HD and
// BT.601 otherwise, unless the file says which), so quillon-cli sees the pixels the Measure
// screen shows.
class VideoFile {
  public:
    // Nothing, with `error` saying why, when the file cannot be opened or holds no video
    // stream it can decode.
    static std::unique_ptr<VideoFile> open(const std::string& path, std::string& error);
    ~VideoFile();
    VideoFile(const VideoFile&) = delete;
    VideoFile& operator=(const VideoFile&) = delete;

    int width() const;
    int height() const;
    // The frames per second the stream declares (0 when it does not).
    double frameRate() const;

    // The next frame in presentation order into `frame` (its buffer is reused); false at the
    // end of the stream or on a decoding error, which `error()` then names.
    bool next(DecodedFrame& frame);
    const std::string& error() const { return error_; }

  private:
    struct Impl;
    explicit VideoFile(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
    std::string error_;
};

}  // namespace quillon::tracking
