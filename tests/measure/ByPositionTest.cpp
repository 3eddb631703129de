// Comparison by position: on the same mesh it is the comparison node by node;
// on another mesh of the same surface a linear field comes through exactly.
#include "scale/ByPosition.h"
#include "config/CConfiguration.h"
#include "messages/MessageText.h"
#include "model/CSheetProfile.h"
#include "model/SurfaceSearch.h"
#include "scale/NodalValues.h"
#include "scale/ResultQuantity.h"
#include "tests/measure/MeasureFixture.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace quillmere;

namespace {

double Linear(const CCoordinate& p) {
    return 2 + 30 * p.x - 50 * p.y + 70 * p.z;
}

// A grid of the same 200 x 100 mm surface, 10 mm above z = 0.
samplegen::RecordData Grid(int nx, int ny) {
    samplegen::RecordData record = samplegen::MakeGridRecord(nx, ny, 0.2, 0.1);
    for (samplegen::Vec3& node : record.current)
        node.z = 0.01;
    return record;
}

} // namespace

TEST(ByPosition, OnTheSameMeshItIsTheReferencesNodalValues) {
    // The variant of the quarter cup: other temperatures and initial
    // thicknesses on the same formed sheet.
    const samplegen::CupOptions options = SmallCup(true);
    const samplegen::RecordData record = samplegen::CupRecord(options, options.records - 1);
    samplegen::RecordData variant = record;
    for (size_t e = 0; e < variant.elements.size(); ++e) {
        variant.elements[e].temperature += static_cast<float>(e % 7);
        variant.elements[e].initialThickness *= 1 + 0.01f * static_cast<float>(e % 5);
    }
    const auto sheet = ReadBackSheet(record);
    const auto reference = ReadBackSheet(variant);
    for (ResultQuantity quantity :
         {ResultQuantity::Thickness, ResultQuantity::Temperature, ResultQuantity::VonMises}) {
        const ByPositionValues byPosition =
            ReferenceValuesByPosition(*sheet, *reference, quantity, kDefaultMaxDistance);
        EXPECT_EQ(byPosition.beyond, 0);
        const std::vector<double> nodal = NodalValues(*reference, quantity);
        ASSERT_EQ(byPosition.values.size(), nodal.size());
        for (size_t node = 1; node < nodal.size(); ++node)
            ASSERT_EQ(byPosition.values[node], nodal[node])
                << "quantity " << QuantityNumber(quantity) << " node " << node;
    }
}

TEST(ByPosition, ALinearFieldComesThroughAnotherMesh) {
    const auto reference = ReadBackSheet(Grid(9, 7));
    std::vector<double> field(static_cast<size_t>(reference->NodeCount()) + 1);
    for (int node = 1; node <= reference->NodeCount(); ++node)
        field[static_cast<size_t>(node)] = Linear(reference->CurrentCoordinate(node));
    const CSurfaceSearch search(*reference, SheetImages::Stored);
    for (const samplegen::RecordData& remeshed :
         {Grid(5, 3), samplegen::MakeMirroredGridRecord(6, 4, 0.2, 0.1),
          samplegen::MakeLShapeRecord(5, 0.1)}) {
        samplegen::RecordData lifted = remeshed;
        for (samplegen::Vec3& node : lifted.current)
            node.z = 0.01;
        const auto sheet = ReadBackSheet(lifted);
        const ByPositionValues values = SampleByPosition(*sheet, *reference, search, field, 0.005);
        EXPECT_EQ(values.beyond, 0);
        for (int node = 1; node <= sheet->NodeCount(); ++node)
            EXPECT_NEAR(values.values[static_cast<size_t>(node)], Linear(sheet->CurrentCoordinate(node)),
                        1e-12)
                << node;
    }
}

TEST(ByPosition, NodesBeyondTheMaximumDistanceHaveNoValue) {
    // The reference covers x <= 0 only: nodes more than 5 mm beyond it
    // have no value.
    samplegen::RecordData half = samplegen::MakeGridRecord(4, 4, 0.1, 0.1);
    for (samplegen::Vec3& node : half.current)
        node = {node.x - 0.05, node.y, 0.01};
    const auto reference = ReadBackSheet(half);
    const auto sheet = ReadBackSheet(Grid(20, 4));
    const ByPositionValues values =
        ReferenceValuesByPosition(*sheet, *reference, ResultQuantity::Temperature, 0.005);
    int beyond = 0;
    for (int node = 1; node <= sheet->NodeCount(); ++node) {
        const double x = sheet->CurrentCoordinate(node).x;
        const double value = values.values[static_cast<size_t>(node)];
        if (x > 0.005 + 1e-9) {
            EXPECT_TRUE(std::isnan(value)) << node;
            ++beyond;
        } else {
            EXPECT_DOUBLE_EQ(value, 150) << node;
        }
    }
    EXPECT_EQ(values.beyond, beyond);
    EXPECT_EQ(beyond, 50);
    EXPECT_EQ(MessageText(BeyondReferenceMessage(values.beyond, 0.005, CConfiguration(""))),
              "50 nodes are farther than 5 mm from the reference sheet and have no value.");
    CConfiguration us("");
    us.SetSIMetric(false);
    EXPECT_EQ(MessageText(BeyondReferenceMessage(1, 0.005, us)),
              "1 node is farther than 0.19685 inch from the reference sheet and has no value.");
    EXPECT_EQ(MessageText(BeyondReferenceMessage(0, 0.005, us)), "");
}
