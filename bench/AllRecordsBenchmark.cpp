// "All records" in the limits dialog: every record of a project read once
// and its automatic limits folded, on the bundled 15-record sample and on the
// 1,000,000-element project; and first contact, which reads every record
// too, beside the limits over the same ten records.
#include "bench/BenchSupport.h"
#include "messages/MessageText.h"
#include "scale/AllRecordLimits.h"
#include "scale/ResultQuantity.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <string>

using namespace quillmere;

namespace {

void RunAllRecords(benchmark::State& state, const std::string& project, int records) {
    const std::atomic<bool> cancel{false};
    for (auto _ : state) {
        const AllRecordLimits all =
            ComputeAllRecordLimits(project, records, ResultQuantity::Thickness, nullptr, cancel);
        if (all.outcome != AllRecordLimits::Done) {
            state.SkipWithError(("the records do not read: " + MessageText(all.failure)).c_str());
            return;
        }
        benchmark::DoNotOptimize(all.range);
    }
    state.counters["records"] = records;
    state.counters["peak_MB"] = PeakMemoryMegabytes();
}

void BM_AllRecordsSample(benchmark::State& state) {
    RunAllRecords(state, QUILLMERE_SAMPLE_PROJECT, 15);
}
BENCHMARK(BM_AllRecordsSample)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_AllRecordsMillionElements(benchmark::State& state) {
    RunAllRecords(state, MillionElementProject(), 2);
}
BENCHMARK(BM_AllRecordsMillionElements)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_AllRecordsTenRecords(benchmark::State& state) {
    RunAllRecords(state, TenRecordProject(), 10);
}
BENCHMARK(BM_AllRecordsTenRecords)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_FirstContactTenRecords(benchmark::State& state) {
    const std::string project = TenRecordProject();
    const std::atomic<bool> cancel{false};
    for (auto _ : state) {
        const FirstContactScan scan = ComputeFirstContact(project, 10, 709 * 708, nullptr, cancel);
        if (scan.outcome != AllRecordLimits::Done) {
            state.SkipWithError(("the records do not read: " + MessageText(scan.failure)).c_str());
            return;
        }
        benchmark::DoNotOptimize(scan.records->data());
    }
    state.counters["records"] = 10;
    state.counters["peak_MB"] = PeakMemoryMegabytes();
}
BENCHMARK(BM_FirstContactTenRecords)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
