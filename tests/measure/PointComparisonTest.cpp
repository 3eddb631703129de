// Measured points against the formed sheet: points placed on it with known
// offsets of thickness, points off it or beyond its edge, the rigid fit,
// and the table and summary texts.
#include "measure/PointComparison.h"
#include "measure/MeasurementTable.h"
#include "model/CSheetProfile.h"
#include "model/SheetMeans.h"
#include "tests/measure/MeasureFixture.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace quillmere;

namespace {

// The point of an element at weights of its nodes, with the simulated
// thickness there as the view shows it at the nodes.
struct OnSheet {
    CCoordinate position;
    double thickness = 0;
};
OnSheet PointOn(const CSheetProfile& sheet, size_t element, const std::array<double, 3>& weights) {
    OnSheet point;
    for (int corner = 0; corner < 3; ++corner) {
        const double w = weights[static_cast<size_t>(corner)];
        point.position = point.position + sheet.CurrentCorner(element, corner) * w;
        point.thickness +=
            w * NodeAverageThickness(sheet, sheet.Mesh().Nodes(element)[static_cast<size_t>(corner)]);
    }
    return point;
}

class PointComparisonTest : public ::testing::Test {
protected:
    MeasurementFile ReadBack(const samplegen::MeasurementCsv& csv) {
        EXPECT_TRUE(samplegen::WriteMeasurementFile(folder.File("points.csv"), csv));
        MeasurementFile file = ReadMeasurementFile(folder.File("points.csv"), LengthUnit::Millimetre);
        EXPECT_FALSE(file.error) << MessageText(MeasurementErrorMessage(file.error));
        return file;
    }
    CTempFolder folder;
};

} // namespace

TEST_F(PointComparisonTest, PointsOnTheSheetGiveTheirOffsetOfThickness) {
    const auto cup = CupSheet();
    samplegen::MeasurementCsv csv;
    csv.unit = "m";
    std::vector<double> offsets;
    for (size_t e = 1; e < static_cast<size_t>(cup->ElementCount()); e += 13) {
        const OnSheet on = PointOn(*cup, e, {0.2, 0.5, 0.3});
        const double offset = 1e-5 * static_cast<double>(static_cast<int>(e % 9) - 4);
        offsets.push_back(offset);
        csv.points.push_back({"", {on.position.x, on.position.y, on.position.z}, on.thickness - offset});
    }
    const MeasurementFile file = ReadBack(csv);
    MeasureOptions options;
    options.tolerance = {Tolerance::Kind::Length, 3e-5};
    const CSurfaceSearch search(*cup, SheetImages::Mirrored);
    const MeasurementComparison comparison = CompareMeasurements(*cup, search, file.points, options);
    ASSERT_EQ(comparison.points.size(), offsets.size());
    int within = 0;
    double sum = 0, squares = 0;
    for (size_t i = 0; i < offsets.size(); ++i) {
        const PointComparison& point = comparison.points[i];
        EXPECT_FALSE(point.missed);
        EXPECT_NEAR(point.closest.distance, 0, 1e-12);
        EXPECT_NEAR(point.difference, offsets[i], 1e-12);
        EXPECT_NEAR(point.errorPercent, offsets[i] / file.points[i].thickness * 100, 1e-9);
        // An offset of 3e-5 lies on the bound, and counts as within.
        within += std::fabs(offsets[i]) <= 3e-5 + 1e-15;
        sum += offsets[i];
        squares += offsets[i] * offsets[i];
    }
    const MeasurementSummary& summary = comparison.summary;
    const double n = static_cast<double>(offsets.size());
    EXPECT_EQ(summary.used, static_cast<int>(offsets.size()));
    EXPECT_EQ(summary.missed, 0);
    EXPECT_EQ(summary.thicknessPoints, summary.used);
    EXPECT_NEAR(summary.meanDifference, sum / n, 1e-12);
    EXPECT_NEAR(summary.rmsDifference, std::sqrt(squares / n), 1e-12);
    EXPECT_NEAR(summary.maxDifference, 4e-5, 1e-12);
    EXPECT_EQ(summary.withinTolerance, within);
    EXPECT_LT(within, summary.used);
    EXPECT_NEAR(summary.maxDistance, 0, 1e-12);
    // Ten per cent of about 3 mm takes every offset in.
    options.tolerance = {Tolerance::Kind::Percent, 10};
    EXPECT_EQ(CompareMeasurements(*cup, search, file.points, options).summary.withinTolerance, summary.used);
}

