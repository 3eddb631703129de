// The main of the benchmarks that need windows: the application object the
// views need, then Google Benchmark as usual.
#include "scene/CSceneRender.h"

#include <QApplication>
#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    CSceneRender::PrepareApplication();
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
