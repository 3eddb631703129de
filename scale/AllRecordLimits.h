// What comes from every record of a project: the automatic limits of a
// quantity, for comparing records on one fixed scale, and the record at
// which each node first touches a tool. Runs on a worker thread: it reads
// the record files itself and never touches an open document (but for
// EnsureFirstContact, which runs on the document's own thread).
#pragma once

#include "core/Messages.h"
#include "model/CSheetProfile.h"
#include "scale/ScaleRange.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>

namespace quillmere {

class CProjectProfile;

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
// follows every record read; cancel is looked at before each read. First
// contact, which every record makes and none changes, has the automatic
// limits of ComputeFirstContact's values on the last record.
AllRecordLimits ComputeAllRecordLimits(const std::string& projectPath, int recordCount,
                                       ResultQuantity quantity,
                                       const std::function<void(int done, int count)>& progress,
                                       const std::atomic<bool>& cancel);

struct FirstContactScan {
    AllRecordLimits::Outcome outcome = AllRecordLimits::Done;
    std::shared_ptr<const FirstContactRecords> records; // when Done
    Message failure; // the message to show when Failed (empty when shown already)
};

// The first record (1-based) at which each node of the project touches a
// tool, for CSheetProfile::SetFirstContact: the recordCount records read in
// their order, each from its contact block alone, every one of nodeCount
// nodes. progress and cancel as above.
FirstContactScan ComputeFirstContact(const std::string& projectPath, int recordCount, int nodeCount,
                                     const std::function<void(int done, int count)>& progress,
                                     const std::atomic<bool>& cancel);

// ComputeFirstContact for an open project on the calling thread (the batch
// tool's way), given to its sheet unless it has it already; false, with the
// reason in failure (empty when said already), when a record cannot be used.
bool EnsureFirstContact(const CProjectProfile& project, Message& failure);

} // namespace quillmere
