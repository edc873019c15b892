#include "video/packet_history.h"
#include "video/pass_recording.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

extern "C" {
#include <libavcodec/codec_par.h>
}

using namespace quillon::video;

namespace {

// What a recording attached to the history was given: packet times in milliseconds.
struct Taken : PacketSink {
    std::vector<std::int64_t> ptsMs;
    std::vector<bool> keyframes;
    void copied(const AVPacket& packet, std::int64_t ptsMs_, std::int64_t) override {
        ptsMs.push_back(ptsMs_);
        keyframes.push_back((packet.flags & AV_PKT_FLAG_KEY) != 0);
    }
};

// A history of `seconds` of a 10 frames-per-second stream in a 90 kHz time base, a keyframe
// every second, whose first frame is at 1.4 s as a camcorder's transport stream has it.
struct Stream {
    explicit Stream(int seconds, std::size_t packetBytes = 100) {
        AVCodecParameters* parameters = avcodec_parameters_alloc();
        parameters->codec_type = AVMEDIA_TYPE_VIDEO;
        parameters->codec_id = AV_CODEC_ID_H264;
        history.emplace(*parameters, AVRational{1, 90000});
        avcodec_parameters_free(&parameters);
        history->setOrigin(origin);
        for (int i = 0; i < seconds * 10; ++i) {
            add(i, packetBytes);
        }
    }
    void add(int frame, std::size_t bytes) {
        AVPacket* packet = av_packet_alloc();
        av_new_packet(packet, static_cast<int>(bytes));
        packet->pts = origin + frame * 9000;
        packet->dts = packet->pts;
        packet->flags = frame % 10 == 0 ? AV_PKT_FLAG_KEY : 0;
        history->add(*packet);
        av_packet_free(&packet);
    }
    static constexpr std::int64_t origin = 126000;
    std::optional<PacketHistory> history;
};

}  // namespace

TEST(PacketHistory, ARecordingStartsOnTheKeyframeBeforeItsFirstFrameWhileThatIsHeld) {
    struct Case {
        int seconds;
        std::int64_t fromMs;
        std::optional<std::int64_t> startMs;
    };
    // 10 s read: the last 5 s and the group of pictures reaching into them are held.
    for (const Case& c : {Case{10, 9950, 9000}, Case{10, 4000, 4000}, Case{10, 4999, 4000},
                          Case{10, 3999, std::nullopt}, Case{3, 0, 0}, Case{3, 2500, 2000}}) {
        Stream stream(c.seconds);
        Taken taken;
        EXPECT_EQ(stream.history->attach(taken, c.fromMs), c.startMs) << c.fromMs;
        if (c.startMs) {
            ASSERT_FALSE(taken.ptsMs.empty());
            EXPECT_EQ(taken.ptsMs.front(), *c.startMs);
            EXPECT_TRUE(taken.keyframes.front());
            EXPECT_EQ(taken.ptsMs.back(), c.seconds * 1000 - 100);
            // Then every packet read, until detached.
            stream.add(c.seconds * 10, 100);
            EXPECT_EQ(taken.ptsMs.back(), c.seconds * 1000);
            stream.history->detach(taken);
            const std::size_t given = taken.ptsMs.size();
            stream.add(c.seconds * 10 + 1, 100);
            EXPECT_EQ(taken.ptsMs.size(), given);
        } else {
            EXPECT_TRUE(taken.ptsMs.empty());
        }
    }
}

TEST(PacketHistory, KeepsNoMoreThanItsMemoryButAlwaysTheNewestGroup) {
    // 5 MB packets: 64 MB holds about a second, so only the newest groups are kept.
    Stream stream(4, std::size_t{5} << 20);
    Taken taken;
    EXPECT_EQ(stream.history->attach(taken, 1000), std::nullopt);
    EXPECT_EQ(stream.history->attach(taken, 3999), 3000);
}

TEST(PacketHistory, LiveTimesAreWholeMillisecondsRoundedToTheNearest) {
    for (const auto& [ticks, ms] : std::vector<std::pair<std::int64_t, std::int64_t>>{
             {0, 0}, {3003, 33}, {3045, 34}, {6006, 67}, {-3003, -33}, {90000, 1000}}) {
        EXPECT_EQ(live_millis(126000 + ticks, 126000, AVRational{1, 90000}), ms) << ticks;
    }
}

TEST(RecordingRoom, MinutesOfRecordingTheFreeSpaceHolds) {
    // 1 MB/s: a 8 Mb/s camera. 600 MB is ten minutes, the least that is not warned of.
    struct Case {
        std::uintmax_t bytes;
        double rate;
        std::int64_t minutes;
    };
    for (const Case& c : {Case{600'000'000, 1e6, 10}, Case{599'999'999, 1e6, 9}, Case{0, 1e6, 0},
                          Case{1'000'000, 0, INT64_MAX}}) {
        EXPECT_EQ(recording_minutes(c.bytes, c.rate), c.minutes) << c.bytes;
    }
    // The copied stream's rate is what its held packets hold: 10 packets of 100 bytes a second.
    Stream stream(3);
    EXPECT_NEAR(stream.history->bytesPerSecond(), 1000, 40);
    EXPECT_TRUE(free_bytes(".").has_value());
    EXPECT_FALSE(free_bytes("/no/such/folder").has_value());
}
