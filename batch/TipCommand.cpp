#include "batch/TipCommand.h"

#include "batch/BatchOptions.h"
#include "batch/BatchOutput.h"
#include "core/Messages.h"
#include "core/TextFormat.h"
#include "inspect/DataTip.h"
#include "inspect/SheetPick.h"
#include "messages/MessageText.h"
#include "model/CSheetProfile.h"
#include "session/CSessionView.h"

namespace quillmere {

void DescribeTip(CLI::App& app, BatchArguments& parsed, OptionTexts& texts) {
    CLI::App* tip =
        app.add_subcommand("tip", "Writes the data tip's lines of a sheet node or element, one per line");
    AddProject(*tip, parsed);
    CLI::Option* node =
        tip->add_option("--node", texts.node,
                        "The node picked in node mode, as the tip numbers it: from 1, as values numbers them")
            ->type_name("N")
            ->check(Accepts(IsInteger, "an integer"));
    CLI::Option* element =
        tip->add_option(
               "--element", texts.element,
               "The element picked in element mode, as the tip numbers it: from 0 (the element numbers "
               "of cut count from 1: its element 963 is --element 962)")
            ->type_name("E")
            ->check(Accepts(IsInteger, "an integer"));
    node->excludes(element);
    element->excludes(node);
    AddRecord(*tip, texts);
    AddUnits(*tip, parsed);
}

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
