#include "batch/TipCommand.h"

#include "batch/BatchOutput.h"
#include "core/Messages.h"
#include "core/TextFormat.h"
#include "inspect/DataTip.h"
#include "inspect/SheetPick.h"
#include "messages/MessageText.h"
#include "model/CSheetProfile.h"
#include "session/CSessionView.h"

namespace quillmere {

int WriteTip(const BatchArguments& arguments, BatchProject& project, std::ostream& out) {
    const CSheetProfile& sheet = *project.view.Sheet();
    CDataDisplay record;
    if (!PickSheetItem(sheet, arguments.pickMode, arguments.item, record)) {
        ShowMessage(arguments.pickMode == NodeMode
                        ? FormatText("There is no node %d: the sheet has nodes 1 to %d.", arguments.item,
                                     sheet.NodeCount())
                        : FormatText("There is no element %d: the sheet has elements 0 to %d.",
                                     arguments.item, sheet.ElementCount() - 1),
                    MessageIcon::Error);
        return BatchFailure;
    }
    for (const std::string& line : DataTipLines(record, project.configuration))
        out << line << '\n';
    return BatchSuccess;
}

} // namespace quillmere
