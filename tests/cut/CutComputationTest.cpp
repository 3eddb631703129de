#include "CutComputation.h"
#include "CConfiguration.h"
#include "CCutPlane.h"
#include "CutTestSupport.h"
#include "ProfileGraph.h"
#include "ResultQuantity.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace cuttest;

namespace {

std::vector<const CAbscisse*> Records(const CSheetProfile& sheet) {
    std::vector<const CAbscisse*> records;
    for (int i = 0; i < sheet.CutSegments().Count(); ++i)
        records.push_back(sheet.CutSegments().At(i));
    return records;
}

double RealLength(const std::vector<const CAbscisse*>& records) {
    double length = 0;
    for (size_t i = 0; i < records.size(); i += 2)
        length += records[i]->Length;
    return length;
}

// Whether p lies in the element's current triangle.
bool InElement(const CSheetProfile& sheet, int index, const CCoordinate& p) {
    const CElementProfile& e = sheet.Elements()[static_cast<size_t>(index)];
    const CCoordinate& a = sheet.CurrentCorner(e, 0);
    const CCoordinate& b = sheet.CurrentCorner(e, 1);
    const CCoordinate& c = sheet.CurrentCorner(e, 2);
    return TriangleArea(p, a, b) + TriangleArea(p, b, c) + TriangleArea(p, c, a) - TriangleArea(a, b, c) <
           1e-12;
}

struct AxisCase {
    int axis;
    double millimetres;
    bool shuffled;
};

class CutOfABentSheet : public ::testing::TestWithParam<AxisCase> {};

} // namespace

