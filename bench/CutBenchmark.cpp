// Cutting the 1,000,000-element sheet through its middle and building the
// profile graph.
#include "bench/BenchSupport.h"
#include "config/CConfiguration.h"
#include "cut/CCutPlane.h"
#include "cut/CutChain.h"
#include "cut/CutComputation.h"
#include "cut/ProfileGraph.h"
#include "model/SheetReading.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

using namespace quillmere;

namespace {

const CSheetProfile& Sheet() {
    static const std::unique_ptr<CSheetProfile> sheet = ReadSheet(MillionElementRecord(), 0, nullptr);
    return *sheet;
}

void Cut(benchmark::State& state, const CCutPlane& plane) {
    const CSheetProfile& sheet = Sheet();
    size_t records = 0;
    for (auto _ : state) {
        const CCutSegments cut = ComputeCut(sheet, plane, ResultQuantity::Thickness);
        records = cut.size();
        benchmark::DoNotOptimize(records);
    }
    state.counters["records"] = static_cast<double>(records);
}

// Across the cells, off every grid line.
void BM_CutBetweenNodes(benchmark::State& state) {
    Cut(state, CCutPlane::AtAxis(0, 0.3));
}
BENCHMARK(BM_CutBetweenNodes)->Unit(benchmark::kMillisecond)->UseRealTime();

// Y through the middle: the existence test reaches the middle rows first.
void BM_CutYBetweenNodes(benchmark::State& state) {
    Cut(state, CCutPlane::AtAxis(1, 0.3));
}
BENCHMARK(BM_CutYBetweenNodes)->Unit(benchmark::kMillisecond)->UseRealTime();

// Along a grid line: every piece lies on an edge shared by two elements.
void BM_CutThroughNodes(benchmark::State& state) {
    Cut(state, CCutPlane::AtAxis(0, 0.0));
}
BENCHMARK(BM_CutThroughNodes)->Unit(benchmark::kMillisecond)->UseRealTime();

// A plane that misses the sheet: the existence test scans every element.
void BM_CutMissingTheSheet(benchmark::State& state) {
    Cut(state, CCutPlane::AtAxis(2, 10.0));
}
BENCHMARK(BM_CutMissingTheSheet)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ElementPieces(benchmark::State& state) {
    const CSheetProfile& sheet = Sheet();
    const CCutPlane plane = CCutPlane::AtAxis(0, 0.3);
    for (auto _ : state)
        benchmark::DoNotOptimize(ElementPieces(plane, sheet).size());
}
BENCHMARK(BM_ElementPieces)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ProfileGraph(benchmark::State& state) {
    const CSheetProfile& sheet = Sheet();
    CCutSegments cut = ComputeCut(sheet, CCutPlane::AtAxis(0, 0.3), ResultQuantity::Thickness);
    const std::string path =
        std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/quillmere-bench-cut.cfg";
    CConfiguration configuration(path);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            BuildProfileGraph(cut, ResultQuantity::Thickness, configuration).Points.size());
    std::remove(path.c_str());
}
BENCHMARK(BM_ProfileGraph)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
