#include "scale/Presentation.h"

#include "config/CConfiguration.h"
#include "scale/Comparison.h"
#include "scale/LimitsEditing.h"

namespace quillmere {

namespace {

constexpr const char* Delta = "\xce\x94 "; // U+0394 and a space

void FillTexts(Presentation& shown, const CConfiguration& units) {
    const ResultQuantity quantity = shown.quantity;
    const std::string delta = shown.Difference() ? Delta : "";
    shown.labels = shown.Difference()
                       ? DifferenceLabelTexts(quantity, shown.limits.minimum, shown.limits.maximum, units)
                       : ScaleLabelTexts(quantity, shown.limits.minimum, shown.limits.maximum, units);
    shown.limitsTitle = delta + LimitsDialogTitle(quantity, QuantityName(quantity), units);
    shown.valueUnit = QuantityUnitSuffix(quantity, units);
    const char* unit = QuantityOf(quantity).In(units).unit;
    shown.axisTitle =
        QuantityOf(quantity).graphTitle + (unit ? std::string(" (") + unit + ")" : std::string());
}

} // namespace

Presentation MakePresentation(const PresentationSource& source) {
    Presentation shown;
    shown.quantity = source.quantity;
    shown.comparison = source.comparison;
    shown.setting = source.limits;
    CComparison* comparison = source.comparison.get();
    if (source.sheet)
        shown.limits = comparison ? comparison->DifferenceLimits(*source.sheet, shown.quantity, source.limits)
                                  : ComputeScaleRange(*source.sheet, shown.quantity, source.limits);
    else if (shown.quantity != ResultQuantity::None && source.limits.IsFixed(shown.quantity))
        shown.limits = {source.limits.FixedMinimum(shown.quantity),
                        source.limits.FixedMaximum(shown.quantity)};
    shown.ramp = comparison ? &CComparison::Ramp() : &ColourRamp::Plain();
    shown.bands = ScaleBarBands(shown.quantity, comparison != nullptr);
    shown.labelValues = comparison ? DifferenceLabelValues(shown.limits.minimum, shown.limits.maximum)
                                   : ScaleLabelValues(shown.limits.minimum, shown.limits.maximum);
    shown.title =
        comparison ? comparison->ScaleTitle(shown.quantity, source.record) : QuantityName(shown.quantity);
    if (source.units)
        FillTexts(shown, *source.units);
    shown.minimumWall = ShowMinimumWall(source.sheet, source.minimumWall, source.units);
    return shown;
}

void ColourPresented(const CSheetProfile& sheet, const Presentation& shown, NodeColouring& colouring) {
    if (shown.comparison)
        shown.comparison->ColourDifferences(sheet, shown.quantity, shown.setting, colouring);
    else
        ColourNodes(sheet, shown.quantity, shown.setting, colouring);
}

} // namespace quillmere
