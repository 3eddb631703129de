#include "model/SheetMeans.h"

#include "model/CSheetProfile.h"

#include <algorithm>
#include <cmath>

namespace quillmere {

CCoordinate NodeNormal(const CSheetProfile& sheet, int node) {
    const CSheetMesh& mesh = sheet.Mesh();
    const CSheetDerived& derived = sheet.Derived();
    CCoordinate sum;
    // The stored areas are those of the current triangles, computed once per
    // record.
    for (int32_t index : mesh.NodeElements(node))
        sum = sum + derived.elements[static_cast<size_t>(index)].Normal *
                        derived.currentAreas[static_cast<size_t>(index)];
    const double length = Norm(sum);
    if (length == 0)
        return sum;
    CCoordinate normal = sum * (1.0 / length);
    const int code = mesh.NodeCode(node);
    const int plane = mesh.NodePlaneIndex(node);
    // Nodes on a symmetry plane keep their normal in that plane. A plane
    // index the record does not define leaves the normal as it is.
    if ((code == 1 || code == 2) && plane >= 1 && plane <= mesh.SymmetryPlaneCount()) {
        const CCoordinate& p = mesh.SymmetryPlane(plane - 1).normal;
        const CCoordinate projected = normal - p * Dot(p, normal);
        const double projectedLength = Norm(projected);
        if (projectedLength != 0)
            normal = projected * (1.0 / projectedLength);
    }
    return normal;
}

namespace {

template <typename Value> double NodeAverage(const CSheetProfile& sheet, int node, Value value) {
    const ElementIndexRange range = sheet.NodeElements(node);
    if (range.size() == 0)
        return 0;
    double sum = 0;
    for (int32_t index : range)
        sum += value(static_cast<size_t>(index));
    return sum / static_cast<double>(range.size());
}

template <typename Value> double AreaWeightedMean(const CSheetProfile& sheet, Value value) {
    const BigArray<double>& areas = sheet.Derived().currentAreas;
    double weighted = 0;
    double total = 0;
    for (size_t i = 0; i < areas.size(); ++i) {
        const double area = areas[i];
        const double v = value(i);
        // Values that are not numbers are left out, with their area.
        if (!std::isfinite(v) || !std::isfinite(area))
            continue;
        weighted += v * area;
        total += area;
    }
    return total == 0 ? 0 : weighted / total;
}

} // namespace

double NodeAverageThickness(const CSheetProfile& sheet, int node) {
    const CElementDerived* d = sheet.Derived().elements.data();
    return NodeAverage(sheet, node, [d](size_t e) { return d[e].Thickness; });
}

double NodeAverageTemperature(const CSheetProfile& sheet, int node) {
    const CElementValues* v = sheet.Values().elements.data();
    return NodeAverage(sheet, node, [v](size_t e) { return v[e].Temperature; });
}

CCoordinate NodeAverageExtensions(const CSheetProfile& sheet, int node) {
    const CElementDerived* d = sheet.Derived().elements.data();
    return {NodeAverage(sheet, node, [d](size_t e) { return d[e].ExtensionX; }),
            NodeAverage(sheet, node, [d](size_t e) { return d[e].ExtensionY; }),
            NodeAverage(sheet, node, [d](size_t e) { return d[e].PlanarExtension; })};
}

double NodeAverageStretchRatio(const CSheetProfile& sheet, int node) {
    const CElementDerived* d = sheet.Derived().elements.data();
    return NodeAverage(sheet, node, [d](size_t e) { return d[e].StretchRatio; });
}

double MeanThickness(const CSheetProfile& sheet) {
    const CElementDerived* d = sheet.Derived().elements.data();
    return AreaWeightedMean(sheet, [d](size_t e) { return d[e].Thickness; });
}

double MeanTemperature(const CSheetProfile& sheet) {
    const CElementValues* v = sheet.Values().elements.data();
    return AreaWeightedMean(sheet, [v](size_t e) { return v[e].Temperature; });
}

double InflatedVolume(const CSheetProfile& sheet) {
    double volume = 0;
    for (size_t e = 0; e < static_cast<size_t>(sheet.ElementCount()); ++e) {
        const double prism =
            PrismVolume(sheet.CurrentCorner(e, 0), sheet.CurrentCorner(e, 1), sheet.CurrentCorner(e, 2));
        if (std::isfinite(prism))
            volume += prism;
    }
    // The symmetry words are compared exactly: a record saying "half" is not
    // doubled.
    const std::string& symmetry = sheet.Mesh().SymmetryName();
    if (symmetry == "HALF")
        return volume * 2;
    if (symmetry == "QUARTER")
        return volume * 4;
    if (symmetry == "ONE_STRIPE")
        return volume * 28;
    return volume;
}

namespace {

// A thickness or an area that is not a number would make every figure none.
bool TakesPartInStatistics(double thickness, double area) {
    return std::isfinite(thickness) && std::isfinite(area);
}

} // namespace

ClampedStatisticsResult ClampedStatistics(const CSheetProfile& sheet) {
    const BigArray<CElementDerived>& elements = sheet.Derived().elements;
    const BigArray<double>& areas = sheet.Derived().currentAreas;
    ClampedStatisticsResult result;
    double total = 0;
    double offsets = 0;
    double base = 0;
    double smallest = 0;
    double largest = 0;
    for (size_t i = 0; i < elements.size(); ++i) {
        const double thickness = elements[i].Thickness;
        if (sheet.IsClampedElement(i) || !TakesPartInStatistics(thickness, areas[i]))
            continue;
        if (result.elementCount == 0)
            base = smallest = largest = thickness;
        total += areas[i];
        // Summing offsets from the first thickness gives a uniform sheet its
        // thickness as the exact mean, and so a factor of exactly 0.
        offsets += areas[i] * (thickness - base);
        smallest = std::min(smallest, thickness);
        largest = std::max(largest, thickness);
        ++result.elementCount;
    }
    // With no free sheet (or no area) every figure stays 0.
    result.thicknessMinimum = smallest;
    result.thicknessMaximum = largest;
    if (total == 0)
        return result;
    result.meanThickness = base + offsets / total;
    double spread = 0;
    for (size_t i = 0; i < elements.size(); ++i) {
        const double thickness = elements[i].Thickness;
        if (sheet.IsClampedElement(i) || areas[i] == 0 || !TakesPartInStatistics(thickness, areas[i]))
            continue;
        const double logRatio = std::log(thickness / result.meanThickness);
        spread += areas[i] * logRatio * logRatio;
    }
    result.nonuniformity = spread / total;
    return result;
}

PrincipalStretches ElementStretches(const CSheetProfile& sheet, size_t element) {
    const CCoordinate current[3] = {sheet.CurrentCorner(element, 0), sheet.CurrentCorner(element, 1),
                                    sheet.CurrentCorner(element, 2)};
    const CCoordinate reference[3] = {sheet.ReferenceCorner(element, 0), sheet.ReferenceCorner(element, 1),
                                      sheet.ReferenceCorner(element, 2)};
    return ComputePrincipalStretches(current, reference);
}

} // namespace quillmere
