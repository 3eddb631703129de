#include "model/CRecordPlayer.h"

#include "core/FilePaths.h"
#include "core/Messages.h"
#include "core/TextFormat.h"
#include "model/CProjectProfile.h"
#include "model/SheetReading.h"
#include "model/StepRecords.h"

#include <algorithm>
#include <chrono>
#include <mutex>

namespace quillmere {

// The progress of a load's job, handed over to the interface thread: the
// job reports here, and the interface thread passes the reports on in their
// order, when the task posted for them runs or before it takes the job's
// result. Positions in a row count as the last of them.
class CProgressRelay : public IProgressSink {
public:
    // post() has the interface thread call PassOn soon.
    explicit CProgressRelay(std::function<void()> post) : postPassOn(std::move(post)) {}

    void SetRange(int low, int high) override { Add({Report::Range, low, high, std::string()}); }
    void SetPosition(int position) override { Add({Report::Position, position, 0, std::string()}); }
    void SetStatusText(const std::string& text) override { Add({Report::Text, 0, 0, text}); }

    // On the interface thread. A status bar that dispatches events while it
    // paints may run a PassOn inside this one: that one leaves the reports
    // to this one, so that they stay in order.
    void PassOn(IProgressSink* to) {
        if (passing)
            return;
        passing = true;
        for (;;) {
            std::vector<Report> taken;
            {
                std::lock_guard<std::mutex> lock(mutex);
                taken.swap(reports);
                posted = false;
            }
            if (taken.empty() || !to)
                break;
            for (const Report& report : taken)
                Pass(report, *to);
        }
        passing = false;
    }

private:
    struct Report {
        enum Kind { Range, Position, Text } kind;
        int first, second;
        std::string text;
    };
    static void Pass(const Report& report, IProgressSink& to) {
        switch (report.kind) {
        case Report::Range:
            to.SetRange(report.first, report.second);
            break;
        case Report::Position:
            to.SetPosition(report.first);
            break;
        case Report::Text:
            to.SetStatusText(report.text);
            break;
        }
    }
    void Add(Report report) {
        bool post = false;
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (report.kind == Report::Position && !reports.empty() &&
                reports.back().kind == Report::Position)
                reports.back() = std::move(report);
            else
                reports.push_back(std::move(report));
            post = !posted;
            posted = true;
        }
        if (post)
            postPassOn();
    }

    std::function<void()> postPassOn;
    std::mutex mutex;
    std::vector<Report> reports;
    bool posted = false;  // a PassOn is posted and has not run yet
    bool passing = false; // the interface thread's, in PassOn
};

CRecordPlayer::CRecordPlayer(CProjectProfile& owner) : document(owner) {}

CRecordPlayer::~CRecordPlayer() {
    abandoned = true;
    animationControl.stop.Set();
    JoinAnimation();
    if (loading.Valid())
        loading.Take();
}

void CRecordPlayer::Opened(int record) {
    currentRecord = record;
    loadedRecord = record;
    warnedOfNonFinite.assign(static_cast<size_t>(std::max(record, 0)) + 1, false);
}

void CRecordPlayer::WarnOfNonFinite(int record) {
    const CSheetProfile* sheet = document.Sheet();
    if (!sheet || record < 1 || static_cast<size_t>(record) >= warnedOfNonFinite.size() ||
        warnedOfNonFinite[static_cast<size_t>(record)])
        return;
    const Message warning = NonFiniteWarning(*sheet, record);
    if (!warning)
        return;
    warnedOfNonFinite[static_cast<size_t>(record)] = true;
    ShowMessage(warning, MessageIcon::Warning);
}

int CRecordPlayer::NextRecord(int record) const {
    return record >= document.RecordCount() ? 1 : record + 1;
}

bool CRecordPlayer::IsAnimationBusy() const {
    if (!IsAnimationRunning())
        return false;
    ShowMessage(MessageId::StopAnimationFirst, MessageIcon::Warning);
    return true;
}

void CRecordPlayer::ApplyRecord(CSheetProfile& prepared, int number) {
    CSheetProfile& sheet = *document.Sheet();
    const std::array<double, kToolSlots> kept = sheet.Values().toolPositions;
    sheet.SwapRecordValues(prepared);
    for (size_t slot = 0; slot < kToolSlots; ++slot)
        if (CMoldProfile* tool = document.Tool(static_cast<int>(slot)))
            tool->MoveTool(tool->Motion().Direction(), sheet.Values().toolPositions[slot] - kept[slot]);
    loadedRecord = number;
}

