// Record steps on the 1,000,000-element project: a step of the record
// commands (read, copy into the sheet, derive, move the tools) and a step of
// the animation as the interface thread sees it.
#include "bench/BenchSupport.h"
#include "core/Messages.h"
#include "model/CProjectProfile.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

using namespace quillmere;

namespace {

void BM_NavigationStep(benchmark::State& state) {
    CProjectProfile project;
    if (!project.Open(MillionElementProject(), nullptr)) {
        state.SkipWithError("the benchmark project does not open");
        return;
    }
    int record = 1;
    for (auto _ : state) {
        project.GoToRecord(record);
        record = 3 - record;
    }
    state.counters["elements"] = project.Sheet()->ElementCount();
    state.counters["peak_MB"] = PeakMemoryMegabytes();
}
BENCHMARK(BM_NavigationStep)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

using Clock = std::chrono::steady_clock;

// Runs what the animation posts and adds up the time spent running it.
class CTimedInterfaceThread : public IInterfaceThread {
public:
    void Post(std::function<void()> task) override {
        {
            std::lock_guard<std::mutex> lock(mutex);
            tasks.push_back(std::move(task));
        }
        posted.notify_one();
    }
    void WaitProcessing(CManualResetEvent& event) override {
        while (!event.IsSet()) {
            DispatchPending();
            event.WaitFor(std::chrono::milliseconds(1));
        }
    }
    void DispatchPending() {
        while (RunOne(false)) {
        }
    }
    // Waits for the next task and runs it.
    void RunNext() { RunOne(true); }
    // Runs work as the interface thread does a command, timed with the tasks.
    void Run(const std::function<void()>& work) {
        const Clock::time_point start = Clock::now();
        work();
        busySeconds += std::chrono::duration<double>(Clock::now() - start).count();
    }

    double busySeconds = 0;

private:
    bool RunOne(bool wait) {
        std::function<void()> task;
        {
            std::unique_lock<std::mutex> lock(mutex);
            if (wait)
                posted.wait(lock, [this] { return !tasks.empty(); });
            if (tasks.empty())
                return false;
            task = std::move(tasks.front());
            tasks.pop_front();
        }
        const Clock::time_point start = Clock::now();
        task();
        task = nullptr;
        busySeconds += std::chrono::duration<double>(Clock::now() - start).count();
        return true;
    }

    std::mutex mutex;
    std::condition_variable posted;
    std::deque<std::function<void()>> tasks;
};

// A 3D view whose drawing costs nothing: the scene's own rebuild is measured
// in the scene benchmark.
class CIdleSceneView : public CView {
public:
    explicit CIdleSceneView(CDocument* owner) : document(owner) { document->AddView(this); }
    ~CIdleSceneView() override { document->RemoveView(this); }
    void OnUpdate(CView*, DocumentEvent) override {}
    bool IsSceneView() const override { return true; }
    CDocument* Document() const override { return document; }

private:
    CDocument* document;
};

// A status bar that shows nothing.
class CNoProgress : public IProgressSink {
public:
    void SetRange(int, int) override {}
    void SetPosition(int) override {}
    void SetStatusText(const std::string&) override {}
};

class CTimedHost : public IDocumentHost {
public:
    CView* ActiveView() override { return active; }
    void RecordLoaded(int) override { ++announced; }
    IInterfaceThread& InterfaceThread() override { return thread; }
    IProgressSink* Progress() override { return &progress; }

    CView* active = nullptr;
    int announced = 0; // the last thing a step posts
    CTimedInterfaceThread thread;
    CNoProgress progress;
};

// Opens the 1,000,000-element project on host; false, with the benchmark
// skipped, when it does not open.
bool OpenProject(CProjectProfile& project, CTimedHost& host, benchmark::State& state) {
    if (!project.Open(MillionElementProject(), nullptr)) {
        state.SkipWithError("the benchmark project does not open");
        return false;
    }
    project.SetHost(&host);
    return true;
}

// "Next record" in a window: the interface thread's time for the command
// and what it is posted until the record is shown (the iteration time), and
// command_ms, the time from the command to the record shown.
void BM_NavigationCommand(benchmark::State& state) {
    CTimedHost host;
    CProjectProfile project;
    if (!OpenProject(project, host, state))
        return;
    CIdleSceneView view(&project);
    host.active = &view;
    double wall = 0;
    for (auto _ : state) {
        const int announced = host.announced;
        host.thread.busySeconds = 0;
        const Clock::time_point start = Clock::now();
        host.thread.Run([&project] { project.Player().OnNextRecord(); });
        while (host.announced == announced)
            host.thread.RunNext();
        wall += std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(host.thread.busySeconds);
    }
    host.active = nullptr;
    state.counters["command_ms"] = 1000 * wall / static_cast<double>(state.iterations());
}
BENCHMARK(BM_NavigationCommand)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

// One animation step: the interface thread's time to show a record the
// worker has read already (the copy into the sheet, the tools and the
// notification of the views). step_ms is the time from one record shown
// to the next: the period given as the argument, or the read of the next
// record (and its derivation) when that takes longer.
void BM_AnimationStepInterfaceThread(benchmark::State& state) {
    CTimedHost host;
    CProjectProfile project;
    if (!OpenProject(project, host, state))
        return;
    project.SetAnimationPeriod(static_cast<int>(state.range(0)));
    CIdleSceneView view(&project);
    project.ToggleAnimation();
    // The first step reads its record with nothing to overlap.
    while (host.announced == 0)
        host.thread.RunNext();
    const Clock::time_point start = Clock::now();
    for (auto _ : state) {
        const int announced = host.announced;
        host.thread.busySeconds = 0;
        while (host.announced == announced)
            host.thread.RunNext();
        state.SetIterationTime(host.thread.busySeconds);
    }
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    project.ToggleAnimation();
    state.counters["step_ms"] = 1000 * wall / static_cast<double>(state.iterations());
    state.counters["elements"] = project.Sheet()->ElementCount();
}
BENCHMARK(BM_AnimationStepInterfaceThread)
    ->Arg(0)
    ->Arg(200)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(10);

} // namespace
