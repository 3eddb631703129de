// The limits the scale panel labels its colour bar with, and the rules the
// colouring shares with them.
#pragma once

#include "scale/ResultQuantity.h"
#include "scale/ScaleLimits.h"

#include <cmath>

namespace quillmere {

class CSheetProfile;

struct ScaleRange {
    double minimum = 0;
    double maximum = 0;

    // Widens the range to take in value. A value that is not a number, or
    // is infinite, is left out: one such value would make every other one
    // the same colour.
    void Fold(double value) {
        if (!std::isfinite(value))
            return;
        if (value < minimum)
            minimum = value;
        if (value > maximum)
            maximum = value;
    }
    // Folds in the range of values that come after those folded so far,
    // folded from (infinity, -infinity): the same as folding them one by one.
    void Fold(const ScaleRange& later) {
        if (later.minimum < minimum)
            minimum = later.minimum;
        if (later.maximum > maximum)
            maximum = later.maximum;
    }
};

// Folds the value of the quantity (1..7) in every element into range.
void FoldElementValues(const CSheetProfile& sheet, ResultQuantity quantity, ScaleRange& range);

// The von Mises stresses' range from that of the squares under their roots
// (CElementValues::VonMisesSquare), folded from (infinity, -infinity): the
// stress grows with the square, so two roots give what a root per element
// gave.
ScaleRange StressRangeOfSquares(const ScaleRange& squares);

// The rules every pair of limits follows: the user's pair in fixed mode;
// otherwise start with foldAll(start) folded in, and for thickness a maximum
// above the largest initial thickness cut down to it. Thinning is what the
// scale is read for; the few elements squeezed thicker than the sheet ever
// was would stretch it.
template <typename FoldAll>
ScaleRange LimitRules(ResultQuantity quantity, const ScaleLimits& limits, double maxInitialThickness,
                      ScaleRange start, FoldAll foldAll) {
    if (limits.IsFixed(quantity))
        return {limits.FixedMinimum(quantity), limits.FixedMaximum(quantity)};
    foldAll(start);
    if (quantity == ResultQuantity::Thickness && maxInitialThickness < start.maximum)
        start.maximum = maxInitialThickness;
    return start;
}

// The limits of the scale for a quantity: (0, 0) for "(no scale)", otherwise
// by the rules above over the element values that are numbers, starting
// from (largest double, its negative). Without any such value both limits
// are NaN: there is nothing to label. Quantities outside 0..7 are taken as
// 7.
ScaleRange ComputeScaleRange(const CSheetProfile& sheet, ResultQuantity quantity, const ScaleLimits& limits);

} // namespace quillmere
