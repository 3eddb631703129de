#include "core/TextFormat.h"
#include "model/CProjectProfile.h"
#include "tests/model/ProjectFixture.h"
#include "tests/navigation/FakeInterface.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace {

// A project of some records (z = 10 mm per record) opened with one active
// 3D view.
class Navigation : public ::testing::Test {
protected:
    explicit Navigation(int records = 5) : fixture(Options(records)) {
        EXPECT_TRUE(project.Open(fixture.ProjectPath(), nullptr)) << messages.Texts();
        project.SetHost(&host);
        view = std::make_unique<CFakeSceneView>(&project);
        view->shown = project.CurrentRecord();
        host.active = view.get();
    }
    ~Navigation() override {
        view.reset();
        project.PrepareClose();
    }

    static FixtureOptions Options(int records) {
        FixtureOptions options;
        options.records = records;
        return options;
    }
    // Record 2 with every value changed, of which a record step takes only
    // the record's own; element 5 has no area.
    samplegen::RecordData ChangedRecord() const {
        samplegen::RecordData record = fixture.Record(1);
        record.CompleteNodeData();
        record.nodeMarks.assign(record.current.size(), 7);
        record.reference[0].x += 0.5;
        record.symmetryName = "HALF";
        record.planes.push_back({1, 0, 0, 0});
        record.nodeCode[0] = 3;
        record.nodeCode[2] = 3;
        record.planeIndex[2] = 1;
        record.conditions[0] = 1;
        record.contactTool[0] = 2;
        record.elements[0].id = 900;
        record.elements[0].initialThickness = 0.005f;
        record.elements[0].stress3 = 3.5f;
        record.elements[2].stress1 = 2.5f;
        record.extended = true;
        record.elements[0].layers.fill(9.5);
        record.toolPositions[0] = 0.03;
        const samplegen::RecordElement& flat = record.elements[5];
        record.current[static_cast<size_t>(flat.nodes[2] - 1)] =
            record.current[static_cast<size_t>(flat.nodes[0] - 1)];
        return record;
    }
    // The record the sheet holds, from its height.
    int SheetRecord() const {
        return static_cast<int>(std::lround(project.Sheet()->BoundingBox()[4] / 0.01)) + 1;
    }

    CRecordingMessages messages;
    CProjectFixture fixture;
    CProjectProfile project;
    CFakeHost host;
    std::unique_ptr<CFakeSceneView> view;
};

class SingleRecord : public Navigation {
protected:
    SingleRecord() : Navigation(1) {}
};

} // namespace

TEST_F(Navigation, NextAndPreviousWrapAround) {
    ASSERT_EQ(project.CurrentRecord(), 5);
    project.Player().OnNextRecord();
    EXPECT_EQ(project.CurrentRecord(), 1);
    EXPECT_EQ(SheetRecord(), 1);
    project.Player().OnPreviousRecord();
    EXPECT_EQ(project.CurrentRecord(), 5);
    EXPECT_EQ(SheetRecord(), 5);
    project.Player().OnPreviousRecord();
    EXPECT_EQ(SheetRecord(), 4);
    project.Player().OnFirstRecord();
    EXPECT_EQ(SheetRecord(), 1);
    project.Player().OnLastRecord();
    EXPECT_EQ(SheetRecord(), 5);
    EXPECT_EQ(view->taken, (std::vector<int>{1, 5, 4, 1, 5}));
    EXPECT_EQ(host.announced, (std::vector<int>{1, 5, 4, 1, 5}));
    EXPECT_EQ(view->invalidations, 5);
    EXPECT_TRUE(messages.messages.empty()) << messages.Texts();
}

