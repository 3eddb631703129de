#include "model/StepRecords.h"

#include "core/FilePaths.h"
#include "model/CProjectProfile.h"
#include "model/SheetReading.h"

namespace quillmere {

namespace {

// The message refusing a record (its path and counts) whose mesh is not the
// sheet's.
Message OtherMesh(const std::string& path, int elements, int nodes, const CSheetProfile& sheet) {
    return Message(
        MessageId::UnusableRecord, path,
        Message(MessageId::RecordOtherMesh, elements, nodes, sheet.ElementCount(), sheet.NodeCount()));
}

// "12 nodes", "1 element".
Message Items(int count, MessageId one, MessageId many) {
    return Message(count == 1 ? one : many, count);
}

// The first, or both joined: "node 7 and element 0".
Message Joined(Message first, Message second) {
    if (!first)
        return second;
    return Message(MessageId::ListLast, std::move(first), std::move(second));
}

} // namespace

Message NonFiniteWarning(const CSheetProfile& sheet, int record) {
    const NonFiniteValues& found = sheet.NonFinite();
    if (!found.Any())
        return Message();
    Message items, first;
    if (found.nodes.count > 0) {
        items = Items(found.nodes.count, MessageId::OneNode, MessageId::Nodes);
        first = Message(MessageId::NodeNumber, found.nodes.first);
    }
    if (found.elements.count > 0) {
        items =
            Joined(std::move(items), Items(found.elements.count, MessageId::OneElement, MessageId::Elements));
        first = Joined(std::move(first), Message(MessageId::ElementNumber, found.elements.first));
    }
    return Message(MessageId::NonFiniteValues, record, std::move(items), std::move(first));
}

bool ReadStepRecord(const CProjectProfile& document, int record, IProgressSink* progress, CRecordData& read,
                    Message& failure) {
    const std::string name = document.RecordFileName(record - 1);
    const std::string found = FindExistingFile(name, "");
    if (found.empty()) {
        failure = Message(MessageId::UnableToReadFrom, name);
        return false;
    }
    // The file may vanish between the test and the read: that is a missing
    // record too, never the end of the program.
    read = ReadRecordFile(found, record - 1, progress);
    if (read.error.fault == RecordFault::CannotOpen) {
        failure = Message(MessageId::UnableToReadFrom, name);
        return false;
    }
    if (read.error) {
        failure = Message(MessageId::UnusableRecord, found, RecordErrorMessage(read.error));
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
                                                 Message& failure) {
    const CSheetProfile& sheet = *document.Sheet();
    const std::string path = read.values.recordPath;
    const int elements = read.mesh.elementCount, nodes = read.mesh.nodeCount;
    std::unique_ptr<CSheetProfile> prepared = PrepareRecord(sheet.SharedMesh(), std::move(read));
    if (!prepared)
        failure = OtherMesh(path, elements, nodes, sheet);
    return prepared;
}

std::unique_ptr<CSheetProfile> ReadPreparedRecord(const CProjectProfile& document, int record,
                                                  IProgressSink* progress, Message& failure) {
    CRecordData read;
    if (!ReadStepRecord(document, record, progress, read, failure))
        return nullptr;
    return PrepareStepRecord(document, std::move(read), failure);
}

} // namespace quillmere
