#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/cli_runs.h"
#include "support/file_words.h"
#include "support/temp_folder.h"

using namespace quillon;
using test_support::CliRun;
namespace fs = std::filesystem;

namespace {

const std::string videos = QUILLON_TRUTH_VIDEOS;

std::string bytes_of(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// quillon-cli track on a rendered pass with the renderer's start, mark and pass, and MORE.
std::vector<std::string> track_words(const std::string& video, const std::string& setup,
                                     const std::string& pass, std::vector<std::string> more) {
    std::vector<std::string> words{"track", video, "--setup", setup};
    for (const std::string& word : quillon::testing::words_of(videos + "/" + pass + ".args")) {
        words.push_back(word);
    }
    words.insert(words.end(), more.begin(), more.end());
    return words;
}

}  // namespace

// track never answers wrong in silence: what cannot be right is refused with one line that
// names the likely cause and exit code 2, no output is left half written or written at all
// after a refusal, and no input is ever an output.
TEST(TrackRobustness, RefusesWhatCannotBeRightAndLeavesNothingBehind) {
    test_support::TempFolder folder;
    const std::string pass = "slalom_towards_720p25";
    const std::string video = videos + "/" + pass + ".mp4";
    const std::string setup = videos + "/" + pass + ".ipt";
    const std::string smallVideo = videos + "/short_360p25.mp4";
    std::ofstream(folder.file("notes.mp4")) << "not a video at all\n";
    {
        const std::string whole = bytes_of(video);
        std::ofstream(folder.file("cut.mp4"), std::ios::binary) << whole.substr(0, 4000);
    }
    fs::create_directory(folder.file("a folder.mp4"));
    ASSERT_EQ(mkfifo(folder.file("pipe.mp4").c_str(), 0600), 0);
    const std::string videoBefore = bytes_of(video);
    const std::string setupBefore = bytes_of(setup);
    const struct {
        const char* what;
        std::vector<std::string> words;
        std::string says;
        std::string leavesNothingAt;  // an output that must not exist afterwards
    } cases[] = {
        {"the input video as --annotate", track_words(video, setup, pass, {"--annotate", video}),
         "is the video", ""},
        {"the setup file as --detail", track_words(video, setup, pass, {"--detail", setup}),
         "is the setup file", ""},
        {"a 640 x 360 video with a setup marked on 1280 x 720",
         track_words(smallVideo, setup, pass, {}), "this video is 640 x 360: give --surface W,H",
         ""},
        {"a surface of one pixel", track_words(video, setup, pass, {"--surface", "1,1"}),
         "--surface 1 x 1 is too small for the setup's buoys", ""},
        {"a picture given as the video",
         track_words(QUILLON_DATA_DIR "/SlalomOK.bmp", setup, pass, {}),
         "is a picture, not a video", ""},
        {"a text file named .mp4", track_words(folder.file("notes.mp4"), setup, pass, {}),
         "cannot be read", ""},
        {"a truncated video", track_words(folder.file("cut.mp4"), setup, pass, {}), "Video", ""},
        {"a pipe with no writer as the video",
         track_words(folder.file("pipe.mp4"), setup, pass, {}), "not a regular file", ""},
        {"/dev/zero as the video", track_words("/dev/zero", setup, pass, {}), "not a regular file",
         ""},
        {"--annotate into a missing folder",
         track_words(video, setup, pass, {"--annotate", folder.file("no/such/out.mp4")}),
         "does not exist", folder.file("no/such/out.mp4")},
        {"--annotate onto a folder",
         track_words(video, setup, pass, {"--annotate", folder.file("a folder.mp4")}), "folder",
         ""},
        {"a video that ends before the pass, with --annotate",
         track_words(smallVideo, videos + "/short_360p25.ipt", "short_360p25",
                     {"--annotate", folder.file("short.mp4")}),
         "before the pass does", folder.file("short.mp4")},
    };
    for (const auto& c : cases) {
        const CliRun run = test_support::run_cli(c.words);
        EXPECT_EQ(run.exitCode, 2) << c.what << ": " << run.err;
        EXPECT_EQ(run.out, "") << c.what;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << c.what << ": " << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << c.what << ": " << run.err;
        if (!c.leavesNothingAt.empty()) {
            EXPECT_FALSE(fs::exists(c.leavesNothingAt)) << c.what;
        }
    }
    // Nothing but what was asked for was written, and no input changed.
    for (const auto& entry : fs::directory_iterator(folder.str())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "notes.mp4" || name == "cut.mp4" || name == "a folder.mp4" ||
                    name == "pipe.mp4")
            << name;
    }
    EXPECT_EQ(bytes_of(video), videoBefore);
    EXPECT_EQ(bytes_of(setup), setupBefore);
}

// An annotated video that does not fit on the disk is refused with exit code 2 and leaves
// nothing at its name, not a file that players cannot read; one that fits is moved there whole.
TEST(TrackRobustness, AnAnnotatedVideoIsWrittenWholeOrNotAtAll) {
    test_support::TempFolder folder;
    const std::string full = "slalom_towards_720p25";
    std::string fullWords;
    for (const std::string& word : quillon::testing::words_of(videos + "/" + full + ".args")) {
        fullWords.append(" ").append(test_support::shell_quoted(word));
    }
    std::string track = test_support::shell_quoted(QUILLON_CLI_PATH);
    track.append(" track ")
        .append(test_support::shell_quoted(videos + "/" + full + ".mp4"))
        .append(" --setup ")
        .append(test_support::shell_quoted(videos + "/" + full + ".ipt"))
        .append(fullWords);
    fs::create_directory(folder.file("small"));
    std::string inside = "mount -t tmpfs -o size=256k tmpfs small || exit 99; ";
    inside.append(track).append(
        " --annotate small/out.mp4 >stdout.txt 2>stderr.txt; ls -a small >listing.txt");
    std::string command = "unshare -rm sh -c ";
    command.append(test_support::shell_quoted(inside)).append(" 2>/dev/null");
    const CliRun small = test_support::run_shell(command, folder.str());
    if (small.exitCode == 99) {
        GTEST_SKIP() << "SKIPPED: this machine allows no tmpfs in a user namespace";
    }
    const std::string listing = bytes_of(folder.file("listing.txt"));
    EXPECT_EQ(small.out, "");
    EXPECT_NE(small.err.find("--annotate"), std::string::npos) << small.err;
    EXPECT_EQ(listing.find("out.mp4"), std::string::npos) << listing;
    EXPECT_EQ(listing.find("partial"), std::string::npos) << listing;

    const CliRun whole = test_support::run_shell(
        track.append(" --annotate out.mp4 >stdout.txt 2>stderr.txt"), folder.str());
    EXPECT_EQ(whole.exitCode, 0) << whole.err;
    EXPECT_TRUE(fs::is_regular_file(folder.file("out.mp4")));
    EXPECT_GT(fs::file_size(folder.file("out.mp4")), 10000U);
}