CRecordPlayer::CReadAhead CRecordPlayer::ReadOnWorker(int record, IProgressSink* progress) const {
    CReadAhead read;
    try {
        read.values = ReadPreparedRecord(document, record, progress, read.failure);
    } catch (const CCriticalError&) {
        read.failure = Message(); // shown already
    } catch (const std::exception& error) {
        read.failure =
            Message(MessageId::UnusableRecord, document.RecordFileName(record - 1), FailureMessage(error));
    }
    read.record = record;
    return read;
}

bool CRecordPlayer::LoadCurrentRecord() {
    IDocumentHost* host = document.Host();
    const int record = currentRecord;
    Message failure;
    std::unique_ptr<CSheetProfile> values =
        ReadPreparedRecord(document, record, host ? host->Progress() : nullptr, failure);
    if (!values) {
        ShowMessage(failure, MessageIcon::Error);
        currentRecord = loadedRecord;
        return false;
    }
    ApplyRecord(*values, record);
    values.reset();
    ShowInViews(record, &CView::Invalidate);
    if (host)
        host->RecordLoaded(record);
    WarnOfNonFinite(record);
    return true;
}

void CRecordPlayer::LoadRecord(int record) {
    if (loading.Valid()) {
        queuedRecord = record;
        return;
    }
    IDocumentHost* host = document.Host();
    IInterfaceThread* interface = &host->InterfaceThread();
    const std::weak_ptr<bool> token = alive;
    loadProgress.reset();
    if (host->Progress())
        loadProgress = std::make_shared<CProgressRelay>([this, interface, token] {
            interface->Post([this, token] {
                if (token.lock())
                    PassOnProgress();
            });
        });
    // What the views need besides the sheet (a reference record to compare
    // with) is read by the job too.
    std::vector<std::function<void()>> preparations;
    for (CView* view : document.Views())
        if (view->IsSceneView())
            if (std::function<void()> preparation = view->RecordPreparation(record))
                preparations.push_back(std::move(preparation));
    loadingRecord = record;
    const int generation = ++loadGeneration;
    loading = parallel::StartJob(
        [this, record, progress = loadProgress, preparations = std::move(preparations)] {
            if (loadObserver)
                loadObserver(record);
            // A view that cannot read ahead reads when it shows the record.
            for (const std::function<void()>& preparation : preparations)
                try {
                    preparation();
                } catch (const std::exception&) {
                }
            return ReadOnWorker(record, progress.get());
        },
        [this, interface, token, generation] {
            if (!abandoned)
                interface->Post([this, token, generation] {
                    if (token.lock() && generation == loadGeneration && loading.Valid())
                        ShowLoaded(true);
                });
        });
}

void CRecordPlayer::PassOnProgress() {
    // Kept while it passes on: the status bar may run the load's hand-over
    // as it paints, which lets the relay go.
    if (const std::shared_ptr<CProgressRelay> relay = loadProgress)
        relay->PassOn(document.Host() ? document.Host()->Progress() : nullptr);
}

void CRecordPlayer::ShowLoaded(bool next) {
    // Taken first: the status bar may run the posted hand-over of this load
    // while it paints, which then finds nothing to show.
    CReadAhead read = loading.Take();
    // The job's last reports come before what showing the record says.
    PassOnProgress();
    loadProgress.reset();
    const int asked = queuedRecord;
    queuedRecord = 0;
    if (!read.values) {
        // After the message nothing asked for meanwhile is loaded.
        if (read.failure)
            ShowMessage(read.failure, MessageIcon::Error);
        return;
    }
    currentRecord = read.record;
    ApplyRecord(*read.values, read.record);
    read.values.reset();
    ShowInViews(read.record, &CView::Invalidate);
    if (IDocumentHost* host = document.Host())
        host->RecordLoaded(read.record);
    WarnOfNonFinite(read.record);
    // A command given while a message showed has started a load of its own.
    if (next && asked != 0 && !loading.Valid() && document.Host())
        LoadRecord(asked);
}

void CRecordPlayer::FinishLoad() {
    if (loading.Valid())
        ShowLoaded(false);
}

