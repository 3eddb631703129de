#include "model/CDataBase.h"
#include "model/CDataString.h"
#include "model/Vectors.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace quillmere;

namespace {

struct Counted {
    explicit Counted(int* counter) : live(counter) { ++*live; }
    virtual ~Counted() { --*live; }
    int* live;
};

std::vector<std::string> TokensOf(const std::string& line) {
    CDataString tokens(10, 10);
    tokens.Tokenize(line);
    std::vector<std::string> result;
    for (int i = 0; i < tokens.Count(); ++i)
        result.push_back(tokens.TokenAt(i));
    return result;
}

} // namespace

TEST(DataBase, GrowsByItsStepAndKeepsTheOrder) {
    int live = 0;
    CDataBase<Counted> records(10, 10);
    std::vector<Counted*> added;
    for (int i = 0; i < 11; ++i) {
        added.push_back(new Counted(&live));
        records.Add(added.back());
    }
    EXPECT_EQ(records.Capacity(), 20);
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(records.At(i), added[static_cast<size_t>(i)]);
    records.AddUnique(added[3]);
    EXPECT_EQ(records.Count(), 11);
}

TEST(DataBase, RemovesOnlyValidIndicesAndOwnsItsRecords) {
    int live = 0;
    {
        CDataBase<Counted> records(2, 1);
        records.Add(new Counted(&live));
        records.Add(nullptr);
        records.Add(new Counted(&live));
        records.RemoveAt(3);
        records.RemoveAt(-1);
        EXPECT_EQ(records.Count(), 3);
        records.RemoveAt(0);
        EXPECT_EQ(live, 1);
        EXPECT_EQ(records.At(0), nullptr);
    }
    EXPECT_EQ(live, 0);
}

TEST(DataBase, ResetForgetsWithoutDestroying) {
    int live = 0;
    Counted kept(&live);
    CDataBase<Counted> references(4, 4);
    references.Add(&kept);
    references.Reset();
    EXPECT_EQ(references.Count(), 0);
    EXPECT_EQ(live, 1);
}

TEST(Tokenizer, SplitsAtRunsOfSeparators) {
    EXPECT_EQ(TokensOf("1.0,,2.0 ,\t3"), (std::vector<std::string>{"1.0", "2.0", "3"}));
    EXPECT_EQ(TokensOf("\v\r\n , "), std::vector<std::string>{});
    EXPECT_EQ(TokensOf("a-b;c"), std::vector<std::string>{"a-b;c"});
}

TEST(Tokenizer, ReadsFilesIntoOneFlatList) {
    CTempFolder folder;
    CRecordingMessages messages;
    WriteWholeFile(folder.File("empty.txt"), "");
    WriteWholeFile(folder.File("lines.txt"), "a b\r\nc,d\n\ne");
    CDataString empty(10, 10);
    EXPECT_TRUE(empty.ReadFile(folder.File("empty.txt")));
    EXPECT_EQ(empty.Count(), 0);
    CDataString lines(10, 10);
    lines.ReadFile(folder.File("lines.txt"));
    ASSERT_EQ(lines.Count(), 5);
    EXPECT_EQ(lines.TokenAt(4), "e");
    EXPECT_TRUE(messages.messages.empty());

    CDataString missing(10, 10);
    EXPECT_FALSE(missing.ReadFile(folder.File("missing.txt")));
    EXPECT_EQ(missing.Count(), 0);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text,
              "Quillmere can not read " + folder.File("missing.txt") + " to parse it!");
}

TEST(Geometry, PrismVolumeIsSignedAgainstZZero) {
    const CCoordinate a(0, 0, 1), b(1, 0, 1), c(0, 1, 1);
    EXPECT_DOUBLE_EQ(PrismVolume(a, b, c), 0.5);
    EXPECT_DOUBLE_EQ(PrismVolume(a, c, b), -0.5);
    EXPECT_DOUBLE_EQ(TriangleArea(a, b, c), 0.5);
}

TEST(Geometry, SegmentPlaneIntersections) {
    const CPlane plane = PlaneThroughPoints({0, 0, 1}, {1, 0, 1}, {0, 1, 1});
    CCoordinate point;
    EXPECT_EQ(IntersectSegmentPlane({0, 0, 0}, {0, 0, 4}, plane, 1e-9, point), OnePoint);
    EXPECT_DOUBLE_EQ(point.z, 1);
    EXPECT_EQ(IntersectSegmentPlane({0, 0, 2}, {0, 0, 4}, plane, 1e-9, point), NoIntersection);
    EXPECT_EQ(IntersectSegmentPlane({0, 0, 1}, {3, 0, 1}, plane, 1e-9, point), SegmentInPlane);
    EXPECT_EQ(IntersectSegmentPlane({5, 5, 5}, {2, 0, 1}, plane, 1e-9, point), OnePoint);
    EXPECT_DOUBLE_EQ(point.x, 2);
    EXPECT_EQ(IntersectSegmentPlane({0, 0, 0}, {1, 0, 0}, plane, 1e-9, point), NoIntersection);
}

TEST(Geometry, APlaneThroughCollinearPointsIsACriticalError) {
    CRecordingMessages messages;
    EXPECT_THROW(PlaneThroughPoints({0, 0, 0}, {1, 1, 1}, {2, 2, 2}), CCriticalError);
    EXPECT_EQ(messages.Texts(), "Critical error: Zero plane area.");
}
