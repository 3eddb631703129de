#include "scale/ResultQuantity.h"

const char* QuantityName(int quantity) {
    static const char* const names[ResultQuantityCount] = {
        "(no scale)",     "Thickness",      "Temperature",      "Stress von Mises",
        "Extension in X", "Extension in Y", "Planar extension", "L1 / L2"};
    return names[KnownQuantity(quantity)];
}

double ElementValue(const CElementProfile& element, int quantity) {
    double result = 0;
    WithElementValue(quantity, [&](auto value) { result = value(element); });
    return result;
}
