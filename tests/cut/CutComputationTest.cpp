// The cut of a sheet by a plane: each element's piece, the indexed search
// that thins and joins the pieces held to the slow obvious one, and the
// records of the cut.
#include "cut/CutComputation.h"
#include "config/CConfiguration.h"
#include "cut/CCutPlane.h"
#include "cut/CutChain.h"
#include "cut/ProfileGraph.h"
#include "model/CSheetProfile.h"
#include "model/SheetReading.h"
#include "scale/ResultQuantity.h"
#include "tests/support/TestSupport.h"
#include "tools/SampleWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <random>

using namespace quillmere;

using samplegen::RecordData;
using samplegen::Vec3;

namespace {

// Writes the record to a file and reads it back as a sheet.
std::unique_ptr<CSheetProfile> Read(const RecordData& record) {
    CTempFolder folder;
    EXPECT_TRUE(samplegen::WriteRecordFile(folder.File("sheet.000"), record));
    RecordError error;
    std::unique_ptr<CSheetProfile> sheet = ReadSheet(folder.File("sheet.000"), 0, nullptr, &error);
    EXPECT_TRUE(sheet) << MessageText(RecordErrorMessage(error));
    return sheet;
}

// An n x n grid over 0.25 m whose current nodes are moved by shape; the
// reference stays flat. Element e is 100 + e degrees warm, under stresses of
// 2 and -1 MPa.
RecordData Grid(int n, const std::function<Vec3(Vec3)>& shape = {}) {
    RecordData record = samplegen::MakeGridRecord(n, n, 0.25, 0.25);
    for (Vec3& node : record.current)
        node = shape ? shape(node) : node;
    for (size_t e = 0; e < record.elements.size(); ++e)
        record.elements[e].temperature = static_cast<float>(100 + e);
    for (samplegen::RecordElement& element : record.elements) {
        element.stress1 = 2e6f;
        element.stress2 = -1e6f;
    }
    return record;
}

// 8 x 8 cells bent to z = 0.3 x + 0.5 y^2: every axis cuts it.
RecordData BentGrid() {
    return Grid(8, [](Vec3 p) { return Vec3{p.x, p.y, 0.3 * p.x + 0.5 * p.y * p.y}; });
}

// 8 x 8 cells sheared so that x = 0 meets five nodes and no edge.
RecordData ShearedGrid() {
    return Grid(8, [](Vec3 p) { return Vec3{p.x + 0.5 * p.y, p.y, 0}; });
}

// The elements in a random order, their identifiers far from 1 .. E.
RecordData Shuffled(RecordData record, unsigned seed) {
    std::mt19937 random(seed);
    std::shuffle(record.elements.begin(), record.elements.end(), random);
    for (size_t e = 0; e < record.elements.size(); ++e)
        record.elements[e].id = -5000 + 3 * static_cast<int32_t>(e);
    return record;
}

CCutSegments Cut(const CSheetProfile& sheet, int axis, double millimetres,
                 ResultQuantity quantity = ResultQuantity::Temperature) {
    return ComputeCut(sheet, CCutPlane::AtAxis(axis, millimetres), quantity);
}

bool Near(const CCoordinate& a, const CCoordinate& b, double tolerance) {
    return Norm(a - b) < tolerance;
}

bool Same(const CCoordinate& a, const CCoordinate& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// A reversed record keeps its old start in Scratch.
bool Reversed(const CAbscisse& r) {
    return Same(r.Scratch, r.End);
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
    for (size_t i = 0; i < actual.size(); ++i)
        EXPECT_TRUE(actual[i].ElementIndex == expected[i].ElementIndex &&
                    actual[i].ElementNumber == expected[i].ElementNumber &&
                    Same(actual[i].P0, expected[i].P0) && Same(actual[i].P1, expected[i].P1))
            << "piece " << i;
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
    ::testing::Values(TriangleCase{0, {1, 0, 0}, {2, 0, 0}, {1, 1, 0}, {}},
                      // In the plane: the first edge only.
                      TriangleCase{2, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {{0, 0, 0}, {1, 0, 0}}},
                      // V0 and V2 within 1e-11 of the plane give V0, V2, V2, V0.
                      TriangleCase{
                          0, {5e-12, 0, 0}, {1, 0, 0}, {-5e-12, 1, 0}, {{-5e-12, 1, 0}, {5e-12, 0, 0}}},
                      // Through V1: the vertex from both its edges, thinned to one.
                      TriangleCase{1, {0, 1, 0}, {1, 0, 0}, {0, -1, 0}, {{1, 0, 0}, {0, 0, 0}}}));

struct SheetCase {
    const char* name;
    std::function<RecordData()> record;
    int axis;
    double millimetres;
    bool across = true; // else only the search is held to the reference
};

class CutOfASheet : public ::testing::TestWithParam<SheetCase> {};

// The indexed search against the slow one, then the records of the cut: from
// boundary to boundary, never turning back. That they lie on the plane and
// in their elements the generated projects' cuts show.
TEST_P(CutOfASheet, MatchesTheReferenceAndIsOneOrientedPolylineOnThePlane) {
    const SheetCase& c = GetParam();
    const auto sheet = Read(c.record());
    const CCutPlane plane = CCutPlane::AtAxis(c.axis, c.millimetres);
    std::vector<CutSegment> pieces;
    for (size_t i = 0; i < static_cast<size_t>(sheet->ElementCount()); ++i) {
        CCoordinate p[4];
        const int count = IntersectTriangle(plane, sheet->CurrentCorner(i, 0), sheet->CurrentCorner(i, 1),
                                            sheet->CurrentCorner(i, 2), p);
        if (RemoveCoincidentPoints(p, count) == 2)
            pieces.push_back({sheet->Mesh().ElementId(i), static_cast<int32_t>(i), p[0], p[1]});
    }
    ExpectSamePieces(ElementPieces(plane, *sheet), pieces);
    const std::vector<CutSegment> unique = RemoveDuplicatePieces(pieces);
    ExpectSamePieces(unique, ReferenceUnique(pieces));
    ExpectSamePieces(ChainPieces(unique), ReferenceChain(unique));
    if (!c.across)
        return;

    auto records = Cut(*sheet, c.axis, c.millimetres);
    ASSERT_GE(records.size(), 3u);
    ASSERT_EQ(records.size() % 2, 1u) << "2m - 1 records for m pieces";
    // Towards increasing y (X, Z) or x (Y).
    const auto along = [&c](const CCoordinate& p) { return c.axis == 1 ? p.x : p.y; };
    EXPECT_NEAR(along(records.front().Start), -0.125, 1e-9) << "from boundary";
    EXPECT_NEAR(along(records.back().End), 0.125, 1e-9) << "to boundary";
    const bool reversed = Reversed(records[0]);
    for (size_t i = 0; i < records.size(); ++i) {
        const CAbscisse& r = records[i];
        // The element by its position, whatever the identifiers.
        const size_t element = static_cast<size_t>(r.ElementIndex);
        EXPECT_EQ(r.ElementNumber, sheet->Mesh().ElementId(element));
        EXPECT_EQ(r.Value, sheet->Values().elements[element].Temperature);
        if (i % 2) {
            // A connector belongs to the piece before it in tracing order.
            EXPECT_LT(r.Length, 1e-11) << "connector " << i;
            EXPECT_EQ(r.ElementIndex, records[reversed ? i + 1 : i - 1].ElementIndex);
        } else {
            EXPECT_GE(r.Length, 1e-11);
            EXPECT_LT(along(r.Start), along(r.End)) << "piece " << i;
        }
    }

    CTempFolder folder;
    CConfiguration configuration(folder.File("Quillmere.cfg"));
    const CProfileGraph graph = BuildProfileGraph(records, ResultQuantity::Temperature, configuration);
    EXPECT_DOUBLE_EQ(graph.TotalArcLength, records.back().ArcEnd);
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].ArcStart, i ? records[i - 1].ArcEnd : 0);
        EXPECT_GE(records[i].ArcEnd, records[i].ArcStart);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sheets, CutOfASheet,
    ::testing::Values(SheetCase{"BentX", BentGrid, 0, 10}, SheetCase{"BentY", BentGrid, 1, -7},
                      SheetCase{"BentZ", BentGrid, 2, 5},
                      SheetCase{"ShuffledX", [] { return Shuffled(BentGrid(), 11); }, 0, -40},
                      SheetCase{"ShuffledY", [] { return Shuffled(BentGrid(), 12); }, 1, 33},
                      SheetCase{"ShuffledZ", [] { return Shuffled(BentGrid(), 13); }, 2, -2},
                      SheetCase{"ThroughNodes", ShearedGrid, 0, 0},
                      // Each piece along an edge comes from the later of its two elements.
                      SheetCase{"AlongSharedEdges", [] { return Shuffled(Grid(8), 3); }, 1, 0},
                      // Big enough to be scanned in two halves.
                      SheetCase{"BigShuffled", [] { return Shuffled(Grid(320), 4); }, 1, 10},
                      SheetCase{"EveryElementInThePlane", [] { return Shuffled(Grid(6), 5); }, 2, 0, false}),
    [](const ::testing::TestParamInfo<SheetCase>& sheet) { return std::string(sheet.param.name); });

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
            const int k = kind(random);
            return k == 0   ? 0.0
                   : k == 1 ? 5e-12 * unit(random)
                            : sign * (k == 2 ? 1e-11 : 1e-10) * (1 + 0.2 * unit(random));
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

