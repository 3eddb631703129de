#include "cut/CutChain.h"

#include "core/Parallel.h"
#include "model/CSheetProfile.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace quillmere {

namespace {

constexpr double PointTolerance = 1e-11;
constexpr double PieceTolerance = 1e-10;
constexpr double SideProduct = 1e-22;
constexpr size_t PrefetchDistance = 16; // elements
constexpr size_t ParallelElements = 200000;

// The triangle lies clear of the plane on one side.
inline bool OneSide(double d0, double d1, double d2) {
    return d0 * d1 > SideProduct && d0 * d2 > SideProduct && d1 * d2 > SideProduct;
}

bool Closer(const CCoordinate& a, const CCoordinate& b, double tolerance) {
    return Norm(a - b) < tolerance;
}

// The end points of the pieces hashed by cells four times the tolerance
// wide: every point closer than the tolerance to a point lies in the 2 x 2 x 2
// cells nearest to it, with room to spare for rounding. Visiting those cells
// finds the same pieces a scan of the whole list would.
class CPointGrid {
public:
    explicit CPointGrid(double tolerance) : scale(1.0 / (4 * tolerance)) {}

    void Add(const CCoordinate& p, uint32_t value) {
        entries.push_back({{Cell(p.x), Cell(p.y), Cell(p.z)}, value});
    }

    void Build() {
        std::sort(entries.begin(), entries.end(), [](const Entry& l, const Entry& r) {
            return l.key < r.key || (l.key == r.key && l.value < r.value);
        });
        size_t size = 16;
        while (size < entries.size() * 2)
            size *= 2;
        mask = size - 1;
        slots.assign(size, Slot{});
        for (size_t first = 0; first < entries.size();) {
            size_t last = first + 1;
            while (last < entries.size() && entries[last].key == entries[first].key)
                ++last;
            size_t at = Hash(entries[first].key) & mask;
            while (slots[at].last != 0)
                at = (at + 1) & mask;
            slots[at] = {entries[first].key, static_cast<uint32_t>(first), static_cast<uint32_t>(last)};
            first = last;
        }
    }

    // Calls visit(value) for every point in the cells near p until it returns
    // true; returns whether it did.
    template <typename Visit> bool VisitNear(const CCoordinate& p, Visit visit) const {
        int64_t lo[3], hi[3];
        Span(p.x, lo[0], hi[0]);
        Span(p.y, lo[1], hi[1]);
        Span(p.z, lo[2], hi[2]);
        for (int corner = 0; corner < 8; ++corner) {
            const Key key{corner & 1 ? hi[0] : lo[0], corner & 2 ? hi[1] : lo[1], corner & 4 ? hi[2] : lo[2]};
            for (size_t at = Hash(key) & mask; slots[at].last != 0; at = (at + 1) & mask) {
                if (!(slots[at].key == key))
                    continue;
                for (uint32_t e = slots[at].first; e < slots[at].last; ++e)
                    if (visit(entries[e].value))
                        return true;
                break;
            }
        }
        return false;
    }

private:
    struct Key {
        int64_t x, y, z;
        bool operator==(const Key& o) const { return x == o.x && y == o.y && z == o.z; }
        bool operator<(const Key& o) const {
            return x < o.x || (x == o.x && (y < o.y || (y == o.y && z < o.z)));
        }
    };
    struct Entry {
        Key key;
        uint32_t value;
    };
    struct Slot {
        Key key{0, 0, 0};
        uint32_t first = 0, last = 0; // last 0: empty
    };

