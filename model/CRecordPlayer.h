// The record an open project shows and the ways to another one: the
// navigation commands, the steps of the animation and of the video export,
// and the animation worker. Every record change reaches every scene view of
// the document, so that all its windows draw and pick the record the sheet
// holds.
#pragma once

#include "model/ManualResetEvent.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class CProjectProfile;
class CSheetProfile;
struct CRecordData;
class CView;
class IProgressSink;

// The warning that record (1-based), held by sheet, has values that are not
// numbers; "" when all are numbers.
std::string NonFiniteWarning(const CSheetProfile& sheet, int record);

// What the animation worker and the interface thread share.
struct CAnimationControl {
    int period = 0; // milliseconds between two steps, given at every start
    CManualResetEvent finished;
    CManualResetEvent stop;
    CManualResetEvent step;
    CProjectProfile* document = nullptr;
};

class CRecordPlayer {
public:
    // Plays the records of document, which owns the player, its sheet and
    // its tools.
    explicit CRecordPlayer(CProjectProfile& document);
    // Without an interface thread to wait on, a running worker is told to
    // give up its step and is joined.
    ~CRecordPlayer();
    CRecordPlayer(const CRecordPlayer&) = delete;
    CRecordPlayer& operator=(const CRecordPlayer&) = delete;

    // The project was opened with record (1-based) in its sheet.
    void Opened(int record);
    int CurrentRecord() const { return currentRecord; }
    // The record whose values the sheet holds, the one every scene view of
    // the document shows; read it on the interface thread.
    int ShownRecord() const { return loadedRecord; }

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

    // Loads CurrentRecord into the sheet and moves the tools; tells every
    // scene view of the document and the main frame, and has the new record
    // drawn at once.
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

    // Warns of the values of the record the sheet holds that are not
    // numbers, once in the document's life for each record: every way to a
    // record (opening, navigation, the animation, the video) calls it.
    void WarnOfNonFinite(int record);

    void ToggleAnimation();
    bool IsAnimationRunning() const { return animationRunning.joinable(); }
    // True, after the warning, while the animation runs.
    bool IsAnimationBusy() const;
    // Stops a running animation, waiting on the interface thread, before the
    // document goes away.
    void PrepareClose();

private:
    void NavigateTo(int record);
    // Reads record (1-based); false, with the message to show, when it is
    // missing, damaged or of other element or node counts.
    bool ReadStepRecord(int record, IProgressSink* progress, CRecordData& read, std::string& failure) const;
    // Derives a record read on the sheet's mesh (see PrepareRecord); null,
    // with the message to show, when its elements use other nodes.
    std::unique_ptr<CSheetProfile> Prepare(CRecordData read, std::string& failure) const;
    // Reads record and prepares it; null as ReadStepRecord and Prepare.
    std::unique_ptr<CSheetProfile> ReadPreparedRecord(int record, IProgressSink* progress,
                                                      std::string& failure) const;
    // Swaps the values of a prepared record into the sheet and moves the tools.
    void ApplyRecord(CSheetProfile& prepared, int number);
    // Every scene view of the document takes record and is asked to redraw
    // through redraw.
    void ShowInViews(int record, void (CView::*redraw)());
    void NotifyStep(int record);
    // A record the animation worker has read and prepared, or why it could
    // not be read.
    struct CReadAhead {
        int record = 0; // 0: nothing read
        std::shared_ptr<CSheetProfile> values;
        std::string failure;
    };
    int NextRecord(int record) const;
    void AnimationWorker(int generation);
    CReadAhead ReadAhead(int record) const;
    // Has the interface thread show a record read ahead, or the reason it
    // could not be read; false when the animation ends with this step.
    bool ShowReadAhead(CReadAhead& ahead);
    void StopAnimation();
    void JoinAnimation();

    CProjectProfile& document;
    std::atomic<int> currentRecord{0};
    int loadedRecord = 0; // the record whose values the sheet holds
    int animationPeriod = DefaultAnimationPeriod;
    CAnimationControl animationControl;
    std::thread animationRunning;
    int animationGeneration = 0;
    std::function<void(int)> readObserver;
    std::vector<bool> warnedOfNonFinite; // by record number
    std::atomic<bool> abandoned{false};  // the document goes away without waiting on the interface
    std::shared_ptr<bool> alive = std::make_shared<bool>(true); // for tasks posted to the interface thread
};
