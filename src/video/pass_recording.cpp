#include "video/pass_recording.h"

#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
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

struct Queued {
    std::vector<std::uint8_t> pixels;
    std::int64_t timeUs = 0;
};

}  // namespace

std::string recording_name(int year, int month, int day, int hour, int minute, int second) {
    return "Pass_" + std::to_string(year) + "-" + two(month) + "-" + two(day) + "_" + two(hour) +
           "-" + two(minute) + "-" + two(second) + ".mkv";
}

struct PassRecording::Impl {
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

    std::thread thread;
    mutable std::mutex mutex;
    std::condition_variable wake;
    std::deque<Queued> queue;
    bool closing = false;
    int dropped = 0;
    std::optional<std::string> failure;
    bool finished = false;

    ~Impl() {
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

bool PassRecording::add(const tracking::FrameView& view) {
    Impl& r = *impl_;
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
    {
        std::lock_guard lock(r.mutex);
        r.closing = true;
    }
    r.wake.notify_all();
    if (r.thread.joinable()) {
        r.thread.join();
    }
    if (!r.failure) {
        r.encode(nullptr);
    }
    const int trailer = av_write_trailer(r.format);
    if (trailer < 0) {
        r.fail(av_message(trailer));
    }
    if (avio_closep(&r.format->pb) < 0) {
        r.fail("the file could not be closed");
    }
    return r.failure;
}

const std::string& PassRecording::path() const {
    return impl_->path;
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
