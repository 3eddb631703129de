#include "cut/ProfileGraph.h"
#include "config/CConfiguration.h"
#include "core/TextFormat.h"
#include "cut/CutSession.h"
#include "cut/GraphLayout.h"
#include "scale/Presentation.h"
#include "scale/ResultQuantity.h"
#include "scale/ScaleLabels.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

using namespace quillmere;

namespace {

// Records of the given lengths (m) and values along the x axis.
void Fill(CCutSegments& cut, const std::vector<std::pair<double, double>>& pieces) {
    double x = 0;
    for (const auto& [length, value] : pieces) {
        CAbscisse record;
        record.Start = {x, 0, 0};
        x += length;
        record.End = {x, 0, 0};
        record.Length = length;
        record.Value = value;
        cut.push_back(record);
    }
}

class ProfileGraph : public ::testing::Test {
protected:
    CTempFolder folder;
    CConfiguration configuration{folder.File("Quillmere.cfg")};
    CCutSegments cut;
};

} // namespace

// The smoothing and the automatic limits of whole cuts: the batch tool's cut
// graphs.
TEST_F(ProfileGraph, ASingleRecordGivesAStraightLineOfTwoPoints) {
    Fill(cut, {{0.002, 0.004}});
    const CProfileGraph graph = BuildProfileGraph(cut, ResultQuantity::Thickness, configuration);
    ASSERT_EQ(graph.Points.size(), 2u);
    EXPECT_DOUBLE_EQ(graph.Points[1].x, 2);
    EXPECT_DOUBLE_EQ(graph.Points[0].y, 4);
    EXPECT_DOUBLE_EQ(graph.Points[1].y, 4);
}

// Typed limits follow a change of units exactly as the configuration
// converts: US customary limits of 98.6 and 451 F are the configuration's
// Celsius, to the last bit.
TEST_F(ProfileGraph, UnitsChangeConvertsGivenLimitsAsTheConfigurationDoes) {
    CCutSession session;
    session.ProfileQuantity = ResultQuantity::Temperature;
    session.Position = 4;
    session.GraphLimits = {0, 3, 98.6, 451};
    configuration.SetSIMetric(false);
    const double expected[] = {configuration.LengthFromDisplay(4), configuration.LengthFromDisplay(3),
                               configuration.TemperatureFromDisplay(98.6),
                               configuration.TemperatureFromDisplay(451)};
    configuration.SetSIMetric(true);
    session.UnitsChanged(false, nullptr, configuration);
    EXPECT_EQ(session.Position, expected[0]);
    EXPECT_EQ(session.GraphLimits.xMax, expected[1]);
    EXPECT_EQ(session.GraphLimits.yMin, expected[2]);
    EXPECT_EQ(session.GraphLimits.yMax, expected[3]);
}

// Every quantity in both systems: the cut graph, the scale labels and the
// limits dialog show one unit and one number for one stored value, and the
// dialog reads its own number back.
TEST_F(ProfileGraph, EveryUseOfAQuantityShowsTheSameUnitAndNumber) {
    Fill(cut, {{1, 0.0125}});
    for (bool si : {true, false}) {
        configuration.SetSIMetric(si);
        for (ResultQuantity quantity : ValueQuantities()) {
            SCOPED_TRACE(FormatText("%s, %s", QuantityName(quantity), si ? "SI" : "US"));
            const double shown = BuildProfileGraph(cut, quantity, configuration).Points[0].y;
            EXPECT_EQ(shown, QuantityToDisplay(quantity, 0.0125, configuration));
            EXPECT_NEAR(QuantityFromDisplay(quantity, shown, configuration), 0.0125, 1e-15);
            const std::string label = ScaleValueText(quantity, 0.0125, configuration);
            EXPECT_NEAR(ParseDouble(label.c_str()), shown, 0.051);
            const char* unit = QuantityOf(quantity).In(configuration).unit;
            PresentationSource source;
            source.quantity = quantity;
            source.units = &configuration;
            const Presentation presented = MakePresentation(source);
            const std::string& title = presented.axisTitle;
            const std::string& limits = presented.limitsTitle;
            EXPECT_EQ(presented.valueUnit, unit ? std::string(" ") + unit : std::string());
            if (!unit) {
                EXPECT_EQ(label.find(' ', label.find_first_not_of(' ')), std::string::npos) << label;
                EXPECT_EQ(title.find('('), std::string::npos) << title;
                EXPECT_EQ(limits, QuantityName(quantity));
                continue;
            }
            EXPECT_EQ(label.substr(label.size() - strlen(unit) - 1), std::string(" ") + unit);
            EXPECT_EQ(title.substr(title.size() - strlen(unit) - 2), std::string("(") + unit + ")");
            EXPECT_NE(limits.find(unit, strlen(QuantityName(quantity))), std::string::npos) << limits;
        }
    }
}

class NiceSteps : public ::testing::TestWithParam<std::pair<double, double>> {};

