// The 33 colours of the scale, red through yellow to blue, and how the sheet
// display mode darkens them.
#pragma once

#include "config/DisplaySettings.h"

#include <array>
#include <cstdint>

namespace quillmere {

struct RgbColour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

class ColourRamp {
public:
    static constexpr int Size = 33;
    static constexpr int LastIndex = Size - 1;
    // The index of a node whose value is not a number, drawn in a dark grey
    // that is no colour of either ramp (whose nearest entries are the olive
    // greys and near-whites around their middles).
    static constexpr int NoValue = Size;
    static constexpr RgbColour NoValueColour = {64, 64, 64};

    ColourRamp();
    // The ramp of plain values, made once.
    static const ColourRamp& Plain();
    // The ramp of differences: blue at 0 through white at the centre (16)
    // to red at 32, in the same steps of 15.
    static ColourRamp Diverging();

    // NoValue gives NoValueColour; another index outside 0..32 is taken as
    // the nearer end.
    RgbColour Entry(int index) const;

    const std::array<uint8_t, Size>& Red() const { return red; }
    const std::array<uint8_t, Size>& Green() const { return green; }
    const std::array<uint8_t, Size>& Blue() const { return blue; }

private:
    std::array<uint8_t, Size> red{};
    std::array<uint8_t, Size> green{};
    std::array<uint8_t, Size> blue{};
};

// Sheet display mode 1 draws the elements without edges; its colours are
// darkened so the shading still shows the mesh. Modes 0 and 2 keep them.
uint8_t DisplayModeComponent(uint8_t component, SheetDisplayMode sheetDisplayMode);

// The ramp entry of a colour index as drawn in the given sheet display mode.
RgbColour VertexColour(const ColourRamp& ramp, int colourIndex, SheetDisplayMode sheetDisplayMode);

} // namespace quillmere
