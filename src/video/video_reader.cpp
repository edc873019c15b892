#include "video/video_reader.h"

#include <atomic>
#include <charconv>
#include <cmath>

#include "text/number_forms.h"
#include "video/packet_history.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavdevice/avdevice.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace quillon::video {

namespace {

constexpr std::size_t scalerSlack = 256;

std::string av_message(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// How the stored picture is turned upright, as FFmpeg's own player turns it: output pixel
// (x', y') is stored pixel (column, row) with, for a quarter turn, row = x' (or h - 1 - x'
// when `flipRows`) and column = y' (or w - 1 - y' when `flipColumns`); without a quarter turn
// the picture is only mirrored.
struct Upright {
    bool quarterTurn = false;
    bool flipRows = false;
    bool flipColumns = false;
    int clockwiseDegrees = 0;
};

Upright upright_of(const AVStream& stream) {
    const auto* matrix = reinterpret_cast<const int32_t*>(
        av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, nullptr));
    if (matrix == nullptr) {
        return {};
    }
    // av_display_rotation_get counts counter-clockwise; the turn that puts the picture upright
    // is the opposite one.
    const double angle = av_display_rotation_get(matrix);
    double theta = std::isnan(angle) ? 0 : -std::round(angle);
    theta -= 360 * std::floor(theta / 360 + 0.9 / 360);
    Upright turn;
    if (std::abs(theta - 90) < 1) {
        // Clockwise, or a plain transpose when the matrix also mirrors the picture.
        turn = matrix[3] > 0 ? Upright{true, false, false, 90} : Upright{true, true, false, 90};
    } else if (std::abs(theta - 270) < 1) {
        turn = matrix[3] < 0 ? Upright{true, true, true, 270} : Upright{true, false, true, 270};
    } else if (std::abs(theta - 180) < 1) {
        turn = {false, matrix[4] < 0, matrix[0] < 0, 180};
    } else if (std::abs(theta) < 1) {
        turn = {false, matrix[4] < 0, false, 0};
    }
    return turn;
}

}  // namespace

std::string seconds_text(std::int64_t us, int decimals) {
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, static_cast<double>(us) / 1e6,
                                      std::chars_format::fixed, decimals);
    return std::string(digits, result.ptr);
}

std::string damage_text(const DamagedStretch& stretch) {
    return "damaged video between " + seconds_text(stretch.fromUs) + " s and " +
           seconds_text(stretch.toUs) + " s";
}

std::optional<std::int64_t> parse_video_time(std::string_view text) {
    std::vector<std::string_view> parts;
    for (std::size_t at = 0;;) {
        const std::size_t colon = text.find(':', at);
        parts.push_back(text.substr(at, colon == std::string_view::npos ? colon : colon - at));
        if (colon == std::string_view::npos) {
            break;
        }
        at = colon + 1;
    }
    if (parts.size() > 3) {
        return std::nullopt;
    }
    constexpr text::NumberForms seconds{.decimals = true};
    const auto last =
        text::parse_number(parts.back(), parts.size() == 1 ? text::decimalNumber : seconds);
    if (!last || *last < 0 || (parts.size() > 1 && *last >= 60)) {
        return std::nullopt;
    }
    double total = *last;
    double unit = 60;
    for (std::size_t i = parts.size() - 1; i-- > 0; unit *= 60) {
        const auto whole = text::parse_number(parts[i], text::digitsOnly);
        if (!whole || (i > 0 && *whole >= 60)) {
            return std::nullopt;
        }
        total += *whole * unit;
    }
    return static_cast<std::int64_t>(std::llround(total * 1e6));
}

struct VideoReader::Impl {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* decoded = nullptr;
    SwsContext* scaler = nullptr;
    int stream = -1;
    bool draining = false;
    Upright upright;
    AVRational pixelAspect{1, 1};
    std::int64_t firstPts = AV_NOPTS_VALUE;
    bool live = false;
    // A live compressed source's packets, for a recording that copies them.
    std::shared_ptr<PacketHistory> history;
    // Set from another thread to stop a read that waits for a camera or a stream.
    std::atomic<bool> interrupted = false;

    static int interruptRequested(void* impl) {
        return static_cast<Impl*>(impl)->interrupted.load() ? 1 : 0;
    }
    // A frame was damaged and no keyframe has come since: what is predicted from it is too.
    bool afterDamage = false;
    // The converted picture before it is turned upright.
    std::vector<std::uint8_t> stored;

