// The automatic limits of a quantity over every record of a project, for
// comparing records on one fixed scale. Runs on a worker thread: it reads
// the record files itself and never touches an open document.
#pragma once

#include "core/Messages.h"
#include "scale/ScaleRange.h"

#include <atomic>
#include <functional>
#include <string>

namespace quillmere {

struct AllRecordLimits {
    enum Outcome { Done, Cancelled, Failed };
    Outcome outcome = Done;
    ScaleRange range; // stored units; meaningful when Done
    Message failure;  // the message to show when Failed (empty when shown already)
};

// Reads each of the recordCount records of the project once, the last one
// first as the project does when it opens, and folds the automatic limits of
// each (the thickness cap included) into one range, whose limits are NaN
// when no record has a value that is a number. progress(done, count)
// follows every record read; cancel is looked at before each read.
AllRecordLimits ComputeAllRecordLimits(const std::string& projectPath, int recordCount,
                                       ResultQuantity quantity,
                                       const std::function<void(int done, int count)>& progress,
                                       const std::atomic<bool>& cancel);

} // namespace quillmere