void CRecordPlayer::ShowInViews(int record, void (CView::*redraw)()) {
    for (CView* view : document.Views())
        if (view->IsSceneView()) {
            view->TakeRecord(record);
            (view->*redraw)();
        }
}

void CRecordPlayer::NotifyStep(int record) {
    ShowInViews(record, &CView::RequestRedraw);
    if (IDocumentHost* host = document.Host()) {
        std::weak_ptr<bool> token = alive;
        host->InterfaceThread().Post([this, token, record] {
            if (token.lock())
                if (IDocumentHost* current = document.Host())
                    current->RecordLoaded(record);
        });
    }
}

bool CRecordPlayer::StepRecord(bool notify) {
    const int record = currentRecord;
    Message failure;
    std::unique_ptr<CSheetProfile> values = ReadPreparedRecord(
        document, record, document.Host() ? document.Host()->Progress() : nullptr, failure);
    if (!values) {
        ShowMessage(failure, MessageIcon::Error);
        currentRecord = loadedRecord;
        return false;
    }
    ApplyRecord(*values, record);
    if (notify)
        NotifyStep(record);
    WarnOfNonFinite(record);
    return true;
}

bool CRecordPlayer::StepToRecord(int record, bool notify) {
    FinishLoad();
    if (record <= 0 || record > document.RecordCount()) {
        ShowMessage(MessageId::InvalidRecordNumber, MessageIcon::None);
        return false;
    }
    currentRecord = record;
    return StepRecord(notify);
}

int CRecordPlayer::TargetRecord() const {
    if (queuedRecord != 0)
        return queuedRecord;
    return loading.Valid() ? loadingRecord : currentRecord.load();
}

void CRecordPlayer::NavigateTo(int record) {
    if (IsAnimationBusy())
        return;
    IDocumentHost* host = document.Host();
    CView* active = host ? host->ActiveView() : nullptr;
    if (!active || !active->IsSceneView())
        return;
    LoadRecord(record);
}

void CRecordPlayer::OnNextRecord() {
    NavigateTo(NextRecord(TargetRecord()));
}

void CRecordPlayer::OnPreviousRecord() {
    const int record = TargetRecord();
    NavigateTo(record <= 1 ? document.RecordCount() : record - 1);
}

void CRecordPlayer::OnFirstRecord() {
    NavigateTo(1);
}

void CRecordPlayer::OnLastRecord() {
    NavigateTo(document.RecordCount());
}

std::string CRecordPlayer::OnLoadRecordNumber(const std::string& boxText) {
    const std::string unchanged = FormatText("%d", currentRecord.load());
    if (IsAnimationBusy())
        return boxText;
    IDocumentHost* host = document.Host();
    CView* active = host ? host->ActiveView() : nullptr;
    if (!active || !active->IsSceneView())
        return boxText;
    const int record = ParseLeadingInt(boxText.c_str());
    if (record <= 0 || record > document.RecordCount()) {
        ShowMessage(MessageId::InvalidRecordNumber, MessageIcon::None);
        return unchanged;
    }
    LoadRecord(record);
    return FormatText("%d", record);
}

bool CRecordPlayer::GoToRecord(int record) {
    FinishLoad();
    if (record <= 0 || record > document.RecordCount()) {
        ShowMessage(MessageId::InvalidRecordNumber, MessageIcon::None);
        return false;
    }
    currentRecord = record;
    return LoadCurrentRecord();
}

void CRecordPlayer::ToggleAnimation() {
    if (IsAnimationRunning()) {
        StopAnimation();
        return;
    }
    if (!document.Host())
        return;
    FinishLoad();
    animationControl.finished.Reset();
    animationControl.stop.Reset();
    animationControl.step.Reset();
    animationControl.period = animationPeriod;
    animationControl.document = &document;
    abandoned = false;
    const int generation = ++animationGeneration;
    animationRunning = parallel::StartJob([this, generation] { AnimationWorker(generation); });
}

CRecordPlayer::CReadAhead CRecordPlayer::ReadAhead(int record) const {
    if (readObserver)
        readObserver(record);
    CReadAhead ahead;
    // An exception leaving this thread would end the program: a reader that
    // gives up ends the animation like a record that cannot be read.
    try {
        CRecordData read;
        const bool found = ReadStepRecord(document, record, nullptr, read, ahead.failure);
        // Stopped while reading: the record will not be shown.
        if (animationControl.stop.IsSet())
            return CReadAhead();
        if (found)
            ahead.values = PrepareStepRecord(document, std::move(read), ahead.failure);
    } catch (const CCriticalError&) {
        ahead.failure = Message(); // shown already
    } catch (const std::exception& error) {
        ahead.failure =
            Message(MessageId::UnusableRecord, document.RecordFileName(record - 1), FailureMessage(error));
    }
    ahead.record = record;
    return ahead;
}

