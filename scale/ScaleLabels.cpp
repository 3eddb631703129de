#include "scale/ScaleLabels.h"

#include "config/CConfiguration.h"
#include "core/TextFormat.h"
#include "scale/Comparison.h"
#include "scale/ResultQuantity.h"

#include <cmath>

namespace quillmere {

std::string ScaleValueText(ResultQuantity quantity, double value, const CConfiguration& configuration) {
    const char* number = QuantityOf(quantity).In(configuration).scaleNumber;
    if (!number || !std::isfinite(value))
        return std::string();
    return FormatNumber(number, QuantityToDisplay(quantity, value, configuration)) +
           QuantityUnitSuffix(quantity, configuration);
}

std::array<double, ScaleLabelCount> ScaleLabelValues(double minimum, double maximum) {
    const double mid = (maximum + minimum) * 0.5;
    return {maximum, (maximum + mid) * 0.5, mid, (mid + minimum) * 0.5, minimum};
}

std::array<std::string, ScaleLabelCount> ScaleLabelTexts(ResultQuantity quantity, double minimum,
                                                         double maximum,
                                                         const CConfiguration& configuration) {
    const std::array<double, ScaleLabelCount> values = ScaleLabelValues(minimum, maximum);
    std::array<std::string, ScaleLabelCount> texts;
    for (size_t k = 0; k < texts.size(); ++k)
        texts[k] = ScaleValueText(quantity, values[k], configuration);
    return texts;
}

std::array<RgbColour, ColourRamp::Size> ScaleBarBands(ResultQuantity quantity, bool difference) {
    const ColourRamp& ramp = difference ? CComparison::Ramp() : ColourRamp::Plain();
    // The plain ramp runs from red (0) to blue, the diverging one from blue
    // (below 0) to red.
    const bool lastOnTop = difference || QuantityOf(quantity).highIsBlue;
    std::array<RgbColour, ColourRamp::Size> bands;
    for (int band = 0; band < ColourRamp::Size; ++band)
        bands[static_cast<size_t>(band)] = ramp.Entry(lastOnTop ? ColourRamp::LastIndex - band : band);
    return bands;
}

} // namespace quillmere
