#include "model/StepRecords.h"

#include "core/FilePaths.h"
#include "core/TextFormat.h"
#include "model/CProjectProfile.h"
#include "model/SheetReading.h"
#include "model/Texts.h"

namespace quillmere {

namespace {

// The message refusing a record (its path and counts) whose mesh is not the
// sheet's.
std::string OtherMesh(const std::string& path, int elements, int nodes, const CSheetProfile& sheet) {
    const std::string reason = FormatText(
        "its mesh of %d elements and %d nodes is not the project's mesh of %d elements and %d nodes",
        elements, nodes, sheet.ElementCount(), sheet.NodeCount());
    return FormatText(texts::UnusableRecord, path.c_str(), reason.c_str());
}

// "12 nodes", "1 element".
std::string Items(int count, const char* item) {
    return FormatText("%d %s%s", count, item, count == 1 ? "" : "s");
}

} // namespace

std::string NonFiniteWarning(const CSheetProfile& sheet, int record) {
    const NonFiniteValues& found = sheet.NonFinite();
    if (!found.Any())
        return std::string();
    std::string items, first;
    if (found.nodes.count > 0) {
        items = Items(found.nodes.count, "node");
        first = FormatText("node %d", found.nodes.first);
    }
    if (found.elements.count > 0) {
        const char* joint = items.empty() ? "" : " and ";
        items += joint + Items(found.elements.count, "element");
        first += joint + FormatText("element %d", found.elements.first);
    }
    return FormatText(texts::NonFiniteValues, record, items.c_str(), first.c_str());
}

bool ReadStepRecord(const CProjectProfile& document, int record, IProgressSink* progress, CRecordData& read,
                    std::string& failure) {
    const std::string name = document.RecordFileName(record - 1);
    const std::string found = FindExistingFile(name, "");
    if (found.empty()) {
        failure = FormatText(texts::UnableToReadFrom, name.c_str());
        return false;
    }
    // The file may vanish between the test and the read: that is a missing
    // record too, never the end of the program.
    read = ReadRecordFile(found, record - 1, progress);
    if (read.error.fault == RecordFault::CannotOpen) {
        failure = FormatText(texts::UnableToReadFrom, name.c_str());
        return false;
    }
    if (read.error) {
        failure = FormatText(texts::UnusableRecord, found.c_str(), RecordErrorText(read.error).c_str());
        return false;
    }
    // The node numbers are compared as the record is prepared, which reads
    // them anyway.
    const CSheetProfile& sheet = *document.Sheet();
    if (read.mesh.elementCount != sheet.ElementCount() || read.mesh.nodeCount != sheet.NodeCount()) {
        failure = OtherMesh(found, read.mesh.elementCount, read.mesh.nodeCount, sheet);
        return false;
    }
    return true;
}

std::unique_ptr<CSheetProfile> PrepareStepRecord(const CProjectProfile& document, CRecordData read,
                                                 std::string& failure) {
    const CSheetProfile& sheet = *document.Sheet();
    const std::string path = read.values.recordPath;
    const int elements = read.mesh.elementCount, nodes = read.mesh.nodeCount;
    std::unique_ptr<CSheetProfile> prepared = PrepareRecord(sheet.SharedMesh(), std::move(read));
    if (!prepared)
        failure = OtherMesh(path, elements, nodes, sheet);
    return prepared;
}

std::unique_ptr<CSheetProfile> ReadPreparedRecord(const CProjectProfile& document, int record,
                                                  IProgressSink* progress, std::string& failure) {
    CRecordData read;
    if (!ReadStepRecord(document, record, progress, read, failure))
        return nullptr;
    return PrepareStepRecord(document, std::move(read), failure);
}

} // namespace quillmere
