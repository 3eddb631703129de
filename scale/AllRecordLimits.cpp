#include "scale/AllRecordLimits.h"

#include "core/FilePaths.h"
#include "core/Messages.h"
#include "core/TextFormat.h"
#include "model/CProjectProfile.h"
#include "model/CSheetProfile.h"
#include "model/SheetReading.h"
#include "scale/ResultQuantity.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <memory>

namespace quillmere {

namespace {

// Record files are named as the project file with the record index, at least
// three digits, for its extension.
std::string RecordFile(const std::string& projectPath, int index) {
    const size_t dot = projectPath.rfind('.');
    const size_t separator = LastSeparator(projectPath);
    const std::string prefix = dot == std::string::npos || (separator != std::string::npos && dot < separator)
                                   ? projectPath + "."
                                   : projectPath.substr(0, dot + 1);
    return prefix + FormatText("%03d", index);
}

// The mesh of every record is the project's; the message refusing one of
// other counts.
Message OtherMeshMessage(const std::string& found) {
    return Message(MessageId::UnusableRecord, found, MessageId::RecordNotProjectMesh);
}

// Reads record index, on the mesh of sheet when given; null with the reason
// when it is missing, damaged or of another mesh.
std::unique_ptr<CSheetProfile> ReadRecordValues(const std::string& projectPath, int index,
                                                const CSheetProfile* sheet, Message& failure) {
    const std::string name = RecordFile(projectPath, index);
    const std::string found = FindExistingFile(name, "");
    if (found.empty()) {
        failure = Message(MessageId::UnableToReadFrom, name);
        return nullptr;
    }
    CRecordData read = ReadRecordFile(found, index, nullptr);
    if (read.error.fault == RecordFault::CannotOpen) {
        failure = Message(MessageId::UnableToReadFrom, name);
        return nullptr;
    }
    if (read.error) {
        failure = Message(MessageId::UnusableRecord, found, RecordErrorMessage(read.error));
        return nullptr;
    }
    if (!sheet)
        return OpenSheet(std::move(read));
    std::unique_ptr<CSheetProfile> record = PrepareRecord(sheet->SharedMesh(), std::move(read));
    if (!record)
        failure = OtherMeshMessage(found);
    return record;
}

// First contact's limits: its values, from every record, on the last one.
AllRecordLimits FirstContactLimits(const std::string& projectPath, int recordCount,
                                   const std::function<void(int done, int count)>& progress,
                                   const std::atomic<bool>& cancel) {
    AllRecordLimits result;
    std::unique_ptr<CSheetProfile> sheet;
    try {
        sheet = ReadRecordValues(projectPath, recordCount - 1, nullptr, result.failure);
    } catch (const CCriticalError&) {
        result.failure = Message(); // said already
    } catch (const std::exception& error) {
        result.failure = Message(MessageId::UnusableRecord, RecordFile(projectPath, recordCount - 1),
                                 FailureMessage(error));
    }
    if (!sheet) {
        result.outcome = AllRecordLimits::Failed;
        return result;
    }
    const FirstContactScan scan =
        ComputeFirstContact(projectPath, recordCount, sheet->NodeCount(), progress, cancel);
    result.outcome = scan.outcome;
    result.failure = scan.failure;
    if (scan.outcome == AllRecordLimits::Done) {
        sheet->SetFirstContact(scan.records);
        result.range = ComputeScaleRange(*sheet, ResultQuantity::FirstContact, ScaleLimits());
    }
    return result;
}

// A record without numbers (NaN limits) leaves the range as it is.
void Widen(ScaleRange& all, const ScaleRange& one) {
    all.minimum = std::min(all.minimum, one.minimum);
    all.maximum = std::max(all.maximum, one.maximum);
}

} // namespace

AllRecordLimits ComputeAllRecordLimits(const std::string& projectPath, int recordCount,
                                       ResultQuantity quantity,
                                       const std::function<void(int done, int count)>& progress,
                                       const std::atomic<bool>& cancel) {
    AllRecordLimits result;
    if (quantity == ResultQuantity::None || recordCount <= 0) {
        result.range = {0, 0};
        return result;
    }
    if (quantity == ResultQuantity::FirstContact)
        return FirstContactLimits(projectPath, recordCount, progress, cancel);
    const ScaleLimits automatic;
    result.range = {DBL_MAX, -DBL_MAX};
    // The other records are derived on the last one's mesh, as navigation
    // derives them for the project's sheet, so every record is derived
    // exactly as it is when shown.
    std::unique_ptr<CSheetProfile> sheet;
    int done = 0;
    int index = 0;
    try {
        for (int step = 0; step < recordCount; ++step) {
            if (cancel.load()) {
                result.outcome = AllRecordLimits::Cancelled;
                return result;
            }
            index = step == 0 ? recordCount - 1 : step - 1;
            std::unique_ptr<CSheetProfile> record =
                ReadRecordValues(projectPath, index, sheet.get(), result.failure);
            if (!record) {
                result.outcome = AllRecordLimits::Failed;
                return result;
            }
            if (!sheet)
                sheet = std::move(record);
            else
                sheet->SwapRecordValues(*record);
            Widen(result.range, ComputeScaleRange(*sheet, quantity, automatic));
            if (progress)
                progress(++done, recordCount);
        }
        if (result.range.minimum > result.range.maximum)
            result.range.minimum = result.range.maximum = std::numeric_limits<double>::quiet_NaN();
    } catch (const CCriticalError&) {
        result.outcome = AllRecordLimits::Failed;
        result.failure = Message(); // said already
    } catch (const std::exception& error) {
        result.outcome = AllRecordLimits::Failed;
        result.failure =
            Message(MessageId::UnusableRecord, RecordFile(projectPath, index), FailureMessage(error));
    }
    return result;
}

FirstContactScan ComputeFirstContact(const std::string& projectPath, int recordCount, int nodeCount,
                                     const std::function<void(int done, int count)>& progress,
                                     const std::atomic<bool>& cancel) {
    FirstContactScan scan;
    auto first = std::make_shared<FirstContactRecords>(static_cast<size_t>(std::max(nodeCount, 0)) + 1,
                                                       std::numeric_limits<double>::quiet_NaN());
    int index = 0;
    try {
        for (index = 0; index < recordCount; ++index) {
            if (cancel.load()) {
                scan.outcome = AllRecordLimits::Cancelled;
                return scan;
            }
            const std::string name = RecordFile(projectPath, index);
            const std::string found = FindExistingFile(name, "");
            const CRecordContact contact = found.empty() ? CRecordContact() : ReadRecordContact(found);
            if (found.empty() || contact.error.fault == RecordFault::CannotOpen)
                scan.failure = Message(MessageId::UnableToReadFrom, name);
            else if (contact.error)
                scan.failure = Message(MessageId::UnusableRecord, found, RecordErrorMessage(contact.error));
            else if (contact.nodeCount != nodeCount)
                scan.failure = OtherMeshMessage(found);
            if (scan.failure) {
                scan.outcome = AllRecordLimits::Failed;
                return scan;
            }
            const double record = index + 1;
            double* into = first->data();
            const uint8_t* tool = contact.tool.data();
            for (size_t node = 1; node < first->size(); ++node)
                if (tool[node] < kToolSlots && std::isnan(into[node]))
                    into[node] = record;
            if (progress)
                progress(index + 1, recordCount);
        }
    } catch (const std::exception& error) {
        scan.outcome = AllRecordLimits::Failed;
        scan.failure =
            Message(MessageId::UnusableRecord, RecordFile(projectPath, index), FailureMessage(error));
        return scan;
    }
    scan.records = std::move(first);
    return scan;
}

bool EnsureFirstContact(const CProjectProfile& project, Message& failure) {
    CSheetProfile* sheet = project.Sheet();
    if (!sheet || sheet->FirstContact())
        return sheet != nullptr;
    const std::atomic<bool> never{false};
    FirstContactScan scan = ComputeFirstContact(project.ProjectPathName(), project.RecordCount(),
                                                sheet->NodeCount(), nullptr, never);
    failure = scan.failure;
    if (scan.outcome != AllRecordLimits::Done)
        return false;
    sheet->SetFirstContact(std::move(scan.records));
    return true;
}

} // namespace quillmere
