#include "inspect/DataTip.h"
#include "config/CConfiguration.h"
#include "core/FilePaths.h"
#include "core/TextFormat.h"
#include "model/CMoldProfile.h"
#include "model/CProjectProfile.h"
#include "scale/AllRecordLimits.h"
#include "scale/Comparison.h"
#include "scale/Presentation.h"
#include "scale/ResultQuantity.h"
#include "tests/model/ProjectFixture.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace quillmere;

namespace {

using Lines = std::vector<std::string>;

class DataTipTest : public ::testing::Test {
protected:
    CConfiguration& Units(bool si) {
        configuration.SetSIMetric(si);
        return configuration;
    }

    static CDataDisplay SheetNode() {
        CDataDisplay record;
        record.kind = PickedNode;
        record.index = 7;
        record.point1 = {0.0125, -0.05, 0.01};
        record.value1 = 0.003;
        record.value2 = 150.0;
        return record;
    }

    static CDataDisplay OnTool(CDataDisplay record) {
        record.onTool = 1;
        return record;
    }

    CTempFolder folder;
    CConfiguration configuration{folder.File("Quillmere.cfg")};
};

} // namespace

TEST_F(DataTipTest, NodeFlagsInTheirOrderAndTheToolInContact) {
    CDataDisplay node = SheetNode();
    node.clamped = node.fixed = node.boundary = node.noPressure = 1;
    node.toolInContact = 9;
    Lines lines = DataTipLines(node, Units(true));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[4], "Node flags: [Clamped] [Fixed] [Boundary] [No pressure] ");
    EXPECT_EQ(lines[5], "Tool in contact: [T10]");

    node.clamped = node.noPressure = 0;
    node.toolInContact = -1;
    lines = DataTipLines(node, Units(true));
    EXPECT_EQ(lines[4], "Node flags: [Fixed] [Boundary] ");
    EXPECT_EQ(lines[5], "Tool in contact: [None]");
}

TEST_F(DataTipTest, ToolNodeCarriesNoNumberAndAPlainInchSuffix) {
    const CDataDisplay node = OnTool(SheetNode());
    EXPECT_EQ(DataTipLines(node, Units(true)), (Lines{"Tool - Node:", "12.500 -50.000 10.000 (mm)"}));
    EXPECT_EQ(DataTipLines(node, Units(false)), (Lines{"Tool - Node:", "0.492 -1.969 0.394 inch"}));
}

TEST_F(DataTipTest, ToolElementListsItsThreeVertices) {
    CDataDisplay face;
    face.kind = PickedElement;
    face.onTool = 1;
    face.index = 3;
    face.point1 = {0.001, 0.002, 0.003};
    face.point2 = {0.0254, 0, 0};
    face.point3 = {0, 0, -0.0508};
    EXPECT_EQ(DataTipLines(face, Units(true)),
              (Lines{"Tool - Element: 3", "Node 1: 1.000 2.000 3.000 (mm)", "Node 2: 25.400 0.000 0.000 (mm)",
                     "Node 3: 0.000 0.000 -50.800 (mm)"}));
    EXPECT_EQ(DataTipLines(face, Units(false)),
              (Lines{"Tool - Element: 3", "Node 1: 0.039 0.079 0.118 inch", "Node 2: 1.000 0.000 0.000 inch",
                     "Node 3: 0.000 0.000 -2.000 inch"}));
}

TEST_F(DataTipTest, PointsOnTheSheetAndOnATool) {
    CDataDisplay point = SheetNode();
    point.kind = PickedPoint;
    point.index = 5;
    EXPECT_EQ(DataTipLines(point, Units(true)),
              (Lines{"Sheet - 3D point on element: 5", "12.500 -50.000 10.000 (mm)", "Thickness:  3.000 mm",
                     "Temperature:  150.0 \xC2\xB0"
                     "C"}));
    EXPECT_EQ(DataTipLines(point, Units(false)),
              (Lines{"Sheet - 3D point on element: 5", "0.492 -1.969 0.394 inch", "Thickness:  0.118 inch",
                     "Temperature:  302.0 \xC2\xB0"
                     "F"}));
    EXPECT_EQ(DataTipLines(OnTool(point), Units(false)),
              (Lines{"Tool - 3D point on element: 5", "0.492 -1.969 0.394 inch"}));
}

