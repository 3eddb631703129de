#include "scale/AllRecordLimits.h"

#include "core/FilePaths.h"
#include "core/Messages.h"
#include "core/TextFormat.h"
#include "model/CSheetProfile.h"
#include "model/SheetReading.h"
#include "scale/ResultQuantity.h"

#include <algorithm>
#include <cfloat>
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
        failure = Message(MessageId::UnusableRecord, found, MessageId::RecordNotProjectMesh);
    return record;
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

} // namespace quillmere
