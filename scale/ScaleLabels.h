// The five value labels beside the colour bar, in the units the user sees.
#pragma once

#include <array>
#include <string>

class CConfiguration;

constexpr int ScaleLabelCount = 5;

// One value of a quantity (stored unit) as a label shows it: the number
// right-aligned in six characters with its unit; "" for "(no scale)".
std::string ScaleValueText(int quantity, double value, const CConfiguration& configuration);

// Top to bottom: maximum, upper quarter, mid, lower quarter, minimum.
std::array<double, ScaleLabelCount> ScaleLabelValues(double minimum, double maximum);
std::array<std::string, ScaleLabelCount> ScaleLabelTexts(int quantity, double minimum, double maximum,
                                                         const CConfiguration& configuration);
