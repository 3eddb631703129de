#include "measure/MeasuredPoints.h"

#include "config/CConfiguration.h"
#include "core/TextFormat.h"
#include "model/CSheetProfile.h"
#include "model/SurfaceSearch.h"
#include "scale/Comparison.h"
#include "scale/ResultQuantity.h"

#include <cmath>

namespace quillmere {

std::unique_ptr<CSheetProfile> CopySheet(const CSheetProfile& sheet) {
    return std::make_unique<CSheetProfile>(sheet.SharedMesh(), sheet.Values(), sheet.Derived());
}

std::shared_ptr<const MeasuredPoints> CompareMeasuredPoints(const MeasuredPoints& read,
                                                            const CSheetProfile& sheet, int record) {
    auto compared = std::make_shared<MeasuredPoints>();
    compared->path = read.path;
    compared->file = read.file;
    compared->options = read.options;
    compared->record = record;
    const CSurfaceSearch search(sheet, SheetImages::Mirrored);
    compared->comparison = CompareMeasurements(sheet, search, read.file.points, read.options);
    return compared;
}

bool ColouredByDifference(const MeasuredPoints& points) {
    return points.file.hasThickness;
}

double MarkerValue(const MeasuredPoints& points, size_t point) {
    if (point >= points.comparison.points.size())
        return kNoValue;
    const PointComparison& compared = points.comparison.points[point];
    if (compared.missed)
        return kNoValue;
    return ColouredByDifference(points) ? compared.difference : compared.closest.distance;
}

namespace {
double LargestValue(const MeasuredPoints& points) {
    double largest = 0;
    for (size_t k = 0; k < points.comparison.points.size(); ++k) {
        const double value = MarkerValue(points, k);
        if (std::isfinite(value))
            largest = std::max(largest, std::fabs(value));
    }
    return largest;
}
} // namespace

MeasurementScale MarkerScale(const MeasuredPoints& points, const CConfiguration& units) {
    MeasurementScale scale;
    // The sign says which way the simulation errs: above 0 it is thicker
    // than the part.
    scale.title =
        ColouredByDifference(points) ? "Thickness: simulated \u2212 measured" : "Distance from the sheet";
    scale.limit = LargestValue(points);
    scale.bands = ScaleBarBands(ResultQuantity::Thickness, true);
    scale.labels = DifferenceLabelTexts(ResultQuantity::Thickness, -scale.limit, scale.limit, units);
    return scale;
}

std::vector<MeasurementMarker> MeasurementMarkers(const MeasuredPoints& points) {
    const ColourRamp& ramp = CComparison::Ramp();
    const double limit = LargestValue(points);
    std::vector<MeasurementMarker> markers;
    markers.reserve(points.file.points.size());
    for (size_t k = 0; k < points.file.points.size(); ++k) {
        MeasurementMarker marker;
        const PointComparison* compared =
            k < points.comparison.points.size() ? &points.comparison.points[k] : nullptr;
        marker.position = compared && compared->closest.Found() && !compared->missed
                              ? compared->closest.point
                              : points.file.points[k].position;
        const double value = MarkerValue(points, k);
        marker.colour = std::isfinite(value) ? ramp.Entry(DifferenceColourIndex(value, -limit, limit))
                                             : kMissedMarkerColour;
        markers.push_back(marker);
    }
    return markers;
}

namespace {
// A length in metres in the user's unit, without the unit; "" for NaN.
std::string LengthText(double metres, const CConfiguration& units) {
    if (!std::isfinite(metres))
        return std::string();
    const bool si = units.IsSIMetric();
    return FormatNumber(si ? "%.3f" : "%.4f", units.LengthToDisplay(metres * 1000));
}

std::string WithUnit(const std::string& number, const CConfiguration& units) {
    return number.empty() ? number : number + " " + units.LengthUnit();
}

const PointComparison* Compared(const MeasuredPoints& points, size_t point) {
    return point < points.comparison.points.size() ? &points.comparison.points[point] : nullptr;
}

std::string PointLabel(const MeasuredPoint& point) {
    return point.label.empty() ? "line " + std::to_string(point.line) : point.label;
}
} // namespace

std::array<std::string, RowColumns> MeasurementRowHeadings(const CConfiguration& units) {
    const std::string unit = std::string(" (") + units.LengthUnit() + ")";
    return {"Label",     "Position" + unit, "Measured" + unit, "Simulated" + unit, "Difference" + unit,
            "Error (%)", "Distance" + unit};
}

std::array<std::string, RowColumns> MeasurementRowTexts(const MeasuredPoints& points, size_t point,
                                                        const CConfiguration& units) {
    std::array<std::string, RowColumns> texts;
    if (point >= points.file.points.size())
        return texts;
    const MeasuredPoint& measured = points.file.points[point];
    const PointComparison* compared = Compared(points, point);
    texts[RowLabel] = PointLabel(measured);
    texts[RowPosition] = LengthText(measured.position.x, units) + ", " +
                         LengthText(measured.position.y, units) + ", " +
                         LengthText(measured.position.z, units);
    texts[RowMeasured] = LengthText(measured.thickness, units);
    if (compared && compared->closest.Found()) {
        texts[RowSimulated] = LengthText(compared->simulated, units);
        texts[RowDifference] = LengthText(compared->difference, units);
        if (std::isfinite(compared->errorPercent))
            texts[RowErrorPercent] = FormatNumber("%.2f", compared->errorPercent);
        texts[RowDistance] = LengthText(compared->closest.distance, units);
    }
    if (!compared || compared->missed)
        texts[RowDistance] += texts[RowDistance].empty() ? "missed" : " (missed)";
    return texts;
}

std::array<double, RowColumns> MeasurementRowKeys(const MeasuredPoints& points, size_t point) {
    std::array<double, RowColumns> keys;
    keys.fill(kNoValue);
    if (point >= points.file.points.size())
        return keys;
    const MeasuredPoint& measured = points.file.points[point];
    keys[RowLabel] = measured.line;
    // Along x, then y, then z would need three keys: the order of the file
    // is as good as any for positions.
    keys[RowPosition] = static_cast<double>(point);
    keys[RowMeasured] = measured.thickness;
    if (const PointComparison* compared = Compared(points, point)) {
        keys[RowSimulated] = compared->simulated;
        keys[RowDifference] = compared->difference;
        keys[RowErrorPercent] = compared->errorPercent;
        keys[RowDistance] = compared->closest.distance;
    }
    return keys;
}

std::vector<std::string> MeasurementTipLines(const MeasuredPoints& points, size_t point,
                                             const CConfiguration& units) {
    if (point >= points.file.points.size())
        return {};
    const std::array<std::string, RowColumns> texts = MeasurementRowTexts(points, point, units);
    std::vector<std::string> lines{"Measured point " + texts[RowLabel]};
    const PointComparison* compared = Compared(points, point);
    if (!compared || compared->missed) {
        lines.push_back("missed: farther than " +
                        WithUnit(LengthText(points.options.maxDistance, units), units) + " from the sheet");
        return lines;
    }
    std::string values;
    if (!texts[RowMeasured].empty())
        values = "measured " + WithUnit(texts[RowMeasured], units) + ", ";
    values += "simulated " + WithUnit(texts[RowSimulated], units);
    lines.push_back(values);
    std::string differences;
    if (!texts[RowDifference].empty())
        differences = "difference " + WithUnit(texts[RowDifference], units) +
                      (texts[RowErrorPercent].empty() ? "" : " (" + texts[RowErrorPercent] + " %)") + ", ";
    differences += "distance " + WithUnit(texts[RowDistance], units);
    lines.push_back(differences);
    return lines;
}

} // namespace quillmere
