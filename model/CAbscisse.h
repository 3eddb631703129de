// One piece of the cut polyline inside one element, and the pieces of a
// cut.
#pragma once

#include "model/Vectors.h"

#include <cstdint>
#include <vector>

namespace quillmere {

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

} // namespace quillmere
