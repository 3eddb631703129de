// The project files export of the 1,000,000-element project with its
// solution: two record files of some 40 MB each beside the small source
// files, copied through temporary names and synced.
#include "bench/BenchSupport.h"
#include "core/FilePaths.h"
#include "export/ProjectExport.h"
#include "model/ProjectFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>

using namespace quillmere;

namespace fs = std::filesystem;

namespace {

// The bench project names a sheet, material and heat file it does not write;
// small ones stand in so that the export is complete.
std::string Project() {
    static const std::string project = [] {
        const std::string path = MillionElementProject();
        const std::string folder = FolderPart(path);
        for (const char* name : {"quillmere-bench.sht", "quillmere-bench.vie", "quillmere-bench.hft"}) {
            const std::string file = folder + "/" + name;
            if (!fs::exists(file))
                if (std::FILE* out = std::fopen(file.c_str(), "w")) {
                    std::fputs("bench\n", out);
                    std::fclose(out);
                }
        }
        return path;
    }();
    return project;
}

void Export(benchmark::State& state, bool firstAndLast) {
    const std::string project = Project();
    ProjectFileFields fields;
    if (ParseProjectFile(project, fields) != ProjectParseResult::Ok) {
        state.SkipWithError("cannot read the bench project");
        return;
    }
    const std::vector<std::string> files = ProjectExportFiles(fields, project);
    const fs::path target = fs::path(FolderPart(project)) / "quillmere-bench-export";
    ExportOptions options;
    options.sourceOnly = false;
    options.firstAndLast = firstAndLast;
    bool complete = true;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(target);
        fs::create_directory(target);
        state.ResumeTiming();
        complete = ExportProjectFiles(project, files, target.string(), options) && complete;
    }
    std::uintmax_t bytes = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(target))
        bytes += entry.file_size();
    fs::remove_all(target);
    if (!complete)
        state.SkipWithError("the export was incomplete");
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

// Every record file.
void BM_ExportWithSolution(benchmark::State& state) {
    Export(state, false);
}
BENCHMARK(BM_ExportWithSolution)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first and the last record, with the project's record table rewritten.
void BM_ExportFirstAndLast(benchmark::State& state) {
    Export(state, true);
}
BENCHMARK(BM_ExportFirstAndLast)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
