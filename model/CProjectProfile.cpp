#include "model/CProjectProfile.h"

#include "core/FilePaths.h"
#include "core/Messages.h"
#include "core/Parallel.h"
#include "core/TextFormat.h"
#include "core/TextLines.h"
#include "model/BigArray.h"
#include "model/ProjectRepair.h"
#include "model/SheetReading.h"

#include <algorithm>
#include <filesystem>

namespace quillmere {

namespace {

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

// The project path up to and including the dot before its extension; a
// file name without a dot gets one.
std::string RecordPrefix(const std::string& projectPath) {
    const size_t dot = projectPath.rfind('.');
    const size_t separator = LastSeparator(projectPath);
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator))
        return projectPath + ".";
    return projectPath.substr(0, dot + 1);
}

// The number of a record file's name ("cup.012" is 12), or -1 when the
// name after the prefix is not a record number as record file names write it.
int RecordNumber(const std::string& extension) {
    if (!IsAllDigits(extension) || extension.size() > 9)
        return -1;
    const int number = std::stoi(extension);
    return FormatText("%03d", number) == extension ? number : -1;
}

} // namespace

Message MissingRecordFiles(const std::string& prefix, std::vector<int> found) {
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    constexpr size_t namedGaps = 4; // then the rest are counted
    Message list;
    size_t gaps = 0;
    long unnamed = 0;
    int expected = 0;
    for (int number : found) {
        if (number > expected) {
            const int last = number - 1;
            if (gaps++ < namedGaps) {
                Message gap(MessageId::Name, prefix + FormatText("%03d", expected));
                if (last > expected)
                    gap = Message(MessageId::Range, prefix + FormatText("%03d", expected),
                                  prefix + FormatText("%03d", last));
                list = list ? Message(MessageId::ListNext, std::move(list), std::move(gap)) : std::move(gap);
            } else {
                unnamed += last - expected + 1;
            }
        }
        expected = number + 1;
    }
    if (unnamed > 0)
        list = Message(MessageId::AndMore, std::move(list), unnamed);
    return list;
}

CProjectProfile::CProjectProfile() : player(std::make_unique<CRecordPlayer>(*this)) {}

CProjectProfile::~CProjectProfile() {
    // The animation worker goes before the sheet and the tools it steps.
    player.reset();
    tools.clear();
    sheet.reset();
    // The blocks kept for the next record of this project are of no use to
    // another one.
    bigarray::ReleaseCache();
}

std::string CProjectProfile::ProjectFolder() const {
    return FolderPart(projectPathName.empty() ? openingPath : projectPathName);
}

std::string CProjectProfile::RecordFileName(int index) const {
    return RecordPrefix(projectPathName.empty() ? openingPath : projectPathName) + FormatText("%03d", index);
}

bool CProjectProfile::Open(const std::string& path, IProgressSink* progress) {
    openingPath = AbsolutePath(path);
    if (!ProjectFileParse(openingPath, progress) || !FinalLoad(openingPath, progress))
        return false;
    // The records are counted as found: after a gap the last one shown is
    // not the last one written.
    if (missingRecords)
        ShowMessage(Message(MessageId::RecordFilesMissing, missingRecords, recordCount),
                    MessageIcon::Warning);
    player->WarnOfNonFinite(recordCount);
    return true;
}

std::string CProjectProfile::FirstMissingReference() const {
    const std::string folder = FolderPart(openingPath);
    for (const ProjectReference& tool : fields.tools)
        if (!IsEmptyToolSlot(tool.name) && !ProjectFileExists(tool.name, folder))
            return tool.name;
    if (!ProjectFileExists(fields.processControl.name, folder))
        return fields.processControl.name;
    if (!ProjectFileExists(fields.configuration.name, folder))
        return fields.configuration.name;
    return "";
}

int CProjectProfile::CountRecords(Message& missing) const {
    const std::string prefix = FileNamePart(RecordPrefix(openingPath));
    int count = 0;
    std::vector<int> numbers;
    for (const std::string& name : ListFolder(FolderPart(openingPath))) {
        if (name.size() <= prefix.size() || !EqualsNoCase(name.substr(0, prefix.size()), prefix))
            continue;
        const size_t dot = name.rfind('.');
        if (IsAllDigits(name.substr(dot + 1)))
            ++count;
        const int number = RecordNumber(name.substr(prefix.size()));
        if (number >= 0)
            numbers.push_back(number);
    }
    missing = MissingRecordFiles(prefix, std::move(numbers));
    return count;
}

