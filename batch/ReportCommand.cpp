#include "batch/ReportCommand.h"

#include "batch/BatchOptions.h"
#include "batch/BatchOutput.h"
#include "core/Messages.h"
#include "messages/MessageText.h"
#include "model/FormingSummary.h"
#include "model/Reports.h"
#include "scale/AllRecordLimits.h"
#include "session/CSession.h"

namespace quillmere {

int WriteReport(const BatchArguments& arguments, BatchProject& opened, std::ostream& out) {
    CProjectProfile& project = opened.session.Project();
    std::string text;
    if (arguments.report == "sheet") {
        text = SheetPropertiesReport(project, opened.configuration);
    } else if (arguments.report == "project") {
        const ProjectInformation information = ProjectInformationReport(project);
        if (information.configurationUnreadable)
            ShowMessage(information.text, MessageIcon::Error);
        text = information.text;
    } else if (arguments.report == "record") {
        if (!RecordInformationReport(project, opened.configuration, text))
            return BatchFailure;
    } else if (arguments.report == "forming") {
        // The first contact needs every record of the project.
        Message failure;
        if (!EnsureFirstContact(project, failure)) {
            if (failure)
                ShowMessage(failure, MessageIcon::Error);
            return BatchFailure;
        }
        const FormingFigures figures =
            FormingFiguresOf(*project.Sheet(), MinimumWallMetres(arguments.minimumWall, opened.configuration),
                             project.Sheet()->FirstContact().get());
        text = FormingSummaryText(figures, opened.configuration, project.PathName(), project.CurrentRecord());
    } else {
        text = DocumentInformationReport(project.PathName());
    }
    out << UnixLineEnds(text) << '\n';
    return BatchSuccess;
}

} // namespace quillmere
