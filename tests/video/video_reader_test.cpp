#include "video/video_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli/command_table.h"
#include "support/file_words.h"
#include "video/decode_ahead.h"

using namespace quillon;

namespace {

const std::string stem = std::string(QUILLON_TRUTH_VIDEOS) + "/variants_360p30";

// The frames of a video at the given times (to the millisecond), by time.
std::map<std::int64_t, video::DecodedFrame> frames_at(const std::string& path,
                                                      const std::vector<std::int64_t>& times,
                                                      video::VideoReader& reader) {
    std::map<std::int64_t, video::DecodedFrame> found;
    video::DecodedFrame frame;
    while (found.size() < times.size() && reader.next(frame)) {
        for (const std::int64_t t : times) {
            if (std::llabs(frame.timeUs - t) <= 1000) {
                found[t] = frame;
            }
        }
    }
    EXPECT_EQ(found.size(), times.size()) << path;
    return found;
}

// Mean absolute difference of the colour channels of two frames of the same size.
double mean_difference(const video::DecodedFrame& a, const video::DecodedFrame& b) {
    double sum = 0;
    long count = 0;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            for (int channel = 0; channel < 3; ++channel) {
                const auto at = static_cast<std::size_t>(y) * a.strideBytes + x * 4 + channel;
                sum += std::abs(int{a.pixels[at]} - int{b.pixels[at]});
                ++count;
            }
        }
    }
    return sum / static_cast<double>(count);
}

struct TrackRun {
    int code = 0;
    std::string out;
    std::string err;
};

