// Tracing the cut of the sheet by a plane: the pieces each element yields,
// thinned of duplicates, joined into one chain from the first piece.
#pragma once

#include "cut/CCutPlane.h"
#include "model/Vectors.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace quillmere {

class CSheetProfile;

// One piece of the cut inside one element while the chain is traced.
struct CutSegment {
    int32_t ElementNumber = 0; // the element's ElementId
    int32_t ElementIndex = 0;  // its 0-based position in Elements
    CCoordinate P0, P1;
};

// One end of a piece of the traced chain.
struct CPinCut {
    int32_t ElementNumber = 0;
    float u = 0; // area coordinates with respect to the first and second vertex
    float v = 0;
    uint32_t Mark = 0x00FFFFFF;
    CCoordinate Point;
    int32_t ElementIndex = 0;
};

// a x + b y + c z + d for the plane's own normal, unnormalised.
inline double PlaneValue(const CCutPlane& plane, const CCoordinate& p) {
    return plane.a * p.x + plane.b * p.y + plane.c * p.z + plane.d;
}

inline double PointPlaneDistance(const CCutPlane& plane, const CCoordinate& p) {
    const CCoordinate n(plane.a, plane.b, plane.c);
    const double nn = Dot(n, n);
    if (nn == 1.0) // every axis plane; the same value without dividing
        return std::fabs(Dot(n, p) + plane.d);
    const double t = -(Dot(n, p) + plane.d) / nn;
    return std::fabs(t) * std::sqrt(nn);
}

enum class EdgeCut { None, Point, WholeEdge };

// Where the edge a-b meets the plane; ends closer than tol count as on it.
// The second form takes the ends' PointPlaneDistance, so that a scan can
// compute each corner's once.
EdgeCut IntersectEdge(const CCoordinate& a, const CCoordinate& b, const CCutPlane& plane, double tol,
                      CCoordinate& point);
EdgeCut IntersectEdge(const CCoordinate& a, const CCoordinate& b, double distanceA, double distanceB,
                      const CCutPlane& plane, double tol, CCoordinate& point);

// The points where the plane meets the triangle's edges, in edge order; at
// most four. Returns their count.
int IntersectTriangle(const CCutPlane& plane, const CCoordinate& v0, const CCoordinate& v1,
                      const CCoordinate& v2, CCoordinate points[4]);

// Keeps, in order, the points no later point lies closer than 1e-11 to.
// Returns the new count.
int RemoveCoincidentPoints(CCoordinate* points, int count);

struct BarycentricResult {
    double w1 = 0, w2 = 0, w3 = 0; // each within 0..1
};
BarycentricResult BarycentricWeights(const CCoordinate& v1, const CCoordinate& v2, const CCoordinate& v3,
                                     const CCoordinate& p);

// Every element's piece, in element order.
std::vector<CutSegment> ElementPieces(const CCutPlane& plane, const CSheetProfile& sheet);

// Drops pieces shorter than 1e-11 and every piece a later one repeats within
// 1e-10 (either way round).
std::vector<CutSegment> RemoveDuplicatePieces(const std::vector<CutSegment>& pieces);

// The chain through the first piece, every piece oriented along it; pieces
// not joined to it are left out.
std::vector<CutSegment> ChainPieces(const std::vector<CutSegment>& unique);

// Fills pins with the two ends of every piece of the chain, in chain order.
void TraceCutChain(const CCutPlane& plane, const CSheetProfile& sheet, std::vector<CPinCut>& pins);

} // namespace quillmere
