#include "scale/NodalValues.h"

#include "core/Parallel.h"
#include "model/CSheetProfile.h"
#include "scale/ResultQuantity.h"

#include <algorithm>
#include <limits>

namespace {

constexpr double NotANumber = std::numeric_limits<double>::quiet_NaN();
constexpr size_t NodeGrain = 8192;

} // namespace

void FillNodalValues(const CSheetProfile& sheet, int quantity, std::vector<double>& values) {
    quantity = KnownQuantity(quantity);
    const size_t nodes = static_cast<size_t>(sheet.NodeCount());
    // Every entry is written below: a reused vector is not filled twice.
    values.resize(nodes + 1);
    values[0] = NotANumber;
    if (quantity == NoScale) {
        std::fill(values.begin(), values.end(), NotANumber);
        return;
    }
    const CElementProfile* elements = sheet.Elements().data();
    double* out = values.data();
    WithElementValue(quantity, [&](auto value) {
        parallel::ForBlocks(nodes, NodeGrain, [&](size_t first, size_t last) {
            for (size_t node = first + 1; node <= last; ++node) {
                const ElementIndexRange range = sheet.NodeElements(static_cast<int>(node));
                if (range.size() == 0) {
                    out[node] = NotANumber;
                } else if (quantity == VonMisesQuantity) {
                    // The last element using the node, which filling in
                    // element order leaves: the node lists are in that order.
                    out[node] = value(elements[range.end()[-1]]);
                } else {
                    // Summed in the order of the node's element list, as the
                    // sheet's own means are, so both give the same bits.
                    double sum = 0;
                    for (int32_t index : range)
                        sum += value(elements[index]);
                    out[node] = sum / static_cast<double>(range.size());
                }
            }
        });
    });
}

std::vector<double> NodalValues(const CSheetProfile& sheet, int quantity) {
    std::vector<double> values;
    FillNodalValues(sheet, quantity, values);
    return values;
}