TEST_F(Navigation, TheRecordBoxAcceptsOnlyRecordNumbers) {
    for (const char* typed : {"0", "6", "-3", "text", ""}) {
        messages.messages.clear();
        EXPECT_EQ(project.Player().OnLoadRecordNumber(typed), "5") << typed;
        ASSERT_EQ(messages.messages.size(), 1u) << typed;
        EXPECT_EQ(messages.messages[0].text, "Invalid record number.");
        EXPECT_EQ(messages.messages[0].icon, MessageIcon::None);
    }
    messages.messages.clear();
    EXPECT_EQ(project.Player().OnLoadRecordNumber(" 3rd"), "3");
    EXPECT_EQ(SheetRecord(), 3);
    EXPECT_EQ(project.Player().OnLoadRecordNumber("3"), "3"); // the record shown is read again
    EXPECT_EQ(view->taken, (std::vector<int>{3, 3}));
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(Navigation, CommandsNeedAnActiveSceneView) {
    view->scene = false;
    project.Player().OnNextRecord();
    EXPECT_EQ(project.CurrentRecord(), 5);
    host.active = nullptr;
    project.Player().OnFirstRecord();
    EXPECT_EQ(project.CurrentRecord(), 5);
    EXPECT_TRUE(view->taken.empty());
}

TEST_F(Navigation, EveryWindowOfTheDocumentShowsTheRecordLoaded) {
    // A second window of the project that is not the active one, and a view
    // that is no 3D view.
    CFakeSceneView second(&project), plain(&project);
    second.shown = 5;
    plain.scene = false;
    project.Player().OnNextRecord();
    EXPECT_EQ(second.taken, std::vector<int>{1});
    EXPECT_EQ(second.invalidations, 1);
    EXPECT_TRUE(plain.taken.empty());
    // Without a main frame, as in the batch tool, too.
    project.SetHost(nullptr);
    EXPECT_TRUE(project.GoToRecord(2));
    EXPECT_EQ(second.taken, (std::vector<int>{1, 2}));
    project.SetHost(&host);
    // A record that cannot be read leaves the document on the record its
    // windows show, whatever the active one says.
    view->shown = 4;
    std::remove(fixture.File("fixture.002").c_str());
    project.Player().OnLoadRecordNumber("3");
    EXPECT_EQ(messages.Texts(), "Unable to read from the " + fixture.File("fixture.002") + " file.");
    EXPECT_EQ(project.CurrentRecord(), 2);
    EXPECT_EQ(SheetRecord(), 2);
    EXPECT_EQ(second.taken, (std::vector<int>{1, 2}));
}

TEST_F(SingleRecord, StartAndEndReloadTheOnlyRecord) {
    project.Player().OnFirstRecord();
    project.Player().OnLastRecord();
    project.Player().OnNextRecord();
    EXPECT_EQ(view->taken, (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(project.CurrentRecord(), 1);
}

// A record that cannot be taken is refused naming its file; the status bar
// said "Loading ..." for it and is ready again, as after a record that loads.
TEST_F(Navigation, ARefusedRecordIsNamedAndLeavesTheStatusBarReady) {
    CRecordingProgress progress;
    host.progress = &progress;
    samplegen::RecordData badNode = fixture.Record(1), otherConnectivity = fixture.Record(1);
    badNode.elements.back().nodes[2] = 999;
    std::swap(otherConnectivity.elements[0].nodes[0], otherConnectivity.elements[0].nodes[1]);
    for (const samplegen::RecordData& record :
         {badNode, samplegen::MakeGridRecord(5, 3, 0.2, 0.1), otherConnectivity}) {
        ASSERT_TRUE(samplegen::WriteRecordFile(fixture.File("fixture.001"), record));
        messages.messages.clear();
        progress.texts.clear();
        EXPECT_FALSE(project.GoToRecord(2));
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_NE(messages.Texts().find(fixture.File("fixture.001")), std::string::npos) << messages.Texts();
        ASSERT_FALSE(progress.texts.empty());
        EXPECT_EQ(progress.texts.front(), "Loading " + fixture.File("fixture.001") + ".");
        EXPECT_EQ(progress.texts.back(), "Application is ready to operate.");
        progress.texts.clear();
        project.Player().OnLoadRecordNumber("2");
        EXPECT_EQ(progress.texts.back(), "Application is ready to operate.");
        EXPECT_EQ(SheetRecord(), 5);
    }
    EXPECT_NE(messages.Texts().find("is not the project's mesh"), std::string::npos) << messages.Texts();
}

TEST_F(Navigation, OnlyTheRecordValuesAreTaken) {
    ASSERT_TRUE(samplegen::WriteRecordFile(fixture.File("fixture.001"), ChangedRecord()));
    project.Sheet()->ResetCut(5, 5);
    project.Sheet()->CutSegments().Add(new CAbscisse);

    ASSERT_TRUE(project.GoToRecord(2)) << messages.Texts();
    const CSheetProfile& sheet = *project.Sheet();
    EXPECT_EQ(sheet.NodeMark(1), 0);
    EXPECT_FLOAT_EQ(static_cast<float>(sheet.ReferenceCoordinate(1).x),
                    static_cast<float>(fixture.Record(4).reference[0].x));
    EXPECT_EQ(sheet.SymmetryName(), "FULL");
    EXPECT_EQ(sheet.SymmetryPlaneCount(), 0);
    EXPECT_EQ(sheet.NodeCode(1), 0);
    EXPECT_TRUE(sheet.IsClamped(1));
    EXPECT_EQ(sheet.ContactFlag(1, 2), 0);
    EXPECT_EQ(sheet.Elements()[0].ElementId, 1);
    EXPECT_DOUBLE_EQ(sheet.Elements()[0].ThirdStress, 3.5);
    EXPECT_DOUBLE_EQ(sheet.LayerValue(0, 4), 9.5);
    EXPECT_DOUBLE_EQ(sheet.ToolPosition(0), 0.03);
    EXPECT_EQ(sheet.CutSegments().Count(), 0);
    EXPECT_EQ(sheet.CutSegments().Capacity(), 1000);
    // What follows from the values is derived again.
    EXPECT_NEAR(sheet.MaxInitialThickness(), 0.005, 1e-9);
    EXPECT_GT(sheet.Elements()[0].Thickness, 0.004);
    EXPECT_NEAR(sheet.BoundingBox()[4], 0.01, 1e-7);
}

TEST_F(Navigation, TheSheetSizeFollowsTheRecordShown) {
    samplegen::RecordData record = fixture.Record(0);
    for (samplegen::Vec3& node : record.current)
        node.x *= 3;
    ASSERT_TRUE(samplegen::WriteRecordFile(fixture.File("fixture.000"), record));
    const double last = project.Sheet()->SheetSize();
    ASSERT_TRUE(project.GoToRecord(1));
    EXPECT_NEAR(project.Sheet()->SheetSize(), 3 * last, 1e-6);
    EXPECT_NEAR(project.Sheet()->SizeX(), 0.6, 1e-6);
}

TEST_F(Navigation, ToolsMoveByTheDifferenceOfTheirPositions) {
    const double positions[] = {0.0, 0.02, 0.05};
    for (int r = 0; r < 3; ++r) {
        samplegen::RecordData record = fixture.Record(r);
        record.toolPositions[0] = positions[r];
        ASSERT_TRUE(samplegen::WriteRecordFile(fixture.File(FormatText("fixture.%03d", r)), record));
    }
    for (int r = 3; r < 5; ++r)
        std::rename(fixture.File(FormatText("fixture.%03d", r)).c_str(),
                    fixture.File(FormatText("old.%03d", r)).c_str());
    CProjectProfile three;
    ASSERT_TRUE(three.Open(fixture.ProjectPath(), nullptr));
    three.SetHost(&host);
    CFakeSceneView threeView(&three);
    host.active = &threeView;
    // The mould's top ring lies at z = 0 in its file.
    EXPECT_NEAR(three.Tool(0)->ToolBounds()[5], 0.05, 1e-12);
    three.Player().OnFirstRecord();
    EXPECT_NEAR(three.Tool(0)->ToolBounds()[5], 0.0, 1e-12);
    three.Player().OnNextRecord();
    EXPECT_NEAR(three.Tool(0)->ToolBounds()[5], 0.02, 1e-12);
    three.Player().OnLastRecord();
    EXPECT_NEAR(three.Tool(0)->ToolBounds()[5], 0.05, 1e-12);
    host.active = view.get();
}

// The animation prepares a record off the interface thread and swaps its
// arrays in; the sheet must end up exactly as when the values are copied
// in place, as the all-record limits do.
TEST_F(Navigation, APreparedRecordGivesTheSheetOfACopiedOne) {
    ASSERT_TRUE(samplegen::WriteRecordFile(fixture.File("fixture.001"), ChangedRecord()));
    const std::string last = fixture.File("fixture.004"), second = fixture.File("fixture.001");
    CSheetProfile copied(last, 4, nullptr), swapped(last, 4, nullptr);
    CSheetProfile values(second, 1, nullptr, {false, false});
    CSheetProfile prepared(second, 1, nullptr, {false, false});
    ASSERT_FALSE(values.ReadFailed() || prepared.ReadFailed());
    copied.TakeRecordValues(values);
    prepared.PrepareRecordValues(swapped);
    swapped.SwapRecordValues(prepared);

    ASSERT_EQ(swapped.ElementCount(), copied.ElementCount());
    for (size_t i = 0; i < copied.Elements().size(); ++i)
        EXPECT_EQ(std::memcmp(&copied.Elements()[i], &swapped.Elements()[i], sizeof(CElementProfile)), 0)
            << i;
    EXPECT_EQ(swapped.Elements()[0].ElementId, 1);
    EXPECT_EQ(swapped.Elements()[5].Normal.z, 0.0);
    for (int node = 1; node <= copied.NodeCount(); ++node) {
        EXPECT_EQ(swapped.CurrentCoordinate(node).z, copied.CurrentCoordinate(node).z) << node;
        EXPECT_EQ(swapped.ReferenceCoordinate(node).x, copied.ReferenceCoordinate(node).x) << node;
        EXPECT_EQ(swapped.NodeCode(node), copied.NodeCode(node)) << node;
        EXPECT_EQ(swapped.NodePlaneIndex(node), copied.NodePlaneIndex(node)) << node;
        EXPECT_EQ(swapped.NodeConditions(node), copied.NodeConditions(node)) << node;
        for (int tool = 0; tool < kToolSlots; ++tool)
            EXPECT_EQ(swapped.ContactFlag(node, tool), copied.ContactFlag(node, tool)) << node;
    }
    for (int element = 0; element < copied.ElementCount(); ++element)
        for (int index = 0; index < 11; ++index)
            EXPECT_EQ(swapped.LayerValue(element, index), copied.LayerValue(element, index));
    EXPECT_EQ(swapped.ToolPositions(), copied.ToolPositions());
    EXPECT_EQ(swapped.BoundingBox(), copied.BoundingBox());
    EXPECT_EQ(swapped.SheetSize(), copied.SheetSize());
    EXPECT_EQ(swapped.SizeX(), copied.SizeX());
    EXPECT_EQ(swapped.SizeY(), copied.SizeY());
    EXPECT_EQ(swapped.MaxInitialThickness(), copied.MaxInitialThickness());
    EXPECT_EQ(swapped.CutSegments().Capacity(), 1000);
    EXPECT_TRUE(swapped.IsClamped(1));
    EXPECT_DOUBLE_EQ(swapped.LayerValue(0, 4), 9.5);
}
