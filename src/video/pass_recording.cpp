#include "video/pass_recording.h"

#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <limits>
#include <mutex>
#include <thread>
#include <vector>

#include "video/packet_history.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/bsf.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

namespace quillon::video {

namespace {

// Frames waiting for the encoder, at most: a few seconds of HD, so that a slow moment of the
// disk or the machine loses nothing, and never more memory than this.
constexpr std::size_t queueBytes = std::size_t{256} << 20;

std::string av_message(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

std::string two(int value) {
    return std::string(1, static_cast<char>('0' + value / 10 % 10)) +
           static_cast<char>('0' + value % 10);
}

// A frame to encode, or a packet to copy.
struct Queued {
    std::vector<std::uint8_t> pixels;
    std::int64_t timeUs = 0;
    AVPacket* packet = nullptr;
};

// H.264 and HEVC streams carry their parameter sets in the stream; Matroska wants them in the
// header. They are taken from the first keyframe, as FFmpeg's extract_extradata filter finds
// them.
std::optional<std::string> take_parameter_sets(AVCodecParameters& parameters,
                                               const AVPacket& keyframe) {
    if (parameters.extradata_size > 0 ||
        (parameters.codec_id != AV_CODEC_ID_H264 && parameters.codec_id != AV_CODEC_ID_HEVC)) {
        return std::nullopt;
    }
    const AVBitStreamFilter* filter = av_bsf_get_by_name("extract_extradata");
    AVBSFContext* context = nullptr;
    if (filter == nullptr || av_bsf_alloc(filter, &context) < 0) {
        return "this FFmpeg has no extract_extradata filter";
    }
    avcodec_parameters_copy(context->par_in, &parameters);
    AVPacket* packet = av_packet_clone(&keyframe);
    std::optional<std::string> problem = "the stream's first keyframe holds no parameter sets";
    if (packet != nullptr && av_bsf_init(context) >= 0 &&
        av_bsf_send_packet(context, packet) >= 0 && av_bsf_receive_packet(context, packet) >= 0) {
        std::size_t size = 0;
        const std::uint8_t* sets =
            av_packet_get_side_data(packet, AV_PKT_DATA_NEW_EXTRADATA, &size);
        if (sets != nullptr && size > 0) {
            parameters.extradata =
                static_cast<std::uint8_t*>(av_mallocz(size + AV_INPUT_BUFFER_PADDING_SIZE));
            if (parameters.extradata != nullptr) {
                std::memcpy(parameters.extradata, sets, size);
                parameters.extradata_size = static_cast<int>(size);
                problem.reset();
            }
        }
    }
    av_packet_free(&packet);
    av_bsf_free(&context);
    return problem;
}

}  // namespace

std::int64_t recording_minutes(std::uintmax_t availableBytes, double bytesPerSecond) {
    if (bytesPerSecond <= 0) {
        return std::numeric_limits<std::int64_t>::max();
    }
    return static_cast<std::int64_t>(static_cast<double>(availableBytes) / bytesPerSecond / 60);
}

std::optional<std::uintmax_t> free_bytes(const std::string& folder) {
    std::error_code error;
    const auto space = std::filesystem::space(folder, error);
    if (error) {
        return std::nullopt;
    }
    return space.available;
}

std::string recording_name(int year, int month, int day, int hour, int minute, int second) {
    return "Pass_" + std::to_string(year) + "-" + two(month) + "-" + two(day) + "_" + two(hour) +
           "-" + two(minute) + "-" + two(second) + ".mkv";
}

struct PassRecording::Impl : PacketSink {
    std::string path;
    int width = 0;
    int height = 0;
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    std::int64_t firstUs = -1;
    std::int64_t lastPts = -1;
    // Copying: the source's packets, and the first one's time, which becomes the file's 0.
    std::shared_ptr<PacketHistory> history;
    std::int64_t originMs = -1;
    bool headerWritten = false;
    std::size_t queuedBytes = 0;

    std::thread thread;
    mutable std::mutex mutex;
    std::condition_variable wake;
    std::deque<Queued> queue;
    bool closing = false;
    int dropped = 0;
    std::optional<std::string> failure;
    bool finished = false;

    ~Impl() override {
        for (Queued& left : queue) {
            av_packet_free(&left.packet);
        }
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&codec);
        if (format != nullptr) {
            avio_closep(&format->pb);
            avformat_free_context(format);
        }
    }

    void fail(const std::string& what) {
        std::lock_guard lock(mutex);
        if (!failure) {
            failure = what;
        }
    }

    // Sends a frame (or, with null, the end) to the encoder and writes the packets out.
    bool encode(AVFrame* input) {
        int code = avcodec_send_frame(codec, input);
        if (code < 0) {
            fail(av_message(code));
            return false;
        }
        while ((code = avcodec_receive_packet(codec, packet)) == 0) {
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            code = av_interleaved_write_frame(format, packet);
            if (code < 0) {
                fail(av_message(code));
                return false;
            }
        }
        return code == AVERROR(EAGAIN) || code == AVERROR_EOF;
    }

