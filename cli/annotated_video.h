#pragma once

#include <memory>
#include <string>

#include "tracking/boat_tracker.h"
#include "video/video_reader.h"

namespace quillon::cli {

// The video quillon-cli track writes for a reviewer: every frame with the measurement line
// where the samples take it, the marker row, the tracked box (yellow, red while the mark is
// lost) and the number of the last sample taken.
class AnnotatedVideo {
  public:
    static std::unique_ptr<AnnotatedVideo> open(const std::string& path, int width, int height,
                                                double framesPerSecond, std::string& error);
    ~AnnotatedVideo();
    AnnotatedVideo(const AnnotatedVideo&) = delete;
    AnnotatedVideo& operator=(const AnnotatedVideo&) = delete;

    // `line` is where the measurement line stands (the last tracked position), `rowSurfaceY`
    // the marker row in surface pixels.
    void write(const video::DecodedFrame& frame, const tracking::TrackResult& found,
               const tracking::TrackResult& line, double rowSurfaceY,
               const tracking::FrameOnSurface& placement, int sample);
    // Closes the file; false, with `error` saying why, when it could not be written whole.
    bool finish(std::string& error);

  private:
    struct Impl;
    explicit AnnotatedVideo(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace quillon::cli
