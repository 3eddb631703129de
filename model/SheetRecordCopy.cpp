// Loading another record of the same project into an existing sheet.
#include "model/CSheetProfile.h"

#include "core/Parallel.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// A record's element made the sheet's, before it is derived again: the
// values and node numbers (the mesh is the same) are the record's, the
// identifier the sheet's. The normal is the record's own: that of its
// triangle, none for a triangle without area.
void KeepSheetIdentity(CElementProfile& recordElement, const CElementProfile& sheetElement) {
    recordElement.ElementId = sheetElement.ElementId;
    recordElement.Normal = CCoordinate();
}

} // namespace

bool CSheetProfile::HasSameMesh(const CSheetProfile& other) const {
    if (other.elementCount != elementCount || other.nodeCount != nodeCount ||
        other.elements.size() != elements.size())
        return false;
    return parallel::ReduceBlocks(
        elements.size(), ElementGrain, true,
        [this, &other](size_t first, size_t last) {
            for (size_t i = first; i < last; ++i)
                if (std::memcmp(elements[i].NodeNumbers, other.elements[i].NodeNumbers,
                                sizeof elements[i].NodeNumbers) != 0)
                    return false;
            return true;
        },
        [](bool a, bool b) { return a && b; });
}

void CSheetProfile::TakeRecordValues(const CSheetProfile& record) {
    parallel::ForBlocks(currentCoordinates.size() - 1, NodeGrain, [this, &record](size_t first, size_t last) {
        for (size_t node = first + 1; node <= last; ++node) {
            currentCoordinates[node] = record.currentCoordinates[node];
            contactFlags[node] = record.contactFlags[node];
            // Only the condition word; the node's symmetry code and plane stay.
            std::memcpy(nodeSymmetry[node].data() + 4, record.nodeSymmetry[node].data() + 4, 4);
        }
    });
    toolPositions = record.toolPositions;
    parallel::ForBlocks(elements.size(), ElementGrain, [this, &record](size_t first, size_t last) {
        for (size_t i = first; i < last; ++i) {
            CElementProfile element = record.elements[i];
            KeepSheetIdentity(element, elements[i]);
            elements[i] = element;
        }
    });
    layerValues = record.layerValues;
    ResetCut(1000, 1000);
    DeriveElements();
    ComputeBoundingBox();
}

bool CSheetProfile::PrepareRecordValues(const CSheetProfile& sheet) {
    if (sheet.elementCount != elementCount || sheet.nodeCount != nodeCount ||
        sheet.elements.size() != elements.size())
        return false;
    // Entry 0 is no node; it is kept as the sheet has it all the same.
    currentCoordinates[0] = sheet.currentCoordinates[0];
    contactFlags[0] = sheet.contactFlags[0];
    nodeSymmetry[0] = sheet.nodeSymmetry[0];
    parallel::ForBlocks(nodeSymmetry.size() - 1, NodeGrain, [this, &sheet](size_t first, size_t last) {
        for (size_t node = first + 1; node <= last; ++node)
            std::memcpy(nodeSymmetry[node].data(), sheet.nodeSymmetry[node].data(), 4);
    });
    currentAreas.resize(elements.size());
    // The largest initial thickness (std::max from 0 leaves out one that is
    // not a number) and whether every element has the sheet's nodes.
    struct Outcome {
        double largest;
        bool sameMesh;
    };
    const Outcome outcome = parallel::ReduceBlocks(
        elements.size(), ElementGrain, Outcome{0.0, true},
        [this, &sheet](size_t first, size_t last) {
            Outcome part{0.0, true};
            for (size_t i = first; i < last; ++i) {
                CElementProfile& element = elements[i];
                const CElementProfile& mesh = sheet.elements[i];
                if (std::memcmp(element.NodeNumbers, mesh.NodeNumbers, sizeof element.NodeNumbers) != 0) {
                    part.sameMesh = false;
                    break;
                }
                KeepSheetIdentity(element, mesh);
                // This record's nodes over the sheet's undeformed ones.
                const CCoordinate current[3] = {CurrentCorner(element, 0), CurrentCorner(element, 1),
                                                CurrentCorner(element, 2)};
                const CCoordinate reference[3] = {sheet.ReferenceCorner(element, 0),
                                                  sheet.ReferenceCorner(element, 1),
                                                  sheet.ReferenceCorner(element, 2)};
                currentAreas[i] = DeriveElementValues(element, current, reference);
                part.largest = std::max(part.largest, element.InitialThickness);
            }
            return part;
        },
        [](const Outcome& a, const Outcome& b) {
            return Outcome{std::max(a.largest, b.largest), a.sameMesh && b.sameMesh};
        });
    maxInitialThickness = outcome.largest;
    ComputeBoundingBox();
    return outcome.sameMesh;
}

void CSheetProfile::SwapRecordValues(CSheetProfile& prepared) {
    std::swap(elements, prepared.elements);
    std::swap(currentAreas, prepared.currentAreas);
    std::swap(currentCoordinates, prepared.currentCoordinates);
    std::swap(contactFlags, prepared.contactFlags);
    std::swap(nodeSymmetry, prepared.nodeSymmetry);
    std::swap(layerValues, prepared.layerValues);
    toolPositions = prepared.toolPositions;
    maxInitialThickness = prepared.maxInitialThickness;
    boundingBox = prepared.boundingBox;
    sizeX = prepared.sizeX;
    sizeY = prepared.sizeY;
    sheetSize = prepared.sheetSize;
    valuesGeneration = NewValuesGeneration();
    ResetCut(1000, 1000);
}
