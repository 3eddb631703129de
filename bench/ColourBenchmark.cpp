// The limits and the node colours of a 1,000,000-element sheet, as the 3D
// view recomputes them after every record load or change of quantity.
#include "bench/BenchSupport.h"
#include "config/DisplaySettings.h"
#include "model/SheetReading.h"
#include "scale/ColourRamp.h"
#include "scale/ResultQuantity.h"
#include "scale/ScaleLimits.h"
#include "scale/ScaleRange.h"
#include "scale/SheetColouring.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

using namespace quillmere;

namespace {

// The flat benchmark record is uniform, which would take the shortcut of an
// empty range; its thickness and stresses spread as a formed sheet's.
std::unique_ptr<CSheetProfile> SpreadSheet() {
    const std::unique_ptr<CSheetProfile> flat = ReadSheet(MillionElementRecord(), 0, nullptr);
    CRecordValues values = flat->Values();
    CSheetDerived derived = flat->Derived();
    for (size_t i = 0; i < values.elements.size(); ++i) {
        const double spread = static_cast<double>((i * 7919) % 1000) / 1000;
        derived.elements[i].Thickness = values.elements[i].InitialThickness * (0.3 + 0.8 * spread);
        values.elements[i].PrincipalStress1 = 2e7 * spread;
        values.elements[i].PrincipalStress2 = -3e6 * spread;
    }
    return std::make_unique<CSheetProfile>(flat->SharedMesh(), std::move(values), std::move(derived));
}

// Fresh buffers every time: the view keeps nothing between recomputations.
void BM_LimitsAndNodeColours(benchmark::State& state) {
    const std::unique_ptr<CSheetProfile> spread = SpreadSheet();
    const CSheetProfile& sheet = *spread;
    const ResultQuantity quantity = *QuantityFromNumber(static_cast<int>(state.range(0)));
    const ScaleLimits limits;
    const ColourRamp ramp;
    const DisplaySettings settings;
    for (auto _ : state) {
        const ScaleRange range = ComputeScaleRange(sheet, quantity, limits);
        const NodeColouring colouring = ColourNodes(sheet, quantity, limits);
        std::vector<uint8_t> rgba;
        FillNodeColours(colouring, ramp, settings, rgba);
        benchmark::DoNotOptimize(range);
        benchmark::DoNotOptimize(rgba.data());
    }
    state.counters["nodes"] = sheet.NodeCount();
}
BENCHMARK(BM_LimitsAndNodeColours)
    ->ArgName("quantity")
    ->Arg(QuantityNumber(ResultQuantity::Thickness))
    ->Arg(QuantityNumber(ResultQuantity::VonMises))
    ->Arg(QuantityNumber(ResultQuantity::ExtensionX))
    ->Arg(QuantityNumber(ResultQuantity::Thinning))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The parts on their own, thickness.
void BM_ScaleRange(benchmark::State& state) {
    const std::unique_ptr<CSheetProfile> spread = SpreadSheet();
    const CSheetProfile& sheet = *spread;
    const ScaleLimits limits;
    for (auto _ : state)
        benchmark::DoNotOptimize(ComputeScaleRange(sheet, ResultQuantity::Thickness, limits));
}
BENCHMARK(BM_ScaleRange)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ColourNodes(benchmark::State& state) {
    const std::unique_ptr<CSheetProfile> spread = SpreadSheet();
    const CSheetProfile& sheet = *spread;
    const ScaleLimits limits;
    NodeColouring colouring;
    for (auto _ : state) {
        ColourNodes(sheet, ResultQuantity::Thickness, limits, colouring);
        benchmark::DoNotOptimize(colouring.indices.data());
    }
}
BENCHMARK(BM_ColourNodes)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
