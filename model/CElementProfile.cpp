#include "CElementProfile.h"

#include <algorithm>
#include <cmath>

namespace {

// The triangle placed in its own plane: corner 1 at the origin, corner 2 on
// the x axis at (x2, 0), corner 3 at (x3, y3).
struct PlaneFrame {
    double x2, x3, y3;
};

PlaneFrame InPlaneFrame(const CCoordinate corners[3]) {
    const double a = Norm(corners[1] - corners[0]);
    const double b = Norm(corners[2] - corners[1]);
    const double c = Norm(corners[0] - corners[2]);
    const double x3 = (a + (c - b) * (c + b) / a) / 2;
    return {a, x3, std::sqrt((c + x3) * (c - x3))};
}

} // namespace

double CElementProfile::VonMisesStress() const {
    const double s1 = PrincipalStress1;
    const double s2 = PrincipalStress2;
    return std::sqrt(0.5 * ((s1 - s2) * (s1 - s2) + s1 * s1 + s2 * s2)) * 1e-6;
}

PrincipalStretches ComputePrincipalStretches(const CElementProfile& element) {
    const PlaneFrame reference = InPlaneFrame(element.ReferenceCorners);
    const PlaneFrame current = InPlaneFrame(element.CurrentCorners);
    const double f11 = current.x2 / reference.x2;
    const double f12 = (current.x3 - f11 * reference.x3) / reference.y3;
    const double f22 = current.y3 / reference.y3;
    const double exx = (f11 * f11 - 1) / 2;
    const double eyy = (f12 * f12 + f22 * f22 - 1) / 2;
    const double g = f11 * f12;
    const double root = std::sqrt((exx - eyy) * (exx - eyy) + g * g);
    return {std::sqrt(1 + exx + eyy + root), std::sqrt(1 + exx + eyy - root)};
}

void DeriveElementValues(CElementProfile& e) {
    const CCoordinate* p = e.CurrentCorners;
    const CCoordinate* r = e.ReferenceCorners;
    e.ReferenceArea = TriangleArea(r[0], r[1], r[2]);
    const double area = e.CurrentArea();
    e.Thickness = area == 0 ? e.InitialThickness : e.InitialThickness * e.ReferenceArea / area;

    const PrincipalStretches stretches = ComputePrincipalStretches(e);
    const double product = stretches.lambda1 * stretches.lambda2;
    e.PlanarExtension = std::sqrt(product);
    e.StretchRatio = product == 0 ? 1.0
                                  : std::max(stretches.lambda1, stretches.lambda2) /
                                        std::min(stretches.lambda1, stretches.lambda2);

    // Images of the undeformed unit x and y directions.
    const double d = (r[1].x - r[0].x) * (r[2].y - r[0].y) - (r[2].x - r[0].x) * (r[1].y - r[0].y);
    const CCoordinate e1 = p[1] - p[0];
    const CCoordinate e2 = p[2] - p[0];
    e.ExtensionX = Norm(e1 * ((r[2].y - r[0].y) / d) - e2 * ((r[1].y - r[0].y) / d));
    e.ExtensionY = Norm(e1 * (-(r[2].x - r[0].x) / d) + e2 * ((r[1].x - r[0].x) / d));
}
