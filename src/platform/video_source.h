#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "tracking/boat_tracker.h"
#include "video/pass_recording.h"

namespace quillon::platform {

// One decoded picture of the video and where it starts in the video's own time.
struct VideoFrame {
    QImage image;  // RGB32; null when there is no picture
    qint64 timeUs = -1;
};

// The frame as the core's trackers and recordings take it: the image's own pixels, not copied.
tracking::FrameView view_of(const VideoFrame& frame);

struct VideoCamera {
    QByteArray id;
    QString description;
};

// The video behind the Setup and Measure screens: none, a file or a live camera. A new
// source is opened beside the current one and only replaces it once it has shown that it
// can deliver pictures, so a file or camera that cannot be opened leaves everything as it
// was. Frames are presented on the user-interface thread.
class VideoSource : public QObject {
    Q_OBJECT

  public:
    enum class Kind { None, File, Camera };

    using QObject::QObject;

    Kind kind() const { return kind_; }
    // The file's path or the camera's description; empty with no video.
    QString name() const { return name_; }

    // Nothing when the source is open; otherwise a message for the operator naming it.
    std::optional<QString> openFile(const QString& path);
    std::optional<QString> openCamera(const VideoCamera& camera);
    void close();
    virtual QList<VideoCamera> cameras() const = 0;

    // Playing a file; ignored with a camera or no video.
    virtual bool playing() const = 0;
    virtual void setPlaying(bool playing) = 0;
    virtual double rate() const = 0;
    virtual void setRate(double rate) = 0;
    virtual qint64 durationUs() const = 0;
    // Frames per second as the file states it.
    virtual double frameRate() const = 0;
    // Pauses and shows the first frame that starts at or after `timeUs`.
    virtual void seekUs(qint64 timeUs) = 0;

    // Pauses and moves `count` frames forward (or back, when negative), within the file.
    void stepFrames(int count);
    // The index of the current frame in the file, counted from 0 by its start time.
    int frameIndex() const;
    int frameCount() const;

    const VideoFrame& frame() const { return frame_; }
    // Wall-clock milliseconds since the source last gave a frame (a camera or stream that has
    // gone quiet); 0 before any. A busy screen that has not shown the frames waiting for it
    // does not make the source quiet.
    virtual qint64 msSinceFrame() const { return lastFrame_.isValid() ? lastFrame_.elapsed() : 0; }

    // A recording of a live pass whose first frame is `first`, in the file `path`; frames
    // are then added to it as they come. Nothing, with `error` saying why, when it cannot be
    // made. A lossless recording of the frames added, unless the source can do better.
    virtual std::unique_ptr<video::PassRecording> startRecording(const std::string& path,
                                                                 const VideoFrame& first,
                                                                 std::string& error);

    // With every frame asked for, each decoded frame is handed on by frameDecoded, in order,
    // even when the screen shows fewer; otherwise only the frames shown are.
    void setEveryFrame(bool every) { everyFrame_ = every; }
    bool everyFrame() const { return everyFrame_; }

  signals:
    // A frame was decoded; on the user-interface thread, before the frame shown after it.
    void frameDecoded(const platform::VideoFrame& frame);
    // A new frame is the current one.
    void framePresented();
    // The source, its playing state, rate or duration changed.
    void stateChanged();

  protected:
    // The same, without the checks every source shares; a failure gives the reason only.
    virtual std::optional<QString> openFileSource(const QString& path) = 0;
    virtual std::optional<QString> openCameraSource(const VideoCamera& camera) = 0;
    virtual void closeSource() = 0;

    // Makes the frame the current one; `handedOn` when frameDecoded was emitted for it already.
    void present(VideoFrame frame, bool handedOn = false);

  private:
    Kind kind_ = Kind::None;
    QString name_;
    VideoFrame frame_;
    QElapsedTimer lastFrame_;
    // Read on the decoder's thread.
    std::atomic<bool> everyFrame_ = false;
    // The frame a step asked for until it is shown, so that quick steps add up.
    std::optional<int> stepTarget_;
};

}  // namespace quillon::platform