    static int64_t Clamped(double cell) {
        constexpr double limit = 4e18;
        if (!(cell > -limit)) // NaN included: such a point is close to nothing anyway
            return cell < 0 ? static_cast<int64_t>(-limit) : 0;
        return static_cast<int64_t>(std::min(cell, limit));
    }
    int64_t Cell(double v) const { return Clamped(std::floor(v * scale)); }
    // The cell of v and its neighbour on the side v is nearer to.
    void Span(double v, int64_t& lo, int64_t& hi) const {
        const double scaled = v * scale;
        const double cell = std::floor(scaled);
        lo = hi = Clamped(cell);
        if (scaled - cell < 0.5)
            lo = Clamped(cell - 1);
        else
            hi = Clamped(cell + 1);
    }
    static size_t Hash(const Key& key) {
        uint64_t h = static_cast<uint64_t>(key.x) * 0x9E3779B97F4A7C15ull ^
                     static_cast<uint64_t>(key.y) * 0xC2B2AE3D27D4EB4Full ^
                     static_cast<uint64_t>(key.z) * 0x165667B19E3779F9ull;
        h ^= h >> 29;
        return static_cast<size_t>(h);
    }

    double scale;
    std::vector<Entry> entries;
    std::vector<Slot> slots;
    size_t mask = 0;
};

// The unvisited pieces by their ends.
class CChainSearch {
public:
    explicit CChainSearch(const std::vector<CutSegment>& unique)
        : pieces(unique), grid(PointTolerance), visited(unique.size(), false) {
        for (size_t i = 0; i < pieces.size(); ++i) {
            grid.Add(pieces[i].P0, static_cast<uint32_t>(i));
            grid.Add(pieces[i].P1, static_cast<uint32_t>(i));
        }
        grid.Build();
    }

    void MarkVisited(size_t piece) { visited[piece] = true; }

    // The first unvisited piece in list order with an end closer than 1e-11
    // to point, P0 tested before P1; marks it visited. -1 when there is none.
    int FindNextSegment(const CCoordinate& point, bool& atP0) {
        uint32_t best = UINT32_MAX;
        grid.VisitNear(point, [&](uint32_t piece) {
            if (piece < best && !visited[piece] &&
                (Closer(pieces[piece].P0, point, PointTolerance) ||
                 Closer(pieces[piece].P1, point, PointTolerance)))
                best = piece;
            return false;
        });
        if (best == UINT32_MAX)
            return -1;
        visited[best] = true;
        atP0 = Closer(pieces[best].P0, point, PointTolerance);
        return static_cast<int>(best);
    }

    // Follows the chain from point, appending the pieces met.
    void Follow(CCoordinate point, std::vector<CutSegment>& chain) {
        bool atP0 = false;
        for (int next = FindNextSegment(point, atP0); next >= 0; next = FindNextSegment(point, atP0)) {
            const CutSegment& piece = pieces[static_cast<size_t>(next)];
            chain.push_back(piece);
            point = atP0 ? piece.P1 : piece.P0;
        }
    }

private:
    const std::vector<CutSegment>& pieces;
    CPointGrid grid;
    std::vector<bool> visited;
};

double Clamp01(double w) {
    return w > 0 ? (w < 1 ? w : 1) : 0; // NaN of a triangle without area: 0
}

} // namespace

EdgeCut IntersectEdge(const CCoordinate& a, const CCoordinate& b, const CCutPlane& plane, double tol,
                      CCoordinate& point) {
    return IntersectEdge(a, b, PointPlaneDistance(plane, a), PointPlaneDistance(plane, b), plane, tol, point);
}

EdgeCut IntersectEdge(const CCoordinate& a, const CCoordinate& b, double distanceA, double distanceB,
                      const CCutPlane& plane, double tol, CCoordinate& point) {
    if (distanceB < tol) {
        if (distanceA < tol)
            return EdgeCut::WholeEdge;
        point = b;
        return EdgeCut::Point;
    }
    if (distanceA < tol) {
        point = a;
        return EdgeCut::Point;
    }
    const CCoordinate n(plane.a, plane.b, plane.c);
    const CCoordinate d = a - b;
    const double denom = Dot(n, d);
    if (denom == 0)
        return EdgeCut::None;
    const double t = (-plane.d - Dot(n, b)) / denom;
    if (t < 0 || t > 1)
        return EdgeCut::None;
    point = b + d * t;
    return EdgeCut::Point;
}

