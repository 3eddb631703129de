// When each node of a project's sheet first touches a tool, over every
// record: the sheet freezes where it touches first, so the order in which
// it meets the tools tells where it stays thick. Runs on a worker thread: it
// reads the record files itself and never touches an open document.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace quillmere {

struct CRecordValues;

struct FirstContact {
    enum Outcome { Done, Cancelled, Failed };
    Outcome outcome = Done;
    // By node number (entry 0 is no node): the record, from 1, at which the
    // node first touches any tool; NaN for a node that never does.
    // Meaningful when Done.
    std::vector<double> records;
    std::string failure; // the message to show when Failed ("" when shown already)
};

// Reads the recordCount records of the project once each, in their order,
// and notes the first record at which each node touches a tool (a contact
// byte below 10). progress(done, count) follows every record read; cancel
// is looked at before each read. A record of another node count than the
// first fails.
FirstContact FirstContactRecords(const std::string& projectPath, int recordCount,
                                 const std::function<void(int done, int count)>& progress,
                                 const std::atomic<bool>& cancel);

// Notes record (from 1) for every node of values that touches a tool and has
// no first contact in first yet; first is by node number, NaN where none.
void FoldFirstContact(const CRecordValues& values, int record, std::vector<double>& first);

// The first and the last of the first-contact records, and the nodes that
// never touch; first and last are 0 when no node touches.
struct ContactSpan {
    int first = 0, last = 0;
    int neverInContact = 0;
};
ContactSpan ContactSpanOf(const std::vector<double>& records);

} // namespace quillmere
