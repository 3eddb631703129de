#include "core/TextFormat.h"
#include "model/CProjectProfile.h"
#include "tests/model/ProjectFixture.h"
#include "tests/navigation/FakeInterface.h"

#include <chrono>
#include <cmath>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

using namespace quillmere;

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
    // The record the sheet holds, from its height.
    int SheetRecord() const {
        return static_cast<int>(std::lround(project.Sheet()->BoundingBox()[4] / 0.01)) + 1;
    }
    // Plays the interface thread until the record of the commands given is
    // shown or refused.
    void Loaded(CProjectProfile& loading) {
        ASSERT_TRUE(host.thread.RunUntil([&] { return !loading.Player().IsLoading(); }));
    }
    void Loaded() { Loaded(project); }

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
    Loaded();
    EXPECT_EQ(project.CurrentRecord(), 1);
    EXPECT_EQ(SheetRecord(), 1);
    project.Player().OnPreviousRecord();
    Loaded();
    EXPECT_EQ(project.CurrentRecord(), 5);
    EXPECT_EQ(SheetRecord(), 5);
    project.Player().OnPreviousRecord();
    Loaded();
    EXPECT_EQ(SheetRecord(), 4);
    project.Player().OnFirstRecord();
    Loaded();
    EXPECT_EQ(SheetRecord(), 1);
    project.Player().OnLastRecord();
    Loaded();
    EXPECT_EQ(SheetRecord(), 5);
    EXPECT_EQ(view->taken, (std::vector<int>{1, 5, 4, 1, 5}));
    EXPECT_EQ(host.announced, (std::vector<int>{1, 5, 4, 1, 5}));
    EXPECT_EQ(view->invalidations, 5);
    EXPECT_TRUE(messages.messages.empty()) << messages.Texts();
}

// The user's input waiting on the interface thread never runs in the middle
// of a record command: the command leaves the interface thread at once, and
// the sheet changes only when the interface thread takes the record read
// beside it. The status bar still follows the reading.
TEST_F(Navigation, NoInputRunsInTheMiddleOfALoad) {
    CRecordingProgress progress;
    host.progress = &progress;
    bool inputRan = false;
    host.thread.Post([&] { inputRan = true; });
    project.Player().OnNextRecord();
    EXPECT_FALSE(inputRan);
    EXPECT_EQ(host.thread.waits.load(), 0);
    EXPECT_EQ(SheetRecord(), 5);
    EXPECT_TRUE(view->taken.empty());
    ASSERT_TRUE(host.thread.RunUntil([&] { return !view->taken.empty(); }));
    EXPECT_TRUE(inputRan);
    EXPECT_EQ(SheetRecord(), 1);
    EXPECT_EQ(host.announced, std::vector<int>{1});
    ASSERT_FALSE(progress.texts.empty());
    EXPECT_EQ(progress.texts.front(), "Loading " + fixture.File("fixture.000") + ".");
    EXPECT_EQ(progress.texts.back(), "Application is ready to operate.");
}

// Commands that come while a record is read start no second read over it:
// the last of them follows it, counted from the record asked for before.
// Every record is read by the load's job, never by the interface thread.
TEST_F(Navigation, OnlyTheLastCommandDuringALoadFollowsIt) {
    std::mutex mutex;
    std::vector<int> reads;
    std::vector<std::thread::id> readers;
    CManualResetEvent reading, release;
    project.Player().SetLoadObserver([&](int record) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            reads.push_back(record);
            readers.push_back(std::this_thread::get_id());
        }
        reading.Set();
        release.Wait();
    });
    project.Player().OnNextRecord();
    ASSERT_TRUE(reading.WaitFor(std::chrono::seconds(60)));
    project.Player().OnNextRecord();
    project.Player().OnNextRecord();
    EXPECT_EQ(project.Player().OnLoadRecordNumber("4"), "4");
    project.Player().OnPreviousRecord();
    EXPECT_EQ(project.CurrentRecord(), 5);
    release.Set();
    Loaded();
    EXPECT_EQ(view->taken, (std::vector<int>{1, 3}));
    EXPECT_EQ(host.announced, (std::vector<int>{1, 3}));
    EXPECT_EQ(SheetRecord(), 3);
    std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(reads, (std::vector<int>{1, 3}));
    for (const std::thread::id& reader : readers)
        EXPECT_NE(reader, std::this_thread::get_id());
}

