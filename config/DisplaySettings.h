// The display options a 3D view starts from. The configuration holds the
// defaults; every view keeps and edits its own copy.
#pragma once

#include "config/ToolSlots.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace quillmere {

// How the sheet is drawn. Kept in the configuration file as its number; a
// number outside these is kept as it is, and draws the edges only.
enum class SheetDisplayMode : int {
    ElementsAndEdges = 0,
    Elements = 1, // lit, without edges; its colours darker
    Edges = 2,
};

// Colours are 0x00BBGGRR: red in the lowest byte, then green, then blue.
constexpr int kWhite = 16777215;

struct ToolDisplay {
    int shown = 1;
    double opacity = 0.9;
    int mode = 0; // 0 shaded, 1 wire frame, 2 shaded with wire frame
    int contactMarking = 1;
    int surfaceColour = kWhite;
    int wireColour = 8453888;     // (0, 255, 128)
    int contactColour = 16711680; // (0, 0, 255); see DefaultTools for the others
};

// Neighbouring tools get different contact colours, so their marks on the
// sheet can be told apart.
inline std::array<ToolDisplay, kToolSlots> DefaultTools() {
    const int contact[kToolSlots] = {16711680, 65280,    16711808, 65408,    16744448,
                                     8453888,  16711680, 16711680, 16711680, 16711680};
    std::array<ToolDisplay, kToolSlots> tools;
    for (int slot = 0; slot < kToolSlots; ++slot)
        tools[slot].contactColour = contact[slot];
    return tools;
}

struct DisplaySettings {
    int fixedNodesShown = 1;
    int boundaryNodesShown = 1;
    int sheetShown = 1;
    int clampedNodesShown = 1;
    int noPressureNodesShown = 1;
    // Off: on large sheets the dots hide the elements they sit on.
    int nodeDotsShown = 0;
    int distanceMeasurement = 0;
    int continualRotation = 0;
    // Sheets with more elements than this draw wireframes while dragging.
    // Not kept in the configuration file.
    int reducedDrawingThreshold = 1000000;
    double sheetOpacity = 0.9;
    std::array<ToolDisplay, kToolSlots> tools = DefaultTools();
    SheetDisplayMode sheetDisplayMode = SheetDisplayMode::Elements;
    int sheetEdgeColour = 51;           // (51, 0, 0)
    int sheetColour = 12895232;         // (0, 196, 196)
    int fixedNodeColour = 255;          // (255, 0, 0)
    int clampedNodeColour = 8421631;    // (255, 128, 128)
    int boundaryNodeColour = 16711935;  // (255, 0, 255)
    int noPressureNodeColour = 4227268; // (196, 128, 64), not kept in the file
    int backgroundScheme = 1;           // 0 one colour, 1 two colours, 2 four colours
    int backgroundColour = kWhite;      // one-colour scheme
    int backgroundTop = 16755370;       // (170, 170, 255)
    int backgroundBottom = 13500416;    // (0, 0, 206)
    std::array<int, 4> backgroundCorners = {kWhite, 16745054, 16745054, 16711680};
};

// What a field holds and how the graphical options edit it.
enum class DisplayFieldKind {
    Toggle,  // 0 off, anything else on; a tick box or toggle button
    Colour,  // 0x00BBGGRR; a swatch
    Mode,    // 0..2; a list of three
    Opacity, // 0..1; a slider
    Count,   // not edited
};

// The configuration file line a field is kept on; None: not kept.
enum class DisplayLine { None, Tool, Grid, Background };

struct DisplayField {
    std::string name; // also the object name of its control in the graphical options
    DisplayFieldKind kind;
    DisplayLine line;
    int slot; // tool fields: the slot; -1 otherwise
    // Every kind but Opacity: the field as the number the file keeps.
    std::function<int(const DisplaySettings&)> integer;
    std::function<void(DisplaySettings&, int)> setInteger;
    std::function<double&(DisplaySettings&)> real; // Opacity
};

// Every field of DisplaySettings, the defaults being its initialisers. The
// fields of a line come in the order the file has them; a tool line's after
// its slot.
const std::vector<DisplayField>& DisplayFields();
// The field of a name; nullptr when there is none.
const DisplayField* FindDisplayField(const std::string& name);

// The view's own display commands. A tool slot out of range changes nothing.
void ToggleSheetShown(DisplaySettings& settings);
void ToggleToolShown(DisplaySettings& settings, int slot);
// Shaded, wire frame, shaded with wire frame, and round again.
void StepToolDisplayMode(DisplaySettings& settings, int slot);
void ToggleNodeDots(DisplaySettings& settings);
void ToggleDistanceMeasurement(DisplaySettings& settings);

} // namespace quillmere