int IntersectTriangle(const CCutPlane& plane, const CCoordinate& v0, const CCoordinate& v1,
                      const CCoordinate& v2, CCoordinate points[4]) {
    const double d[3] = {PlaneValue(plane, v0), PlaneValue(plane, v1), PlaneValue(plane, v2)};
    if (OneSide(d[0], d[1], d[2]))
        return 0;
    const CCoordinate* v[3] = {&v0, &v1, &v2};
    int count = 0;
    for (int k = 0; k < 3; ++k) {
        const int k1 = (k + 1) % 3;
        const bool onK = std::fabs(d[k]) < PointTolerance;
        const bool onK1 = std::fabs(d[k1]) < PointTolerance;
        if (onK && onK1) {
            points[count++] = *v[k];
            points[count++] = *v[k1];
            break;
        }
        if (onK) {
            points[count++] = *v[k];
        } else if (onK1) {
            points[count++] = *v[k1];
        } else if (d[k] * d[k1] < 0) {
            const CCoordinate& a = *v[k];
            const CCoordinate& b = *v[k1];
            const double denom = d[k1] - d[k];
            points[count++] =
                CCoordinate((a.x * d[k1] - b.x * d[k]) / denom, (a.y * d[k1] - b.y * d[k]) / denom,
                            (a.z * d[k1] - b.z * d[k]) / denom);
        }
    }
    return count;
}

int RemoveCoincidentPoints(CCoordinate* points, int count) {
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        bool repeated = false;
        for (int j = i + 1; j < count && !repeated; ++j)
            repeated = Closer(points[i], points[j], PointTolerance);
        if (!repeated)
            points[kept++] = points[i];
    }
    return kept;
}

BarycentricResult BarycentricWeights(const CCoordinate& v1, const CCoordinate& v2, const CCoordinate& v3,
                                     const CCoordinate& p) {
    const double whole = Norm(Cross(v2 - v1, v3 - v2));
    const double w1 = Norm(Cross(v2 - p, v3 - v2)) / whole;
    const double w2 = Norm(Cross(v3 - p, v1 - v3)) / whole;
    const double w3 = 1 - (w1 + w2);
    return {Clamp01(w1), Clamp01(w2), Clamp01(w3)};
}

namespace {

// The pieces of elements first .. last - 1, in element order.
void PiecesOfElements(const CCutPlane& plane, const CSheetProfile& sheet, size_t first, size_t last,
                      std::vector<CutSegment>& pieces) {
    const ElementNodes* elements = sheet.Mesh().NodeArray();
    const CCoordinate* current = sheet.CurrentCoordinateArray();
    CCoordinate points[4];
    for (size_t i = first; i < last; ++i) {
        // The loop waits on memory, not on arithmetic: ask for elements early.
        __builtin_prefetch(elements + std::min(i + PrefetchDistance, last - 1));
        const ElementNodes& element = elements[i];
        const CCoordinate& v0 = current[element[0]];
        const CCoordinate& v1 = current[element[1]];
        const CCoordinate& v2 = current[element[2]];
        // Most elements lie clear of the plane: test them here, without a call.
        if (OneSide(PlaneValue(plane, v0), PlaneValue(plane, v1), PlaneValue(plane, v2)))
            continue;
        int found = IntersectTriangle(plane, v0, v1, v2, points);
        if (found < 2)
            continue;
        found = RemoveCoincidentPoints(points, found);
        if (found == 2)
            pieces.push_back({sheet.Mesh().ElementId(i), static_cast<int32_t>(i), points[0], points[1]});
    }
}

} // namespace

