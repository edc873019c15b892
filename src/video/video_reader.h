#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tracking/boat_tracker.h"

namespace quillon::video {

class PacketHistory;

// One decoded frame as the viewer should see it: upright (the stream's display matrix
// applied), with square pixels (its sample aspect ratio applied), in the screens' pixel
// layout (B, G, R, X), timed in microseconds from the video's first frame.
struct DecodedFrame {
    int width = 0;
    int height = 0;
    int strideBytes = 0;
    std::int64_t timeUs = 0;
    std::vector<std::uint8_t> pixels;

    tracking::FrameView view() const { return {width, height, strideBytes, pixels.data(), timeUs}; }
};

// Frames the decoder flagged as damaged, or that followed one before the next keyframe (a
// decoder hides an error in the frames predicted from it), between two good frames.
struct DamagedStretch {
    std::int64_t fromUs = 0;  // the first damaged frame's time
    std::int64_t toUs = 0;    // the last one's
    int frames = 0;
};

// A time in seconds with `decimals` places and a point, whatever the locale: "10.500".
std::string seconds_text(std::int64_t us, int decimals = 3);

// "damaged video between 10.500 s and 10.900 s"
std::string damage_text(const DamagedStretch& stretch);

// A time into a video as a player shows it, in microseconds: seconds ("2.1"), or minutes and
// seconds ("0:02.100", the form the report's pass clock line writes), or hours, minutes and
// seconds ("1:00:02.1"). Nothing for any other text or a negative time.
std::optional<std::int64_t> parse_video_time(std::string_view text);

// The one video reader, on FFmpeg's libraries: a file or a network stream, frame by frame in
// presentation order. Frames are decoded with FFmpeg's own threads and converted as the
// screens convert theirs (libswscale, nearest neighbour, BT.709 for HD and BT.601 otherwise
// unless the stream says which), so every consumer sees the same pixels.
class VideoReader {
  public:
    // Nothing, with `error` saying why, when the source cannot be opened or holds no video
    // stream that can be decoded. FFmpeg's own log stays silent: its errors come back here.
    // `source` is a file's path, a network address (rtsp://, udp://, tcp://, http://), a
    // camera as "v4l2:/dev/video0", or a filter graph as "lavfi:GRAPH" (a paced test source).
    static std::unique_ptr<VideoReader> open(const std::string& source, std::string& error);
    ~VideoReader();
    VideoReader(const VideoReader&) = delete;
    VideoReader& operator=(const VideoReader&) = delete;

    // The size of the frames given: upright and with square pixels.
    int width() const;
    int height() const;
    // The frames per second the stream declares (0 when it does not).
    double frameRate() const;
    // Degrees clockwise the stored pictures are turned to stand upright (0, 90, 180, 270).
    int rotation() const;
    // The length of a file, from its first frame; 0 for a live source or when unknown.
    std::int64_t durationUs() const;
    // A camera, a stream or a filter graph: frames come as they are made, and cannot be sought.
    bool live() const;
    // A still picture (BMP, PNG, JPEG...), which FFmpeg opens as a one-frame video.
    bool picture() const;
    // A live source that sends compressed video a recording can copy as it comes (an MJPEG
    // webcam, an H.264 camera or stream): its last seconds of packets. Null otherwise.
    std::shared_ptr<PacketHistory> packetHistory() const;
    // Goes back to the keyframe at or before `timeUs` (from the first frame): `next` goes on
    // from there. False for a live source, or when the file cannot be sought.
    bool seek(std::int64_t timeUs);
    // From any thread: makes a `next` that waits for a live source give up at once (false).
    void interrupt();
    // Lets `next` wait again.
    void resume();

    // The next good frame into `frame` (its buffer is reused); false at the end of the
    // stream, or on an error that ends it, which `error()` then names. Damaged frames on the
    // way are skipped, and each stretch of them is added to `damage()`.
    bool next(DecodedFrame& frame);
    const std::string& error() const { return error_; }
    const std::vector<DamagedStretch>& damage() const { return damage_; }
    // The damaged frames skipped before the frame `next` gave last, by their times.
    const std::vector<std::int64_t>& damagedBefore() const { return damagedBefore_; }

  private:
    struct Impl;
    explicit VideoReader(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
    std::string error_;
    std::vector<DamagedStretch> damage_;
    std::vector<std::int64_t> damagedBefore_;
};

}  // namespace quillon::video
