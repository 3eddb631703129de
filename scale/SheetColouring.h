// The colours of the sheet's nodes for a result quantity: value to colour
// index, the per-node colour array drawn by the 3D view, and the uniform
// colour of "(no scale)".
#pragma once

#include "scale/Quantity.h"

#include <array>
#include <cstdint>
#include <vector>

namespace quillmere {

class CSheetProfile;
class ColourRamp;
class ScaleLimits;
struct DisplaySettings;

// 32 x t rounded half away from zero, t = (value - minimum) / (maximum -
// minimum); 0 for a range too small to tell from rounding. NaN when t is,
// and unbounded: ClampColourIndex makes an index of it.
double RawColourIndex(double value, double minimum, double maximum);

// 0..32; NaN counts as below 0.
int ClampColourIndex(double raw);

// The ramp index of a value: low thickness is red (0), every other quantity
// runs the other way round, low being blue (32). A value that is not a
// number, or is infinite, has ColourRamp::NoValue, whatever its sign.
int ColourIndex(double value, double minimum, double maximum, ResultQuantity quantity);

// By node number; index 0 is not a node. minimum and maximum are the limits
// the colours span. For quantity 0 the vectors are empty and the limits 0.
// Nodes whose value is not a finite number (no element uses them, or their
// elements' values are not numbers) have ColourRamp::NoValue.
struct NodeColouring {
    std::vector<double> values;
    std::vector<uint8_t> indices;
    double minimum = 0;
    double maximum = 0;
};

// The nodal values of the quantity and their colour indices. In automatic
// mode the limits span the nodal values rather than the element values the
// scale panel shows, values that are not numbers left out and a thickness
// maximum cut down to the largest initial thickness; when no node has a
// number both limits are NaN. The colouring's storage is reused.
// Quantities outside 0..7 are taken as 7.
void ColourNodes(const CSheetProfile& sheet, ResultQuantity quantity, const ScaleLimits& limits,
                 NodeColouring& colouring);

NodeColouring ColourNodes(const CSheetProfile& sheet, ResultQuantity quantity, const ScaleLimits& limits);

// opacity x 255 truncated; out-of-range opacities give the nearer of 0 and
// 255.
uint8_t SheetAlpha(double opacity);

// Red, green, blue and alpha bytes per node, by node number like the node
// coordinates (bytes 4n .. 4n + 3 for node n; node 0 all zero): the ramp
// colour of the node's index (the grey of NoValue) in the sheet display
// mode, the sheet opacity as alpha.
void FillNodeColours(const NodeColouring& colouring, const ColourRamp& ramp, const DisplaySettings& settings,
                     std::vector<uint8_t>& rgba);

// The sheet colour of "(no scale)" as red, green, blue and alpha fractions,
// darkened like the ramp in sheet display mode 1.
std::array<float, 4> UniformSheetColour(const DisplaySettings& settings);

} // namespace quillmere
