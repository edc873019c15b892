// Writes the frames of a test video as raw RGB24 to standard output, for ffmpeg to encode:
//   quillon-test-video-frames WIDTH HEIGHT COUNT | ffmpeg -f rawvideo -pix_fmt rgb24 ...
#include <cstdio>
#include <cstdlib>

#include "frame_pattern.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s WIDTH HEIGHT COUNT\n", argv[0]);
        return 2;
    }
    const int width = std::atoi(argv[1]);
    const int height = std::atoi(argv[2]);
    const int count = std::atoi(argv[3]);
    if (width < 64 || height < 48 || count < 1 || count >= (1 << quillon::test_video::indexBits)) {
        std::fprintf(stderr, "bad size or count\n");
        return 2;
    }
    for (int index = 0; index < count; ++index) {
        const auto rgb = quillon::test_video::frameRgb(index, width, height);
        if (std::fwrite(rgb.data(), 1, rgb.size(), stdout) != rgb.size()) {
            return 1;
        }
    }
    return 0;
}
