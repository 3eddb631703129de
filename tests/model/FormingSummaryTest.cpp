#include "model/FormingSummary.h"

#include "config/CConfiguration.h"
#include "core/TextFormat.h"
#include "model/FirstContact.h"
#include "model/SheetReading.h"
#include "tests/model/ProjectFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace quillmere;

namespace {

// A flat 0.2 m x 0.1 m grid of 4 x 2 cells (16 elements, 3 mm), its nodes
// moved by move.
samplegen::RecordData Grid(const std::function<void(samplegen::Vec3&)>& move) {
    samplegen::RecordData record = samplegen::MakeGridRecord(4, 2, 0.2, 0.1);
    for (samplegen::Vec3& node : record.current)
        move(node);
    return record;
}

class FormingSummary : public ::testing::Test {
protected:
    FormingSummary() : units(folder.File("Quillmere.cfg")) {}

    const CSheetProfile& Sheet(const samplegen::RecordData& record) {
        const std::string path = folder.File(FormatText("sheet.%03d", files));
        EXPECT_TRUE(samplegen::WriteRecordFile(path, record));
        sheets.push_back(ReadSheet(path, files++, nullptr));
        return *sheets.back();
    }
    std::string Text(const FormingFigures& figures, bool si = true) {
        units.SetSIMetric(si);
        return FormingSummaryText(figures, units, "p.tfc", 3);
    }

    CTempFolder folder;
    CRecordingMessages messages;
    CConfiguration units;
    std::vector<std::unique_ptr<CSheetProfile>> sheets;
    int files = 0;
};

bool HasLine(const std::string& text, const std::string& line) {
    return ("\n" + text + "\n").find("\n" + line + "\n") != std::string::npos;
}

} // namespace

// Stretched by 2 in x, every element keeps half its thickness: the sheet's
// area doubles and every element thins by half.
TEST_F(FormingSummary, UniformStretchByTwo) {
    const FormingFigures figures = FormingFiguresOf(Sheet(Grid([](auto& n) { n.x *= 2; })), 0, nullptr);
    EXPECT_DOUBLE_EQ(figures.drawRatio, 2.0);
    EXPECT_DOUBLE_EQ(figures.maximumThinning, 50.0);
    EXPECT_EQ(figures.thickenedPercent, 0.0);
    // To the solver's single precision.
    EXPECT_NEAR(figures.sheetArea, 0.02, 1e-8);
    EXPECT_NEAR(figures.formedArea, 0.04, 1e-8);
    EXPECT_NEAR(figures.thicknessMean, 0.0015, 1e-10);

    const std::string si = Text(figures);
    EXPECT_EQ(si.rfind("Forming summary:\nProject p.tfc\nRecord number 3\n\n", 0), 0u) << si;
    for (const char* line :
         {"Sheet area: 20000.00 mm^2", "Formed area: 40000.00 mm^2", "Areal draw ratio: 2.0000",
          "Mean thickness: 1.50 mm", "Maximum thickness: 1.50 mm", "Maximum thinning: 50.00 %",
          "Thickened area: 0.00 %"})
        EXPECT_TRUE(HasLine(si, line)) << line << " in\n" << si;
    // No minimum wall and no first contact asked for: no lines of theirs.
    EXPECT_EQ(si.find("minimum wall"), std::string::npos);
    EXPECT_EQ(si.find("First contact"), std::string::npos);

    // US units convert the lengths and areas; ratios and shares stay.
    const std::string us = Text(figures, false);
    for (const char* line :
         {"Sheet area: 31.000 inch^2", "Formed area: 62.000 inch^2", "Areal draw ratio: 2.0000",
          "Mean thickness: 0.059 inch", "Maximum thinning: 50.00 %", "Thickened area: 0.00 %"})
        EXPECT_TRUE(HasLine(us, line)) << line << " in\n" << us;
}

TEST_F(FormingSummary, UnstretchedSheet) {
    const FormingFigures figures = FormingFiguresOf(Sheet(Grid([](auto&) {})), 0, nullptr);
    const std::string text = Text(figures);
    for (const char* line :
         {"Areal draw ratio: 1.0000", "Maximum thinning: 0.00 %", "Thickened area: 0.00 %"})
        EXPECT_TRUE(HasLine(text, line)) << line << " in\n" << text;
}

// The grid's first node pulled out to x = -0.2: its first element triples
// its area and is the one thinnest element.
TEST_F(FormingSummary, ThinnestElementAndItsPlace) {
    const FormingFigures figures = FormingFiguresOf(
        Sheet(Grid([](auto& n) { n.x = n.x < -0.09 && n.y < -0.04 ? -0.2 : n.x; })), 0, nullptr);
    EXPECT_EQ(figures.thinnestElement, 0);
    EXPECT_TRUE(HasLine(Text(figures), "Minimum thickness: 1.00 mm at element 0 (-100.00, -33.33, 0.00 mm)"))
        << Text(figures);
    EXPECT_TRUE(HasLine(Text(figures, false),
                        "Minimum thickness: 0.039 inch at element 0 (-3.937, -1.312, 0.000 inch)"))
        << Text(figures, false);
}

