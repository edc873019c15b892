#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

extern "C" {
#include <libavcodec/packet.h>
#include <libavutil/avutil.h>
}

struct AVCodecParameters;

namespace quillon::video {

// A live source's time of a timestamp, in whole milliseconds from the source's first frame:
// the time base of its recording, so that the live pass and its recording use the same times.
std::int64_t live_millis(std::int64_t pts, std::int64_t originPts, AVRational timeBase);

// Takes the compressed packets a recording copies, as the reader reads them.
class PacketSink {
  public:
    virtual ~PacketSink() = default;
    // On the reader's thread (or the attaching one, for the packets held back); times in
    // milliseconds from the source's first frame.
    virtual void copied(const AVPacket& packet, std::int64_t ptsMs, std::int64_t dtsMs) = 0;
};

// The last seconds of a compressed live source's packets, from a keyframe on, so that a
// recording started on any frame shown lately can begin at the keyframe it is predicted from;
// and, once a recording is attached, every packet read after them.
class PacketHistory {
  public:
    PacketHistory(const AVCodecParameters& parameters, AVRational timeBase);
    ~PacketHistory();
    PacketHistory(const PacketHistory&) = delete;
    PacketHistory& operator=(const PacketHistory&) = delete;

    // The stream's first frame: times count from it.
    void setOrigin(std::int64_t pts);
    // A packet as read from the source.
    void add(const AVPacket& packet);
    // Gives `sink` the held packets from the last keyframe at or before `fromMs`, then every
    // packet added until it is detached. The keyframe's time; nothing (and no packet given)
    // when no keyframe that early is held.
    std::optional<std::int64_t> attach(PacketSink& sink, std::int64_t fromMs);
    void detach(const PacketSink& sink);

    const AVCodecParameters& parameters() const { return *parameters_; }
    // What the source sends, by the packets held (or the rate the stream states); 0 unknown.
    double bytesPerSecond();

  private:
    std::int64_t millisOf(const AVPacket& packet) const;
    void forget();

    AVCodecParameters* parameters_ = nullptr;
    AVRational timeBase_;
    std::mutex mutex_;
    std::deque<AVPacket*> packets_;
    std::size_t bytes_ = 0;
    std::int64_t originPts_ = AV_NOPTS_VALUE;
    PacketSink* sink_ = nullptr;
};

}  // namespace quillon::video
