#include "scale/ResultQuantity.h"

#include "config/CConfiguration.h"
#include "config/Units.h"

#include <iterator>

namespace quillmere {

namespace {

// Per system: unit word, scale label number, limits dialog title after the
// name, the profile CSV's value unit.
constexpr QuantityTexts None = {nullptr, nullptr, "", "1"};
constexpr QuantityTexts Plain = {nullptr, "%6.3lf", "", "1"};
constexpr QuantityTexts Percent = {"%", "%6.2lf", " (%s)", "percent"};
// Record numbers; the labels between the first and the last fall between
// records.
constexpr QuantityTexts Record = {nullptr, "%6.1lf", "", "record"};

// clang-format off
// One row per quantity, in the order of ResultQuantity.
constexpr QuantityInfo Quantities[] = {
    // name, graph title, help word, nodal, high is blue, unit, data tip number, SI texts, US texts
    {"(no scale)", "", "", true, false, QuantityUnit::None, nullptr, None, None},
    {"Thickness", "Thickness", "thickness", true, true, QuantityUnit::Length, "%6.3lf",
     {units::Millimetre, "%6.2lf", " (%s)", "mm"}, {units::Inch, "%6.3lf", " %s", "inch"}},
    {"Temperature", "Temperature", "temperature", true, false, QuantityUnit::Temperature, "%6.1lf",
     {units::Celsius, "%6.1lf", " (%s)", "C"}, {units::Fahrenheit, "%6.1lf", " (%s)", "F"}},
    {"Stress von Mises", "Von Mises stress", "von Mises stress", false, false, QuantityUnit::Stress, nullptr,
     {units::Megapascal, "%6.3lf", " (%s)", "MPa"}, {units::Megapascal, "%6.3lf", " (%s)", "psi"}},
    {"Extension in X", "Extension in x", "extension in x", true, false, QuantityUnit::None, nullptr,
     Plain, Plain},
    {"Extension in Y", "Extension in y", "extension in y", true, false, QuantityUnit::None, nullptr,
     Plain, Plain},
    {"Planar extension", "Planar extension", "planar extension", true, false, QuantityUnit::None, nullptr,
     Plain, Plain},
    {"L1 / L2", "L1 / L2", "L1 / L2", true, false, QuantityUnit::None, nullptr, Plain, Plain},
    {"Thinning", "Thinning", "thinning", true, false, QuantityUnit::None, "%6.2lf", Percent, Percent},
    // A node's own value, not its elements' mean (see FillNodalValues).
    {"First contact", "First contact record", "first contact", true, false, QuantityUnit::None, "%.0lf",
     Record, Record},
};
// clang-format on
static_assert(std::size(Quantities) == ResultQuantityCount, "a row for every quantity");

} // namespace

const QuantityTexts& QuantityInfo::In(const CConfiguration& configuration) const {
    return configuration.IsSIMetric() ? si : us;
}

const QuantityInfo& QuantityOf(ResultQuantity quantity) {
    return Quantities[QuantityIndex(quantity)];
}

const char* QuantityName(ResultQuantity quantity) {
    return QuantityOf(quantity).name;
}

double QuantityToDisplay(ResultQuantity quantity, double stored, const CConfiguration& configuration) {
    switch (QuantityOf(quantity).unit) {
    case QuantityUnit::Length:
        return configuration.LengthToDisplay(stored * 1000.0);
    case QuantityUnit::Temperature:
        return configuration.TemperatureToDisplay(stored);
    default:
        return stored;
    }
}

double QuantityFromDisplay(ResultQuantity quantity, double display, const CConfiguration& configuration) {
    switch (QuantityOf(quantity).unit) {
    case QuantityUnit::Length:
        return configuration.LengthFromDisplay(display) * 0.001;
    case QuantityUnit::Temperature:
        return configuration.TemperatureFromDisplay(display);
    default:
        return display;
    }
}

// Through the unit shown under SI, so lengths keep their exact factor.
double QuantityBetweenSystems(ResultQuantity quantity, double display, const CConfiguration& from,
                              const CConfiguration& to) {
    switch (QuantityOf(quantity).unit) {
    case QuantityUnit::Length:
        return to.LengthToDisplay(from.LengthFromDisplay(display));
    case QuantityUnit::Temperature:
        return to.TemperatureToDisplay(from.TemperatureFromDisplay(display));
    default:
        return display;
    }
}

std::string QuantityUnitSuffix(ResultQuantity quantity, const CConfiguration& configuration) {
    const char* unit = QuantityOf(quantity).In(configuration).unit;
    return unit ? std::string(" ") + unit : std::string();
}

double ElementValue(const CSheetProfile& sheet, size_t element, ResultQuantity quantity) {
    double result = 0;
    WithElementValue(sheet, quantity, [&](auto value) { result = value(element); });
    return result;
}

} // namespace quillmere
