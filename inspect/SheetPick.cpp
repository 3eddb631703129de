#include "inspect/SheetPick.h"

#include "model/CSheetProfile.h"
#include "scene/PickRecord.h"

namespace quillmere {

bool PickSheetItem(const CSheetProfile& sheet, int mode, int number, CDataDisplay& record) {
    if (mode == NodeMode && number >= 1 && number <= sheet.NodeCount()) {
        FillSheetNodeRecord(sheet, number, record);
        return true;
    }
    if (mode == ElementMode && number >= 0 && number < sheet.ElementCount()) {
        FillSheetElementRecord(sheet, number, record);
        return true;
    }
    return false;
}

} // namespace quillmere
