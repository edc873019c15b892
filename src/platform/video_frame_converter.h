#pragma once

#include <QImage>
#include <mutex>

class QVideoFrame;
struct SwsContext;

namespace quillon::platform {

// Turns decoded frames into RGB32 images with libswscale, which converts a full-HD YUV frame
// in about 2 ms, several times faster than QVideoFrame::toImage. Formats it does not know go
// through toImage. Called on whichever thread the video sink delivers on.
class VideoFrameConverter {
  public:
    VideoFrameConverter() = default;
    VideoFrameConverter(const VideoFrameConverter&) = delete;
    VideoFrameConverter& operator=(const VideoFrameConverter&) = delete;
    ~VideoFrameConverter();

    QImage convert(const QVideoFrame& frame);

  private:
    std::mutex mutex_;
    SwsContext* context_ = nullptr;
};

}  // namespace quillon::platform
