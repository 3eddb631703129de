#include "scale/ScaleRange.h"

#include "model/CSheetProfile.h"
#include "scale/ResultQuantity.h"

#include <cfloat>

void FoldElementValues(const CSheetProfile& sheet, int quantity, ScaleRange& range) {
    for (const CElementProfile& element : sheet.Elements())
        range.Fold(ElementValue(element, quantity));
}

ScaleRange ComputeScaleRange(const CSheetProfile& sheet, int quantity, const ScaleLimits& limits) {
    quantity = KnownQuantity(quantity);
    if (quantity == NoScale)
        return {0, 0};
    return LimitRules(quantity, limits, sheet.MaxInitialThickness(), {DBL_MAX, -DBL_MAX},
                      [&](ScaleRange& range) { FoldElementValues(sheet, quantity, range); });
}
