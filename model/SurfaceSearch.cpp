#include "model/SurfaceSearch.h"

#include "core/Parallel.h"
#include "model/CSheetProfile.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <map>

namespace quillmere {

namespace {

// Triangles per leaf: more makes a smaller tree but more distances per query.
constexpr size_t kLeafSize = 4;
// Subtrees of fewer triangles are built on one thread.
constexpr size_t kParallelBuild = size_t(1) << 14;
constexpr size_t kCornerGrain = 16384;

double Ratio(double numerator, double denominator) {
    return denominator != 0 ? numerator / denominator : 0.0;
}

TrianglePoint At(const CCoordinate& p, const CCoordinate& a, const CCoordinate& b, const CCoordinate& c,
                 double wa, double wb, double wc) {
    TrianglePoint result;
    result.point = a * wa + b * wb + c * wc;
    result.weights = {wa, wb, wc};
    const CCoordinate d = p - result.point;
    result.distanceSquared = Dot(d, d);
    return result;
}

// The closest point of the segment a-b, as weights of a and b.
double SegmentParameter(const CCoordinate& p, const CCoordinate& a, const CCoordinate& b) {
    const CCoordinate ab = b - a;
    return std::clamp(Ratio(Dot(p - a, ab), Dot(ab, ab)), 0.0, 1.0);
}

// A triangle without area: the closest of its three edges.
TrianglePoint ClosestOnEdges(const CCoordinate& p, const CCoordinate& a, const CCoordinate& b,
                             const CCoordinate& c) {
    const double s = SegmentParameter(p, a, b);
    const double t = SegmentParameter(p, b, c);
    const double u = SegmentParameter(p, c, a);
    TrianglePoint best = At(p, a, b, c, 1 - s, s, 0);
    for (const TrianglePoint& other : {At(p, a, b, c, 0, 1 - t, t), At(p, a, b, c, u, 0, 1 - u)})
        if (other.distanceSquared < best.distanceSquared)
            best = other;
    return best;
}

// Rounded outwards, so that a box of floats holds what it bounds.
float Below(double value) {
    if (value <= -double(FLT_MAX))
        return -std::numeric_limits<float>::infinity();
    if (value >= double(FLT_MAX))
        return FLT_MAX;
    float rounded = static_cast<float>(value);
    if (double(rounded) > value)
        rounded = std::nextafter(rounded, -std::numeric_limits<float>::infinity());
    return rounded;
}
float Above(double value) {
    if (value >= double(FLT_MAX))
        return std::numeric_limits<float>::infinity();
    if (value <= -double(FLT_MAX))
        return -FLT_MAX;
    float rounded = static_cast<float>(value);
    if (double(rounded) < value)
        rounded = std::nextafter(rounded, std::numeric_limits<float>::infinity());
    return rounded;
}

using Box = CSurfaceSearch::Box;
using Triangle = CSurfaceSearch::Triangle;

double BoxDistanceSquared(const Box& box, const CCoordinate& p) {
    const double v[3] = {p.x, p.y, p.z};
    double sum = 0;
    for (size_t k = 0; k < 3; ++k) {
        const double below = double(box.low[k]) - v[k];
        const double above = v[k] - double(box.high[k]);
        const double d = below > 0 ? below : above > 0 ? above : 0.0;
        sum += d * d;
    }
    return sum;
}

// A triangle waiting for its place in the tree: its element and centre.
struct Item {
    std::array<float, 3> centre;
    int32_t element;
};

// Builds the tree top down, halving the triangles at the median of their
// centres along the longest side of the centres' box. The halves' sizes
// give every subtree its place in the box array beforehand, so that both
// halves are built at the same time.
class CTreeBuilder {
public:
    CTreeBuilder(const CSheetProfile& source, BigArray<Item>& sorted, BigArray<Triangle>& leaves,
                 BigArray<Box>& tree)
        : sheet(source), items(sorted), triangles(leaves), boxes(tree) {
        boxes.resize(CountBoxes(items.size()));
        triangles.resize(items.size());
    }