TEST_F(DataTipTest, TheReservedKindFillsNoLine) {
    CDataDisplay nothing = OnTool(SheetNode());
    nothing.kind = PickedNothing;
    EXPECT_TRUE(DataTipLines(nothing, Units(true)).empty());
}

TEST(DataTipGeometry, WidthFollowsTheWidestLineAndHeightTheTallestAndTheCount) {
    EXPECT_EQ(DataTipSize({{100, 14}, {150, 14}, {80, 14}}).width, 156);
    EXPECT_EQ(DataTipSize({{100, 14}, {150, 14}, {80, 14}}).height, 49);
    // A longer line widens the tip and leaves its height alone.
    const TipExtent longer = DataTipSize({{100, 14}, {400, 14}, {80, 14}});
    EXPECT_EQ(longer.width, 406);
    EXPECT_EQ(longer.height, 49);
    // One taller line makes every line that tall.
    EXPECT_EQ(DataTipSize({{100, 14}, {20, 20}, {80, 14}}).height, 3 * 21 + 4);
    EXPECT_EQ(DataTipSize({{10, 14}}).height, 19);
    EXPECT_EQ(DataTipSize({}).width, 6);

    EXPECT_EQ(DataTipLineTop(14, 0), 2);
    EXPECT_EQ(DataTipLineTop(14, 5), 77);
    const ScreenPoint below = DataTipPosition({640, -3});
    EXPECT_EQ(below.x, 640);
    EXPECT_EQ(below.y, 17);
}

TEST_F(DataTipTest, AComparingViewsPickReadsBothSidesOfItsNodeOrElement) {
    // The variant: element e is 0.1 mm x e thicker than in the reference.
    CProjectFixture reference, variant;
    const samplegen::RecordData last = variant.Record(2);
    samplegen::RecordData thicker = last;
    for (size_t e = 0; e < thicker.elements.size(); ++e)
        thicker.elements[e].initialThickness += static_cast<float>(0.0001 * static_cast<double>(e));
    ASSERT_TRUE(samplegen::WriteRecordFile(samplegen::RecordFileName(variant.ProjectPath(), 2), thicker));
    CProjectProfile shown, compared;
    ASSERT_TRUE(shown.Open(variant.ProjectPath(), nullptr));
    ASSERT_TRUE(compared.Open(reference.ProjectPath(), nullptr));
    auto comparison = std::make_shared<CComparison>(shown, compared);
    Message failure;
    ASSERT_TRUE(comparison->Prepare(*shown.Sheet(), shown.CurrentRecord(), failure)) << failure;
    const CSheetProfile& sheet = *shown.Sheet();
    const Presentation presented =
        MakePresentation({&sheet, ResultQuantity::Thickness, ScaleLimits(), comparison, 3, &Units(true)});
    const double base = last.elements[5].initialThickness;

    CDataDisplay element;
    element.kind = PickedElement;
    element.index = 5;
    // Both are "fixture.tfc": the lines name their folders.
    const auto named = [](const CProjectFixture& project) {
        return FileNamePart(FolderPart(project.ProjectPath())) + "/fixture.tfc";
    };
    const Lines elementLines{named(variant) + FormatText(": %6.3lf mm", (base + 0.0005) * 1000),
                             named(reference) + FormatText(": %6.3lf mm", base * 1000),
                             "\xCE\x94 Thickness:  0.500 mm"};
    EXPECT_EQ(ComparisonTipLines(presented, sheet, element, 3, Units(true)), elementLines);
    element.kind = PickedPoint;
    EXPECT_EQ(ComparisonTipLines(presented, sheet, element, 3, Units(true)), elementLines);

    // A node takes the mean of its elements, as its colour does.
    CDataDisplay node;
    node.kind = PickedNode;
    node.index = last.elements[5].nodes[0];
    double sum = 0;
    int count = 0;
    for (size_t e = 0; e < last.elements.size(); ++e)
        for (int32_t n : last.elements[e].nodes)
            if (n == node.index) {
                sum += 0.1 * static_cast<double>(e);
                ++count;
            }
    ASSERT_GT(count, 1);
    EXPECT_EQ(ComparisonTipLines(presented, sheet, node, 3, Units(true)).back(),
              FormatText("\xCE\x94 Thickness: %6.3lf mm", sum / count));

    EXPECT_TRUE(ComparisonTipLines(presented, sheet, OnTool(node), 3, Units(true)).empty());
    // A view that compares nothing adds nothing.
    const Presentation plain =
        MakePresentation({&sheet, ResultQuantity::Thickness, ScaleLimits(), nullptr, 3, nullptr});
    EXPECT_TRUE(ComparisonTipLines(plain, sheet, node, 3, Units(true)).empty());
    node.kind = PickedNothing;
    EXPECT_TRUE(ComparisonTipLines(presented, sheet, node, 3, Units(true)).empty());
}

