#include "model/CDataString.h"
#include "model/CMoldProfile.h"
#include "tests/support/TestSupport.h"
#include "tools/SampleWriter.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace quillmere;

namespace {

using samplegen::Vec3;

class ToolFile : public ::testing::Test {
protected:
    std::unique_ptr<CMoldProfile> Load(const std::string& name, int slot = 0) {
        return std::make_unique<CMoldProfile>(name, nullptr, "motion.prc", slot, folder.Path());
    }
    std::string File(const std::string& name) const { return folder.File(name); }
    CTempFolder folder;
    CRecordingMessages messages;
};

} // namespace

TEST_F(ToolFile, NumberedNodesInInches) {
    ASSERT_TRUE(samplegen::WriteNumberedNodeTool(
        File("plug.tol"), {{0, 0, 0}, {1, 0, 0}, {0, 2, 0}, {1, 2, 3}}, {{1, 2, 3}, {2, 4, 3}}, true, 4));
    const auto tool = Load("plug.tol");
    EXPECT_EQ(tool->FormatKind(), CMoldProfile::NumberedNodes);
    EXPECT_TRUE(tool->InInches());
    ASSERT_EQ(tool->Faces().size(), 2u);
    EXPECT_DOUBLE_EQ(tool->Faces()[1]->Vertex(1).z, 3 * 0.0254);
    EXPECT_DOUBLE_EQ(tool->Faces()[0]->Vertex(2).y, 2 * 0.0254);
    EXPECT_DOUBLE_EQ(tool->ToolBounds()[5], 3 * 0.0254);
    EXPECT_EQ(tool->RefPoint().x, 1.7976931348623157e308);
}

TEST_F(ToolFile, DegenerateFacesAreDiscardedAndLeadingDuplicatesDropped) {
    const std::vector<Vec3> nodes{{0, 0, 0}, {0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}, {0, 10, 0}};
    ASSERT_TRUE(samplegen::WriteNumberedNodeTool(File("faces.tol"), nodes,
                                                 {{1, 1, 1},    // three nodes at one point
                                                  {1, 2, 3, 4}, // first two vertices coincide: a triangle
                                                  {3, 4, 5, 6}, // third and fourth coincide: kept whole
                                                  {1, 3, 6}},   // an ordinary triangle
                                                 false));
    const auto tool = Load("faces.tol");
    ASSERT_EQ(tool->Faces().size(), 3u);
    EXPECT_EQ(tool->Faces()[0]->VertexCount(), 3);
    EXPECT_DOUBLE_EQ(tool->Faces()[0]->Vertex(1).x, 0.01);
    EXPECT_EQ(tool->Faces()[1]->VertexCount(), 4);
}

TEST_F(ToolFile, FacesWithMoreThanTenVerticesAreSplitIntoAFan) {
    std::vector<Vec3> nodes;
    std::vector<int> polygon;
    for (int k = 0; k < 25; ++k) {
        const double angle = 2 * M_PI * k / 25;
        nodes.push_back({100 * std::cos(angle), 100 * std::sin(angle), 0});
        polygon.push_back(k + 1);
    }
    ASSERT_TRUE(samplegen::WriteNumberedNodeTool(File("disc.tol"), nodes, {polygon}, false));
    const auto tool = Load("disc.tol");
    int triangles = 0;
    for (size_t i = 0; i < tool->Faces().size(); ++i) {
        EXPECT_LE(tool->Faces()[i]->VertexCount(), 10);
        triangles += tool->Faces()[i]->VertexCount() - 2;
    }
    EXPECT_EQ(triangles, 23);
}