    void Build(size_t first, size_t last, size_t slot) {
        const size_t count = last - first;
        if (count <= kLeafSize) {
            Leaf(first, last, slot);
            return;
        }
        std::array<float, 3> low = items[first].centre, high = low;
        for (size_t i = first + 1; i < last; ++i)
            for (size_t k = 0; k < 3; ++k) {
                low[k] = std::min(low[k], items[i].centre[k]);
                high[k] = std::max(high[k], items[i].centre[k]);
            }
        size_t axis = 0;
        for (size_t k = 1; k < 3; ++k)
            if (high[k] - low[k] > high[axis] - low[axis])
                axis = k;
        const size_t middle = first + count / 2;
        std::nth_element(items.begin() + static_cast<std::ptrdiff_t>(first),
                         items.begin() + static_cast<std::ptrdiff_t>(middle),
                         items.begin() + static_cast<std::ptrdiff_t>(last),
                         [axis](const Item& a, const Item& b) { return a.centre[axis] < b.centre[axis]; });
        const size_t second = slot + 1 + BoxesOf(count / 2);
        if (count >= kParallelBuild)
            parallel::Both([&] { Build(first, middle, slot + 1); }, [&] { Build(middle, last, second); });
        else {
            Build(first, middle, slot + 1);
            Build(middle, last, second);
        }
        Box& box = boxes[slot];
        const Box& a = boxes[slot + 1];
        const Box& b = boxes[second];
        for (size_t k = 0; k < 3; ++k) {
            box.low[k] = std::min(a.low[k], b.low[k]);
            box.high[k] = std::max(a.high[k], b.high[k]);
        }
        box.first = static_cast<uint32_t>(second);
        box.count = 0;
    }

private:
    // Boxes of a subtree of count triangles; only the few sizes that
    // halving the whole gives occur, each worked out once beforehand.
    size_t CountBoxes(size_t count) {
        if (count <= kLeafSize)
            return 1;
        const auto known = sizes.find(count);
        if (known != sizes.end())
            return known->second;
        const size_t boxCount = 1 + CountBoxes(count / 2) + CountBoxes(count - count / 2);
        sizes.emplace(count, boxCount);
        return boxCount;
    }
    // Only read while the halves are built: every size was worked out in
    // the constructor.
    size_t BoxesOf(size_t count) const { return count <= kLeafSize ? 1 : sizes.at(count); }

