// Decoding plus conversion by the one video reader, in frames per second, on the formats
// cameras and phones record: H.264 at 720p30, 1080p30 and 1080p60 at 8 Mb/s, 2160p30 at
// 20 Mb/s, and HEVC 10-bit at 1080p60. The clips are made by ffmpeg from its moving test
// pattern (5 s each) in a temporary folder. Prints a table; it never passes or fails.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "video/video_reader.h"

namespace {

struct Clip {
    const char* name;
    const char* size;
    int fps;
    const char* codec;  // ffmpeg's encoder options
};

}  // namespace

int main() {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / "quillon_video_decode_bench";
    fs::create_directories(folder);
    const Clip clips[] = {
        {"720p30 H.264 8 Mb/s", "1280x720", 30, "-c:v libx264 -preset veryfast -b:v 8M"},
        {"1080p30 H.264 8 Mb/s", "1920x1080", 30, "-c:v libx264 -preset veryfast -b:v 8M"},
        {"1080p60 H.264 8 Mb/s", "1920x1080", 60, "-c:v libx264 -preset veryfast -b:v 8M"},
        {"2160p30 H.264 20 Mb/s", "3840x2160", 30, "-c:v libx264 -preset veryfast -b:v 20M"},
        {"1080p60 HEVC 10-bit", "1920x1080", 60,
         "-c:v libx265 -preset ultrafast -b:v 8M -pix_fmt yuv420p10le"},
    };
    std::printf("| Clip | Frames | Decode + convert (frames/s) | Real time |\n|---|---|---|---|\n");
    int index = 0;
    for (const Clip& clip : clips) {
        const fs::path file = folder / ("clip" + std::to_string(index++) + ".mkv");
        if (!fs::exists(file)) {
            const std::string make = std::string("ffmpeg -v error -y -f lavfi -i testsrc2=size=") +
                                     clip.size + ":rate=" + std::to_string(clip.fps) + " -t 5 " +
                                     clip.codec + " " + file.string() + " >/dev/null 2>&1";
            if (std::system(make.c_str()) != 0) {
                std::printf("| %s | could not be made | | |\n", clip.name);
                continue;
            }
        }
        std::string error;
        auto reader = quillon::video::VideoReader::open(file.string(), error);
        if (!reader) {
            std::printf("| %s | %s | | |\n", clip.name, error.c_str());
            continue;
        }
        quillon::video::DecodedFrame frame;
        int frames = 0;
        const auto began = std::chrono::steady_clock::now();
        while (reader->next(frame)) {
            ++frames;
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        const double rate = frames / seconds;
        std::printf("| %s | %d | %.0f | %.2fx |\n", clip.name, frames, rate, rate / clip.fps);
    }
    fs::remove_all(folder);
    return 0;
}
