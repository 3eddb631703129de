// What the cut window does without its widgets: the plot and its mapping,
// scale ticks, the curve's pixels, the read-out and its 3D point, the limits
// that survive later cuts, the units change, the printed page's box and the
// CSV of the profile.
#include "config/CConfiguration.h"
#include "core/TextFormat.h"
#include "cut/CutComputation.h"
#include "cut/CutSession.h"
#include "cut/GraphLayout.h"
#include "cut/ProfileCsv.h"
#include "model/CSheetProfile.h"
#include "model/SheetReading.h"
#include "scale/ResultQuantity.h"
#include "tests/support/TestSupport.h"
#include "tools/SampleWriter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace quillmere;

namespace {

// An 8 x 8 grid over 0.25 m centred on the origin; element e is 100 + e
// degrees warm.
std::unique_ptr<CSheetProfile> GridSheet(const CTempFolder& folder) {
    samplegen::RecordData record = samplegen::MakeGridRecord(8, 8, 0.25, 0.25);
    for (size_t e = 0; e < record.elements.size(); ++e)
        record.elements[e].temperature = static_cast<float>(100.0 + e);
    EXPECT_TRUE(samplegen::WriteRecordFile(folder.File("sheet.000"), record));
    std::unique_ptr<CSheetProfile> sheet = ReadSheet(folder.File("sheet.000"), 0, nullptr);
    EXPECT_TRUE(sheet);
    return sheet;
}

std::vector<double> Limits(const CGraphLimits& limits) {
    return {limits.xMin, limits.xMax, limits.yMin, limits.yMax};
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::stringstream stream(text);
    for (std::string part; std::getline(stream, part, separator);)
        parts.push_back(part);
    return parts;
}

class CutWindow : public ::testing::Test {
protected:
    CTempFolder folder;
    CConfiguration configuration{folder.File("Quillmere.cfg")};
};

} // namespace

TEST(GraphLayout, PlotMappingAndTicks) {
    EXPECT_EQ((std::vector<int>{33, 22, 80, 80}), ([] {
                  const CPixelRect plot = PlotRectangle({3, 2, 100, 100}, 10);
                  return std::vector<int>{plot.left, plot.top, plot.right, plot.bottom};
              }()));

    // Right and bottom edges are outside.
    const CPixelRect rect{10, 20, 30, 40};
    EXPECT_TRUE(rect.Contains(10, 20) && rect.Contains(29, 39));
    EXPECT_FALSE(rect.Contains(9, 30) || rect.Contains(30, 30) || rect.Contains(20, 19) ||
                 rect.Contains(20, 40));

    const CGraphMapping mapping({0, 0, 100, 50}, {0, 10, -1, 1});
    // Halves go away from zero; y grows upwards.
    EXPECT_EQ(mapping.X(0.05), 1);
    EXPECT_EQ(mapping.X(-0.05), -1);
    EXPECT_EQ(mapping.X(10), 100);
    EXPECT_EQ(mapping.Y(-1), 50);
    EXPECT_EQ(mapping.Y(1), 0);
    EXPECT_EQ(mapping.Y(0.02), 25) << "24.5 rounds to 25";
    EXPECT_DOUBLE_EQ(mapping.XAt(25), 2.5);

    const std::vector<CGraphTick> x = XTicks(mapping);
    ASSERT_EQ(x.size(), 11u);
    EXPECT_EQ(x.front().label, "0.00");
    EXPECT_EQ(x[3].label, "3.00");
    EXPECT_EQ(x[3].pixel, 30);
    EXPECT_EQ(x.back().label, "10.00");
    const std::vector<CGraphTick> y = YTicks(mapping);
    ASSERT_EQ(y.size(), 11u) << "the last step lands a hair past the maximum";
    EXPECT_EQ(y.front().label, "    -1");
    EXPECT_EQ(y[4].label, "  -0.2");
    EXPECT_EQ(y.back().label, "     1");
    // Ticks are whole multiples of the step: the one at 0 is 0, which
    // adding steps would leave at -5.55e-17.
    EXPECT_EQ(y[5].value, 0.0);
    EXPECT_EQ(y[5].label, "     0");
    for (const auto& [minimum, maximum, zero] : std::vector<std::tuple<double, double, size_t>>{
             {-0.3, 0.7, 3}, {-0.6, 0.4, 6}, {-0.03, 0.07, 3}, {-0.9, 0.1, 9}, {-1.2, 0.8, 6}}) {
        const std::vector<CGraphTick> ticks =
            YTicks(CGraphMapping({0, 0, 100, 50}, {0, 1, minimum, maximum}));
        ASSERT_EQ(ticks.size(), 11u) << minimum;
        EXPECT_EQ(ticks[zero].value, 0.0) << minimum;
        EXPECT_EQ(ticks[zero].label, "     0") << minimum;
        EXPECT_EQ(ticks[zero - 1].value, -ticks[zero + 1].value) << minimum;
        EXPECT_EQ(ticks.front().value, minimum);
        EXPECT_NEAR(ticks.back().value, maximum, 1e-15);
    }

    // Limits of no extent (the automatic maximum of a cut too long) give no
    // ticks and no pixel inside.
    const CGraphMapping empty({0, 0, 100, 50}, {0, 0, 0, 0});
    EXPECT_TRUE(XTicks(empty).empty());
    EXPECT_TRUE(YTicks(empty).empty());
    EXPECT_TRUE(CurvePixels(empty, {{0, 0}, {1, 1}}).empty());
    // A minimum so large that a step is lost in it still ends.
    EXPECT_LE(XTicks(CGraphMapping({0, 0, 100, 50}, {1e20, 1e20 + 1000, 0, 1})).size(), 11u);
}

