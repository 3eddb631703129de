#include "scale/ResultQuantity.h"

#include "model/CElementProfile.h"

const char* QuantityName(int quantity) {
    static const char* const names[ResultQuantityCount] = {
        "(no scale)",     "Thickness",      "Temperature",      "Stress von Mises",
        "Extension in X", "Extension in Y", "Planar extension", "L1 / L2"};
    return names[KnownQuantity(quantity)];
}

double ElementValue(const CElementProfile& element, int quantity) {
    switch (quantity) {
    case ThicknessQuantity:
        return element.Thickness;
    case TemperatureQuantity:
        return element.Temperature;
    case VonMisesQuantity:
        return element.VonMisesStress();
    case ExtensionXQuantity:
        return element.ExtensionX;
    case ExtensionYQuantity:
        return element.ExtensionY;
    case PlanarExtensionQuantity:
        return element.PlanarExtension;
    case StretchRatioQuantity:
        return element.StretchRatio;
    default:
        return 0;
    }
}
