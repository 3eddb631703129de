#include "scale/SheetColouring.h"

#include "config/Colour.h"
#include "config/DisplaySettings.h"
#include "core/Parallel.h"
#include "model/CSheetProfile.h"
#include "scale/ColourRamp.h"
#include "scale/NodalValues.h"
#include "scale/ResultQuantity.h"
#include "scale/ScaleLimits.h"
#include "scale/ScaleRange.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace quillmere {

namespace {

constexpr size_t NodeGrain = 16384;

// Below this a range is taken for rounding noise of equal limits.
constexpr double DegenerateRatio = 1.000000000001;

bool IsDegenerate(double minimum, double maximum) {
    return maximum < minimum * DegenerateRatio;
}

double RoundHalfAway(double x) {
    return x >= 0 ? std::trunc(x + 0.5) : std::trunc(x - 0.5);
}

int Oriented(int index, bool highIsBlue) {
    return highIsBlue ? index : ColourRamp::LastIndex - index;
}

} // namespace

double RawColourIndex(double value, double minimum, double maximum) {
    if (IsDegenerate(minimum, maximum))
        return 0;
    return RoundHalfAway(32 * ((value - minimum) / (maximum - minimum)));
}

int ClampColourIndex(double raw) {
    // Clamped as a double: converting one beyond int's range is undefined.
    if (!(raw >= 0))
        return 0;
    if (raw > ColourRamp::LastIndex)
        return ColourRamp::LastIndex;
    return static_cast<int>(raw);
}

int ColourIndex(double value, double minimum, double maximum, ResultQuantity quantity) {
    if (!std::isfinite(value))
        return ColourRamp::NoValue;
    return Oriented(ClampColourIndex(RawColourIndex(value, minimum, maximum)),
                    QuantityOf(quantity).highIsBlue);
}

void ColourNodes(const CSheetProfile& sheet, ResultQuantity quantity, const ScaleLimits& limits,
                 NodeColouring& colouring) {
    colouring.minimum = 0;
    colouring.maximum = 0;
    if (quantity == ResultQuantity::None) {
        colouring.values.clear();
        colouring.indices.clear();
        return;
    }
    // Starting from the infinities rather than from the first element's
    // first node keeps a NaN there from blanking the whole sheet.
    const double infinity = std::numeric_limits<double>::infinity();
    ScaleRange squares = {infinity, -infinity};
    FillNodalValues(sheet, quantity, colouring.values, &squares);
    const std::vector<double>& values = colouring.values;
    const size_t size = values.size();
    const ScaleRange range = LimitRules(
        quantity, limits, sheet.MaxInitialThickness(), {infinity, -infinity}, [&](ScaleRange& fold) {
            // Von Mises stress has no nodal value: a node shows the last of
            // its elements, but every element's stress counts (folded as
            // the nodes were filled).
            if (!QuantityOf(quantity).nodal) {
                fold.Fold(StressRangeOfSquares(squares));
            } else {
                // Every node an element uses, which is every node with a
                // number.
                const ScaleRange none = {infinity, -infinity};
                fold.Fold(parallel::ReduceBlocks(
                    size - 1, NodeGrain, none,
                    [&values, &none](size_t first, size_t last) {
                        ScaleRange part = none;
                        for (size_t node = first + 1; node <= last; ++node)
                            part.Fold(values[node]);
                        return part;
                    },
                    [](ScaleRange earlier, const ScaleRange& later) {
                        earlier.Fold(later);
                        return earlier;
                    }));
            }
            if (fold.minimum > fold.maximum)
                fold.minimum = fold.maximum = std::numeric_limits<double>::quiet_NaN();
        });
    const double minimum = range.minimum;
    const double maximum = range.maximum;
    colouring.minimum = minimum;
    colouring.maximum = maximum;

    colouring.indices.resize(size);
    uint8_t* indices = colouring.indices.data();
    indices[0] = 0;
    const bool highIsBlue = QuantityOf(quantity).highIsBlue;
    const bool degenerate = IsDegenerate(minimum, maximum);
    const double span = maximum - minimum;
    parallel::ForBlocks(size - 1, NodeGrain, [&](size_t first, size_t last) {
        for (size_t node = first + 1; node <= last; ++node) {
            const double value = values[node];
            if (!std::isfinite(value))
                indices[node] = ColourRamp::NoValue;
            else if (degenerate)
                indices[node] = static_cast<uint8_t>(Oriented(0, highIsBlue));
            else
                indices[node] = static_cast<uint8_t>(
                    Oriented(ClampColourIndex(RoundHalfAway(32 * ((value - minimum) / span))), highIsBlue));
        }
    });
}

NodeColouring ColourNodes(const CSheetProfile& sheet, ResultQuantity quantity, const ScaleLimits& limits) {
    NodeColouring colouring;
    ColourNodes(sheet, quantity, limits, colouring);
    return colouring;
}

uint8_t SheetAlpha(double opacity) {
    const double alpha = opacity * 255;
    if (!(alpha > 0))
        return 0;
    if (alpha >= 255)
        return 255;
    return static_cast<uint8_t>(alpha);
}

void FillNodeColours(const NodeColouring& colouring, const ColourRamp& ramp, const DisplaySettings& settings,
                     std::vector<uint8_t>& rgba) {
    std::array<std::array<uint8_t, 4>, ColourRamp::NoValue + 1> table;
    const uint8_t alpha = SheetAlpha(settings.sheetOpacity);
    for (int index = 0; index <= ColourRamp::NoValue; ++index) {
        const RgbColour colour = VertexColour(ramp, index, settings.sheetDisplayMode);
        table[static_cast<size_t>(index)] = {colour.red, colour.green, colour.blue, alpha};
    }
    const size_t size = colouring.indices.size();
    rgba.resize(4 * size);
    if (size == 0)
        return;
    uint8_t* out = rgba.data();
    std::memset(out, 0, 4);
    const uint8_t* indices = colouring.indices.data();
    parallel::ForBlocks(size - 1, NodeGrain, [&](size_t first, size_t last) {
        for (size_t node = first + 1; node <= last; ++node)
            std::memcpy(out + 4 * node, table[indices[node]].data(), 4);
    });
}

std::array<float, 4> UniformSheetColour(const DisplaySettings& settings) {
    const std::array<uint8_t, 3> bytes = ColourBytes(settings.sheetColour);
    std::array<float, 4> result;
    for (size_t c = 0; c < 3; ++c)
        result[c] = static_cast<float>(DisplayModeComponent(bytes[c], settings.sheetDisplayMode) / 255.0);
    result[3] = static_cast<float>(settings.sheetOpacity);
    return result;
}

} // namespace quillmere