    // On the reader's thread: queues the packet, timed from the first one copied.
    void copied(const AVPacket& source, std::int64_t ptsMs, std::int64_t dtsMs) override {
        std::unique_lock lock(mutex);
        const auto size = static_cast<std::size_t>(source.size);
        if (closing || failure || queuedBytes + size > queueBytes) {
            ++dropped;
            return;
        }
        if (originMs < 0) {
            originMs = ptsMs;
        }
        Queued copy;
        copy.packet = av_packet_clone(&source);
        if (copy.packet == nullptr) {
            ++dropped;
            return;
        }
        copy.packet->pts = ptsMs - originMs;
        copy.packet->dts = dtsMs - originMs;
        copy.packet->duration = 0;
        copy.packet->pos = -1;
        copy.packet->stream_index = 0;
        queuedBytes += size;
        queue.push_back(std::move(copy));
        lock.unlock();
        wake.notify_one();
    }

    void write(AVPacket* copy) {
        if (!headerWritten) {
            // The header waits for the first keyframe, which may hold the parameter sets.
            if (const auto problem = take_parameter_sets(*stream->codecpar, *copy)) {
                fail(*problem);
                return;
            }
            const int code = avformat_write_header(format, nullptr);
            if (code < 0) {
                fail(av_message(code));
                return;
            }
            headerWritten = true;
        }
        av_packet_rescale_ts(copy, AVRational{1, 1000}, stream->time_base);
        const int code = av_interleaved_write_frame(format, copy);
        if (code < 0) {
            fail(av_message(code));
        }
    }

