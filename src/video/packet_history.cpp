#include "video/packet_history.h"

extern "C" {
#include <libavcodec/codec_par.h>
#include <libavutil/mathematics.h>
}

namespace quillon::video {

namespace {

// Held back: at least this much before the newest packet, so that the frame on the screen,
// which the decoder and the frames queued for the screen put behind the packets read, is in
// it; and never more memory than the cap.
constexpr std::int64_t keptMs = 5000;
constexpr std::size_t keptBytes = std::size_t{64} << 20;

std::int64_t when(const AVPacket& packet) {
    return packet.pts != AV_NOPTS_VALUE ? packet.pts : packet.dts;
}

bool keyframe(const AVPacket* packet) {
    return (packet->flags & AV_PKT_FLAG_KEY) != 0;
}

}  // namespace

std::int64_t live_millis(std::int64_t pts, std::int64_t originPts, AVRational timeBase) {
    return av_rescale_q_rnd(pts - originPts, timeBase, AVRational{1, 1000},
                            static_cast<AVRounding>(AV_ROUND_NEAR_INF));
}

PacketHistory::PacketHistory(const AVCodecParameters& parameters, AVRational timeBase)
    : parameters_(avcodec_parameters_alloc()), timeBase_(timeBase) {
    avcodec_parameters_copy(parameters_, &parameters);
}

PacketHistory::~PacketHistory() {
    for (AVPacket* packet : packets_) {
        av_packet_free(&packet);
    }
    avcodec_parameters_free(&parameters_);
}

void PacketHistory::setOrigin(std::int64_t pts) {
    std::lock_guard lock(mutex_);
    originPts_ = pts;
}

std::int64_t PacketHistory::millisOf(const AVPacket& packet) const {
    return live_millis(when(packet), originPts_, timeBase_);
}

void PacketHistory::add(const AVPacket& packet) {
    if (when(packet) == AV_NOPTS_VALUE) {
        return;  // a packet that cannot be placed in time cannot be copied either
    }
    std::lock_guard lock(mutex_);
    if (sink_ != nullptr && originPts_ != AV_NOPTS_VALUE) {
        const std::int64_t dts = packet.dts != AV_NOPTS_VALUE ? packet.dts : when(packet);
        sink_->copied(packet, millisOf(packet), live_millis(dts, originPts_, timeBase_));
    }
    // Nothing before the first keyframe can be decoded, so nothing of it is kept.
    if (packets_.empty() && (packet.flags & AV_PKT_FLAG_KEY) == 0) {
        return;
    }
    AVPacket* kept = av_packet_clone(&packet);
    if (kept == nullptr) {
        return;
    }
    packets_.push_back(kept);
    bytes_ += static_cast<std::size_t>(kept->size);
    forget();
}

// Drops the oldest group of pictures while the next keyframe is old enough to start from, or
// while the history is over its memory.
void PacketHistory::forget() {
    const std::int64_t newest = when(*packets_.back());
    const std::int64_t keptTicks = av_rescale_q(keptMs, AVRational{1, 1000}, timeBase_);
    for (;;) {
        std::size_t next = 1;
        while (next < packets_.size() && !keyframe(packets_[next])) {
            ++next;
        }
        if (next >= packets_.size() ||
            (when(*packets_[next]) > newest - keptTicks && bytes_ <= keptBytes)) {
            return;
        }
        for (std::size_t i = 0; i < next; ++i) {
            bytes_ -= static_cast<std::size_t>(packets_.front()->size);
            av_packet_free(&packets_.front());
            packets_.pop_front();
        }
    }
}

std::optional<std::int64_t> PacketHistory::attach(PacketSink& sink, std::int64_t fromMs) {
    std::lock_guard lock(mutex_);
    if (originPts_ == AV_NOPTS_VALUE) {
        return std::nullopt;
    }
    std::optional<std::size_t> start;
    for (std::size_t i = 0; i < packets_.size(); ++i) {
        if (keyframe(packets_[i]) && millisOf(*packets_[i]) <= fromMs) {
            start = i;
        }
    }
    if (!start) {
        return std::nullopt;
    }
    for (std::size_t i = *start; i < packets_.size(); ++i) {
        const AVPacket& packet = *packets_[i];
        const std::int64_t dts = packet.dts != AV_NOPTS_VALUE ? packet.dts : when(packet);
        sink.copied(packet, millisOf(packet), live_millis(dts, originPts_, timeBase_));
    }
    sink_ = &sink;
    return millisOf(*packets_[*start]);
}

double PacketHistory::bytesPerSecond() {
    std::lock_guard lock(mutex_);
    if (packets_.size() > 1) {
        const double seconds =
            static_cast<double>(when(*packets_.back()) - when(*packets_.front())) *
            av_q2d(timeBase_);
        if (seconds > 0.5) {
            return static_cast<double>(bytes_) / seconds;
        }
    }
    return static_cast<double>(parameters_->bit_rate) / 8;
}

void PacketHistory::detach(const PacketSink& sink) {
    std::lock_guard lock(mutex_);
    if (sink_ == &sink) {
        sink_ = nullptr;
    }
}

}  // namespace quillon::video
