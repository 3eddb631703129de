#include "inspect/Measurement.h"
#include "config/CConfiguration.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace quillmere;

namespace {

CDataDisplay At(double x, double y, double z, int kind = PickedPoint) {
    CDataDisplay record;
    record.kind = kind;
    record.point1 = {x, y, z};
    return record;
}

class MeasurementTest : public ::testing::Test {
protected:
    CConfiguration& Units(bool si) {
        configuration.SetSIMetric(si);
        return configuration;
    }

    CTempFolder folder;
    CConfiguration configuration{folder.File("Quillmere.cfg")};
};

} // namespace

TEST_F(MeasurementTest, TextsInMillimetres) {
    const MeasurementTexts texts =
        BuildMeasurementTexts(At(0.001, -0.002, 0.0125), At(0.004, 0.002, 0.0125), Units(true));
    EXPECT_EQ(texts.start, (std::array<std::string, 3>{"1.000", "-2.000", "12.500"}));
    EXPECT_EQ(texts.end, (std::array<std::string, 3>{"4.000", "2.000", "12.500"}));
    EXPECT_EQ(texts.distance, "5.000");
    EXPECT_EQ(texts.unit, "mm");
}

TEST_F(MeasurementTest, EveryUnitFieldReadsInchUnderUsCustomary) {
    const MeasurementTexts texts =
        BuildMeasurementTexts(At(0, 0, 0.0254), At(0.0762, 0.1016, 0.0254), Units(false));
    EXPECT_EQ(texts.start, (std::array<std::string, 3>{"0.000", "0.000", "1.000"}));
    EXPECT_EQ(texts.end, (std::array<std::string, 3>{"3.000", "4.000", "1.000"}));
    EXPECT_EQ(texts.distance, "5.000");
    EXPECT_EQ(texts.unit, "inch");
}

TEST_F(MeasurementTest, TheDistanceIsASingleFloat) {
    EXPECT_EQ(BuildMeasurementTexts(At(0.3, 0.2, 0.1), At(0.3, 0.2, 0.1), Units(true)).distance, "0.000");
    // 100000.0123 mm: a double would print 100000.012; the nearest float is
    // 100000.015625.
    const CDataDisplay first = At(0, 0, 0), second = At(100.0000123, 0, 0);
    EXPECT_EQ(MeasuredDistance(first, second, Units(true)), 100000.015625f);
    EXPECT_EQ(BuildMeasurementTexts(first, second, Units(true)).distance, "100000.016");
    const float inches = MeasuredDistance(At(0, 0, 0), At(0.0254 * 3, 0.0254 * 4, 0), Units(false));
    EXPECT_FLOAT_EQ(inches, 5.0f);
}

TEST_F(MeasurementTest, ARecordOfTheReservedKindMakesNoMeasurement) {
    EXPECT_TRUE(MeasurementPossible(At(0, 0, 0, PickedNode), At(1, 0, 0, PickedPoint)));
    EXPECT_FALSE(MeasurementPossible(At(0, 0, 0), At(1, 0, 0, PickedNothing)));
    EXPECT_FALSE(MeasurementPossible(At(0, 0, 0, PickedNothing), At(1, 0, 0)));
}

TEST(MeasurementPosition, RightEdgeWhenOneClickLeadsBothWaysElseLeftEdge) {
    struct Case {
        ScreenPoint first, second;
        int x, y;
    };
    const Case cases[] = {
        // Second click below and left of the first: left edge, 15 below the lower click.
        {{300, 200}, {100, 400}, 100, 415},
        // Top left to bottom right: right edge.
        {{100, 100}, {300, 250}, 300, 265},
        // The same two ways with the clicks swapped.
        {{100, 400}, {300, 200}, 100, 415},
        {{300, 250}, {100, 100}, 300, 265},
        // One above the other, and side by side.
        {{50, 80}, {50, 20}, 50, 95},
        {{90, 60}, {10, 60}, 90, 75},
    };
    for (const Case& c : cases) {
        const ScreenPoint corner = MeasurementWindowPosition(c.first, c.second);
        EXPECT_EQ(corner.x, c.x) << c.first.x << ',' << c.first.y << " -> " << c.second.x << ','
                                 << c.second.y;
        EXPECT_EQ(corner.y, c.y) << c.first.x << ',' << c.first.y << " -> " << c.second.x << ','
                                 << c.second.y;
    }
}