    ~Impl() {
        sws_freeContext(scaler);
        av_frame_free(&decoded);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }

    // Time from the first frame. A live source is timed in whole milliseconds, the time base
    // of its recording, so that the live pass and a measurement of its recording use the same
    // times.
    std::int64_t micros(std::int64_t pts) const {
        const AVRational base = format->streams[stream]->time_base;
        if (live) {
            return live_millis(pts, firstPts, base) * 1000;
        }
        return av_rescale_q_rnd(pts - firstPts, base, AVRational{1, 1000000},
                                static_cast<AVRounding>(AV_ROUND_NEAR_INF));
    }

    void setFirst(std::int64_t pts) {
        if (firstPts != AV_NOPTS_VALUE || pts == AV_NOPTS_VALUE) {
            return;
        }
        firstPts = pts;
        if (history) {
            history->setOrigin(pts);
        }
    }

    // Stored width after the pixel aspect: an anamorphic picture comes out at its display
    // width.
    int squareWidth(int width) const {
        if (pixelAspect.num <= 0 || pixelAspect.den <= 0 || pixelAspect.num == pixelAspect.den) {
            return width;
        }
        return static_cast<int>(
            std::lround(static_cast<double>(width) * pixelAspect.num / pixelAspect.den));
    }
};

VideoReader::VideoReader(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
VideoReader::~VideoReader() = default;

std::unique_ptr<VideoReader> VideoReader::open(const std::string& source, std::string& error) {
    av_log_set_level(AV_LOG_QUIET);
    avdevice_register_all();
    avformat_network_init();
    auto impl = std::make_unique<Impl>();
    std::string url = source;
    const AVInputFormat* input = nullptr;
    for (const char* device : {"lavfi", "v4l2"}) {
        const std::string prefix = std::string(device) + ":";
        if (source.rfind(prefix, 0) == 0) {
            input = av_find_input_format(device);
            if (input == nullptr) {
                error = std::string("this FFmpeg has no ") + device + " input";
                return nullptr;
            }
            url = source.substr(prefix.size());
            impl->live = true;
        }
    }
    for (const char* scheme :
         {"rtsp://", "rtmp://", "udp://", "tcp://", "http://", "https://", "srt://"}) {
        impl->live = impl->live || source.rfind(scheme, 0) == 0;
    }
    impl->format = avformat_alloc_context();
    impl->format->interrupt_callback = {&Impl::interruptRequested, impl.get()};
    int code = avformat_open_input(&impl->format, url.c_str(), input, nullptr);
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
    AVStream& stream = *impl->format->streams[impl->stream];
    impl->codec = avcodec_alloc_context3(decoder);
    avcodec_parameters_to_context(impl->codec, stream.codecpar);
    impl->codec->thread_count = 0;
    impl->codec->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    // Damaged frames are given out flagged, so that they can be counted and skipped.
    impl->codec->flags |= AV_CODEC_FLAG_OUTPUT_CORRUPT;
    code = avcodec_open2(impl->codec, decoder, nullptr);
    if (code < 0 || impl->codec->width <= 0 || impl->codec->height <= 0) {
        error = code < 0 ? av_message(code) : "the video has no frame size";
        return nullptr;
    }
    impl->upright = upright_of(stream);
    // A file's time counts from its first frame, as players show it.
    if (!impl->live && stream.start_time != AV_NOPTS_VALUE) {
        impl->firstPts = stream.start_time;
    }
    impl->pixelAspect = av_guess_sample_aspect_ratio(impl->format, &stream, nullptr);
    // Compressed video that Matroska can hold is copied into a live pass's recording as it
    // comes; raw frames (a filter graph, a raw camera) are encoded losslessly instead.
    const AVCodecID codecId = stream.codecpar->codec_id;
    const AVOutputFormat* matroska = av_guess_format("matroska", nullptr, nullptr);
    if (impl->live && matroska != nullptr && codecId != AV_CODEC_ID_RAWVIDEO &&
        codecId != AV_CODEC_ID_WRAPPED_AVFRAME &&
        avformat_query_codec(matroska, codecId, FF_COMPLIANCE_NORMAL) == 1) {
        impl->history = std::make_shared<PacketHistory>(*stream.codecpar, stream.time_base);
    }
    impl->packet = av_packet_alloc();
    impl->decoded = av_frame_alloc();
    return std::unique_ptr<VideoReader>(new VideoReader(std::move(impl)));
}

int VideoReader::width() const {
    const int stored = impl_->squareWidth(impl_->codec->width);
    return impl_->upright.quarterTurn ? impl_->codec->height : stored;
}

int VideoReader::height() const {
    return impl_->upright.quarterTurn ? impl_->squareWidth(impl_->codec->width)
                                      : impl_->codec->height;
}

double VideoReader::frameRate() const {
    const AVRational rate = impl_->format->streams[impl_->stream]->avg_frame_rate;
    return rate.den > 0 ? av_q2d(rate) : 0;
}

int VideoReader::rotation() const {
    return impl_->upright.clockwiseDegrees;
}

std::int64_t VideoReader::durationUs() const {
    const AVFormatContext* format = impl_->format;
    if (impl_->live || format->duration == AV_NOPTS_VALUE || format->duration <= 0) {
        return 0;
    }
    return format->duration;
}

void VideoReader::interrupt() {
    impl_->interrupted = true;
}

void VideoReader::resume() {
    impl_->interrupted = false;
}

bool VideoReader::picture() const {
    const std::string_view name = impl_->format->iformat->name;
    return name == "image2" || (name.size() > 5 && name.substr(name.size() - 5) == "_pipe");
}

std::shared_ptr<PacketHistory> VideoReader::packetHistory() const {
    return impl_->history;
}

bool VideoReader::live() const {
    return impl_->live;
}

bool VideoReader::seek(std::int64_t timeUs) {
    Impl& v = *impl_;
    if (v.live) {
        return false;
    }
    const AVRational base = v.format->streams[v.stream]->time_base;
    const std::int64_t origin = v.firstPts == AV_NOPTS_VALUE ? 0 : v.firstPts;
    const std::int64_t target = origin + av_rescale_q(timeUs, AVRational{1, 1000000}, base);
    if (av_seek_frame(v.format, v.stream, target, AVSEEK_FLAG_BACKWARD) < 0 &&
        av_seek_frame(v.format, v.stream, origin, AVSEEK_FLAG_BACKWARD) < 0) {
        return false;
    }
    avcodec_flush_buffers(v.codec);
    v.draining = false;
    v.afterDamage = false;
    return true;
}

bool VideoReader::next(DecodedFrame& frame) {
    Impl& v = *impl_;
    damagedBefore_.clear();
    auto noteDamage = [&](std::int64_t pts) {
        if (pts == AV_NOPTS_VALUE) {
            return;
        }
        v.setFirst(pts);
        const std::int64_t us = v.micros(pts);
        if (damagedBefore_.empty()) {
            damage_.push_back({us, us, 0});
        }
        damagedBefore_.push_back(us);
        damage_.back().toUs = std::max(damage_.back().toUs, us);
        damage_.back().fromUs = std::min(damage_.back().fromUs, us);
        ++damage_.back().frames;
    };
    // A stream that gives nothing but errors ends rather than spinning.
    for (int failures = 0; failures < 10000;) {
        const int received = avcodec_receive_frame(v.codec, v.decoded);
        if (received == 0) {
            const AVFrame* d = v.decoded;
            const std::int64_t pts =
                d->best_effort_timestamp != AV_NOPTS_VALUE ? d->best_effort_timestamp : d->pts;
            const bool flagged = d->decode_error_flags != 0 || (d->flags & AV_FRAME_FLAG_CORRUPT);
            if (flagged) {
                v.afterDamage = true;
            } else if (d->key_frame != 0) {
                v.afterDamage = false;
            }
            if (!v.afterDamage) {
                v.setFirst(pts);
                frame.timeUs = pts == AV_NOPTS_VALUE ? 0 : v.micros(pts);
                break;
            }
            noteDamage(pts);
            av_frame_unref(v.decoded);
            continue;
        }
        if (received == AVERROR_EOF) {
            return false;
        }
        if (received != AVERROR(EAGAIN)) {
            // A frame the decoder could not make: damage, as long as more follows.
            v.afterDamage = true;
            ++failures;
            continue;
        }
        if (v.draining) {
            return false;
        }
        const int read = av_read_frame(v.format, v.packet);
        if (read == AVERROR_EXIT && v.interrupted) {
            return false;
        }
        if (read == AVERROR_EOF || read == AVERROR(EIO) || read == AVERROR_EXIT) {
            v.draining = true;
            avcodec_send_packet(v.codec, nullptr);
            continue;
        }
        if (read < 0) {
            // A packet the container could not give: the stream goes on after it.
            v.afterDamage = true;
            ++failures;
            continue;
        }
        if (v.packet->stream_index == v.stream) {
            if (v.history) {
                v.history->add(*v.packet);
            }
            if ((v.packet->flags & AV_PKT_FLAG_CORRUPT) != 0) {
                v.afterDamage = true;
                noteDamage(v.packet->pts);
            } else {
                const int sent = avcodec_send_packet(v.codec, v.packet);
                if (sent < 0 && sent != AVERROR(EAGAIN)) {
                    // Undecodable data: that packet's frame is lost, and the frames predicted
                    // from it are not to be trusted.
                    v.afterDamage = true;
                    noteDamage(v.packet->pts);
                }
            }
        }
        av_packet_unref(v.packet);
    }
    if (v.decoded->format < 0) {
        error_ = "the stream gives nothing but errors";
        return false;
    }
    const AVFrame* d = v.decoded;
    const int storedWidth = v.squareWidth(d->width);
    const auto source = static_cast<AVPixelFormat>(d->format);
    // Nearest neighbour when nothing is scaled (a plain conversion, as the screens do it);
    // bilinear when an anamorphic picture is widened.
    v.scaler = sws_getCachedContext(
        v.scaler, d->width, d->height, source, storedWidth, d->height, AV_PIX_FMT_BGRA,
        storedWidth == d->width ? SWS_POINT : SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (v.scaler == nullptr) {
        error_ = "the frames' pixel format cannot be converted";
        return false;
    }
    // The screens' converter: BT.709 for HD (or when the file says so), BT.601 otherwise;
    // HD by the height of the upright picture, so a turned file converts as the clean one.
    const int uprightHeight = v.upright.quarterTurn ? d->width : d->height;
    const bool hd = d->colorspace == AVCOL_SPC_BT709 ||
                    (d->colorspace == AVCOL_SPC_UNSPECIFIED && uprightHeight > 576);
    const bool fullRange = d->color_range == AVCOL_RANGE_JPEG;
    const int* coefficients = sws_getCoefficients(hd ? SWS_CS_ITU709 : SWS_CS_ITU601);
    sws_setColorspaceDetails(v.scaler, coefficients, fullRange ? 1 : 0, coefficients, 1, 0, 1 << 16,
                             1 << 16);
    const Upright& turn = v.upright;
    const bool turned = turn.quarterTurn || turn.flipRows || turn.flipColumns;
    std::vector<std::uint8_t>& target = turned ? v.stored : frame.pixels;
    const int storedStride = storedWidth * 4;
    // libswscale's vector code may write a little past the end of the last row.
    target.resize(static_cast<std::size_t>(storedStride) * d->height + scalerSlack);
    std::uint8_t* planes[4] = {target.data(), nullptr, nullptr, nullptr};
    int strides[4] = {storedStride, 0, 0, 0};
    sws_scale(v.scaler, d->data, d->linesize, 0, d->height, planes, strides);
    const int w = storedWidth;
    const int h = d->height;
    av_frame_unref(v.decoded);

    frame.width = turn.quarterTurn ? h : w;
    frame.height = turn.quarterTurn ? w : h;
    frame.strideBytes = frame.width * 4;
    if (!turned) {
        return true;
    }
    frame.pixels.resize(static_cast<std::size_t>(frame.strideBytes) * frame.height);
    const auto* in = reinterpret_cast<const std::uint32_t*>(v.stored.data());
    auto* out = reinterpret_cast<std::uint32_t*>(frame.pixels.data());
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            int row = 0;
            int column = 0;
            if (turn.quarterTurn) {
                row = turn.flipRows ? h - 1 - x : x;
                column = turn.flipColumns ? w - 1 - y : y;
            } else {
                row = turn.flipRows ? h - 1 - y : y;
                column = turn.flipColumns ? w - 1 - x : x;
            }
            out[static_cast<std::size_t>(y) * frame.width + x] =
                in[static_cast<std::size_t>(row) * w + column];
        }
    }
    return true;
}

}  // namespace quillon::video
