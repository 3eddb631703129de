// Thinning and first contact on projects whose answers are known by hand: a
// sheet unstretched, stretched by 2 and thickened in one band, and contact
// bytes set at known records.
#include "core/TextFormat.h"
#include "messages/MessageText.h"
#include "model/CProjectProfile.h"
#include "scale/AllRecordLimits.h"
#include "scale/Comparison.h"
#include "scale/NodalValues.h"
#include "scale/ResultQuantity.h"
#include "scale/ScaleRange.h"
#include "scale/SheetColouring.h"
#include "tests/model/ProjectFixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

using namespace quillmere;

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

FixtureOptions Records(int records) {
    FixtureOptions options;
    options.records = records;
    return options;
}

// Writes the fixture's records again, as edit makes them of each (0-based).
void Rewrite(CProjectFixture& fixture, int records,
             const std::function<void(samplegen::RecordData&, int)>& edit) {
    for (int r = 0; r < records; ++r) {
        samplegen::RecordData record = fixture.Record(r);
        edit(record, r);
        EXPECT_TRUE(samplegen::WriteRecordFile(fixture.File(FormatText("fixture.%03d", r)), record));
    }
}

// Equal numbers, or both NaN.
void ExpectSame(double actual, double expected, const std::string& what) {
    if (std::isnan(expected))
        EXPECT_TRUE(std::isnan(actual)) << what << ": " << actual;
    else
        EXPECT_EQ(actual, expected) << what;
}

// Record 1 as written; record 2 stretched by 2 along x; record 3 with its
// half x < 0 pressed to half its width (twice as thick), the rest as written.
class ThinningTest : public ::testing::Test {
protected:
    ThinningTest() {
        Rewrite(fixture, 3, [](samplegen::RecordData& record, int r) {
            for (samplegen::Vec3& node : record.current)
                if (r == 1 || (r == 2 && node.x < 0))
                    node.x *= r == 1 ? 2 : 0.5;
        });
        EXPECT_TRUE(project.Open(fixture.ProjectPath(), nullptr)) << messages.Texts();
    }

    const CSheetProfile& Record(int record) {
        EXPECT_TRUE(project.GoToRecord(record)) << messages.Texts();
        return *project.Sheet();
    }

    CRecordingMessages messages;
    CProjectFixture fixture{Records(3)};
    CProjectProfile project;
};

TEST_F(ThinningTest, UniformStretchByTwoThinsEveryElementAndNodeByHalf) {
    const CSheetProfile& sheet = Record(2);
    for (size_t e = 0; e < static_cast<size_t>(sheet.ElementCount()); ++e)
        EXPECT_NEAR(ElementValue(sheet, e, ResultQuantity::Thinning), 50, 1e-9) << e;
    const std::vector<double> nodes = NodalValues(sheet, ResultQuantity::Thinning);
    for (size_t n = 1; n < nodes.size(); ++n)
        EXPECT_NEAR(nodes[n], 50, 1e-9) << n;
    const ScaleRange range = ComputeScaleRange(sheet, ResultQuantity::Thinning, ScaleLimits());
    EXPECT_NEAR(range.minimum, 50, 1e-9);
    EXPECT_NEAR(range.maximum, 50, 1e-9);
}

TEST_F(ThinningTest, UnstretchedSheetHasNone) {
    const CSheetProfile& sheet = Record(1);
    const ScaleRange range = ComputeScaleRange(sheet, ResultQuantity::Thinning, ScaleLimits());
    EXPECT_EQ(range.minimum, 0);
    EXPECT_EQ(range.maximum, 0);
    for (double value : NodalValues(sheet, ResultQuantity::Thinning))
        EXPECT_TRUE(std::isnan(value) || value == 0) << value;
}

