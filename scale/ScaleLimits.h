// The user's fixed limits of the colour scale, one entry per result
// quantity; a view starts with every quantity automatic and every fixed value
// 0.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

class ScaleLimits {
public:
    // Any quantity outside 0..7 selects entry 7, as the stored tables do.
    static size_t Entry(int quantity);

    // 0: automatic limits; any other value: the fixed limits below.
    uint32_t FixedMode(int quantity) const { return fixedMode[Entry(quantity)]; }
    bool IsFixed(int quantity) const { return FixedMode(quantity) != 0; }
    // In the quantity's stored unit.
    double FixedMaximum(int quantity) const { return fixedMaximum[Entry(quantity)]; }
    double FixedMinimum(int quantity) const { return fixedMinimum[Entry(quantity)]; }

    void SetFixedMode(int quantity, uint32_t mode) { fixedMode[Entry(quantity)] = mode; }
    void SetFixedMaximum(int quantity, double value) { fixedMaximum[Entry(quantity)] = value; }
    void SetFixedMinimum(int quantity, double value) { fixedMinimum[Entry(quantity)] = value; }

private:
    static constexpr size_t Entries = 8;
    std::array<uint32_t, Entries> fixedMode{};
    std::array<double, Entries> fixedMaximum{};
    std::array<double, Entries> fixedMinimum{};
};
