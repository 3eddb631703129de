// The rigid best fit of measured points to the sheet, for points measured in
// a frame of their own: iterated closest points, without scaling.
#pragma once

#include "model/Vectors.h"

#include <array>
#include <limits>
#include <vector>

namespace quillmere {

class CSurfaceSearch;

// x -> rotation x + translation.
struct RigidTransform {
    std::array<double, 9> rotation{1, 0, 0, 0, 1, 0, 0, 0, 1}; // row by row
    CCoordinate translation;

    CCoordinate Apply(const CCoordinate& p) const;
};

// The rotation and translation that carry from[i] nearest to to[i] in the
// least squares (Kabsch's solution; never a reflection). The identity
// without points.
RigidTransform BestRigidTransform(const std::vector<CCoordinate>& from, const std::vector<CCoordinate>& to);

struct RigidFit {
    RigidTransform transform; // from the points' frame to the sheet's
    // Root mean square of the points' distances from the sheet, in metres.
    double rmsBefore = std::numeric_limits<double>::quiet_NaN();
    double rmsAfter = std::numeric_limits<double>::quiet_NaN();
    int iterations = 0;
};

// Moves every point onto its closest point of the sheet in turn, until the
// RMS distance no longer falls. The identity when nothing is found.
RigidFit FitRigidly(const CSurfaceSearch& search, const std::vector<CCoordinate>& points);

} // namespace quillmere
