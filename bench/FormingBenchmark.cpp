// The forming summary on the 1,000,000-element project: its figures and text
// for the record shown, which must cost at most a plain record step
// (BM_NavigationStep), and the first contact over the project's records,
// which must cost at most "All records" limits over them
// (BM_AllRecordsMillionElements in bench_colour).
#include "bench/BenchSupport.h"
#include "config/CConfiguration.h"
#include "model/CProjectProfile.h"
#include "model/FirstContact.h"
#include "model/FormingSummary.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <string>

using namespace quillmere;

namespace {

void BM_FormingSummary(benchmark::State& state) {
    CProjectProfile project;
    if (!project.Open(MillionElementProject(), nullptr)) {
        state.SkipWithError("the benchmark project does not open");
        return;
    }
    const std::atomic<bool> cancel{false};
    const FirstContact contact =
        FirstContactRecords(project.ProjectPathName(), project.RecordCount(), nullptr, cancel);
    // A configuration of its own beside the benchmark's files.
    const CConfiguration units(MillionElementProject() + ".cfg");
    for (auto _ : state) {
        const FormingFigures figures = FormingFiguresOf(*project.Sheet(), 0.0025, &contact.records);
        benchmark::DoNotOptimize(
            FormingSummaryText(figures, units, project.PathName(), project.CurrentRecord()));
    }
    state.counters["elements"] = project.Sheet()->ElementCount();
}
BENCHMARK(BM_FormingSummary)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

void BM_FirstContact(benchmark::State& state) {
    CProjectProfile project;
    if (!project.Open(MillionElementProject(), nullptr)) {
        state.SkipWithError("the benchmark project does not open");
        return;
    }
    const std::atomic<bool> cancel{false};
    for (auto _ : state) {
        const FirstContact contact =
            FirstContactRecords(project.ProjectPathName(), project.RecordCount(), nullptr, cancel);
        if (contact.outcome != FirstContact::Done) {
            state.SkipWithError(("the records do not read: " + contact.failure).c_str());
            return;
        }
        benchmark::DoNotOptimize(contact.records.data());
    }
    state.counters["records"] = project.RecordCount();
    state.counters["peak_MB"] = PeakMemoryMegabytes();
}
BENCHMARK(BM_FirstContact)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
