#pragma once

#include <QImage>
#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/video_source.h"
#include "test_video/frame_pattern.h"

namespace quillon::testing {

// A video file of generated frames, each showing its index as bars (as the test videos do),
// presented only when the test says: `advance` is the next frame of playback, seeks and steps
// present their frame at once. `failure` makes the next open fail with that reason.
class FakeVideoSource : public platform::VideoSource {
    Q_OBJECT

  public:
    using VideoSource::VideoSource;

    QList<platform::VideoCamera> cameras() const override { return cameraList; }
    bool playing() const override { return playing_; }
    void setPlaying(bool playing) override {
        playing_ = playing;
        emit stateChanged();
    }
    double rate() const override { return rate_; }
    void setRate(double rate) override {
        rate_ = rate;
        emit stateChanged();
    }
    qint64 durationUs() const override {
        return isOpen() ? static_cast<qint64>(std::llround(frames * 1e6 / fps)) : 0;
    }
    double frameRate() const override { return isOpen() ? fps : 0; }
    void seekUs(qint64 timeUs) override {
        playing_ = false;
        showFrame(static_cast<int>(std::ceil(timeUs * fps / 1e6 - 1e-6)));
    }

    // The next frame, as playback would show it; false at the end of the file.
    bool advance() {
        if (kind() == Kind::None || (kind() == Kind::File && frameIndex() + 1 >= frames)) {
            return false;
        }
        showFrame(frame().timeUs < 0 ? 0 : frameIndex() + 1);
        return true;
    }

    static QImage frameImage(int index, int width = 320, int height = 240) {
        const auto rgb = test_video::frameRgb(index, width, height);
        return QImage(rgb.data(), width, height, width * 3, QImage::Format_RGB888)
            .convertToFormat(QImage::Format_RGB32);
    }
    static int indexShown(const QImage& image) {
        return test_video::readIndex([&](int x, int y) { return qGray(image.pixel(x, y)); },
                                     image.width(), image.height());
    }

    int frames = 300;
    double fps = 30;
    std::optional<QString> failure;
    QList<platform::VideoCamera> cameraList;
    QStringList opened;

  protected:
    std::optional<QString> openFileSource(const QString& path) override { return open(path); }
    std::optional<QString> openCameraSource(const platform::VideoCamera& camera) override {
        return open(camera.description);
    }
    void closeSource() override { playing_ = false; }

  private:
    bool isOpen() const { return kind() != Kind::None; }
    std::optional<QString> open(const QString& name) {
        if (failure) {
            return std::exchange(failure, std::nullopt);
        }
        opened.append(name);
        playing_ = false;
        rate_ = 1;
        showFrame(0);
        return std::nullopt;
    }
    void showFrame(int index) {
        index = std::clamp(index, 0, frames - 1);
        present({frameImage(index), static_cast<qint64>(std::llround(index * 1e6 / fps))});
    }

    bool playing_ = false;
    double rate_ = 1;
};

}  // namespace quillon::testing
