#include "scale/ScaleLabels.h"

#include "config/CConfiguration.h"
#include "config/Units.h"
#include "core/TextFormat.h"
#include "scale/ResultQuantity.h"

std::string ScaleValueText(int quantity, double value, const CConfiguration& configuration) {
    switch (KnownQuantity(quantity)) {
    case NoScale:
        return std::string();
    case ThicknessQuantity:
        if (configuration.IsSIMetric())
            return FormatText("%6.2lf %s", value * 1000.0, units::Millimetre);
        return FormatText("%6.3lf %s", configuration.LengthToDisplay(value * 1000.0), units::Inch);
    case TemperatureQuantity:
        return FormatText("%6.1lf %s", configuration.TemperatureToDisplay(value),
                          configuration.TemperatureUnit());
    case VonMisesQuantity:
        return FormatText("%6.3lf MPa", value);
    default:
        return FormatText("%6.3lf", value);
    }
}

std::array<double, ScaleLabelCount> ScaleLabelValues(double minimum, double maximum) {
    const double mid = (maximum + minimum) * 0.5;
    return {maximum, (maximum + mid) * 0.5, mid, (mid + minimum) * 0.5, minimum};
}

std::array<std::string, ScaleLabelCount> ScaleLabelTexts(int quantity, double minimum, double maximum,
                                                         const CConfiguration& configuration) {
    const std::array<double, ScaleLabelCount> values = ScaleLabelValues(minimum, maximum);
    std::array<std::string, ScaleLabelCount> texts;
    for (size_t k = 0; k < texts.size(); ++k)
        texts[k] = ScaleValueText(quantity, values[k], configuration);
    return texts;
}
