#include "measure/PointComparison.h"

#include "core/Parallel.h"
#include "core/TextFormat.h"
#include "core/TextLines.h"
#include "model/CSheetProfile.h"
#include "model/SheetMeans.h"

#include <algorithm>
#include <cmath>

namespace quillmere {

namespace {

constexpr size_t kPointGrain = 256;
// The bound counts as within: a difference that only rounding puts beyond
// it is taken as on it.
constexpr double kBoundSlack = 1e-9;

void Summarize(const std::vector<MeasuredPoint>& points, const MeasureOptions& options,
               MeasurementComparison& comparison) {
    MeasurementSummary& summary = comparison.summary;
    double difference = 0, differenceSquares = 0, maxDifference = 0, errorPercent = 0;
    double distance = 0, distanceSquares = 0, maxDistance = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        const PointComparison& point = comparison.points[i];
        if (point.missed) {
            ++summary.missed;
            continue;
        }
        ++summary.used;
        const double d = point.closest.distance;
        distance += d;
        distanceSquares += d * d;
        maxDistance = std::max(maxDistance, std::fabs(d));
        if (!std::isfinite(point.difference))
            continue;
        ++summary.thicknessPoints;
        difference += point.difference;
        differenceSquares += point.difference * point.difference;
        maxDifference = std::max(maxDifference, std::fabs(point.difference));
        errorPercent += std::fabs(point.errorPercent);
        if (WithinTolerance(point.difference, points[i].thickness, options.tolerance))
            ++summary.withinTolerance;
    }
    if (summary.used > 0) {
        const double n = summary.used;
        summary.meanDistance = distance / n;
        summary.rmsDistance = std::sqrt(distanceSquares / n);
        summary.maxDistance = maxDistance;
    }
    if (summary.thicknessPoints > 0) {
        const double n = summary.thicknessPoints;
        summary.meanDifference = difference / n;
        summary.rmsDifference = std::sqrt(differenceSquares / n);
        summary.maxDifference = maxDifference;
        summary.meanErrorPercent = errorPercent / n;
    }
}

} // namespace

bool ParseTolerance(const std::string& text, LengthUnit unit, Tolerance& tolerance) {
    std::string number = Trim(text);
    const bool percent = !number.empty() && number.back() == '%';
    if (percent)
        number = Trim(number.substr(0, number.size() - 1));
    double value = 0;
    if (number.empty() || !ParseWholeNumber(number.c_str(), value) || !std::isfinite(value) || value < 0)
        return false;
    tolerance.kind = percent ? Tolerance::Kind::Percent : Tolerance::Kind::Length;
    tolerance.value = percent ? value : value * LengthFactor(unit, LengthUnit::Metre);
    return true;
}

bool WithinTolerance(double difference, double measured, const Tolerance& tolerance) {
    double bound = 0;
    switch (tolerance.kind) {
    case Tolerance::Kind::None:
        return false;
    case Tolerance::Kind::Length:
        bound = tolerance.value;
        break;
    case Tolerance::Kind::Percent:
        bound = tolerance.value / 100 * measured;
        break;
    }
    return std::fabs(difference) <= bound * (1 + kBoundSlack);
}

MeasurementComparison CompareMeasurements(const CSheetProfile& sheet, const CSurfaceSearch& search,
                                          const std::vector<MeasuredPoint>& points,
                                          const MeasureOptions& options) {
    MeasurementComparison comparison;
    if (options.rigidFit) {
        std::vector<CCoordinate> positions(points.size());
        for (size_t i = 0; i < points.size(); ++i)
            positions[i] = points[i].position;
        comparison.fit = FitRigidly(search, positions);
        comparison.fitted = true;
    }
    comparison.points.resize(points.size());
    parallel::ForBlocks(points.size(), kPointGrain, [&](size_t first, size_t last) {
        for (size_t i = first; i < last; ++i) {
            const MeasuredPoint& measured = points[i];
            PointComparison& point = comparison.points[i];
            point.closest = search.Closest(comparison.fit.transform.Apply(measured.position));
            if (!point.closest.Found())
                continue;
            point.missed = !(std::fabs(point.closest.distance) <= options.maxDistance);
            const ElementNodes& nodes = sheet.Mesh().Nodes(static_cast<size_t>(point.closest.element));
            const std::array<double, 3> nodal = {NodeAverageThickness(sheet, nodes[0]),
                                                 NodeAverageThickness(sheet, nodes[1]),
                                                 NodeAverageThickness(sheet, nodes[2])};
            point.simulated = Interpolate(point.closest.weights, nodal);
            if (measured.HasThickness()) {
                point.difference = point.simulated - measured.thickness;
                point.errorPercent = point.difference / measured.thickness * 100;
            }
        }
    });
    Summarize(points, options, comparison);
    return comparison;
}

} // namespace quillmere
