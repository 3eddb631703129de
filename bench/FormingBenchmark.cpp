// The forming summary on the 1,000,000-element project: its figures and text
// for the record shown, which must cost at most a plain record step
// (BM_NavigationStep). The first contact over the records is
// BM_FirstContactTenRecords in bench_colour.
#include "bench/BenchSupport.h"
#include "config/CConfiguration.h"
#include "messages/MessageText.h"
#include "model/CProjectProfile.h"
#include "model/FormingSummary.h"
#include "scale/AllRecordLimits.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace quillmere;

namespace {

void BM_FormingSummary(benchmark::State& state) {
    CProjectProfile project;
    if (!project.Open(MillionElementProject(), nullptr)) {
        state.SkipWithError("the benchmark project does not open");
        return;
    }
    Message failure;
    if (!EnsureFirstContact(project, failure)) {
        state.SkipWithError(("the records do not read: " + MessageText(failure)).c_str());
        return;
    }
    // A configuration of its own beside the benchmark's files.
    const CConfiguration units(MillionElementProject() + ".cfg");
    for (auto _ : state) {
        const FormingFigures figures =
            FormingFiguresOf(*project.Sheet(), 0.0025, project.Sheet()->FirstContact().get());
        benchmark::DoNotOptimize(
            FormingSummaryText(figures, units, project.PathName(), project.CurrentRecord()));
    }
    state.counters["elements"] = project.Sheet()->ElementCount();
}
BENCHMARK(BM_FormingSummary)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

} // namespace
