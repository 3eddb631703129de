// A record step on the 1,000,000-element project: read the record, copy its
// values into the sheet, derive again and move the tools.
#include "bench/BenchSupport.h"
#include "model/CProjectProfile.h"

#include <benchmark/benchmark.h>

namespace {

void BM_NavigationStep(benchmark::State& state) {
    CProjectProfile project;
    if (!project.Open(MillionElementProject(), nullptr)) {
        state.SkipWithError("the benchmark project does not open");
        return;
    }
    int record = 1;
    for (auto _ : state) {
        project.GoToRecord(record);
        record = 3 - record;
    }
    state.counters["elements"] = project.Sheet()->ElementCount();
    state.counters["peak_MB"] = PeakMemoryMegabytes();
}
BENCHMARK(BM_NavigationStep)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

} // namespace
