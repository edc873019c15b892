#include "platform/ffmpeg_video_source.h"

#include <QDir>
#include <QFile>
#include <QTimer>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "video/video_reader.h"

namespace quillon::platform {

namespace {

// Frames decoded ahead of the one shown.
constexpr std::size_t aheadFrames = 8;

VideoFrame picture_of(const video::DecodedFrame& decoded) {
    QImage image(decoded.width, decoded.height, QImage::Format_RGB32);
    for (int y = 0; y < decoded.height; ++y) {
        std::memcpy(image.scanLine(y),
                    decoded.pixels.data() + static_cast<std::size_t>(y) * decoded.strideBytes,
                    static_cast<std::size_t>(decoded.width) * 4);
    }
    return {std::move(image), decoded.timeUs};
}

}  // namespace

// A reader and the thread that decodes it a few frames ahead.
struct FfmpegVideoSource::Feed {
    std::unique_ptr<video::VideoReader> reader;
    std::thread thread;
    std::mutex mutex;
    std::condition_variable room;
    std::deque<VideoFrame> frames;
    bool stopping = false;
    bool ended = false;
    // When the decoder last gave a frame, on the steady clock.
    std::chrono::steady_clock::time_point lastDecoded = std::chrono::steady_clock::now();

    ~Feed() { halt(); }

    void start() {
        stopping = false;
        ended = false;
        lastDecoded = std::chrono::steady_clock::now();
        reader->resume();
        thread = std::thread([this] { run(); });
    }
    void halt() {
        if (!thread.joinable()) {
            return;
        }
        {
            std::lock_guard lock(mutex);
            stopping = true;
        }
        reader->interrupt();
        room.notify_all();
        thread.join();
        frames.clear();
    }
    void run() {
        video::DecodedFrame decoded;
        while (reader->next(decoded)) {
            VideoFrame frame = picture_of(decoded);
            std::unique_lock lock(mutex);
            room.wait(lock, [this] { return stopping || frames.size() < aheadFrames; });
            if (stopping) {
                return;
            }
            frames.push_back(std::move(frame));
            lastDecoded = std::chrono::steady_clock::now();
        }
        std::lock_guard lock(mutex);
        ended = true;
    }
    // The frames due by `dueUs` (all of them for a live source), oldest first.
    std::vector<VideoFrame> take(std::optional<qint64> dueUs) {
        std::vector<VideoFrame> due;
        {
            std::lock_guard lock(mutex);
            while (!frames.empty() && (!dueUs || frames.front().timeUs <= *dueUs)) {
                due.push_back(std::move(frames.front()));
                frames.pop_front();
            }
        }
        room.notify_all();
        return due;
    }
    qint64 msSinceDecoded() {
        std::lock_guard lock(mutex);
        if (!frames.empty()) {
            return 0;  // frames are waiting for the screen: the source is not quiet
        }
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - lastDecoded)
            .count();
    }
    bool finished() {
        std::lock_guard lock(mutex);
        return ended && frames.empty();
    }
};

FfmpegVideoSource::FfmpegVideoSource(QObject* parent) : VideoSource(parent) {
    timer_ = new QTimer(this);
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setInterval(4);
    connect(timer_, &QTimer::timeout, this, [this] { pump(); });
}

FfmpegVideoSource::~FfmpegVideoSource() = default;

QList<VideoCamera> FfmpegVideoSource::cameras() const {
    QList<VideoCamera> found;
    const QDir devices("/dev");
    for (const QString& name : devices.entryList({"video*"}, QDir::System, QDir::Name)) {
        QFile label("/sys/class/video4linux/" + name + "/name");
        QString description = name;
        if (label.open(QIODevice::ReadOnly)) {
            description = QString::fromUtf8(label.readAll()).trimmed() + " (" + name + ")";
        }
        found.append({devices.filePath(name).toUtf8(), description});
    }
    return found;
}

std::optional<QString> FfmpegVideoSource::openFeed(const std::string& source, bool file) {
    auto feed = std::make_unique<Feed>();
    std::string error;
    feed->reader = video::VideoReader::open(source, error);
    if (!feed->reader) {
        return file ? QString("it is not a video file this program can play.")
                    : QString::fromStdString(error);
    }
    video::DecodedFrame first;
    if (!feed->reader->next(first)) {
        return QString("it holds no picture that can be decoded.");
    }
    // Only now does the new source replace the one before.
    feed_.reset();
    feed_ = std::move(feed);
    playing_ = false;
    rate_ = 1;
    framesDecoded_ = 1;
    framesShown_ = 1;
    present(picture_of(first));
    feed_->start();
    if (feed_->reader->live()) {
        timer_->start();
    } else {
        timer_->stop();
    }
    return std::nullopt;
}

