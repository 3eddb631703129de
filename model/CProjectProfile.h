// An open solved project: the files it names, the record shown, the tools
// standing at that record's positions, and the record navigation and
// animation.
#pragma once

#include "model/CDataBase.h"
#include "model/CDocument.h"
#include "model/CMoldProfile.h"
#include "model/CSheetProfile.h"
#include "model/ManualResetEvent.h"
#include "model/ProjectFile.h"

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class IProgressSink;
class CProjectProfile;

// What the animation worker and the interface thread share.
struct CAnimationControl {
    int period = 0; // milliseconds between two steps, given at every start
    CManualResetEvent finished;
    CManualResetEvent stop;
    CManualResetEvent step;
    CProjectProfile* document = nullptr;
};

// The record files missing below the highest one found, named compactly
// ("cup.003, cup.007 to cup.009"); "" without a gap. prefix: a record file's
// name up to its number; found: the numbers of the record files found.
std::string MissingRecordFiles(const std::string& prefix, std::vector<int> found);

class CProjectProfile : public CDocument {
public:
    CProjectProfile();
    ~CProjectProfile() override;
    CProjectProfile(const CProjectProfile&) = delete;
    CProjectProfile& operator=(const CProjectProfile&) = delete;

    // Parses, repairs moved references, counts the records, checks the first
    // record and loads the last one with the tools. Every failure has been
    // reported when it returns false.
    bool Open(const std::string& path, IProgressSink* progress);
    // Stops a running animation, waiting on the interface thread, before the
    // document goes away.
    void PrepareClose();

    int RecordCount() const { return recordCount; }
    int CurrentRecord() const { return currentRecord; }
    CSheetProfile* Sheet() const { return sheet.get(); }
    // Slot i holds tool i + 1, or null for an empty position.
    CMoldProfile* Tool(int slot) const { return tools ? tools->At(slot) : nullptr; }
    const CDataBase<CMoldProfile>* Tools() const { return tools.get(); }

    const std::string& HeatFrictionFileName() const { return fields.heatFriction.name; }
    const std::string& SheetFileName() const { return fields.sheet.name; }
    const std::string& ProcessControlFileName() const { return fields.processControl.name; }
    const std::string& ConfigurationFileName() const { return fields.configuration.name; }
    const std::string& ProjectPathName() const { return projectPathName; }
    const std::string& ToolFileName(int slot) const { return fields.tools[static_cast<size_t>(slot)].name; }
    const std::string& MaterialFileName(int slot) const {
        return fields.materials[static_cast<size_t>(slot)].name;
    }

    // The folder of the project file, where relative names are looked up.
    std::string ProjectFolder() const;
    // The record file of a 0-based index: the project path up to its last
    // dot followed by the index with at least three digits.
    std::string RecordFileName(int index) const;

    // Navigation commands: next and previous wrap around.
    void OnNextRecord();
    void OnPreviousRecord();
    void OnFirstRecord();
    void OnLastRecord();
    // The record-number box: loads the record typed and returns the text the
    // box shows afterwards.
    std::string OnLoadRecordNumber(const std::string& boxText);
    // Loads record (1-based) without an active view, as the batch tool does;
    // false after a message when it is out of range or cannot be read.
    bool GoToRecord(int record);

    // Loads CurrentRecord into the sheet and moves the tools; tells the
    // active scene view and the main frame.
    bool LoadRecord();
    // The same for the animation and the video export; with notify every
    // scene view of the document takes the record and is asked to redraw.
    bool StepRecord(bool notify);
    // Makes record (1-based) current and steps to it as StepRecord does (the
    // video export's loader); false, after a message, when it cannot be read.
    bool StepToRecord(int record, bool notify);

    // The time from one record shown by the animation to the next, in
    // milliseconds, given to the animation each time it starts. The next
    // record is read meanwhile; a read that takes longer sets the pace.
    static constexpr int DefaultAnimationPeriod = 500;
    void SetAnimationPeriod(int milliseconds) { animationPeriod = milliseconds; }
    // Called on the animation worker with each record it is about to read,
    // for the tests to follow the reads; set it while the animation is
    // stopped.
    void SetReadObserver(std::function<void(int record)> observer) { readObserver = std::move(observer); }

    void ToggleAnimation();
    bool IsAnimationRunning() const { return animationRunning.joinable(); }
    // True, after the warning, while the animation runs.
    bool IsAnimationBusy() const;

private:
    bool ProjectFileParse(const std::string& path, IProgressSink* progress);
    bool FinalLoad(const std::string& path, IProgressSink* progress);
    // The first referenced file that must exist and does not, or "".
    std::string FirstMissingReference() const;
    // Every name of the project's base name with a numbered extension;
    // missing: the record files missing below the highest one found.
    int CountRecords(std::string& missing) const;
    // A record file looked up, then read or only checked; its messages wait
    // for Usable, so that reads side by side are reported in order.
    struct CRecordRead {
        std::string name;
        std::string found; // "" when missing
        std::unique_ptr<CSheetProfile> record;
    };
    CRecordRead FindRecord(int index) const;
    static void ReadFound(CRecordRead& read, int index, IProgressSink* progress, bool keepValues);
    // Shows why a record cannot be used, if so, and says whether it can.
    static bool Usable(const CRecordRead& read);
    void NavigateTo(int record);
    // Reads record (1-based) into a temporary sheet; null, with the message
    // to show, when it is missing, damaged or of other element or node
    // counts.
    std::unique_ptr<CSheetProfile> ReadStepRecord(int record, IProgressSink* progress,
                                                  std::string& failure) const;
    // Reads record and prepares its values for the sheet (see
    // CSheetProfile::PrepareRecordValues); null as ReadStepRecord, or when
    // its elements use other nodes.
    std::unique_ptr<CSheetProfile> ReadPreparedRecord(int record, IProgressSink* progress,
                                                      std::string& failure) const;
    // Swaps the values of a prepared record into the sheet and moves the tools.
    void ApplyRecord(CSheetProfile& prepared, int number);
    // The record shown by the active scene view, or the last one loaded.
    int ShownRecord() const;
    void NotifyStep(int record);
    // A record the animation worker has read and prepared, or why it could
    // not be read.
    struct CReadAhead {
        int record = 0; // 0: nothing read
        std::shared_ptr<CSheetProfile> values;
        std::string failure;
    };
    int NextRecord(int record) const { return record >= recordCount ? 1 : record + 1; }
    void AnimationWorker(int generation);
    CReadAhead ReadAhead(int record) const;
    // Has the interface thread show a record read ahead, or the reason it
    // could not be read; false when the animation ends with this step.
    bool ShowReadAhead(CReadAhead& ahead);
    void StopAnimation();
    void JoinAnimation();

    int recordCount = 0;
    std::atomic<int> currentRecord{0};
    int loadedRecord = 0; // the record whose values the sheet holds
    std::unique_ptr<CSheetProfile> sheet;
    std::unique_ptr<CDataBase<CMoldProfile>> tools;
    ProjectFileFields fields;
    std::string projectPathName;
    std::string openingPath;    // the path being opened, before the final load
    std::string missingRecords; // named in a warning once the project is open
    CRecordRead lastRead;       // read beside the check of the first record, until the final load
    int animationPeriod = DefaultAnimationPeriod;
    CAnimationControl animationControl;
    std::thread animationRunning;
    int animationGeneration = 0;
    std::function<void(int)> readObserver;
    std::atomic<bool> abandoned{false}; // the document goes away without waiting on the interface
    std::shared_ptr<bool> alive = std::make_shared<bool>(true); // for tasks posted to the interface thread
};
