#include "BatchTool.h"

#include "CConfiguration.h"
#include "CProjectProfile.h"
#include "Messages.h"
#include "Reports.h"

#include <memory>

namespace {

const char* const Usage =
    "usage: quillmere-batch report sheet|project|record|document PROJECT.tfc [--units si|us]";

struct ReportRequest {
    std::string kind;
    std::string project;
    std::string units; // "", "si" or "us"
};

bool ParseReport(const std::vector<std::string>& arguments, ReportRequest& request) {
    if (arguments.size() < 3 || arguments[0] != "report")
        return false;
    request.kind = arguments[1];
    request.project = arguments[2];
    for (size_t i = 3; i < arguments.size(); ++i) {
        if (arguments[i] == "--units" && i + 1 < arguments.size()) {
            request.units = arguments[++i];
            if (request.units != "si" && request.units != "us")
                return false;
        } else {
            return false;
        }
    }
    return request.kind == "sheet" || request.kind == "project" || request.kind == "record" ||
           request.kind == "document";
}

} // namespace

std::string UnixLineEnds(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            result += text[i];
    return result;
}

int RunBatch(const std::vector<std::string>& arguments, const std::string& configurationPath,
             std::ostream& out) {
    ReportRequest request;
    if (!ParseReport(arguments, request)) {
        ShowMessage(Usage, MessageIcon::Error);
        return BatchFailure;
    }
    CConfiguration configuration(configurationPath);
    if (!request.units.empty())
        configuration.SetSIMetric(request.units == "si");

    CProjectProfile project;
    if (!project.Open(request.project, nullptr))
        return BatchFailure;

    std::string text;
    if (request.kind == "sheet") {
        text = SheetPropertiesReport(project, configuration);
    } else if (request.kind == "project") {
        const ProjectInformation information = ProjectInformationReport(project);
        if (information.configurationUnreadable)
            ShowMessage(information.text, MessageIcon::Error);
        text = information.text;
    } else if (request.kind == "record") {
        if (!RecordInformationReport(project, configuration, text))
            return BatchFailure;
    } else {
        text = DocumentInformationReport(project.PathName());
    }
    out << UnixLineEnds(text) << '\n';
    return BatchSuccess;
}
