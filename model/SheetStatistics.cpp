// Values of the sheet taken over nodes and elements: normals and averages at
// nodes, area-weighted means, the inflated volume and the thickness
// statistics of the free (not clamped) sheet.
#include "model/CSheetProfile.h"

#include <algorithm>
#include <cmath>

CCoordinate CSheetProfile::NodeNormal(int node) const {
    CCoordinate sum;
    // The stored areas are CurrentArea's, computed once per record.
    for (int32_t index : NodeElements(node))
        sum = sum + elements[static_cast<size_t>(index)].Normal * currentAreas[static_cast<size_t>(index)];
    const double length = Norm(sum);
    if (length == 0)
        return sum;
    CCoordinate normal = sum * (1.0 / length);
    const int code = NodeCode(node);
    const int plane = NodePlaneIndex(node);
    // Nodes on a symmetry plane keep their normal in that plane. A plane
    // index the record does not define leaves the normal as it is.
    if ((code == 1 || code == 2) && plane >= 1 && plane <= symmetryPlaneCount) {
        const CCoordinate& p = symmetryPlanes[plane - 1].normal;
        const CCoordinate projected = normal - p * Dot(p, normal);
        const double projectedLength = Norm(projected);
        if (projectedLength != 0)
            normal = projected * (1.0 / projectedLength);
    }
    return normal;
}

template <typename Value> double CSheetProfile::NodeAverage(int node, Value value) const {
    const ElementIndexRange range = NodeElements(node);
    if (range.size() == 0)
        return 0;
    double sum = 0;
    for (int32_t index : range)
        sum += value(elements[static_cast<size_t>(index)]);
    return sum / static_cast<double>(range.size());
}

double CSheetProfile::NodeAverageThickness(int node) const {
    return NodeAverage(node, [](const CElementProfile& e) { return e.Thickness; });
}

double CSheetProfile::NodeAverageTemperature(int node) const {
    return NodeAverage(node, [](const CElementProfile& e) { return e.Temperature; });
}

CCoordinate CSheetProfile::NodeAverageExtensions(int node) const {
    return {NodeAverage(node, [](const CElementProfile& e) { return e.ExtensionX; }),
            NodeAverage(node, [](const CElementProfile& e) { return e.ExtensionY; }),
            NodeAverage(node, [](const CElementProfile& e) { return e.PlanarExtension; })};
}

double CSheetProfile::NodeAverageStretchRatio(int node) const {
    return NodeAverage(node, [](const CElementProfile& e) { return e.StretchRatio; });
}

template <typename Value> double CSheetProfile::AreaWeightedMean(Value value) const {
    double weighted = 0;
    double areas = 0;
    for (size_t i = 0; i < elements.size(); ++i) {
        const double area = ElementArea(i);
        weighted += value(elements[i]) * area;
        areas += area;
    }
    return areas == 0 ? 0 : weighted / areas;
}

double CSheetProfile::MeanThickness() const {
    return AreaWeightedMean([](const CElementProfile& e) { return e.Thickness; });
}

double CSheetProfile::MeanTemperature() const {
    return AreaWeightedMean([](const CElementProfile& e) { return e.Temperature; });
}

double CSheetProfile::InflatedVolume() const {
    double volume = 0;
    for (const CElementProfile& element : elements)
        volume +=
            PrismVolume(CurrentCorner(element, 0), CurrentCorner(element, 1), CurrentCorner(element, 2));
    // The symmetry words are compared exactly: a record saying "half" is not
    // doubled.
    if (symmetryName == "HALF")
        return volume * 2;
    if (symmetryName == "QUARTER")
        return volume * 4;
    if (symmetryName == "ONE_STRIPE")
        return volume * 28;
    return volume;
}

ClampedStatisticsResult CSheetProfile::ClampedStatistics() {
    auto isClamped = [this](const CElementProfile& e) {
        return IsClamped(e.NodeNumbers[0]) && IsClamped(e.NodeNumbers[1]) && IsClamped(e.NodeNumbers[2]);
    };
    ClampedStatisticsResult result;
    double areas = 0;
    double offsets = 0;
    double base = 0;
    double smallest = 0;
    double largest = 0;
    for (size_t i = 0; i < elements.size(); ++i) {
        const CElementProfile& element = elements[i];
        if (isClamped(element))
            continue;
        if (result.elementCount == 0)
            base = smallest = largest = element.Thickness;
        const double area = ElementArea(i);
        areas += area;
        // Summing offsets from the first thickness gives a uniform sheet its
        // thickness as the exact mean, and so a factor of exactly 0.
        offsets += area * (element.Thickness - base);
        smallest = std::min(smallest, element.Thickness);
        largest = std::max(largest, element.Thickness);
        ++result.elementCount;
    }
    // With no free sheet (or no area) every figure stays 0.
    thicknessRange = {smallest, largest};
    if (areas == 0)
        return result;
    result.meanThickness = base + offsets / areas;
    double spread = 0;
    for (size_t i = 0; i < elements.size(); ++i) {
        const CElementProfile& element = elements[i];
        const double area = ElementArea(i);
        if (isClamped(element) || area == 0)
            continue;
        const double logRatio = std::log(element.Thickness / result.meanThickness);
        spread += area * logRatio * logRatio;
    }
    result.nonuniformity = spread / areas;
    return result;
}
