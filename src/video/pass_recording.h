#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "tracking/boat_tracker.h"

namespace quillon::video {

class PacketHistory;

// A live pass written to a Matroska file as it is measured, so that it can be measured again
// and checked. A source that sends compressed video is copied packet for packet from the
// keyframe before the pass's first frame; raw frames are encoded losslessly (H.264 in RGB at
// quantiser 0, or FFV1 where that encoder is missing). Either way the file is timed in the
// milliseconds the live pass used, so a measurement of it sees the pixels the pass saw on the
// times it saw them. Writing happens on a thread of its own: adding never waits for the disk;
// when the queue is full (256 MB) what comes is dropped from the recording and counted.
class PassRecording {
  public:
    // A lossless recording of the frames added. Nothing, with `error` saying why, when the
    // file cannot be made.
    static std::unique_ptr<PassRecording> open(const std::string& path, int width, int height,
                                               std::string& error);
    // A copy of the source's packets from the keyframe at or before `fromUs`, the live time of
    // the pass's first frame; frames added are then ignored. Nothing, with `error` saying why,
    // when the file cannot be made or the history no longer reaches back to that frame.
    static std::unique_ptr<PassRecording> copy(const std::string& path,
                                               std::shared_ptr<PacketHistory> history,
                                               std::int64_t fromUs, std::string& error);
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
    // The live time of the recording's first frame: a live time less this is the time in the
    // recording, as a reader of the file counts it.
    std::int64_t originUs() const;
    // What the recording will take per second: the source's own rate for a copy; for raw
    // frames at `framesPerSecond`, about half their size, what lossless coding of a camera's
    // noisy picture keeps.
    double bytesPerSecond(double framesPerSecond) const;
    // Frames (or packets, for a copy) left out of the recording.
    int dropped() const;
    // A failure seen so far, while frames are still being added.
    std::optional<std::string> failure() const;

  private:
    struct Impl;
    explicit PassRecording(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

// Whole minutes of recording that `availableBytes` hold at `bytesPerSecond`.
std::int64_t recording_minutes(std::uintmax_t availableBytes, double bytesPerSecond);
// The free space of the folder, in bytes; nothing when it cannot be read.
std::optional<std::uintmax_t> free_bytes(const std::string& folder);

// "Pass_2026-12-06_14-05-09.mkv"
std::string recording_name(int year, int month, int day, int hour, int minute, int second);

}  // namespace quillon::video
