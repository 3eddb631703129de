#include "model/Vectors.h"

#include "core/Messages.h"

#include <cmath>

namespace quillmere {

bool IsFinite(const CCoordinate& a) {
    return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z);
}

double PrismVolume(const CCoordinate& p1, const CCoordinate& p2, const CCoordinate& p3) {
    return ((p2.x - p1.x) * (p3.y - p1.y) - (p2.y - p1.y) * (p3.x - p1.x)) * (p1.z + p2.z + p3.z) / 6.0;
}

bool UnitNormal(const CCoordinate& p1, const CCoordinate& p2, const CCoordinate& p3, CCoordinate& normal) {
    const CCoordinate n = Cross(p2 - p1, p3 - p1);
    const double length = Norm(n);
    if (length == 0)
        return false;
    normal = n * (1.0 / length);
    return true;
}

bool TryPlaneThroughPoints(const CCoordinate& p1, const CCoordinate& p2, const CCoordinate& p3,
                           CPlane& plane) {
    const CCoordinate n = Cross(p2 - p1, p3 - p1);
    const double length = Norm(n);
    if (!(std::fabs(length) >= 1e-11))
        return false;
    plane.normal = n * (1.0 / length);
    plane.offset = -Dot(n, p1) / length;
    return true;
}

CPlane PlaneThroughPoints(const CCoordinate& p1, const CCoordinate& p2, const CCoordinate& p3) {
    CPlane plane;
    if (!TryPlaneThroughPoints(p1, p2, p3, plane))
        ReportCriticalError(MessageId::ZeroPlaneArea);
    return plane;
}

SegmentPlaneResult IntersectSegmentPlane(const CCoordinate& a, const CCoordinate& b, const CPlane& plane,
                                         double tolerance, CCoordinate& point) {
    const double distanceA = plane.Distance(a);
    const double distanceB = plane.Distance(b);
    if (std::fabs(distanceB) <= tolerance) {
        point = b;
        return std::fabs(distanceA) <= tolerance ? SegmentInPlane : OnePoint;
    }
    if (std::fabs(distanceA) <= tolerance) {
        point = a;
        return OnePoint;
    }
    const double u = Dot(plane.normal, b - a);
    if (u == 0)
        return NoIntersection;
    const double s = -(plane.offset + Dot(plane.normal, a)) / u;
    if (s < 0 || s > 1)
        return NoIntersection;
    point = a + (b - a) * s;
    return OnePoint;
}

} // namespace quillmere
