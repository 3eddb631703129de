#include "scale/NodalValues.h"

#include "core/Parallel.h"
#include "model/CSheetProfile.h"
#include "scale/ResultQuantity.h"
#include "scale/ScaleRange.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace quillmere {

namespace {

constexpr double NotANumber = std::numeric_limits<double>::quiet_NaN();
constexpr size_t NodeGrain = 8192;
constexpr size_t ElementGrain = 16384;

} // namespace

namespace {

// Von Mises stress in element order: a node keeps the stress of the last
// element using it, the one that ends its (element-ordered) list. Each
// element writes the nodes whose list it ends, so no node is written twice.
ScaleRange FillStresses(const CSheetProfile& sheet, double* out) {
    const double infinity = std::numeric_limits<double>::infinity();
    const ScaleRange none = {infinity, -infinity};
    parallel::ForBlocks(static_cast<size_t>(sheet.NodeCount()), NodeGrain, [&](size_t first, size_t last) {
        for (size_t node = first + 1; node <= last; ++node)
            if (sheet.NodeElements(static_cast<int>(node)).size() == 0)
                out[node] = NotANumber;
    });
    const CElementValues* elements = sheet.Values().elements.data();
    const ElementNodes* corners = sheet.Mesh().NodeArray();
    return parallel::ReduceBlocks(
        sheet.Values().elements.size(), ElementGrain, none,
        [&](size_t first, size_t last) {
            ScaleRange part = none;
            for (size_t i = first; i < last; ++i) {
                const double square = elements[i].VonMisesSquare();
                part.Fold(square);
                for (int32_t node : corners[i])
                    if (static_cast<size_t>(sheet.NodeElements(node).end()[-1]) == i)
                        out[node] = CElementValues::VonMisesFromSquare(square);
            }
            return part;
        },
        [](ScaleRange earlier, const ScaleRange& later) {
            earlier.Fold(later);
            return earlier;
        });
}

// First contact is the nodes' own: the project's table (NaN before it is
// computed), and NaN for nodes no element uses, as for every quantity.
void FillFirstContact(const CSheetProfile& sheet, double* out) {
    const FirstContactRecords* first = sheet.FirstContact().get();
    parallel::ForBlocks(static_cast<size_t>(sheet.NodeCount()), NodeGrain, [&](size_t begin, size_t end) {
        for (size_t node = begin + 1; node <= end; ++node)
            out[node] =
                first && sheet.NodeElements(static_cast<int>(node)).size() > 0 ? (*first)[node] : NotANumber;
    });
}

} // namespace

void FillNodalValues(const CSheetProfile& sheet, ResultQuantity quantity, std::vector<double>& values,
                     ScaleRange* squares) {
    const size_t nodes = static_cast<size_t>(sheet.NodeCount());
    // Every entry is written below: a reused vector is not filled twice.
    values.resize(nodes + 1);
    values[0] = NotANumber;
    if (quantity == ResultQuantity::None) {
        std::fill(values.begin(), values.end(), NotANumber);
        return;
    }
    double* out = values.data();
    if (quantity == ResultQuantity::FirstContact) {
        FillFirstContact(sheet, out);
        return;
    }
    if (!QuantityOf(quantity).nodal) {
        const ScaleRange folded = FillStresses(sheet, out);
        if (squares)
            squares->Fold(folded);
        return;
    }
    WithElementValue(sheet, quantity, [&](auto value) {
        parallel::ForBlocks(nodes, NodeGrain, [&](size_t first, size_t last) {
            for (size_t node = first + 1; node <= last; ++node) {
                const ElementIndexRange range = sheet.NodeElements(static_cast<int>(node));
                if (range.size() == 0) {
                    out[node] = NotANumber;
                } else {
                    // Summed in the order of the node's element list, as the
                    // sheet's own means are, so both give the same bits.
                    double sum = 0;
                    for (int32_t index : range)
                        sum += value(static_cast<size_t>(index));
                    out[node] = sum / static_cast<double>(range.size());
                }
            }
        });
    });
}

std::vector<double> NodalValues(const CSheetProfile& sheet, ResultQuantity quantity) {
    std::vector<double> values;
    FillNodalValues(sheet, quantity, values);
    return values;
}

namespace {

using Columns = std::make_index_sequence<ResultQuantityCount - 1>;
using Sums = std::array<double, ResultQuantityCount - 1>;
using Nodal = std::array<bool, ResultQuantityCount - 1>;

// Each column's quantity is known when compiled, so that no loop over the
// elements asks which one it is, and the sums stay in registers.
template <size_t... Column>
void AddElement(const ElementArrays& elements, size_t element, const Nodal& nodal, Sums& sums,
                std::index_sequence<Column...>) {
    (WithElementValue(elements, ValueQuantities()[Column],
                      [&](auto value) {
                          if (nodal[Column])
                              sums[Column] += value(element);
                      }),
     ...);
}

// Von Mises stress: the last element using the node, as FillStresses has it.
template <size_t... Column>
void StoreNode(const Sums& sums, double count, const ElementArrays& elements, size_t last, const Nodal& nodal,
               const EveryQuantity& out, size_t i, std::index_sequence<Column...>) {
    (WithElementValue(
         elements, ValueQuantities()[Column],
         [&](auto value) { out[Column][i] = nodal[Column] ? sums[Column] / count : value(last); }),
     ...);
}

} // namespace

void FillEveryQuantity(const CSheetProfile& sheet, size_t first, size_t last, const EveryQuantity& out) {
    Nodal nodal;
    for (size_t column = 0; column < nodal.size(); ++column)
        nodal[column] = QuantityOf(ValueQuantities()[column]).nodal;
    // First contact sums nothing: its column is the table's, below.
    constexpr size_t contactColumn = QuantityIndex(ResultQuantity::FirstContact) - 1;
    nodal[contactColumn] = false;
    const FirstContactRecords* firstContact = sheet.FirstContact().get();
    const ElementArrays elements = ElementArraysOf(sheet);
    for (size_t node = first; node < last; ++node) {
        const ElementIndexRange range = sheet.NodeElements(static_cast<int>(node));
        const size_t i = node - first;
        if (range.size() == 0) {
            for (double* column : out)
                column[i] = NotANumber;
            continue;
        }
        // The sums side by side, each in the order of the node's element
        // list as FillNodalValues has it.
        Sums sums{};
        for (int32_t index : range)
            AddElement(elements, static_cast<size_t>(index), nodal, sums, Columns());
        StoreNode(sums, static_cast<double>(range.size()), elements, static_cast<size_t>(range.end()[-1]),
                  nodal, out, i, Columns());
        out[contactColumn][i] = firstContact ? (*firstContact)[node] : NotANumber;
    }
}

} // namespace quillmere
