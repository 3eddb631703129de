#include "scale/ScaleRange.h"

#include "core/Parallel.h"
#include "model/CSheetProfile.h"
#include "scale/ResultQuantity.h"

#include <cfloat>
#include <limits>

namespace quillmere {

namespace {

constexpr size_t ElementGrain = 16384;

ScaleRange Join(ScaleRange earlier, const ScaleRange& later) {
    earlier.Fold(later);
    return earlier;
}

} // namespace

void FoldElementValues(const CSheetProfile& sheet, ResultQuantity quantity, ScaleRange& range) {
    const double infinity = std::numeric_limits<double>::infinity();
    const ScaleRange none = {infinity, -infinity};
    const size_t elements = sheet.Values().elements.size();
    auto fold = [&](size_t count, auto value) {
        return parallel::ReduceBlocks(
            count, ElementGrain, none,
            [&none, &value](size_t first, size_t last) {
                ScaleRange part = none;
                for (size_t i = first; i < last; ++i)
                    part.Fold(value(i));
                return part;
            },
            Join);
    };
    // The first and the last record at which a node first touched: the
    // nodes' own values, which an element's earliest corner does not span.
    if (quantity == ResultQuantity::FirstContact) {
        if (const FirstContactRecords* first = sheet.FirstContact().get())
            range.Fold(fold(static_cast<size_t>(sheet.NodeCount()), [&sheet, first](size_t i) {
                const int node = static_cast<int>(i + 1);
                return sheet.NodeElements(node).size() > 0 ? (*first)[i + 1]
                                                           : std::numeric_limits<double>::quiet_NaN();
            }));
        return;
    }
    if (quantity == ResultQuantity::VonMises) {
        const CElementValues* values = sheet.Values().elements.data();
        range.Fold(
            StressRangeOfSquares(fold(elements, [values](size_t i) { return values[i].VonMisesSquare(); })));
        return;
    }
    WithElementValue(sheet, quantity, [&](auto value) { range.Fold(fold(elements, value)); });
}

ScaleRange StressRangeOfSquares(const ScaleRange& squares) {
    // The squares are never negative: -infinity is only the mark of none.
    const double infinity = std::numeric_limits<double>::infinity();
    return {CElementValues::VonMisesFromSquare(squares.minimum),
            squares.maximum == -infinity ? -infinity : CElementValues::VonMisesFromSquare(squares.maximum)};
}

ScaleRange ComputeScaleRange(const CSheetProfile& sheet, ResultQuantity quantity, const ScaleLimits& limits) {
    if (quantity == ResultQuantity::None)
        return {0, 0};
    return LimitRules(quantity, limits, sheet.MaxInitialThickness(), {DBL_MAX, -DBL_MAX},
                      [&](ScaleRange& range) {
                          FoldElementValues(sheet, quantity, range);
                          if (range.minimum > range.maximum)
                              range.minimum = range.maximum = std::numeric_limits<double>::quiet_NaN();
                      });
}

} // namespace quillmere