TEST(GraphLayout, LabelsAndTitlesKeepApart) {
    // Labels ten units a character, kept 10 apart: "100.00" and "120.00"
    // need ticks 70 apart, and fewer labels are written on a narrower plot.
    auto width = [](const std::string& label) { return 10 * static_cast<int>(label.size()); };
    for (const auto& [plotWidth, stride] :
         std::vector<std::pair<int, int>>{{700, 1}, {690, 2}, {350, 2}, {340, 5}, {140, 5}, {130, 10}})
        EXPECT_EQ(XLabelStride(XTicks(CGraphMapping({0, 0, plotWidth, 100}, {0, 200, 0, 5})), width, 10),
                  stride)
            << plotWidth;

    // The y title's line ends where the top value's label (baseline on the
    // plot's top) begins, inside the frame; the caption shares its line,
    // ending at the plot's right edge.
    const int ascent = 11, descent = 3, h = ascent + descent;
    const CPixelRect frame{5, 7, 400, 300};
    const CPixelRect plot = PlotRectangle(frame, h);
    const CTextPlace title = YTitlePlace(plot, h);
    EXPECT_LE(title.baseline + descent, plot.top - ascent);
    EXPECT_GE(title.baseline - ascent, frame.top);
    EXPECT_GT(title.x, frame.left);
    const CTextPlace caption = CaptionPlace(plot, h, 50);
    EXPECT_EQ(caption.baseline, title.baseline);
    EXPECT_EQ(caption.x + 50, plot.right);
}

// No y label crosses the plot's frame: each ends a gap left of it, and the
// plot leaves wide labels the room they need inside the graph's frame.
TEST(GraphLayout, YLabelsEndLeftOfThePlotInsideTheFrame) {
    auto width = [](const std::string& label) { return 7 * static_cast<int>(label.size()); };
    const int h = 14;
    const CPixelRect frame{5, 7, 500, 300};
    EXPECT_EQ(GraphPlot(frame, h, {0, 200, 0, 5}, width).left, PlotRectangle(frame, h).left);
    for (const CGraphLimits& limits : {CGraphLimits{0, 200, 0, 5}, CGraphLimits{0, 200, -0.0123, 0.0123},
                                       CGraphLimits{0, 200, -12345, 1e6}}) {
        const CPixelRect plot = GraphPlot(frame, h, limits, width);
        for (const CGraphTick& tick : YTicks(CGraphMapping(plot, limits))) {
            const std::string label = YLabelText(tick);
            EXPECT_EQ(label.find(' '), std::string::npos) << tick.label;
            const CTextPlace place = YLabelPlace(plot, h, tick, width(label));
            EXPECT_EQ(place.baseline, tick.pixel);
            // The plot's frame is drawn 2 wide on its left edge.
            EXPECT_LT(place.x + width(label), plot.left - 1) << label;
            EXPECT_GT(place.x, frame.left) << label;
        }
    }
}

