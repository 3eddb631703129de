#include "scale/ScaleLimits.h"

size_t ScaleLimits::Entry(int quantity) {
    return quantity >= 0 && quantity < static_cast<int>(Entries) ? static_cast<size_t>(quantity)
                                                                 : Entries - 1;
}