bool CRecordPlayer::ShowReadAhead(CReadAhead& ahead) {
    IInterfaceThread& interface = document.Host()->InterfaceThread();
    if (!ahead.values) {
        // The interface thread shows the message; the worker ends.
        if (ahead.failure) {
            const Message failure = ahead.failure;
            interface.Post([failure] { ShowMessage(failure, MessageIcon::Error); });
        }
        currentRecord = loadedRecord;
        return false;
    }
    // Only the interface thread changes the sheet, never while a view draws
    // it; all it does is swap in the prepared arrays. The worker waits, then
    // frees the old arrays itself.
    std::weak_ptr<bool> token = alive;
    const int record = ahead.record;
    auto applied = std::make_shared<CManualResetEvent>();
    interface.Post([this, token, values = ahead.values, record, applied]() mutable {
        if (token.lock()) {
            ApplyRecord(*values, record);
            NotifyStep(record);
            // The animation waits while the warning shows.
            WarnOfNonFinite(record);
        }
        values.reset();
        applied->Set();
    });
    while (!applied->WaitFor(std::chrono::milliseconds(50)))
        if (abandoned)
            return false;
    return true;
}

void CRecordPlayer::AnimationWorker(int generation) {
    using Clock = std::chrono::steady_clock;
    CAnimationControl& control = animationControl;
    // At least a little time between two steps for the interface thread.
    const std::chrono::milliseconds period(std::max(control.period, 10));
    CReadAhead ahead;
    while (!control.stop.IsSet()) {
        control.step.Reset();
        const int record = NextRecord(currentRecord);
        // A record read ahead is shown only at the step it was read for; the
        // first step has nothing read yet.
        if (ahead.record != record)
            ahead = ReadAhead(record);
        currentRecord = record;
        const bool shown = ShowReadAhead(ahead);
        const Clock::time_point shownAt = Clock::now();
        ahead = CReadAhead();
        if (shown) {
            control.step.Set();
        } else {
            control.stop.Set();
            control.step.Set();
        }
        // The next record is read while this one is shown, within the
        // period that runs from the moment it was shown.
        if (!control.stop.IsSet())
            ahead = ReadAhead(NextRecord(record));
        const Clock::duration left = shownAt + period - Clock::now();
        // A request to stop cuts the pause short.
        if (left > Clock::duration::zero())
            control.stop.WaitFor(std::chrono::ceil<std::chrono::milliseconds>(left));
        control.step.Wait();
        control.step.Set();
    }
    ahead = CReadAhead(); // read for a step that never came
    control.step.Set();
    control.finished.Set();
    // A worker that stopped by itself is joined by the interface thread.
    if (!abandoned) {
        std::weak_ptr<bool> token = alive;
        document.Host()->InterfaceThread().Post([this, token, generation] {
            if (token.lock() && generation == animationGeneration)
                JoinAnimation();
        });
    }
}

void CRecordPlayer::JoinAnimation() {
    if (animationRunning.Valid())
        animationRunning.Take();
}

void CRecordPlayer::StopAnimation() {
    CAnimationControl& control = animationControl;
    IInterfaceThread& interface = document.Host()->InterfaceThread();
    if (!control.step.IsSet()) {
        control.stop.Set();
        interface.WaitProcessing(control.step);
    }
    control.step.Set();
    control.stop.Set();
    interface.WaitProcessing(control.finished);
    JoinAnimation();
}

void CRecordPlayer::PrepareClose() {
    // The record of a load under way is no longer shown; the status bar is
    // ready again all the same.
    if (loading.Valid()) {
        loading.Take();
        PassOnProgress();
        loadProgress.reset();
        queuedRecord = 0;
    }
    if (!IsAnimationRunning() || !document.Host())
        return;
    animationControl.stop.Set();
    document.Host()->InterfaceThread().WaitProcessing(animationControl.finished);
    JoinAnimation();
}

} // namespace quillmere
