// Colours of the settings and the configuration file: one integer,
// 0x00BBGGRR, red in the lowest byte, then green, then blue.
#pragma once

#include <array>
#include <cstdint>

namespace quillmere {

// The red, green and blue bytes of a colour.
constexpr std::array<uint8_t, 3> ColourBytes(int colour) {
    const uint32_t bits = static_cast<uint32_t>(colour);
    return {static_cast<uint8_t>(bits & 0xFFu), static_cast<uint8_t>((bits >> 8) & 0xFFu),
            static_cast<uint8_t>((bits >> 16) & 0xFFu)};
}

// The colour of three bytes.
constexpr int MakeColour(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<int>(static_cast<uint32_t>(red) | static_cast<uint32_t>(green) << 8 |
                            static_cast<uint32_t>(blue) << 16);
}

} // namespace quillmere
