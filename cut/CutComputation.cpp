#include "cut/CutComputation.h"

#include "core/Parallel.h"
#include "cut/CutChain.h"
#include "model/CSheetProfile.h"
#include "scale/Comparison.h"
#include "scale/ResultQuantity.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

namespace quillmere {

const char* const NoCutText = "(No cut found or cut not created)";

namespace {

constexpr size_t PrefetchDistance = 16; // elements
constexpr size_t ParallelElements = 200000;

// The existence test's view of one element: the points where its edges,
// taken from the lower node number to the higher, meet the plane.
class CEdgeScan {
public:
    CEdgeScan(const CSheetProfile& owner, const CCutPlane& cutPlane)
        : sheet(owner), plane(cutPlane), elements(owner.Mesh().NodeArray()) {
        const double n = static_cast<double>(owner.ElementCount());
        tol = owner.SheetSize() / n * 0.1;
        minLength = owner.SheetSize() / std::sqrt(n) * 0.125;
    }

    int Points(size_t e, CCoordinate points[3]) const {
        const ElementNodes& element = elements[e];
        int32_t nodes[3];
        const CCoordinate* corners[3];
        double distances[3];
        for (int k = 0; k < 3; ++k) {
            nodes[k] = std::abs(element[static_cast<size_t>(k)]);
            corners[k] = &sheet.CurrentCoordinate(nodes[k]);
            distances[k] = PointPlaneDistance(plane, *corners[k]);
        }
        int count = 0;
        for (int k = 0; k < 3; ++k) {
            int a = k, b = (k + 1) % 3;
            if (nodes[b] < nodes[a])
                std::swap(a, b);
            CCoordinate point;
            const EdgeCut cut =
                IntersectEdge(*corners[a], *corners[b], distances[a], distances[b], plane, tol, point);
            if (cut == EdgeCut::WholeEdge) {
                points[0] = *corners[a];
                points[1] = *corners[b];
                return 2;
            }
            if (cut == EdgeCut::Point && std::none_of(points, points + count, [&](const CCoordinate& p) {
                    return Norm(p - point) == 0.0;
                }))
                points[count++] = point;
        }
        return count;
    }

    // Whether an element of first .. last - 1 crosses the plane in a piece of
    // at least minLength; gives up once found is set elsewhere.
    bool LongPiece(size_t first, size_t last, std::atomic<bool>& found) const {
        CCoordinate points[3];
        for (size_t e = first; e < last; ++e) {
            // The scan waits on memory, not on arithmetic: ask for elements early.
            __builtin_prefetch(elements + std::min(e + PrefetchDistance, last - 1));
            if ((e & 4095) == 0 && found.load(std::memory_order_relaxed))
                return false;
            if (Points(e, points) == 2 && Norm(points[1] - points[0]) >= minLength) {
                found.store(true, std::memory_order_relaxed);
                return true;
            }
        }
        return false;
    }

private:
    const CSheetProfile& sheet;
    const CCutPlane& plane;
    const ElementNodes* elements;
    double tol = 0, minLength = 0;
};

} // namespace

bool CutExists(const CSheetProfile& sheet, const CCutPlane& plane) {
    const size_t count = static_cast<size_t>(sheet.ElementCount());
    if (count == 0)
        return false;
    const CEdgeScan scan(sheet, plane);
    // Which element succeeds does not matter, so big sheets are scanned in
    // two halves side by side, each stopping when the other succeeds.
    std::atomic<bool> found{false};
    if (count < ParallelElements) {
        scan.LongPiece(0, count, found);
    } else {
        parallel::Both([&] { scan.LongPiece(count / 2, count, found); },
                       [&] { scan.LongPiece(0, count / 2, found); });
    }
    if (found)
        return true;
    // Every element was examined: the last one decides.
    CCoordinate points[3];
    return scan.Points(count - 1, points) == 2;
}

CCutSegments ComputeCut(const CSheetProfile& sheet, const CCutPlane& plane, ResultQuantity quantity) {
    // No refresh of the elements first: the sheet derives them whenever its
    // node tables change, and they keep no copies of their corners.
    CCutSegments records;
    if (!CutExists(sheet, plane))
        return records;
    std::vector<CPinCut> pins;
    TraceCutChain(plane, sheet, pins);
    if (pins.size() < 2)
        return records;

    records.reserve(pins.size() - 1);
    for (size_t i = 0; i + 1 < pins.size(); ++i) {
        CAbscisse record;
        record.ElementNumber = pins[i].ElementNumber;
        record.ElementIndex = pins[i].ElementIndex;
        record.Start = pins[i].Point;
        record.End = pins[i + 1].Point;
        record.Length = Norm(record.End - record.Start);
        // The stored values equal those computed afresh, except that a
        // triangle without area keeps its initial thickness.
        // The element by its position: identifiers need not run 1 .. N.
        record.Value = ElementValue(sheet, static_cast<size_t>(pins[i].ElementIndex), quantity);
        records.push_back(record);
    }

    // Every test looks at the pieces that came first and last from the
    // chain, wherever a turn before it has put them.
    bool turned = false;
    const auto reverse = [&records, &turned] {
        std::reverse(records.begin(), records.end());
        for (CAbscisse& record : records)
            record.Reverse();
        turned = !turned;
    };
    const auto first = [&]() -> const CAbscisse& { return turned ? records.back() : records.front(); };
    const auto last = [&]() -> const CAbscisse& { return turned ? records.front() : records.back(); };
    if (plane.a == 1.0 && last().End.y < first().Start.y)
        reverse();
    if (plane.b == 1.0 && last().End.x < first().Start.x)
        reverse();
    if (plane.c == 1.0 && last().End.y < first().Start.y)
        reverse();
    return records;
}

void TakeCutDifferences(CCutSegments& cut, const CComparison& comparison, const CSheetProfile& sheet,
                        ResultQuantity quantity) {
    for (CAbscisse& piece : cut)
        piece.Value -= comparison.ReferenceElementValue(sheet, piece.ElementIndex, quantity);
}

} // namespace quillmere