TEST(ComputeCut, APlaneMissingTheSheetOrTouchingOneNodeGivesNothing) {
    RecordData pyramid = samplegen::MakeGridRecord(4, 4, 0.25, 0.25);
    pyramid.current[12].z = 0.0625; // the middle node
    const auto sheet = Read(pyramid);
    EXPECT_TRUE(Cut(*sheet, 0, 300).empty());
    EXPECT_FALSE(Cut(*sheet, 2, 10).empty());
    EXPECT_TRUE(Cut(*sheet, 2, 62.5).empty()) << "the previous cut must go";
}

TEST(ComputeCut, APieceTooShortCountsOnlyInTheLastElement) {
    // A thin spike beyond the grid, cut 1 mm from its tip: a piece far
    // shorter than the grid's cells.
    RecordData record = samplegen::MakeGridRecord(8, 8, 0.25, 0.25);
    const int32_t first = record.NodeCount() + 1;
    record.current.insert(record.current.end(), {{0.125, -0.01, 0}, {0.2, 0, 0}, {0.125, 0.01, 0}});
    record.elements.push_back(record.elements.back());
    record.elements.back().nodes = {first, first + 1, first + 2};
    record.CompleteNodeData();
    EXPECT_EQ(Cut(*Read(record), 0, 199).size(), 1u);
    std::rotate(record.elements.begin(), record.elements.end() - 1, record.elements.end());
    EXPECT_TRUE(Cut(*Read(record), 0, 199).empty());
}

