#include "CutChain.h"
#include "CCutPlane.h"
#include "CutTestSupport.h"

#include <gtest/gtest.h>

#include <random>

using namespace cuttest;

namespace {

bool Near(const CCoordinate& a, const CCoordinate& b, double tolerance) {
    return Norm(a - b) < tolerance;
}

bool Same(const CCoordinate& a, const CCoordinate& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// The tracing rules scanned the slow, obvious way, to hold the indexed
// search to.
std::vector<CutSegment> ReferenceUnique(const std::vector<CutSegment>& s) {
    std::vector<CutSegment> unique;
    for (size_t i = 0; i < s.size(); ++i) {
        bool skip = Norm(s[i].P1 - s[i].P0) < 1e-11;
        for (size_t j = i + 1; j < s.size() && !skip; ++j)
            skip = (Near(s[j].P0, s[i].P0, 1e-10) && Near(s[j].P1, s[i].P1, 1e-10)) ||
                   (Near(s[j].P0, s[i].P1, 1e-10) && Near(s[j].P1, s[i].P0, 1e-10));
        if (!skip)
            unique.push_back(s[i]);
    }
    return unique;
}

std::vector<CutSegment> ReferenceChain(const std::vector<CutSegment>& u) {
    if (u.empty())
        return {};
    std::vector<bool> visited(u.size());
    visited[0] = true;
    const auto follow = [&](CCoordinate point, std::vector<CutSegment>& list) {
        for (;;) {
            size_t k = 0;
            bool atP0 = false;
            for (; k < u.size(); ++k)
                if (!visited[k] && ((atP0 = Near(u[k].P0, point, 1e-11)) || Near(u[k].P1, point, 1e-11)))
                    break;
            if (k == u.size())
                return;
            visited[k] = true;
            list.push_back(u[k]);
            point = atP0 ? u[k].P1 : u[k].P0;
        }
    };
    std::vector<CutSegment> f{u[0]}, b;
    follow(u[0].P1, f);
    follow(u[0].P0, b);
    for (size_t i = 1; i < f.size(); ++i)
        if (!Near(f[i].P0, f[i - 1].P1, 1e-11))
            std::swap(f[i].P0, f[i].P1);
    for (size_t i = 0; i < b.size(); ++i)
        if (!Near(b[i].P1, i == 0 ? f[0].P0 : b[i - 1].P0, 1e-11))
            std::swap(b[i].P0, b[i].P1);
    std::vector<CutSegment> chain(b.rbegin(), b.rend());
    chain.insert(chain.end(), f.begin(), f.end());
    return chain;
}

void ExpectSamePieces(const std::vector<CutSegment>& actual, const std::vector<CutSegment>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].ElementIndex, expected[i].ElementIndex) << "piece " << i;
        EXPECT_EQ(actual[i].ElementNumber, expected[i].ElementNumber) << "piece " << i;
        EXPECT_TRUE(Same(actual[i].P0, expected[i].P0) && Same(actual[i].P1, expected[i].P1))
            << "piece " << i;
    }
}

} // namespace

// A triangle's points after thinning: the piece it yields, if any.
struct TriangleCase {
    int axis;
    CCoordinate v0, v1, v2;
    std::vector<CCoordinate> expected;
};

class TrianglePiece : public ::testing::TestWithParam<TriangleCase> {};

TEST_P(TrianglePiece, FollowsTheEdgeOrderAndKeepsTheLastOfCoincidentPoints) {
    const TriangleCase& c = GetParam();
    CCoordinate points[4];
    const int count = RemoveCoincidentPoints(
        points, IntersectTriangle(CCutPlane::AtAxis(c.axis, 0), c.v0, c.v1, c.v2, points));
    ASSERT_EQ(static_cast<size_t>(count), c.expected.size());
    for (int i = 0; i < count; ++i)
        EXPECT_TRUE(Same(points[i], c.expected[static_cast<size_t>(i)])) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrianglePiece,
    ::testing::Values(TriangleCase{0, {-1, 0, 0}, {1, 0, 0}, {1, 2, 0}, {{0, 0, 0}, {0, 1, 0}}},
                      TriangleCase{0, {1, 0, 0}, {2, 0, 0}, {1, 1, 0}, {}},
                      // In the plane: the first edge only.
                      TriangleCase{2, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {{0, 0, 0}, {1, 0, 0}}},
                      // V0 and V2 within 1e-11 of the plane give V0, V2, V2, V0.
                      TriangleCase{
                          0, {5e-12, 0, 0}, {1, 0, 0}, {-5e-12, 1, 0}, {{-5e-12, 1, 0}, {5e-12, 0, 0}}},
                      // Through V1: the vertex from both its edges, thinned to one.
                      TriangleCase{1, {0, 1, 0}, {1, 0, 0}, {0, -1, 0}, {{1, 0, 0}, {0, 0, 0}}}));

