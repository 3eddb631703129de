// The minimum wall a view marks: the elements thinner than it are drawn in
// one warning colour outside the ramps, with a swatch and the wall under the
// colour bar and their share of the area on the scale panel.
#pragma once

#include "model/FormingSummary.h"
#include "scale/ColourRamp.h"

#include <string>

namespace quillmere {

class CConfiguration;
class CSheetProfile;

// Magenta: no colour of the plain ramp (red through yellow to blue) or of
// the diverging one (blue through white to red), and far from the grey of
// values that are not numbers.
constexpr RgbColour MinimumWallColour = {255, 0, 255};

// What a view shows of its minimum wall; none when the wall is not above 0.
struct MinimumWallShown {
    MinimumWallShare share;
    // "Below 0.80 mm", beside the swatch under the bar.
    std::string label;
    // "Below 0.80 mm: 3.2 % of the area (412 elements)".
    std::string line;

    bool Shown() const { return share.wall > 0; }
};

// "Below 0.80 mm" ("Below 0.031 inch"), the wall in metres.
std::string MinimumWallLabel(double wall, const CConfiguration& configuration);

// The share of sheet below wall (metres) with its texts in units (none
// without units); without a sheet only the wall is known.
MinimumWallShown ShowMinimumWall(const CSheetProfile* sheet, double wall, const CConfiguration* units);

} // namespace quillmere