TEST_P(CutOfABentSheet, IsOneOrientedPolylineOnThePlaneAcrossTheSheet) {
    const AxisCase c = GetParam();
    CSheetFiles files;
    const auto sheet = files.Read(c.shuffled ? Shuffled(BentGrid(), 11) : BentGrid());
    const CCutPlane plane = CCutPlane::AtAxis(c.axis, c.millimetres);
    ComputeCut(*sheet, plane, TemperatureQuantity);
    const auto records = Records(*sheet);
    ASSERT_GE(records.size(), 3u);
    ASSERT_EQ(records.size() % 2, 1u) << "2m - 1 records for m pieces";

    const CAbscisse& front = *records[0];
    const bool reversed =
        front.Scratch.x == front.End.x && front.Scratch.y == front.End.y && front.Scratch.z == front.End.z;
    for (size_t i = 0; i < records.size(); ++i) {
        const CAbscisse& r = *records[i];
        for (const CCoordinate& p : {r.Start, r.End})
            EXPECT_NEAR(plane.a * p.x + plane.b * p.y + plane.c * p.z + plane.d, 0, 1e-12);
        if (i + 1 < records.size()) {
            EXPECT_TRUE(r.End.x == records[i + 1]->Start.x && r.End.y == records[i + 1]->Start.y &&
                        r.End.z == records[i + 1]->Start.z);
        }
        const CElementProfile& element = sheet->Elements()[static_cast<size_t>(r.ElementIndex)];
        EXPECT_EQ(r.ElementNumber, element.ElementId);
        EXPECT_TRUE(InElement(*sheet, r.ElementIndex, r.Start) && InElement(*sheet, r.ElementIndex, r.End));
        if (i % 2) {
            // A connector belongs to the piece before it in tracing order.
            EXPECT_LT(r.Length, 1e-11) << "connector " << i;
            EXPECT_EQ(r.ElementIndex, records[reversed ? i + 1 : i - 1]->ElementIndex);
        } else {
            EXPECT_GE(r.Length, 1e-11);
        }
    }

    // From boundary to boundary, towards increasing y (X, Z) or x (Y).
    const CCoordinate& first = records.front()->Start;
    const CCoordinate& last = records.back()->End;
    EXPECT_NEAR(c.axis == 1 ? first.x : first.y, -0.125, 1e-9);
    EXPECT_NEAR(c.axis == 1 ? last.x : last.y, 0.125, 1e-9);

    CConfiguration configuration(files.Folder().File("Quillmere.cfg"));
    const CProfileGraph graph = BuildProfileGraph(sheet->CutSegments(), TemperatureQuantity, configuration);
    EXPECT_DOUBLE_EQ(graph.TotalArcLength, records.back()->ArcEnd);
    EXPECT_EQ(records.front()->ArcStart, 0);
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_GE(records[i]->ArcEnd, records[i]->ArcStart);
        if (i > 0) {
            EXPECT_EQ(records[i]->ArcStart, records[i - 1]->ArcEnd);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Axes, CutOfABentSheet,
                         ::testing::Values(AxisCase{0, 10, false}, AxisCase{1, -7, false},
                                           AxisCase{2, 5, false}, AxisCase{0, -40, true},
                                           AxisCase{1, 33, true}, AxisCase{2, -2, true}));

TEST(ComputeCut, APlaneThroughNodesGivesOneChainWithoutDoubledPoints) {
    CSheetFiles files;
    // Sheared so that X = 0 meets five nodes and no edge.
    const auto sheet = files.Read(ShapedGrid(8, 8, 0.25, [](Vec3 p) {
        return Vec3{p.x + 0.5 * p.y, p.y, 0};
    }));
    ComputeCut(*sheet, CCutPlane::AtAxis(0, 0), ThicknessQuantity);
    const auto records = Records(*sheet);
    ASSERT_FALSE(records.empty());
    EXPECT_NEAR(RealLength(records), 0.25, 1e-12);
    for (size_t i = 0; i < records.size(); i += 2)
        EXPECT_GT(records[i]->Length, 1e-11);
}

TEST(ComputeCut, APlaneAlongSharedEdgesTagsEachWithTheLaterElement) {
    CSheetFiles files;
    const auto sheet = files.Read(samplegen::MakeGridRecord(4, 2, 0.25, 0.25));
    ComputeCut(*sheet, CCutPlane::AtAxis(0, 0), ThicknessQuantity);
    const auto records = Records(*sheet);
    ASSERT_EQ(records.size(), 3u);
    // Row j's edge at x = 0 is the right edge of cell 1 and the left edge of
    // cell 2, whose second triangle comes later.
    EXPECT_EQ(records[0]->ElementIndex, 2 * (0 * 4 + 2) + 1);
    EXPECT_EQ(records[2]->ElementIndex, 2 * (1 * 4 + 2) + 1);
    EXPECT_NEAR(RealLength(records), 0.25, 1e-12);
}

TEST(ComputeCut, APlaneMissingTheSheetOrTouchingOneNodeGivesNothing) {
    CSheetFiles files;
    RecordData pyramid = samplegen::MakeGridRecord(4, 4, 0.25, 0.25);
    pyramid.current[12].z = 0.0625; // the middle node
    const auto sheet = files.Read(pyramid);
    ComputeCut(*sheet, CCutPlane::AtAxis(0, 300), ThicknessQuantity);
    EXPECT_EQ(sheet->CutSegments().Count(), 0);
    ComputeCut(*sheet, CCutPlane::AtAxis(2, 10), ThicknessQuantity);
    EXPECT_GT(sheet->CutSegments().Count(), 0);
    ComputeCut(*sheet, CCutPlane::AtAxis(2, 62.5), ThicknessQuantity);
    EXPECT_EQ(sheet->CutSegments().Count(), 0) << "the previous cut must go";
}

TEST(ComputeCut, APieceTooShortCountsOnlyInTheLastElement) {
    CSheetFiles files;
    // A thin spike beyond the grid, cut 1 mm from its tip: a piece far
    // shorter than the grid's cells.
    RecordData record = samplegen::MakeGridRecord(8, 8, 0.25, 0.25);
    const int32_t first = record.NodeCount() + 1;
    record.current.insert(record.current.end(), {{0.125, -0.01, 0}, {0.2, 0, 0}, {0.125, 0.01, 0}});
    samplegen::RecordElement spike = record.elements.back();
    spike.nodes = {first, first + 1, first + 2};
    record.elements.push_back(spike);
    record.CompleteNodeData();
    const auto last = files.Read(record);
    ComputeCut(*last, CCutPlane::AtAxis(0, 199), ThicknessQuantity);
    ASSERT_EQ(last->CutSegments().Count(), 1);
    EXPECT_LT(last->CutSegments().At(0)->Length, 1e-3);

    std::rotate(record.elements.begin(), record.elements.end() - 1, record.elements.end());
    const auto firstElement = files.Read(record);
    ComputeCut(*firstElement, CCutPlane::AtAxis(0, 199), ThicknessQuantity);
    EXPECT_EQ(firstElement->CutSegments().Count(), 0);
}

TEST(ComputeCut, ABigSheetFindsCutsInEitherHalf) {
    CSheetFiles files;
    const auto sheet = files.Read(samplegen::MakeGridRecord(320, 320, 0.25, 0.25));
    for (double millimetres : {-120.0, 120.0}) {
        ComputeCut(*sheet, CCutPlane::AtAxis(1, millimetres), ThicknessQuantity);
        EXPECT_EQ(sheet->CutSegments().Count(), 2 * 2 * 320 - 1) << millimetres;
    }
}

TEST(ComputeCut, APlaneThroughAHoleKeepsTheCurveOfTheFirstPiece) {
    CSheetFiles files;
    RecordData record = samplegen::MakeGridRecord(8, 8, 0.25, 0.25);
    std::vector<samplegen::RecordElement> kept;
    for (size_t e = 0; e < record.elements.size(); ++e)
        if (e / 2 / 8 < 3 || e / 2 / 8 > 4) // rows 3 and 4 go: the sheet falls in two
            kept.push_back(record.elements[e]);
    record.elements = kept;
    const auto sheet = files.Read(record);
    ComputeCut(*sheet, CCutPlane::AtAxis(1, 0.0), ThicknessQuantity);
    EXPECT_EQ(sheet->CutSegments().Count(), 0) << "y = 0 lies in the hole";
    ComputeCut(*sheet, CCutPlane::AtAxis(0, 10), ThicknessQuantity);
    const auto records = Records(*sheet);
    ASSERT_FALSE(records.empty());
    EXPECT_NEAR(records.front()->Start.y, -0.125, 1e-9);
    EXPECT_NEAR(records.back()->End.y, -0.125 + 3 * 0.03125, 1e-9);
}

TEST(ComputeCut, EveryCellRowGivesTwoPiecesAndConnectorsCarryThePreviousValue) {
    CSheetFiles files;
    RecordData record = samplegen::MakeGridRecord(4, 3, 0.25, 0.25);
    for (size_t e = 0; e < record.elements.size(); ++e)
        record.elements[e].temperature = static_cast<float>(100 + e);
    const auto sheet = files.Read(record);
    ComputeCut(*sheet, CCutPlane::AtAxis(0, 10), TemperatureQuantity);
    const auto records = Records(*sheet);
    ASSERT_EQ(records.size(), 2u * 2 * 3 - 1);
    for (size_t i = 1; i < records.size(); i += 2)
        EXPECT_EQ(records[i]->Value, records[i - 1]->Value);
    EXPECT_EQ(records[0]->Value, 100 + records[0]->ElementIndex);
}

TEST(ComputeCut, ACutRunningTheWrongWayIsReversedRecordByRecord) {
    CSheetFiles files;
    // One column of cells with the first triangles' corners turned to
    // (n10, n11, n00): the first piece then runs downwards.
    RecordData turned = samplegen::MakeGridRecord(1, 4, 0.125, 0.25);
    RecordData plain = turned;
    for (size_t e = 0; e < turned.elements.size(); e += 2) {
        auto& n = turned.elements[e].nodes;
        n = {n[1], n[2], n[0]};
    }
    for (const RecordData* record : {&plain, &turned}) {
        const auto sheet = files.Read(*record);
        ComputeCut(*sheet, CCutPlane::AtAxis(0, 10), ThicknessQuantity);
        const auto records = Records(*sheet);
        ASSERT_EQ(records.size(), 15u);
        EXPECT_LT(records.front()->Start.y, records.back()->End.y);
        for (const CAbscisse* r : records) {
            EXPECT_LE(r->Start.y, r->End.y);
            const bool reversed = r->Scratch.x == r->End.x && r->Scratch.y == r->End.y;
            EXPECT_EQ(reversed, record == &turned);
        }
    }
}

TEST(ComputeCut, YCutsRunTowardsIncreasingXAndZCutsTowardsIncreasingY) {
    CSheetFiles files;
    const auto sheet =
        files.Read(Triangles({{-0.125, 0.125, 0}, {0.125, 0, 0}, {-0.125, -0.125, 0}}, {{1, 2, 3}}));
    for (int axis : {0, 1, 2}) {
        ComputeCut(*sheet, CCutPlane::AtAxis(axis, 0), ThicknessQuantity);
        const auto records = Records(*sheet);
        ASSERT_EQ(records.size(), 1u) << axis;
        const CAbscisse& r = *records[0];
        if (axis == 1)
            EXPECT_LT(r.Start.x, r.End.x);
        else
            EXPECT_LT(r.Start.y, r.End.y) << axis;
        EXPECT_EQ(r.Scratch.y, r.End.y) << "every cut of this triangle runs the wrong way first";
    }
}

TEST(ComputeCut, ElementsAreFoundByPositionWhateverTheirIdentifiers) {
    CSheetFiles files;
    for (int32_t base : {1000, -5000}) {
        RecordData record = Shuffled(samplegen::MakeGridRecord(4, 4, 0.25, 0.25), 2);
        for (size_t e = 0; e < record.elements.size(); ++e) {
            record.elements[e].id = base + 3 * static_cast<int32_t>(e);
            record.elements[e].temperature = static_cast<float>(200 + e);
        }
        const auto sheet = files.Read(record);
        ComputeCut(*sheet, CCutPlane::AtAxis(1, 17), TemperatureQuantity);
        const auto records = Records(*sheet);
        ASSERT_FALSE(records.empty());
        for (const CAbscisse* r : records) {
            EXPECT_EQ(r->ElementNumber, base + 3 * r->ElementIndex);
            EXPECT_EQ(r->Value, 200 + r->ElementIndex);
            EXPECT_TRUE(InElement(*sheet, r->ElementIndex, r->Start));
        }
    }
}

// A sheet stretched in x: every value of the quantities is known.
struct QuantityCase {
    int quantity;
    double stretch;
    double expected;
};

class CutValues : public ::testing::TestWithParam<QuantityCase> {};

TEST_P(CutValues, AreTheQuantityInTheElementInStoredUnits) {
    CSheetFiles files;
    RecordData record = ShapedGrid(4, 4, 0.25, [](Vec3 p) { return Vec3{GetParam().stretch * p.x, p.y, 0}; });
    for (auto& element : record.elements) {
        element.stress1 = 2e6f;
        element.stress2 = -1e6f;
    }
    const auto sheet = files.Read(record);
    ComputeCut(*sheet, CCutPlane::AtAxis(1, 17), GetParam().quantity);
    const auto records = Records(*sheet);
    ASSERT_FALSE(records.empty());
    for (const CAbscisse* r : records)
        EXPECT_NEAR(r->Value, GetParam().expected, 1e-6 * std::fabs(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Quantities, CutValues,
                         ::testing::Values(QuantityCase{ThicknessQuantity, 1.25, 0.003 / 1.25},
                                           QuantityCase{TemperatureQuantity, 1.25, 150},
                                           QuantityCase{VonMisesQuantity, 1.25, std::sqrt(7.0)},
                                           QuantityCase{ExtensionXQuantity, 1.25, 1.25},
                                           QuantityCase{ExtensionYQuantity, 1.25, 1},
                                           QuantityCase{PlanarExtensionQuantity, 1.25, std::sqrt(1.25)},
                                           QuantityCase{StretchRatioQuantity, 1.25, 1.25},
                                           QuantityCase{StretchRatioQuantity, 1, 1},
                                           // Shrunk: the larger stretch over the smaller still.
                                           QuantityCase{StretchRatioQuantity, 0.8, 1.25}));
