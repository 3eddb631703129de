// quillmere-batch vtk of the 1,000,000-element record: the grid filled from
// the open project and written as one .vtu (some 100 MB) through a temporary
// name, with the .pvd beside it. bench/vtk_write.py times VTK's own writer
// on the same grid.
#include "batch/VtkCommand.h"
#include "bench/BenchSupport.h"
#include "config/CConfiguration.h"
#include "core/FilePaths.h"
#include "model/CProjectProfile.h"
#include "session/CSession.h"

#include <benchmark/benchmark.h>

#include <filesystem>

using namespace quillmere;

namespace {

// replacing: each write replaces the one before it, as exporting again into
// the same folder does; otherwise the folder is emptied first, out of the
// timing, as for a first export. bench/vtk_write.py does the same with VTK.
void VtkLastRecord(benchmark::State& state, bool replacing) {
    const std::string path = MillionElementProject();
    CSession project;
    if (!project.Open(path, nullptr)) {
        state.SkipWithError("cannot open the bench project");
        return;
    }
    // The program's defaults, from a file of the run's own.
    const CConfiguration configuration(FolderPart(path) + "/Quillmere.cfg");
    const std::string folder = FolderPart(path) + "/quillmere-bench-vtk";
    std::filesystem::create_directories(folder);
    if (replacing && VtkProject(project, configuration, "last", folder) != 0)
        state.SkipWithError("cannot write the .vtu");
    for (auto _ : state) {
        if (!replacing) {
            state.PauseTiming();
            std::filesystem::remove_all(folder);
            std::filesystem::create_directories(folder);
            state.ResumeTiming();
        }
        if (VtkProject(project, configuration, "last", folder) != 0)
            state.SkipWithError("cannot write the .vtu");
    }
    state.counters["MB"] =
        static_cast<double>(std::filesystem::file_size(folder + "/quillmere-bench-project_2.vtu")) / 1e6;
}

void BM_VtkLastRecord(benchmark::State& state) {
    VtkLastRecord(state, false);
}
BENCHMARK(BM_VtkLastRecord)->Unit(benchmark::kMillisecond);

void BM_VtkLastRecordReplacing(benchmark::State& state) {
    VtkLastRecord(state, true);
}
BENCHMARK(BM_VtkLastRecordReplacing)->Unit(benchmark::kMillisecond);

} // namespace