TEST(Tolerance, TheBoundCountsAsWithin) {
    EXPECT_TRUE(WithinTolerance(-0.0001, 0.002, {Tolerance::Kind::Length, 0.0001}));
    // 2.1 mm - 2.0 mm, read in metres, is a hair above 0.1 mm.
    const double simulated = 2.1 * 1e-3, measured = 2.0 * 1e-3, bound = 0.1 * 1e-3;
    ASSERT_GT(simulated - measured, bound);
    EXPECT_TRUE(WithinTolerance(simulated - measured, measured, {Tolerance::Kind::Length, bound}));
    EXPECT_FALSE(WithinTolerance(0.000101, 0.002, {Tolerance::Kind::Length, 0.0001}));
    EXPECT_TRUE(WithinTolerance(0.0002, 0.002, {Tolerance::Kind::Percent, 10}));
    EXPECT_FALSE(WithinTolerance(0.000201, 0.002, {Tolerance::Kind::Percent, 10}));
    EXPECT_FALSE(WithinTolerance(0, 0.002, Tolerance()));

    Tolerance tolerance;
    ASSERT_TRUE(ParseTolerance(" 0.1 ", LengthUnit::Millimetre, tolerance));
    EXPECT_EQ(tolerance.kind, Tolerance::Kind::Length);
    EXPECT_DOUBLE_EQ(tolerance.value, 0.0001);
    ASSERT_TRUE(ParseTolerance("0.004", LengthUnit::Inch, tolerance));
    EXPECT_DOUBLE_EQ(tolerance.value, 0.004 * 0.0254);
    ASSERT_TRUE(ParseTolerance("12.5 %", LengthUnit::Millimetre, tolerance));
    EXPECT_EQ(tolerance.kind, Tolerance::Kind::Percent);
    EXPECT_EQ(tolerance.value, 12.5);
    for (const char* wrong : {"", "%", "-1", "1 mm", "nan", "1e999", "10%%"})
        EXPECT_FALSE(ParseTolerance(wrong, LengthUnit::Millimetre, tolerance)) << wrong;
}

TEST_F(PointComparisonTest, BeyondTheMaximumDistanceIsMissedAndLeftOutOfTheSummary) {
    // A flat sheet 200 x 100 mm at z = 0.
    const auto sheet = ReadBackSheet(samplegen::MakeGridRecord(8, 4, 0.2, 0.1, 0.003));
    samplegen::MeasurementCsv csv;
    csv.points = {{"in", {0.02, 0.01, 0.0}, 0.003},
                  {"above", {0.02, 0.01, 0.004}, 0.0031},
                  {"beyond", {0.11, 0.0, 0.0}, 0.001},
                  {"far", {0.02, 0.01, 0.0051}, 0.001}};
    const MeasurementFile file = ReadBack(csv);
    const CSurfaceSearch search(*sheet, SheetImages::Mirrored);
    MeasureOptions options;
    MeasurementComparison comparison = CompareMeasurements(*sheet, search, file.points, options);
    EXPECT_FALSE(comparison.points[0].missed);
    EXPECT_FALSE(comparison.points[1].missed);
    EXPECT_NEAR(std::fabs(comparison.points[1].closest.distance), 0.004, 1e-12);
    EXPECT_TRUE(comparison.points[2].missed);
    // The record's floats put the edge a hair beyond 0.1.
    EXPECT_NEAR(comparison.points[2].closest.distance, 0.01, 1e-8);
    EXPECT_NEAR(comparison.points[2].closest.point.x, 0.1, 1e-8);
    EXPECT_TRUE(comparison.points[3].missed);
    EXPECT_EQ(comparison.summary.used, 2);
    EXPECT_EQ(comparison.summary.missed, 2);
    EXPECT_NEAR(comparison.summary.maxDifference, 0.0001, 1e-9);
    EXPECT_NEAR(comparison.summary.maxDistance, 0.004, 1e-12);
    options.maxDistance = 0.0051;
    EXPECT_EQ(CompareMeasurements(*sheet, search, file.points, options).summary.missed, 1);
}