// Every other way to a record ends a load first: its record is shown, a
// command behind it is dropped, and the load's late hand-over does nothing.
TEST_F(Navigation, GoingToARecordEndsALoadFirst) {
    project.Player().OnNextRecord();
    project.Player().OnNextRecord();
    EXPECT_TRUE(project.GoToRecord(4));
    host.thread.DispatchPending();
    EXPECT_FALSE(project.Player().IsLoading());
    EXPECT_EQ(view->taken, (std::vector<int>{1, 4}));
    EXPECT_EQ(SheetRecord(), 4);
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
    Loaded();
    EXPECT_EQ(SheetRecord(), 3);
    EXPECT_EQ(project.Player().OnLoadRecordNumber("3"), "3"); // the record shown is read again
    Loaded();
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
    Loaded();
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
    Loaded();
    EXPECT_EQ(messages.Texts(), "Unable to read from the " + fixture.File("fixture.002") + " file.");
    EXPECT_EQ(project.CurrentRecord(), 2);
    EXPECT_EQ(SheetRecord(), 2);
    EXPECT_EQ(second.taken, (std::vector<int>{1, 2}));
}

TEST_F(SingleRecord, StartAndEndReloadTheOnlyRecord) {
    for (auto command :
         {&CRecordPlayer::OnFirstRecord, &CRecordPlayer::OnLastRecord, &CRecordPlayer::OnNextRecord}) {
        (project.Player().*command)();
        Loaded();
    }
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
        Loaded();
        EXPECT_EQ(progress.texts.back(), "Application is ready to operate.");
        EXPECT_EQ(SheetRecord(), 5);
    }
    EXPECT_NE(messages.Texts().find("is not the project's mesh"), std::string::npos) << messages.Texts();
}

TEST_F(Navigation, OnlyTheRecordValuesAreTaken) {
    samplegen::RecordData record = fixture.Record(1);
    record.CompleteNodeData();
    record.nodeMarks.assign(record.current.size(), 7);
    record.reference[0].x += 0.5;
    record.symmetryName = "HALF";
    record.planes.push_back({1, 0, 0, 0});
    record.nodeCode[0] = 3;
    record.conditions[0] = 1;
    record.contactTool[0] = 2;
    record.elements[0].id = 900;
    record.elements[0].initialThickness = 0.005f;
    record.elements[0].stress3 = 3.5f;
    record.extended = true;
    record.elements[0].layers.fill(9.5);
    record.toolPositions[0] = 0.03;
    ASSERT_TRUE(samplegen::WriteRecordFile(fixture.File("fixture.001"), record));
    const CSheetMesh* opened = &project.Sheet()->Mesh();

    ASSERT_TRUE(project.GoToRecord(2)) << messages.Texts();
    const CSheetProfile& sheet = *project.Sheet();
    // Every record of the project shows on the one mesh it opened with.
    EXPECT_EQ(&sheet.Mesh(), opened);
    const CSheetMesh& mesh = sheet.Mesh();
    EXPECT_EQ(mesh.NodeMark(1), 0);
    EXPECT_FLOAT_EQ(static_cast<float>(mesh.ReferenceCoordinate(1).x),
                    static_cast<float>(fixture.Record(4).reference[0].x));
    EXPECT_EQ(mesh.SymmetryName(), "FULL");
    EXPECT_EQ(mesh.SymmetryPlaneCount(), 0);
    EXPECT_EQ(mesh.NodeCode(1), 0);
    EXPECT_EQ(mesh.ElementId(0), 1);
    const CRecordValues& values = sheet.Values();
    EXPECT_TRUE(values.IsClamped(1));
    EXPECT_EQ(values.ContactFlag(1, 2), 0);
    EXPECT_DOUBLE_EQ(values.elements[0].ThirdStress, 3.5);
    EXPECT_DOUBLE_EQ(values.LayerValue(0, 4), 9.5);
    EXPECT_DOUBLE_EQ(values.toolPositions[0], 0.03);
    // What follows from the values is derived again.
    EXPECT_NEAR(sheet.MaxInitialThickness(), 0.005, 1e-9);
    EXPECT_GT(sheet.Derived().elements[0].Thickness, 0.004);
    EXPECT_NEAR(sheet.BoundingBox()[4], 0.01, 1e-7);
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
    Loaded(three);
    EXPECT_NEAR(three.Tool(0)->ToolBounds()[5], 0.0, 1e-12);
    three.Player().OnNextRecord();
    Loaded(three);
    EXPECT_NEAR(three.Tool(0)->ToolBounds()[5], 0.02, 1e-12);
    three.Player().OnLastRecord();
    Loaded(three);
    EXPECT_NEAR(three.Tool(0)->ToolBounds()[5], 0.05, 1e-12);
    host.active = view.get();
}
