// Limits and colours of sheets written by the sample writer. An nx x ny grid
// numbers its nodes row by row from 1; cell (i, j) holds the elements
// (n00, n10, n11) and (n00, n11, n01).
#include "scale/SheetColouring.h"
#include "config/DisplaySettings.h"
#include "model/CSheetProfile.h"
#include "model/SheetReading.h"
#include "scale/ColourRamp.h"
#include "scale/NodalValues.h"
#include "scale/ResultQuantity.h"
#include "scale/ScaleLimits.h"
#include "scale/ScaleRange.h"
#include "tests/support/TestSupport.h"
#include "tools/SampleWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

using namespace quillmere;

namespace {

using samplegen::RecordData;

class SheetColours : public ::testing::Test {
protected:
    std::unique_ptr<CSheetProfile> Read(const RecordData& record) {
        const std::string path = folder.File("sheet.000");
        EXPECT_TRUE(samplegen::WriteRecordFile(path, record));
        return ReadSheet(path, 0, nullptr);
    }
    static RecordData Cell(float temperature0, float temperature1) {
        RecordData record = samplegen::MakeGridRecord(1, 1, 1, 1);
        record.elements[0].temperature = temperature0;
        record.elements[1].temperature = temperature1;
        return record;
    }
    static void SetStress(samplegen::RecordElement& element, float mpa) { element.stress1 = mpa * 1e6f; }
    std::vector<int> Indices(const CSheetProfile& sheet, ResultQuantity quantity) const {
        const NodeColouring colouring = ColourNodes(sheet, quantity, limits);
        return {colouring.indices.begin() + 1, colouring.indices.end()};
    }

