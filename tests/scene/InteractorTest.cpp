// The gestures of a 3D view without a window: a recording host stands in for
// the widget and answers picks as each test says.
#include "core/Messages.h"
#include "scene/CSceneInteractor.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

using namespace quillmere;

namespace {

constexpr int W = 400, H = 300;

class FakeHost : public ISceneHost {
public:
    // Answers a pick: fills the record and says whether something was found.
    std::function<bool(int x, int y, int mode, CDataDisplay& record)> answer =
        [](int, int, int, CDataDisplay&) { return false; };
    std::vector<PickMarking> picks;
    std::vector<int> pickModes;
    std::vector<Overlay> overlays;
    int redraws = 0, markersRemoved = 0, activations = 0, timerStops = 0;
    int timerPeriod = -1;
    long long now = 0;
    SceneCursor cursor = SceneCursor::Arrow;
    int measurements = 0;
    CDataDisplay measuredFirst, measuredSecond;
    int pickInformation = 0;

    bool Pick(int x, int y, int mode, PickMarking marking, CDataDisplay& record) override {
        picks.push_back(marking);
        pickModes.push_back(mode);
        return answer(x, y, mode, record);
    }
    void RemoveMarker() override { ++markersRemoved; }
    void Redraw() override { ++redraws; }
    void OverlayChanged(Overlay overlay) override { overlays.push_back(overlay); }
    void SetCursor(SceneCursor shape) override { cursor = shape; }
    void CaptureMouse(bool) override {}
    void StartRotationTimer(int periodMs) override { timerPeriod = periodMs; }
    void StopRotationTimer() override { ++timerStops; }
    long long Milliseconds() override { return now; }
    void ShowPickInformation(const CDataDisplay&) override { ++pickInformation; }
    void HidePickInformation() override {}
    void MeasurementPicked(const CDataDisplay& first, const CDataDisplay& second, int, int) override {
        ++measurements;
        measuredFirst = first;
        measuredSecond = second;
    }
    void ActivateFrame() override { ++activations; }
};

PointerEvent At(int x, int y, bool shift = false, bool ctrl = false, bool leftHeld = false) {
    PointerEvent event;
    event.x = x;
    event.y = y;
    event.shift = shift;
    event.ctrl = ctrl;
    event.leftHeld = leftHeld;
    return event;
}

// A sheet point under every pointer: the model point the camera shows there
// at mid depth.
std::function<bool(int, int, int, CDataDisplay&)> PointUnder(const CCamera& camera, int kind = PickedPoint) {
    return [&camera, kind](int x, int y, int, CDataDisplay& record) {
        record.kind = kind;
        record.point1 = camera.FromWindow(x, y, 0.5, W, H);
        record.markerX = x;
        record.markerY = y;
        return true;
    };
}

class InteractorTest : public ::testing::Test {
protected:
    InteractorTest() : interactor(camera, settings, host) {
        camera.modelSize = 0.3;
        camera.trackball.SetRotation(CCamera::GeneralView);
        interactor.Resize(W, H);
        // The visible size of the first projection set-up of a frame.
        camera.DisplayProjection(W, H);
    }
    ~InteractorTest() override {
        // The zoom box mode belongs to the program; no test leaves it on.
        if (CSceneInteractor::ZoomBoxMode()) {
            CSceneInteractor::StartZoomBox();
            interactor.LeftDown(At(1, 1));
            interactor.LeftUp(At(1, 1));
        }
    }

