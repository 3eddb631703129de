// The cut window on the 1,000,000-element project, with one 3D view of the
// project open: from pressing "Cutting" to the graph drawn, and one move of
// the read-out as the user drags it (the window's line, its edits and the
// view taking the cross-hair). Needs a display (run it under xvfb-run).
#include "bench/BenchSupport.h"
#include "bench/GuiBenchmark.h"
#include "config/CConfiguration.h"
#include "model/CProjectProfile.h"
#include "session/CSession.h"
#include "ui/cut/CCutDialog.h"
#include "ui/scene/CSceneRender.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

using namespace quillmere;

namespace {

struct Window {
    CSession session;
    CProjectProfile& project = session.Project();
    std::unique_ptr<CConfiguration> configuration;
    std::unique_ptr<CSceneRender> view;
    std::unique_ptr<CCutDialog> dialog;
};

Window& TheWindow() {
    static Window* window = [] {
        auto* made = new Window;
        if (!made->project.Open(MillionElementProject(), nullptr))
            std::exit(1);
        made->configuration =
            std::make_unique<CConfiguration>(std::string(P_tmpdir) + "/quillmere-cut-bench.cfg");
        made->view = std::make_unique<CSceneRender>(&made->session, made->configuration->Settings());
        made->view->resize(800, 600);
        made->view->show();
        QCoreApplication::processEvents();
        (void)made->view->grabFramebuffer();
        made->dialog = std::make_unique<CCutDialog>(&made->session, *made->configuration);
        made->dialog->resize(1000, 700);
        made->dialog->show();
        QCoreApplication::processEvents();
        return made;
    }();
    return *window;
}

// Across the sheet through its middle: every view rebuilds its lists for
// the cut line, then the graph of some 1,400 pieces is built and drawn.
void BM_CuttingToGraphDrawn(benchmark::State& state) {
    Window& window = TheWindow();
    auto* position = window.dialog->findChild<QLineEdit*>("position");
    auto* cutting = window.dialog->findChild<QPushButton*>("cutting");
    position->setText("0.3");
    for (auto _ : state) {
        cutting->click();
        (void)window.dialog->Graph()->grab();
    }
    state.counters["records"] = static_cast<double>(window.session.CutLine()->size());
}
BENCHMARK(BM_CuttingToGraphDrawn)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// One mouse move while dragging: the read-out, the line drawn on the graph
// and the view's cross-hair built (its frame is drawn later, as any frame).
void BM_ReadOutMove(benchmark::State& state) {
    Window& window = TheWindow();
    window.dialog->findChild<QLineEdit*>("position")->setText("0.3");
    window.dialog->Cutting();
    CCutGraph* graph = window.dialog->Graph();
    const CPixelRect plot = window.dialog->PlotOfGraphArea();
    const int y = (plot.top + plot.bottom) / 2;
    SendLeftDrag(graph, QEvent::MouseButtonPress, QPoint(plot.left + 1, y));
    int x = plot.left + 1;
    for (auto _ : state) {
        x = x + 7 < plot.right ? x + 7 : plot.left + 1;
        SendLeftDrag(graph, QEvent::MouseMove, QPoint(x, y));
        graph->repaint();
    }
    SendLeftDrag(graph, QEvent::MouseButtonRelease, QPoint(x, y));
}
BENCHMARK(BM_ReadOutMove)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same move with no 3D view open: the window's own share.
void BM_ReadOutMoveWithoutViews(benchmark::State& state) {
    Window& window = TheWindow();
    window.project.RemoveView(window.view.get());
    BM_ReadOutMove(state);
    window.project.AddView(window.view.get());
}
BENCHMARK(BM_ReadOutMoveWithoutViews)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
