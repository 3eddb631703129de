#include "inspect/DataTip.h"

#include "config/CConfiguration.h"
#include "core/TextFormat.h"
#include "inspect/InspectTexts.h"
#include "model/CSheetProfile.h"
#include "scale/Comparison.h"
#include "scale/NodalValues.h"
#include "scale/Presentation.h"
#include "scale/ResultQuantity.h"

#include <algorithm>
#include <cmath>

namespace quillmere {

namespace {

// Model lengths are in metres; the tip shows millimetres or inches.
double Length(const CConfiguration& configuration, double metres) {
    return configuration.LengthToDisplay(metres * 1000.0);
}

// Each number as "%.3lf" shows it, without the sign of a zero.
std::string Point(const char* format, const CConfiguration& configuration, const CCoordinate& point) {
    return FormatText(format, ShownValue("%.3lf", Length(configuration, point.x)),
                      ShownValue("%.3lf", Length(configuration, point.y)),
                      ShownValue("%.3lf", Length(configuration, point.z)));
}

// The suffix of a point: " (mm)" in SI; " inch" or, for a sheet node,
// " (inch)" in US customary units.
std::string PointSuffix(const CConfiguration& configuration, bool bracketed) {
    if (configuration.IsSIMetric())
        return " (mm)";
    return bracketed ? std::string(" (") + inspectTexts::Inch + ")" : std::string(" ") + inspectTexts::Inch;
}

// "Thickness: %6.3lf mm", "Temperature: %6.1lf °C".
std::string ValueLine(ResultQuantity quantity, const CConfiguration& configuration, double stored) {
    const QuantityInfo& info = QuantityOf(quantity);
    return std::string(info.name) + ": " +
           FormatNumber(info.tipNumber, QuantityToDisplay(quantity, stored, configuration)) +
           QuantityUnitSuffix(quantity, configuration);
}

// A sheet item's thickness and temperature.
void AddValueLines(std::vector<std::string>& lines, const CDataDisplay& record,
                   const CConfiguration& configuration) {
    lines.push_back(ValueLine(ResultQuantity::Thickness, configuration, record.value1));
    lines.push_back(ValueLine(ResultQuantity::Temperature, configuration, record.value2));
}

} // namespace

std::vector<std::string> DataTipLines(const CDataDisplay& record, const CConfiguration& configuration) {
    const char* const xyz = "%.3lf %.3lf %.3lf";
    const bool onTool = record.onTool != 0;
    std::vector<std::string> lines;
    switch (record.kind) {
    case PickedNode:
        if (onTool) {
            lines.push_back("Tool - Node:");
            lines.push_back(Point(xyz, configuration, record.point1) + PointSuffix(configuration, false));
            break;
        }
        lines.push_back(FormatText("Sheet - Node: %d", record.index));
        lines.push_back(Point(xyz, configuration, record.point1) + PointSuffix(configuration, true));
        AddValueLines(lines, record, configuration);
        lines.push_back(std::string(inspectTexts::NodeFlags) + (record.clamped ? inspectTexts::Clamped : "") +
                        (record.fixed ? inspectTexts::Fixed : "") +
                        (record.boundary ? inspectTexts::Boundary : "") +
                        (record.noPressure ? inspectTexts::NoPressure : ""));
        lines.push_back(std::string(inspectTexts::ToolInContact) +
                        (record.toolInContact == -1 ? std::string(inspectTexts::NoTool)
                                                    : FormatText("[T%d]", record.toolInContact + 1)));
        break;
    case PickedElement:
        if (onTool) {
            const std::string suffix = PointSuffix(configuration, false);
            lines.push_back(FormatText("Tool - Element: %d", record.index));
            lines.push_back(Point("Node 1: %.3lf %.3lf %.3lf", configuration, record.point1) + suffix);
            lines.push_back(Point("Node 2: %.3lf %.3lf %.3lf", configuration, record.point2) + suffix);
            lines.push_back(Point("Node 3: %.3lf %.3lf %.3lf", configuration, record.point3) + suffix);
            break;
        }
        lines.push_back(FormatText("Sheet - Element: %d", record.index));
        AddValueLines(lines, record, configuration);
        lines.push_back(FormatText("L1 = %7.4lf L2 = %7.4lf", ShownValue("%7.4lf", record.principal1),
                                   ShownValue("%7.4lf", record.principal2)));
        break;
    case PickedPoint:
        lines.push_back(FormatText(
            onTool ? "Tool - 3D point on element: %d" : "Sheet - 3D point on element: %d", record.index));
        lines.push_back(Point(xyz, configuration, record.point1) + PointSuffix(configuration, false));
        if (!onTool)
            AddValueLines(lines, record, configuration);
        break;
    default:
        break;
    }
    return lines;
}

std::vector<std::string> ComparisonTipLines(const Presentation& shown, const CSheetProfile& sheet,
                                            const CDataDisplay& record, int viewRecord,
                                            const CConfiguration& configuration) {
    const ResultQuantity quantity = shown.quantity;
    if (!shown.comparison || record.onTool || !shown.comparison->Reference() ||
        quantity == ResultQuantity::None)
        return {};
    CComparison& comparison = *shown.comparison;
    double value = 0, reference = 0;
    if (record.kind == PickedNode) {
        if (record.index < 1 || record.index > sheet.NodeCount())
            return {};
        value = NodalValues(sheet, quantity)[static_cast<size_t>(record.index)];
        reference = comparison.ReferenceNodeValue(sheet, record.index, quantity);
    } else if (record.kind == PickedElement || record.kind == PickedPoint) {
        if (record.index < 0 || record.index >= sheet.ElementCount())
            return {};
        value = ElementValue(sheet, static_cast<size_t>(record.index), quantity);
        reference = comparison.ReferenceElementValue(sheet, record.index, quantity);
    } else {
        return {};
    }
    const auto lines = comparison.TipLines(shown, value, reference, viewRecord, configuration);
    return {lines.begin(), lines.end()};
}

std::vector<std::string> QuantityTipLines(const Presentation& shown, const CSheetProfile& sheet,
                                          const CDataDisplay& record, const CConfiguration& configuration) {
    const ResultQuantity quantity = shown.quantity;
    // Thickness and temperature have lines of their own.
    if (shown.comparison || record.onTool || !QuantityOf(quantity).tipNumber ||
        quantity == ResultQuantity::Thickness || quantity == ResultQuantity::Temperature)
        return {};
    double value = 0;
    if (record.kind == PickedNode) {
        if (record.index < 1 || record.index > sheet.NodeCount())
            return {};
        value = NodalValues(sheet, quantity)[static_cast<size_t>(record.index)];
    } else if (record.kind == PickedElement || record.kind == PickedPoint) {
        if (record.index < 0 || record.index >= sheet.ElementCount())
            return {};
        value = ElementValue(sheet, static_cast<size_t>(record.index), quantity);
    } else {
        return {};
    }
    if (quantity == ResultQuantity::FirstContact && !std::isfinite(value))
        return {std::string(QuantityName(quantity)) + ": none"};
    return {ValueLine(quantity, configuration, value)};
}

TipExtent DataTipSize(const std::vector<TipExtent>& lineExtents) {
    int widest = 0, tallest = 0;
    for (const TipExtent& extent : lineExtents) {
        widest = std::max(widest, extent.width);
        tallest = std::max(tallest, extent.height);
    }
    return {widest + 6, (tallest + 1) * static_cast<int>(lineExtents.size()) + 4};
}

int DataTipLineTop(int tallest, int line) {
    return (tallest + 1) * line + 2;
}

ScreenPoint DataTipPosition(ScreenPoint pointer) {
    return {pointer.x, pointer.y + 20};
}

} // namespace quillmere
