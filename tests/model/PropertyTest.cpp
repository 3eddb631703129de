// Properties that every generated project keeps, whatever its shape and
// size: records read back as written, cuts on their plane and on the sheet,
// thickness kept where nothing stretches.
#include "cut/CutComputation.h"
#include "model/CProjectProfile.h"
#include "model/CSheetProfile.h"
#include "model/SheetMeans.h"
#include "tests/model/ProjectFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>

using namespace quillmere;

namespace {

// A project of the sample writer: a fixture, or the cup sample when cup is
// set (cellsX x cellsY cells, records records).
struct Shape {
    const char* name;
    FixtureOptions options;
    bool cup = false;
};

void PrintTo(const Shape& shape, std::ostream* out) {
    *out << shape.name;
}

FixtureOptions Options(int records, int cellsX, int cellsY, FixtureSheet sheet = FixtureSheet::Grid) {
    FixtureOptions options;
    options.records = records;
    options.cellsX = cellsX;
    options.cellsY = cellsY;
    options.sheet = sheet;
    return options;
}

const Shape Shapes[] = {
    {"Flat", Options(3, 4, 3)},
    {"Cup", Options(4, 16, 12), true},
    {"LShaped", Options(3, 4, 4, FixtureSheet::LShape)},
    {"Nodes65536", Options(1, 255, 255)}, // the first count with wide node numbers
    {"OneRecord", Options(1, 6, 5)},
    {"ManyRecords", Options(12, 3, 2)},
};

// Counts the mismatches of a property over many items and tells the first.
class CMismatches {
public:
    template <typename A, typename B>
    void Expect(const A& actual, const B& expected, const char* what, size_t at) {
        if (actual == expected)
            return;
        if (count++ == 0)
            first << what << " of " << at << ": " << actual << " instead of " << expected;
    }
    ::testing::AssertionResult None() const {
        if (count == 0)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << count << " mismatches, first " << first.str();
    }

private:
    size_t count = 0;
    std::ostringstream first;
};

// Whether p lies within tol of the triangle abc: near its plane and no
// farther than tol outside any of its edges.
bool OnTriangle(const CCoordinate& p, const CCoordinate& a, const CCoordinate& b, const CCoordinate& c,
                double tol) {
    const CCoordinate u = b - a, v = c - a, w = p - a, n = Cross(u, v);
    const double twiceArea = Norm(n);
    if (std::fabs(Dot(w, n)) > tol * twiceArea)
        return false;
    const double s = Dot(Cross(w, v), n) / (twiceArea * twiceArea);
    const double t = Dot(Cross(u, w), n) / (twiceArea * twiceArea);
    // A barycentric coordinate times its altitude is the distance to the edge.
    return s * twiceArea / Norm(v) >= -tol && t * twiceArea / Norm(u) >= -tol &&
           (1 - s - t) * twiceArea / Norm(c - b) >= -tol;
}

class GeneratedProject : public ::testing::TestWithParam<Shape> {
protected:
    void SetUp() override {
        const Shape& shape = GetParam();
        std::string path;
        if (shape.cup) {
            cup.cellsX = shape.options.cellsX;
            cup.cellsY = shape.options.cellsY;
            cup.records = shape.options.records;
            path = samplegen::WriteCupSample(folder.Path(), cup);
        } else {
            fixture = std::make_unique<CProjectFixture>(shape.options);
            path = fixture->ProjectPath();
        }
        ASSERT_TRUE(project.Open(path, nullptr)) << path;
        ASSERT_EQ(project.RecordCount(), shape.options.records);
    }

    samplegen::RecordData Written(int index) const {
        return GetParam().cup ? samplegen::CupRecord(cup, index) : fixture->Record(index);
    }
    // The sheet of a 0-based record.
    const CSheetProfile& Load(int index) {
        EXPECT_TRUE(project.GoToRecord(index + 1));
        return *project.Sheet();
    }
    // The cup is flat in its first record only; the fixtures' sheets only
    // rise from record to record.
    int UnstretchedRecords() const { return GetParam().cup ? 1 : project.RecordCount(); }