    CCamera camera;
    DisplaySettings settings;
    FakeHost host;
    CSceneInteractor interactor;
};

bool SameRotation(const Quaternion& a, const Quaternion& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w;
}

TEST_F(InteractorTest, LeftDragTurnsTheTrackballAndStopsOnRelease) {
    const Quaternion before = camera.trackball.Rotation();
    interactor.LeftDown(At(200, 150));
    EXPECT_EQ(host.cursor, SceneCursor::Rotate);
    EXPECT_TRUE(interactor.Dragging());
    interactor.Move(At(200, 150, false, false, true));
    EXPECT_TRUE(SameRotation(camera.trackball.Rotation(), before)) << "a step of zero length turns nothing";
    interactor.Move(At(240, 150, false, false, true));
    const Quaternion turned = camera.trackball.Rotation();
    EXPECT_FALSE(SameRotation(turned, before));
    interactor.LeftUp(At(240, 150));
    EXPECT_FALSE(interactor.Dragging());
    interactor.Move(At(300, 150));
    EXPECT_TRUE(SameRotation(camera.trackball.Rotation(), turned)) << "no turn without the button";
    EXPECT_EQ(host.timerPeriod, -1) << "continual rotation is off";
}

TEST_F(InteractorTest, RightDragPansByTheVisibleSize) {
    interactor.RightDown(At(100, 100));
    EXPECT_EQ(host.cursor, SceneCursor::Pan);
    interactor.Move(At(140, 90));
    EXPECT_FLOAT_EQ(camera.panX, 40.0f / W * camera.visibleWidth);
    EXPECT_FLOAT_EQ(camera.panY, 10.0f / H * camera.visibleHeight);
    interactor.RightUp(At(140, 90));
    interactor.Move(At(200, 200));
    EXPECT_FLOAT_EQ(camera.panX, 40.0f / W * camera.visibleWidth) << "the pan ends with the button";
}

// The factors are CameraTest's; here the gesture that applies them.
TEST_F(InteractorTest, ShiftCtrlDragZoomsByTheVerticalMove) {
    host.answer = PointUnder(camera);
    interactor.LeftDown(At(100, 100, true, true));
    interactor.Move(At(100, 103, true, true));
    CCamera expected;
    expected.DragZoom(3);
    EXPECT_EQ(camera.zoom, expected.zoom);
    interactor.LeftUp(At(100, 103, true, true));
    EXPECT_EQ(interactor.LastDragZoomY(), kNoDragZoom);
}

TEST_F(InteractorTest, ShiftMoveActivatesTheFrameUnlessAShiftCtrlMoveFindsNothing) {
    interactor.Move(At(100, 100, true, true));
    EXPECT_EQ(host.picks.size(), 1u);
    EXPECT_EQ(host.picks[0], PickMarking::None) << "the hover pick marks nothing";
    EXPECT_EQ(host.activations, 0) << "the move stops at the empty pick";
    interactor.Move(At(10, 10, true));
    EXPECT_EQ(host.activations, 1);
}

TEST_F(InteractorTest, WheelZoomsInTowardsTheUserAndIgnoresSidewaysScrolls) {
    interactor.Wheel(-120);
    EXPECT_EQ(camera.zoom, 1.1111112f);
    interactor.Wheel(120);
    EXPECT_EQ(camera.zoom, 1.1111112f * 0.9f);
    const int redraws = host.redraws;
    interactor.Wheel(0);
    EXPECT_EQ(camera.zoom, 1.1111112f * 0.9f);
    EXPECT_EQ(host.redraws, redraws);
}

TEST_F(InteractorTest, ZoomBoxZoomsIntoTheDraggedBox) {
    CSceneInteractor::StartZoomBox();
    interactor.Move(At(0, 0));
    EXPECT_EQ(host.cursor, SceneCursor::ZoomBox);
    interactor.LeftDown(At(300, 200));
    interactor.Move(At(100, 50, false, false, true));
    EXPECT_EQ(host.overlays.back(), Overlay::ZoomBox);
    const float visibleWidth = camera.visibleWidth, visibleHeight = camera.visibleHeight;
    interactor.LeftUp(At(100, 50));
    EXPECT_FALSE(CSceneInteractor::ZoomBoxMode());
    EXPECT_EQ(interactor.ZoomBox(), (std::array<int, 4>{100, 50, 300, 200})) << "corners ordered";
    EXPECT_EQ(camera.zoom, std::min(float(W) / 200, float(H) / 150));
    EXPECT_FLOAT_EQ(camera.panX, float(W / 2 - 400 / 2) / W * visibleWidth);
    EXPECT_FLOAT_EQ(camera.panY, -float(H / 2 - 250 / 2) / H * visibleHeight);
    EXPECT_FALSE(interactor.ClipPlanesActive());
}

TEST_F(InteractorTest, BoxWithoutExtentChangesNothingAndEndsTheExclusiveRequest) {
    interactor.StartExclusiveZoomBox();
    interactor.LeftDown(At(120, 80));
    interactor.Move(At(120, 180, false, false, true));
    interactor.LeftUp(At(120, 180));
    EXPECT_EQ(camera.zoom, 1.0f);
    EXPECT_EQ(camera.panX, 0.0f);
    EXPECT_FALSE(interactor.ClipPlanesActive());
    EXPECT_FALSE(interactor.ExclusiveZoomPending());
    // The next plain box zooms without planes.
    CSceneInteractor::StartZoomBox();
    interactor.LeftDown(At(100, 100));
    interactor.Move(At(200, 200, false, false, true));
    interactor.LeftUp(At(200, 200));
    EXPECT_NE(camera.zoom, 1.0f);
    EXPECT_FALSE(interactor.ClipPlanesActive());
}

TEST_F(InteractorTest, ExclusiveZoomKeepsTheInsideOfTheBoxVisible) {
    interactor.StartExclusiveZoomBox();
    interactor.LeftDown(At(100, 80));
    interactor.Move(At(260, 220, false, false, true));
    interactor.LeftUp(At(260, 220));
    ASSERT_TRUE(interactor.ClipPlanesActive());
    EXPECT_FALSE(interactor.ExclusiveZoomPending());
    // Model points seen before the zoom inside and outside the box, at two
    // depths: the planes hold the viewing direction.
    CCamera before;
    before.modelSize = camera.modelSize;
    before.trackball.SetRotation(CCamera::GeneralView);
    auto visible = [&](double x, double y, double depth) {
        const CCoordinate p = before.FromWindow(x, y, depth, W, H);
        for (int k = 0; k < 4; ++k) {
            const double* plane = interactor.ClipPlanes()[k];
            if (plane[0] * p.x + plane[1] * p.y + plane[2] * p.z + plane[3] < 0)
                return false;
        }
        return true;
    };
    for (double depth : {0.2, 0.5, 0.9}) {
        EXPECT_TRUE(visible(180, 150, depth));
        EXPECT_TRUE(visible(101, 81, depth));
        EXPECT_FALSE(visible(90, 150, depth));
        EXPECT_FALSE(visible(270, 150, depth));
        EXPECT_FALSE(visible(180, 70, depth));
        EXPECT_FALSE(visible(180, 230, depth));
    }
    interactor.RemoveClipPlanes();
    EXPECT_FALSE(interactor.ClipPlanesActive());
}

TEST_F(InteractorTest, CtrlClickCentresOnThePickedPointWithoutAJump) {
    camera.trackball.SetRotation(CCamera::YZView);
    camera.DisplayProjection(W, H);
    host.answer = PointUnder(camera);
    const CCoordinate oldCentre(camera.centre[0], camera.centre[1], camera.centre[2]);
    const auto before = camera.ToWindow(oldCentre, W, H);
    interactor.LeftDown(At(310, 60, false, true));
    ASSERT_EQ(host.pickModes.back(), int(PointMode)) << "the centre is picked in point mode";
    EXPECT_EQ(host.picks.back(), PickMarking::Current);
    const CCoordinate picked = camera.FromWindow(310, 60, 0.5, W, H);
    EXPECT_NEAR(camera.centre[0], picked.x, 1e-6);
    EXPECT_NEAR(camera.centre[2], picked.z, 1e-6);
    const auto after = camera.ToWindow(oldCentre, W, H);
    EXPECT_NEAR(after[0], before[0], 1e-2);
    EXPECT_NEAR(after[1], before[1], 1e-2);
    EXPECT_EQ(interactor.PickMode(), int(PointMode));
    EXPECT_FALSE(interactor.Dragging());
}

TEST_F(InteractorTest, CtrlClickOnAToolFaceOrNothingKeepsTheCentre) {
    for (int kind : {int(PickedNothing), -1}) {
        if (kind == PickedNothing)
            host.answer = PointUnder(camera, PickedNothing);
        else
            host.answer = [](int, int, int, CDataDisplay&) { return false; };
        interactor.LeftDown(At(310, 60, false, true));
        EXPECT_EQ(camera.centre[0], 0.0f);
        EXPECT_EQ(camera.centre[1], 0.0f);
        EXPECT_EQ(camera.panX, 0.0f);
        EXPECT_EQ(camera.panY, 0.0f);
    }
}

TEST_F(InteractorTest, ShiftRightPicksAndShowsThePick) {
    host.answer = PointUnder(camera);
    interactor.SetPickMode(ElementMode);
    interactor.RightDown(At(50, 60, true));
    EXPECT_EQ(host.pickModes.back(), int(ElementMode));
    EXPECT_EQ(host.pickInformation, 1);
    EXPECT_EQ(interactor.CurrentPick().markerX, 50);
    interactor.RightUp(At(50, 60, true));
    EXPECT_FALSE(interactor.Dragging());
}

TEST_F(InteractorTest, MeasurementTakesTwoPointsThenOpens) {
    settings.distanceMeasurement = 1;
    host.answer = PointUnder(camera);
    interactor.RightDown(At(100, 100, true));
    EXPECT_TRUE(interactor.Marker(0).shown);
    EXPECT_EQ(interactor.Marker(0).CentreX(), 100);
    EXPECT_EQ(host.picks.back(), PickMarking::FirstPoint);
    interactor.RightUp(At(100, 100, true));
    EXPECT_TRUE(interactor.Marker(0).shown) << "the first marker stays while the second is awaited";
    interactor.RightDown(At(200, 150, true));
    EXPECT_EQ(host.picks.back(), PickMarking::SecondPoint);
    ASSERT_EQ(host.measurements, 1);
    EXPECT_EQ(host.measuredFirst.markerX, 100);
    EXPECT_EQ(host.measuredSecond.markerX, 200);
    EXPECT_EQ(host.overlays,
              (std::vector<Overlay>{Overlay::FirstPoint, Overlay::SecondPoint, Overlay::MeasurementLine}));
    interactor.RightUp(At(200, 150, true));
    EXPECT_FALSE(interactor.Marker(0).shown) << "the marks go when the measurement opens";
    // The next click starts a new measurement.
    interactor.RightDown(At(30, 40, true));
    EXPECT_EQ(host.picks.back(), PickMarking::FirstPoint);
    EXPECT_EQ(interactor.FirstPoint().markerX, 30);
}

TEST_F(InteractorTest, ShiftCtrlRightResetsAStartedMeasurement) {
    settings.distanceMeasurement = 1;
    host.answer = PointUnder(camera);
    interactor.RightDown(At(100, 100, true));
    interactor.RightUp(At(100, 100, true));
    interactor.RightDown(At(100, 100, true, true));
    EXPECT_FALSE(interactor.Marker(0).shown);
    EXPECT_GE(host.markersRemoved, 1);
    interactor.RightDown(At(220, 120, true));
    EXPECT_EQ(host.picks.back(), PickMarking::FirstPoint) << "the click is a new first point";
    EXPECT_EQ(interactor.FirstPoint().markerX, 220);
    EXPECT_EQ(host.measurements, 0);
}

TEST_F(InteractorTest, MeasurementIsRefusedInElementMode) {
    CRecordingMessages messages;
    settings.distanceMeasurement = 1;
    interactor.SetPickMode(ElementMode);
    interactor.RightDown(At(100, 100, true));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, MessageText(MessageId::MeasurementInElementMode));
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Error);
    EXPECT_TRUE(host.picks.empty());
}