CProjectProfile::CRecordRead CProjectProfile::FindRecord(int index) const {
    CRecordRead read;
    read.name = RecordFileName(index);
    read.found = FindExistingFile(read.name, "");
    return read;
}

void CProjectProfile::ReadFound(CRecordRead& read, int index, IProgressSink* progress, bool keepValues) {
    if (read.found.empty())
        return;
    // A file that cannot be opened is reported by Usable, in its turn.
    if (keepValues) {
        read.data = ReadRecordFile(read.found, index, progress);
        read.error = read.data.error;
    } else {
        read.error = CheckRecordFile(read.found, progress);
    }
}

bool CProjectProfile::Usable(const CRecordRead& read) {
    if (read.found.empty()) {
        ShowMessage(Message(MessageId::MissingRecord, read.name), MessageIcon::Error);
        return false;
    }
    // Found but not opened: the file system failed under us.
    if (read.error.fault == RecordFault::CannotOpen)
        ReportCriticalError(MessageId::UnableToOpenSheet);
    if (read.error) {
        ShowMessage(Message(MessageId::UnusableRecord, read.found, RecordErrorMessage(read.error)),
                    MessageIcon::Error);
        return false;
    }
    return true;
}

bool CProjectProfile::ProjectFileParse(const std::string& path, IProgressSink* progress) {
    bool repaired = false;
    for (;;) {
        fields = ProjectFileFields();
        std::vector<ProjectLine> lines;
        const ProjectParseResult parsed = ParseProjectFile(path, fields, &lines);
        if (parsed == ProjectParseResult::CannotOpen) {
            ShowMessage(Message(MessageId::UnableToReadFrom, path), MessageIcon::Error);
            return false;
        }
        if (parsed == ProjectParseResult::WrongFormat) {
            ShowMessage(Message(MessageId::IncorrectFormat, path), MessageIcon::Error);
            return false;
        }
        const std::string missing = FirstMissingReference();
        if (missing.empty())
            break;
        // One repair per opening: what is still missing afterwards is
        // reported instead of repairing again and again.
        if (repaired) {
            ShowMessage(Message(MessageId::ReferencedFileMissing, missing), MessageIcon::Error);
            return false;
        }
        if (RepairProject(path, fields, lines) == RepairOutcome::Failed)
            return false;
        repaired = true;
    }

    recordCount = CountRecords(missingRecords);
    if (recordCount == 0) {
        ShowMessage(Message(MessageId::NoRecords, path), MessageIcon::Error);
        return false;
    }
    // The first record must be usable. It is only checked, beside the read
    // of the last one, and reported first; a single record is read once.
    CRecordRead first = FindRecord(0);
    if (recordCount == 1 || first.found.empty()) {
        ReadFound(first, 0, progress, true);
        lastRead = std::move(first);
        return Usable(lastRead);
    }
    const int last = recordCount - 1;
    lastRead = FindRecord(last);
    // The read that shows its progress stays on this thread.
    parallel::Both([&] { ReadFound(first, 0, nullptr, false); },
                   [&] { ReadFound(lastRead, last, progress, true); });
    return Usable(first);
}

bool CProjectProfile::FinalLoad(const std::string& path, IProgressSink* progress) {
    projectPathName = path;
    SetPathName(path);
    const bool usable = Usable(lastRead);
    CRecordData record = std::move(lastRead.data);
    lastRead = CRecordRead();
    if (!usable) {
        projectPathName.clear();
        SetPathName("");
        return false;
    }
    sheet = OpenSheet(std::move(record));

    const std::string folder = ProjectFolder();
    tools.clear();
    tools.resize(kToolSlots);
    for (int slot = 0; slot < kToolSlots; ++slot) {
        const std::string& name = ToolFileName(slot);
        if (IsEmptyToolSlot(name))
            continue;
        auto tool = std::make_unique<CMoldProfile>(name, progress, ProcessControlFileName(), slot, folder);
        tool->MoveTool(tool->Motion().Direction(), sheet->Values().toolPositions[static_cast<size_t>(slot)]);
        tools[static_cast<size_t>(slot)] = std::move(tool);
    }
    player->Opened(recordCount);
    return true;
}

} // namespace quillmere
