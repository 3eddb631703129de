// The study of 50 copies of the bundled sample, read one project at a time
// and two at a time: on two cores the second should take at most 0.6 x the
// first.
#include "batch/Study.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace quillmere;

namespace fs = std::filesystem;

namespace {

// The copies, written once per run, and their list.
const StudyList& Copies() {
    static const StudyList list = [] {
        const char* bench = std::getenv("QUILLMERE_BENCH_DIR");
        const fs::path folder =
            fs::path(bench ? bench : fs::temp_directory_path().string()) / "quillmere-study";
        const fs::path sample = fs::path(QUILLMERE_SAMPLE_PROJECT);
        std::string text;
        for (int copy = 0; copy < 50; ++copy) {
            const fs::path target = folder / std::to_string(copy);
            fs::create_directories(target);
            fs::copy(sample.parent_path(), target,
                     fs::copy_options::recursive | fs::copy_options::overwrite_existing);
            text += std::to_string(copy) + "/" + sample.filename().string() + "\n";
        }
        const std::string path = (folder / "list.txt").string();
        if (FILE* out = std::fopen(path.c_str(), "w")) {
            std::fputs(text.c_str(), out);
            std::fclose(out);
        }
        StudyList read;
        std::string failure;
        ReadStudyList(path, read, failure);
        return read;
    }();
    return list;
}

void Study(benchmark::State& state) {
    const StudyList& list = Copies();
    StudyOptions options;
    options.jobs = static_cast<int>(state.range(0));
    size_t failed = 0;
    for (auto _ : state) {
        const std::vector<StudyRow> rows = RunStudy(list, options, "");
        for (const StudyRow& row : rows)
            failed += row.ok ? 0 : 1;
    }
    if (failed > 0 || list.paths.size() != 50)
        state.SkipWithError("a copy of the sample gave no figures");
    state.counters["projects"] = static_cast<double>(list.paths.size());
}

} // namespace

BENCHMARK(Study)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
