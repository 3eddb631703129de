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

using namespace quillmere;

namespace {

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
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
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
        std::string failure;
        if (!WriteGltfModel(model, source, failure))
            state.SkipWithError("cannot write the .glb");
    }
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(model)) / 1e6;
}
BENCHMARK(BM_GltfLastRecord)->Unit(benchmark::kMillisecond);

} // namespace