    CTempFolder folder;
    ScaleLimits limits;
};

TEST_F(SheetColours, UniformSheetIsRedForThicknessBlueOtherwiseAndBlankWithoutScale) {
    const auto sheet = Read(samplegen::MakeGridRecord(3, 2, 1, 1, 0.002, 160));
    EXPECT_EQ(Indices(*sheet, ResultQuantity::Thickness), std::vector<int>(12, 0));
    EXPECT_EQ(Indices(*sheet, ResultQuantity::Temperature), std::vector<int>(12, 32));
    limits.SetFixedMode(ResultQuantity::None, 1);
    limits.SetFixedMaximum(ResultQuantity::None, 9);
    const ScaleRange range = ComputeScaleRange(*sheet, ResultQuantity::None, limits);
    EXPECT_EQ(std::make_pair(range.minimum, range.maximum), std::make_pair(0.0, 0.0));
    EXPECT_TRUE(ColourNodes(*sheet, ResultQuantity::None, limits).indices.empty());
}

// The panel shows the element range; the colours span the nodal means 100,
// 150, 200, or the fixed limits.
TEST_F(SheetColours, PanelShowsElementValuesWhileColoursUseNodalMeans) {
    const auto sheet = Read(Cell(100, 200));
    const ScaleRange range = ComputeScaleRange(*sheet, ResultQuantity::Temperature, limits);
    EXPECT_EQ(std::make_pair(range.minimum, range.maximum), std::make_pair(100.0, 200.0));
    EXPECT_EQ(Indices(*sheet, ResultQuantity::Temperature), (std::vector<int>{16, 32, 0, 16}));

    const auto hotter = Read(Cell(100, 1000));
    limits.SetFixedMode(ResultQuantity::Temperature, 1);
    limits.SetFixedMinimum(ResultQuantity::Temperature, 100);
    limits.SetFixedMaximum(ResultQuantity::Temperature, 200);
    EXPECT_EQ(ComputeScaleRange(*hotter, ResultQuantity::Temperature, limits).maximum, 200);
    EXPECT_EQ(Indices(*hotter, ResultQuantity::Temperature), (std::vector<int>{0, 32, 0, 0}));
}

TEST_F(SheetColours, ThicknessAboveTheInitialMaximumIsCutDown) {
    RecordData record = Cell(150, 150);
    record.elements[0].initialThickness = 0.002f;
    record.elements[1].initialThickness = 0.004f;
    record.current[2].y = 0.3; // element 1 squeezed to 0.8 of its area: 0.005
    const auto sheet = Read(record);
    const double cap = sheet->MaxInitialThickness();
    EXPECT_EQ(ComputeScaleRange(*sheet, ResultQuantity::Thickness, limits).maximum, cap);
    EXPECT_EQ(ColourNodes(*sheet, ResultQuantity::Thickness, limits).maximum, cap);
    // Nodes 1 and 4 average 0.0035: 0.75 of the cut range, 0.5 of the whole.
    EXPECT_EQ(Indices(*sheet, ResultQuantity::Thickness), (std::vector<int>{24, 0, 32, 24}));
    limits.SetFixedMode(ResultQuantity::Thickness, 1);
    limits.SetFixedMaximum(ResultQuantity::Thickness, 0.01);
    EXPECT_EQ(ComputeScaleRange(*sheet, ResultQuantity::Thickness, limits).maximum, 0.01);
    EXPECT_EQ(ColourNodes(*sheet, ResultQuantity::Thickness, limits).maximum, 0.01);
}

class SharedNodeStress : public SheetColours,
                         public ::testing::WithParamInterface<std::pair<float, float>> {};

// Nodes 1 and 4 are shared by both elements and take element 1's stress.
TEST_P(SharedNodeStress, TakesTheLaterElement) {
    RecordData record = Cell(150, 150);
    SetStress(record.elements[0], GetParam().first);
    SetStress(record.elements[1], GetParam().second);
    const auto sheet = Read(record);
    const int shared = GetParam().second > GetParam().first ? 0 : 32;
    EXPECT_EQ(Indices(*sheet, ResultQuantity::VonMises),
              (std::vector<int>{shared, 32 - shared, shared, shared}));
}

INSTANTIATE_TEST_SUITE_P(VonMises, SharedNodeStress,
                         ::testing::Values(std::make_pair(2.0f, 4.0f), std::make_pair(4.0f, 2.0f)));

// Element 0 of a 2 x 1 grid loses all three nodes to later elements, so its
// stress, the largest, is no node's colouring value; it still sets the top
// of the colour range, like every element value does.
TEST_F(SheetColours, VonMisesColoursSpanEveryElementsStress) {
    RecordData record = samplegen::MakeGridRecord(2, 1, 1, 1);
    SetStress(record.elements[0], 4);
    SetStress(record.elements[1], 1);
    SetStress(record.elements[2], 3);
    SetStress(record.elements[3], 2);
    const auto sheet = Read(record);
    const NodeColouring colouring = ColourNodes(*sheet, ResultQuantity::VonMises, limits);
    EXPECT_DOUBLE_EQ(colouring.minimum, 1);
    EXPECT_DOUBLE_EQ(colouring.maximum, 4);
    // Nodes 1 .. 6 hold 1, 2, 3, 1, 2, 2 MPa: 32 x 0, 1/3, 2/3 of the range.
    EXPECT_EQ(Indices(*sheet, ResultQuantity::VonMises), (std::vector<int>{32, 21, 11, 32, 21, 21}));
    const ScaleRange panel = ComputeScaleRange(*sheet, ResultQuantity::VonMises, limits);
    EXPECT_EQ(std::make_pair(panel.minimum, panel.maximum),
              std::make_pair(colouring.minimum, colouring.maximum));
}

// Elements 0 .. 3 of a 2 x 1 grid write their stress to nodes (1 2 5),
// (1 5 4), (2 3 6), (2 6 5); node 7 belongs to none. Values that are not
// numbers, infinite ones included, stay out of the limits, and the nodes
// that show them are grey, as is a node without elements.
TEST_F(SheetColours, ValuesThatAreNotNumbersAreLeftOutAndGrey) {
    constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float Infinity = std::numeric_limits<float>::infinity();
    constexpr int Grey = ColourRamp::NoValue;
    RecordData record = samplegen::MakeGridRecord(2, 1, 1, 1);
    record.current.push_back({5, 5, 0});
    record.CompleteNodeData();
    record.elements[0].stress1 = NaN;
    record.elements[3].temperature = NaN;
    SetStress(record.elements[1], 1);
    SetStress(record.elements[2], 3);
    SetStress(record.elements[3], 2);
    const auto sheet = Read(record);
    const ScaleRange range = ComputeScaleRange(*sheet, ResultQuantity::VonMises, limits);
    EXPECT_DOUBLE_EQ(range.minimum, 1);
    EXPECT_DOUBLE_EQ(range.maximum, 3);
    EXPECT_EQ(ComputeScaleRange(*sheet, ResultQuantity::Temperature, limits).minimum, 150);
    EXPECT_EQ(Indices(*sheet, ResultQuantity::VonMises), (std::vector<int>{32, 16, 0, 32, 16, 16, Grey}));

    // A NaN at the first node of the first element does not blank the sheet:
    // the others span 0 .. 3 MPa; the nodes that show the NaN are grey.
    record.elements[0].stress1 = 0;
    record.elements[1].stress1 = -NaN;
    EXPECT_EQ(Indices(*Read(record), ResultQuantity::VonMises),
              (std::vector<int>{Grey, 11, 0, Grey, 11, 11, Grey}));

    // An infinite initial thickness neither labels the scale nor turns the
    // other nodes one colour: the limits are those of the uniform rest.
    record.elements[1].stress1 = 0;
    record.elements[2].initialThickness = Infinity;
    const auto infinite = Read(record);
    const ScaleRange thickness = ComputeScaleRange(*infinite, ResultQuantity::Thickness, limits);
    EXPECT_EQ(std::make_pair(thickness.minimum, thickness.maximum),
              std::make_pair(double(0.003f), double(0.003f)));
    EXPECT_EQ(infinite->MaxInitialThickness(), double(0.003f));
    EXPECT_EQ(Indices(*infinite, ResultQuantity::Thickness),
              (std::vector<int>{0, Grey, Grey, 0, 0, Grey, Grey}));
    EXPECT_EQ(ColourNodes(*infinite, ResultQuantity::Thickness, limits).maximum, double(0.003f));

    // Without a single number there is nothing to span: both limits are NaN
    // and every node is grey.
    for (samplegen::RecordElement& element : record.elements)
        element.temperature = Infinity;
    const auto none = Read(record);
    const ScaleRange nothing = ComputeScaleRange(*none, ResultQuantity::Temperature, limits);
    EXPECT_TRUE(std::isnan(nothing.minimum) && std::isnan(nothing.maximum))
        << nothing.minimum << " " << nothing.maximum;
    EXPECT_EQ(Indices(*none, ResultQuantity::Temperature), std::vector<int>(7, Grey));
}

// Limits, nodal values (of one quantity, or of every one at once as the vtk
// command writes them), indices and bytes are computed in blocks on every
// core; on a mesh of many blocks they must be the bits of plain loops. The
// element range keeps the first of equal values: -0 before a later +0.
TEST_F(SheetColours, BlocksGiveTheResultsOfPlainLoops) {
    RecordData record = samplegen::MakeGridRecord(400, 330, 2, 1.5);
    for (size_t e = 0; e < record.elements.size(); ++e) {
        record.elements[e].temperature = 1 + static_cast<float>((e * 7919) % 1000);
        SetStress(record.elements[e], static_cast<float>((e * 104729) % 5000) / 100);
    }
    record.elements[3].temperature = -0.0f;
    record.elements[200000].temperature = 0.0f;
    record.elements[77].temperature = std::numeric_limits<float>::quiet_NaN();
    for (samplegen::Vec3& node : record.current)
        node.z = 0.1 * std::sin(3 * node.x) * std::cos(2 * node.y);
    record.current.push_back({9, 9, 0}); // no element uses it
    const auto sheet = Read(record);
    const size_t slots = static_cast<size_t>(sheet->NodeCount()) + 1;
    // First contact is the nodes' own: none at every fifth node.
    auto firstContact = std::make_shared<FirstContactRecords>(slots);
    for (size_t node = 0; node < slots; ++node)
        (*firstContact)[node] = node % 5 == 0 ? std::nan("") : static_cast<double>(node % 7 + 1);
    sheet->SetFirstContact(firstContact);
    // Every quantity at once, in pieces of any size.
    std::vector<std::vector<double>> every(ValueQuantities().size(), std::vector<double>(slots));
    for (size_t first = 1, size = 1; first < slots; first += size, size = size * 3 + 1) {
        EveryQuantity columns;
        for (size_t column = 0; column < columns.size(); ++column)
            columns[column] = every[column].data() + first;
        FillEveryQuantity(*sheet, first, std::min(slots, first + size), columns);
    }
    NodeColouring ramp; // node 1 + i has index i, the grey included
    ramp.indices.push_back(0);
    for (int index = 0; index <= ColourRamp::NoValue; ++index)
        ramp.indices.push_back(static_cast<uint8_t>(index));
    std::vector<uint8_t> table, rgba;
    FillNodeColours(ramp, ColourRamp(), DisplaySettings(), table);

    for (ResultQuantity quantity : ValueQuantities()) {
        SCOPED_TRACE(QuantityNumber(quantity));
        ScaleRange panel = {DBL_MAX, -DBL_MAX}, colours = {HUGE_VAL, -HUGE_VAL};
        std::vector<double> sums(slots, 0), values(slots, std::nan(""));
        std::vector<int> counts(slots, 0);
        for (size_t element = 0; element < static_cast<size_t>(sheet->ElementCount()); ++element) {
            const double value = ElementValue(*sheet, element, quantity);
            panel.Fold(value);
            for (int32_t node : sheet->Mesh().Nodes(element)) {
                sums[static_cast<size_t>(node)] += value;
                ++counts[static_cast<size_t>(node)];
                values[static_cast<size_t>(node)] = value; // von Mises: the last element's
            }
        }
        if (quantity == ResultQuantity::VonMises)
            colours = panel;
        if (quantity == ResultQuantity::FirstContact)
            panel = {DBL_MAX, -DBL_MAX};
        for (size_t node = 1; node < slots; ++node) {
            if (quantity == ResultQuantity::FirstContact) {
                values[node] = counts[node] > 0 ? (*firstContact)[node] : std::nan("");
                panel.Fold(values[node]);
            } else if (quantity != ResultQuantity::VonMises && counts[node] > 0) {
                values[node] = sums[node] / counts[node];
            }
            if (quantity != ResultQuantity::VonMises)
                colours.Fold(values[node]);
        }
        if (quantity == ResultQuantity::Thickness) {
            panel.maximum = std::min(panel.maximum, sheet->MaxInitialThickness());
            colours.maximum = std::min(colours.maximum, sheet->MaxInitialThickness());
        }
        const ScaleRange range = ComputeScaleRange(*sheet, quantity, limits);
        EXPECT_EQ(std::memcmp(&range, &panel, sizeof range), 0) << range.minimum << " " << range.maximum;
        const NodeColouring colouring = ColourNodes(*sheet, quantity, limits);
        EXPECT_EQ(std::memcmp(colouring.values.data() + 1, values.data() + 1, 8 * (slots - 1)), 0);
        EXPECT_EQ(
            std::memcmp(every[QuantityIndex(quantity) - 1].data() + 1, values.data() + 1, 8 * (slots - 1)),
            0);
        EXPECT_EQ(std::make_pair(colouring.minimum, colouring.maximum),
                  std::make_pair(colours.minimum, colours.maximum));
        FillNodeColours(colouring, ColourRamp(), DisplaySettings(), rgba);
        for (size_t node = 1; node < slots; ++node) {
            const int index = ColourIndex(values[node], colours.minimum, colours.maximum, quantity);
            ASSERT_EQ(colouring.indices[node], index) << node;
            ASSERT_EQ(std::memcmp(&rgba[4 * node], &table[4 * static_cast<size_t>(index + 1)], 4), 0) << node;
        }
    }
    EXPECT_TRUE(std::signbit(ComputeScaleRange(*sheet, ResultQuantity::Temperature, limits).minimum));
}

TEST_F(SheetColours, DrawnBytesCarryRampColourDisplayModeAndOpacity) {
    const NodeColouring colouring = ColourNodes(*Read(Cell(100, 200)), ResultQuantity::Temperature, limits);
    DisplaySettings settings; // mode 1, opacity 0.9
    std::vector<uint8_t> rgba(3, 77);
    FillNodeColours(colouring, ColourRamp(), settings, rgba);
    // Nodes 1 and 4 yellow (16), node 2 blue (32), node 3 red (0); node 0 none.
    EXPECT_EQ(rgba, (std::vector<uint8_t>{0,   0,   0,   0, 130, 123, 0,   229, 7, 7,
                                          123, 229, 130, 0, 0,   229, 130, 123, 0, 229}));
    settings.sheetDisplayMode = SheetDisplayMode::Edges;
    settings.sheetOpacity = 1;
    FillNodeColours(colouring, ColourRamp(), settings, rgba);
    EXPECT_EQ(std::vector<uint8_t>(rgba.begin() + 8, rgba.begin() + 16),
              (std::vector<uint8_t>{15, 15, 240, 255, 255, 0, 0, 255}));
}

} // namespace
