#include "config/CConfiguration.h"
#include "model/Texts.h"
#include "scale/Comparison.h"
#include "scale/ResultQuantity.h"
#include "session/CSession.h"
#include "session/CSessionView.h"
#include "tests/model/ProjectFixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

using namespace quillmere;

namespace {

// The fixture project, and a variant whose record r is 10 + 2r degrees
// warmer everywhere.
class SessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int r = 0; r < 3; ++r) {
            samplegen::RecordData record = warmer.Record(r);
            for (samplegen::RecordElement& element : record.elements)
                element.temperature += static_cast<float>(10 + 2 * r);
            ASSERT_TRUE(
                samplegen::WriteRecordFile(samplegen::RecordFileName(warmer.ProjectPath(), r), record));
        }
        ASSERT_TRUE(session.Open(fixture.ProjectPath(), nullptr));
        ASSERT_TRUE(reference.Open(warmer.ProjectPath(), nullptr));
    }

    // A cut across the sheet at x = 12.5 mm of the temperature.
    CCutSession& StartTemperatureCut() {
        CCutSession& cut = session.StartCut();
        cut.Position = 12.5;
        cut.ProfileQuantity = ResultQuantity::Temperature;
        return cut;
    }

    // The values of the pieces of the cut the views draw.
    std::vector<double> CutValues() const {
        std::vector<double> values;
        for (const CAbscisse& piece : *session.CutLine())
            values.push_back(piece.Value);
        return values;
    }

    CRecordingMessages messages;
    CProjectFixture fixture, warmer;
    CConfiguration configuration{fixture.File("q.cfg")};
    CSession session;
    CProjectProfile reference;
};

// The session reads a record only when its sheet holds another, and goes to
// none outside the project's records.
TEST_F(SessionTest, ShowRecordReadsOnlyAnotherRecordOfTheProject) {
    const uint64_t values = session.Sheet()->ValuesGeneration();
    EXPECT_TRUE(session.ShowRecord(3));
    EXPECT_EQ(session.Sheet()->ValuesGeneration(), values);
    for (int record : {0, 4}) {
        EXPECT_FALSE(session.ShowRecord(record));
        EXPECT_EQ(messages.Texts(), MessageText(MessageId::InvalidRecordNumber));
        messages.messages.clear();
    }
    EXPECT_TRUE(session.ShowRecord(1));
    EXPECT_EQ(session.Project().CurrentRecord(), 1);
    EXPECT_NE(session.Sheet()->ValuesGeneration(), values);
}

// The cut of a comparing view is of the differences to the reference record
// of the record the sheet holds when it is made.
TEST_F(SessionTest, ACutOfDifferencesFollowsTheRecordShown) {
    CCutSession& cut = StartTemperatureCut();
    cut.Comparison = std::make_shared<CComparison>(session.Project(), reference);
    Message failure;
    for (int record : {2, 3, 1}) {
        ASSERT_TRUE(session.ShowRecord(record));
        ASSERT_TRUE(session.MakeCut(configuration, failure)) << failure;
        const std::vector<double> values = CutValues();
        ASSERT_FALSE(values.empty());
        for (double value : values)
            EXPECT_NEAR(value, -(10 + 2 * (record - 1)), 1e-3) << record;
        EXPECT_EQ(cut.Made.record, record);
        EXPECT_EQ(cut.Made.recordCount, 3);
        EXPECT_TRUE(cut.Made.difference);
    }
}

// A reference that cannot be compared is dropped, with the reason, and the
// cut is of the plain values.
TEST_F(SessionTest, AReferenceOfAnotherMeshGivesThePlainCut) {
    FixtureOptions options;
    options.cellsX = 5;
    CProjectFixture otherMesh(options);
    CProjectProfile other;
    ASSERT_TRUE(other.Open(otherMesh.ProjectPath(), nullptr));
    CCutSession& cut = StartTemperatureCut();
    cut.Comparison = std::make_shared<CComparison>(session.Project(), other);
    Message failure;
    EXPECT_FALSE(session.MakeCut(configuration, failure));
    EXPECT_TRUE(failure);
    EXPECT_FALSE(cut.Comparison);
    EXPECT_FALSE(cut.Made.difference);
    ASSERT_FALSE(CutValues().empty());
    EXPECT_GT(CutValues().front(), 100); // a temperature, not a difference
}

