// The record an open project shows and the ways to another one: the
// navigation commands, the steps of the animation and of the video export,
// and the animation worker. Every record change reaches every scene view of
// the document, so that all its windows draw and pick the record the sheet
// holds.
#pragma once

#include "core/Messages.h"
#include "core/Parallel.h"
#include "model/ManualResetEvent.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quillmere {

class CProgressRelay;
class CProjectProfile;
class CSheetProfile;
struct CRecordData;
class CView;
class IInterfaceThread;
class IProgressSink;

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
    // give up its step and is joined; a load's job is waited for.
    ~CRecordPlayer();
    CRecordPlayer(const CRecordPlayer&) = delete;
    CRecordPlayer& operator=(const CRecordPlayer&) = delete;

    // The project was opened with record (1-based) in its sheet.
    void Opened(int record);
    // The record the sheet holds, or the one the animation steps to.
    int CurrentRecord() const { return currentRecord; }
    // The record whose values the sheet holds, the one every scene view of
    // the document shows; read it on the interface thread.
    int ShownRecord() const { return loadedRecord; }

    // Navigation commands: next and previous wrap around. The record is read
    // and prepared by a job while the interface thread goes on; when the job
    // is done, the interface thread swaps the values into the sheet, moves
    // the tools and tells every scene view of the document and the main
    // frame (LoadRecord). A command that comes during a load is done after
    // it, the last one of them only; next and previous count from the
    // record that will be shown.
    void OnNextRecord();
    void OnPreviousRecord();
    void OnFirstRecord();
    void OnLastRecord();
    // The record-number box: loads the record typed and returns the text the
    // box shows afterwards.
    std::string OnLoadRecordNumber(const std::string& boxText);
    // True from a navigation command until its record is shown or refused.
    bool IsLoading() const { return loading.Valid(); }
    // Called on the load's job with each record a navigation command is
    // about to read, for the tests; set it while nothing loads.
    void SetLoadObserver(std::function<void(int record)> observer) { loadObserver = std::move(observer); }

    // Loads record (1-based) on the calling thread without an active view,
    // as the batch tool does; false after a message when it is out of range
    // or cannot be read. A load under way is ended first (FinishLoad).
    bool GoToRecord(int record);
    // For the animation and the video export: loads CurrentRecord on the
    // calling thread; with notify every scene view of the document takes the
    // record and is asked to redraw.
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
    bool IsAnimationRunning() const { return animationRunning.Valid(); }
    // True, after the warning, while the animation runs.
    bool IsAnimationBusy() const;
    // Stops a running animation, waiting on the interface thread, and ends
    // a load, before the document goes away.
    void PrepareClose();

private:
    // The record the navigation commands count from: the last one asked
    // for, shown or not yet.
    int TargetRecord() const;
    void NavigateTo(int record);
    // Loads record as the navigation commands do, or has it loaded after
    // the load under way.
    void LoadRecord(int record);
    // On the interface thread, when the load's job is done: shows its
    // record, then loads the one a command asked for meanwhile (with next).
    void ShowLoaded(bool next);
    // Passes what the load's job reported on to the status bar.
    void PassOnProgress();
    // Waits for the record of a navigation command and shows it (or the
    // reason it cannot be shown), as the interface thread does when the load
    // is done; a command waiting behind it is dropped. Every other way to a
    // record (the animation, the video, GoToRecord) begins with it.
    void FinishLoad();
    // Loads CurrentRecord on the calling thread and tells the views and the
    // main frame, for GoToRecord.
    bool LoadCurrentRecord();
    // Swaps the values of a prepared record into the sheet and moves the tools.
    void ApplyRecord(CSheetProfile& prepared, int number);
    // Every scene view of the document takes record and is asked to redraw
    // through redraw.
    void ShowInViews(int record, void (CView::*redraw)());
    void NotifyStep(int record);
    // A record read and prepared on a worker (the animation's or a load's),
    // or why it could not be read.
    struct CReadAhead {
        int record = 0; // 0: nothing read
        std::shared_ptr<CSheetProfile> values;
        Message failure;
    };
    int NextRecord(int record) const;
    // Reads and prepares record on a worker: a reader that gives up is a
    // record that cannot be read, never the end of the program.
    CReadAhead ReadOnWorker(int record, IProgressSink* progress) const;
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
    // The worker keeps its three events: they pace the steps and hand each
    // one to the interface thread, which waits on them while it keeps
    // dispatching.
    parallel::Job<void> animationRunning;
    int animationGeneration = 0;
    std::function<void(int)> readObserver;
    // A navigation command's load: its job, the record it reads, what it
    // reports of the reading, and the record asked for meanwhile (0: none).
    parallel::Job<CReadAhead> loading;
    int loadingRecord = 0;
    int loadGeneration = 0;
    std::shared_ptr<CProgressRelay> loadProgress;
    int queuedRecord = 0;
    std::function<void(int)> loadObserver;
    std::vector<bool> warnedOfNonFinite; // by record number
    std::atomic<bool> abandoned{false};  // the document goes away without waiting on the interface
    std::shared_ptr<bool> alive = std::make_shared<bool>(true); // for tasks posted to the interface thread
};

} // namespace quillmere
