#include "export/ProjectExport.h"

#include "core/AtomicFile.h"
#include "core/FilePaths.h"
#include "core/Messages.h"
#include "core/TextFormat.h"
#include "core/TextLines.h"
#include "model/CProjectProfile.h"
#include "model/ProjectFile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <sys/stat.h>
#include <system_error>

namespace quillmere {

namespace fs = std::filesystem;

namespace {

bool IsUnusedMaterial(const std::string& name) {
    const std::string trimmed = Trim(name);
    return trimmed.empty() || EqualsNoCase(trimmed, "unused");
}

template <typename ToolName, typename MaterialName>
std::vector<std::string> CollectFiles(const std::string& configuration, const std::string& sheet,
                                      ToolName tool, const std::string& processControl, MaterialName material,
                                      const std::string& heatFriction, const std::string& projectPath) {
    std::vector<std::string> files{configuration, sheet};
    for (int slot = 0; slot < 10; ++slot)
        if (!IsEmptyToolSlot(tool(slot)))
            files.push_back(tool(slot));
    files.push_back(processControl);
    for (int slot = 0; slot < ProjectFileFields::MaterialSlots; ++slot)
        if (!IsUnusedMaterial(material(slot)))
            files.push_back(material(slot));
    files.push_back(heatFriction);
    files.push_back(projectPath);
    return files;
}

// Record numbers of any length compare by value.
std::string WithoutLeadingZeros(const std::string& digits) {
    const size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? "0" : digits.substr(first);
}

bool LessRecord(const std::string& a, const std::string& b) {
    const std::string x = WithoutLeadingZeros(a), y = WithoutLeadingZeros(b);
    return x.size() != y.size() ? x.size() < y.size() : x < y;
}

// One file reached by two names: links, hard links, linked folders.
bool IsSameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return fs::equivalent(a, b, error) && !error;
}

// Where a listed file is read from: its reference, or its name in the
// project's folder when the reference points elsewhere (as opening repairs).
std::string SourceOf(const std::string& stored, const std::string& projectFolder) {
    const std::string found = FindExistingFile(LookupName(stored), projectFolder);
    if (!found.empty())
        return found;
    return FindExistingFile(FileNamePart(LookupName(stored)), projectFolder);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

struct Line {
    std::string text;
    bool crlf = false;
    bool ended = false; // a line feed followed it
};

std::vector<Line> SplitLines(const std::string& content) {
    std::vector<Line> lines;
    size_t start = 0;
    while (start < content.size()) {
        const size_t end = content.find('\n', start);
        Line line;
        line.ended = end != std::string::npos;
        line.text = content.substr(start, line.ended ? end - start : std::string::npos);
        if (line.ended && !line.text.empty() && line.text.back() == '\r') {
            line.text.pop_back();
            line.crlf = true;
        }
        start = line.ended ? end + 1 : content.size();
        lines.push_back(std::move(line));
    }
    return lines;
}

// A record header: digits, optional blanks, then dashes only. Gives the
// number without leading zeros.
bool IsHeaderLine(const std::string& line, std::string& number) {
    const std::string trimmed = Trim(line);
    size_t i = 0;
    while (i < trimmed.size() && std::isdigit(static_cast<unsigned char>(trimmed[i])))
        ++i;
    if (i == 0)
        return false;
    number = WithoutLeadingZeros(trimmed.substr(0, i));
    while (i < trimmed.size() && (trimmed[i] == ' ' || trimmed[i] == '\t'))
        ++i;
    const size_t dashes = i;
    while (i < trimmed.size() && trimmed[i] == '-')
        ++i;
    return i == trimmed.size() && i - dashes >= 4;
}

bool ReadStream(std::FILE* in, std::string& content) {
    char buffer[65536];
    size_t read;
    while ((read = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        content.append(buffer, read);
    return !std::ferror(in);
}

void AppendLine(std::string& out, const std::string& text, bool crlf) {
    out += text;
    out += crlf ? "\r\n" : "\n";
}

} // namespace

std::vector<std::string> ProjectExportFiles(const CProjectProfile& project) {
    return CollectFiles(
        project.ConfigurationFileName(), project.SheetFileName(),
        [&](int slot) -> const std::string& { return project.ToolFileName(slot); },
        project.ProcessControlFileName(),
        [&](int slot) -> const std::string& { return project.MaterialFileName(slot); },
        project.HeatFrictionFileName(), project.ProjectPathName());
}

std::vector<std::string> ProjectExportFiles(const ProjectFileFields& fields, const std::string& projectPath) {
    return CollectFiles(
        fields.configuration.name, fields.sheet.name,
        [&](int slot) -> const std::string& { return fields.tools[static_cast<size_t>(slot)].name; },
        fields.processControl.name,
        [&](int slot) -> const std::string& { return fields.materials[static_cast<size_t>(slot)].name; },
        fields.heatFriction.name, projectPath);
}

bool ListsProjectFile(const std::vector<std::string>& files) {
    for (const std::string& file : files) {
        const std::string name = FileNamePart(LookupName(file));
        const size_t dot = name.rfind('.');
        if (dot != std::string::npos && EqualsNoCase(name.substr(dot + 1), "tfc"))
            return true;
    }
    return false;
}

bool IsSameFolder(const std::string& a, const std::string& b) {
    std::error_code error;
    if (fs::exists(a, error) && fs::exists(b, error) && fs::equivalent(a, b, error))
        return true;
    std::error_code errorA, errorB;
    const fs::path x = fs::weakly_canonical(fs::absolute(a, errorA), errorA);
    const fs::path y = fs::weakly_canonical(fs::absolute(b, errorB), errorB);
    if (errorA || errorB)
        return false;
    // Trailing separators leave an empty last component behind.
    auto tidy = [](fs::path path) {
        std::string text = path.lexically_normal().string();
        while (text.size() > 1 && text.back() == '/')
            text.pop_back();
        return text;
    };
    return tidy(x) == tidy(y);
}

ExportRefusal CheckExportTarget(const std::string& projectPath, const std::string& target) {
    if (target.empty())
        return ExportRefusal::BlankFolder;
    std::string projectFolder = FolderPart(projectPath);
    if (projectFolder.empty())
        projectFolder = projectPath.find_first_of("/\\") == 0 ? "/" : ".";
    if (IsSameFolder(projectFolder, target))
        return ExportRefusal::ProjectFolder;
    // A project opened through a link lives in the folder the link leads to.
    std::error_code error;
    const fs::path real = fs::canonical(projectPath, error);
    if (!error && IsSameFolder(real.parent_path().string(), target))
        return ExportRefusal::ProjectFolder;
    if (!fs::is_directory(target, error))
        return ExportRefusal::MissingFolder;
    return ExportRefusal::None;
}

bool CreateExportFolder(const std::string& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    return fs::is_directory(folder, error);
}

bool CopyFileAtomically(const std::string& source, const std::string& target,
                        const std::function<std::string(const std::string&)>& change) {
    CFileHandle in(source, "rb");
    struct stat attributes;
    if (!in || ::fstat(::fileno(in.get()), &attributes) != 0 || !S_ISREG(attributes.st_mode))
        return false;
    CAtomicFile out(target, JoinPath(FolderPart(target), "." + FileNamePart(target) + ".XXXXXX"));
    out.KeepAttributesOf(attributes);
    if (!out.Open())
        return false;
    if (change) {
        std::string content;
        return ReadStream(in.get(), content) && out.Write(change(content)) && out.Commit();
    }
    std::string buffer(1 << 20, '\0');
    for (;;) {
        const size_t read = std::fread(&buffer[0], 1, buffer.size(), in.get());
        if (read == 0)
            break;
        if (!out.Write(read == buffer.size() ? buffer : buffer.substr(0, read)))
            return false;
    }
    if (std::ferror(in.get()))
        return false;
    return out.Commit();
}

std::string RewriteRecordTable(const std::string& content) {
    const std::vector<Line> lines = SplitLines(content);
    std::string number;
    size_t first = lines.size();
    for (size_t i = 0; i < lines.size(); ++i)
        if (IsHeaderLine(lines[i].text, number) && number == "1") {
            first = i;
            break;
        }
    if (first == lines.size())
        return content;
    size_t last = first;
    for (size_t i = first; i < lines.size(); ++i)
        if (IsHeaderLine(lines[i].text, number))
            last = i;
    std::string out;
    out.reserve(content.size());
    for (size_t i = 0; i < first; ++i)
        AppendLine(out, lines[i].text, lines[i].crlf);
    AppendLine(out, "  1  ------------------------", lines[first].crlf);
    for (size_t i = last + 1; i < lines.size() && i <= last + 3; ++i)
        AppendLine(out, lines[i].text, lines[i].crlf || (!lines[i].ended && lines[first].crlf));
    return out;
}

namespace {

using ContentChange = std::function<std::string(const std::string&)>;

// One file of an export: where it is read from, its name in the target, and
// how its content changes on the way (the record table of first and last).
struct PlannedCopy {
    std::string source;
    std::string name;
    ContentChange change;
};

// The copies of an export, in their order. A name may come twice (a file
// listed twice, or two listed files of one name in different folders).
std::vector<PlannedCopy> PlanExport(const std::string& projectPath, const std::vector<std::string>& files,
                                    const ExportOptions& options) {
    const std::string projectFolder = FolderPart(projectPath);
    std::vector<PlannedCopy> plan;
    // The exported project lists only the records exported with it.
    const ContentChange table =
        options.sourceOnly || !options.firstAndLast ? ContentChange() : RewriteRecordTable;
    for (const std::string& stored : files) {
        const std::string source = SourceOf(stored, projectFolder);
        const std::string name = source.empty() ? FileNamePart(LookupName(stored)) : FileNamePart(source);
        plan.push_back({source.empty() ? LookupName(stored) : source, name,
                        &stored == &files.back() ? table : ContentChange()});
    }
    if (options.sourceOnly)
        return plan;

    // The project's other files share its base name.
    const std::string projectName = FileNamePart(projectPath);
    const size_t dot = projectName.rfind('.');
    const std::string prefix = dot == std::string::npos ? projectName + "." : projectName.substr(0, dot + 1);
    std::vector<std::string> heat, records;
    for (const std::string& name : ListFolder(projectFolder.empty() ? "." : projectFolder)) {
        if (name.size() <= prefix.size() || !EqualsNoCase(name.substr(0, prefix.size()), prefix))
            continue;
        const std::string extension = ToLower(name.substr(prefix.size()));
        if (!IsRegularFile(JoinPath(projectFolder, name)))
            continue;
        if (extension == "teh")
            heat.push_back(name);
        else if (IsAllDigits(extension))
            records.push_back(name);
    }
    std::sort(heat.begin(), heat.end());
    std::sort(records.begin(), records.end(), [&](const std::string& a, const std::string& b) {
        return LessRecord(a.substr(prefix.size()), b.substr(prefix.size()));
    });

    if (!options.firstAndLast) {
        for (const std::string& name : heat)
            plan.push_back({JoinPath(projectFolder, name), name, nullptr});
        for (const std::string& name : records)
            plan.push_back({JoinPath(projectFolder, name), name, nullptr});
        return plan;
    }

    bool hasFirst = false;
    for (const std::string& name : records)
        if (name.substr(prefix.size()) == "000") {
            plan.push_back({JoinPath(projectFolder, name), name, nullptr});
            hasFirst = true;
        }
    // A single record stays a single record: its table is not rewritten either.
    if (!records.empty() && !(hasFirst && records.back().substr(prefix.size()) == "000"))
        plan.push_back({JoinPath(projectFolder, records.back()),
                        records.back().substr(0, prefix.size()) + "001", nullptr});
    return plan;
}

// Whether copying source to destination replaces a file that is there: one
// the copy can be made from and that is another file than the source.
bool Replaces(const std::string& source, const std::string& destination) {
    std::error_code error;
    const fs::file_status there = fs::symlink_status(destination, error);
    if (error || !fs::exists(there) || fs::is_directory(fs::status(destination, error)))
        return false;
    return IsRegularFile(source) && !IsSameFile(source, destination);
}

} // namespace

std::vector<std::string> ExportReplaces(const std::string& projectPath, const std::vector<std::string>& files,
                                        const std::string& target, const ExportOptions& options) {
    std::vector<std::string> replaced;
    std::map<std::string, std::string> named;
    for (const PlannedCopy& copy : PlanExport(projectPath, files, options)) {
        const std::string destination = JoinPath(target, copy.name);
        if (named.emplace(copy.name, copy.source).second && Replaces(copy.source, destination))
            replaced.push_back(destination);
    }
    return replaced;
}

bool ExportProjectFiles(const std::string& projectPath, const std::vector<std::string>& files,
                        const std::string& target, const ExportOptions& options,
                        const std::function<void(const std::string&)>& show,
                        std::vector<std::string>* replaced) {
    bool complete = true;
    std::map<std::string, std::string> copied; // name in the target -> its source
    for (const PlannedCopy& copy : PlanExport(projectPath, files, options)) {
        const std::string destination = JoinPath(target, copy.name);
        if (show)
            show(FormatText(exporttexts::Copying, copy.source.c_str(), destination.c_str()));
        const auto [earlier, first] = copied.emplace(copy.name, copy.source);
        if (!first) {
            // A file listed twice is there already; another one of its name
            // must not replace it.
            if (!IsSameFile(earlier->second, copy.source))
                complete = false;
            continue;
        }
        const bool replacing = replaced && Replaces(copy.source, destination);
        // A file is never copied onto itself, whatever names lead to it.
        if (IsSameFile(copy.source, destination) ||
            !CopyFileAtomically(copy.source, destination, copy.change))
            complete = false;
        else if (replacing)
            replaced->push_back(destination);
    }
    return complete;
}

bool RunProjectExport(const std::string& projectPath, const std::vector<std::string>& files,
                      const std::string& typedTarget, const ExportOptions& options,
                      const std::function<bool(const std::string& folder)>& createMissing,
                      const std::function<void(const std::string&)>& show, bool& complete,
                      const std::function<bool(const std::vector<std::string>&)>& replaceExisting) {
    complete = false;
    const std::string target = Trim(typedTarget);
    switch (CheckExportTarget(projectPath, target)) {
    case ExportRefusal::BlankFolder:
        ShowMessage(MessageId::NoExportFolder, MessageIcon::Error);
        return false;
    case ExportRefusal::ProjectFolder:
        ShowMessage(MessageId::ExportToProjectFolder, MessageIcon::Error);
        return false;
    case ExportRefusal::MissingFolder:
        if (!createMissing || !createMissing(target))
            return false;
        if (!CreateExportFolder(target)) {
            ShowMessage(Message(MessageId::CannotCreateFolder, target), MessageIcon::Error);
            return false;
        }
        break;
    case ExportRefusal::None:
        break;
    }
    if (replaceExisting) {
        const std::vector<std::string> existing = ExportReplaces(projectPath, files, target, options);
        if (!existing.empty() && !replaceExisting(existing))
            return false;
    }
    complete = ExportProjectFiles(projectPath, files, target, options, show);
    return true;
}

MessageId ExportResultMessage(bool complete) {
    return complete ? MessageId::AllExported : MessageId::SomeNotExported;
}

std::string ReportFilePath(const std::string& projectPath) {
    const size_t separator = LastSeparator(projectPath);
    const size_t dot = projectPath.rfind('.');
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator))
        return projectPath + ".htm";
    return projectPath.substr(0, dot + 1) + "htm";
}

} // namespace quillmere
