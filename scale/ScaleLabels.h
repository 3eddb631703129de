// The five value labels beside the colour bar, in the units the user sees.
#pragma once

#include "scale/ColourRamp.h"
#include "scale/Quantity.h"

#include <array>
#include <string>

namespace quillmere {

class CConfiguration;

constexpr int ScaleLabelCount = 5;

// One value of a quantity (stored unit) as a label shows it: the number
// right-aligned in six characters with its unit, never a minus sign before
// a zero; "" for "(no scale)" and for a value that is not a finite number
// (limits of a sheet without numbers).
std::string ScaleValueText(ResultQuantity quantity, double value, const CConfiguration& configuration);

// Top to bottom: maximum, upper quarter, mid, lower quarter, minimum.
std::array<double, ScaleLabelCount> ScaleLabelValues(double minimum, double maximum);
// The colours of the bar's 33 bands, top first, each beside the label
// values it spans: the maximum on top, so blue on top for a quantity whose
// high values are blue and red on top for every other quantity and for
// differences (red above 0).
std::array<RgbColour, ColourRamp::Size> ScaleBarBands(ResultQuantity quantity, bool difference);

std::array<std::string, ScaleLabelCount> ScaleLabelTexts(ResultQuantity quantity, double minimum,
                                                         double maximum, const CConfiguration& configuration);

} // namespace quillmere