TEST_F(PointComparisonTest, TheRigidFitRecoversAMotion) {
    const auto cup = CupSheet();
    // Points on the bottom, the wall and the flange, moved by 3 degrees
    // about a skew axis and by (4, -3, 2) mm.
    const double angle = 3 * M_PI / 180;
    const CCoordinate axis = CCoordinate(1, 2, 3) * (1 / std::sqrt(14.0));
    const double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
    RigidTransform motion;
    motion.rotation = {
        t * axis.x * axis.x + c,          t * axis.x * axis.y - s * axis.z, t * axis.x * axis.z + s * axis.y,
        t * axis.x * axis.y + s * axis.z, t * axis.y * axis.y + c,          t * axis.y * axis.z - s * axis.x,
        t * axis.x * axis.z - s * axis.y, t * axis.y * axis.z + s * axis.x, t * axis.z * axis.z + c};
    motion.translation = {0.004, -0.003, 0.002};
    samplegen::MeasurementCsv csv;
    csv.unit = "m";
    std::vector<CCoordinate> onSheet;
    for (size_t e = 0; e < static_cast<size_t>(cup->ElementCount()); e += 17) {
        const OnSheet on = PointOn(*cup, e, {0.6, 0.3, 0.1});
        onSheet.push_back(on.position);
        const CCoordinate moved = motion.Apply(on.position);
        csv.points.push_back({"", {moved.x, moved.y, moved.z}, on.thickness});
    }
    const MeasurementFile file = ReadBack(csv);
    const CSurfaceSearch search(*cup, SheetImages::Mirrored);
    MeasureOptions options;
    options.rigidFit = true;
    const MeasurementComparison comparison = CompareMeasurements(*cup, search, file.points, options);
    ASSERT_TRUE(comparison.fitted);
    EXPECT_GT(comparison.fit.rmsBefore, 0.002);
    EXPECT_LT(comparison.fit.rmsAfter, 1e-6);
    // The fit undoes the motion.
    for (size_t i = 0; i < onSheet.size(); ++i)
        EXPECT_NEAR(Norm(comparison.fit.transform.Apply(file.points[i].position) - onSheet[i]), 0, 1e-5);
    EXPECT_LT(comparison.summary.maxDistance, 1e-5);
    EXPECT_LT(comparison.summary.maxDifference, 1e-6);
}

TEST(RigidTransform, KabschCarriesPointsOntoTheirImages) {
    RigidTransform turn;
    turn.rotation = {0, -1, 0, 1, 0, 0, 0, 0, 1};
    turn.translation = {1, 2, 3};
    // Points in a plane: a reflection would fit them as well.
    const std::vector<CCoordinate> from = {{0, 0, 0}, {1, 0, 0}, {0, 2, 0}, {3, 1, 0}};
    std::vector<CCoordinate> to;
    for (const CCoordinate& p : from)
        to.push_back(turn.Apply(p));
    const RigidTransform found = BestRigidTransform(from, to);
    for (size_t i = 0; i < 9; ++i)
        EXPECT_NEAR(found.rotation[i], turn.rotation[i], 1e-12) << i;
    EXPECT_NEAR(Norm(found.translation - turn.translation), 0, 1e-12);
    const RigidTransform none = BestRigidTransform({}, {});
    EXPECT_EQ(none.rotation[0], 1);
}

