#pragma once

#include <QElapsedTimer>
#include <memory>

#include "platform/video_source.h"

class QTimer;

namespace quillon::platform {

// Video through the one reader on FFmpeg's libraries that quillon-cli track uses too, so the
// screens and the command see the same upright, square-pixel frames on the same times: files,
// cameras (v4l2 devices) and network streams. A thread decodes a few frames ahead; the
// user-interface thread presents each when the playback clock reaches its time (a live
// source's as soon as it comes), and with every frame asked for hands each one on in order.
class FfmpegVideoSource : public VideoSource {
    Q_OBJECT

  public:
    explicit FfmpegVideoSource(QObject* parent = nullptr);
    ~FfmpegVideoSource() override;

    QList<VideoCamera> cameras() const override;

    bool playing() const override { return playing_; }
    void setPlaying(bool playing) override;
    double rate() const override { return rate_; }
    void setRate(double rate) override;
    qint64 durationUs() const override;
    qint64 msSinceFrame() const override;
    double frameRate() const override;
    void seekUs(qint64 timeUs) override;
    std::unique_ptr<video::PassRecording> startRecording(const std::string& path,
                                                         const VideoFrame& first,
                                                         std::string& error) override;

    // Frames decoded and frames shown since the source was opened: the difference is what
    // playback skipped because the screen could not show them all.
    qint64 framesDecoded() const { return framesDecoded_; }
    qint64 framesShown() const { return framesShown_; }

  protected:
    std::optional<QString> openFileSource(const QString& path) override;
    std::optional<QString> openCameraSource(const VideoCamera& camera) override;
    void closeSource() override;

  private:
    struct Feed;

    // `source` as the reader takes it; a file's failure is worded for a file.
    std::optional<QString> openFeed(const std::string& source, bool file);
    // Presents what the playback clock (or a live source) has made due.
    void pump();
    qint64 clockUs() const;

    std::unique_ptr<Feed> feed_;
    QTimer* timer_ = nullptr;
    bool playing_ = false;
    double rate_ = 1;
    // The playback clock: the media time at `sinceUs_` and the wall clock since then.
    qint64 clockBaseUs_ = 0;
    QElapsedTimer since_;
    qint64 framesDecoded_ = 0;
    qint64 framesShown_ = 0;
};

}  // namespace quillon::platform
