// What the limits dialog shows and stores: its title, the values in the
// units the user sees rounded to three decimals, and the way back to the
// stored units.
#pragma once

#include "scale/Quantity.h"

#include <string>

namespace quillmere {

class CConfiguration;
class ScaleLimits;

// The quantity's name with its unit: " (mm)", " (°C)", " (MPa)" under SI,
// " inch", " (°F)", " (MPa)" under US customary, nothing for the others.
std::string LimitsDialogTitle(ResultQuantity quantity, const std::string& quantityName,
                              const CConfiguration& configuration);

// Half away from zero at the third decimal; values too large for that are
// kept.
double RoundToThousandths(double value);

// Before the dialog opens: a fixed value never set (exactly 0) takes the
// limit last shown on the panel, so the dialog starts from what the user sees.
void PrepareFixedLimits(ScaleLimits& limits, ResultQuantity quantity, double lastMinimum, double lastMaximum);

struct LimitsDialogValues {
    double minimum = 0; // display units, rounded
    double maximum = 0;
    bool fixed = false;
};

// What the dialog starts with: the fixed values of the quantity. Limits of
// differences convert without the units' offset (Fahrenheit's 32).
LimitsDialogValues LimitsDialogStart(ResultQuantity quantity, const ScaleLimits& limits,
                                     const CConfiguration& configuration, bool difference = false);

// OK: the values typed (display units) become the fixed values, and the mode
// follows the radio.
void StoreLimitsDialog(ResultQuantity quantity, const LimitsDialogValues& values, ScaleLimits& limits,
                       const CConfiguration& configuration, bool difference = false);

} // namespace quillmere