TEST_F(PointComparisonTest, TheTableAndTheSummary) {
    // 1/256 m thick (exact in the record's floats), flat at z = 0.
    const auto sheet = ReadBackSheet(samplegen::MakeGridRecord(8, 4, 0.2, 0.1, 0.00390625));
    WriteWholeFile(folder.File("points.csv"), "# two labels, one line number\n"
                                              "label,x_mm,y_mm,z_mm,thickness_mm\n"
                                              "A,10,20,1,3.5\n"
                                              ",0,0,-2,\n"
                                              "\"C,1\",110,0,0,4\n");
    const MeasurementFile file = ReadMeasurementFile(folder.File("points.csv"), LengthUnit::Millimetre);
    ASSERT_FALSE(file.error);
    const CSurfaceSearch search(*sheet, SheetImages::Mirrored);
    MeasureOptions options;
    ASSERT_TRUE(ParseTolerance("0.5", LengthUnit::Millimetre, options.tolerance));
    const MeasurementComparison comparison = CompareMeasurements(*sheet, search, file.points, options);
    // The table's difference is that of the numbers it shows; the edge of
    // the record's floats is a hair beyond 100 mm.
    EXPECT_EQ(MeasurementTable(file, comparison, LengthUnit::Millimetre),
              "label,x,y,z,element,distance,simulated,measured,difference,error_percent,status\n"
              "A,10,20,1,41,1,3.90625,3.5,0.40625,11.607142857142858,ok\n"
              "4,0,0,-2,22,-2,3.90625,,,,ok\n"
              "\"C,1\",110,0,0,30,9.9999985098838806,3.90625,4,-0.09375,-2.34375,missed\n");
    EXPECT_EQ(MeasurementSummaryText(file, comparison, options, LengthUnit::Millimetre),
              "Points: 2 used, 1 missed (farther than 5 mm from the sheet)\n"
              "Thickness (simulated - measured) at 1 point: mean 0.406 mm, RMS 0.406 mm, max |difference| "
              "0.406 mm, "
              "mean |error| 11.61 %\n"
              "Within the tolerance of 0.5 mm: 1 of 1 point\n"
              "Shape (distance from the sheet): mean -0.500 mm, RMS 1.581 mm, max |distance| 2.000 mm\n");
    options.tolerance = {Tolerance::Kind::Percent, 10};
    EXPECT_EQ(MeasurementTable(file, comparison, LengthUnit::Inch),
              "label,x,y,z,element,distance,simulated,measured,difference,error_percent,status\n"
              "A,0.39370078740157477,0.78740157480314954,0.03937007874015748,41,0.03937007874015748,"
              "0.15378937007874016,0.13779527559055119,0.015994094488188976,11.607142857142856,ok\n"
              "4,0,0,-0.07874015748031496,22,-0.07874015748031496,0.15378937007874016,,,,ok\n"
              "\"C,1\",4.3307086614173231,0,0,30,0.39370072873558587,0.15378937007874016,0.15748031496062992,"
              "-0.0036909448818897572,-2.343749999999996,missed\n");
    EXPECT_EQ(
        MeasurementSummaryText(file, comparison, options, LengthUnit::Inch),
        "Points: 2 used, 1 missed (farther than 0.19685 inch from the sheet)\n"
        "Thickness (simulated - measured) at 1 point: mean 0.0160 inch, RMS 0.0160 inch, max |difference| "
        "0.0160 inch, mean |error| 11.61 %\n"
        "Within the tolerance of 10 % of the measured thickness: 1 of 1 point\n"
        "Shape (distance from the sheet): mean -0.0197 inch, RMS 0.0622 inch, max |distance| 0.0787 inch\n");
}

TEST_F(PointComparisonTest, TheSummaryOfAFitAndOfNoThickness) {
    const auto sheet = ReadBackSheet(samplegen::MakeGridRecord(8, 4, 0.2, 0.1, 0.00390625));
    WriteWholeFile(folder.File("points.csv"), "x;y;z\n10;20;1\n-30,5;0;1\n0;10;1\n");
    const MeasurementFile file = ReadMeasurementFile(folder.File("points.csv"), LengthUnit::Millimetre);
    const CSurfaceSearch search(*sheet, SheetImages::Mirrored);
    MeasureOptions options;
    options.rigidFit = true;
    const MeasurementComparison comparison = CompareMeasurements(*sheet, search, file.points, options);
    // Lifted by 1 mm onto the sheet; x, y and z as the file gives them.
    EXPECT_EQ(MeasurementTable(file, comparison, LengthUnit::Millimetre),
              "label,x,y,z,element,distance,simulated,measured,difference,error_percent,status\n"
              "2,10,20,1,41,0,3.90625,,,,ok\n"
              "3,-30.5,0,1,21,0,3.90625,,,,ok\n"
              "4,0,10,1,38,0,3.90625,,,,ok\n");
    EXPECT_EQ(
        MeasurementSummaryText(file, comparison, options, LengthUnit::Millimetre),
        "Points: 3 used, 0 missed (farther than 5 mm from the sheet)\n"
        "Thickness: not measured\n"
        "Shape (distance from the sheet): mean 0.000 mm, RMS 0.000 mm, max |distance| 0.000 mm\n"
        "Rigid fit (file to sheet, 1 iteration, translation in mm): RMS distance 1.000 mm before, 0.000 mm "
        "after\n"
        "Transform: 1 0 0 0; 0 1 0 0; 0 0 1 -1; 0 0 0 1\n");
}
