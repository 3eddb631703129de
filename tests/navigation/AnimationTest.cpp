#include "model/CProjectProfile.h"
#include "tests/model/ProjectFixture.h"
#include "tests/navigation/FakeInterface.h"

#include <gtest/gtest.h>

namespace {

class Animation : public ::testing::Test {
protected:
    Animation() : fixture(Options()) {
        EXPECT_TRUE(project->Open(fixture.ProjectPath(), nullptr));
        project->SetHost(&host);
        // Steps follow each other at once: the tests wait for steps, never
        // for the clock.
        project->SetAnimationPeriod(0);
        view = std::make_unique<CFakeSceneView>(project.get());
        second = std::make_unique<CFakeSceneView>(project.get());
        view->shown = second->shown = project->CurrentRecord();
        host.active = view.get();
    }
    ~Animation() override {
        view.reset();
        second.reset();
        if (project)
            project->PrepareClose();
    }
    static FixtureOptions Options() {
        FixtureOptions options;
        options.records = 5;
        return options;
    }

    CRecordingMessages messages;
    CProjectFixture fixture;
    std::unique_ptr<CProjectProfile> project = std::make_unique<CProjectProfile>();
    CFakeHost host;
    std::unique_ptr<CFakeSceneView> view, second;
};

} // namespace

TEST_F(Animation, StepsEveryViewThroughTheRecordsInALoop) {
    project->ToggleAnimation();
    EXPECT_TRUE(project->IsAnimationRunning());
    ASSERT_TRUE(host.thread.RunUntil([&] { return view->taken.size() >= 3; }));
    project->ToggleAnimation();
    EXPECT_FALSE(project->IsAnimationRunning());
    ASSERT_GE(view->taken.size(), 2u);
    EXPECT_EQ(view->taken[0], 1); // after the last record comes the first
    EXPECT_EQ(view->taken[1], 2);
    EXPECT_EQ(second->taken, view->taken);
    EXPECT_EQ(view->redraws, static_cast<int>(view->taken.size()));
    EXPECT_EQ(host.announced, view->taken);
    EXPECT_EQ(project->CurrentRecord(), view->taken.back());
    EXPECT_TRUE(messages.messages.empty()) << messages.Texts();
}

TEST_F(Animation, NavigationAndReportsWaitForTheAnimationToStop) {
    project->ToggleAnimation();
    project->OnFirstRecord();
    EXPECT_EQ(project->OnLoadRecordNumber("2"), "2");
    EXPECT_TRUE(project->IsAnimationBusy());
    ASSERT_EQ(messages.messages.size(), 3u);
    for (const RecordedMessage& message : messages.messages) {
        EXPECT_EQ(message.text, "Please stop the animation first.");
        EXPECT_EQ(message.icon, MessageIcon::Warning);
    }
    project->ToggleAnimation();
    EXPECT_FALSE(project->IsAnimationBusy());
}

TEST_F(Animation, AMissingRecordStopsTheAnimationAtThatStep) {
    std::remove(fixture.File("fixture.002").c_str());
    project->ToggleAnimation();
    ASSERT_TRUE(host.thread.RunUntil([&] { return !project->IsAnimationRunning(); }));
    EXPECT_EQ(view->taken, (std::vector<int>{1, 2}));
    EXPECT_EQ(messages.Texts(), "Unable to read from the " + fixture.File("fixture.002") + " file.");
    EXPECT_EQ(project->CurrentRecord(), 2);
    EXPECT_NEAR(project->Sheet()->BoundingBox()[4], 0.01, 1e-7);
}

TEST_F(Animation, ClosingWaitsForTheWorker) {
    project->ToggleAnimation();
    ASSERT_TRUE(host.thread.RunUntil([&] { return !view->taken.empty(); }));
    project->PrepareClose();
    EXPECT_FALSE(project->IsAnimationRunning());
    view.reset();
    second.reset();
    project.reset();
    host.thread.DispatchPending(); // tasks posted for the closed document do nothing
}

TEST_F(Animation, ADocumentDestroyedWhileAnimatingDoesNotHang) {
    project->ToggleAnimation();
    view.reset();
    second.reset();
    project.reset();
    host.thread.DispatchPending();
}
