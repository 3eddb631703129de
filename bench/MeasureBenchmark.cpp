// Measured points against the 1,000,000-element record: the search tree, and
// 10,000 points compared; and the comparison by position of two sheets of
// about 1,000,000 elements whose meshes differ.
#include "bench/BenchSupport.h"
#include "measure/PointComparison.h"
#include "model/CSheetProfile.h"
#include "model/SheetReading.h"
#include "model/SurfaceSearch.h"
#include "scale/ByPosition.h"
#include "scale/ResultQuantity.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

using namespace quillmere;

namespace {

std::unique_ptr<CSheetProfile> Sheet(const std::string& path) {
    std::unique_ptr<CSheetProfile> sheet = ReadSheet(path, 0, nullptr);
    if (!sheet)
        std::exit(1);
    return sheet;
}

const CSheetProfile& MillionSheet() {
    static const std::unique_ptr<CSheetProfile> sheet = Sheet(MillionElementRecord());
    return *sheet;
}

// 10,000 points scattered over the sheet and up to 1 mm off it, as a gauge
// grid over a big part.
std::vector<MeasuredPoint> GaugeGrid(const CSheetProfile& sheet) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> node(1, sheet.NodeCount());
    std::uniform_real_distribution<double> off(-0.001, 0.001);
    std::vector<MeasuredPoint> points(10000);
    for (size_t i = 0; i < points.size(); ++i) {
        CCoordinate p = sheet.CurrentCoordinate(node(random));
        p.z += off(random);
        points[i].position = p;
        points[i].thickness = 0.001;
        points[i].line = static_cast<int>(i) + 2;
    }
    return points;
}

void BM_SurfaceSearchBuild(benchmark::State& state) {
    const CSheetProfile& sheet = MillionSheet();
    for (auto _ : state) {
        CSurfaceSearch search(sheet, SheetImages::Mirrored);
        benchmark::DoNotOptimize(search.TriangleCount());
    }
}
BENCHMARK(BM_SurfaceSearchBuild)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The tree and the comparison, as the measure command does them.
void BM_MeasureTenThousandPoints(benchmark::State& state) {
    const CSheetProfile& sheet = MillionSheet();
    const std::vector<MeasuredPoint> points = GaugeGrid(sheet);
    MeasureOptions options;
    for (auto _ : state) {
        CSurfaceSearch search(sheet, SheetImages::Mirrored);
        const MeasurementComparison comparison = CompareMeasurements(sheet, search, points, options);
        benchmark::DoNotOptimize(comparison.summary.used);
    }
}
BENCHMARK(BM_MeasureTenThousandPoints)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Each node of the 1,000,000-element sheet takes the thickness of a sheet of
// 1,000,500 elements (another mesh over nearly the same plate) at its
// closest point there.
void BM_ByPositionMillion(benchmark::State& state) {
    const CSheetProfile& sheet = MillionSheet();
    static const std::unique_ptr<CSheetProfile> reference = Sheet(BenchRecord(725, 690));
    for (auto _ : state) {
        const ByPositionValues values =
            ReferenceValuesByPosition(sheet, *reference, ResultQuantity::Thickness, kDefaultMaxDistance);
        benchmark::DoNotOptimize(values.beyond);
    }
}
BENCHMARK(BM_ByPositionMillion)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
