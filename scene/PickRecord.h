// What a pick of a sheet item puts into its record, apart from the marker:
// shared by the 3D view's picker and by the callers that name the item
// instead of pointing at it.
#pragma once

#include "scene/CDataDisplay.h"

namespace quillmere {

class CSheetProfile;

// A sheet node (node number 1 .. NodeCount): its coordinates, thickness,
// temperature, flags and the first tool it touches.
void FillSheetNodeRecord(const CSheetProfile& sheet, int node, CDataDisplay& record);
// A sheet element (0-based index): its corners, thickness, temperature and
// principal stretches.
void FillSheetElementRecord(const CSheetProfile& sheet, int element, CDataDisplay& record);
// A point on a sheet element (0-based index).
void FillSheetPointRecord(const CSheetProfile& sheet, int element, const CCoordinate& point,
                          CDataDisplay& record);

} // namespace quillmere
