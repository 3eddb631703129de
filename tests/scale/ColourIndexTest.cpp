// The value-to-colour rules that need no sheet.
#include "config/DisplaySettings.h"
#include "scale/ColourRamp.h"
#include "scale/ResultQuantity.h"
#include "scale/ScaleLimits.h"
#include "scale/SheetColouring.h"

#include <gtest/gtest.h>

#include <limits>

using namespace quillmere;

namespace {

struct RampCase {
    int index, red, green, blue;
};

class RampEntry : public ::testing::TestWithParam<RampCase> {};

TEST_P(RampEntry, HasTheListedColour) {
    const RampCase c = GetParam();
    const ColourRamp ramp;
    const size_t i = static_cast<size_t>(c.index);
    EXPECT_EQ(ramp.Red()[i], c.red);
    EXPECT_EQ(ramp.Green()[i], c.green);
    EXPECT_EQ(ramp.Blue()[i], c.blue);
}

INSTANTIATE_TEST_SUITE_P(Ramp, RampEntry,
                         ::testing::Values(RampCase{0, 255, 0, 0}, RampCase{16, 255, 240, 0},
                                           RampCase{17, 240, 240, 15}, RampCase{32, 15, 15, 240}));

struct IndexCase {
    const char* name;
    double value, minimum, maximum;
    int thickness; // the reversed quantities take 32 minus this
};

class ValueIndex : public ::testing::TestWithParam<IndexCase> {};

TEST_P(ValueIndex, MapsThicknessUpAndTheOthersDown) {
    const IndexCase c = GetParam();
    EXPECT_EQ(ColourIndex(c.value, c.minimum, c.maximum, ResultQuantity::Thickness), c.thickness);
    for (ResultQuantity quantity : ValueQuantities()) {
        if (quantity == ResultQuantity::Thickness)
            continue;
        EXPECT_EQ(ColourIndex(c.value, c.minimum, c.maximum, quantity), 32 - c.thickness)
            << QuantityNumber(quantity);
    }
}

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Index, ValueIndex,
    ::testing::Values(IndexCase{"AtMaximum", 7, 3, 7, 32}, IndexCase{"HalfRoundsAway", 15.5, 0, 32, 16},
                      IndexCase{"AboveFixedMaximum", 40, 0, 32, 32}, IndexCase{"FarAbove", 1e300, 0, 1, 32},
                      IndexCase{"BelowFixedMinimum", -0.5, 0, 32, 0}, IndexCase{"FarBelow", -1e300, 0, 1, 0},
                      IndexCase{"EqualLimits", 5, 5, 5, 0},
                      IndexCase{"WithinRounding", 1 + 1e-13, 1, 1 + 1e-13, 0},
                      IndexCase{"BeyondRounding", 1 + 1e-11, 1, 1 + 1e-11, 32},
                      IndexCase{"EqualNegativeLimits", -2, -2, -2, 0}),
    [](const ::testing::TestParamInfo<IndexCase>& test) { return std::string(test.param.name); });

// A value that is no number is neither end of the scale nor its middle: one
// grey whatever its sign, that no entry of either ramp comes near.
TEST(ValueIndex, ValuesThatAreNotNumbersAreGrey) {
    constexpr double Infinity = std::numeric_limits<double>::infinity();
    for (const double value : {NaN, -NaN, Infinity, -Infinity})
        for (ResultQuantity quantity : ValueQuantities()) {
            EXPECT_EQ(ColourIndex(value, 0, 1, quantity), ColourRamp::NoValue)
                << value << " " << QuantityNumber(quantity);
            EXPECT_EQ(ColourIndex(value, 5, 5, quantity), ColourRamp::NoValue)
                << value << " " << QuantityNumber(quantity);
        }
    const RgbColour grey = ColourRamp().Entry(ColourRamp::NoValue);
    EXPECT_TRUE(grey.red == grey.green && grey.green == grey.blue) << int(grey.red);
    for (const ColourRamp& ramp : {ColourRamp(), ColourRamp::Diverging()})
        for (int index = 0; index < ColourRamp::Size; ++index) {
            const RgbColour c = ramp.Entry(index);
            const int dr = c.red - grey.red, dg = c.green - grey.green, db = c.blue - grey.blue;
            EXPECT_GT(dr * dr + dg * dg + db * db, 80 * 80) << index;
        }
    EXPECT_EQ(ColourRamp::Diverging().Entry(ColourRamp::NoValue).red, grey.red);
}

TEST(UniformSheetColour, IsTheSheetColourDarkenedInModeOne) {
    DisplaySettings settings; // (0, 196, 196), opacity 0.9, mode 1
    EXPECT_EQ(UniformSheetColour(settings), (std::array<float, 4>{0, 100 / 255.0f, 100 / 255.0f, 0.9f}));
    settings.sheetDisplayMode = SheetDisplayMode::Edges;
    settings.sheetColour = 0x102030;
    EXPECT_EQ(UniformSheetColour(settings),
              (std::array<float, 4>{48 / 255.0f, 32 / 255.0f, 16 / 255.0f, 0.9f}));
    EXPECT_EQ(SheetAlpha(0.9), 229); // 229.4999...
    EXPECT_EQ(SheetAlpha(7), 255);
}

} // namespace