    void run() {
        for (;;) {
            Queued next;
            {
                std::unique_lock lock(mutex);
                wake.wait(lock, [this] { return closing || !queue.empty(); });
                if (queue.empty()) {
                    return;
                }
                next = std::move(queue.front());
                queue.pop_front();
                if (next.packet != nullptr) {
                    queuedBytes -= static_cast<std::size_t>(next.packet->size);
                }
            }
            if (next.packet != nullptr) {
                if (!failure) {
                    write(next.packet);
                }
                av_packet_free(&next.packet);
                continue;
            }
            if (failure) {
                continue;
            }
            if (av_frame_make_writable(frame) < 0) {
                fail("no memory for a frame");
                continue;
            }
            for (int y = 0; y < height; ++y) {
                std::memcpy(frame->data[0] + static_cast<std::ptrdiff_t>(y) * frame->linesize[0],
                            next.pixels.data() + static_cast<std::size_t>(y) * width * 4,
                            static_cast<std::size_t>(width) * 4);
            }
            // Milliseconds from the first frame: the times the live pass itself used.
            std::int64_t pts = (next.timeUs - firstUs + 500) / 1000;
            if (pts <= lastPts) {
                pts = lastPts + 1;
            }
            lastPts = pts;
            frame->pts = pts;
            encode(frame);
        }
    }
};

PassRecording::PassRecording(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

PassRecording::~PassRecording() {
    finish();
}

std::unique_ptr<PassRecording> PassRecording::open(const std::string& path, int width, int height,
                                                   std::string& error) {
    auto impl = std::make_unique<Impl>();
    impl->path = path;
    impl->width = width;
    impl->height = height;
    int code = avformat_alloc_output_context2(&impl->format, nullptr, "matroska", path.c_str());
    if (code < 0 || impl->format == nullptr) {
        error = av_message(code);
        return nullptr;
    }
    const AVCodec* encoder = avcodec_find_encoder_by_name("libx264rgb");
    const bool x264 = encoder != nullptr;
    if (!x264) {
        encoder = avcodec_find_encoder(AV_CODEC_ID_FFV1);
    }
    if (encoder == nullptr) {
        error = "no lossless video encoder in this FFmpeg";
        return nullptr;
    }
    impl->stream = avformat_new_stream(impl->format, nullptr);
    impl->codec = avcodec_alloc_context3(encoder);
    impl->codec->width = width;
    impl->codec->height = height;
    impl->codec->pix_fmt = AV_PIX_FMT_BGR0;
    impl->codec->time_base = AVRational{1, 1000};
    impl->codec->thread_count = 0;
    if ((impl->format->oformat->flags & AVFMT_GLOBALHEADER) != 0) {
        impl->codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    if (x264) {
        av_opt_set(impl->codec->priv_data, "preset", "ultrafast", 0);
        av_opt_set(impl->codec->priv_data, "qp", "0", 0);
    }
    code = avcodec_open2(impl->codec, encoder, nullptr);
    if (code < 0) {
        error = av_message(code);
        return nullptr;
    }
    avcodec_parameters_from_context(impl->stream->codecpar, impl->codec);
    impl->stream->time_base = AVRational{1, 1000};
    code = avio_open(&impl->format->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (code < 0) {
        error = av_message(code);
        return nullptr;
    }
    code = avformat_write_header(impl->format, nullptr);
    if (code < 0) {
        error = av_message(code);
        return nullptr;
    }
    impl->frame = av_frame_alloc();
    impl->frame->format = AV_PIX_FMT_BGR0;
    impl->frame->width = width;
    impl->frame->height = height;
    if (av_frame_get_buffer(impl->frame, 0) < 0) {
        error = "no memory for a frame";
        return nullptr;
    }
    impl->packet = av_packet_alloc();
    Impl* running = impl.get();
    impl->thread = std::thread([running] { running->run(); });
    return std::unique_ptr<PassRecording>(new PassRecording(std::move(impl)));
}

std::unique_ptr<PassRecording> PassRecording::copy(const std::string& path,
                                                   std::shared_ptr<PacketHistory> history,
                                                   std::int64_t fromUs, std::string& error) {
    auto impl = std::make_unique<Impl>();
    impl->path = path;
    int code = avformat_alloc_output_context2(&impl->format, nullptr, "matroska", path.c_str());
    if (code < 0 || impl->format == nullptr) {
        error = av_message(code);
        return nullptr;
    }
    impl->stream = avformat_new_stream(impl->format, nullptr);
    if (impl->stream == nullptr ||
        avcodec_parameters_copy(impl->stream->codecpar, &history->parameters()) < 0) {
        error = "no memory for the recording";
        return nullptr;
    }
    impl->stream->codecpar->codec_tag = 0;
    impl->stream->time_base = AVRational{1, 1000};
    impl->width = impl->stream->codecpar->width;
    impl->height = impl->stream->codecpar->height;
    code = avio_open(&impl->format->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (code < 0) {
        error = av_message(code);
        return nullptr;
    }
    impl->packet = av_packet_alloc();
    impl->history = std::move(history);
    const std::int64_t fromMs = (fromUs + 500) / 1000;
    if (!impl->history->attach(*impl, fromMs)) {
        avio_closep(&impl->format->pb);
        std::remove(path.c_str());
        error = "the camera's video no longer reaches back to the pass's first frame";
        return nullptr;
    }
    Impl* running = impl.get();
    impl->thread = std::thread([running] { running->run(); });
    return std::unique_ptr<PassRecording>(new PassRecording(std::move(impl)));
}

bool PassRecording::add(const tracking::FrameView& view) {
    Impl& r = *impl_;
    if (r.history) {
        return true;  // the source's own packets are copied
    }
    if (view.width != r.width || view.height != r.height) {
        return false;
    }
    std::unique_lock lock(r.mutex);
    const std::size_t frameBytes = static_cast<std::size_t>(view.width) * view.height * 4;
    if (r.closing || r.failure || (r.queue.size() + 1) * frameBytes > queueBytes) {
        ++r.dropped;
        return false;
    }
    if (r.firstUs < 0) {
        r.firstUs = view.timeUs;
    }
    lock.unlock();
    Queued copy;
    copy.timeUs = view.timeUs;
    copy.pixels.resize(static_cast<std::size_t>(view.width) * view.height * 4);
    for (int y = 0; y < view.height; ++y) {
        std::memcpy(copy.pixels.data() + static_cast<std::size_t>(y) * view.width * 4,
                    view.pixels + static_cast<std::size_t>(y) * view.strideBytes,
                    static_cast<std::size_t>(view.width) * 4);
    }
    lock.lock();
    r.queue.push_back(std::move(copy));
    lock.unlock();
    r.wake.notify_one();
    return true;
}

std::optional<std::string> PassRecording::finish() {
    Impl& r = *impl_;
    if (r.finished) {
        return r.failure;
    }
    r.finished = true;
    if (r.history) {
        r.history->detach(r);
    }
    {
        std::lock_guard lock(r.mutex);
        r.closing = true;
    }
    r.wake.notify_all();
    if (r.thread.joinable()) {
        r.thread.join();
    }
    if (r.history) {
        if (!r.headerWritten) {
            r.fail("no picture reached the recording");
        }
    } else if (!r.failure) {
        r.encode(nullptr);
    }
    if (!r.history || r.headerWritten) {
        const int trailer = av_write_trailer(r.format);
        if (trailer < 0) {
            r.fail(av_message(trailer));
        }
    }
    if (avio_closep(&r.format->pb) < 0) {
        r.fail("the file could not be closed");
    }
    return r.failure;
}

const std::string& PassRecording::path() const {
    return impl_->path;
}

double PassRecording::bytesPerSecond(double framesPerSecond) const {
    if (impl_->history) {
        return impl_->history->bytesPerSecond();
    }
    return static_cast<double>(impl_->width) * impl_->height * 3 / 2 * framesPerSecond;
}

std::int64_t PassRecording::originUs() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->history ? impl_->originMs * 1000 : impl_->firstUs;
}

int PassRecording::dropped() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->dropped;
}

std::optional<std::string> PassRecording::failure() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->failure;
}

}  // namespace quillon::video
