#include "platform/video_frame_converter.h"

#include <QVideoFrame>
#include <QVideoFrameFormat>

extern "C" {
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

namespace quillon::platform {

namespace {

AVPixelFormat swscaleFormat(QVideoFrameFormat::PixelFormat format) {
    switch (format) {
        case QVideoFrameFormat::Format_YUV420P:
            return AV_PIX_FMT_YUV420P;
        case QVideoFrameFormat::Format_YUV422P:
            return AV_PIX_FMT_YUV422P;
        case QVideoFrameFormat::Format_NV12:
            return AV_PIX_FMT_NV12;
        case QVideoFrameFormat::Format_NV21:
            return AV_PIX_FMT_NV21;
        case QVideoFrameFormat::Format_YUYV:
            return AV_PIX_FMT_YUYV422;
        case QVideoFrameFormat::Format_UYVY:
            return AV_PIX_FMT_UYVY422;
        default:
            return AV_PIX_FMT_NONE;
    }
}

}  // namespace

VideoFrameConverter::~VideoFrameConverter() {
    sws_freeContext(context_);
}

QImage VideoFrameConverter::convert(const QVideoFrame& decoded) {
    QVideoFrame frame = decoded;
    const AVPixelFormat source = swscaleFormat(frame.pixelFormat());
    if (source == AV_PIX_FMT_NONE || !frame.map(QVideoFrame::ReadOnly)) {
        return frame.toImage().convertToFormat(QImage::Format_RGB32);
    }
    const int width = frame.width();
    const int height = frame.height();
    QImage image(width, height, QImage::Format_RGB32);

    const std::lock_guard lock(mutex_);
    context_ = sws_getCachedContext(context_, width, height, source, width, height, AV_PIX_FMT_BGRA,
                                    SWS_POINT, nullptr, nullptr, nullptr);
    if (context_ == nullptr || image.isNull()) {
        frame.unmap();
        return frame.toImage().convertToFormat(QImage::Format_RGB32);
    }
    const QVideoFrameFormat format = frame.surfaceFormat();
    const bool hd =
        format.colorSpace() == QVideoFrameFormat::ColorSpace_BT709 ||
        (format.colorSpace() == QVideoFrameFormat::ColorSpace_Undefined && height > 576);
    const bool fullRange = format.colorRange() == QVideoFrameFormat::ColorRange_Full;
    const int* coefficients = sws_getCoefficients(hd ? SWS_CS_ITU709 : SWS_CS_ITU601);
    sws_setColorspaceDetails(context_, coefficients, fullRange ? 1 : 0, coefficients, 1, 0, 1 << 16,
                             1 << 16);

    const uint8_t* planes[4] = {};
    int strides[4] = {};
    for (int plane = 0; plane < frame.planeCount() && plane < 4; ++plane) {
        planes[plane] = frame.bits(plane);
        strides[plane] = frame.bytesPerLine(plane);
    }
    uint8_t* target[4] = {image.bits(), nullptr, nullptr, nullptr};
    int targetStrides[4] = {static_cast<int>(image.bytesPerLine()), 0, 0, 0};
    sws_scale(context_, planes, strides, 0, height, target, targetStrides);
    frame.unmap();
    return image;
}

}  // namespace quillon::platform
