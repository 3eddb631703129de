// One piece of the cut polyline inside one element, the pieces of a cut,
// and the cut as the 3D views of a document draw it.
#pragma once

#include "model/Vectors.h"

#include <cstdint>
#include <vector>

class CSheetProfile;

class CAbscisse {
public:
    uint8_t Flag = 0;
    int32_t ElementNumber = 0; // the element's ElementId
    int32_t Slots[2] = {-1, -1};
    CCoordinate Start;
    CCoordinate End;
    CCoordinate Scratch; // the old start while the piece is reversed
    double Length = 0;
    double Value = 0;    // the profile quantity in the element, SI units
    double ArcStart = 0; // written when the graph is built
    double ArcEnd = 0;
    int32_t ElementIndex = 0; // 0-based position of the element in the sheet's Elements

    // Swaps start and end through the scratch point.
    void Reverse() {
        Scratch = Start;
        Start = End;
        End = Scratch;
    }
};

// The pieces of a cut, ordered along the sheet.
using CCutSegments = std::vector<CAbscisse>;

// The cut of a document's sheet as its 3D views draw it: the cut line and
// the point the cut window's read-out marks on it. The cut window keeps the
// cut (its cut session) and lends it to the document while it is open.
class IDocumentCut {
public:
    virtual ~IDocumentCut() = default;
    // The cut made on sheet's values; empty when there is none, or when the
    // sheet took another record's values since.
    virtual const CCutSegments& CutOf(const CSheetProfile& sheet) const = 0;
    // The point the read-out marks on that cut; null when none is marked.
    virtual const CCoordinate* MarkOf(const CSheetProfile& sheet) const = 0;
};
