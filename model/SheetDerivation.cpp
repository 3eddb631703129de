#include "model/SheetDerivation.h"

#include "core/Parallel.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quillmere {

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

double DeriveElementValues(CElementDerived& e, double& referenceArea, const CElementValues& values,
                           const CCoordinate p[3], const CCoordinate r[3]) {
    const CCoordinate r1 = r[1] - r[0];
    const CCoordinate r2 = r[2] - r[0];
    const double twiceReferenceArea = Norm(Cross(r1, r2));
    referenceArea = 0.5 * twiceReferenceArea;
    const CCoordinate e1 = p[1] - p[0];
    const CCoordinate e2 = p[2] - p[0];
    const CCoordinate cross = Cross(e1, e2);
    const double twiceArea = Norm(cross);
    const double area = 0.5 * twiceArea;
    // A corner that is not a number makes the area none either (an infinite
    // coordinate meets a 0 or another infinity in the cross product).
    const bool finite = std::isfinite(twiceArea) && std::isfinite(twiceReferenceArea);
    // The normal stays as it was for a triangle without area.
    if (twiceArea != 0 && finite)
        e.Normal = cross * (1.0 / twiceArea);
    if (!finite || twiceReferenceArea == 0) {
        // Divided by nothing, the stretches would be whatever the rounding
        // makes of 0 / 0; an element without undeformed area has none.
        constexpr double none = std::numeric_limits<double>::quiet_NaN();
        e.Thickness = e.ExtensionX = e.ExtensionY = e.PlanarExtension = e.StretchRatio = none;
        return std::isfinite(area) ? area : 0;
    }
    e.Thickness = area == 0 ? values.InitialThickness : values.InitialThickness * referenceArea / area;

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

bool HasNonFiniteValue(const CElementValues& v, const CElementDerived& e) {
    return !(std::isfinite(v.InitialThickness) && std::isfinite(v.Temperature) &&
             std::isfinite(v.PrincipalStress1) && std::isfinite(v.PrincipalStress2) &&
             std::isfinite(e.Thickness) && std::isfinite(e.ExtensionX) && std::isfinite(e.ExtensionY) &&
             std::isfinite(e.PlanarExtension) && std::isfinite(e.StretchRatio));
}

namespace {

// What the derivation of every element finds besides the elements' values.
struct DerivedTotals {
    double maxInitialThickness = 0; // largest finite one; 0 without any
    NonFiniteItems nonFinite;       // elements by 0-based index
    bool sameNodes = true;

    void Join(const DerivedTotals& later) {
        maxInitialThickness = std::max(maxInitialThickness, later.maxInitialThickness);
        nonFinite.Join(later.nonFinite);
        sameNodes = sameNodes && later.sameNodes;
    }
};

// Elements first .. last - 1, their corners taken from the node arrays.
DerivedTotals DeriveElements(const CDerivationInput& in, CSheetDerived& out, size_t first, size_t last) {
    DerivedTotals part;
    const CCoordinate* currentNodes = in.values->currentCoordinates.data();
    const CElementValues* values = in.values->elements.data();
    for (size_t i = first; i < last; ++i) {
        const ElementNodes& n = in.nodes[i];
        if (in.recordNodes && in.recordNodes[i] != n) {
            part.sameNodes = false;
            break;
        }
        const CCoordinate current[3] = {currentNodes[n[0]], currentNodes[n[1]], currentNodes[n[2]]};
        const CCoordinate reference[3] = {in.referenceNodes[n[0]], in.referenceNodes[n[1]],
                                          in.referenceNodes[n[2]]};
        double referenceArea = 0;
        out.currentAreas[i] =
            DeriveElementValues(out.elements[i], referenceArea, values[i], current, reference);
        if (in.referenceAreas)
            in.referenceAreas[i] = referenceArea;
        if (std::isfinite(values[i].InitialThickness))
            part.maxInitialThickness = std::max(part.maxInitialThickness, values[i].InitialThickness);
        if (HasNonFiniteValue(values[i], out.elements[i]))
            part.nonFinite.Add(static_cast<int>(i));
    }
    return part;
}

} // namespace

CSheetDerived DeriveRecord(const CDerivationInput& input, bool* sameNodes) {
    CSheetDerived derived;
    const size_t count = input.values->elements.size();
    derived.elements.resize(count);
    derived.currentAreas.resize(count);
    const DerivedTotals totals = parallel::ReduceBlocks(
        count, kElementGrain, DerivedTotals(),
        [&](size_t first, size_t last) { return DeriveElements(input, derived, first, last); },
        [](DerivedTotals a, const DerivedTotals& b) {
            a.Join(b);
            return a;
        });
    if (sameNodes)
        *sameNodes = totals.sameNodes;
    derived.maxInitialThickness = totals.maxInitialThickness;
    derived.nonFinite.elements = totals.nonFinite;
    const NodeBox nodes = BoundingBoxOf(input.values->currentCoordinates.data(), input.nodeCount);
    const std::array<double, 6>& box = nodes.box;
    derived.boundingBox = box;
    derived.nonFinite.nodes = nodes.nonFinite;
    derived.sizeX = box[1] - box[0];
    derived.sizeY = box[3] - box[2];
    derived.sheetSize = std::max({derived.sizeX, derived.sizeY, box[5] - box[4]});
    return derived;
}

NodeBox BoundingBoxOf(const CCoordinate* nodes, int nodeCount) {
    using Box = std::array<double, 6>;
    // std::min and std::max keep the earlier of equal values (0 and -0), and
    // the blocks are joined in order: the box is the serial loop's.
    auto join = [](NodeBox a, const NodeBox& b) {
        a.box = {std::min(a.box[0], b.box[0]), std::max(a.box[1], b.box[1]), std::min(a.box[2], b.box[2]),
                 std::max(a.box[3], b.box[3]), std::min(a.box[4], b.box[4]), std::max(a.box[5], b.box[5])};
        a.nonFinite.Join(b.nonFinite);
        return a;
    };
    NodeBox none;
    none.box = {1e30, -1e30, 1e30, -1e30, 1e30, -1e30};
    NodeBox result = parallel::ReduceBlocks(
        static_cast<size_t>(nodeCount), kNodeGrain, none,
        [nodes, &none](size_t first, size_t last) {
            NodeBox part = none;
            Box& box = part.box;
            for (size_t node = first + 1; node <= last; ++node) {
                const CCoordinate& p = nodes[node];
                // One node at infinity would leave no room for the others.
                if (!(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z))) {
                    part.nonFinite.Add(static_cast<int>(node));
                    continue;
                }
                box[0] = std::min(box[0], p.x);
                box[1] = std::max(box[1], p.x);
                box[2] = std::min(box[2], p.y);
                box[3] = std::max(box[3], p.y);
                box[4] = std::min(box[4], p.z);
                box[5] = std::max(box[5], p.z);
            }
            return part;
        },
        join);
    if (result.nonFinite.count == nodeCount)
        result.box = Box{};
    return result;
}

} // namespace quillmere
