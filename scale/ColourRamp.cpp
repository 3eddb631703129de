#include "scale/ColourRamp.h"

#include <algorithm>
#include <cstdlib>

namespace quillmere {

ColourRamp::ColourRamp() {
    for (int i = 0; i <= 16; ++i) {
        red[static_cast<size_t>(i)] = 255;
        green[static_cast<size_t>(i)] = static_cast<uint8_t>(15 * i);
        blue[static_cast<size_t>(i)] = 0;
    }
    for (int i = 17; i < Size; ++i) {
        const int k = i - 16;
        red[static_cast<size_t>(i)] = static_cast<uint8_t>(255 - 15 * k);
        green[static_cast<size_t>(i)] = static_cast<uint8_t>(255 - 15 * k);
        blue[static_cast<size_t>(i)] = static_cast<uint8_t>(15 * k);
    }
}

const ColourRamp& ColourRamp::Plain() {
    static const ColourRamp ramp;
    return ramp;
}

ColourRamp ColourRamp::Diverging() {
    ColourRamp ramp;
    for (int i = 0; i < Size; ++i) {
        const size_t at = static_cast<size_t>(i);
        const uint8_t fade = static_cast<uint8_t>(255 - 15 * std::abs(i - LastIndex / 2));
        ramp.red[at] = i < LastIndex / 2 ? fade : 255;
        ramp.green[at] = fade;
        ramp.blue[at] = i > LastIndex / 2 ? fade : 255;
    }
    return ramp;
}

RgbColour ColourRamp::Entry(int index) const {
    if (index == NoValue)
        return NoValueColour;
    const size_t i = static_cast<size_t>(std::clamp(index, 0, LastIndex));
    return {red[i], green[i], blue[i]};
}

uint8_t DisplayModeComponent(uint8_t component, SheetDisplayMode sheetDisplayMode) {
    if (sheetDisplayMode != SheetDisplayMode::Elements)
        return component;
    return static_cast<uint8_t>(static_cast<double>(component) * 0.5128205128205129);
}

RgbColour VertexColour(const ColourRamp& ramp, int colourIndex, SheetDisplayMode sheetDisplayMode) {
    const RgbColour entry = ramp.Entry(colourIndex);
    return {DisplayModeComponent(entry.red, sheetDisplayMode),
            DisplayModeComponent(entry.green, sheetDisplayMode),
            DisplayModeComponent(entry.blue, sheetDisplayMode)};
}

} // namespace quillmere
