#include "platform/video_source.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace quillon::platform {

namespace {

QString cannotOpen(const QString& what, const QString& reason) {
    return QStringLiteral("The video %1 cannot be opened: %2").arg(what, reason);
}

}  // namespace

std::optional<QString> VideoSource::openFile(const QString& path) {
    const QString quoted = "\"" + QDir::toNativeSeparators(path) + "\"";
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        return cannotOpen(quoted, "the file does not exist.");
    }
    if (!info.isFile()) {
        return cannotOpen(quoted, "it is a folder, not a file.");
    }
    if (info.size() == 0) {
        return cannotOpen(quoted, "the file is empty.");
    }
    if (const auto reason = openFileSource(info.absoluteFilePath())) {
        return cannotOpen(quoted, *reason);
    }
    stepTarget_.reset();
    kind_ = Kind::File;
    name_ = info.absoluteFilePath();
    emit stateChanged();
    return std::nullopt;
}

std::optional<QString> VideoSource::openCamera(const VideoCamera& camera) {
    if (const auto reason = openCameraSource(camera)) {
        return QStringLiteral("The camera \"%1\" cannot be opened: %2")
            .arg(camera.description, *reason);
    }
    kind_ = Kind::Camera;
    name_ = camera.description;
    emit stateChanged();
    return std::nullopt;
}

void VideoSource::close() {
    closeSource();
    stepTarget_.reset();
    kind_ = Kind::None;
    name_.clear();
    frame_ = {};
    emit framePresented();
    emit stateChanged();
}

int VideoSource::frameIndex() const {
    const double fps = frameRate();
    if (frame_.timeUs < 0 || fps <= 0) {
        return 0;
    }
    return static_cast<int>(std::llround(static_cast<double>(frame_.timeUs) * fps / 1e6));
}

int VideoSource::frameCount() const {
    const double fps = frameRate();
    return fps <= 0 ? 0
                    : static_cast<int>(std::llround(static_cast<double>(durationUs()) * fps / 1e6));
}

void VideoSource::stepFrames(int count) {
    const double fps = frameRate();
    if (kind_ != Kind::File || fps <= 0) {
        return;
    }
    const int last = std::max(frameCount() - 1, 0);
    const int target = std::clamp(stepTarget_.value_or(frameIndex()) + count, 0, last);
    stepTarget_ = target;
    seekUs(static_cast<qint64>(std::floor(target * 1e6 / fps)));
}

tracking::FrameView view_of(const VideoFrame& frame) {
    const QImage& image = frame.image;
    return {image.width(), image.height(), static_cast<int>(image.bytesPerLine()),
            image.constBits(), frame.timeUs};
}

std::unique_ptr<video::PassRecording> VideoSource::startRecording(const std::string& path,
                                                                  const VideoFrame& first,
                                                                  std::string& error) {
    auto recording =
        video::PassRecording::open(path, first.image.width(), first.image.height(), error);
    if (recording) {
        recording->add(view_of(first));
    }
    return recording;
}

void VideoSource::present(VideoFrame frame, bool handedOn) {
    if (!handedOn) {
        emit frameDecoded(frame);
    }
    frame_ = std::move(frame);
    lastFrame_.start();
    if (stepTarget_ && (playing() || frameIndex() == *stepTarget_)) {
        stepTarget_.reset();
    }
    emit framePresented();
}

}  // namespace quillon::platform