// The views draw the cut and its mark of the values the sheet holds, and
// nothing once the cut ends or the sheet takes another record; a new cut
// starts afresh.
TEST_F(SessionTest, TheViewsDrawOnlyTheCutOfTheValuesShown) {
    Message failure;
    StartTemperatureCut().Position = 30;
    ASSERT_TRUE(session.MakeCut(configuration, failure));
    const CCoordinate point = session.CutLine()->front().Start;
    session.Cut().SetMark(&point);
    ASSERT_FALSE(session.CutLine()->empty());
    ASSERT_NE(session.CutMark(), nullptr);
    EXPECT_EQ(session.CutMark()->x, point.x);

    ASSERT_TRUE(session.ShowRecord(2));
    EXPECT_TRUE(session.CutLine()->empty());
    EXPECT_EQ(session.CutMark(), nullptr);

    ASSERT_TRUE(session.MakeCut(configuration, failure));
    session.Cut().SetMark(&point);
    session.EndCut();
    EXPECT_TRUE(session.CutLine()->empty());
    EXPECT_EQ(session.CutMark(), nullptr);
    EXPECT_EQ(session.StartCut().Position, 0);
}

// A view compares only with a reference it can prepare for the record
// shown, and hands the reading of the record to come to a job.
TEST_F(SessionTest, AViewComparesWithWhatItCanPrepare) {
    CSessionView nothing(nullptr);
    Message failure;
    EXPECT_FALSE(nothing.CompareWith(reference, CComparison::Follow, failure));
    EXPECT_EQ(nothing.Comparison(), nullptr);

    CSessionView view(&session);
    FixtureOptions options;
    options.cellsX = 5;
    CProjectFixture otherMesh(options);
    CProjectProfile other;
    ASSERT_TRUE(other.Open(otherMesh.ProjectPath(), nullptr));
    EXPECT_FALSE(view.CompareWith(other, CComparison::Follow, failure));
    EXPECT_TRUE(failure);
    EXPECT_EQ(view.Comparison(), nullptr);
    EXPECT_EQ(view.ReferencePreparation(2, ResultQuantity::Thickness), nullptr);

    auto compared = std::make_shared<CComparison>(session.Project(), reference);
    std::vector<int> read;
    compared->SetReadObserver([&read](int record) { read.push_back(record); });
    ASSERT_TRUE(view.SetComparison(compared, failure)) << failure;
    EXPECT_EQ(compared->PreparedRecord(), 3);
    const std::function<void()> preparation = view.ReferencePreparation(2, ResultQuantity::Temperature);
    ASSERT_TRUE(preparation);
    preparation();
    compared->AwaitReadAhead();
    EXPECT_EQ(read.back(), 2);
}

// A following reference whose record cannot be read stops the view's
// comparison, which says why once.
TEST_F(SessionTest, AViewStopsComparingWhenTheReferenceRecordIsGone) {
    CSessionView view(&session);
    Message failure;
    ASSERT_TRUE(view.CompareWith(reference, CComparison::Follow, failure)) << failure;
    EXPECT_TRUE(view.PrepareComparison());
    ASSERT_EQ(std::remove(warmer.File("fixture.001").c_str()), 0);
    ASSERT_TRUE(session.ShowRecord(2));
    EXPECT_FALSE(view.PrepareComparison());
    EXPECT_EQ(view.Comparison(), nullptr);
    EXPECT_NE(MessageText(view.TakeComparisonFailure()).find("fixture.001"), std::string::npos);
    EXPECT_FALSE(view.TakeComparisonFailure());
}

} // namespace
