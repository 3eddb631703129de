// The result quantities the sheet is coloured and cut by, and the value of
// each in one element.
#pragma once

#include "model/CElementProfile.h"

enum ResultQuantity {
    NoScale = 0,
    ThicknessQuantity = 1,
    TemperatureQuantity = 2,
    VonMisesQuantity = 3,
    ExtensionXQuantity = 4,
    ExtensionYQuantity = 5,
    PlanarExtensionQuantity = 6,
    StretchRatioQuantity = 7,
};

constexpr int ResultQuantityCount = 8;

// Quantities outside 0..7 are taken as the last one, as the stored tables
// indexed by quantity do.
constexpr int KnownQuantity(int quantity) {
    return quantity >= 0 && quantity < ResultQuantityCount ? quantity : StretchRatioQuantity;
}

// The profile list text of a quantity ("(no scale)", "Thickness", ...).
const char* QuantityName(int quantity);

// The value of a quantity 1..7 in an element, in its stored unit: thickness
// in metres, temperature in degrees Celsius, von Mises stress in MPa, the
// extensions and the stretch ratio dimensionless. The element's derived
// values are current whenever its sheet's node tables change, so they are
// read as stored.
double ElementValue(const CElementProfile& element, int quantity);

// Calls use(value) with value(element) giving ElementValue(element,
// quantity): loops over the elements take the quantity's branch once and
// read the field directly.
template <typename Use> void WithElementValue(int quantity, const Use& use) {
    switch (quantity) {
    case ThicknessQuantity:
        return use([](const CElementProfile& e) { return e.Thickness; });
    case TemperatureQuantity:
        return use([](const CElementProfile& e) { return e.Temperature; });
    case VonMisesQuantity:
        return use([](const CElementProfile& e) { return e.VonMisesStress(); });
    case ExtensionXQuantity:
        return use([](const CElementProfile& e) { return e.ExtensionX; });
    case ExtensionYQuantity:
        return use([](const CElementProfile& e) { return e.ExtensionY; });
    case PlanarExtensionQuantity:
        return use([](const CElementProfile& e) { return e.PlanarExtension; });
    case StretchRatioQuantity:
        return use([](const CElementProfile& e) { return e.StretchRatio; });
    default:
        return use([](const CElementProfile&) { return 0.0; });
    }
}