TEST(BarycentricWeights, AreTheAreaShareOfEachCornerWithinZeroToOne) {
    const CCoordinate v1{0, 0, 0}, v2{2, 0, 0}, v3{0, 2, 0};
    const BarycentricResult middle = BarycentricWeights(v1, v2, v3, {1, 0, 0});
    EXPECT_DOUBLE_EQ(middle.w1, 0.5);
    EXPECT_DOUBLE_EQ(middle.w2, 0.5);
    const BarycentricResult outside = BarycentricWeights(v1, v2, v3, {3, 3, 0});
    for (double w : {outside.w1, outside.w2, outside.w3})
        EXPECT_TRUE(w >= 0 && w <= 1) << w;
}

// The indexed search against the slow one on sheets and planes that give
// duplicates, nodes on the plane, holes and element orders of every kind.
struct TraceCase {
    const char* name;
    std::function<RecordData()> record;
    CCutPlane plane;
};

class TraceMatchesReference : public ::testing::TestWithParam<TraceCase> {};

TEST_P(TraceMatchesReference, PiecesChainAndPins) {
    CSheetFiles files;
    const auto sheet = files.Read(GetParam().record());
    const CCutPlane plane = GetParam().plane;
    std::vector<CutSegment> pieces;
    for (size_t i = 0; i < sheet->Elements().size(); ++i) {
        const CElementProfile& e = sheet->Elements()[i];
        CCoordinate p[4];
        const int count = IntersectTriangle(plane, sheet->CurrentCorner(e, 0), sheet->CurrentCorner(e, 1),
                                            sheet->CurrentCorner(e, 2), p);
        if (RemoveCoincidentPoints(p, count) == 2)
            pieces.push_back({e.ElementId, static_cast<int32_t>(i), p[0], p[1]});
    }
    ExpectSamePieces(ElementPieces(plane, *sheet), pieces);
    const std::vector<CutSegment> unique = RemoveDuplicatePieces(pieces);
    ExpectSamePieces(unique, ReferenceUnique(pieces));
    const std::vector<CutSegment> chain = ChainPieces(unique);
    ExpectSamePieces(chain, ReferenceChain(unique));
    ASSERT_FALSE(chain.empty());

    std::vector<CPinCut> pins(3);
    TraceCutChain(plane, *sheet, pins);
    ASSERT_EQ(pins.size(), 2 * chain.size());
    for (size_t i = 0; i < pins.size(); ++i) {
        EXPECT_EQ(pins[i].ElementIndex, chain[i / 2].ElementIndex);
        EXPECT_TRUE(Same(pins[i].Point, i % 2 ? chain[i / 2].P1 : chain[i / 2].P0));
        EXPECT_EQ(pins[i].Mark, 0x00FFFFFFu);
    }
}

RecordData WithHole() {
    RecordData record = samplegen::MakeGridRecord(8, 8, 0.25, 0.25);
    // Cells 3 .. 4 of rows 3 .. 4 go; the ids of the rest keep their gaps.
    std::vector<samplegen::RecordElement> kept;
    for (size_t e = 0; e < record.elements.size(); ++e) {
        const size_t cell = e / 2, i = cell % 8, j = cell / 8;
        if (!(i >= 3 && i <= 4 && j >= 3 && j <= 4))
            kept.push_back(record.elements[e]);
    }
    record.elements = kept;
    return record;
}

