#include "batch/ExportCommand.h"

#include "batch/BatchOutput.h"
#include "core/Messages.h"
#include "core/TextFormat.h"
#include "core/TextLines.h"
#include "export/ProjectExport.h"
#include "messages/MessageText.h"
#include "model/ProjectFile.h"

namespace quillmere {

bool AcceptTarget(const std::string& project, const std::string& target, bool create) {
    switch (CheckExportTarget(project, target)) {
    case ExportRefusal::BlankFolder:
        ShowMessage(UnixLineEnds(MessageText(MessageId::NoExportFolder)), MessageIcon::Error);
        return false;
    case ExportRefusal::ProjectFolder:
        ShowMessage(MessageId::ExportToProjectFolder, MessageIcon::Error);
        return false;
    case ExportRefusal::MissingFolder:
        if (!create) {
            // The dialog's question, without the question: --create answers it.
            const std::string question = MessageText(Message(MessageId::CreateFolderQuestion, target));
            ShowMessage(question.substr(0, question.rfind("\r\n")), MessageIcon::Error);
            return false;
        }
        if (!CreateExportFolder(target)) {
            ShowMessage(UnixLineEnds(MessageText(Message(MessageId::CannotCreateFolder, target))),
                        MessageIcon::Error);
            return false;
        }
        break;
    case ExportRefusal::None:
        break;
    }
    return true;
}

int ExportFiles(const std::string& project, const std::string& folder, bool withSolution, bool firstAndLast,
                bool create, std::ostream& out) {
    ProjectFileFields fields;
    switch (ParseProjectFile(project, fields)) {
    case ProjectParseResult::CannotOpen:
        ShowMessage(Message(MessageId::UnableToReadFrom, project), MessageIcon::Error);
        return BatchFailure;
    case ProjectParseResult::WrongFormat:
        ShowMessage(UnixLineEnds(MessageText(Message(MessageId::IncorrectFormat, project))),
                    MessageIcon::Error);
        return BatchFailure;
    case ProjectParseResult::Ok:
        break;
    }
    const std::string target = Trim(folder);
    if (!AcceptTarget(project, target, create))
        return BatchFailure;
    ExportOptions options;
    options.sourceOnly = !withSolution;
    options.firstAndLast = withSolution && firstAndLast;
    // Files of the target are replaced without a question, and named.
    std::vector<std::string> replaced;
    const bool complete =
        ExportProjectFiles(project, ProjectExportFiles(fields, project), target, options, nullptr, &replaced);
    for (const std::string& path : replaced)
        ShowMessage(Message(MessageId::Replaced, path), MessageIcon::Information);
    out << UnixLineEnds(MessageText(ExportResultMessage(complete))) << '\n';
    return complete ? BatchSuccess : BatchFailure;
}

} // namespace quillmere
