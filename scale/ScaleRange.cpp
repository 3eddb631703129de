#include "scale/ScaleRange.h"

#include "model/CSheetProfile.h"
#include "scale/ResultQuantity.h"
#include "scale/ScaleLimits.h"

#include <cfloat>

ScaleRange ComputeScaleRange(const CSheetProfile& sheet, int quantity, const ScaleLimits& limits) {
    quantity = KnownQuantity(quantity);
    if (quantity == NoScale)
        return {0, 0};
    if (limits.IsFixed(quantity))
        return {limits.FixedMinimum(quantity), limits.FixedMaximum(quantity)};
    ScaleRange range{DBL_MAX, -DBL_MAX};
    // Both comparisons are false for a value that is not a number, which
    // leaves it out.
    for (const CElementProfile& element : sheet.Elements()) {
        const double value = ElementValue(element, quantity);
        if (value < range.minimum)
            range.minimum = value;
        if (value > range.maximum)
            range.maximum = value;
    }
    // Thinning is what the scale is read for; the few elements squeezed
    // thicker than the sheet ever was would stretch it.
    if (quantity == ThicknessQuantity && sheet.MaxInitialThickness() < range.maximum)
        range.maximum = sheet.MaxInitialThickness();
    return range;
}