// Thinning and first contact have no line among the pick's own: a view that
// shows one adds its value, a node's first contact or "none".
TEST_F(DataTipTest, AViewOfThinningOrFirstContactAddsItsValue) {
    CProjectFixture fixture;
    samplegen::RecordData last = fixture.Record(2);
    for (samplegen::Vec3& node : last.current)
        node.x *= 2;
    last.contactTool.assign(last.current.size(), 255);
    last.contactTool[6] = 3; // node 7
    ASSERT_TRUE(samplegen::WriteRecordFile(samplegen::RecordFileName(fixture.ProjectPath(), 2), last));
    CProjectProfile project;
    ASSERT_TRUE(project.Open(fixture.ProjectPath(), nullptr));
    Message failure;
    ASSERT_TRUE(EnsureFirstContact(project, failure)) << failure;
    const CSheetProfile& sheet = *project.Sheet();
    const auto shown = [&](ResultQuantity quantity) {
        return MakePresentation({&sheet, quantity, ScaleLimits(), nullptr, 3, &Units(true)});
    };
    CDataDisplay node = SheetNode();
    EXPECT_EQ(QuantityTipLines(shown(ResultQuantity::Thinning), sheet, node, Units(false)),
              Lines{"Thinning:  50.00 %"});
    EXPECT_EQ(QuantityTipLines(shown(ResultQuantity::FirstContact), sheet, node, Units(true)),
              Lines{"First contact: 3"});
    node.index = 8;
    EXPECT_EQ(QuantityTipLines(shown(ResultQuantity::FirstContact), sheet, node, Units(true)),
              Lines{"First contact: none"});
    // Element 1 has nodes 1, 7 and 6: the earliest of its corners.
    CDataDisplay element;
    element.kind = PickedPoint;
    element.index = 1;
    EXPECT_EQ(QuantityTipLines(shown(ResultQuantity::FirstContact), sheet, element, Units(true)),
              Lines{"First contact: 3"});
    // The quantities the tip shows anyway, and the tools, add nothing.
    for (ResultQuantity quantity :
         {ResultQuantity::Thickness, ResultQuantity::Temperature, ResultQuantity::VonMises})
        EXPECT_TRUE(QuantityTipLines(shown(quantity), sheet, node, Units(true)).empty())
            << QuantityName(quantity);
    EXPECT_TRUE(QuantityTipLines(shown(ResultQuantity::Thinning), sheet, OnTool(node), Units(true)).empty());
}