std::optional<QString> FfmpegVideoSource::openFileSource(const QString& path) {
    return openFeed(path.toStdString(), true);
}

std::optional<QString> FfmpegVideoSource::openCameraSource(const VideoCamera& camera) {
    const std::string id = camera.id.toStdString();
    return openFeed(id.rfind("/dev/", 0) == 0 ? "v4l2:" + id : id, false);
}

void FfmpegVideoSource::closeSource() {
    timer_->stop();
    feed_.reset();
    playing_ = false;
}

qint64 FfmpegVideoSource::msSinceFrame() const {
    return feed_ ? feed_->msSinceDecoded() : 0;
}

qint64 FfmpegVideoSource::durationUs() const {
    return feed_ ? feed_->reader->durationUs() : 0;
}

double FfmpegVideoSource::frameRate() const {
    return feed_ ? feed_->reader->frameRate() : 0;
}

qint64 FfmpegVideoSource::clockUs() const {
    return clockBaseUs_ +
           static_cast<qint64>(static_cast<double>(since_.nsecsElapsed()) / 1000.0 * rate_);
}

void FfmpegVideoSource::setPlaying(bool playing) {
    if (!feed_ || feed_->reader->live() || playing == playing_) {
        return;
    }
    playing_ = playing;
    if (playing_) {
        clockBaseUs_ = frame().timeUs;
        since_.start();
        timer_->start();
    } else {
        timer_->stop();
    }
    emit stateChanged();
}

void FfmpegVideoSource::setRate(double rate) {
    if (rate <= 0) {
        return;
    }
    if (playing_) {
        clockBaseUs_ = clockUs();
        since_.start();
    }
    rate_ = rate;
    emit stateChanged();
}

void FfmpegVideoSource::seekUs(qint64 timeUs) {
    if (!feed_ || feed_->reader->live()) {
        return;
    }
    const bool wasPlaying = playing_;
    playing_ = false;
    timer_->stop();
    feed_->halt();
    video::VideoReader& reader = *feed_->reader;
    reader.resume();
    std::optional<VideoFrame> shown;
    if (reader.seek(timeUs)) {
        video::DecodedFrame decoded;
        // The first frame at or after the time asked for; the last one when the file ends first.
        while (reader.next(decoded)) {
            shown = picture_of(decoded);
            if (decoded.timeUs + 500 >= timeUs) {
                break;
            }
        }
    }
    if (shown) {
        ++framesShown_;
        present(std::move(*shown));
    }
    feed_->start();
    if (wasPlaying) {
        emit stateChanged();
    }
}

// A camera or stream that sends compressed video is recorded by copying its packets: the
// recording holds what the camera sent, and costs no encoding. When that cannot be done (the
// pass's first frame is older than the packets held), the frames are recorded losslessly.
std::unique_ptr<video::PassRecording> FfmpegVideoSource::startRecording(const std::string& path,
                                                                        const VideoFrame& first,
                                                                        std::string& error) {
    if (feed_) {
        if (auto history = feed_->reader->packetHistory()) {
            if (auto copy =
                    video::PassRecording::copy(path, std::move(history), first.timeUs, error)) {
                return copy;
            }
        }
    }
    return VideoSource::startRecording(path, first, error);
}

void FfmpegVideoSource::pump() {
    if (!feed_) {
        return;
    }
    const bool live = feed_->reader->live();
    std::vector<VideoFrame> due =
        feed_->take(live ? std::nullopt : std::optional<qint64>(clockUs()));
    framesDecoded_ += static_cast<qint64>(due.size());
    for (std::size_t i = 0; i < due.size(); ++i) {
        const bool last = i + 1 == due.size();
        if (everyFrame()) {
            emit frameDecoded(due[i]);
        }
        if (last) {
            ++framesShown_;
            present(std::move(due[i]), everyFrame());
        }
    }
    if (!live && playing_ && feed_->finished()) {
        // The end of the file: playback stops on its last frame.
        playing_ = false;
        timer_->stop();
        emit stateChanged();
    }
}

}  // namespace quillon::platform
