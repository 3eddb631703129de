// The panel's value labels and the limits dialog's values, titles and
// conversions, in both systems of units.
#include "scale/ScaleLabels.h"
#include "config/CConfiguration.h"
#include "scale/LimitsEditing.h"
#include "scale/ResultQuantity.h"
#include "scale/ScaleLimits.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <string>

using namespace quillmere;

namespace {

class UnitsTest : public ::testing::Test {
protected:
    CConfiguration& Units(bool si) {
        configuration.SetSIMetric(si);
        return configuration;
    }

    CTempFolder folder;
    CRecordingMessages messages;
    CConfiguration configuration{folder.File("Quillmere.cfg")};
};

using ScaleLabels = UnitsTest;

TEST_F(ScaleLabels, ThicknessQuartersInMillimetresRightAligned) {
    const auto texts = ScaleLabelTexts(ResultQuantity::Thickness, 0.0012, 0.0030, Units(true));
    EXPECT_EQ(texts[0], "  3.00 mm");
    EXPECT_EQ(texts[1], "  2.55 mm");
    EXPECT_EQ(texts[2], "  2.10 mm");
    EXPECT_EQ(texts[3], "  1.65 mm");
    EXPECT_EQ(texts[4], "  1.20 mm");
}

TEST_F(ScaleLabels, EachQuantityInEachSystem) {
    EXPECT_EQ(ScaleValueText(ResultQuantity::Thickness, 0.00254, Units(false)), " 0.100 inch");
    EXPECT_EQ(ScaleValueText(ResultQuantity::Temperature, 150.0, Units(true)), " 150.0 \xC2\xB0"
                                                                               "C");
    EXPECT_EQ(ScaleValueText(ResultQuantity::Temperature, 100.0, Units(false)), " 212.0 \xC2\xB0"
                                                                                "F");
    EXPECT_EQ(ScaleValueText(ResultQuantity::Temperature, -40.0, Units(false)), " -40.0 \xC2\xB0"
                                                                                "F");
    for (bool si : {true, false}) {
        EXPECT_EQ(ScaleValueText(ResultQuantity::VonMises, 1.5, Units(si)), " 1.500 MPa");
        for (ResultQuantity quantity : ValueQuantities()) {
            if (quantity < ResultQuantity::ExtensionX || quantity > ResultQuantity::StretchRatio)
                continue;
            EXPECT_EQ(ScaleValueText(quantity, 1.25, Units(si)), " 1.250");
        }
        // Thinning in per cent, first contact in records, alike in both.
        EXPECT_EQ(ScaleValueText(ResultQuantity::Thinning, -12.3456, Units(si)), "-12.35 %");
        EXPECT_EQ(ScaleValueText(ResultQuantity::FirstContact, 7.25, Units(si)), "   7.2");
    }
    // Wider numbers are not cut.
    EXPECT_EQ(ScaleValueText(ResultQuantity::VonMises, 12345.5, Units(true)), "12345.500 MPa");
}

TEST_F(ScaleLabels, NoScaleIsFiveEmptyLabels) {
    for (const std::string& text : ScaleLabelTexts(ResultQuantity::None, -5, 5, Units(true)))
        EXPECT_EQ(text, "");
    // Nor are limits that are no numbers (a sheet without any) labelled.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const std::string& text : ScaleLabelTexts(ResultQuantity::Thickness, nan, nan, Units(true)))
        EXPECT_EQ(text, "");
}

// A zero shows no minus sign, whether it is -0 or a small negative number
// rounded; a negative number shows one, and only one.
TEST_F(ScaleLabels, ZeroHasNoSignAndNegativesOneMinus) {
    EXPECT_EQ(ScaleValueText(ResultQuantity::Thickness, -0.0, Units(true)), "  0.00 mm");
    EXPECT_EQ(ScaleValueText(ResultQuantity::Thickness, -1e-6, Units(true)), "  0.00 mm");
    EXPECT_EQ(ScaleValueText(ResultQuantity::Thickness, -1e-6, Units(false)), " 0.000 inch");
    EXPECT_EQ(ScaleValueText(ResultQuantity::Thickness, -0.011 * 0.0254, Units(false)), "-0.011 inch");
    EXPECT_EQ(ScaleValueText(ResultQuantity::Temperature, -0.04, Units(true)), "   0.0 \xC2\xB0"
                                                                               "C");
    const auto texts = ScaleLabelTexts(ResultQuantity::ExtensionX, -0.0004, 0.0004, Units(true));
    EXPECT_EQ(texts[0], " 0.000");
    EXPECT_EQ(texts[4], " 0.000");
}

TEST_F(ScaleLabels, DecimalPointWhateverTheLocale) {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "no German locale";
    const std::string text = ScaleValueText(ResultQuantity::Thickness, 0.0021, Units(true));
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(text, "  2.10 mm");
}

using LimitsDialogRules = UnitsTest;

TEST_F(LimitsDialogRules, TitleCarriesTheUnit) {
    EXPECT_EQ(LimitsDialogTitle(ResultQuantity::Thickness, "Thickness", Units(true)), "Thickness (mm)");
    EXPECT_EQ(LimitsDialogTitle(ResultQuantity::Thickness, "Thickness", Units(false)), "Thickness inch");
    EXPECT_EQ(LimitsDialogTitle(ResultQuantity::Temperature, "Temperature", Units(true)),
              "Temperature (\xC2\xB0"
              "C)");
    EXPECT_EQ(LimitsDialogTitle(ResultQuantity::Temperature, "Temperature", Units(false)),
              "Temperature (\xC2\xB0"
              "F)");
    EXPECT_EQ(LimitsDialogTitle(ResultQuantity::VonMises, "Stress von Mises", Units(false)),
              "Stress von Mises (MPa)");
    EXPECT_EQ(LimitsDialogTitle(ResultQuantity::StretchRatio, "L1 / L2", Units(true)), "L1 / L2");
    for (bool si : {true, false}) {
        EXPECT_EQ(LimitsDialogTitle(ResultQuantity::Thinning, "Thinning", Units(si)), "Thinning (%)");
        EXPECT_EQ(LimitsDialogTitle(ResultQuantity::FirstContact, "First contact", Units(si)),
                  "First contact");
    }
}

TEST(LimitsRounding, HalfAwayFromZeroAtTheThirdDecimal) {
    EXPECT_DOUBLE_EQ(RoundToThousandths(2.1234), 2.123);
    EXPECT_DOUBLE_EQ(RoundToThousandths(2.1236), 2.124);
    EXPECT_DOUBLE_EQ(RoundToThousandths(-2.1236), -2.124);
    EXPECT_DOUBLE_EQ(RoundToThousandths(-2.1234), -2.123);
    EXPECT_DOUBLE_EQ(RoundToThousandths(0.0004), 0.0);
    EXPECT_DOUBLE_EQ(RoundToThousandths(1e300), 1e300);
}

TEST_F(LimitsDialogRules, NeverFixedQuantityStartsFromTheShownLimits) {
    ScaleLimits limits;
    PrepareFixedLimits(limits, ResultQuantity::Thickness, 0.00123456, 0.00298765);
    const LimitsDialogValues start = LimitsDialogStart(ResultQuantity::Thickness, limits, Units(true));
    EXPECT_DOUBLE_EQ(start.minimum, 1.235);
    EXPECT_DOUBLE_EQ(start.maximum, 2.988);
    EXPECT_FALSE(start.fixed);

    // Values the user fixed before stay, even when the panel shows others.
    PrepareFixedLimits(limits, ResultQuantity::Thickness, 0.0005, 0.0009);
    EXPECT_DOUBLE_EQ(limits.FixedMinimum(ResultQuantity::Thickness), 0.00123456);
    // Only an exact 0 counts as never set, each limit on its own.
    limits.SetFixedMinimum(ResultQuantity::Temperature, 0);
    limits.SetFixedMaximum(ResultQuantity::Temperature, 80);
    PrepareFixedLimits(limits, ResultQuantity::Temperature, 20, 180);
    EXPECT_EQ(limits.FixedMinimum(ResultQuantity::Temperature), 20);
    EXPECT_EQ(limits.FixedMaximum(ResultQuantity::Temperature), 80);
}

TEST_F(LimitsDialogRules, DisplayUnitsBothWays) {
    ScaleLimits limits;
    limits.SetFixedMinimum(ResultQuantity::Thickness, 0.000508);
    limits.SetFixedMaximum(ResultQuantity::Thickness, 0.00254);
    limits.SetFixedMode(ResultQuantity::Thickness, 1);
    const LimitsDialogValues inches = LimitsDialogStart(ResultQuantity::Thickness, limits, Units(false));
    EXPECT_DOUBLE_EQ(inches.minimum, 0.02);
    EXPECT_DOUBLE_EQ(inches.maximum, 0.1);
    EXPECT_TRUE(inches.fixed);

    StoreLimitsDialog(ResultQuantity::Temperature, {32, 212, true}, limits, Units(false));
    EXPECT_NEAR(limits.FixedMinimum(ResultQuantity::Temperature), 0.0, 1e-12);
    EXPECT_NEAR(limits.FixedMaximum(ResultQuantity::Temperature), 100.0, 1e-12);
    EXPECT_TRUE(limits.IsFixed(ResultQuantity::Temperature));

    StoreLimitsDialog(ResultQuantity::Thickness, {1.5, 2.5, false}, limits, Units(true));
    EXPECT_DOUBLE_EQ(limits.FixedMinimum(ResultQuantity::Thickness), 0.0015);
    EXPECT_DOUBLE_EQ(limits.FixedMaximum(ResultQuantity::Thickness), 0.0025);
    EXPECT_FALSE(limits.IsFixed(ResultQuantity::Thickness));

    // Stresses and the dimensionless quantities keep their numbers.
    StoreLimitsDialog(ResultQuantity::VonMises, {-1.25, 3.5, true}, limits, Units(false));
    EXPECT_EQ(limits.FixedMinimum(ResultQuantity::VonMises), -1.25);
    EXPECT_EQ(LimitsDialogStart(ResultQuantity::VonMises, limits, Units(false)).maximum, 3.5);
}

} // namespace

// The bar's top band sits beside the maximum label: blue for thickness, red
// for the other quantities and for differences (white in the middle).
TEST(ScaleBar, TheTopBandIsTheColourOfTheMaximum) {
    const auto isRed = [](RgbColour c) { return c.red > c.blue + 200; };
    const auto isBlue = [](RgbColour c) { return c.blue > c.red + 200; };
    for (ResultQuantity quantity : ValueQuantities()) {
        const auto plain = ScaleBarBands(quantity, false);
        EXPECT_TRUE(quantity == ResultQuantity::Thickness ? isBlue(plain.front()) : isRed(plain.front()))
            << QuantityNumber(quantity);
        const auto difference = ScaleBarBands(quantity, true);
        EXPECT_TRUE(isRed(difference.front()) && isBlue(difference.back())) << QuantityNumber(quantity);
        const RgbColour middle = difference[ColourRamp::Size / 2];
        EXPECT_TRUE(middle.red == 255 && middle.green == 255 && middle.blue == 255)
            << QuantityNumber(quantity);
    }
}