// A drag of 50 pixels in 500 ms with continual rotation on.
void ContinualDrag(CSceneInteractor& interactor, FakeHost& host) {
    interactor.LeftDown(At(100, 150));
    host.now = 1000;
    interactor.Move(At(110, 150, false, false, true));
    host.now = 1500;
    interactor.Move(At(160, 150, false, false, true));
    interactor.LeftUp(At(160, 150));
}

TEST_F(InteractorTest, ContinualRotationRunsWithAPeriodOfAHundredthOfTheDrag) {
    settings.continualRotation = 1;
    ContinualDrag(interactor, host);
    EXPECT_EQ(host.timerPeriod, 5);
    interactor.Move(At(170, 150)); // the first move after the drag
    interactor.Move(At(180, 150));
    const Quaternion before = camera.trackball.Rotation();
    interactor.RotationTick();
    EXPECT_TRUE(interactor.RotationRunning());
    EXPECT_FALSE(SameRotation(camera.trackball.Rotation(), before));
    // A press stops it.
    interactor.LeftDown(At(10, 10));
    EXPECT_FALSE(interactor.RotationRunning());
    EXPECT_GE(host.timerStops, 1);
}

TEST_F(InteractorTest, ContinualRotationStopsWithoutAPointerMoveAfterTheDrag) {
    settings.continualRotation = 1;
    ContinualDrag(interactor, host);
    const Quaternion before = camera.trackball.Rotation();
    const int stops = host.timerStops;
    interactor.RotationTick();
    EXPECT_EQ(host.timerStops, stops + 1);
    EXPECT_TRUE(SameRotation(camera.trackball.Rotation(), before));
}

} // namespace
