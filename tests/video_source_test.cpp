#include <QTemporaryDir>
#include <QtTest>

#include "platform/ffmpeg_video_source.h"
#include "test_video/frame_pattern.h"

using quillon::platform::FfmpegVideoSource;
using quillon::platform::VideoSource;

namespace {

// The index the bars of the frame shown say.
int indexShown(const VideoSource& video) {
    const QImage& image = video.frame().image;
    return quillon::test_video::readIndex([&](int x, int y) { return qGray(image.pixel(x, y)); },
                                          image.width(), image.height());
}

}  // namespace

// The real video adapter over a test video of 90 frames at 30 fps, 320 x 240, whose frames
// show their own index.
class VideoSourceTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void opensOnTheFirstFrame();
    void stepsLandOnTheExpectedFrame();
    void sourcesThatCannotBeOpenedChangeNothing();
    void playbackHandsOnEveryFrameInOrder();
    void aLiveSourceDeliversAsItComes();

  private:
    void waitForFrame(int index);
    FfmpegVideoSource video;
};

void VideoSourceTest::initTestCase() {
    QVERIFY2(QFile::exists(QUILLON_TEST_VIDEO), QUILLON_TEST_VIDEO);
}

void VideoSourceTest::waitForFrame(int index) {
    QTRY_COMPARE_WITH_TIMEOUT(video.frameIndex(), index, 5000);
    QCOMPARE(indexShown(video), index);
}

void VideoSourceTest::opensOnTheFirstFrame() {
    QCOMPARE(video.openFile(QUILLON_TEST_VIDEO), std::nullopt);
    QCOMPARE(video.kind(), VideoSource::Kind::File);
    QCOMPARE(video.frameRate(), 30.0);
    QCOMPARE(video.frameCount(), 90);
    QVERIFY(!video.playing());
    QCOMPARE(video.frame().timeUs, 0);
    QCOMPARE(indexShown(video), 0);
}

void VideoSourceTest::stepsLandOnTheExpectedFrame() {
    // Keyframes fall every 15 frames: steps land on both sides of them, and back across them.
    const int steps[][2] = {{1, 1},   {1, 2},   {13, 15}, {-1, 14},  {1, 15}, {30, 45},
                            {-3, 42}, {-42, 0}, {-1, 0},  {100, 89}, {1, 89}};
    for (const auto& [count, expected] : steps) {
        video.stepFrames(count);
        waitForFrame(expected);
        QVERIFY(!video.playing());
    }
    // Quick steps before the first has been shown still add up.
    video.stepFrames(-5);
    video.stepFrames(-5);
    waitForFrame(79);
}

void VideoSourceTest::sourcesThatCannotBeOpenedChangeNothing() {
    QTemporaryDir folder;
    const QString empty = folder.filePath("empty.mp4");
    const QString text = folder.filePath("notes.avi");
    QFile(empty).open(QIODevice::WriteOnly);
    QFile textFile(text);
    QVERIFY(textFile.open(QIODevice::WriteOnly));
    textFile.write(QByteArray(4096, 'x'));
    textFile.close();

    const struct {
        QString path;
        QString reason;
    } cases[] = {
        {folder.filePath("missing.mp4"), "the file does not exist."},
        {empty, "the file is empty."},
        {text, "it is not a video file this program can play."},
        {folder.path(), "it is a folder, not a file."},
    };
    const QString before = video.name();
    const qint64 frameBefore = video.frame().timeUs;
    for (const auto& c : cases) {
        const auto message = video.openFile(c.path);
        QVERIFY(message);
        QCOMPARE(*message, "The video \"" + QDir::toNativeSeparators(c.path) +
                               "\" cannot be opened: " + c.reason);
        QCOMPARE(video.kind(), VideoSource::Kind::File);
        QCOMPARE(video.name(), before);
        QCOMPARE(video.frame().timeUs, frameBefore);
    }
    // The video that stayed still plays.
    video.stepFrames(-1);
    waitForFrame(78);
}

// Played with every frame asked for, each frame is handed on once, in order, before the frame
// shown after it, however fast the machine decodes; the end of the file stops playback.
void VideoSourceTest::playbackHandsOnEveryFrameInOrder() {
    QCOMPARE(video.openFile(QUILLON_TEST_VIDEO), std::nullopt);
    video.seekUs(0);
    QList<int> handedOn;
    const auto connection = connect(
        &video, &VideoSource::frameDecoded, this, [&](const quillon::platform::VideoFrame& frame) {
            handedOn.append(quillon::test_video::readIndex(
                [&](int x, int y) { return qGray(frame.image.pixel(x, y)); }, frame.image.width(),
                frame.image.height()));
        });
    video.setEveryFrame(true);
    video.setRate(1);
    video.setPlaying(true);
    QTRY_VERIFY_WITH_TIMEOUT(!video.playing(), 60000);
    disconnect(connection);
    video.setEveryFrame(false);
    QList<int> expected;
    for (int index = 1; index < 90; ++index) {
        expected.append(index);
    }
    QCOMPARE(handedOn, expected);
    QCOMPARE(indexShown(video), 89);
}

// A filter graph stands in for a camera: frames come as it makes them, timed from its first in
// whole milliseconds, and a live source is not played, paused or sought.
void VideoSourceTest::aLiveSourceDeliversAsItComes() {
    const QByteArray graph = "lavfi:testsrc2=size=320x240:rate=30";
    QCOMPARE(video.openCamera({graph, "test pattern"}), std::nullopt);
    QCOMPARE(video.kind(), VideoSource::Kind::Camera);
    QList<qint64> times;
    const auto connection =
        connect(&video, &VideoSource::frameDecoded, this,
                [&](const quillon::platform::VideoFrame& frame) { times.append(frame.timeUs); });
    video.setEveryFrame(true);
    QTRY_VERIFY_WITH_TIMEOUT(times.size() >= 30, 30000);
    disconnect(connection);
    video.setEveryFrame(false);
    for (qsizetype i = 0; i < times.size(); ++i) {
        // In whole milliseconds, as a live pass and its recording keep them.
        QCOMPARE(times[i], qRound64((i + 1) * 1000.0 / 30) * 1000);
    }
    QCOMPARE(video.frame().image.size(), QSize(320, 240));
    video.setPlaying(true);
    QVERIFY(!video.playing());
    video.close();
    QCOMPARE(video.kind(), VideoSource::Kind::None);
}

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    VideoSourceTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "video_source_test.moc"
