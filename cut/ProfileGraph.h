// The profile graph of a cut: the quantity against the arc length along the
// cut, smoothed, in the units the user sees; its automatic limits and the
// read-outs under the mouse.
#pragma once

#include "model/CAbscisse.h"
#include "model/Vectors.h"
#include "scale/Quantity.h"

#include <vector>

namespace quillmere {

class CConfiguration;

struct CGraphPoint {
    double x = 0; // arc length, display length unit
    double y = 0; // value, display unit of the quantity
};

struct CProfileGraph {
    std::vector<CGraphPoint> Points; // empty without a cut
    double TotalArcLength = 0;       // m
    bool Difference = false;         // of differences: limits symmetric around 0
    // Of thinning, negative where the sheet thickened: the limits reach down
    // to its lowest value.
    bool Signed = false;
};

// In display units; all four 0 means automatic limits.
struct CGraphLimits {
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0;

    bool Automatic() const { return xMin == 0 && xMax == 0 && yMin == 0 && yMax == 0; }
};

// Writes every record's arc lengths and builds the graph of quantity in the
// configuration's current units: one point per record start and one for the
// end of the cut, smoothed, but first contact: its record numbers stay
// steps, and the pieces that never touched (NaN) take none of their
// neighbours with them. A cut carrying differences (see TakeCutDifferences)
// converts them as differences.
CProfileGraph BuildProfileGraph(CCutSegments& cut, ResultQuantity quantity,
                                const CConfiguration& configuration, bool difference = false);

// The first of 0.05, 0.1, 0.2, 0.3, 0.5, 1, ... 30000 not below value; 0 when
// value exceeds them all.
double NiceStep(double value);

// Fills automatic limits (0 .. NiceStep of the cut's length and of the
// largest value, from -NiceStep of the lowest one when a signed graph goes
// below 0; for differences -NiceStep .. NiceStep of the largest
// |difference|), values that are not numbers left out; limits the user
// gave, and an empty graph, leave them as they are.
void ApplyAutomaticLimits(const CProfileGraph& graph, const CConfiguration& configuration,
                          CGraphLimits& limits);

// The graph polyline read at x (display units); past the last point its y.
double GraphValueAt(const std::vector<CGraphPoint>& points, double x);

// The point of the cut at arc length s (m, at most the total); false when no
// record covers s.
bool CutPointAt(const CCutSegments& cut, double s, CCoordinate& point);

} // namespace quillmere
