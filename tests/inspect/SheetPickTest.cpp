#include "inspect/SheetPick.h"
#include "model/CProjectProfile.h"
#include "model/CSheetProfile.h"
#include "model/SheetMeans.h"
#include "tests/model/ProjectFixture.h"

#include <gtest/gtest.h>

using namespace quillmere;

namespace {

// The fixture's last record with flags on node 1 and node 2 in contact with
// the tools of slots 3 and 0 (the first slot counts).
class SheetPickTest : public ::testing::Test {
protected:
    void SetUp() override {
        samplegen::RecordData record = fixture.Record(2);
        record.CompleteNodeData();
        record.conditions[0] = 3; // clamped, no pressure
        record.nodeCode[0] = 3;   // fixed
        record.nodeCode[1] = 1;   // boundary
        record.contactTool[1] = 3;
        ASSERT_TRUE(samplegen::WriteRecordFile(fixture.File("fixture.002"), record));
        ASSERT_TRUE(project.Open(fixture.ProjectPath(), nullptr));
    }

    const CSheetProfile& Sheet() const { return *project.Sheet(); }

    CProjectFixture fixture;
    CProjectProfile project;
};

} // namespace

TEST_F(SheetPickTest, NodeRecordsCarryFlagsContactAndNodeValues) {
    CDataDisplay record;
    ASSERT_TRUE(PickSheetItem(Sheet(), NodeMode, 1, record));
    EXPECT_EQ(record.kind, PickedNode);
    EXPECT_EQ(record.index, 1);
    EXPECT_EQ(record.onTool, 0);
    EXPECT_EQ(record.tool, nullptr);
    EXPECT_EQ(record.clamped, 1);
    EXPECT_EQ(record.noPressure, 1);
    EXPECT_EQ(record.fixed, 1);
    EXPECT_EQ(record.boundary, 0);
    EXPECT_EQ(record.toolInContact, -1);
    EXPECT_DOUBLE_EQ(record.point1.x, Sheet().CurrentCoordinate(1).x);
    EXPECT_DOUBLE_EQ(record.point1.z, Sheet().CurrentCoordinate(1).z);
    EXPECT_DOUBLE_EQ(record.value1, NodeAverageThickness(Sheet(), 1));
    EXPECT_DOUBLE_EQ(record.value2, NodeAverageTemperature(Sheet(), 1));

    // Filled over the first record: every flag is set again from the node.
    ASSERT_TRUE(PickSheetItem(Sheet(), NodeMode, 2, record));
    EXPECT_EQ(record.clamped + record.noPressure + record.fixed, 0);
    EXPECT_EQ(record.boundary, 1);
    EXPECT_EQ(record.toolInContact, 3);
}

TEST_F(SheetPickTest, ElementRecordsCarryCornersAndStretches) {
    CDataDisplay record;
    ASSERT_TRUE(PickSheetItem(Sheet(), ElementMode, 0, record));
    EXPECT_EQ(record.kind, PickedElement);
    EXPECT_EQ(record.index, 0);
    EXPECT_DOUBLE_EQ(record.point2.x, Sheet().CurrentCorner(0, 1).x);
    EXPECT_DOUBLE_EQ(record.point3.y, Sheet().CurrentCorner(0, 2).y);
    // Its values: the batch tool's tips of elements.
    EXPECT_TRUE(PickSheetItem(Sheet(), ElementMode, Sheet().ElementCount() - 1, record));
}

// Items just outside the sheet: the batch tool's tips of nodes 0 and 21 and
// elements -1 and 24.
TEST_F(SheetPickTest, ItemsOutsideTheSheetLeaveTheRecordAlone) {
    CDataDisplay record;
    record.index = 42;
    EXPECT_FALSE(PickSheetItem(Sheet(), NodeMode, -1, record));
    EXPECT_FALSE(PickSheetItem(Sheet(), PointMode, 1, record));
    EXPECT_EQ(record.index, 42);
    EXPECT_EQ(record.kind, PickedNode);
}
