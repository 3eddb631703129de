// Reading and deriving a record of 1,000,000 elements.
#include "bench/BenchSupport.h"
#include "core/Parallel.h"
#include "model/SheetMeans.h"
#include "model/SheetReading.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <vector>

using namespace quillmere;

namespace {

// The first read of a process, on memory the kernel has to provide afresh;
// run on its own (see run-benchmarks.sh).
void BM_FirstReadAndDerive(benchmark::State& state) {
    const std::string path = MillionElementRecord();
    for (auto _ : state) {
        const std::unique_ptr<CSheetProfile> sheet = ReadSheet(path, 0, nullptr);
        benchmark::DoNotOptimize(sheet.get());
    }
}
BENCHMARK(BM_FirstReadAndDerive)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_ReadAndDeriveRecord(benchmark::State& state) {
    const std::string path = MillionElementRecord();
    for (auto _ : state) {
        const std::unique_ptr<CSheetProfile> sheet = ReadSheet(path, 0, nullptr);
        benchmark::DoNotOptimize(sheet.get());
        state.counters["elements"] = sheet->ElementCount();
        state.counters["nodes"] = sheet->NodeCount();
    }
    state.counters["peak_MB"] = PeakMemoryMegabytes();
}
BENCHMARK(BM_ReadAndDeriveRecord)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

void BM_ReadRecordOnly(benchmark::State& state) {
    const std::string path = MillionElementRecord();
    for (auto _ : state) {
        const CRecordData read = ReadRecordFile(path, 0, nullptr);
        benchmark::DoNotOptimize(read.values.elements.data());
    }
}
BENCHMARK(BM_ReadRecordOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_NodeNormals(benchmark::State& state) {
    const std::unique_ptr<CSheetProfile> sheet = ReadSheet(MillionElementRecord(), 0, nullptr);
    for (auto _ : state) {
        CCoordinate sum;
        for (int node = 1; node <= sheet->NodeCount(); ++node)
            sum = sum + NodeNormal(*sheet, node);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_NodeNormals)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// What bounds a pass over the elements: a plain copy of the derived element
// array (about 64 MB) on one core and in blocks on every core.
void BM_CopyElementArray(benchmark::State& state) {
    const std::unique_ptr<CSheetProfile> sheet = ReadSheet(MillionElementRecord(), 0, nullptr);
    const BigArray<CElementDerived>& elements = sheet->Derived().elements;
    std::vector<CElementDerived> copy(elements.size());
    const bool inBlocks = state.range(0) != 0;
    for (auto _ : state) {
        if (!inBlocks) {
            std::memcpy(copy.data(), elements.data(), elements.size() * sizeof(CElementDerived));
        } else {
            parallel::ForBlocks(elements.size(), 8192, [&](size_t first, size_t last) {
                std::memcpy(&copy[first], &elements[first], (last - first) * sizeof(CElementDerived));
            });
        }
        benchmark::DoNotOptimize(copy.data());
    }
    state.counters["MB"] = static_cast<double>(elements.size() * sizeof(CElementDerived)) / 1e6;
}
BENCHMARK(BM_CopyElementArray)
    ->ArgName("blocks")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
