#include "scale/NodalValues.h"

#include "model/CSheetProfile.h"
#include "scale/ResultQuantity.h"

#include <limits>

namespace {

constexpr double NotANumber = std::numeric_limits<double>::quiet_NaN();

// Summed in the order of the node's element list, as the sheet's own means
// are, so both give the same bits. The sheet offers the extensions only as
// a triple, which would be three means for one.
template <typename Field> double NodeMean(const CSheetProfile& sheet, int node, Field field) {
    const ElementIndexRange range = sheet.NodeElements(node);
    double sum = 0;
    for (int32_t index : range)
        sum += field(sheet.Elements()[static_cast<size_t>(index)]);
    return sum / static_cast<double>(range.size());
}

template <typename Mean> void FillMeans(const CSheetProfile& sheet, std::vector<double>& values, Mean mean) {
    for (int node = 1; node <= sheet.NodeCount(); ++node)
        if (sheet.NodeElements(node).size() != 0)
            values[static_cast<size_t>(node)] = mean(node);
}

} // namespace

void FillNodalValues(const CSheetProfile& sheet, int quantity, std::vector<double>& values) {
    values.assign(static_cast<size_t>(sheet.NodeCount()) + 1, NotANumber);
    switch (KnownQuantity(quantity)) {
    case ThicknessQuantity:
        FillMeans(sheet, values, [&](int node) { return sheet.NodeAverageThickness(node); });
        break;
    case TemperatureQuantity:
        FillMeans(sheet, values, [&](int node) { return sheet.NodeAverageTemperature(node); });
        break;
    case VonMisesQuantity:
        // Element order: a node shared by several elements keeps the last.
        for (const CElementProfile& element : sheet.Elements()) {
            const double stress = element.VonMisesStress();
            for (int32_t node : element.NodeNumbers)
                values[static_cast<size_t>(node)] = stress;
        }
        break;
    case ExtensionXQuantity:
        FillMeans(sheet, values, [&](int node) {
            return NodeMean(sheet, node, [](const CElementProfile& e) { return e.ExtensionX; });
        });
        break;
    case ExtensionYQuantity:
        FillMeans(sheet, values, [&](int node) {
            return NodeMean(sheet, node, [](const CElementProfile& e) { return e.ExtensionY; });
        });
        break;
    case PlanarExtensionQuantity:
        FillMeans(sheet, values, [&](int node) {
            return NodeMean(sheet, node, [](const CElementProfile& e) { return e.PlanarExtension; });
        });
        break;
    case StretchRatioQuantity:
        FillMeans(sheet, values, [&](int node) { return sheet.NodeAverageStretchRatio(node); });
        break;
    default:
        break;
    }
}

std::vector<double> NodalValues(const CSheetProfile& sheet, int quantity) {
    std::vector<double> values;
    FillNodalValues(sheet, quantity, values);
    return values;
}