    void Leaf(size_t first, size_t last, size_t slot) {
        double low[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, high[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
        for (size_t i = first; i < last; ++i) {
            const size_t element = static_cast<size_t>(items[i].element);
            Triangle& triangle = triangles[i];
            triangle = {sheet.CurrentCorner(element, 0), sheet.CurrentCorner(element, 1),
                        sheet.CurrentCorner(element, 2), items[i].element};
            for (const CCoordinate* corner : {&triangle.a, &triangle.b, &triangle.c}) {
                const double v[3] = {corner->x, corner->y, corner->z};
                for (size_t k = 0; k < 3; ++k) {
                    low[k] = std::min(low[k], v[k]);
                    high[k] = std::max(high[k], v[k]);
                }
            }
        }
        Box& box = boxes[slot];
        for (size_t k = 0; k < 3; ++k) {
            box.low[k] = Below(low[k]);
            box.high[k] = Above(high[k]);
        }
        box.first = static_cast<uint32_t>(first);
        box.count = static_cast<uint32_t>(last - first);
    }

    const CSheetProfile& sheet;
    BigArray<Item>& items;
    BigArray<Triangle>& triangles;
    BigArray<Box>& boxes;
    std::map<size_t, size_t> sizes;
};

bool LessThan(double distanceSquared, int32_t element, double bestSquared, int32_t bestElement) {
    return distanceSquared < bestSquared || (distanceSquared == bestSquared && element < bestElement);
}

} // namespace

TrianglePoint ClosestPointOnTriangle(const CCoordinate& p, const CCoordinate& a, const CCoordinate& b,
                                     const CCoordinate& c) {
    // The Voronoi regions of the corners, the edges and the face in turn
    // (Ericson, Real-Time Collision Detection, 5.1.5).
    const CCoordinate ab = b - a, ac = c - a, ap = p - a;
    const double d1 = Dot(ab, ap), d2 = Dot(ac, ap);
    if (d1 <= 0 && d2 <= 0)
        return At(p, a, b, c, 1, 0, 0);
    const CCoordinate bp = p - b;
    const double d3 = Dot(ab, bp), d4 = Dot(ac, bp);
    if (d3 >= 0 && d4 <= d3)
        return At(p, a, b, c, 0, 1, 0);
    const double vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0) {
        const double v = Ratio(d1, d1 - d3);
        return At(p, a, b, c, 1 - v, v, 0);
    }
    const CCoordinate cp = p - c;
    const double d5 = Dot(ab, cp), d6 = Dot(ac, cp);
    if (d6 >= 0 && d5 <= d6)
        return At(p, a, b, c, 0, 0, 1);
    const double vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0) {
        const double w = Ratio(d2, d2 - d6);
        return At(p, a, b, c, 1 - w, 0, w);
    }
    const double va = d3 * d6 - d5 * d4;
    if (va <= 0 && d4 - d3 >= 0 && d5 - d6 >= 0) {
        const double w = Ratio(d4 - d3, (d4 - d3) + (d5 - d6));
        return At(p, a, b, c, 0, 1 - w, w);
    }
    const double sum = va + vb + vc;
    if (!(sum > 0) || !std::isfinite(sum))
        return ClosestOnEdges(p, a, b, c);
    const double v = vb / sum, w = vc / sum;
    TrianglePoint result;
    result.point = a + ab * v + ac * w;
    result.weights = {1 - v - w, v, w};
    const CCoordinate d = p - result.point;
    result.distanceSquared = Dot(d, d);
    return result;
}

double Interpolate(const std::array<double, 3>& weights, const std::array<double, 3>& values) {
    double sum = 0;
    for (size_t i = 0; i < 3; ++i)
        if (weights[i] != 0)
            sum += weights[i] * values[i];
    return sum;
}

CCoordinate AffineMap::Apply(const CCoordinate& p) const {
    return {m[0] * p.x + m[1] * p.y + m[2] * p.z + t.x, m[3] * p.x + m[4] * p.y + m[5] * p.z + t.y,
            m[6] * p.x + m[7] * p.y + m[8] * p.z + t.z};
}

AffineMap AffineMap::After(const AffineMap& first) const {
    AffineMap result;
    for (size_t r = 0; r < 3; ++r)
        for (size_t c = 0; c < 3; ++c)
            result.m[3 * r + c] =
                m[3 * r] * first.m[c] + m[3 * r + 1] * first.m[3 + c] + m[3 * r + 2] * first.m[6 + c];
    result.t = Apply(first.t);
    return result;
}

namespace {

// The reflection in plane, when it has a normal.
bool TryReflection(const CPlane& plane, AffineMap& map) {
    const double length = Norm(plane.normal);
    if (!(length > 0) || !std::isfinite(length) || !std::isfinite(plane.offset))
        return false;
    const CCoordinate n = plane.normal * (1 / length);
    const double offset = plane.offset / length;
    const double v[3] = {n.x, n.y, n.z};
    for (size_t r = 0; r < 3; ++r)
        for (size_t c = 0; c < 3; ++c)
            map.m[3 * r + c] = (r == c ? 1.0 : 0.0) - 2 * v[r] * v[c];
    map.t = n * (-2 * offset);
    return true;
}

// The inverse of a map whose matrix is orthogonal, as those of mirrors are.
AffineMap OrthogonalInverse(const AffineMap& map) {
    AffineMap inverse;
    for (size_t r = 0; r < 3; ++r)
        for (size_t c = 0; c < 3; ++c)
            inverse.m[3 * r + c] = map.m[3 * c + r];
    AffineMap rotation = inverse;
    inverse.t = rotation.Apply(map.t) * -1.0;
    return inverse;
}

} // namespace

AffineMap Reflection(const CPlane& plane) {
    AffineMap map;
    TryReflection(plane, map);
    return map;
}

std::vector<AffineMap> SymmetryImages(const CSheetProfile& sheet) {
    const CSheetMesh& mesh = sheet.Mesh();
    const int wanted = mesh.Symmetry() == HALF ? 1 : mesh.Symmetry() == QUARTER ? 2 : 0;
    std::vector<AffineMap> maps(1);
    for (int plane = 0; plane < std::min(wanted, mesh.SymmetryPlaneCount()); ++plane) {
        AffineMap mirror;
        if (!TryReflection(mesh.SymmetryPlane(plane), mirror))
            continue;
        const size_t before = maps.size();
        for (size_t i = 0; i < before; ++i)
            maps.push_back(mirror.After(maps[i]));
    }
    return maps;
}

CSurfaceSearch::CSurfaceSearch(const CSheetProfile& sheet, SheetImages kind) {
    const std::vector<AffineMap> maps =
        kind == SheetImages::Mirrored ? SymmetryImages(sheet) : std::vector<AffineMap>(1);
    for (const AffineMap& map : maps)
        images.push_back({map, OrthogonalInverse(map)});

    // Triangles with a corner that is not a number have no place anywhere.
    const size_t elements = static_cast<size_t>(sheet.ElementCount());
    BigArray<Item> all(elements);
    parallel::ForBlocks(elements, kCornerGrain, [&](size_t first, size_t last) {
        for (size_t e = first; e < last; ++e) {
            const CCoordinate& a = sheet.CurrentCorner(e, 0);
            const CCoordinate& b = sheet.CurrentCorner(e, 1);
            const CCoordinate& c = sheet.CurrentCorner(e, 2);
            if (!IsFinite(a) || !IsFinite(b) || !IsFinite(c)) {
                all[e].element = -1;
                continue;
            }
            const CCoordinate centre = (a + b + c) * (1.0 / 3);
            all[e] = {
                {static_cast<float>(centre.x), static_cast<float>(centre.y), static_cast<float>(centre.z)},
                static_cast<int32_t>(e)};
        }
    });
    BigArray<Item> items;
    items.reserve(elements);
    for (const Item& item : all)
        if (item.element >= 0)
            items.push_back(item);
    all = BigArray<Item>();
    if (items.empty())
        return;
    CTreeBuilder builder(sheet, items, triangles, boxes);
    builder.Build(0, items.size(), 0);
}

void CSurfaceSearch::Search(const CCoordinate& p, int image, Best& best) const {
    struct Pending {
        uint32_t box;
        double distanceSquared;
    };
    // Halving keeps the tree below 2 log2(triangles) levels.
    Pending stack[128];
    size_t depth = 0;
    uint32_t at = 0;
    double atDistance = BoxDistanceSquared(boxes[0], p);
    for (;;) {
        if (atDistance <= best.distanceSquared) {
            const Box& box = boxes[at];
            if (box.count > 0) {
                for (uint32_t i = box.first; i < box.first + box.count; ++i) {
                    const Triangle& triangle = triangles[i];
                    const TrianglePoint point = ClosestPointOnTriangle(p, triangle.a, triangle.b, triangle.c);
                    if (LessThan(point.distanceSquared, triangle.element, best.distanceSquared,
                                 best.element)) {
                        best.distanceSquared = point.distanceSquared;
                        best.element = triangle.element;
                        best.triangle = i;
                        best.image = image;
                        best.point = point;
                    }
                }
            } else {
                // The nearer child first: it lowers the bound for the other.
                uint32_t near = at + 1, far = box.first;
                double nearDistance = BoxDistanceSquared(boxes[near], p);
                double farDistance = BoxDistanceSquared(boxes[far], p);
                if (farDistance < nearDistance) {
                    std::swap(near, far);
                    std::swap(nearDistance, farDistance);
                }
                stack[depth++] = {far, farDistance};
                at = near;
                atDistance = nearDistance;
                continue;
            }
        }
        if (depth == 0)
            return;
        --depth;
        at = stack[depth].box;
        atDistance = stack[depth].distanceSquared;
    }
}

SurfacePoint CSurfaceSearch::Closest(const CCoordinate& p) const {
    SurfacePoint result;
    if (triangles.empty() || !IsFinite(p))
        return result;
    Best best;
    for (size_t image = 0; image < images.size(); ++image)
        Search(image == 0 ? p : images[image].fromImage.Apply(p), static_cast<int>(image), best);
    if (best.element < 0)
        return result;
    const ImageMaps& image = images[static_cast<size_t>(best.image)];
    const Triangle& triangle = triangles[best.triangle];
    const CCoordinate stored = best.image == 0 ? p : image.fromImage.Apply(p);
    const double length = std::sqrt(best.distanceSquared);
    const bool behind =
        Dot(stored - best.point.point, Cross(triangle.b - triangle.a, triangle.c - triangle.a)) < 0;
    result.element = best.element;
    result.point = best.image == 0 ? best.point.point : image.toImage.Apply(best.point.point);
    result.weights = best.point.weights;
    result.distance = behind ? -length : length;
    result.image = best.image;
    return result;
}

} // namespace quillmere
