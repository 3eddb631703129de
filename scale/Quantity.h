// The result quantity as a type of its own, so that only the places that
// read a number from outside (the command line, a list's index) turn one
// into a quantity. Adding a quantity: its enumerator here, after the last
// one, and its row and value in ResultQuantity.cpp and WithElementValue.
#pragma once

#include <array>
#include <cstddef>
#include <optional>

namespace quillmere {

enum class ResultQuantity {
    None, // "(no scale)": the sheet in its uniform colour
    Thickness,
    Temperature,
    VonMises,
    ExtensionX,
    ExtensionY,
    PlanarExtension,
    StretchRatio,
    Thinning,     // (1 - t / t0) x 100 of an element, t0 its initial thickness
    FirstContact, // the first record a node touches a tool, over every record
};

constexpr ResultQuantity LastQuantity = ResultQuantity::FirstContact;
constexpr int ResultQuantityCount = static_cast<int>(LastQuantity) + 1;

// The number of a quantity: its place in the scale panel's list.
constexpr int QuantityNumber(ResultQuantity quantity) {
    return static_cast<int>(quantity);
}
constexpr size_t QuantityIndex(ResultQuantity quantity) {
    return static_cast<size_t>(quantity);
}

// The quantity of a number read from outside; none outside 0..the last.
constexpr std::optional<ResultQuantity> QuantityFromNumber(int number) {
    if (number < 0 || number >= ResultQuantityCount)
        return std::nullopt;
    return static_cast<ResultQuantity>(number);
}

// The quantities that have values, thickness first, in the lists' order.
constexpr std::array<ResultQuantity, ResultQuantityCount - 1> ValueQuantities() {
    std::array<ResultQuantity, ResultQuantityCount - 1> all{};
    for (size_t i = 0; i < all.size(); ++i)
        all[i] = static_cast<ResultQuantity>(i + 1);
    return all;
}

} // namespace quillmere
