#include "model/SheetDerivation.h"

#include "core/Parallel.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

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

// The node lists are sorted in at most this many parts of the element array,
// none smaller than the size below: each part costs a tally of every node.
constexpr size_t AdjacencyParts = 2;
constexpr size_t AdjacencyPartSize = 65536;

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
    e.Thickness = area == 0 ? e.InitialThickness : e.InitialThickness * e.ReferenceArea / area;

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

bool HasNonFiniteValue(const CElementProfile& e) {
    return !(std::isfinite(e.InitialThickness) && std::isfinite(e.Temperature) &&
             std::isfinite(e.PrincipalStress1) && std::isfinite(e.PrincipalStress2) &&
             std::isfinite(e.Thickness) && std::isfinite(e.ExtensionX) && std::isfinite(e.ExtensionY) &&
             std::isfinite(e.PlanarExtension) && std::isfinite(e.StretchRatio));
}

DerivedTotals DeriveAllElements(BigArray<CElementProfile>& elements, const CCoordinate* currentNodes,
                                const CCoordinate* referenceNodes, BigArray<double>& areas,
                                int32_t* corners) {
    areas.resize(elements.size());
    return parallel::ReduceBlocks(
        elements.size(), kElementGrain, DerivedTotals(),
        [&elements, currentNodes, referenceNodes, &areas, corners](size_t first, size_t last) {
            DerivedTotals part;
            for (size_t i = first; i < last; ++i) {
                CElementProfile& element = elements[i];
                const int32_t* n = element.NodeNumbers;
                const CCoordinate current[3] = {currentNodes[n[0]], currentNodes[n[1]], currentNodes[n[2]]};
                const CCoordinate reference[3] = {referenceNodes[n[0]], referenceNodes[n[1]],
                                                  referenceNodes[n[2]]};
                areas[i] = DeriveElementValues(element, current, reference);
                if (std::isfinite(element.InitialThickness))
                    part.maxInitialThickness = std::max(part.maxInitialThickness, element.InitialThickness);
                if (HasNonFiniteValue(element))
                    part.nonFinite.Add(static_cast<int>(i));
                if (corners)
                    std::memcpy(corners + 3 * i, element.NodeNumbers, sizeof element.NodeNumbers);
            }
            return part;
        },
        [](DerivedTotals a, const DerivedTotals& b) {
            a.maxInitialThickness = std::max(a.maxInitialThickness, b.maxInitialThickness);
            a.nonFinite.Join(b.nonFinite);
            return a;
        });
}

void BuildNodeElements(BigArray<int32_t>& corners, const BigArray<CElementProfile>& elements, int nodeCount,
                       BigArray<int32_t>& nodeElementStart, BigArray<int32_t>& nodeElementList) {
    // A counting sort in parts of the element array: each part tallies its
    // nodes on its own, and a node's list takes the elements of part 0, then
    // those of part 1 ..., each part's in element order. The lists are
    // therefore in element order, whatever the number of parts. The tally
    // reads the compact corners; the lists take their place in memory and
    // are filled from the elements.
    const size_t slots = static_cast<size_t>(nodeCount) + 1;
    const size_t count = elements.size();
    const size_t parts = std::max<size_t>(1, std::min(AdjacencyParts, count / AdjacencyPartSize));
    auto partStart = [count, parts](size_t part) { return count * part / parts; };
    // tally[part * slots + node]: first the part's count of the node, then
    // the place of its next element in nodeElementList.
    BigArray<int32_t> tally(parts * slots);
    const int32_t* at = corners.data();
    parallel::ForBlocks(parts, 1, [&](size_t first, size_t last) {
        for (size_t part = first; part < last; ++part) {
            int32_t* mine = tally.data() + part * slots;
            for (size_t i = 3 * partStart(part); i < 3 * partStart(part + 1); ++i)
                ++mine[at[i]];
        }
    });
    // Each node's total and, per part, the elements of earlier parts.
    nodeElementStart.resize(slots + 1);
    nodeElementStart[0] = 0;
    parallel::ForBlocks(slots, kNodeGrain, [&](size_t first, size_t last) {
        for (size_t node = first; node < last; ++node) {
            int32_t before = 0;
            for (size_t part = 0; part < parts; ++part) {
                int32_t& entry = tally[part * slots + node];
                const int32_t own = entry;
                entry = before;
                before += own;
            }
            nodeElementStart[node + 1] = before;
        }
    });
    for (size_t i = 1; i < nodeElementStart.size(); ++i)
        nodeElementStart[i] += nodeElementStart[i - 1];
    BigArray<int32_t>().swap(corners);
    nodeElementList.resize(static_cast<size_t>(nodeElementStart.back()));
    parallel::ForBlocks(parts, 1, [&](size_t first, size_t last) {
        for (size_t part = first; part < last; ++part) {
            int32_t* next = tally.data() + part * slots;
            for (size_t e = partStart(part); e < partStart(part + 1); ++e)
                for (const int32_t node : elements[e].NodeNumbers)
                    nodeElementList[static_cast<size_t>(nodeElementStart[static_cast<size_t>(node)] +
                                                        next[node]++)] = static_cast<int32_t>(e);
        }
    });
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