// The last column of cells pushed to half its width: its 4 elements double
// their thickness and take 0.0025 of the 0.0175 m^2 formed.
TEST_F(FormingSummary, ThickenedBand) {
    const FormingFigures figures =
        FormingFiguresOf(Sheet(Grid([](auto& n) { n.x = n.x > 0.09 ? 0.075 : n.x; })), 0, nullptr);
    EXPECT_NEAR(figures.thickenedPercent, 100.0 / 7, 1e-5);
    EXPECT_NEAR(figures.maximumThinning, 0.0, 1e-9);
    EXPECT_NEAR(figures.thicknessMaximum, 0.006, 1e-9);
    EXPECT_TRUE(HasLine(Text(figures), "Thickened area: 14.29 %")) << Text(figures);
}

// The first column stretched to twice its width: 4 elements of 1.5 mm, 12 of
// 3 mm. A wall between them counts exactly the thin ones and their area.
TEST_F(FormingSummary, MinimumWallBetweenTwoThicknesses) {
    const CSheetProfile& sheet = Sheet(Grid([](auto& n) { n.x = n.x < -0.09 ? -0.15 : n.x; }));
    const MinimumWallShare below = BelowMinimumWall(sheet, 0.002);
    EXPECT_EQ(below.elements, 4);
    EXPECT_NEAR(below.area, 0.01, 1e-8);
    EXPECT_NEAR(below.percent, 40.0, 1e-5);
    // Thinner than the wall, not as thin: a wall at the thin elements'
    // thickness leaves them out.
    EXPECT_EQ(BelowMinimumWall(sheet, sheet.Derived().elements[0].Thickness).elements, 0);
    EXPECT_EQ(BelowMinimumWall(sheet, 0.004).elements, 16);

    const FormingFigures figures = FormingFiguresOf(sheet, 0.002, nullptr);
    ASSERT_TRUE(figures.belowWall);
    EXPECT_EQ(figures.belowWall->elements, 4);
    const std::string text = Text(figures);
    for (const char* line :
         {"Minimum wall: 2.00 mm", "Area below minimum wall: 40.00 %", "Elements below minimum wall: 4"})
        EXPECT_TRUE(HasLine(text, line)) << line << " in\n" << text;
}

// A half model gives the whole part's figures: the same as the full sheet's
// but for the counts of the stored half.
TEST_F(FormingSummary, HalfModelGivesTheWholePart) {
    // Symmetric about x = 0: stretched more towards the edges.
    const auto stretch = [](samplegen::Vec3& n) { n.x += 3 * n.x * std::fabs(n.x); };
    const FormingFigures whole = FormingFiguresOf(Sheet(Grid(stretch)), 0.0029, nullptr);

    samplegen::RecordData half = samplegen::MakeGridRecord(2, 2, 0.1, 0.1);
    for (samplegen::Vec3& node : half.current)
        node.x += 0.05;
    half.reference = half.current;
    for (samplegen::Vec3& node : half.current)
        stretch(node);
    half.symmetryName = "HALF";
    half.planes = {{1, 0, 0, 0}};
    const FormingFigures figures = FormingFiguresOf(Sheet(half), 0.0029, nullptr);

    EXPECT_EQ(figures.images, 2);
    for (const auto& [name, mirrored, full] :
         {std::tuple{"sheet area", figures.sheetArea, whole.sheetArea},
          {"formed area", figures.formedArea, whole.formedArea},
          {"draw ratio", figures.drawRatio, whole.drawRatio},
          {"mean", figures.thicknessMean, whole.thicknessMean},
          {"thinning", figures.maximumThinning, whole.maximumThinning},
          {"below", figures.belowWall->percent, whole.belowWall->percent}})
        EXPECT_NEAR(mirrored, full, 1e-12 * std::fabs(full)) << name;
    EXPECT_GT(whole.belowWall->elements, 0);
    EXPECT_EQ(figures.belowWall->elements * 2, whole.belowWall->elements);
    const std::string text = Text(figures);
    EXPECT_NE(text.find("Half model: the areas are those of the whole part"), std::string::npos) << text;
    EXPECT_EQ(Text(whole).find("model:"), std::string::npos);
}

// The summary's line of the first contact: the span of the nodes' first
// records and the nodes never in contact (20 nodes, entry 0 is no node).
TEST_F(FormingSummary, FirstContactSpan) {
    std::vector<double> records(21, NAN);
    records[1] = 2;
    records[3] = 3;
    records[5] = 4;
    const ContactSpan span = ContactSpanOf(records);
    EXPECT_EQ(span.first, 2);
    EXPECT_EQ(span.last, 4);
    EXPECT_EQ(span.neverInContact, 17);
    CProjectFixture fixture;
    const FormingFigures figures = FormingFiguresOf(Sheet(fixture.Record(2)), 0, &records);
    EXPECT_TRUE(HasLine(Text(figures), "First contact: records 2 to 4, 17 nodes never in contact"))
        << Text(figures);

    const std::vector<double> never(21, NAN);
    const FormingFigures none = FormingFiguresOf(Sheet(fixture.Record(2)), 0, &never);
    EXPECT_TRUE(HasLine(Text(none), "First contact: none, 20 nodes never in contact")) << Text(none);
}
