// Stand-ins for the main frame, its interface thread and the 3D views, for
// the navigation and animation tests.
#pragma once

#include "model/CDocument.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <vector>

using namespace quillmere;

// The test thread plays the interface thread: posted tasks run when it
// waits or dispatches.
class CTestInterfaceThread : public IInterfaceThread {
public:
    void Post(std::function<void()> task) override;
    void WaitProcessing(CManualResetEvent& event) override;
    // Runs everything posted so far, as the event loop would.
    void DispatchPending();
    // Runs posted tasks until done() holds; false when it still does not
    // after a long while (something hangs).
    bool RunUntil(const std::function<bool()>& done);

    // How often the interface thread began to wait on an event.
    std::atomic<int> waits{0};

private:
    std::mutex mutex;
    std::deque<std::function<void()>> tasks;
};

class CFakeSceneView : public CView {
public:
    explicit CFakeSceneView(CDocument* owner) : document(owner) { document->AddView(this); }
    ~CFakeSceneView() override { document->RemoveView(this); }

    void OnUpdate(CView*, DocumentEvent) override {}
    bool IsSceneView() const override { return scene; }
    void TakeRecord(int record) override {
        shown = record;
        taken.push_back(record);
    }
    void RequestRedraw() override { ++redraws; }
    void Invalidate() override { ++invalidations; }
    int ShownRecord() const override { return shown; }
    CDocument* Document() const override { return document; }

    bool scene = true;
    int shown = 0;
    std::vector<int> taken;
    int redraws = 0;
    int invalidations = 0;

private:
    CDocument* document;
};

class CFakeHost : public IDocumentHost {
public:
    CView* ActiveView() override { return active; }
    void RecordLoaded(int record) override { announced.push_back(record); }
    IInterfaceThread& InterfaceThread() override { return thread; }
    IProgressSink* Progress() override { return progress; }

    CView* active = nullptr;
    IProgressSink* progress = nullptr;
    std::vector<int> announced;
    CTestInterfaceThread thread;
};