TEST(GraphLayout, TheCurveDropsPointsOutsideThePlot) {
    const CGraphMapping mapping({10, 10, 110, 60}, {0, 10, 0, 5});
    const std::vector<std::array<int, 2>> pixels =
        CurvePixels(mapping, {{0, 0}, {5, 6}, {5, 2.5}, {10, 5}, {11, 1}});
    EXPECT_EQ(pixels, (std::vector<std::array<int, 2>>{{10, 60}, {60, 35}, {110, 10}}))
        << "points on the frame stay, points beyond are dropped, not clipped";
    EXPECT_TRUE(CurvePixels(mapping, {{0, 0}, {5, 6}}).empty()) << "one point left draws nothing";
}

TEST_F(CutWindow, ReadOutInterpolatesAndFindsThePointOfTheCut) {
    auto sheet = GridSheet(folder);
    CCutSession session;
    session.Position = 10; // x = 10 mm, across the grid along y
    session.ProfileQuantity = ResultQuantity::Temperature;
    session.Cut(*sheet, configuration);
    const CCutSegments& cut = session.CutOf(*sheet);
    ASSERT_GT(cut.size(), 2u);
    EXPECT_NEAR(session.Graph.TotalArcLength, 0.25, 1e-12);
    EXPECT_EQ(Limits(session.GraphLimits), (std::vector<double>{0, 300, 0, 300}));

    const CGraphMapping mapping({0, 0, 300, 100}, session.GraphLimits);
    // One pixel per mm: column 100 is 100 mm along the cut.
    CReadOut readOut = ReadOutAt(mapping, 100, session.Graph, cut, configuration);
    EXPECT_NEAR(readOut.arcLength, 0.1, 1e-15);
    EXPECT_NEAR(readOut.arcDisplay, 100, 1e-12);
    EXPECT_DOUBLE_EQ(readOut.value, GraphValueAt(session.Graph.Points, readOut.arcDisplay));
    ASSERT_TRUE(readOut.hasPoint);
    EXPECT_NEAR(readOut.point.x, 0.01, 1e-12);
    EXPECT_NEAR(readOut.point.y, -0.125 + 0.1, 1e-12) << "the cut runs towards increasing y";
    EXPECT_EQ(ReadOutText(readOut.arcDisplay), "100.000");

    // Past the end of the cut: capped at its length, the last value.
    readOut = ReadOutAt(mapping, 290, session.Graph, cut, configuration);
    EXPECT_DOUBLE_EQ(readOut.arcLength, session.Graph.TotalArcLength);
    EXPECT_DOUBLE_EQ(readOut.value, session.Graph.Points.back().y);
    ASSERT_TRUE(readOut.hasPoint);
    EXPECT_NEAR(readOut.point.y, 0.125, 1e-12);

    // In inches the same column is a longer way along the cut.
    configuration.SetSIMetric(false);
    session.UnitsChanged(true, sheet.get(), configuration);
    EXPECT_NEAR(session.Position, 10 / 25.4, 1e-15);
    readOut = ReadOutAt(CGraphMapping({0, 0, 100, 100}, {0, 10, 0, 1}), 5, session.Graph, cut, configuration);
    EXPECT_NEAR(readOut.arcLength, 0.0127, 1e-12) << "half an inch";
}

// A cut belongs to the values it was made on: once the sheet holds another
// record's, the views draw no line and no mark, and the graph built again
// is empty, as before any cut.
TEST_F(CutWindow, ACutGoesWithTheRecordItWasMadeOn) {
    auto sheet = GridSheet(folder);
    CCutSession session;
    session.Cut(*sheet, configuration);
    const CCoordinate point(0, 0.01, 0);
    session.SetMark(&point);
    ASSERT_FALSE(session.CutOf(*sheet).empty());
    ASSERT_NE(session.MarkOf(*sheet), nullptr);

    // The next record, of the same mesh.
    std::unique_ptr<CSheetProfile> next =
        PrepareRecord(sheet->SharedMesh(), ReadRecordFile(folder.File("sheet.000"), 1, nullptr));
    ASSERT_TRUE(next);
    sheet->SwapRecordValues(*next);
    EXPECT_TRUE(session.CutOf(*sheet).empty());
    EXPECT_EQ(session.MarkOf(*sheet), nullptr);
    configuration.SetSIMetric(false);
    session.UnitsChanged(true, sheet.get(), configuration);
    EXPECT_FALSE(session.HasPoints());

    session.Cut(*sheet, configuration);
    EXPECT_FALSE(session.CutOf(*sheet).empty());
    EXPECT_EQ(session.MarkOf(*sheet), nullptr) << "a new cut has no mark yet";
}

