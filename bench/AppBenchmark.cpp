// The main window on the 1,000,000-element project: from the Open command to
// the first frame of its view (and the document's part of it alone), and one
// pass over the command states, which the window makes after events. Needs a
// display (run it under xvfb-run).
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "bench/BenchSupport.h"
#include "config/CConfiguration.h"
#include "model/CProjectProfile.h"
#include "ui/scene/CSceneRender.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

using namespace quillmere;

namespace {

class CBenchFiles : public IFileChooser {
public:
    QString ProjectToOpen(QWidget*) override { return QString::fromStdString(MillionElementProject()); }
};

void BM_OpenUntilFirstFrame(benchmark::State& state) {
    CConfiguration configuration(std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") +
                                 "/quillmere-bench.cfg");
    CBenchFiles files;
    for (auto _ : state) {
        CMainFrame frame(configuration, files, 1280);
        frame.resize(1280, 900);
        frame.show();
        QCoreApplication::processEvents();
        bool drawn = false;
        QElapsedTimer clock;
        clock.start();
        if (!frame.Commands().Run(114)) {
            state.SkipWithError("the Open command is not enabled");
            return;
        }
        CSceneRender* view = frame.ActiveSceneView();
        if (!view) {
            state.SkipWithError("the project did not open");
            return;
        }
        QObject::connect(view, &CSceneRender::RotationShown, view, [&drawn] { drawn = true; });
        while (!drawn)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) * 1e-9);
        frame.CloseAllWindows();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_OpenUntilFirstFrame)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

// Opening the document without a window, as the batch tool does: the check
// of the first record, the read and derivation of the last, the tools.
void BM_OpenDocumentOnly(benchmark::State& state) {
    const std::string path = MillionElementProject();
    for (auto _ : state) {
        CProjectProfile project;
        if (!project.Open(path, nullptr)) {
            state.SkipWithError("the project did not open");
            return;
        }
        benchmark::DoNotOptimize(project.Sheet());
    }
}
BENCHMARK(BM_OpenDocumentOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_CommandStatesPass(benchmark::State& state) {
    CConfiguration configuration(std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") +
                                 "/quillmere-bench.cfg");
    CBenchFiles files;
    CMainFrame frame(configuration, files, 1280);
    frame.show();
    if (!frame.Commands().Run(114) || !frame.ActiveSceneView()) {
        state.SkipWithError("the project did not open");
        return;
    }
    for (auto _ : state)
        frame.Commands().UpdateStates();
    frame.CloseAllWindows();
    QCoreApplication::processEvents();
}
BENCHMARK(BM_CommandStatesPass)->Unit(benchmark::kMicrosecond);

// Switching between two windows of the project: the record each shows and
// the scale panel's limits.
void BM_WindowActivation(benchmark::State& state) {
    CConfiguration configuration(std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") +
                                 "/quillmere-bench.cfg");
    CBenchFiles files;
    CMainFrame frame(configuration, files, 1280);
    frame.resize(1280, 900);
    frame.show();
    if (!frame.Commands().Run(114) || !frame.ActiveSceneView() || !frame.NewWindow()) {
        state.SkipWithError("the project did not open");
        return;
    }
    QCoreApplication::processEvents();
    const auto windows = frame.ClientArea()->subWindowList();
    int next = 0;
    for (auto _ : state) {
        frame.ClientArea()->setActiveSubWindow(windows[next]);
        next = 1 - next;
    }
    frame.CloseAllWindows();
    QCoreApplication::processEvents();
}
BENCHMARK(BM_WindowActivation)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(6);

} // namespace
