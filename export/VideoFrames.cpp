#include "export/VideoFrames.h"

#include <algorithm>

namespace quillmere {

std::vector<uint32_t> HalveFrame(const Rgb32View& frame) {
    std::vector<uint32_t> halved;
    HalveFrame(frame, halved);
    return halved;
}

void HalveFrame(const Rgb32View& frame, std::vector<uint32_t>& halved) {
    const int width = frame.width / 2, height = frame.height / 2;
    halved.resize(static_cast<size_t>(std::max(width, 0)) * static_cast<size_t>(std::max(height, 0)));
    const auto* bytes = reinterpret_cast<const unsigned char*>(frame.pixels);
    for (int y = 0; y < height; ++y) {
        const auto* top =
            reinterpret_cast<const uint32_t*>(bytes + static_cast<size_t>(2 * y) * frame.strideBytes);
        const auto* bottom =
            reinterpret_cast<const uint32_t*>(bytes + static_cast<size_t>(2 * y + 1) * frame.strideBytes);
        uint32_t* out = halved.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
        // Red and blue are summed in one word, green in another: the sums
        // of four bytes need ten bits and do not reach the next channel.
        constexpr uint32_t RedBlue = 0x00ff00ffu, Green = 0x0000ff00u;
        for (int x = 0; x < width; ++x) {
            const uint32_t a = top[2 * x], b = top[2 * x + 1], c = bottom[2 * x], d = bottom[2 * x + 1];
            const uint32_t redBlue = (a & RedBlue) + (b & RedBlue) + (c & RedBlue) + (d & RedBlue);
            const uint32_t green = (a & Green) + (b & Green) + (c & Green) + (d & Green);
            out[x] = 0xff000000u | ((redBlue >> 2) & RedBlue) | ((green >> 2) & Green);
        }
    }
}

int PaddedSize(int size, int multiple) {
    if (multiple <= 1)
        return size;
    return (size + multiple - 1) / multiple * multiple;
}

std::vector<uint32_t> PadFrame(const std::vector<uint32_t>& pixels, int width, int height, int paddedWidth,
                               int paddedHeight) {
    if (width == paddedWidth && height == paddedHeight)
        return pixels;
    std::vector<uint32_t> padded(static_cast<size_t>(paddedWidth) * static_cast<size_t>(paddedHeight));
    for (int y = 0; y < paddedHeight; ++y) {
        const uint32_t* row =
            pixels.data() + static_cast<size_t>(std::min(y, height - 1)) * static_cast<size_t>(width);
        uint32_t* out = padded.data() + static_cast<size_t>(y) * static_cast<size_t>(paddedWidth);
        std::copy(row, row + width, out);
        std::fill(out + width, out + paddedWidth, row[width - 1]);
    }
    return padded;
}

} // namespace quillmere
