#include "tracking/video_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace quillon::tracking {

namespace {

std::string av_message(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

}  // namespace

struct VideoFile::Impl {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* decoded = nullptr;
    SwsContext* scaler = nullptr;
    int stream = -1;
    bool draining = false;

    ~Impl() {
        sws_freeContext(scaler);
        av_frame_free(&decoded);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }

    std::int64_t micros(std::int64_t pts) const {
        const AVRational base = format->streams[stream]->time_base;
        return av_rescale_q_rnd(pts, base, AVRational{1, 1000000},
                                static_cast<AVRounding>(AV_ROUND_NEAR_INF));
    }
};

VideoFile::VideoFile(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
VideoFile::~VideoFile() = default;

std::unique_ptr<VideoFile> VideoFile::open(const std::string& path, std::string& error) {
    auto impl = std::make_unique<Impl>();
    int code = avformat_open_input(&impl->format, path.c_str(), nullptr, nullptr);
    if (code < 0) {
        error = av_message(code);
        return nullptr;
    }
    code = avformat_find_stream_info(impl->format, nullptr);
    if (code < 0) {
        error = av_message(code);
        return nullptr;
    }
    const AVCodec* decoder = nullptr;
    impl->stream = av_find_best_stream(impl->format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (impl->stream < 0 || decoder == nullptr) {
        error = "no video stream that can be decoded";
        return nullptr;
    }
    impl->codec = avcodec_alloc_context3(decoder);
    avcodec_parameters_to_context(impl->codec, impl->format->streams[impl->stream]->codecpar);
    impl->codec->thread_count = 0;
    code = avcodec_open2(impl->codec, decoder, nullptr);
    if (code < 0 || impl->codec->width <= 0 || impl->codec->height <= 0) {
        error = code < 0 ? av_message(code) : "the video has no frame size";
        return nullptr;
    }
    impl->packet = av_packet_alloc();
    impl->decoded = av_frame_alloc();
    return std::unique_ptr<VideoFile>(new VideoFile(std::move(impl)));
}

int VideoFile::width() const {
    return impl_->codec->width;
}

int VideoFile::height() const {
    return impl_->codec->height;
}

double VideoFile::frameRate() const {
    const AVRational rate = impl_->format->streams[impl_->stream]->avg_frame_rate;
    return rate.den > 0 ? av_q2d(rate) : 0;
}

bool VideoFile::next(DecodedFrame& frame) {
    Impl& v = *impl_;
    for (;;) {
        const int received = avcodec_receive_frame(v.codec, v.decoded);
        if (received == 0) {
            break;
        }
        if (received == AVERROR_EOF) {
            return false;
        }
        if (received != AVERROR(EAGAIN)) {
            error_ = av_message(received);
            return false;
        }
        if (v.draining) {
            return false;
        }
        const int read = av_read_frame(v.format, v.packet);
        if (read < 0) {
            v.draining = true;
            avcodec_send_packet(v.codec, nullptr);
            continue;
        }
        if (v.packet->stream_index == v.stream) {
            const int sent = avcodec_send_packet(v.codec, v.packet);
            if (sent < 0 && sent != AVERROR(EAGAIN)) {
                av_packet_unref(v.packet);
                error_ = av_message(sent);
                return false;
            }
        }
        av_packet_unref(v.packet);
    }
    const AVFrame* d = v.decoded;
    const auto source = static_cast<AVPixelFormat>(d->format);
    v.scaler = sws_getCachedContext(v.scaler, d->width, d->height, source, d->width, d->height,
                                    AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr, nullptr);
    if (v.scaler == nullptr) {
        error_ = "the frames' pixel format cannot be converted";
        return false;
    }
    // The screens' converter: BT.709 for HD (or when the file says so), BT.601 otherwise.
    const bool hd = d->colorspace == AVCOL_SPC_BT709 ||
                    (d->colorspace == AVCOL_SPC_UNSPECIFIED && d->height > 576);
    const bool fullRange = d->color_range == AVCOL_RANGE_JPEG;
    const int* coefficients = sws_getCoefficients(hd ? SWS_CS_ITU709 : SWS_CS_ITU601);
    sws_setColorspaceDetails(v.scaler, coefficients, fullRange ? 1 : 0, coefficients, 1, 0, 1 << 16,
                             1 << 16);
    frame.width = d->width;
    frame.height = d->height;
    frame.strideBytes = d->width * 4;
    frame.pixels.resize(static_cast<std::size_t>(frame.strideBytes) * d->height);
    std::uint8_t* target[4] = {frame.pixels.data(), nullptr, nullptr, nullptr};
    int targetStrides[4] = {frame.strideBytes, 0, 0, 0};
    sws_scale(v.scaler, d->data, d->linesize, 0, d->height, target, targetStrides);
    const std::int64_t pts =
        d->best_effort_timestamp != AV_NOPTS_VALUE ? d->best_effort_timestamp : d->pts;
    frame.timeUs = pts == AV_NOPTS_VALUE ? 0 : v.micros(pts);
    return true;
}

}  // namespace quillon::tracking
