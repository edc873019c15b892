#pragma once

#include <memory>

#include "platform/video_source.h"

namespace quillon::platform {

// Video through Qt Multimedia: QMediaPlayer for files, QCamera for live cameras, both into a
// QVideoSink. Frames are converted on the thread that decodes them and handed to the
// user-interface thread; when that thread is busy, only the newest waiting frame is shown.
class QtVideoSource : public VideoSource {
    Q_OBJECT

  public:
    // Qt 6.4 on Debian 12 ships two back ends. FFmpeg's decodes H.264 and the other common
    // files with no further packages and seeks to the exact frame while paused; GStreamer's
    // needs extra plugin packages for H.264. Call before the QApplication is made; a back end
    // named in QT_MEDIA_BACKEND is left alone.
    static void chooseBackend();

    explicit QtVideoSource(QObject* parent = nullptr);
    ~QtVideoSource() override;

    QList<VideoCamera> cameras() const override;

    bool playing() const override;
    void setPlaying(bool playing) override;
    double rate() const override;
    void setRate(double rate) override;
    qint64 durationUs() const override;
    double frameRate() const override;
    void seekUs(qint64 timeUs) override;

    // Frames the decoder delivered and frames shown since the source was opened; the
    // difference is what was dropped because the user-interface thread was busy.
    qint64 framesDelivered() const;
    qint64 framesShown() const { return framesShown_; }

  protected:
    std::optional<QString> openFileSource(const QString& path) override;
    std::optional<QString> openCameraSource(const VideoCamera& camera) override;
    void closeSource() override;

  private:
    struct Pipeline;

    std::unique_ptr<Pipeline> newPipeline();
    std::optional<QString> switchTo(std::unique_ptr<Pipeline> pipeline);
    void showWaitingFrame(quint64 pipelineId);

    std::unique_ptr<Pipeline> pipeline_;
    quint64 lastPipelineId_ = 0;
    qint64 framesShown_ = 0;
};

}  // namespace quillon::platform
