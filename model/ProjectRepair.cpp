#include "model/ProjectRepair.h"

#include "core/AtomicFile.h"
#include "core/FilePaths.h"
#include "core/Messages.h"
#include "core/TextLines.h"

#include <map>
#include <sys/stat.h>

namespace quillmere {

namespace {

// Asks before touching a project file without write permission; true when
// it may now be replaced.
bool MayReplace(const std::string& path) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 || (info.st_mode & S_IWUSR) != 0)
        return true;
    const MessageAnswer answer =
        ShowMessage(MessageId::ReadOnlyQuestion, MessageIcon::Question, MessageButtons::YesNo);
    if (answer != MessageAnswer::Yes) {
        ShowMessage(MessageId::UnableToModify, MessageIcon::Warning);
        return false;
    }
    if (::chmod(path.c_str(), (info.st_mode & 07777) | S_IRUSR | S_IWUSR) != 0) {
        ShowMessage(MessageId::UnableToModifyOnDisk, MessageIcon::Warning);
        return false;
    }
    return true;
}

} // namespace

bool ProjectFileExists(const std::string& name, const std::string& projectFolder) {
    return !FindExistingFile(LookupName(name), projectFolder).empty();
}

RepairOutcome RepairProject(const std::string& projectPath, const ProjectFileFields& fields,
                            const std::vector<ProjectLine>& lines) {
    if (LastSeparator(projectPath) == std::string::npos)
        return RepairOutcome::Failed;
    const std::string folder = FolderPart(projectPath);

    // New text per line index, for each reference that is missing where it
    // is stored. Lines are found by where they were read, so a project with
    // fewer than ten tool lines is rewritten as correctly as a full one.
    std::map<int, std::string> relocated;
    auto relocate = [&](const ProjectReference& reference, bool isTool) {
        if (reference.line < 0 || ProjectFileExists(reference.name, folder))
            return true;
        const std::string name = folder + "/" + FileNamePart(LookupName(reference.name));
        if (isTool && !ProjectFileExists(name, folder)) {
            ShowMessage(Message(MessageId::ToolNotLoaded, name), MessageIcon::Error);
            return false;
        }
        relocated[reference.line] = name;
        return true;
    };
    relocate(fields.sheet, false);
    for (const ProjectReference& tool : fields.tools)
        if (!IsEmptyToolSlot(tool.name) && !relocate(tool, true))
            return RepairOutcome::Failed;
    relocate(fields.processControl, false);
    // "Unused" names no file; moving it would turn the line into a file name.
    if (ToLower(Trim(fields.materials[0].name)) != "unused")
        relocate(fields.materials[0], false);
    relocate(fields.heatFriction, false);
    relocate(fields.configuration, false);

    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto found = relocated.find(static_cast<int>(i));
        text += found != relocated.end() ? found->second : lines[i].text;
        text += lines[i].crlf ? "\r\n" : "\n";
    }
    if (!MayReplace(projectPath))
        return RepairOutcome::Unchanged;
    // The complete new copy is written first and then renamed over the old
    // file, so no failure can lose the project.
    if (!ReplaceFileContent(projectPath, projectPath + "X", text)) {
        ShowMessage(MessageId::UnableToModify, MessageIcon::Warning);
        return RepairOutcome::Unchanged;
    }
    return RepairOutcome::Replaced;
}

} // namespace quillmere