    CTempFolder folder;
    samplegen::CupOptions cup;
    std::unique_ptr<CProjectFixture> fixture;
    CProjectProfile project;
};

TEST_P(GeneratedProject, EveryRecordReadsBackAsWritten) {
    for (int r = 0; r < project.RecordCount(); ++r) {
        const CSheetProfile& sheet = Load(r);
        const CSheetMesh& mesh = sheet.Mesh();
        const CRecordValues& values = sheet.Values();
        const samplegen::RecordData written = Written(r);
        ASSERT_EQ(sheet.NodeCount(), written.NodeCount()) << "record " << r;
        ASSERT_EQ(sheet.ElementCount(), written.ElementCount()) << "record " << r;
        EXPECT_EQ(mesh.SymmetryName(), written.symmetryName);
        EXPECT_EQ(values.toolPositions, written.toolPositions);
        CMismatches nodes;
        for (size_t n = 0; n < written.current.size(); ++n) {
            const int node = static_cast<int>(n) + 1;
            for (const auto& [read, was] : {std::pair{sheet.CurrentCoordinate(node), written.current[n]},
                                            {mesh.ReferenceCoordinate(node), written.reference[n]}})
                for (const auto& [a, b] : {std::pair{read.x, was.x}, {read.y, was.y}, {read.z, was.z}})
                    nodes.Expect(static_cast<float>(a), static_cast<float>(b), "coordinate", n);
            for (int tool = 0; tool < kToolSlots; ++tool)
                nodes.Expect(values.ContactFlag(node, tool), written.contactTool[n] == tool ? 0 : 1,
                             "contact", n);
            nodes.Expect(mesh.NodeCode(node), int{written.nodeCode[n]}, "code", n);
            nodes.Expect(mesh.NodePlaneIndex(node), int{written.planeIndex[n]}, "plane", n);
            nodes.Expect(values.NodeConditions(node), written.conditions[n], "conditions", n);
        }
        EXPECT_TRUE(nodes.None()) << "record " << r;
        CMismatches elements;
        for (size_t e = 0; e < written.elements.size(); ++e) {
            const CElementValues& read = values.elements[e];
            const samplegen::RecordElement& element = written.elements[e];
            for (size_t k = 0; k < 3; ++k)
                elements.Expect(mesh.Nodes(e)[k], element.nodes[k], "node", e);
            elements.Expect(mesh.ElementId(e), element.id, "id", e);
            elements.Expect(read.InitialThickness, double{element.initialThickness}, "thickness", e);
            elements.Expect(read.Temperature, double{element.temperature}, "temperature", e);
            elements.Expect(read.PrincipalStress1, double{element.stress1}, "stress 1", e);
            elements.Expect(read.PrincipalStress2, double{element.stress2}, "stress 2", e);
            elements.Expect(read.ThirdStress, double{element.stress3}, "stress 3", e);
        }
        EXPECT_TRUE(elements.None()) << "record " << r;
    }
}

// Planes along x and y (and z where the sheet has depth) through the middle,
// where they meet grid lines and so whole edges, and off it.
TEST_P(GeneratedProject, CutPointsLieOnThePlaneAndOnTheSheet) {
    const CSheetProfile& sheet = Load(project.RecordCount() - 1);
    const std::array<double, 6>& box = sheet.BoundingBox();
    // Cut points may snap to a node this close to the plane.
    const double tol = sheet.SheetSize() / sheet.ElementCount() * 0.1 + 1e-9 * sheet.SheetSize();
    for (int axis = 0; axis < 3; ++axis) {
        const double low = box[static_cast<size_t>(2 * axis)], high = box[static_cast<size_t>(2 * axis + 1)];
        if (high - low < 0.01 * sheet.SheetSize())
            continue;
        for (double share : {0.5, 0.31}) {
            const CCutPlane plane = CCutPlane::AtAxis(axis, 1000 * (low + share * (high - low)));
            const CCutSegments cut = ComputeCut(sheet, plane, ResultQuantity::Thickness);
            ASSERT_GT(cut.size(), 0u) << "axis " << axis << " at " << share;
            CMismatches off;
            for (size_t k = 0; k < cut.size(); ++k) {
                const CAbscisse& piece = cut[k];
                const auto elementOf = [&](size_t at) { return static_cast<size_t>(cut[at].ElementIndex); };
                const auto on = [&](const CCoordinate& p, size_t e) {
                    return OnTriangle(p, sheet.CurrentCorner(e, 0), sheet.CurrentCorner(e, 1),
                                      sheet.CurrentCorner(e, 2), tol);
                };
                for (const CCoordinate* p : {&piece.Start, &piece.End}) {
                    const double distance = plane.a * p->x + plane.b * p->y + plane.c * p->z + plane.d;
                    off.Expect(std::fabs(distance) <= tol, true, "on the plane", k);
                }
                // A piece runs across its element; a connector to the next.
                const bool next = k + 1 < cut.size() && on(piece.End, elementOf(k + 1));
                off.Expect(on(piece.Start, elementOf(k)), true, "start on the sheet", k);
                off.Expect(on(piece.End, elementOf(k)) || next, true, "end on the sheet", k);
                if (k + 1 < cut.size())
                    off.Expect(Norm(cut[k + 1].Start - piece.End), 0.0, "gap after", k);
            }
            EXPECT_TRUE(off.None()) << "axis " << axis << " at " << share;
        }
    }
}

TEST_P(GeneratedProject, AnUnstretchedSheetKeepsItsThickness) {
    for (int r = 0; r < UnstretchedRecords(); ++r) {
        const CSheetProfile& sheet = Load(r);
        const BigArray<CElementValues>& values = sheet.Values().elements;
        CMismatches changed;
        for (size_t e = 0; e < values.size(); ++e)
            changed.Expect(std::fabs(sheet.Derived().elements[e].Thickness / values[e].InitialThickness - 1) <
                               1e-9,
                           true, "element", e);
        for (int node = 1; node <= sheet.NodeCount(); ++node) {
            const double initial =
                values[static_cast<size_t>(*sheet.NodeElements(node).begin())].InitialThickness;
            changed.Expect(std::fabs(NodeAverageThickness(sheet, node) / initial - 1) < 1e-9, true, "node",
                           static_cast<size_t>(node));
        }
        // The profile along a cut shows it too.
        const std::array<double, 6>& box = sheet.BoundingBox();
        const CCutSegments cut = ComputeCut(sheet, CCutPlane::AtAxis(0, 1000 * (0.6 * box[0] + 0.4 * box[1])),
                                            ResultQuantity::Thickness);
        ASSERT_GT(cut.size(), 0u);
        for (size_t k = 0; k < cut.size(); ++k) {
            const double initial = values[static_cast<size_t>(cut[k].ElementIndex)].InitialThickness;
            changed.Expect(std::fabs(cut[k].Value / initial - 1) < 1e-9, true, "cut piece", k);
        }
        EXPECT_TRUE(changed.None()) << "record " << r;
    }
}

std::string ShapeName(const ::testing::TestParamInfo<Shape>& shape) {
    return shape.param.name;
}

INSTANTIATE_TEST_SUITE_P(SampleWriter, GeneratedProject, ::testing::ValuesIn(Shapes), ShapeName);

} // namespace
