#include "scale/LimitsEditing.h"

#include "config/CConfiguration.h"
#include "core/TextFormat.h"
#include "scale/ResultQuantity.h"
#include "scale/ScaleLimits.h"

#include <cmath>

namespace quillmere {

std::string LimitsDialogTitle(ResultQuantity quantity, const std::string& quantityName,
                              const CConfiguration& configuration) {
    const QuantityTexts& texts = QuantityOf(quantity).In(configuration);
    return quantityName + (texts.unit ? FormatText(texts.limitsTitle, texts.unit) : std::string());
}

double RoundToThousandths(double value) {
    const double scaled = value * 1000.0;
    if (!std::isfinite(scaled))
        return value;
    return std::trunc(scaled < 0 ? scaled - 0.5 : scaled + 0.5) / 1000.0;
}

void PrepareFixedLimits(ScaleLimits& limits, ResultQuantity quantity, double lastMinimum,
                        double lastMaximum) {
    // A scale without numbers shows no limits to start from.
    if (limits.FixedMaximum(quantity) == 0 && std::isfinite(lastMaximum))
        limits.SetFixedMaximum(quantity, lastMaximum);
    if (limits.FixedMinimum(quantity) == 0 && std::isfinite(lastMinimum))
        limits.SetFixedMinimum(quantity, lastMinimum);
}

LimitsDialogValues LimitsDialogStart(ResultQuantity quantity, const ScaleLimits& limits,
                                     const CConfiguration& configuration, bool difference) {
    const double offset = difference ? QuantityToDisplay(quantity, 0, configuration) : 0;
    LimitsDialogValues values;
    values.minimum = RoundToThousandths(
        QuantityToDisplay(quantity, limits.FixedMinimum(quantity), configuration) - offset);
    values.maximum = RoundToThousandths(
        QuantityToDisplay(quantity, limits.FixedMaximum(quantity), configuration) - offset);
    values.fixed = limits.IsFixed(quantity);
    return values;
}

void StoreLimitsDialog(ResultQuantity quantity, const LimitsDialogValues& values, ScaleLimits& limits,
                       const CConfiguration& configuration, bool difference) {
    const double offset = difference ? QuantityFromDisplay(quantity, 0, configuration) : 0;
    limits.SetFixedMinimum(quantity, QuantityFromDisplay(quantity, values.minimum, configuration) - offset);
    limits.SetFixedMaximum(quantity, QuantityFromDisplay(quantity, values.maximum, configuration) - offset);
    limits.SetFixedMode(quantity, values.fixed ? 1 : 0);
}

} // namespace quillmere
