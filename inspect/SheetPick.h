// The pick record of a sheet item named by its number, as a pick in the 3D
// view fills it, without OpenGL.
#pragma once

#include "scene/CDataDisplay.h"

namespace quillmere {

class CSheetProfile;

// Node mode: node number 1 .. NodeCount; element mode: element index
// 0 .. ElementCount - 1 (the numbers the tip's first line shows). False, with
// the record untouched, when the sheet has no such item or the mode is
// neither.
bool PickSheetItem(const CSheetProfile& sheet, int mode, int number, CDataDisplay& record);

} // namespace quillmere
