#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "tracking/boat_tracker.h"

namespace quillon::video {

// A live pass written to a Matroska file as it is measured, so that it can be measured again
// and checked: every frame the pass saw, losslessly (H.264 in RGB at quantiser 0, or FFV1
// where that encoder is missing), timed in milliseconds from the first frame, which is the
// recording's time base. Frames are encoded on a thread of their own: adding one never waits
// for the disk; when the queue is full (256 MB) the frame is dropped from the recording and
// counted.
class PassRecording {
  public:
    // Nothing, with `error` saying why, when the file cannot be made.
    static std::unique_ptr<PassRecording> open(const std::string& path, int width, int height,
                                               std::string& error);
    ~PassRecording();
    PassRecording(const PassRecording&) = delete;
    PassRecording& operator=(const PassRecording&) = delete;

    // Queues a copy of the frame (B, G, R, X pixels) at `timeUs`; false when it was dropped
    // (the queue full, or the recording failed).
    bool add(const tracking::FrameView& frame);
    // Writes what is queued and closes the file. The failure, if the file could not be
    // written whole; the frames written so far stay in it.
    std::optional<std::string> finish();

    const std::string& path() const;
    int dropped() const;
    // A failure seen so far, while frames are still being added.
    std::optional<std::string> failure() const;

  private:
    struct Impl;
    explicit PassRecording(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

// "Pass_2026-12-06_14-05-09.mkv"
std::string recording_name(int year, int month, int day, int hour, int minute, int second);

}  // namespace quillon::video
