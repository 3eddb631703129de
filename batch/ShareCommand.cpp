#include "batch/ShareCommand.h"

#include "batch/BatchOptions.h"
#include "batch/BatchOutput.h"
#include "batch/VtkCommand.h"
#include "core/Messages.h"
#include "core/TextFormat.h"
#include "scale/ResultQuantity.h"
#include "session/CSession.h"
#include "session/SharedResults.h"

#include <algorithm>

namespace quillmere {

void DescribeShare(CLI::App& app, BatchArguments& parsed) {
    CLI::App* share = app.add_subcommand(
        "share", "Writes one web page of the results that a browser opens with nothing else: the sheet in 3D "
                 "coloured by each quantity with its scale, a record slider, the data tip of a click, the "
                 "tools and the sheet report");
    AddProject(*share, parsed);
    share->add_option("-o,--output", parsed.share.output, "The page, an HTML file")
        ->type_name("PAGE.html")
        ->required();
    share
        ->add_option("--records", parsed.records,
                     "The records: all (the default), the last, or their numbers")
        ->type_name("all|last|N[,M...]")
        ->check(Accepts(IsRecordList, "all, last or a list of record numbers"));
    std::string help = "The quantities of the page's list, the first one shown; every quantity by default (";
    for (ResultQuantity quantity : ValueQuantities())
        help += FormatText(quantity == ResultQuantity::Thickness ? "%d %s" : ", %d %s",
                           QuantityNumber(quantity), QuantityOf(quantity).helpWord);
    share->add_option("--quantity", parsed.share.quantities, help + ")")
        ->type_name("Q")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->delimiter(',')
        ->check(Accepts(IsQuantity, FormatText("a quantity from 1 to %d", QuantityNumber(LastQuantity))));
    AddUnits(*share, parsed);
}

int WriteShare(const BatchArguments& arguments, BatchProject& project) {
    ShareRequest request;
    request.records = RecordsOfList(arguments.records, project.session.Project().RecordCount());
    if (request.records.empty()) {
        ShowMessage(MessageId::InvalidRecordNumber, MessageIcon::None);
        return BatchFailure;
    }
    // The slider goes the way the forming went, whatever the list's order.
    std::sort(request.records.begin(), request.records.end());
    for (const std::string& text : arguments.share.quantities) {
        const ResultQuantity quantity = *QuantityOption(text);
        if (std::find(request.quantities.begin(), request.quantities.end(), quantity) ==
            request.quantities.end())
            request.quantities.push_back(quantity);
    }
    SharePage page;
    if (!MakeSharedResults(project.session, request, project.configuration, page))
        return BatchFailure; // the loader has said why
    if (!WriteSharePage(arguments.share.output, page))
        return BatchFail(arguments.share.output + " cannot be written");
    return BatchSuccess;
}

} // namespace quillmere
