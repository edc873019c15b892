#pragma once

#include <cstdint>
#include <vector>

namespace quillon::test_video {

// Each frame of a test video shows its own index as a row of bars, most significant bit first:
// a white bar is a one, a black bar a zero. The bars are wide and tall so that they survive
// lossy compression and scaling, and can be read back from any decoded frame.
constexpr int indexBits = 12;

struct Bar {
    int left, top, width, height;
};

// Where bit `bit` (0 = most significant) sits in a frame of the given size.
inline Bar indexBar(int bit, int width, int height) {
    const int slot = width / (indexBits + 2);
    return {slot * (bit + 1) + slot / 6, height / 8, slot * 2 / 3, height / 4};
}

// One frame as packed RGB24, row by row. Below the bars, a grey ramp that moves with the
// index gives the encoder something to do and the eye something to follow.
inline std::vector<std::uint8_t> frameRgb(int index, int width, int height) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            const bool lower = y >= height / 2;
            const auto ramp = static_cast<std::uint8_t>((x * 255 / width + index * 4) & 0xff);
            p[0] = lower ? ramp : 40;
            p[1] = lower ? ramp : 90;
            p[2] = lower ? ramp : 140;
        }
    }
    for (int bit = 0; bit < indexBits; ++bit) {
        const bool one = (index >> (indexBits - 1 - bit)) & 1;
        const Bar bar = indexBar(bit, width, height);
        for (int y = bar.top; y < bar.top + bar.height; ++y) {
            for (int x = bar.left; x < bar.left + bar.width; ++x) {
                std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
                p[0] = p[1] = p[2] = one ? 255 : 0;
            }
        }
    }
    return rgb;
}

// Reads the index back from a decoded frame; `grey(x, y)` gives a pixel's brightness 0..255.
template <typename Grey>
int readIndex(Grey grey, int width, int height) {
    int index = 0;
    for (int bit = 0; bit < indexBits; ++bit) {
        const Bar bar = indexBar(bit, width, height);
        const int level = grey(bar.left + bar.width / 2, bar.top + bar.height / 2);
        index = index * 2 + (level >= 128 ? 1 : 0);
    }
    return index;
}

}  // namespace quillon::test_video
