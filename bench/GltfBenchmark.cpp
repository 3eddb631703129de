// quillmere-batch gltf of the 1,000,000-element record: the presentation of
// the thickness, the model made from the open project and written as one
// .glb through a temporary name. bench/vtk_gltf_export.py times VTK's own
// glTF exporter on the same mesh.
#include "bench/BenchSupport.h"
#include "config/CConfiguration.h"
#include "core/FilePaths.h"
#include "export/GltfModel.h"
#include "model/CProjectProfile.h"
#include "scale/Presentation.h"
#include "session/CSession.h"
#include "session/CSessionView.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <sys/resource.h>

using namespace quillmere;

namespace {

// The process's user and system time in seconds, every thread's: on a
// shared machine the wall-clock time says more of the others' load.
double ProcessSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Each write is into a folder emptied first, out of the timing, as for a
// first export; VTK's exporter writes its files the same way.
void BM_GltfLastRecord(benchmark::State& state) {
    const std::string path = MillionElementProject();
    CSession session;
    if (!session.Open(path, nullptr)) {
        state.SkipWithError("cannot open the bench project");
        return;
    }
    CSessionView view(&session);
    // The program's defaults, from a file of the run's own.
    const CConfiguration configuration(FolderPart(path) + "/Quillmere.cfg");
    const std::string folder = FolderPart(path) + "/quillmere-bench-gltf";
    const std::string model = folder + "/quillmere-bench.glb";
    double processSeconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        const double start = ProcessSeconds();
        state.ResumeTiming();
        // As the command does it: the presentation, then the model.
        const Presentation shown = MakePresentation({view.Sheet(), ResultQuantity::Thickness, ScaleLimits(),
                                                     nullptr, view.ShownRecord(), &configuration});
        GltfSource source;
        source.sheet = view.Sheet();
        source.shown = &shown;
        source.settings = &configuration.Settings();
        source.tools = &session.Project().Tools();
        source.name = "quillmere-bench.tfc";
        Message failure;
        if (!WriteGltfModel(model, source, failure))
            state.SkipWithError("cannot write the .glb");
        state.PauseTiming();
        processSeconds += ProcessSeconds() - start;
        state.ResumeTiming();
    }
    state.counters["process_ms"] = 1000 * processSeconds / static_cast<double>(state.iterations());
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(model)) / 1e6;
}
BENCHMARK(BM_GltfLastRecord)->Unit(benchmark::kMillisecond);

} // namespace
