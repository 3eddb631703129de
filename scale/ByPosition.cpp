#include "scale/ByPosition.h"

#include "config/CConfiguration.h"
#include "core/Parallel.h"
#include "core/TextFormat.h"
#include "model/CSheetProfile.h"
#include "model/SurfaceSearch.h"
#include "scale/NodalValues.h"

#include <cmath>
#include <limits>
#include <memory>

namespace quillmere {

namespace {

constexpr size_t kSampleGrain = 4096;

// The values of the found element's nodes, weighted at the point found.
double ValueAt(const CSheetProfile& reference, const SurfacePoint& found, const std::vector<double>& values) {
    const auto value = [&](int32_t node) {
        return static_cast<size_t>(node) < values.size() ? values[static_cast<size_t>(node)]
                                                         : std::numeric_limits<double>::quiet_NaN();
    };
    const ElementNodes& corners = reference.Mesh().Nodes(static_cast<size_t>(found.element));
    return Interpolate(found.weights, {value(corners[0]), value(corners[1]), value(corners[2])});
}

} // namespace

double ValueByPosition(const CSheetProfile& reference, const CSurfaceSearch& referenceSearch,
                       const std::vector<double>& referenceValues, const CCoordinate& p, double maxDistance) {
    const SurfacePoint found = referenceSearch.Closest(p);
    if (!found.Found() || !(std::fabs(found.distance) <= maxDistance))
        return std::numeric_limits<double>::quiet_NaN();
    return ValueAt(reference, found, referenceValues);
}

ByPositionValues SampleByPosition(const CSheetProfile& sheet, const CSheetProfile& reference,
                                  const CSurfaceSearch& referenceSearch,
                                  const std::vector<double>& referenceValues, double maxDistance) {
    const size_t nodes = static_cast<size_t>(sheet.NodeCount());
    ByPositionValues result;
    result.values.assign(nodes + 1, std::numeric_limits<double>::quiet_NaN());
    double* out = result.values.data();
    result.beyond = parallel::ReduceBlocks(
        nodes, kSampleGrain, 0,
        [&](size_t first, size_t last) {
            int beyond = 0;
            for (size_t node = first + 1; node <= last; ++node) {
                const SurfacePoint found =
                    referenceSearch.Closest(sheet.CurrentCoordinate(static_cast<int>(node)));
                if (!found.Found() || !(std::fabs(found.distance) <= maxDistance)) {
                    ++beyond;
                    continue;
                }
                out[node] = ValueAt(reference, found, referenceValues);
            }
            return beyond;
        },
        [](int a, int b) { return a + b; });
    return result;
}

ByPositionValues ReferenceValuesByPosition(const CSheetProfile& sheet, const CSheetProfile& reference,
                                           ResultQuantity quantity, double maxDistance) {
    std::vector<double> values;
    std::unique_ptr<CSurfaceSearch> search;
    parallel::Both([&] { search = std::make_unique<CSurfaceSearch>(reference, SheetImages::Mirrored); },
                   [&] { FillNodalValues(reference, quantity, values); });
    return SampleByPosition(sheet, reference, *search, values, maxDistance);
}

Message BeyondReferenceMessage(int nodes, double maxDistance, const CConfiguration& configuration) {
    if (nodes <= 0)
        return Message();
    const std::string reach = FormatNumber("%g", configuration.LengthToDisplay(maxDistance * 1000)) + " " +
                              configuration.LengthUnit();
    return nodes == 1 ? Message(MessageId::OneNodeBeyondReference, reach)
                      : Message(MessageId::NodesBeyondReference, nodes, reach);
}

} // namespace quillmere
