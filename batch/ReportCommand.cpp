#include "batch/ReportCommand.h"

#include "batch/BatchOptions.h"
#include "batch/BatchOutput.h"
#include "core/Messages.h"
#include "messages/MessageText.h"
#include "model/Reports.h"
#include "session/CSession.h"

namespace quillmere {

void DescribeReport(CLI::App& app, BatchArguments& parsed, OptionTexts& texts) {
    CLI::App* report = app.add_subcommand("report", "Writes a report of the project");
    report->add_option("kind", parsed.report, "sheet, project, record or document")
        ->required()
        ->check(CLI::IsMember({"sheet", "project", "record", "document"}));
    AddProject(*report, parsed);
    AddUnits(*report, parsed);
    AddRecord(*report, texts);
}

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
    } else {
        text = DocumentInformationReport(project.PathName());
    }
    out << UnixLineEnds(text) << '\n';
    return BatchSuccess;
}

} // namespace quillmere
