// Comparison by position of two sheets whose meshes differ: each node of one
// sheet takes the other's value at its closest point there. The comparison
// (Comparison.h) compares this way as well as node by node; the search is
// the sheet's own (model/SurfaceSearch.h), below every library that compares.
#pragma once

#include "core/Messages.h"
#include "model/Vectors.h"
#include "scale/Quantity.h"

#include <string>
#include <vector>

namespace quillmere {

class CConfiguration;
class CSheetProfile;
class CSurfaceSearch;

struct ByPositionValues {
    // By node number of the sheet (entry 0 is no node): the reference's
    // value at the node's closest point on the reference sheet; NaN for a
    // node farther than the maximum distance or without coordinates.
    std::vector<double> values;
    int beyond = 0; // nodes farther than the maximum distance, or without coordinates
};

// The reference's nodal values (by its node number) interpolated at the
// closest point of p on the reference sheet that referenceSearch was built
// on; NaN when that is farther than maxDistance (metres) or p is not a point.
double ValueByPosition(const CSheetProfile& reference, const CSurfaceSearch& referenceSearch,
                       const std::vector<double>& referenceValues, const CCoordinate& p, double maxDistance);

// The same at the closest point of each node of sheet; referenceSearch is built on the
// reference sheet. The nodes are taken on every core.
ByPositionValues SampleByPosition(const CSheetProfile& sheet, const CSheetProfile& reference,
                                  const CSurfaceSearch& referenceSearch,
                                  const std::vector<double>& referenceValues, double maxDistance);

// The same for the nodal values of a result quantity (those the view colours
// by), the reference searched with its mirror images.
ByPositionValues ReferenceValuesByPosition(const CSheetProfile& sheet, const CSheetProfile& reference,
                                           ResultQuantity quantity, double maxDistance);

// "12 nodes are farther than 5 mm from the reference sheet and have no
// value." (maxDistance in metres, shown in the configuration's length unit);
// empty for none.
Message BeyondReferenceMessage(int nodes, double maxDistance, const CConfiguration& configuration);

} // namespace quillmere
