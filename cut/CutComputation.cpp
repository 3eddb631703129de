#include "CutComputation.h"

#include "CSheetProfile.h"
#include "CutChain.h"
#include "ResultQuantity.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

bool CutExists(const CSheetProfile& sheet, const CCutPlane& plane) {
    const auto& elements = sheet.Elements();
    if (elements.empty())
        return false;
    const double n = static_cast<double>(sheet.ElementCount());
    const double tol = sheet.SheetSize() / n * 0.1;
    const double minLength = sheet.SheetSize() / std::sqrt(n) * 0.125;
    CCoordinate points[3];
    int count = 0;
    for (const CElementProfile& element : elements) {
        int32_t nodes[3];
        const CCoordinate* corners[3];
        double distances[3];
        for (int k = 0; k < 3; ++k) {
            nodes[k] = std::abs(element.NodeNumbers[k]);
            corners[k] = &sheet.CurrentCoordinate(nodes[k]);
            distances[k] = PointPlaneDistance(plane, *corners[k]);
        }
        count = 0;
        for (int k = 0; k < 3; ++k) {
            // The lower node number first, whichever way the element runs.
            int a = k, b = (k + 1) % 3;
            if (nodes[b] < nodes[a])
                std::swap(a, b);
            CCoordinate point;
            const EdgeCut cut =
                IntersectEdge(*corners[a], *corners[b], distances[a], distances[b], plane, tol, point);
            if (cut == EdgeCut::WholeEdge) {
                points[0] = *corners[a];
                points[1] = *corners[b];
                count = 2;
                break;
            }
            if (cut == EdgeCut::Point &&
                std::none_of(points, points + count, [&](const CCoordinate& p) { return Norm(p - point) == 0.0; }))
                points[count++] = point;
        }
        if (count == 2 && Norm(points[1] - points[0]) >= minLength)
            return true;
    }
    // The last element examined decides when no piece was long enough.
    return count == 2;
}

void ComputeCut(CSheetProfile& sheet, const CCutPlane& plane, int quantity) {
    // No refresh of the elements first: the sheet derives them whenever its
    // node tables change, and they keep no copies of their corners.
    sheet.ResetCut(1000, 1000);
    if (!CutExists(sheet, plane))
        return;
    std::vector<CPinCut> pins;
    TraceCutChain(plane, sheet, pins);
    if (pins.size() < 2)
        return;

    std::vector<std::unique_ptr<CAbscisse>> records;
    records.reserve(pins.size() - 1);
    for (size_t i = 0; i + 1 < pins.size(); ++i) {
        // The element by its position: identifiers need not run 1 .. N.
        const CElementProfile& element = sheet.Elements()[static_cast<size_t>(pins[i].ElementIndex)];
        auto record = std::make_unique<CAbscisse>();
        record->ElementNumber = pins[i].ElementNumber;
        record->ElementIndex = pins[i].ElementIndex;
        record->Start = pins[i].Point;
        record->End = pins[i + 1].Point;
        record->Length = Norm(record->End - record->Start);
        // The stored values equal those computed afresh, except that a
        // triangle without area keeps its initial thickness.
        record->Value = ElementValue(element, quantity);
        records.push_back(std::move(record));
    }

    CAbscisse* first = records.front().get();
    CAbscisse* last = records.back().get();
    const auto reverse = [&records] {
        std::reverse(records.begin(), records.end());
        for (const auto& record : records)
            record->Reverse();
    };
    if (plane.a == 1.0 && last->End.y < first->Start.y)
        reverse();
    if (plane.b == 1.0 && last->End.x < first->Start.x)
        reverse();
    if (plane.c == 1.0 && last->End.y < first->Start.y)
        reverse();

    CCutSegments& cut = sheet.CutSegments();
    for (auto& record : records)
        cut.Add(record.release());
}
