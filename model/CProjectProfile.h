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
#include <memory>
#include <string>
#include <thread>

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

    // The pause between two animation steps, in milliseconds, given to the
    // animation each time it starts.
    static constexpr int DefaultAnimationPeriod = 500;
    void SetAnimationPeriod(int milliseconds) { animationPeriod = milliseconds; }

    void ToggleAnimation();
    bool IsAnimationRunning() const { return animationRunning.joinable(); }
    // True, after the warning, while the animation runs.
    bool IsAnimationBusy() const;

private:
    bool ProjectFileParse(const std::string& path, IProgressSink* progress);
    bool FinalLoad(const std::string& path, IProgressSink* progress);
    // The first referenced file that must exist and does not, or "".
    std::string FirstMissingReference() const;
    int CountRecords() const;
    std::unique_ptr<CSheetProfile> ReadRecord(int index, IProgressSink* progress);
    void NavigateTo(int record);
    // Reads record (1-based) into a temporary sheet; null, with the message
    // to show, when it is missing, damaged or of another mesh.
    std::unique_ptr<CSheetProfile> ReadStepRecord(int record, IProgressSink* progress,
                                                  std::string& failure) const;
    // Copies a record read by ReadStepRecord into the sheet and moves the tools.
    void ApplyRecord(const CSheetProfile& record, int number);
    // The record shown by the active scene view, or the last one loaded.
    int ShownRecord() const;
    void NotifyStep(int record);
    void AnimationWorker(int generation);
    bool WorkerStep(int record);
    void StopAnimation();
    void JoinAnimation();

    int recordCount = 0;
    std::atomic<int> currentRecord{0};
    int loadedRecord = 0; // the record whose values the sheet holds
    std::unique_ptr<CSheetProfile> sheet;
    std::unique_ptr<CDataBase<CMoldProfile>> tools;
    ProjectFileFields fields;
    std::string projectPathName;
    std::string openingPath;                    // the path being opened, before the final load
    std::unique_ptr<CSheetProfile> firstRecord; // the test read, kept when it is also the last
    int animationPeriod = DefaultAnimationPeriod;
    CAnimationControl animationControl;
    std::thread animationRunning;
    int animationGeneration = 0;
    std::atomic<bool> abandoned{false}; // the document goes away without waiting on the interface
    std::shared_ptr<bool> alive = std::make_shared<bool>(true); // for tasks posted to the interface thread
};
