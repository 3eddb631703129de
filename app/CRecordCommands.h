// The record commands of the active project: go to start, previous, next, go
// to end, load the typed record, the animation, and the sheet, project and
// record reports.
#pragma once

#include <functional>

namespace quillmere {

class CMainFrame;
class CProjectProfile;

class CRecordCommands {
public:
    // prepareFirstContact computes a project's first contact once, as the
    // scale's commands do for the views; false when cancelled or failed.
    CRecordCommands(CMainFrame& frame, std::function<bool(const CProjectProfile&)> prepareFirstContact);

private:
    void LoadTypedRecord();
    void SheetProperties();
    void ProjectInformation();
    void RecordInformation();
    // The forming summary of the active view's record, with its minimum wall
    // and the first contact over every record (read once per project).
    void FormingSummary();

    CMainFrame& frame;
    std::function<bool(const CProjectProfile&)> prepareFirstContact;
    bool autoLoad = false;
};

} // namespace quillmere