// Thickened is negative thinning; its limits are the values' own (no cap
// at the initial thickness as for thickness), and high thinning is red.
TEST_F(ThinningTest, ThickenedBandIsNegativeThereAndTheHighestThinningRed) {
    const CSheetProfile& sheet = Record(3);
    for (size_t e = 0; e < static_cast<size_t>(sheet.ElementCount()); ++e) {
        const double x =
            sheet.CurrentCorner(e, 0).x + sheet.CurrentCorner(e, 1).x + sheet.CurrentCorner(e, 2).x;
        EXPECT_NEAR(ElementValue(sheet, e, ResultQuantity::Thinning), x < 0 ? -100 : 0, 1e-9) << e;
    }
    const ScaleRange range = ComputeScaleRange(sheet, ResultQuantity::Thinning, ScaleLimits());
    EXPECT_NEAR(range.minimum, -100, 1e-9);
    EXPECT_NEAR(range.maximum, 0, 1e-9);
    const NodeColouring colouring = ColourNodes(sheet, ResultQuantity::Thinning, ScaleLimits());
    // Node 1 stands in the band, node 5 at the other end of the first row.
    EXPECT_NEAR(colouring.values[1], -100, 1e-9);
    EXPECT_EQ(colouring.indices[1], ColourRamp::LastIndex);
    EXPECT_NEAR(colouring.values[5], 0, 1e-9);
    EXPECT_EQ(colouring.indices[5], 0);
}

constexpr int ContactRecords = 4;

// The slot each node touches at each record (255: none). Nodes 1 and 10
// touch from record 2 on, node 6 at record 3 only with the last slot, node
// 20 at records 1 and 4, node 5 at record 4, when the one element it has
// touched already with node 10; node 11's byte 10 names no slot: it never
// touches, as no other node does.
uint8_t ContactAt(size_t node, int record) {
    if ((node == 1 || node == 10) && record >= 2)
        return 0;
    if (node == 5 && record == 4)
        return 1;
    if (node == 6 && record == 3)
        return 9;
    if (node == 20 && (record == 1 || record == 4))
        return 4;
    return node == 11 ? 10 : 255;
}

std::vector<double> ExpectedFirstContact(size_t nodes) {
    std::vector<double> first(nodes + 1, NaN);
    first[1] = first[10] = 2;
    first[6] = 3;
    first[5] = 4;
    first[20] = 1;
    return first;
}

class FirstContactTest : public ::testing::Test {
protected:
    FirstContactTest() {
        Rewrite(fixture, ContactRecords, [](samplegen::RecordData& record, int r) {
            record.contactTool.resize(record.current.size());
            for (size_t n = 0; n < record.contactTool.size(); ++n)
                record.contactTool[n] = ContactAt(n + 1, r + 1);
        });
    }

    CRecordingMessages messages;
    CProjectFixture fixture{Records(ContactRecords)};
    const std::atomic<bool> cancel{false};
};

TEST_F(FirstContactTest, ContactBytesGiveTheirRecordsAndNoneWhereNeverTouched) {
    std::vector<std::pair<int, int>> calls;
    const FirstContactScan scan = ComputeFirstContact(
        fixture.ProjectPath(), ContactRecords, 20,
        [&](int done, int count) {
            calls.push_back({done, count});
        },
        cancel);
    ASSERT_EQ(scan.outcome, AllRecordLimits::Done) << scan.failure;
    const std::vector<double> expected = ExpectedFirstContact(20);
    ASSERT_EQ(scan.records->size(), expected.size());
    for (size_t n = 1; n < expected.size(); ++n)
        ExpectSame((*scan.records)[n], expected[n], FormatText("node %zu", n));
    EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{1, 4}, {2, 4}, {3, 4}, {4, 4}}));
}

