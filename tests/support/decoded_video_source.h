#pragma once

#include <QImage>
#include <memory>
#include <string>

#include "platform/video_source.h"
#include "video/video_reader.h"

namespace quillon::testing {

// A video file decoded by the reader quillon-cli track uses, one frame each time the test
// says: the screens see the very pixels the command sees, and video time moves with the
// frames, never with the machine's speed.
class DecodedVideoSource : public platform::VideoSource {
    Q_OBJECT

  public:
    using VideoSource::VideoSource;

    QList<platform::VideoCamera> cameras() const override { return {}; }
    bool playing() const override { return false; }
    void setPlaying(bool) override {}
    double rate() const override { return 1; }
    void setRate(double) override {}
    qint64 durationUs() const override { return file_ ? 3'600'000'000 : 0; }
    double frameRate() const override { return file_ ? file_->frameRate() : 0; }
    // Shows the first frame at or after `timeUs`, decoding from the start.
    void seekUs(qint64 timeUs) override {
        if (!reopen()) {
            return;
        }
        while (decoded_.timeUs < timeUs && file_->next(decoded_)) {
        }
        show();
    }

    // The next frame of the file; false at its end.
    bool advance() {
        if (!file_ || !file_->next(decoded_)) {
            return false;
        }
        show();
        return true;
    }

  protected:
    std::optional<QString> openFileSource(const QString& path) override {
        path_ = path.toStdString();
        if (!reopen()) {
            return QString::fromStdString(problem_);
        }
        show();
        return std::nullopt;
    }
    std::optional<QString> openCameraSource(const platform::VideoCamera&) override {
        return QString("no camera here");
    }
    void closeSource() override { file_.reset(); }

  private:
    bool reopen() {
        file_ = video::VideoReader::open(path_, problem_);
        return file_ && file_->next(decoded_);
    }
    void show() {
        const QImage view(decoded_.pixels.data(), decoded_.width, decoded_.height,
                          decoded_.strideBytes, QImage::Format_RGB32);
        present({view.copy(), decoded_.timeUs});
    }

    std::string path_;
    std::string problem_;
    std::unique_ptr<video::VideoReader> file_;
    video::DecodedFrame decoded_;
};

}  // namespace quillon::testing
