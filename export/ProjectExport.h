// Copies a project's files into another folder for somebody else: the source
// files only, or with the solution (every record, or the first and the last
// with the project's record table cut down to those two).
#pragma once

#include "core/Messages.h"

#include <functional>
#include <string>
#include <vector>

namespace quillmere {

class CProjectProfile;
struct ProjectFileFields;

namespace exporttexts {

constexpr const char* DialogTitle = "Project export";
constexpr const char* ExportedProject = "Exported project:";
constexpr const char* ExportToFolder = "Export to folder:";
constexpr const char* Browse = "Browse";
constexpr const char* SourceOnly = "Export only source project files excluding files typed *.000 - *.999";
constexpr const char* FirstAndLast =
    "Export source project files with solution including only first and last record";
constexpr const char* ExportButton = "Export";
constexpr const char* CloseButton = "Close";
constexpr const char* ChooseFolder = "Project files will be exported to the folder:"; // 414
constexpr const char* Copying = "%s -> %s";
constexpr const char* ExportCommand = "Export active project files into selected directory for data exchange";
constexpr const char* OpenReportCommand = "Open report file";

} // namespace exporttexts

// The files a project names, in the order they are exported: the project
// configuration file, the sheet file, the tools that are not "None", the
// process control file, the materials that are neither empty nor "Unused",
// the heat and friction file and the project file itself. Names are as the
// project stores them.
std::vector<std::string> ProjectExportFiles(const CProjectProfile& project);
std::vector<std::string> ProjectExportFiles(const ProjectFileFields& fields, const std::string& projectPath);

// Whether any listed file is a project file (extension "tfc"); without one the
// solution cannot be exported.
bool ListsProjectFile(const std::vector<std::string>& files);

struct ExportOptions {
    bool sourceOnly = true;
    bool firstAndLast = false; // with the solution only
};

// Why a target folder is refused before anything is copied.
enum class ExportRefusal {
    None,
    BlankFolder,   // message 496
    ProjectFolder, // message 468
    MissingFolder, // question 494: the folder may be created
};

// Checks a target folder (already trimmed) against the project's own folder,
// as opened and as the project file's links lead to. The folders themselves
// are compared: ".", "..", symbolic links and trailing separators do not
// make the project's folder another one.
ExportRefusal CheckExportTarget(const std::string& projectPath, const std::string& target);

// True when both name the same folder (either may not exist yet).
bool IsSameFolder(const std::string& a, const std::string& b);

// Creates the folder and any missing parents.
bool CreateExportFolder(const std::string& folder);

// Copies the listed files of the project into target (an existing folder),
// and with the solution the project's record and "teh" files beside it.
// Every file is written under a temporary name in the target and renamed
// over the file of its name only when complete. Not exported: a file that
// the target's name already leads to (a link, a hard link, a linked folder),
// and a second listed file of a name already copied from another folder.
// show receives "%s -> %s" before each copy; replaced, when given, gets the
// target's paths of the files that were there and were replaced. Returns
// true when every file was copied.
bool ExportProjectFiles(const std::string& projectPath, const std::vector<std::string>& files,
                        const std::string& target, const ExportOptions& options,
                        const std::function<void(const std::string&)>& show = nullptr,
                        std::vector<std::string>* replaced = nullptr);

// The files of the target folder that the export would replace (their paths
// in the target, in the order of the copies): files of the exported names
// that are there already, other than the files exported.
std::vector<std::string> ExportReplaces(const std::string& projectPath, const std::vector<std::string>& files,
                                        const std::string& target, const ExportOptions& options);

// What the "Export" button does with the folder as typed: trims it, refuses
// a blank folder (496) or the project's own folder (468) with an error
// message, asks createMissing about a folder that does not exist and creates
// it when that returns true (495 when it cannot be created), asks
// replaceExisting, when given, about the files the export would replace,
// once for all of them, then copies. Returns false when it stopped before
// copying; complete tells whether every file was copied.
bool RunProjectExport(const std::string& projectPath, const std::vector<std::string>& files,
                      const std::string& typedTarget, const ExportOptions& options,
                      const std::function<bool(const std::string& folder)>& createMissing,
                      const std::function<void(const std::string&)>& show, bool& complete,
                      const std::function<bool(const std::vector<std::string>&)>& replaceExisting = nullptr);

// Message 498 when complete, else 497.
MessageId ExportResultMessage(bool complete);

// The project file cut down to the first and the last record: every line
// before the header of record 1, then a header "  1  ----..." and the three
// lines that follow the last header. Header lines are a number followed by a
// run of dashes and nothing else. Without a header of record 1 (a table of a
// single record) the content comes back unchanged.
std::string RewriteRecordTable(const std::string& content);

// Copies one file through a temporary name of its own in the target's
// folder, keeping the source's permission bits and times; the target keeps
// its old content when anything fails. change, when given, turns the
// source's content into the copy's.
bool CopyFileAtomically(const std::string& source, const std::string& target,
                        const std::function<std::string(const std::string&)>& change = nullptr);

// The project's HTML report: the project path with its extension "htm".
std::string ReportFilePath(const std::string& projectPath);

} // namespace quillmere
