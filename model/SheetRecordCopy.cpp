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

void CSheetProfile::PrepareRecordValues(const CSheetProfile& sheet) {
    // Entry 0 is no node; it is kept as the sheet has it all the same.
    currentCoordinates[0] = sheet.currentCoordinates[0];
    contactFlags[0] = sheet.contactFlags[0];
    nodeSymmetry[0] = sheet.nodeSymmetry[0];
    parallel::ForBlocks(nodeSymmetry.size() - 1, NodeGrain, [this, &sheet](size_t first, size_t last) {
        for (size_t node = first + 1; node <= last; ++node)
            std::memcpy(nodeSymmetry[node].data(), sheet.nodeSymmetry[node].data(), 4);
    });
    currentAreas.resize(elements.size());
    // std::max from 0 leaves out a thickness that is not a number.
    maxInitialThickness = parallel::ReduceBlocks(
        elements.size(), ElementGrain, 0.0,
        [this, &sheet](size_t first, size_t last) {
            double largest = 0;
            for (size_t i = first; i < last; ++i) {
                CElementProfile& element = elements[i];
                KeepSheetIdentity(element, sheet.elements[i]);
                // This record's nodes over the sheet's undeformed ones.
                const CCoordinate current[3] = {CurrentCorner(element, 0), CurrentCorner(element, 1),
                                                CurrentCorner(element, 2)};
                const CCoordinate reference[3] = {sheet.ReferenceCorner(element, 0),
                                                  sheet.ReferenceCorner(element, 1),
                                                  sheet.ReferenceCorner(element, 2)};
                currentAreas[i] = DeriveElementValues(element, current, reference);
                largest = std::max(largest, element.InitialThickness);
            }
            return largest;
        },
        [](double a, double b) { return std::max(a, b); });
    ComputeBoundingBox();
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