TEST_F(CutWindow, TypedLimitsSurviveLaterCutsUntilThePlaneOrProfileChanges) {
    auto sheet = GridSheet(folder);
    CCutSession session;
    session.Cut(*sheet, configuration);
    EXPECT_FALSE(session.ResetLimitsPending);
    EXPECT_EQ(Limits(session.GraphLimits), (std::vector<double>{0, 300, 0, 5}));

    session.GraphLimits = {10, 20, 1, 2};
    session.Cut(*sheet, configuration);
    EXPECT_EQ(Limits(session.GraphLimits), (std::vector<double>{10, 20, 1, 2}));
    session.Position = 50;
    session.Cut(*sheet, configuration);
    EXPECT_EQ(Limits(session.GraphLimits), (std::vector<double>{10, 20, 1, 2}))
        << "only the window's edits mark the position as changed";

    session.PlaneChanged();
    session.ProfileQuantity = ResultQuantity::Temperature;
    session.Cut(*sheet, configuration);
    EXPECT_EQ(Limits(session.GraphLimits), (std::vector<double>{0, 300, 0, 300}));
    EXPECT_FALSE(session.ResetLimitsPending);

    // A plane that misses the sheet: no points, the limits stay as they were.
    session.GraphLimits = {1, 2, 3, 4};
    session.Position = 1000;
    session.Cut(*sheet, configuration);
    EXPECT_TRUE(session.HasGraph);
    EXPECT_FALSE(session.HasPoints());
    EXPECT_EQ(Limits(session.GraphLimits), (std::vector<double>{1, 2, 3, 4}));
}

TEST_F(CutWindow, UnitsChangeConvertsThePositionAndLimitsByTheirQuantity) {
    auto sheet = GridSheet(folder);
    CCutSession session;
    session.Position = 25.4;
    session.ProfileQuantity = ResultQuantity::Temperature;
    configuration.SetSIMetric(false);
    session.UnitsChanged(true, sheet.get(), configuration);
    EXPECT_DOUBLE_EQ(session.Position, 1);
    EXPECT_TRUE(session.GraphLimits.Automatic()) << "automatic limits stay automatic";
    EXPECT_FALSE(session.HasGraph) << "no graph before the first cut";

    session.Record = 2;
    session.RecordCount = 3;
    session.Cut(*sheet, configuration);
    EXPECT_EQ(Limits(session.GraphLimits), (std::vector<double>{0, 10, 0, 500}));
    EXPECT_EQ(session.GraphCaption(configuration), "X = 1 inch, Rec. 2 / 3.");
    // The caption names the cut as it was made, in the units shown.
    session.PlaneIndex = 2;
    session.Record = 3;
    configuration.SetSIMetric(true);
    session.UnitsChanged(false, sheet.get(), configuration);
    EXPECT_EQ(session.GraphCaption(configuration), "X = 25.4 mm, Rec. 2 / 3.");
    EXPECT_DOUBLE_EQ(session.Position, 25.4);
    EXPECT_DOUBLE_EQ(session.GraphLimits.xMax, 254);
    EXPECT_NEAR(session.GraphLimits.yMin, -160.0 / 9, 1e-12) << "0 F";
    EXPECT_NEAR(session.GraphLimits.yMax, 260, 1e-12) << "500 F";
    EXPECT_NEAR(session.Graph.Points.back().x, 250, 1e-9) << "the graph is in mm again";

    session.ProfileQuantity = ResultQuantity::Thickness;
    session.GraphLimits = {0, 100, 0, 5.08};
    configuration.SetSIMetric(false);
    session.UnitsChanged(true, sheet.get(), configuration);
    EXPECT_NEAR(session.GraphLimits.yMax, 0.2, 1e-15);
    session.ProfileQuantity = ResultQuantity::StretchRatio;
    session.GraphLimits = {0, 100, 1, 2};
    session.UnitsChanged(false, sheet.get(), configuration);
    EXPECT_EQ(session.GraphLimits.yMax, 2) << "a ratio has no unit";
    EXPECT_DOUBLE_EQ(session.GraphLimits.xMax, 100) << "no change of units: nothing moves";
}