TEST_P(NiceSteps, AreTheFirstStepNotBelowTheValue) {
    EXPECT_EQ(NiceStep(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Values, NiceSteps,
                         ::testing::Values(std::pair{-3.0, 0.05}, std::pair{0.05, 0.05},
                                           std::pair{0.0500001, 0.1}, std::pair{0.25, 0.3},
                                           std::pair{0.31, 0.5}, std::pair{7.0, 10.0},
                                           std::pair{450.0, 500.0}, std::pair{25000.0, 30000.0},
                                           std::pair{30000.0, 30000.0}, std::pair{30000.5, 0.0}));

TEST_F(ProfileGraph, AutomaticLimitsOfNegativeValuesReachTheSmallestStep) {
    Fill(cut, {{0.01, -5}, {0.01, -3}});
    CGraphLimits limits;
    ApplyAutomaticLimits(BuildProfileGraph(cut, ResultQuantity::Temperature, configuration), configuration,
                         limits);
    EXPECT_EQ(limits.xMax, 20);
    EXPECT_EQ(limits.yMax, 0.05);
}

// Thinning is negative where the sheet thickened: its limits reach down to
// it. First contact keeps its record numbers as steps, and a piece that never
// touched leaves the others' values and the limits alone.
TEST_F(ProfileGraph, ThinningReachesBelowZeroAndFirstContactKeepsItsSteps) {
    Fill(cut, {{0.01, -40}, {0.01, 25}});
    CGraphLimits limits;
    ApplyAutomaticLimits(BuildProfileGraph(cut, ResultQuantity::Thinning, configuration), configuration,
                         limits);
    EXPECT_EQ(std::make_pair(limits.yMin, limits.yMax), std::make_pair(-50.0, 30.0));

    const double none = std::nan("");
    cut.clear();
    Fill(cut, {{0.01, none}, {0.01, 2}, {0.01, 2}, {0.01, none}, {0.01, 5}});
    const CProfileGraph graph = BuildProfileGraph(cut, ResultQuantity::FirstContact, configuration);
    std::vector<double> values;
    for (const CGraphPoint& point : graph.Points)
        values.push_back(point.y);
    ASSERT_EQ(values.size(), 6u);
    EXPECT_TRUE(std::isnan(values[0]) && std::isnan(values[3]));
    EXPECT_EQ((std::vector<double>{values[1], values[2], values[4], values[5]}),
              (std::vector<double>{2, 2, 5, 5}));
    limits = CGraphLimits();
    ApplyAutomaticLimits(graph, configuration, limits);
    EXPECT_EQ(std::make_pair(limits.yMin, limits.yMax), std::make_pair(0.0, 5.0));
}

TEST_F(ProfileGraph, LimitsTheUserGaveAndAnEmptyCutLeaveTheLimits) {
    CGraphLimits limits;
    const CProfileGraph empty = BuildProfileGraph(cut, ResultQuantity::Thickness, configuration);
    EXPECT_TRUE(empty.Points.empty());
    ApplyAutomaticLimits(empty, configuration, limits);
    EXPECT_TRUE(limits.Automatic());

    Fill(cut, {{0.1, 1}});
    limits.yMin = -1;
    ApplyAutomaticLimits(BuildProfileGraph(cut, ResultQuantity::ExtensionX, configuration), configuration,
                         limits);
    EXPECT_EQ((std::vector<double>{0, 0, -1, 0}),
              (std::vector<double>{limits.xMin, limits.xMax, limits.yMin, limits.yMax}));
}

TEST(GraphValueAt, InterpolatesBetweenPointsAndHoldsTheLastBeyond) {
    const std::vector<CGraphPoint> points{{0, 1}, {10, 3}, {10, 7}, {20, 5}};
    EXPECT_DOUBLE_EQ(GraphValueAt(points, 0), 1);
    EXPECT_DOUBLE_EQ(GraphValueAt(points, 2.5), 1.5);
    // At a point the segment after it is read; a vertical step reads its top.
    EXPECT_DOUBLE_EQ(GraphValueAt(points, 10), 7);
    EXPECT_DOUBLE_EQ(GraphValueAt(points, 15), 6);
    EXPECT_DOUBLE_EQ(GraphValueAt(points, 99), 5);
    EXPECT_DOUBLE_EQ(GraphValueAt({{4, 2}}, 0), 2);
    EXPECT_DOUBLE_EQ(GraphValueAt({{4, 2}, {4, 5}}, 0), 2) << "no slope before the first point";
    EXPECT_DOUBLE_EQ(GraphValueAt({}, 0), 0);
}

TEST_F(ProfileGraph, CutPointFollowsTheRecordsByArcLength) {
    Fill(cut, {{0, 0}, {0.5, 0}, {0, 0}, {1.5, 0}});
    cut[0].End = {9, 9, 9};                  // no length: its start
    cut[2].Start = cut[2].End = {0.5, 1, 0}; // a connector off the line, to see it chosen
    BuildProfileGraph(cut, ResultQuantity::ExtensionX, configuration);
    CCoordinate point;
    ASSERT_TRUE(CutPointAt(cut, 0, point));
    EXPECT_DOUBLE_EQ(point.x, 0);
    ASSERT_TRUE(CutPointAt(cut, 0.25, point));
    EXPECT_DOUBLE_EQ(point.x, 0.25);
    ASSERT_TRUE(CutPointAt(cut, 0.5, point));
    EXPECT_DOUBLE_EQ(point.y, 0) << "the first record covering s wins";
    ASSERT_TRUE(CutPointAt(cut, 1.25, point));
    EXPECT_DOUBLE_EQ(point.x, 1.25);
    ASSERT_TRUE(CutPointAt(cut, 2, point));
    EXPECT_DOUBLE_EQ(point.x, 2);
    EXPECT_FALSE(CutPointAt(cut, 2.5, point));
}