// Given to the project, it is what every view of it shows at every record:
// the nodes' own records, grey where never touched, limits from the first
// to the last first contact, an element's earliest corner.
TEST_F(FirstContactTest, TheProjectShowsItAtEveryRecord) {
    CProjectProfile project;
    ASSERT_TRUE(project.Open(fixture.ProjectPath(), nullptr)) << messages.Texts();
    EXPECT_TRUE(std::isnan(NodalValues(*project.Sheet(), ResultQuantity::FirstContact)[1]));
    Message failure;
    ASSERT_TRUE(EnsureFirstContact(project, failure)) << failure;
    const std::vector<double> expected = ExpectedFirstContact(20);
    for (int record : {1, 3}) {
        ASSERT_TRUE(project.GoToRecord(record)) << messages.Texts();
        const CSheetProfile& sheet = *project.Sheet();
        const NodeColouring colouring = ColourNodes(sheet, ResultQuantity::FirstContact, ScaleLimits());
        for (size_t n = 1; n < expected.size(); ++n) {
            ExpectSame(colouring.values[n], expected[n], FormatText("node %zu", n));
            if (std::isnan(expected[n])) {
                EXPECT_EQ(colouring.indices[n], ColourRamp::NoValue) << n;
            }
        }
        // The last to touch is red, the first blue.
        EXPECT_EQ(colouring.indices[5], 0);
        EXPECT_EQ(colouring.indices[20], ColourRamp::LastIndex);
        const ScaleRange range = ComputeScaleRange(sheet, ResultQuantity::FirstContact, ScaleLimits());
        EXPECT_EQ(std::make_pair(range.minimum, range.maximum), std::make_pair(1.0, 4.0));
        // Element 1 has nodes 1, 7 and 6; element 4 (nodes 3, 4, 9) none
        // that touches.
        EXPECT_EQ(ElementValue(sheet, 1, ResultQuantity::FirstContact), 2);
        EXPECT_TRUE(std::isnan(ElementValue(sheet, 4, ResultQuantity::FirstContact)));
    }
    const AllRecordLimits all = ComputeAllRecordLimits(fixture.ProjectPath(), ContactRecords,
                                                       ResultQuantity::FirstContact, nullptr, cancel);
    ASSERT_EQ(all.outcome, AllRecordLimits::Done) << all.failure;
    EXPECT_EQ(std::make_pair(all.range.minimum, all.range.maximum), std::make_pair(1.0, 4.0));
}

TEST_F(FirstContactTest, ARecordThatCannotBeUsedOrCancelStopsIt) {
    const std::atomic<bool> stop{true};
    EXPECT_EQ(ComputeFirstContact(fixture.ProjectPath(), ContactRecords, 20, nullptr, stop).outcome,
              AllRecordLimits::Cancelled);
    samplegen::RecordData other = samplegen::MakeGridRecord(2, 2, 0.2, 0.1);
    ASSERT_TRUE(samplegen::WriteRecordFile(fixture.File("fixture.002"), other));
    FirstContactScan scan = ComputeFirstContact(fixture.ProjectPath(), ContactRecords, 20, nullptr, cancel);
    EXPECT_EQ(scan.outcome, AllRecordLimits::Failed);
    EXPECT_NE(
        MessageText(scan.failure).find("fixture.002 cannot be used: its mesh is not the project's mesh"),
        std::string::npos)
        << scan.failure;
    EXPECT_EQ(scan.records, nullptr);
    std::remove(fixture.File("fixture.001").c_str());
    scan = ComputeFirstContact(fixture.ProjectPath(), ContactRecords, 20, nullptr, cancel);
    EXPECT_EQ(scan.outcome, AllRecordLimits::Failed);
    EXPECT_NE(MessageText(scan.failure).find("Unable to read from the"), std::string::npos) << scan.failure;
}

// Another record of the same project: the same first contact, so 0 where a
// node touches and no value where it never does, whether the reference's
// came with the project or after the comparison started.
TEST_F(FirstContactTest, ComparedWithItsOwnProjectTheDifferenceIsZero) {
    CProjectProfile project;
    ASSERT_TRUE(project.Open(fixture.ProjectPath(), nullptr)) << messages.Texts();
    Message failure;
    CComparison late(project, project, 1);
    ASSERT_TRUE(late.Prepare(*project.Sheet(), ContactRecords, failure)) << failure;
    ASSERT_TRUE(EnsureFirstContact(project, failure)) << failure;
    late.SetReferenceFirstContact(project.Sheet()->FirstContact());
    CComparison early(project, project, 2);
    ASSERT_TRUE(early.Prepare(*project.Sheet(), ContactRecords, failure)) << failure;
    const std::vector<double> expected = ExpectedFirstContact(20);
    for (CComparison* comparison : {&late, &early}) {
        std::vector<double> differences;
        comparison->FillDifferences(*project.Sheet(), ResultQuantity::FirstContact, differences);
        for (size_t n = 1; n < expected.size(); ++n)
            ExpectSame(differences[n], std::isnan(expected[n]) ? NaN : 0, FormatText("node %zu", n));
        EXPECT_EQ(comparison->ElementDifference(*project.Sheet(), 1, ResultQuantity::FirstContact), 0);
    }
}

} // namespace