TrackRun track(const std::string& video) {
    std::vector<std::string> words{"track", video, "--setup", stem + ".ipt"};
    for (const std::string& word : quillon::testing::words_of(stem + ".args")) {
        words.push_back(word);
    }
    std::istringstream in;
    std::ostringstream out, err;
    TrackRun r;
    r.code = cli::run_command(words, {in, out, err});
    r.out = out.str();
    r.err = err.str();
    return r;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

// Files as cameras and phones store them come out upright, with square pixels, timed from
// their first frame, and measure the pass as the clean file does. The pixels of the boat's
// asymmetric picture are compared, not the frame sizes, so a quarter turn the wrong way fails.
TEST(VideoReader, CameraAndPhoneFilesComeOutAsTheViewerSeesThem) {
    const struct {
        const char* file;
        int rotation;
        double pixelTolerance;   // mean difference from the clean frame, 0-255 levels
        double sampleTolerance;  // metres from the clean file's samples
    } variants[] = {
        // Its pixels turned a quarter clockwise, tagged rotate=90: FFmpeg's players turn such a
        // file a quarter counter-clockwise to show it, and so does the reader.
        {".clean.mp4", 0, 0, 0}, {".rot90.mp4", 270, 0, 0},       {".rot180.mp4", 180, 0, 0},
        {".ts", 0, 0, 0},        {".anamorphic.mp4", 0, 3, 0.03}, {".vfr.mp4", 0, 0, 0.03},
    };
    // Times of frames every variant keeps (the variable-rate file drops every third frame).
    const std::vector<std::int64_t> times{0, 1'000'000, 6'000'000, 12'000'000};
    std::string error;
    auto cleanReader = video::VideoReader::open(stem + ".clean.mp4", error);
    ASSERT_TRUE(cleanReader) << error;
    const auto clean = frames_at("clean", times, *cleanReader);
    const TrackRun cleanRun = track(stem + ".clean.mp4");
    ASSERT_TRUE(cleanRun.code == 0 || cleanRun.code == 3) << cleanRun.err;
    const auto cleanSamples = lines_of(cleanRun.out);
    ASSERT_EQ(cleanSamples.size(), 141U);

    for (const auto& v : variants) {
        const std::string path = stem + v.file;
        auto reader = video::VideoReader::open(path, error);
        ASSERT_TRUE(reader) << path << ": " << error;
        EXPECT_EQ(reader->rotation(), v.rotation) << path;
        EXPECT_EQ(reader->width(), 640) << path;
        EXPECT_EQ(reader->height(), 360) << path;
        const auto frames = frames_at(path, times, *reader);
        for (const auto& [time, frame] : frames) {
            ASSERT_EQ(frame.width, 640) << path;
            ASSERT_EQ(frame.height, 360) << path;
            EXPECT_LE(mean_difference(frame, clean.at(time)), v.pixelTolerance + 1e-9)
                << path << " at " << time << " us";
        }

        const TrackRun r = track(path);
        EXPECT_EQ(r.code, cleanRun.code) << path << ": " << r.err;
        const auto samples = lines_of(r.out);
        ASSERT_EQ(samples.size(), cleanSamples.size()) << path;
        for (std::size_t k = 0; k < samples.size(); ++k) {
            EXPECT_LE(std::abs(std::atof(samples[k].c_str()) - std::atof(cleanSamples[k].c_str())),
                      v.sampleTolerance + 1e-9)
                << path << " sample " << k;
        }
    }
}

// Bytes overwritten in the middle of a file: the frames the decoder flags, and those that
// follow them before the next keyframe, are skipped; their stretch is named, and the samples
// due on it are held, not tracked. Every other sample is the undamaged file's.
TEST(VideoReader, DamageIsSkippedNamedAndItsSamplesHeld) {
    const std::string folder = ::testing::TempDir() + "quillon_damage_test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string damaged = folder + "/damaged.mp4";
    std::filesystem::copy_file(stem + ".mp4", damaged);
    {
        std::fstream file(damaged, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(static_cast<std::streamoff>(std::filesystem::file_size(damaged) / 2));
        std::uint32_t state = 12345;
        for (int i = 0; i < 6000; ++i) {
            state = state * 1664525 + 1013904223;
            file.put(static_cast<char>(state >> 24));
        }
    }
    const TrackRun whole = track(stem + ".mp4");
    const TrackRun r = track(damaged);
    // Decoded ahead on a thread, the frames and what is known of the damage with each frame
    // are the reader's own.
    {
        std::string error;
        auto direct = video::VideoReader::open(damaged, error);
        auto threaded = video::VideoReader::open(damaged, error);
        ASSERT_TRUE(direct && threaded) << error;
        video::DecodeAhead ahead(*threaded, 3);
        video::DecodedFrame a, b;
        for (;;) {
            const bool more = direct->next(a);
            ASSERT_EQ(ahead.next(b), more);
            ASSERT_EQ(ahead.damage().size(), direct->damage().size());
            if (!more) {
                break;
            }
            ASSERT_EQ(b.timeUs, a.timeUs);
            ASSERT_EQ(ahead.damagedBefore(), direct->damagedBefore()) << a.timeUs;
            ASSERT_TRUE(std::equal(a.pixels.begin(),
                                   a.pixels.begin() + std::ptrdiff_t{a.strideBytes} * a.height,
                                   b.pixels.begin()))
                << a.timeUs;
        }
        ASSERT_FALSE(direct->damage().empty());
        EXPECT_EQ(ahead.damage().back().toUs, direct->damage().back().toUs);
    }
    std::filesystem::remove_all(folder);
    ASSERT_EQ(r.code, 3) << r.err;
    const auto report = lines_of(r.err);
    ASSERT_FALSE(report.empty());
    EXPECT_EQ(report.front().rfind("damaged video between ", 0), 0U) << r.err;
    const std::size_t samplesAt = report.front().find(": samples ");
    ASSERT_NE(samplesAt, std::string::npos) << r.err;
    // "damaged video between 6.167 s and 6.767 s: samples 51-56"
    int first = 0, last = 0;
    ASSERT_EQ(std::sscanf(report.front().c_str() + samplesAt, ": samples %d-%d", &first, &last), 2)
        << r.err;
    const auto samples = lines_of(r.out);
    const auto wholeSamples = lines_of(whole.out);
    ASSERT_EQ(samples.size(), wholeSamples.size());
    for (std::size_t k = 0; k < samples.size(); ++k) {
        if (static_cast<int>(k) < first || static_cast<int>(k) > last) {
            EXPECT_EQ(samples[k], wholeSamples[k]) << "sample " << k;
        }
    }
}

TEST(VideoTime, ReadAsAPlayerShowsIt) {
    const struct {
        const char* text;
        std::optional<std::int64_t> us;
    } cases[] = {
        {"2.1", 2'100'000},     {"0:02.100", 2'100'000},   {"1:00:02.1", 3'602'100'000},
        {"12", 12'000'000},     {"0:2.5", 2'500'000},      {"-1", std::nullopt},
        {"0:60", std::nullopt}, {"1:2:3:4", std::nullopt}, {"a", std::nullopt},
        {"", std::nullopt},     {"0:-2", std::nullopt},    {"1:60:00", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(video::parse_video_time(c.text), c.us) << c.text;
    }
}
