// Points and vectors of three doubles, and the geometry the readers, the cut
// and the scene share.
#pragma once

#include <cmath>

namespace quillmere {

struct CCoordinate {
    double x = 0, y = 0, z = 0;

    CCoordinate() = default;
    CCoordinate(double px, double py, double pz) : x(px), y(py), z(pz) {}
};

inline CCoordinate operator+(const CCoordinate& a, const CCoordinate& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline CCoordinate operator-(const CCoordinate& a, const CCoordinate& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline CCoordinate operator*(const CCoordinate& a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline double Dot(const CCoordinate& a, const CCoordinate& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline CCoordinate Cross(const CCoordinate& a, const CCoordinate& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
// Inline: the loops over a million elements call it several times each.
inline double Norm(const CCoordinate& a) {
    return std::sqrt(Dot(a, a));
}
// No coordinate is infinite or not a number.
bool IsFinite(const CCoordinate& a);

inline double TriangleArea(const CCoordinate& p1, const CCoordinate& p2, const CCoordinate& p3) {
    return 0.5 * Norm(Cross(p2 - p1, p3 - p1));
}

// Signed volume between the triangle and the plane z = 0.
double PrismVolume(const CCoordinate& p1, const CCoordinate& p2, const CCoordinate& p3);

// (P2 - P1) x (P3 - P1) normalised; false (and normal untouched) when its
// length is exactly 0.
bool UnitNormal(const CCoordinate& p1, const CCoordinate& p2, const CCoordinate& p3, CCoordinate& normal);

// The plane n.X + d = 0 with unit n.
struct CPlane {
    CCoordinate normal;
    double offset = 0;

    double Distance(const CCoordinate& p) const { return Dot(normal, p) + offset; }
};

// The plane through three points; false when the normal's length is below
// 1e-11 (the plane is then left untouched).
bool TryPlaneThroughPoints(const CCoordinate& p1, const CCoordinate& p2, const CCoordinate& p3,
                           CPlane& plane);

// Like TryPlaneThroughPoints, but a degenerate triangle ends the program with
// "Zero plane area.".
CPlane PlaneThroughPoints(const CCoordinate& p1, const CCoordinate& p2, const CCoordinate& p3);

enum SegmentPlaneResult { NoIntersection = 0, OnePoint = 1, SegmentInPlane = 2 };

// Where the segment a-b meets the plane, with tolerance on the distances.
SegmentPlaneResult IntersectSegmentPlane(const CCoordinate& a, const CCoordinate& b, const CPlane& plane,
                                         double tolerance, CCoordinate& point);

} // namespace quillmere
