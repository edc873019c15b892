#include "platform/qt_video_source.h"

#include <QCamera>
#include <QEventLoop>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QMediaMetaData>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoSink>
#include <atomic>
#include <deque>
#include <mutex>

#include "platform/video_frame_converter.h"

namespace quillon::platform {

namespace {

// How long a new file or camera may take to show that it works.
constexpr int openTimeoutMs = 10000;

// Runs the event loop until `done` holds or the time is up.
template <typename Done>
bool waitUntil(Done done) {
    if (done()) {
        return true;
    }
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) {
            loop.quit();
        }
    });
    poll.start(5);
    QTimer::singleShot(openTimeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

}  // namespace

// A player or camera with its sink. Frames arrive on the decoder's thread, wait in `waiting`
// and are shown on the user-interface thread while the pipeline is the current one.
struct QtVideoSource::Pipeline {
    explicit Pipeline(quint64 id) : id(id) {}

    // Declared first so that it is destroyed last: the decoder thread may still be inside it
    // until the player or camera is gone.
    VideoFrameConverter converter;
    QVideoSink sink;
    std::unique_ptr<QMediaPlayer> player;
    std::unique_ptr<QCamera> camera;
    std::unique_ptr<QMediaCaptureSession> session;
    const quint64 id;
    QString error;
    double frameRate = 0;

    std::mutex mutex;
    VideoFrame waiting;
    // Every frame decoded since the last one shown, oldest first, while every frame is asked for.
    std::deque<VideoFrame> decoded;
    bool showQueued = false;
    qint64 delivered = 0;
    std::atomic<bool> firstFrame = false;

    ~Pipeline() {
        session.reset();
        camera.reset();
        player.reset();
    }
};

void QtVideoSource::chooseBackend() {
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND")) {
        qputenv("QT_MEDIA_BACKEND", "ffmpeg");
    }
}

QtVideoSource::QtVideoSource(QObject* parent) : VideoSource(parent) {}

QtVideoSource::~QtVideoSource() {
    pipeline_.reset();
}

QList<VideoCamera> QtVideoSource::cameras() const {
    QList<VideoCamera> result;
    for (const QCameraDevice& device : QMediaDevices::videoInputs()) {
        result.append({device.id(), device.description()});
    }
    return result;
}

std::unique_ptr<QtVideoSource::Pipeline> QtVideoSource::newPipeline() {
    auto pipeline = std::make_unique<Pipeline>(++lastPipelineId_);
    Pipeline* p = pipeline.get();
    connect(
        &p->sink, &QVideoSink::videoFrameChanged, &p->sink,
        [this, p](const QVideoFrame& decoded) {
            if (!decoded.isValid()) {
                return;
            }
            VideoFrame frame{p->converter.convert(decoded), decoded.startTime()};
            bool queue = false;
            {
                const std::lock_guard lock(p->mutex);
                if (everyFrame()) {
                    p->decoded.push_back(frame);
                }
                p->waiting = std::move(frame);
                ++p->delivered;
                queue = !p->showQueued;
                p->showQueued = true;
            }
            p->firstFrame = true;
            if (queue) {
                QMetaObject::invokeMethod(
                    this, [this, id = p->id] { showWaitingFrame(id); }, Qt::QueuedConnection);
            }
        },
        Qt::DirectConnection);
    return pipeline;
}

void QtVideoSource::showWaitingFrame(quint64 pipelineId) {
    if (!pipeline_ || pipeline_->id != pipelineId) {
        return;
    }
    VideoFrame frame;
    std::deque<VideoFrame> decoded;
    {
        const std::lock_guard lock(pipeline_->mutex);
        pipeline_->showQueued = false;
        frame = std::move(pipeline_->waiting);
        pipeline_->waiting = {};
        decoded.swap(pipeline_->decoded);
    }
    // The frame shown is the last one decoded; each one before it is handed on first.
    const bool handedOn = !decoded.empty();
    for (const VideoFrame& each : decoded) {
        emit frameDecoded(each);
    }
    if (frame.image.isNull()) {
        return;
    }
    ++framesShown_;
    present(std::move(frame), handedOn);
}

qint64 QtVideoSource::framesDelivered() const {
    if (!pipeline_) {
        return 0;
    }
    const std::lock_guard lock(pipeline_->mutex);
    return pipeline_->delivered;
}