RecordData Sheared() {
    return ShapedGrid(8, 8, 0.25, [](Vec3 p) { return Vec3{p.x + 0.5 * p.y, p.y, 0}; });
}

INSTANTIATE_TEST_SUITE_P(
    Sheets, TraceMatchesReference,
    ::testing::Values(
        TraceCase{"BentX", BentGrid, CCutPlane::AtAxis(0, 10)},
        TraceCase{"BentY", BentGrid, CCutPlane::AtAxis(1, -7)},
        TraceCase{"BentZ", BentGrid, CCutPlane::AtAxis(2, 5)},
        TraceCase{"ShuffledX", [] { return Shuffled(BentGrid(), 7); }, CCutPlane::AtAxis(0, 10)},
        TraceCase{"ShuffledZ", [] { return Shuffled(BentGrid(), 8); }, CCutPlane::AtAxis(2, 5)},
        TraceCase{"AlongSharedEdges", [] { return Shuffled(samplegen::MakeGridRecord(8, 8, 0.25, 0.25), 3); },
                  CCutPlane::AtAxis(1, 0)},
        TraceCase{"ThroughNodes", Sheared, CCutPlane::AtAxis(0, 0)},
        // Big enough to be scanned in two halves.
        TraceCase{"BigShuffled", [] { return Shuffled(samplegen::MakeGridRecord(320, 320, 0.25, 0.25), 4); },
                  CCutPlane::AtAxis(1, 10)},
        TraceCase{"ThroughAHole", WithHole, CCutPlane::AtAxis(0, 10)},
        TraceCase{"EveryElementInThePlane",
                  [] { return Shuffled(samplegen::MakeGridRecord(6, 5, 0.25, 0.25), 5); },
                  CCutPlane::AtAxis(2, 0)}),
    [](const ::testing::TestParamInfo<TraceCase>& sheet) { return std::string(sheet.param.name); });

// Pieces whose ends crowd together at distances around both tolerances and
// across the index's cell borders.
TEST(TraceIndex, MatchesTheReferenceOnCrowdedRandomPieces) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 random(seed);
        std::uniform_int_distribution<int> lattice(0, 4), kind(0, 3);
        std::uniform_real_distribution<double> unit(-1, 1);
        // Offsets of nothing, a fraction of 1e-11, about 1e-11 or about 1e-10.
        const auto offset = [&] {
            const double sign = unit(random) < 0 ? -1 : 1;
            switch (kind(random)) {
            case 0:
                return 0.0;
            case 1:
                return 5e-12 * unit(random);
            case 2:
                return sign * 1e-11 * (1 + 0.2 * unit(random));
            default:
                return sign * 1e-10 * (1 + 0.2 * unit(random));
            }
        };
        // Sites spread over a few cells of either index; the pieces join
        // them, each end within about 1e-11 of its site.
        const double origin = seed % 2 ? 0.7 : -1.7e-11 * seed;
        std::vector<CCoordinate> sites(30);
        for (CCoordinate& site : sites)
            site = CCoordinate(origin + 1.5e-10 * lattice(random) + offset(),
                               origin + 1.5e-10 * lattice(random) + offset(), 4e-11 * (seed % 3) + offset());
        std::uniform_int_distribution<size_t> pick(0, sites.size() - 1);
        const auto end = [&] {
            const CCoordinate& site = sites[pick(random)];
            return kind(random) < 2
                       ? site
                       : site + CCoordinate(4e-12 * unit(random), 4e-12 * unit(random), 4e-12 * unit(random));
        };
        std::vector<CutSegment> pieces(250);
        for (size_t i = 0; i < pieces.size(); ++i)
            pieces[i] = {static_cast<int32_t>(i + 1), static_cast<int32_t>(i), end(), end()};
        const std::vector<CutSegment> unique = RemoveDuplicatePieces(pieces);
        ExpectSamePieces(unique, ReferenceUnique(pieces));
        const std::vector<CutSegment> chain = ChainPieces(unique);
        ExpectSamePieces(chain, ReferenceChain(unique));
        if (HasFailure())
            FAIL() << "seed " << seed;
    }
}
