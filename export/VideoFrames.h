// The arithmetic of video frames: the 2 x 2 box averaging that halves a frame
// drawn at twice the size, and the padding an encoder needs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillmere {

// A top-down image of 0xAARRGGBB words (Qt's RGB32) with its row pitch in
// bytes.
struct Rgb32View {
    const uint32_t* pixels = nullptr;
    int width = 0, height = 0;
    size_t strideBytes = 0;
};

// Each output pixel is, channel by channel, the sum of its 2 x 2 block of
// input pixels divided by 4 and truncated; an odd last row or column is
// dropped. The result is width / 2 x height / 2, tightly packed, opaque.
std::vector<uint32_t> HalveFrame(const Rgb32View& frame);
// The same into halved, whose memory is reused.
void HalveFrame(const Rgb32View& frame, std::vector<uint32_t>& halved);

// size rounded up to a multiple of multiple (1 leaves it alone).
int PaddedSize(int size, int multiple);

// Copies a width x height packed image into a paddedWidth x paddedHeight one,
// the extra columns and rows repeating the last column and row.
std::vector<uint32_t> PadFrame(const std::vector<uint32_t>& pixels, int width, int height, int paddedWidth,
                               int paddedHeight);

} // namespace quillmere
