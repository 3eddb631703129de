#include "model/CElementProfile.h"

#include <algorithm>
#include <cmath>

namespace {

// The triangle placed in its own plane: corner 1 at the origin, corner 2 on
// the x axis at (x2, 0), corner 3 at (x3, y3). With a = |P2 - P1| the third
// corner is x3 = (a + (c - b)(c + b) / a) / 2, which equals e1.e2 / a, and
// y3 = sqrt(c^2 - x3^2) = |e1 x e2| / a: the dot and cross products give it
// with fewer square roots and without the cancellation of thin triangles.
struct PlaneFrame {
    double x2, x3, y3;
};

PlaneFrame InPlaneFrame(const CCoordinate& e1, const CCoordinate& e2, double crossNorm) {
    const double a = Norm(e1);
    return {a, Dot(e1, e2) / a, crossNorm / a};
}

PlaneFrame InPlaneFrame(const CCoordinate corners[3]) {
    const CCoordinate e1 = corners[1] - corners[0];
    const CCoordinate e2 = corners[2] - corners[0];
    return InPlaneFrame(e1, e2, Norm(Cross(e1, e2)));
}

PrincipalStretches StretchesBetween(const PlaneFrame& undeformed, const PlaneFrame& deformed) {
    const double f11 = deformed.x2 / undeformed.x2;
    const double f12 = (deformed.x3 - f11 * undeformed.x3) / undeformed.y3;
    const double f22 = deformed.y3 / undeformed.y3;
    const double exx = (f11 * f11 - 1) / 2;
    const double eyy = (f12 * f12 + f22 * f22 - 1) / 2;
    const double g = f11 * f12;
    const double root = std::sqrt((exx - eyy) * (exx - eyy) + g * g);
    return {std::sqrt(1 + exx + eyy + root), std::sqrt(1 + exx + eyy - root)};
}

} // namespace

PrincipalStretches ComputePrincipalStretches(const CCoordinate current[3], const CCoordinate reference[3]) {
    return StretchesBetween(InPlaneFrame(reference), InPlaneFrame(current));
}

double DeriveElementValues(CElementProfile& e, const CCoordinate p[3], const CCoordinate r[3]) {
    const CCoordinate r1 = r[1] - r[0];
    const CCoordinate r2 = r[2] - r[0];
    const double twiceReferenceArea = Norm(Cross(r1, r2));
    e.ReferenceArea = 0.5 * twiceReferenceArea;
    const CCoordinate e1 = p[1] - p[0];
    const CCoordinate e2 = p[2] - p[0];
    const CCoordinate cross = Cross(e1, e2);
    const double twiceArea = Norm(cross);
    const double area = 0.5 * twiceArea;
    e.Thickness = area == 0 ? e.InitialThickness : e.InitialThickness * e.ReferenceArea / area;
    // The normal stays as it was for a triangle without area.
    if (twiceArea != 0)
        e.Normal = cross * (1.0 / twiceArea);

    const PrincipalStretches stretches =
        StretchesBetween(InPlaneFrame(r1, r2, twiceReferenceArea), InPlaneFrame(e1, e2, twiceArea));
    const double product = stretches.lambda1 * stretches.lambda2;
    e.PlanarExtension = std::sqrt(product);
    e.StretchRatio = product == 0 ? 1.0
                                  : std::max(stretches.lambda1, stretches.lambda2) /
                                        std::min(stretches.lambda1, stretches.lambda2);

    // Images of the undeformed unit x and y directions.
    const double d = (r[1].x - r[0].x) * (r[2].y - r[0].y) - (r[2].x - r[0].x) * (r[1].y - r[0].y);
    e.ExtensionX = Norm(e1 * ((r[2].y - r[0].y) / d) - e2 * ((r[1].y - r[0].y) / d));
    e.ExtensionY = Norm(e1 * (-(r[2].x - r[0].x) / d) + e2 * ((r[1].x - r[0].x) / d));
    return area;
}
