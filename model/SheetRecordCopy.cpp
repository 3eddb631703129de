// Loading another record of the same project into an existing sheet.
#include "model/CSheetProfile.h"

#include <cstring>

bool CSheetProfile::HasSameMesh(const CSheetProfile& other) const {
    if (other.elementCount != elementCount || other.nodeCount != nodeCount ||
        other.elements.size() != elements.size())
        return false;
    for (size_t i = 0; i < elements.size(); ++i)
        if (std::memcmp(elements[i].NodeNumbers, other.elements[i].NodeNumbers,
                        sizeof elements[i].NodeNumbers) != 0)
            return false;
    return true;
}

void CSheetProfile::TakeRecordValues(const CSheetProfile& record) {
    for (size_t node = 1; node < currentCoordinates.size(); ++node) {
        currentCoordinates[node] = record.currentCoordinates[node];
        contactFlags[node] = record.contactFlags[node];
        // Only the condition word; the node's symmetry code and plane stay.
        std::memcpy(nodeSymmetry[node].data() + 4, record.nodeSymmetry[node].data() + 4, 4);
    }
    toolPositions = record.toolPositions;
    for (size_t i = 0; i < elements.size(); ++i) {
        CElementProfile& element = elements[i];
        const CElementProfile& from = record.elements[i];
        element.Temperature = from.Temperature;
        element.InitialThickness = from.InitialThickness;
        element.PrincipalStress1 = from.PrincipalStress1;
        element.PrincipalStress2 = from.PrincipalStress2;
        element.ThirdStress = from.ThirdStress;
        // The record's own normal: that of its triangle, none for a
        // triangle without area.
        element.Normal = CCoordinate();
    }
    layerValues = record.layerValues;
    ResetCut(1000, 1000);
    DeriveElements();
    ComputeBoundingBox();
}
