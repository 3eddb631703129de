// The cut of the current sheet by a plane, as the pieces of the polyline
// ordered along the sheet.
#pragma once

#include "cut/CCutPlane.h"
#include "model/CAbscisse.h"
#include "scale/Quantity.h"

namespace quillmere {

// What the cut window and the batch tool say when a cut finds nothing.
extern const char* const NoCutText;

class CComparison;
class CSheetProfile;

// Whether the plane crosses some element in a piece long enough to be worth
// tracing (or crosses the last element at all).
bool CutExists(const CSheetProfile& sheet, const CCutPlane& plane);

// The cut of the sheet with plane, each piece carrying the value of quantity
// (1..7) in its element. X and Z cuts run towards increasing y, Y cuts
// towards increasing x; no cut gives no pieces.
CCutSegments ComputeCut(const CSheetProfile& sheet, const CCutPlane& plane, ResultQuantity quantity);

// Makes each piece of a cut carry the difference of quantity in its element
// to the comparison's reference, prepared for sheet, the one cut.
void TakeCutDifferences(CCutSegments& cut, const CComparison& comparison, const CSheetProfile& sheet,
                        ResultQuantity quantity);

} // namespace quillmere