std::vector<CutSegment> ElementPieces(const CCutPlane& plane, const CSheetProfile& sheet) {
    const size_t count = static_cast<size_t>(sheet.ElementCount());
    const size_t expected = static_cast<size_t>(4 * std::sqrt(static_cast<double>(count))) + 16;
    std::vector<CutSegment> pieces, later;
    pieces.reserve(expected);
    if (count < ParallelElements) {
        PiecesOfElements(plane, sheet, 0, count, pieces);
        return pieces;
    }
    // Big sheets in two halves side by side, joined in element order.
    later.reserve(expected);
    parallel::Both([&] { PiecesOfElements(plane, sheet, count / 2, count, later); },
                   [&] { PiecesOfElements(plane, sheet, 0, count / 2, pieces); });
    pieces.insert(pieces.end(), later.begin(), later.end());
    return pieces;
}

std::vector<CutSegment> RemoveDuplicatePieces(const std::vector<CutSegment>& pieces) {
    CPointGrid starts(PieceTolerance);
    for (size_t i = 0; i < pieces.size(); ++i)
        starts.Add(pieces[i].P0, static_cast<uint32_t>(i));
    starts.Build();
    std::vector<CutSegment> unique;
    unique.reserve(pieces.size());
    for (size_t i = 0; i < pieces.size(); ++i) {
        const CutSegment& piece = pieces[i];
        if (Norm(piece.P1 - piece.P0) < PointTolerance)
            continue;
        // A later piece from p0 to p1.
        const auto repeatedFrom = [&](const CCoordinate& p0, const CCoordinate& p1) {
            return starts.VisitNear(p0, [&](uint32_t j) {
                return j > i && Closer(pieces[j].P0, p0, PieceTolerance) &&
                       Closer(pieces[j].P1, p1, PieceTolerance);
            });
        };
        if (repeatedFrom(piece.P0, piece.P1) || repeatedFrom(piece.P1, piece.P0))
            continue;
        unique.push_back(piece);
    }
    return unique;
}

std::vector<CutSegment> ChainPieces(const std::vector<CutSegment>& unique) {
    if (unique.empty())
        return {};
    CChainSearch search(unique);
    search.MarkVisited(0);
    std::vector<CutSegment> forward{unique[0]}, backward;
    search.Follow(unique[0].P1, forward);
    search.Follow(unique[0].P0, backward);

    for (size_t i = 1; i < forward.size(); ++i)
        if (!Closer(forward[i].P0, forward[i - 1].P1, PointTolerance))
            std::swap(forward[i].P0, forward[i].P1);
    for (size_t i = 0; i < backward.size(); ++i) {
        const CCoordinate& joint = i == 0 ? forward[0].P0 : backward[i - 1].P0;
        if (!Closer(backward[i].P1, joint, PointTolerance))
            std::swap(backward[i].P0, backward[i].P1);
    }

    std::vector<CutSegment> chain(backward.rbegin(), backward.rend());
    chain.insert(chain.end(), forward.begin(), forward.end());
    return chain;
}

void TraceCutChain(const CCutPlane& plane, const CSheetProfile& sheet, std::vector<CPinCut>& pins) {
    pins.clear();
    const std::vector<CutSegment> chain = ChainPieces(RemoveDuplicatePieces(ElementPieces(plane, sheet)));
    pins.reserve(2 * chain.size());
    for (const CutSegment& piece : chain) {
        const size_t element = static_cast<size_t>(piece.ElementIndex);
        const CCoordinate& v0 = sheet.CurrentCorner(element, 0);
        const CCoordinate& v1 = sheet.CurrentCorner(element, 1);
        const CCoordinate& v2 = sheet.CurrentCorner(element, 2);
        for (const CCoordinate* p : {&piece.P0, &piece.P1}) {
            const BarycentricResult w = BarycentricWeights(v0, v1, v2, *p);
            CPinCut pin;
            pin.ElementNumber = piece.ElementNumber;
            pin.ElementIndex = piece.ElementIndex;
            pin.u = static_cast<float>(w.w1);
            pin.v = static_cast<float>(w.w2);
            pin.Point = *p;
            pins.push_back(pin);
        }
    }
}

} // namespace quillmere
