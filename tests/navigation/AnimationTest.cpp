#include "model/CProjectProfile.h"
#include "tests/model/ProjectFixture.h"
#include "tests/navigation/FakeInterface.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

using namespace quillmere;

namespace {

// The records the animation worker set out to read, in order.
class CReadLog {
public:
    void Add(int record) {
        std::lock_guard<std::mutex> lock(mutex);
        records.push_back(record);
    }
    std::vector<int> Records() const {
        std::lock_guard<std::mutex> lock(mutex);
        return records;
    }

private:
    mutable std::mutex mutex;
    std::vector<int> records;
};

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
        project->Player().SetReadObserver([this](int record) { reads.Add(record); });
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
    // The record the sheet holds, from its height (10 mm per record).
    int SheetRecord() const {
        return static_cast<int>(std::lround(project->Sheet()->BoundingBox()[4] / 0.01)) + 1;
    }
    // The read of record held starts only once release() holds, or once the
    // interface thread waits for the worker (a stop or a close), which then
    // comes in the middle of the read.
    void HoldRead(int held, std::function<bool()> release) {
        const int waits = host.thread.waits;
        project->Player().SetReadObserver([this, held, release, waits](int record) {
            reads.Add(record);
            if (record != held || holding.IsSet())
                return;
            holding.Set();
            while (!release() && host.thread.waits == waits)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
    }

    CRecordingMessages messages;
    CProjectFixture fixture;
    std::unique_ptr<CProjectProfile> project = std::make_unique<CProjectProfile>();
    CFakeHost host;
    std::unique_ptr<CFakeSceneView> view, second;
    CReadLog reads;
    CManualResetEvent holding; // the held read has begun
};

} // namespace

// Same counts, other nodes: found as the read-ahead record is prepared.
TEST_F(Animation, ARecordOfOtherNodesStopsTheAnimationAtThatStep) {
    samplegen::RecordData record = fixture.Record(2);
    std::swap(record.elements.back().nodes[0], record.elements.back().nodes[1]);
    ASSERT_TRUE(samplegen::WriteRecordFile(fixture.File("fixture.002"), record));
    project->ToggleAnimation();
    ASSERT_TRUE(host.thread.RunUntil([&] { return !project->IsAnimationRunning(); }));
    EXPECT_EQ(view->taken, (std::vector<int>{1, 2}));
    EXPECT_EQ(messages.Texts(), "The record file " + fixture.File("fixture.002") +
                                    " cannot be used: its mesh of 24 elements and 20 nodes is not the "
                                    "project's mesh of 24 elements and 20 nodes");
    EXPECT_NEAR(project->Sheet()->BoundingBox()[4], 0.01, 1e-7);
}

TEST_F(Animation, ADocumentDestroyedWhileAnimatingDoesNotHang) {
    project->ToggleAnimation();
    view.reset();
    second.reset();
    project.reset();
    host.thread.DispatchPending();
}

// With a long pause the next record is read while the current one is shown,
// before any step asks for it. A user's step or a report meanwhile is
// refused; after the stop a step reads its record and never gets the one
// read ahead.
TEST_F(Animation, ReadsTheNextRecordWhileTheCurrentOneIsShown) {
    project->SetAnimationPeriod(3600 * 1000);
    project->ToggleAnimation();
    ASSERT_TRUE(host.thread.RunUntil([&] { return reads.Records().size() >= 2; }));
    EXPECT_EQ(reads.Records(), (std::vector<int>{1, 2}));
    EXPECT_EQ(view->taken, (std::vector<int>{1}));
    project->Player().OnNextRecord();
    project->Player().OnLastRecord();
    EXPECT_EQ(project->Player().OnLoadRecordNumber("4"), "4"); // the box keeps what was typed
    EXPECT_TRUE(project->IsAnimationBusy());                   // as reports ask
    ASSERT_EQ(messages.messages.size(), 4u);
    for (const RecordedMessage& message : messages.messages) {
        EXPECT_EQ(message.text, "Please stop the animation first.");
        EXPECT_EQ(message.icon, MessageIcon::Warning);
    }
    EXPECT_EQ(project->CurrentRecord(), 1);
    EXPECT_EQ(SheetRecord(), 1);

    project->ToggleAnimation();
    EXPECT_FALSE(project->IsAnimationRunning());
    EXPECT_EQ(view->taken, (std::vector<int>{1}));
    EXPECT_EQ(project->CurrentRecord(), 1);
    EXPECT_EQ(SheetRecord(), 1);
    project->Player().OnNextRecord();
    ASSERT_TRUE(host.thread.RunUntil([&] { return !project->Player().IsLoading(); }));
    EXPECT_EQ(project->CurrentRecord(), 2);
    EXPECT_EQ(SheetRecord(), 2);
    EXPECT_EQ(view->taken, (std::vector<int>{1, 2}));
    EXPECT_EQ(reads.Records().size(), 2u); // the user's step is not the worker's
    EXPECT_EQ(messages.messages.size(), 4u) << messages.Texts();
}

// Every step shows the record read ahead for it in every view, once, in
// order round the loop; at most one more was read when the animation stopped.
TEST_F(Animation, EachStepShowsTheRecordReadAheadForIt) {
    project->ToggleAnimation();
    EXPECT_TRUE(project->IsAnimationRunning());
    ASSERT_TRUE(host.thread.RunUntil([&] { return view->taken.size() >= 7; }));
    project->ToggleAnimation();
    ASSERT_FALSE(project->IsAnimationRunning());
    EXPECT_EQ(second->taken, view->taken);
    EXPECT_EQ(view->redraws, static_cast<int>(view->taken.size()));
    const std::vector<int> read = reads.Records();
    ASSERT_GE(read.size(), view->taken.size());
    EXPECT_LE(read.size(), view->taken.size() + 1);
    for (size_t i = 0; i < view->taken.size(); ++i) {
        EXPECT_EQ(view->taken[i], static_cast<int>(i % 5) + 1) << i;
        EXPECT_EQ(read[i], view->taken[i]) << i;
    }
    EXPECT_EQ(project->CurrentRecord(), view->taken.back());
    EXPECT_EQ(SheetRecord(), view->taken.back());
    EXPECT_EQ(host.announced, view->taken);
    EXPECT_TRUE(messages.messages.empty()) << messages.Texts();
}

TEST_F(Animation, AStopDuringAReadAheadKeepsTheRecordLastShown) {
    HoldRead(2, [] { return false; });
    project->ToggleAnimation();
    ASSERT_TRUE(host.thread.RunUntil([&] { return holding.IsSet(); }));
    EXPECT_EQ(view->taken, (std::vector<int>{1}));
    project->ToggleAnimation();
    EXPECT_FALSE(project->IsAnimationRunning());
    EXPECT_EQ(reads.Records(), (std::vector<int>{1, 2}));
    host.thread.DispatchPending();
    EXPECT_EQ(view->taken, (std::vector<int>{1}));
    EXPECT_EQ(host.announced, (std::vector<int>{1}));
    EXPECT_EQ(project->CurrentRecord(), 1);
    EXPECT_EQ(SheetRecord(), 1);
    EXPECT_TRUE(messages.messages.empty()) << messages.Texts();
}

// Stopped while the first record is read: nothing is shown at all.
TEST_F(Animation, AStopDuringTheFirstReadKeepsTheRecordOfBefore) {
    HoldRead(1, [] { return false; });
    project->ToggleAnimation();
    ASSERT_TRUE(host.thread.RunUntil([&] { return holding.IsSet(); }));
    project->ToggleAnimation();
    EXPECT_FALSE(project->IsAnimationRunning());
    host.thread.DispatchPending();
    EXPECT_TRUE(view->taken.empty());
    EXPECT_EQ(project->CurrentRecord(), 5);
    EXPECT_EQ(SheetRecord(), 5);
    EXPECT_TRUE(messages.messages.empty()) << messages.Texts();
}

TEST_F(Animation, ARecordDeletedWhileAnimatingStopsItAtThatStep) {
    std::atomic<bool> removed{false};
    HoldRead(3, [&] { return removed.load(); });
    project->ToggleAnimation();
    ASSERT_TRUE(host.thread.RunUntil([&] { return holding.IsSet(); }));
    std::remove(fixture.File("fixture.002").c_str());
    removed = true;
    ASSERT_TRUE(host.thread.RunUntil([&] { return !project->IsAnimationRunning(); }));
    EXPECT_EQ(view->taken, (std::vector<int>{1, 2}));
    EXPECT_EQ(reads.Records(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(messages.Texts(), "Unable to read from the " + fixture.File("fixture.002") + " file.");
    EXPECT_EQ(project->CurrentRecord(), 2);
    EXPECT_EQ(SheetRecord(), 2);
}

TEST_F(Animation, ClosingDuringAReadAheadWaitsForIt) {
    HoldRead(2, [] { return false; });
    project->ToggleAnimation();
    ASSERT_TRUE(host.thread.RunUntil([&] { return holding.IsSet(); }));
    project->PrepareClose();
    EXPECT_FALSE(project->IsAnimationRunning());
    EXPECT_EQ(SheetRecord(), 1);
    view.reset();
    second.reset();
    project.reset();
    host.thread.DispatchPending();
    EXPECT_TRUE(messages.messages.empty()) << messages.Texts();
}