TEST_F(ToolFile, ShortFileFacesRefPointAndInches) {
    samplegen::ShortTool shortTool;
    shortTool.faces = {{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}};
    shortTool.hasRefPoint = true;
    shortTool.refPoint = {10, 20, 30};
    ASSERT_TRUE(samplegen::WriteShortTool(File("clamp.tol"), shortTool));
    auto tool = Load("clamp.tol");
    EXPECT_EQ(tool->FormatKind(), CMoldProfile::ShortFile);
    ASSERT_EQ(tool->Faces().size(), 1u);
    EXPECT_DOUBLE_EQ(tool->Faces()[0]->Vertex(1).x, 1);
    EXPECT_DOUBLE_EQ(tool->RefPoint().y, 0.02);

    shortTool.inches = true;
    ASSERT_TRUE(samplegen::WriteShortTool(File("inch.tol"), shortTool));
    tool = Load("inch.tol");
    EXPECT_TRUE(tool->InInches());
    EXPECT_DOUBLE_EQ(tool->Faces()[0]->Vertex(1).x, 0.0254);
    EXPECT_DOUBLE_EQ(tool->RefPoint().y, 20 * 0.0254);
}

TEST_F(ToolFile, ShortFileNumbersAreTakenThreeAtATime) {
    WriteWholeFile(File("seven.tol"), "SHORTM\n1 2 3 4 5 6 7 ||\n0 0 0 1 0 0 0 1 0 || #FF 2 2\n");
    const auto tool = Load("seven.tol");
    ASSERT_EQ(tool->Faces().size(), 1u);
    EXPECT_DOUBLE_EQ(tool->Faces()[0]->Vertex(2).y, 1);
}

TEST_F(ToolFile, SectionFileBuildsWallsAndAClosingFan) {
    ASSERT_TRUE(samplegen::WriteSectionTool(File("mould.tol"), {{0, 100, 50, 10}, {80, 100, 50, 10}}, false));
    const auto tool = Load("mould.tol");
    EXPECT_EQ(tool->FormatKind(), CMoldProfile::SectionFile);
    EXPECT_EQ(tool->Faces().size(), 256u + 128u);
    const auto& bounds = tool->ToolBounds();
    EXPECT_NEAR(bounds[0], -0.05, 1e-12);
    EXPECT_NEAR(bounds[1], 0.05, 1e-12);
    EXPECT_NEAR(bounds[2], -0.025, 1e-12);
    EXPECT_NEAR(bounds[3], 0.025, 1e-12);
    EXPECT_NEAR(bounds[4], 0, 1e-12);
    EXPECT_NEAR(bounds[5], 0.08, 1e-12);
    int top = 0;
    for (size_t i = 0; i < tool->Faces().size(); ++i) {
        const CFace& face = *tool->Faces()[i];
        top += face.Vertex(0).z == 0.08 && face.Vertex(1).z == 0.08 && face.Vertex(2).z == 0.08;
    }
    EXPECT_EQ(top, 128);
}

TEST_F(ToolFile, SectionFileInInchesAndASingleRing) {
    ASSERT_TRUE(samplegen::WriteSectionTool(File("ring.tol"), {{1, 4, 2, 0.5}}, true));
    const auto tool = Load("ring.tol");
    EXPECT_TRUE(tool->InInches());
    EXPECT_EQ(tool->Faces().size(), 128u);
    EXPECT_NEAR(tool->ToolBounds()[1], 2 * 0.0254, 1e-12);
    EXPECT_NEAR(tool->ToolBounds()[4], 0.0254, 1e-12);
}

TEST_F(ToolFile, MotionComesFromTheLinesAfterSlashV) {
    ASSERT_TRUE(samplegen::WriteSectionTool(File("mould.tol"), {{0, 100, 50, 10}}, false));
    ASSERT_TRUE(samplegen::WriteProcessControl(File("motion.prc"),
                                               {{{0, 0, 1}, 0, 1}, {{0, 0, -1}, 2, 3}, {{1, 0, 0}, 4, 5}}));
    EXPECT_EQ(Load("mould.tol", 1)->Motion().Direction().z, -1);
    EXPECT_EQ(Load("mould.tol", 1)->Motion().MotionCodes()[1], 3);
    // Slots past the last line keep the last line read.
    EXPECT_EQ(Load("mould.tol", 7)->Motion().Direction().x, 1);

    WriteWholeFile(File("motion.prc"), "title\n/V\n0 0 -1\n");
    EXPECT_EQ(Load("mould.tol")->Motion().Direction().z, 1);
    WriteWholeFile(File("motion.prc"), "/v\r\nstill the title\r\n/v\r\n0 1\r\n");
    const auto partial = Load("mould.tol");
    EXPECT_EQ(partial->Motion().Direction().y, 1);
    EXPECT_EQ(partial->Motion().Direction().z, 1);
}

