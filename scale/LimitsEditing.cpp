#include "scale/LimitsEditing.h"

#include "config/CConfiguration.h"
#include "scale/ResultQuantity.h"
#include "scale/ScaleLimits.h"

#include <cmath>

std::string LimitsDialogTitle(int quantity, const std::string& quantityName,
                              const CConfiguration& configuration) {
    const bool si = configuration.IsSIMetric();
    switch (KnownQuantity(quantity)) {
    case ThicknessQuantity:
        return quantityName + (si ? " (mm)" : " inch");
    case TemperatureQuantity:
        return quantityName + " (" + configuration.TemperatureUnit() + ")";
    case VonMisesQuantity:
        return quantityName + " (MPa)";
    default:
        return quantityName;
    }
}

double RoundToThousandths(double value) {
    const double scaled = value * 1000.0;
    if (!std::isfinite(scaled))
        return value;
    return std::trunc(scaled < 0 ? scaled - 0.5 : scaled + 0.5) / 1000.0;
}

double LimitToDisplay(int quantity, double stored, const CConfiguration& configuration) {
    switch (KnownQuantity(quantity)) {
    case ThicknessQuantity:
        return configuration.LengthToDisplay(stored * 1000.0);
    case TemperatureQuantity:
        return configuration.TemperatureToDisplay(stored);
    default:
        return stored;
    }
}

double LimitFromDisplay(int quantity, double display, const CConfiguration& configuration) {
    switch (KnownQuantity(quantity)) {
    case ThicknessQuantity:
        return configuration.LengthFromDisplay(display) * 0.001;
    case TemperatureQuantity:
        return configuration.TemperatureFromDisplay(display);
    default:
        return display;
    }
}

void PrepareFixedLimits(ScaleLimits& limits, int quantity, double lastMinimum, double lastMaximum) {
    if (limits.FixedMaximum(quantity) == 0)
        limits.SetFixedMaximum(quantity, lastMaximum);
    if (limits.FixedMinimum(quantity) == 0)
        limits.SetFixedMinimum(quantity, lastMinimum);
}

LimitsDialogValues LimitsDialogStart(int quantity, const ScaleLimits& limits,
                                     const CConfiguration& configuration) {
    LimitsDialogValues values;
    values.minimum =
        RoundToThousandths(LimitToDisplay(quantity, limits.FixedMinimum(quantity), configuration));
    values.maximum =
        RoundToThousandths(LimitToDisplay(quantity, limits.FixedMaximum(quantity), configuration));
    values.fixed = limits.IsFixed(quantity);
    return values;
}

void StoreLimitsDialog(int quantity, const LimitsDialogValues& values, ScaleLimits& limits,
                       const CConfiguration& configuration) {
    limits.SetFixedMinimum(quantity, LimitFromDisplay(quantity, values.minimum, configuration));
    limits.SetFixedMaximum(quantity, LimitFromDisplay(quantity, values.maximum, configuration));
    limits.SetFixedMode(quantity, values.fixed ? 1 : 0);
}
