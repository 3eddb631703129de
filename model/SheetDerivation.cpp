#include "model/SheetDerivation.h"

#include "core/Parallel.h"

#include <algorithm>
#include <cmath>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Two elements at once: the operations of DeriveElementValues on pairs of
// numbers, one element in each lane, in the same order. Square roots and
// divisions, which bound the derivation, then cost half; each lane gives
// the bits the scalar code gives, since every operation rounds alone (no
// contraction into fused operations in standard C++).
using Pair = double __attribute__((vector_size(16)));

Pair Sqrt(Pair a) {
#if defined(__SSE2__)
    return _mm_sqrt_pd(a);
#else
    return Pair{std::sqrt(a[0]), std::sqrt(a[1])};
#endif
}

// std::max and std::min, lane by lane, with their choice among equals.
Pair Larger(Pair a, Pair b) {
    return a < b ? b : a;
}
Pair Smaller(Pair a, Pair b) {
    return b < a ? b : a;
}

struct PairTriple {
    Pair x, y, z;
};

PairTriple operator-(const PairTriple& a, const PairTriple& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
PairTriple operator+(const PairTriple& a, const PairTriple& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
PairTriple operator*(const PairTriple& a, Pair s) {
    return {a.x * s, a.y * s, a.z * s};
}
Pair Dot(const PairTriple& a, const PairTriple& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
PairTriple Cross(const PairTriple& a, const PairTriple& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Pair Norm(const PairTriple& a) {
    return Sqrt(Dot(a, a));
}
PairTriple Lanes(const CCoordinate& first, const CCoordinate& second) {
    return {Pair{first.x, second.x}, Pair{first.y, second.y}, Pair{first.z, second.z}};
}

// Elements i and i + 1 as DeriveElementValues derives them, when both are
// of the usual kind: corners, areas and results all numbers, areas and
// stretches not 0. False, with nothing written, when either is not: the
// scalar code derives them then.
bool DeriveElementPair(const CDerivationInput& in, CSheetDerived& out, size_t i, double referenceAreas[2]) {
    const CCoordinate* currentNodes = in.values->currentCoordinates.data();
    const ElementNodes& n = in.nodes[i];
    const ElementNodes& m = in.nodes[i + 1];
    const PairTriple r0 = Lanes(in.referenceNodes[n[0]], in.referenceNodes[m[0]]);
    const PairTriple r1 = Lanes(in.referenceNodes[n[1]], in.referenceNodes[m[1]]) - r0;
    const PairTriple r2 = Lanes(in.referenceNodes[n[2]], in.referenceNodes[m[2]]) - r0;
    const PairTriple p0 = Lanes(currentNodes[n[0]], currentNodes[m[0]]);
    const PairTriple e1 = Lanes(currentNodes[n[1]], currentNodes[m[1]]) - p0;
    const PairTriple e2 = Lanes(currentNodes[n[2]], currentNodes[m[2]]) - p0;
    const Pair half = {0.5, 0.5}, one = {1, 1}, two = {2, 2};

    const Pair twiceReferenceArea = Norm(Cross(r1, r2));
    const Pair referenceArea = half * twiceReferenceArea;
    const PairTriple cross = Cross(e1, e2);
    const Pair twiceArea = Norm(cross);
    const Pair area = half * twiceArea;
    const PairTriple normal = cross * (one / twiceArea);
    const Pair initial = {in.values->elements[i].InitialThickness,
                          in.values->elements[i + 1].InitialThickness};
    const Pair thickness = initial * referenceArea / area;

    // InPlaneFrame of both triangles, then StretchesBetween.
    const Pair ux2 = Norm(r1), ux3 = Dot(r1, r2) / ux2, uy3 = twiceReferenceArea / ux2;
    const Pair dx2 = Norm(e1), dx3 = Dot(e1, e2) / dx2, dy3 = twiceArea / dx2;
    const Pair f11 = dx2 / ux2;
    const Pair f12 = (dx3 - f11 * ux3) / uy3;
    const Pair f22 = dy3 / uy3;
    const Pair exx = (f11 * f11 - one) / two;
    const Pair eyy = (f12 * f12 + f22 * f22 - one) / two;
    const Pair g = f11 * f12;
    const Pair root = Sqrt((exx - eyy) * (exx - eyy) + g * g);
    const Pair lambda1 = Sqrt(one + exx + eyy + root);
    const Pair lambda2 = Sqrt(one + exx + eyy - root);
    const Pair product = lambda1 * lambda2;
    const Pair planar = Sqrt(product);
    const Pair ratio = Larger(lambda1, lambda2) / Smaller(lambda1, lambda2);

    const Pair d = r1.x * r2.y - r2.x * r1.y;
    const Pair extensionX = Norm(e1 * (r2.y / d) - e2 * (r1.y / d));
    const Pair extensionY = Norm(e1 * (-r2.x / d) + e2 * (r1.x / d));

    for (int k = 0; k < 2; ++k) {
        const bool usual = std::isfinite(twiceArea[k]) && std::isfinite(twiceReferenceArea[k]) &&
                           twiceArea[k] != 0 && twiceReferenceArea[k] != 0 && area[k] != 0 &&
                           product[k] != 0 && std::isfinite(thickness[k]) && std::isfinite(ratio[k]) &&
                           std::isfinite(planar[k]) && std::isfinite(extensionX[k]) &&
                           std::isfinite(extensionY[k]) && std::isfinite(normal.x[k]) &&
                           std::isfinite(normal.y[k]) && std::isfinite(normal.z[k]);
        if (!usual)
            return false;
    }
    for (int k = 0; k < 2; ++k) {
        CElementDerived& e = out.elements[i + static_cast<size_t>(k)];
        e.Thickness = thickness[k];
        e.StretchRatio = ratio[k];
        e.ExtensionX = extensionX[k];
        e.ExtensionY = extensionY[k];
        e.PlanarExtension = planar[k];
        e.Normal = {normal.x[k], normal.y[k], normal.z[k]};
        out.currentAreas[i + static_cast<size_t>(k)] = area[k];
        referenceAreas[k] = referenceArea[k];
    }
    return true;
}

bool SameNodes(const ElementNodes& a, const ElementNodes& b) {
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

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
    // What follows the derivation of element i, in element order.
    auto derived = [&](size_t i, double referenceArea) {
        if (in.referenceAreas)
            in.referenceAreas[i] = referenceArea;
        if (std::isfinite(values[i].InitialThickness))
            part.maxInitialThickness = std::max(part.maxInitialThickness, values[i].InitialThickness);
        if (HasNonFiniteValue(values[i], out.elements[i]))
            part.nonFinite.Add(static_cast<int>(i));
    };
    for (size_t i = first; i < last;) {
        double referenceAreas[2];
        if (i + 1 < last &&
            (!in.recordNodes || (SameNodes(in.recordNodes[i], in.nodes[i]) &&
                                 SameNodes(in.recordNodes[i + 1], in.nodes[i + 1]))) &&
            DeriveElementPair(in, out, i, referenceAreas)) {
            derived(i, referenceAreas[0]);
            derived(i + 1, referenceAreas[1]);
            i += 2;
            continue;
        }
        const ElementNodes& n = in.nodes[i];
        if (in.recordNodes && !SameNodes(in.recordNodes[i], n)) {
            part.sameNodes = false;
            break;
        }
        const CCoordinate current[3] = {currentNodes[n[0]], currentNodes[n[1]], currentNodes[n[2]]};
        const CCoordinate reference[3] = {in.referenceNodes[n[0]], in.referenceNodes[n[1]],
                                          in.referenceNodes[n[2]]};
        double referenceArea = 0;
        // A triangle without area keeps the normal it starts with: none.
        out.elements[i] = CElementDerived();
        out.currentAreas[i] =
            DeriveElementValues(out.elements[i], referenceArea, values[i], current, reference);
        derived(i, referenceArea);
        ++i;
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
