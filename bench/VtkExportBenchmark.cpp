// quillmere-batch vtk of the 1,000,000-element record: the grid filled from
// the open project and written as one .vtu (some 100 MB) through a temporary
// name, with the .pvd beside it. bench/vtk_write.py times VTK's own writer
// on the same grid.
#include "batch/VtkCommand.h"
#include "bench/BenchSupport.h"
#include "config/CConfiguration.h"
#include "core/FilePaths.h"
#include "model/CProjectProfile.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

void BM_VtkLastRecord(benchmark::State& state) {
    const std::string path = MillionElementProject();
    CProjectProfile project;
    if (!project.Open(path, nullptr)) {
        state.SkipWithError("cannot open the bench project");
        return;
    }
    const CConfiguration configuration("");
    const std::string folder = FolderPart(path) + "/quillmere-bench-vtk";
    std::filesystem::create_directories(folder);
    for (auto _ : state)
        if (VtkProject(project, configuration, "last", folder) != 0)
            state.SkipWithError("cannot write the .vtu");
    state.counters["MB"] =
        static_cast<double>(std::filesystem::file_size(folder + "/quillmere-bench-project_2.vtu")) / 1e6;
}
BENCHMARK(BM_VtkLastRecord)->Unit(benchmark::kMillisecond);

} // namespace
