// Readers on files made to hurt: what the fuzz targets found, made small.
#include "core/Memory.h"
#include "model/CMoldProfile.h"
#include "tests/support/TestSupport.h"
#include "tools/SampleWriter.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

using namespace quillmere;

namespace {

using samplegen::Vec3;

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class HostileTool : public ::testing::Test {
protected:
    std::unique_ptr<CMoldProfile> Load(const std::string& name) {
        return std::make_unique<CMoldProfile>(name, nullptr, "motion.prc", 0, folder.Path());
    }
    std::string File(const std::string& name) const { return folder.File(name); }
    CTempFolder folder;
    CRecordingMessages messages;
};

// What drawing, picking and the bounds rely on: finite vertices, a unit
// normal and a plane for every face, and finite bounds.
void ExpectSoundFaces(const CMoldProfile& tool) {
    for (size_t f = 0; f < tool.Faces().size(); ++f) {
        const CFace& face = *tool.Faces()[f];
        for (int v = 0; v < face.VertexCount(); ++v)
            ASSERT_TRUE(IsFinite(face.Vertex(v))) << "face " << f << " vertex " << v;
        ASSERT_NEAR(Norm(face.Normal()), 1, 1e-12) << "face " << f;
        ASSERT_TRUE(std::isfinite(face.Plane().offset)) << "face " << f;
    }
    for (double bound : tool.ToolBounds())
        EXPECT_TRUE(std::isfinite(bound));
}

} // namespace

TEST_F(HostileTool, ASectionTooLargeForItsAreaGivesNoFaces) {
    // fuzz_tool: "QRELL Tool 0 7E175 0 5" gave faces whose area overflowed
    // to infinity, with a zero normal.
    ASSERT_TRUE(samplegen::WriteSectionTool(File("huge.tol"), {{0, 7e175, 0, 5}}, false));
    const auto tool = Load("huge.tol");
    ExpectSoundFaces(*tool);
    EXPECT_EQ(tool->Faces().size(), 0u);
}

TEST_F(HostileTool, InfiniteOrMissingNumbersDropOnlyTheFacesTheyReach) {
    // The first ring is infinitely wide: the wall to it goes, the fan
    // closing the second ring stays.
    ASSERT_TRUE(
        samplegen::WriteSectionTool(File("wide.tol"), {{0, kInfinity, 50, 10}, {80, 100, 50, 10}}, false));
    const auto section = Load("wide.tol");
    ExpectSoundFaces(*section);
    EXPECT_EQ(section->Faces().size(), 128u);

    // A quadrilateral whose fourth vertex is infinite or not a number, beside
    // a sound triangle.
    const std::vector<Vec3> nodes{{0, 0, 0}, {10, 0, 0}, {0, 10, 0}, {kInfinity, 5, 5}, {kNaN, 0, 0}};
    ASSERT_TRUE(samplegen::WriteNumberedNodeTool(File("nodes.tol"), nodes,
                                                 {{1, 2, 3, 4}, {1, 2, 3, 5}, {1, 2, 3}}, false));
    const auto numbered = Load("nodes.tol");
    ExpectSoundFaces(*numbered);
    EXPECT_EQ(numbered->Faces().size(), 1u);

    samplegen::ShortTool shortTool;
    shortTool.faces = {{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {kInfinity, 0, 0}},
                       {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}};
    ASSERT_TRUE(samplegen::WriteShortTool(File("short.tol"), shortTool));
    const auto shortFile = Load("short.tol");
    ExpectSoundFaces(*shortFile);
    EXPECT_EQ(shortFile->Faces().size(), 1u);
}

TEST_F(HostileTool, AMoveBeyondTheDoublesLeavesTheToolWhereItStands) {
    samplegen::ShortTool shortTool;
    shortTool.faces = {{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1e308, 1e308, 0}}};
    ASSERT_TRUE(samplegen::WriteShortTool(File("far.tol"), shortTool));
    const auto tool = Load("far.tol");
    ASSERT_EQ(tool->Faces().size(), 1u);
    const std::array<double, 6> bounds = tool->ToolBounds();
    tool->MoveTool({1, 0, 0}, 1e308);
    tool->MoveTool({0, 0, 1}, kNaN);
    tool->MoveTool({kInfinity, 0, 0}, 0.01);
    ExpectSoundFaces(*tool);
    EXPECT_EQ(tool->ToolBounds(), bounds);
    tool->MoveTool({0, 0, 1}, 0.5);
    EXPECT_EQ(tool->Faces()[0]->Vertex(3).z, 0.5);
}

TEST_F(HostileTool, ASectionFileOfTooManySectionsIsRefused) {
    // Each section becomes 384 faces; ten thousand and one of them would
    // only fill the memory.
    const std::vector<samplegen::SectionGroup> groups(10001, samplegen::SectionGroup{0, 100, 50, 10});
    ASSERT_TRUE(samplegen::WriteSectionTool(File("many.tol"), groups, false));
    const auto tool = Load("many.tol");
    EXPECT_EQ(tool->Faces().size(), 0u);
    EXPECT_EQ(tool->FormatKind(), CMoldProfile::NoFaces);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_NE(messages.messages[0].text.find(File("many.tol")), std::string::npos);
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Warning);
}

TEST_F(HostileTool, ANumberedNodeFileThatEndsInItsFaceBlockGivesNoFaces) {
    // fuzz_tool: faces and no closing 0, so no node block: every node is at
    // the origin, and no face has an area.
    WriteWholeFile(File("faces.tol"), "NSTRIPES_2\n3 1 2 3\n3 1 3 4\n3 1 2 5\n4 1 2 35 8\n");
    const auto tool = Load("faces.tol");
    ExpectSoundFaces(*tool);
    EXPECT_EQ(tool->Faces().size(), 0u);
}

// A FIFO in place of the tool or of the process control file would block the
// opening until somebody writes to it: neither is opened.
TEST_F(HostileTool, FifosAreNotOpened) {
    ASSERT_EQ(::mkfifo(File("fifo.tol").c_str(), 0600), 0);
    EXPECT_EQ(Load("fifo.tol")->Faces().size(), 0u);
    EXPECT_EQ(messages.Texts(), "Unable to read file " + File("fifo.tol"));

    ASSERT_TRUE(samplegen::WriteSectionTool(File("cup.tol"), {{0, 100, 50, 10}, {80, 100, 50, 10}}, false));
    ASSERT_EQ(::mkfifo(File("motion.prc").c_str(), 0600), 0);
    const auto tool = Load("cup.tol");
    EXPECT_GT(tool->Faces().size(), 0u);
    EXPECT_EQ(tool->Motion().Direction().z, 1); // the default motion
}

// A tool file larger than the memory could hold its faces is refused before
// it is read: a sparse one costs nothing on disk and would take the memory
// or hours of reading.
TEST_F(HostileTool, AFileTooLargeForTheMemoryIsNotRead) {
    const std::vector<Vec3> nodes{{0, 0, 0}, {10, 0, 0}, {0, 10, 0}};
    ASSERT_TRUE(samplegen::WriteNumberedNodeTool(File("vast.tol"), nodes, {{1, 2, 3}}, false));
    ASSERT_EQ(::truncate(File("vast.tol").c_str(), off_t(PhysicalMemoryBytes() / 6 + (1 << 20))), 0);
    const auto tool = Load("vast.tol");
    EXPECT_EQ(tool->Faces().size(), 0u);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text.rfind("The tool file " + File("vast.tol") + " of ", 0), 0u)
        << messages.Texts();
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Warning);
}
