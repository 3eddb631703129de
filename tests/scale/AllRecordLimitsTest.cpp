// "All records": the automatic limits over every record, against the limits
// of each record loaded one by one into the project.
#include "scale/AllRecordLimits.h"
#include "core/TextFormat.h"
#include "messages/MessageText.h"
#include "model/CProjectProfile.h"
#include "scale/ResultQuantity.h"
#include "scale/ScaleRange.h"
#include "tests/model/ProjectFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

using namespace quillmere;

namespace {

constexpr int Records = 4;

// Records whose extremes lie in different records: the sheet stretched along
// x by a factor of its own (0.9 squeezes it thicker than it was), the
// temperatures and stresses shifted per record and varying over the elements.
class AllRecordsTest : public ::testing::Test {
protected:
    AllRecordsTest() {
        const double stretch[Records] = {1.0, 1.4, 0.9, 1.2};
        const double shift[Records] = {25, -40, 60, 5};
        for (int r = 0; r < Records; ++r) {
            samplegen::RecordData record = fixture.Record(r);
            for (samplegen::Vec3& node : record.current)
                node.x *= stretch[r] + 0.05 * node.y;
            // Nodes touch a tool from a record of their own on.
            record.contactTool.resize(record.current.size());
            for (size_t n = 0; n < record.contactTool.size(); ++n)
                record.contactTool[n] = static_cast<int>(n % 5) <= r ? 0 : 255;
            int e = 0;
            for (samplegen::RecordElement& element : record.elements) {
                element.temperature = static_cast<float>(150 + shift[r] + (e * 7 + r * 3) % 11);
                element.stress1 = static_cast<float>(1e6 * (shift[r] + e % 5));
                element.stress2 = static_cast<float>(-2e5 * (e % 3));
                element.initialThickness = static_cast<float>(0.002 + 0.0001 * ((e + r) % 4));
                ++e;
            }
            EXPECT_TRUE(samplegen::WriteRecordFile(fixture.File(FormatText("fixture.%03d", r)), record));
        }
    }

    // The limits of each record, loaded through the project as navigation
    // loads it, folded by hand.
    ScaleRange OneByOne(ResultQuantity quantity) {
        CProjectProfile project;
        EXPECT_TRUE(project.Open(fixture.ProjectPath(), nullptr)) << messages.Texts();
        Message failure;
        EXPECT_TRUE(EnsureFirstContact(project, failure)) << failure;
        ScaleRange all{DBL_MAX, -DBL_MAX};
        for (int record = 1; record <= Records; ++record) {
            EXPECT_TRUE(project.GoToRecord(record)) << messages.Texts();
            const ScaleRange one = ComputeScaleRange(*project.Sheet(), quantity, ScaleLimits());
            all.minimum = std::min(all.minimum, one.minimum);
            all.maximum = std::max(all.maximum, one.maximum);
        }
        return all;
    }

    ScaleRange LastRecordOnly(ResultQuantity quantity) {
        CProjectProfile project;
        EXPECT_TRUE(project.Open(fixture.ProjectPath(), nullptr)) << messages.Texts();
        return ComputeScaleRange(*project.Sheet(), quantity, ScaleLimits());
    }

    CRecordingMessages messages;
    CProjectFixture fixture{[] {
        FixtureOptions options;
        options.records = Records;
        return options;
    }()};
    std::atomic<bool> cancel{false};
};

TEST_F(AllRecordsTest, EveryQuantityMatchesTheRecordsOneByOne) {
    for (ResultQuantity quantity : ValueQuantities()) {
        SCOPED_TRACE(QuantityName(quantity));
        std::vector<std::pair<int, int>> calls;
        const AllRecordLimits all = ComputeAllRecordLimits(
            fixture.ProjectPath(), Records, quantity,
            [&](int done, int count) {
                calls.push_back({done, count});
            },
            cancel);
        ASSERT_EQ(all.outcome, AllRecordLimits::Done) << all.failure;
        const ScaleRange expected = OneByOne(quantity);
        EXPECT_EQ(all.range.minimum, expected.minimum);
        EXPECT_EQ(all.range.maximum, expected.maximum);
        EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{1, 4}, {2, 4}, {3, 4}, {4, 4}}));
    }
    // The records do differ: the last one alone gives narrower limits.
    for (ResultQuantity quantity : {ResultQuantity::Thickness, ResultQuantity::Temperature,
                                    ResultQuantity::VonMises, ResultQuantity::ExtensionX}) {
        const ScaleRange last = LastRecordOnly(quantity);
        const ScaleRange all = OneByOne(quantity);
        EXPECT_TRUE(all.minimum < last.minimum || all.maximum > last.maximum) << QuantityName(quantity);
    }
    EXPECT_TRUE(messages.messages.empty()) << messages.Texts();
}

TEST_F(AllRecordsTest, NoScaleReadsNothing) {
    int calls = 0;
    const AllRecordLimits all = ComputeAllRecordLimits(
        fixture.ProjectPath(), Records, ResultQuantity::None, [&](int, int) { ++calls; }, cancel);
    EXPECT_EQ(all.outcome, AllRecordLimits::Done);
    EXPECT_EQ(all.range.minimum, 0);
    EXPECT_EQ(all.range.maximum, 0);
    EXPECT_EQ(calls, 0);
}

TEST_F(AllRecordsTest, CancelStopsBeforeTheNextRecord) {
    int calls = 0;
    const AllRecordLimits all = ComputeAllRecordLimits(
        fixture.ProjectPath(), Records, ResultQuantity::Temperature,
        [&](int done, int) {
            ++calls;
            if (done == 2)
                cancel = true;
        },
        cancel);
    EXPECT_EQ(all.outcome, AllRecordLimits::Cancelled);
    EXPECT_EQ(calls, 2);
}

TEST_F(AllRecordsTest, MissingOrForeignRecordFailsWithItsName) {
    ASSERT_EQ(std::remove(fixture.File("fixture.001").c_str()), 0);
    AllRecordLimits all =
        ComputeAllRecordLimits(fixture.ProjectPath(), Records, ResultQuantity::Temperature, nullptr, cancel);
    EXPECT_EQ(all.outcome, AllRecordLimits::Failed);
    EXPECT_NE(MessageText(all.failure).find("fixture.001"), std::string::npos) << all.failure;

    // A record of another mesh cannot be compared with the others.
    EXPECT_TRUE(
        samplegen::WriteRecordFile(fixture.File("fixture.001"), samplegen::MakeGridRecord(2, 2, 0.2, 0.1)));
    all =
        ComputeAllRecordLimits(fixture.ProjectPath(), Records, ResultQuantity::Temperature, nullptr, cancel);
    EXPECT_EQ(all.outcome, AllRecordLimits::Failed);
    EXPECT_NE(MessageText(all.failure).find("fixture.001"), std::string::npos) << all.failure;
    EXPECT_TRUE(messages.messages.empty()) << messages.Texts();
}

} // namespace
