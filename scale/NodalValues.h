// The value of a result quantity at each node of the sheet, which the
// colours are interpolated from.
#pragma once

#include "scale/ResultQuantity.h"

#include <array>
#include <cstddef>
#include <vector>

namespace quillmere {

class CSheetProfile;
struct ScaleRange;

// values[node] for node 1..N: the plain mean of the stored element results
// over the node's elements; von Mises stress instead takes the value of the
// last element using the node, and first contact is the node's own (the
// sheet's FirstContact, NaN before it is computed). Index 0, nodes that no
// element uses and quantity 0 give NaN. The vector's
// storage is reused. For von Mises stress, squares (when given) also takes
// in the square under the root of every element (see
// StressRangeOfSquares), read in the same pass over the elements.
void FillNodalValues(const CSheetProfile& sheet, ResultQuantity quantity, std::vector<double>& values,
                     ScaleRange* squares = nullptr);

std::vector<double> NodalValues(const CSheetProfile& sheet, ResultQuantity quantity);

// Every quantity's values of nodes first .. last - 1 (1-based) in one pass
// over their elements: out[q - 1][i] is FillNodalValues's values[first + i]
// for quantity q, bit for bit.
using EveryQuantity = std::array<double*, ResultQuantityCount - 1>;
void FillEveryQuantity(const CSheetProfile& sheet, size_t first, size_t last, const EveryQuantity& out);

} // namespace quillmere
