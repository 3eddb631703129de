// The user's fixed limits of the colour scale, one entry per result
// quantity; a view starts with every quantity automatic and every fixed value
// 0.
#pragma once

#include "scale/Quantity.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace quillmere {

class ScaleLimits {
public:
    // 0: automatic limits; any other value: the fixed limits below.
    uint32_t FixedMode(ResultQuantity quantity) const { return fixedMode[QuantityIndex(quantity)]; }
    bool IsFixed(ResultQuantity quantity) const { return FixedMode(quantity) != 0; }
    // In the quantity's stored unit.
    double FixedMaximum(ResultQuantity quantity) const { return fixedMaximum[QuantityIndex(quantity)]; }
    double FixedMinimum(ResultQuantity quantity) const { return fixedMinimum[QuantityIndex(quantity)]; }

    void SetFixedMode(ResultQuantity quantity, uint32_t mode) { fixedMode[QuantityIndex(quantity)] = mode; }
    void SetFixedMaximum(ResultQuantity quantity, double value) {
        fixedMaximum[QuantityIndex(quantity)] = value;
    }
    void SetFixedMinimum(ResultQuantity quantity, double value) {
        fixedMinimum[QuantityIndex(quantity)] = value;
    }

private:
    static constexpr size_t Entries = ResultQuantityCount;
    std::array<uint32_t, Entries> fixedMode{};
    std::array<double, Entries> fixedMaximum{};
    std::array<double, Entries> fixedMinimum{};
};

} // namespace quillmere