std::optional<QString> QtVideoSource::openFileSource(const QString& path) {
    auto pipeline = newPipeline();
    pipeline->player = std::make_unique<QMediaPlayer>();
    QMediaPlayer& player = *pipeline->player;
    player.setVideoOutput(&pipeline->sink);
    connect(&player, &QMediaPlayer::errorOccurred, &player,
            [p = pipeline.get()](QMediaPlayer::Error, const QString& text) { p->error = text; });
    player.setSource(QUrl::fromLocalFile(path));

    const auto loaded = [&] {
        const auto status = player.mediaStatus();
        return !pipeline->error.isEmpty() || status == QMediaPlayer::InvalidMedia ||
               status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferedMedia;
    };
    if (!waitUntil(loaded)) {
        return QStringLiteral("it did not load within %1 seconds.").arg(openTimeoutMs / 1000);
    }
    if (player.mediaStatus() == QMediaPlayer::InvalidMedia || !pipeline->error.isEmpty() ||
        !player.hasVideo()) {
        return QStringLiteral("it is not a video file this program can play.");
    }
    pipeline->frameRate = player.metaData().value(QMediaMetaData::VideoFrameRate).toDouble();
    if (!(pipeline->frameRate > 0 && pipeline->frameRate < 1000)) {
        pipeline->frameRate = 30;
    }

    // Reaching the end of the file stops playing; the screens show that.
    connect(&player, &QMediaPlayer::playbackStateChanged, this, [this] { emit stateChanged(); });
    // The first picture proves the file decodes; until then the old source stays.
    player.pause();
    if (!waitUntil([&] { return pipeline->firstFrame || !pipeline->error.isEmpty(); }) ||
        !pipeline->error.isEmpty()) {
        return QStringLiteral("no picture could be decoded from it.");
    }
    return switchTo(std::move(pipeline));
}

std::optional<QString> QtVideoSource::openCameraSource(const VideoCamera& wanted) {
    QCameraDevice device;
    for (const QCameraDevice& candidate : QMediaDevices::videoInputs()) {
        if (candidate.id() == wanted.id) {
            device = candidate;
        }
    }
    if (device.isNull()) {
        return QStringLiteral("the system no longer lists it.");
    }
    auto pipeline = newPipeline();
    pipeline->session = std::make_unique<QMediaCaptureSession>();
    pipeline->camera = std::make_unique<QCamera>(device);
    connect(pipeline->camera.get(), &QCamera::errorOccurred, pipeline->camera.get(),
            [p = pipeline.get()](QCamera::Error, const QString& text) { p->error = text; });
    pipeline->session->setCamera(pipeline->camera.get());
    pipeline->session->setVideoSink(&pipeline->sink);
    pipeline->camera->start();
    if (!waitUntil([&] { return pipeline->firstFrame || !pipeline->error.isEmpty(); })) {
        return QStringLiteral("it delivered no picture within %1 seconds.")
            .arg(openTimeoutMs / 1000);
    }
    if (!pipeline->error.isEmpty()) {
        return pipeline->error;
    }
    return switchTo(std::move(pipeline));
}

std::optional<QString> QtVideoSource::switchTo(std::unique_ptr<Pipeline> pipeline) {
    pipeline_ = std::move(pipeline);
    framesShown_ = 0;
    // The first frame may still be waiting for the user-interface thread.
    showWaitingFrame(pipeline_->id);
    return std::nullopt;
}

void QtVideoSource::closeSource() {
    pipeline_.reset();
}

bool QtVideoSource::playing() const {
    return pipeline_ && pipeline_->player &&
           pipeline_->player->playbackState() == QMediaPlayer::PlayingState;
}

void QtVideoSource::setPlaying(bool play) {
    if (!pipeline_ || !pipeline_->player || play == playing()) {
        return;
    }
    if (play) {
        pipeline_->player->play();
    } else {
        pipeline_->player->pause();
    }
    emit stateChanged();
}

double QtVideoSource::rate() const {
    return pipeline_ && pipeline_->player ? pipeline_->player->playbackRate() : 1.0;
}

void QtVideoSource::setRate(double rate) {
    if (!pipeline_ || !pipeline_->player) {
        return;
    }
    pipeline_->player->setPlaybackRate(rate);
    emit stateChanged();
}

qint64 QtVideoSource::durationUs() const {
    return pipeline_ && pipeline_->player ? pipeline_->player->duration() * 1000 : 0;
}

double QtVideoSource::frameRate() const {
    return pipeline_ ? pipeline_->frameRate : 0;
}

void QtVideoSource::seekUs(qint64 timeUs) {
    if (!pipeline_ || !pipeline_->player) {
        return;
    }
    QMediaPlayer& player = *pipeline_->player;
    const bool wasPlaying = playing();
    // Qt 6.4's FFmpeg player ignores seeks while paused once its reader has reached the end
    // of the file, which it does early when reading ahead near the end. Stopping first makes
    // every seek land.
    player.stop();
    player.pause();
    // Positions are whole milliseconds; rounding down keeps the wanted frame the first one
    // that starts at or after the position.
    player.setPosition(timeUs < 0 ? 0 : timeUs / 1000);
    if (wasPlaying) {
        emit stateChanged();
    }
}

}  // namespace quillon::platform