TEST(ComputeCut, ABigSheetFindsCutsInEitherHalf) {
    const auto sheet = Read(samplegen::MakeGridRecord(320, 320, 0.25, 0.25));
    EXPECT_EQ(Cut(*sheet, 1, -120).size(), 2 * 2 * 320 - 1u);
    EXPECT_EQ(Cut(*sheet, 1, 120).size(), 2 * 2 * 320 - 1u);
}

TEST(ComputeCut, APlaneThroughAGapKeepsTheCurveOfTheFirstPiece) {
    RecordData record = Grid(8); // without rows 3 and 4: the sheet falls in two
    record.elements.erase(record.elements.begin() + 3 * 16, record.elements.begin() + 5 * 16);
    const auto sheet = Read(record);
    EXPECT_TRUE(Cut(*sheet, 1, 0).empty()) << "y = 0 lies in the gap";
    const auto records = Cut(*sheet, 0, 10);
    ASSERT_FALSE(records.empty());
    EXPECT_NEAR(records.front().Start.y, -0.125, 1e-9);
    EXPECT_NEAR(records.back().End.y, -0.125 + 3 * 0.03125, 1e-9);
}

// An L: the quadrant x > 0, y > 0 has no elements. The plane x + y = 0.15 m
// crosses the sheet's box only there; it cuts nothing, and the cut before it
// goes.
TEST(ComputeCut, APlaneThroughTheBoxButNoElementGivesNothing) {
    RecordData record = Grid(8);
    const auto inGap = [&](const samplegen::RecordElement& element) {
        Vec3 centre{0, 0, 0};
        for (int32_t node : element.nodes) {
            centre.x += record.current[static_cast<size_t>(node - 1)].x / 3;
            centre.y += record.current[static_cast<size_t>(node - 1)].y / 3;
        }
        return centre.x > 0 && centre.y > 0;
    };
    record.elements.erase(std::remove_if(record.elements.begin(), record.elements.end(), inGap),
                          record.elements.end());
    ASSERT_EQ(record.elements.size(), 3 * 32u);
    const auto sheet = Read(record);
    const auto& box = sheet->BoundingBox();
    ASSERT_GT(box[1] + box[3], 0.15); // the plane meets the box
    ASSERT_FALSE(Cut(*sheet, 0, 60).empty()) << "x = 60 mm crosses the lower arm";
    CCutPlane diagonal;
    diagonal.a = 1;
    diagonal.b = 1;
    diagonal.c = 0;
    diagonal.d = -0.15;
    EXPECT_TRUE(ComputeCut(*sheet, diagonal, ResultQuantity::Temperature).empty());
}

