// The record commands of the active project: go to start, previous, next, go
// to end, load the typed record, the animation, and the sheet, project and
// record reports.
#pragma once

namespace quillmere {

class CMainFrame;

class CRecordCommands {
public:
    explicit CRecordCommands(CMainFrame& frame);

private:
    void LoadTypedRecord();
    void SheetProperties();
    void ProjectInformation();
    void RecordInformation();
    // The forming summary of the active view's record, with its minimum wall
    // and the first contact over every record (read once per project).
    void FormingSummary();

    CMainFrame& frame;
    bool autoLoad = false;
};

} // namespace quillmere
