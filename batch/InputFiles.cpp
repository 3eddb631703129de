#include "batch/InputFiles.h"

#include "core/FilePaths.h"
#include "core/Messages.h"
#include "core/TextFormat.h"
#include "core/TextLines.h"
#include "export/ProjectExport.h"
#include "messages/MessageText.h"
#include "model/CProjectProfile.h"
#include "model/ProjectFile.h"

#include <sys/stat.h>

namespace quillmere {

void CInputFiles::Add(const std::string& path) {
    struct stat info;
    if (!path.empty() && ::stat(path.c_str(), &info) == 0)
        inputs.emplace(std::make_pair(info.st_dev, info.st_ino), path);
}

void CInputFiles::AddNamed(const std::string& stored, const std::string& folder) {
    Add(FindExistingFile(LookupName(stored), folder));
}

// Every name of the project's base name with a numbered extension, as the
// records are counted.
void CInputFiles::AddRecords(const std::string& projectPath) {
    const std::string name = FileNamePart(projectPath);
    const size_t dot = name.rfind('.');
    const std::string prefix = dot == std::string::npos ? name + "." : name.substr(0, dot + 1);
    const std::string folder = FolderPart(projectPath);
    for (const std::string& entry : ListFolder(folder.empty() ? "." : folder))
        if (entry.size() > prefix.size() && EqualsNoCase(entry.substr(0, prefix.size()), prefix) &&
            IsAllDigits(entry.substr(prefix.size())))
            Add(folder.empty() ? entry : folder + "/" + entry);
}

void CInputFiles::AddProject(const CProjectProfile& project) {
    Add(project.PathName());
    for (const std::string& file : ProjectExportFiles(project))
        AddNamed(file, project.ProjectFolder());
    AddRecords(project.PathName());
}

void CInputFiles::AddProjectFile(const std::string& path) {
    Add(path);
    // Only a regular file is read: a pipe or a device could block or never
    // end.
    ProjectFileFields fields;
    if (!IsRegularFile(path) || ParseProjectFile(path, fields) != ProjectParseResult::Ok)
        return;
    for (const std::string& file : ProjectExportFiles(fields, path))
        AddNamed(file, FolderPart(path));
    AddRecords(path);
}

std::string CInputFiles::Replaced(const std::string& output) const {
    struct stat info;
    if (output.empty() || ::stat(output.c_str(), &info) != 0)
        return "";
    const auto found = inputs.find(std::make_pair(info.st_dev, info.st_ino));
    return found == inputs.end() ? "" : found->second;
}

bool CInputFiles::Accepts(const std::string& output) const {
    const std::string input = Replaced(output);
    if (input.empty())
        return true;
    struct stat info;
    const bool link = ::lstat(output.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
    ShowMessage(link ? FormatText("quillmere-batch: %s is a link to %s, an input of this command",
                                  output.c_str(), input.c_str())
                     : FormatText("quillmere-batch: %s is an input of this command", output.c_str()),
                MessageIcon::Error);
    return false;
}

} // namespace quillmere