TEST_F(ToolFile, MoveToolTranslatesFacesAndBounds) {
    ASSERT_TRUE(samplegen::WriteSectionTool(File("mould.tol"), {{0, 100, 50, 10}, {80, 100, 50, 10}}, false));
    const auto tool = Load("mould.tol");
    const double z = tool->Faces()[5]->Vertex(0).z;
    tool->MoveTool({0, 0, -1}, 0.05);
    EXPECT_NEAR(tool->Faces()[5]->Vertex(0).z, z - 0.05, 1e-15);
    EXPECT_NEAR(tool->ToolBounds()[4], -0.05, 1e-15);
    EXPECT_NEAR(tool->ToolBounds()[5], 0.03, 1e-15);
    const CFace& face = *tool->Faces()[5];
    EXPECT_NEAR(face.Plane().Distance(face.Vertex(2)), 0, 1e-15);
}

TEST_F(ToolFile, UnreadableAndUnsupportedFilesGiveNoFaces) {
    WriteWholeFile(File("mould.stl"), "solid\n");
    const auto unsupported = Load("mould.stl");
    EXPECT_EQ(unsupported->Faces().size(), 0u);
    EXPECT_EQ(unsupported->FormatKind(), CMoldProfile::NoFaces);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_DOUBLE_EQ(unsupported->ToolBounds()[0], 100);
    EXPECT_DOUBLE_EQ(unsupported->ToolBounds()[1], -100);

    const auto missing = Load("missing.tol");
    EXPECT_EQ(missing->Faces().size(), 0u);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Unable to read file " + folder.File("missing.tol"));
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Warning);
    EXPECT_NEAR(Norm(missing->ProbeDirection()), 1, 1e-15);
}

TEST_F(ToolFile, ASliverThatPassesTheAreaTestIsDropped) {
    // Area 5e-13 > 0, normal length 1e-12 < 1e-11.
    WriteWholeFile(File("sliver.tmp"), "SHORTM\n0 0 0 1 0 0 0 1e-12 0 ||\n0 0 0 1 0 0 0 1 0 ||\n");
    const auto tool = Load("sliver.tmp");
    EXPECT_EQ(tool->Faces().size(), 1u);
}

TEST_F(ToolFile, ALongLineIsReadInPiecesThatSplitANumberAtTheirBorder) {
    ASSERT_TRUE(samplegen::WriteNumberedNodeTool(File("long.tol"), {{0, 0, 0}, {1, 0, 0}, {0, 1, 25}},
                                                 {{1, 2, 3}}, false));
    std::string text = ReadWholeFile(File("long.tol"));
    for (char& c : text)
        c = c == '\n' ? ' ' : c;
    // "25" straddles the first piece's end: node 3 ends "2", "5" is left over.
    const size_t at = text.rfind("25");
    ASSERT_LT(at, CDataString::MaxPiece);
    text.insert(at, CDataString::MaxPiece - 1 - at, ' ');
    WriteWholeFile(File("long.tol"), text + "\r\n");
    const auto tool = Load("long.tol");
    ASSERT_EQ(tool->Faces().size(), 1u);
    EXPECT_DOUBLE_EQ(tool->Faces()[0]->Vertex(2).z, 0.002);
    EXPECT_DOUBLE_EQ(tool->Faces()[0]->Vertex(1).x, 0.001);
}
