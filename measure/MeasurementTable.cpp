#include "measure/MeasurementTable.h"

#include "core/TextFormat.h"

#include <string>

namespace quillmere {

namespace {

// A label as a CSV field: quoted when it holds what would end the field or
// make the row a comment.
std::string LabelField(const std::string& label) {
    if (label.find_first_of(",;\"\r\n") == std::string::npos && (label.empty() || label[0] != '#'))
        return label;
    std::string quoted = "\"";
    for (char c : label) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string Length(double metres, LengthUnit unit) {
    const char* format = unit == LengthUnit::Inch ? "%.4f" : unit == LengthUnit::Metre ? "%.6f" : "%.3f";
    return FormatNumber(format, metres * LengthFactor(LengthUnit::Metre, unit)) + " " + LengthUnitWord(unit);
}

std::string Percent(double value) {
    return FormatNumber("%.2f", value) + " %";
}

std::string ThicknessLines(const MeasurementFile& file, const MeasurementComparison& comparison,
                           const MeasureOptions& options, LengthUnit unit) {
    const MeasurementSummary& summary = comparison.summary;
    if (!file.hasThickness)
        return "Thickness: not measured\n";
    std::string text;
    if (summary.thicknessPoints == 0)
        text = "Thickness: no point used has a measured thickness\n";
    else
        text = FormatText(
            "Thickness (simulated - measured) at %d point%s: mean %s, RMS %s, max |difference| %s, "
            "mean |error| %s\n",
            summary.thicknessPoints, summary.thicknessPoints == 1 ? "" : "s",
            Length(summary.meanDifference, unit).c_str(), Length(summary.rmsDifference, unit).c_str(),
            Length(summary.maxDifference, unit).c_str(), Percent(summary.meanErrorPercent).c_str());
    const Tolerance& tolerance = options.tolerance;
    if (tolerance.kind == Tolerance::Kind::None)
        return text;
    const std::string bound =
        tolerance.kind == Tolerance::Kind::Length
            ? FormatNumber("%g", tolerance.value * LengthFactor(LengthUnit::Metre, unit)) + " " +
                  LengthUnitWord(unit)
            : FormatNumber("%g", tolerance.value) + " % of the measured thickness";
    return text + FormatText("Within the tolerance of %s: %d of %d point%s\n", bound.c_str(),
                             summary.withinTolerance, summary.thicknessPoints,
                             summary.thicknessPoints == 1 ? "" : "s");
}

} // namespace

std::string MeasurementTable(const MeasurementFile& file, const MeasurementComparison& comparison,
                             LengthUnit unit) {
    std::string table = kMeasurementTableHeader;
    table += '\n';
    const double length = LengthFactor(LengthUnit::Metre, unit);
    const double thicknessGiven = LengthFactor(file.units[ColumnThickness], unit);
    for (size_t i = 0; i < file.points.size() && i < comparison.points.size(); ++i) {
        const MeasuredPoint& measured = file.points[i];
        const PointComparison& point = comparison.points[i];
        table += measured.label.empty() ? FormatText("%d", measured.line) : LabelField(measured.label);
        const double given[3] = {measured.given.x, measured.given.y, measured.given.z};
        for (size_t c = 0; c < 3; ++c)
            table += ',' + ExactNumber(given[c] * LengthFactor(file.units[c], unit));
        // The difference of the numbers shown, so that the columns agree to
        // the last digit.
        const double simulated = point.simulated * length;
        if (point.closest.Found())
            table += FormatText(",%d,", point.closest.element) +
                     ExactNumber(point.closest.distance * length) + ',' + ExactNumber(simulated);
        else
            table += ",,,";
        if (measured.HasThickness()) {
            const double shown = measured.givenThickness * thicknessGiven;
            table += ',' + ExactNumber(shown) + ',' + ExactNumber(simulated - shown) + ',' +
                     ExactNumber((simulated - shown) / shown * 100);
        } else {
            table += ",,,";
        }
        table += point.missed ? ",missed\n" : ",ok\n";
    }
    return table;
}

std::string MeasurementSummaryText(const MeasurementFile& file, const MeasurementComparison& comparison,
                                   const MeasureOptions& options, LengthUnit unit) {
    const MeasurementSummary& summary = comparison.summary;
    const std::string reach =
        FormatNumber("%g", options.maxDistance * LengthFactor(LengthUnit::Metre, unit)) + " " +
        LengthUnitWord(unit);
    std::string text = FormatText("Points: %d used, %d missed (farther than %s from the sheet)\n",
                                  summary.used, summary.missed, reach.c_str());
    text += ThicknessLines(file, comparison, options, unit);
    if (summary.used == 0)
        text += "Shape: no point used\n";
    else
        text +=
            FormatText("Shape (distance from the sheet): mean %s, RMS %s, max |distance| %s\n",
                       Length(summary.meanDistance, unit).c_str(), Length(summary.rmsDistance, unit).c_str(),
                       Length(summary.maxDistance, unit).c_str());
    if (!comparison.fitted)
        return text;
    const RigidFit& fit = comparison.fit;
    text +=
        FormatText("Rigid fit (file to sheet, %d iteration%s, translation in %s): RMS distance %s before, %s "
                   "after\n",
                   fit.iterations, fit.iterations == 1 ? "" : "s", LengthUnitWord(unit),
                   Length(fit.rmsBefore, unit).c_str(), Length(fit.rmsAfter, unit).c_str());
    const double length = LengthFactor(LengthUnit::Metre, unit);
    const double translation[3] = {fit.transform.translation.x, fit.transform.translation.y,
                                   fit.transform.translation.z};
    text += "Transform:";
    for (size_t r = 0; r < 3; ++r) {
        for (size_t c = 0; c < 3; ++c)
            text += ' ' + ExactNumber(fit.transform.rotation[3 * r + c]);
        text += ' ' + ExactNumber(translation[r] * length) + ';';
    }
    text += " 0 0 0 1\n";
    return text;
}

} // namespace quillmere
