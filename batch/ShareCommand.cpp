#include "batch/ShareCommand.h"

#include "batch/BatchOptions.h"
#include "batch/BatchOutput.h"
#include "batch/VtkCommand.h"
#include "core/Messages.h"
#include "scale/ResultQuantity.h"
#include "session/CSession.h"
#include "session/SharedResults.h"

#include <algorithm>

namespace quillmere {

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