TEST(PrintedPage, PortraitBringsTheBoxUpLandscapeKeepsIt) {
    // Portrait: b0 = 950 > r0 = 760 becomes trunc(0.9 * 760) = 684.
    const CPixelRect portrait = PrintedGraphRect(800, 1000, 20, 10);
    EXPECT_EQ((std::vector<int>{150, 230, 630, 584}),
              (std::vector<int>{portrait.left, portrait.top, portrait.right, portrait.bottom}));
    const CPixelRect landscape = PrintedGraphRect(1000, 800, 20, 10);
    EXPECT_EQ((std::vector<int>{150, 200, 790, 690}),
              (std::vector<int>{landscape.left, landscape.top, landscape.right, landscape.bottom}));
}

TEST_F(CutWindow, CsvReadsBackAsTheCutsPoints) {
    auto sheet = GridSheet(folder);
    const CCutSegments cut = ComputeCut(*sheet, CCutPlane::AtAxis(1, 7.5), ResultQuantity::Thickness);
    ASSERT_GT(cut.size(), 2u);

    for (bool si : {true, false}) {
        configuration.SetSIMetric(si);
        const std::vector<std::string> lines =
            Split(ProfileCsv(cut, ResultQuantity::Thickness, configuration), '\n');
        EXPECT_EQ(lines.front(), si ? "arc_mm,value_mm,x_mm,y_mm,z_mm,element"
                                    : "arc_inch,value_inch,x_inch,y_inch,z_inch,element");
        ASSERT_EQ(lines.size(), cut.size() + 2);
        double arc = 0;
        for (size_t i = 0; i <= cut.size(); ++i) {
            const CAbscisse& piece = cut[std::min(i, cut.size() - 1)];
            const CCoordinate& point = i < cut.size() ? piece.Start : piece.End;
            const std::vector<std::string> fields = Split(lines[i + 1], ',');
            ASSERT_EQ(fields.size(), 6u);
            const double expected[5] = {arc, piece.Value, point.x, point.y, point.z};
            for (int k = 0; k < 5; ++k)
                EXPECT_EQ(ParseDouble(fields[static_cast<size_t>(k)].c_str()),
                          configuration.LengthToDisplay(expected[k] * 1000))
                    << "row " << i << " column " << k;
            EXPECT_EQ(fields[5], std::to_string(piece.ElementNumber));
            if (i < cut.size())
                arc += piece.Length;
        }
    }
}

TEST_F(CutWindow, CsvUnitsEmptyCutAndSaving) {
    const std::pair<ResultQuantity, const char*> si[] = {{ResultQuantity::Temperature, "C"},
                                                         {ResultQuantity::VonMises, "MPa"},
                                                         {ResultQuantity::PlanarExtension, "1"},
                                                         {ResultQuantity::StretchRatio, "1"}};
    const std::pair<ResultQuantity, const char*> us[] = {{ResultQuantity::Temperature, "F"},
                                                         {ResultQuantity::VonMises, "psi"},
                                                         {ResultQuantity::ExtensionX, "1"},
                                                         {ResultQuantity::Thickness, "inch"}};
    for (const auto& [quantity, unit] : si)
        EXPECT_EQ(ProfileValueUnit(quantity, configuration), unit);
    configuration.SetSIMetric(false);
    for (const auto& [quantity, unit] : us)
        EXPECT_EQ(ProfileValueUnit(quantity, configuration), unit);

    CCutSegments cut;
    EXPECT_EQ(ProfileCsv(cut, ResultQuantity::Temperature, configuration),
              "arc_inch,value_F,x_inch,y_inch,z_inch,element\n");
    cut.emplace_back();
    CAbscisse* record = &cut.back();
    record->Value = 100;
    record->ElementNumber = 7;
    EXPECT_EQ(ProfileCsv(cut, ResultQuantity::Temperature, configuration),
              "arc_inch,value_F,x_inch,y_inch,z_inch,element\n0,212,0,0,0,7\n0,212,0,0,0,7\n");
    record->Value = 2; // MPa
    EXPECT_EQ(Split(ProfileCsv(cut, ResultQuantity::VonMises, configuration), '\n')[1],
              FormatText("0,%.17g,0,0,0,7", 2e6 * 0.000145032632342277));

    const std::string path = folder.File("profile.csv");
    ASSERT_TRUE(SaveProfileCsv(path, "a,b\n"));
    std::ifstream file(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "a,b\n");
    EXPECT_FALSE(SaveProfileCsv(folder.File("none/profile.csv"), "a,b\n"));
}