TEST(ComputeCut, EachAxisReversesACutRunningTheWrongWay) {
    RecordData record = samplegen::MakeGridRecord(1, 1, 0.25, 0.25);
    record.current = {{-0.125, 0.125, 0}, {0.125, 0, 0}, {-0.125, -0.125, 0}, {0.125, 0.125, 0}};
    record.elements.resize(1);
    record.elements[0].nodes = {1, 2, 3};
    const auto sheet = Read(record);
    for (int axis : {0, 1, 2}) {
        const auto records = Cut(*sheet, axis, 0);
        ASSERT_EQ(records.size(), 1u) << axis;
        const CAbscisse& r = records[0];
        EXPECT_LT(axis == 1 ? r.Start.x : r.Start.y, axis == 1 ? r.End.x : r.End.y) << axis;
        EXPECT_TRUE(Reversed(r)) << "every cut of this triangle runs the wrong way first";
    }
}

// A sheet stretched (or shrunk) in x: every value of the quantities is known.
struct QuantityCase {
    ResultQuantity quantity;
    double stretch;
    double expected;
};

class CutValues : public ::testing::TestWithParam<QuantityCase> {};

TEST_P(CutValues, AreTheQuantityInTheElementInStoredUnits) {
    const auto sheet = Read(Grid(4, [](Vec3 p) { return Vec3{GetParam().stretch * p.x, p.y, 0}; }));
    const auto records = Cut(*sheet, 1, 17, GetParam().quantity);
    ASSERT_FALSE(records.empty());
    for (const CAbscisse& r : records)
        EXPECT_NEAR(r.Value, GetParam().expected, 1e-6 * std::fabs(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Quantities, CutValues,
                         ::testing::Values(QuantityCase{ResultQuantity::Thickness, 1.25, 0.003 / 1.25},
                                           QuantityCase{ResultQuantity::VonMises, 1.25, std::sqrt(7.0)},
                                           QuantityCase{ResultQuantity::ExtensionX, 1.25, 1.25},
                                           QuantityCase{ResultQuantity::ExtensionY, 1.25, 1},
                                           QuantityCase{ResultQuantity::PlanarExtension, 1.25,
                                                        std::sqrt(1.25)},
                                           QuantityCase{ResultQuantity::StretchRatio, 1.25, 1.25},
                                           QuantityCase{ResultQuantity::StretchRatio, 1, 1},
                                           // Shrunk: the larger stretch over the smaller still.
                                           QuantityCase{ResultQuantity::StretchRatio, 0.8, 1.25}));
