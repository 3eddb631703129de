#include "scene/CSceneInteractor.h"

#include "core/Messages.h"

#include <algorithm>
#include <cmath>

namespace quillmere {

namespace {

// The zoom box is a command of the program, not of one view.
bool zoomBoxMode = false;

// Half the size of a measurement marker, in pixels.
constexpr int MarkerHalfSize = 5;

} // namespace

CSceneInteractor::CSceneInteractor(CCamera& viewCamera, const DisplaySettings& viewSettings,
                                   ISceneHost& viewHost)
    : camera(viewCamera), settings(viewSettings), host(viewHost) {}

void CSceneInteractor::Resize(int w, int h) {
    width = std::max(w, 1);
    height = std::max(h, 1);
    camera.trackball.Resize(width, height);
}

void CSceneInteractor::StartZoomBox() {
    zoomBoxMode = true;
}

void CSceneInteractor::StartExclusiveZoomBox() {
    zoomBoxMode = true;
    exclusiveZoom = true;
}

bool CSceneInteractor::ZoomBoxMode() {
    return zoomBoxMode;
}

void CSceneInteractor::StopRotation() {
    host.StopRotationTimer();
    rotationRunning = rotationArmed = firstTick = false;
}

void CSceneInteractor::LeftDown(const PointerEvent& event) {
    StopRotation();
    host.RemoveMarker();
    if (event.ctrl && !event.shift) {
        CentreAt(event.x, event.y);
        host.Redraw();
        return;
    }
    if (event.ctrl && event.shift) {
        lastDragZoomY = event.y;
        host.CaptureMouse(true);
        return;
    }
    leftDrag = true;
    if (zoomBoxMode) {
        host.CaptureMouse(true);
        box = {event.x, event.y, event.x, event.y};
        return;
    }
    camera.trackball.StartTracking(event.x, event.y);
    host.SetCursor(SceneCursor::Rotate);
}

// The point picked under the pointer becomes the centre of rotation; the pan
// takes up the old centre's move so that the picture does not jump.
void CSceneInteractor::CentreAt(int x, int y) {
    CDataDisplay record = currentPick;
    // A tool face in point mode carries no point: nothing was found.
    if (!host.Pick(x, y, PointMode, PickMarking::Current, record) || record.kind == PickedNothing)
        return;
    currentPick = record;
    const CCoordinate oldCentre(camera.centre[0], camera.centre[1], camera.centre[2]);
    const std::array<double, 3> before = camera.ToWindow(oldCentre, width, height);
    camera.centre[0] = static_cast<float>(record.point1.x);
    camera.centre[1] = static_cast<float>(record.point1.y);
    camera.centre[2] = static_cast<float>(record.point1.z);
    const std::array<double, 3> after = camera.ToWindow(oldCentre, width, height);
    camera.panX += static_cast<float>((before[0] - after[0]) * camera.visibleWidth / width);
    camera.panY -= static_cast<float>((before[1] - after[1]) * camera.visibleHeight / height);
}

void CSceneInteractor::Move(const PointerEvent& event) {
    if (event.shift && event.ctrl) {
        CDataDisplay scratch;
        // Over nothing the move is ignored, unless a drag-zoom runs: leaving
        // the model must not freeze it.
        if (!host.Pick(event.x, event.y, pickMode, PickMarking::None, scratch) &&
            lastDragZoomY == kNoDragZoom)
            return;
    }
    if (zoomBoxMode) {
        host.SetCursor(SceneCursor::ZoomBox);
    } else if (event.shift && event.ctrl && lastDragZoomY != kNoDragZoom) {
        camera.DragZoom(event.y - lastDragZoomY);
        lastDragZoomY = event.y;
        host.Redraw();
        return;
    } else if (event.leftHeld) {
        host.SetCursor(SceneCursor::Rotate);
    } else if (rightDrag && !event.ctrl) {
        host.SetCursor(SceneCursor::Pan);
    } else if (!rightDrag) {
        host.SetCursor(rotationRunning ? SceneCursor::Busy : SceneCursor::Arrow);
    }
    if (event.shift || (event.ctrl && rightDrag))
        host.ActivateFrame();
    if (leftDrag) {
        if (zoomBoxMode) {
            box[2] = event.x;
            box[3] = event.y;
            host.OverlayChanged(Overlay::ZoomBox);
            return;
        }
        if (settings.continualRotation && !rotationArmed && !firstMove) {
            rotationStart = host.Milliseconds();
            startPoint = {width - event.x, height - event.y};
            rotationArmed = firstMove = true;
        }
        camera.trackball.Step(event.x, event.y);
        host.Redraw();
        return;
    }
    if (firstMove)
        firstMove = false;
    else
        lastFreePointer = {event.x, event.y};
    if (rightDrag && !event.shift && !event.ctrl) {
        camera.Pan(event.x - lastPanX, event.y - lastPanY, width, height);
        lastPanX = event.x;
        lastPanY = event.y;
        host.Redraw();
    }
}

void CSceneInteractor::LeftUp(const PointerEvent& event) {
    if (rotationArmed) {
        endPoint = {width - event.x, height - event.y};
        rotationArmed = false;
        firstTick = true;
        rotationCounter = 0;
        const long long period = (host.Milliseconds() - rotationStart) / 100;
        host.StartRotationTimer(static_cast<int>(std::clamp<long long>(period, 1, 1000000)));
    }
    lastDragZoomY = kNoDragZoom;
    host.CaptureMouse(false);
    if (!leftDrag)
        return;
    leftDrag = false;
    if (zoomBoxMode) {
        if (box[0] > box[2])
            std::swap(box[0], box[2]);
        if (box[1] > box[3])
            std::swap(box[1], box[3]);
        ZoomIntoBox();
        zoomBoxMode = false;
        host.OverlayChanged(Overlay::ZoomBox);
        host.SetCursor(SceneCursor::Arrow);
    } else {
        camera.trackball.StopTracking();
    }
    host.Redraw();
}

void CSceneInteractor::RightDown(const PointerEvent& event) {
    if (event.shift && event.ctrl) {
        host.RemoveMarker();
        // The next measurement click starts a new measurement.
        markerShown = false;
        ClearMarkers();
        return;
    }
    if (event.shift && settings.distanceMeasurement) {
        MeasurementClick(event);
        return;
    }
    if (event.shift) {
        host.RemoveMarker();
        CDataDisplay record = currentPick;
        if (host.Pick(event.x, event.y, pickMode, PickMarking::Current, record)) {
            currentPick = record;
            host.ShowPickInformation(currentPick);
            host.CaptureMouse(true);
            rightDrag = true;
        }
        return;
    }
    if (event.ctrl) {
        host.RemoveMarker();
        return;
    }
    if (!zoomBoxMode) {
        rightDrag = true;
        lastPanX = event.x;
        lastPanY = event.y;
        host.CaptureMouse(true);
        host.RemoveMarker();
        host.SetCursor(SceneCursor::Pan);
    }
}

void CSceneInteractor::RightUp(const PointerEvent& event) {
    host.RemoveMarker();
    if (event.shift && settings.distanceMeasurement && firstSet && !markerShown && !secondSet)
        ClearMarkers();
    if (!rightDrag)
        return;
    rightDrag = false;
    if (!settings.distanceMeasurement)
        host.HidePickInformation();
    host.CaptureMouse(false);
    host.SetCursor(SceneCursor::Arrow);
    host.Redraw();
}

void CSceneInteractor::MeasurementClick(const PointerEvent& event) {
    if (pickMode == ElementMode) {
        ShowMessage(MessageId::MeasurementInElementMode, MessageIcon::Error);
        return;
    }
    if (firstSet && !markerShown && !secondSet)
        firstSet = false;
    if (waitingSecond && firstSet) {
        if (PickMeasurementPoint(event.x, event.y, 1)) {
            secondSet = true;
            waitingSecond = false;
            host.CaptureMouse(false);
        }
    } else if (!firstSet) {
        // A new measurement replaces the marks of the last one.
        ClearMarkers();
        if (PickMeasurementPoint(event.x, event.y, 0)) {
            firstSet = waitingSecond = markerShown = true;
            host.CaptureMouse(false);
        }
    }
    if (markerShown && secondSet) {
        markerShown = secondSet = false;
        host.MeasurementPicked(firstPoint, secondPoint, event.x, event.y);
    }
}

bool CSceneInteractor::PickMeasurementPoint(int x, int y, int point) {
    CDataDisplay& record = point == 0 ? firstPoint : secondPoint;
    CDataDisplay picked = record;
    if (!host.Pick(x, y, pickMode, point == 0 ? PickMarking::FirstPoint : PickMarking::SecondPoint, picked))
        return false;
    record = picked;
    markers[point] = {record.markerX - MarkerHalfSize, record.markerY - MarkerHalfSize,
                      record.markerX + MarkerHalfSize, record.markerY + MarkerHalfSize, true};
    host.OverlayChanged(point == 0 ? Overlay::FirstPoint : Overlay::SecondPoint);
    if (point == 1)
        host.OverlayChanged(Overlay::MeasurementLine);
    return true;
}

void CSceneInteractor::ClearMarkers() {
    if (!markers[0].shown && !markers[1].shown)
        return;
    markers[0] = markers[1] = MarkerRect();
    for (Overlay overlay : {Overlay::FirstPoint, Overlay::SecondPoint, Overlay::MeasurementLine})
        host.OverlayChanged(overlay);
}

void CSceneInteractor::ResetMeasurement() {
    firstSet = waitingSecond = markerShown = secondSet = false;
    ClearMarkers();
}

void CSceneInteractor::Wheel(int delta) {
    // A sideways scroll has no vertical turn.
    if (delta == 0)
        return;
    host.RemoveMarker();
    camera.Wheel(delta);
    host.Redraw();
}

void CSceneInteractor::FocusLost() {
    host.RemoveMarker();
}

void CSceneInteractor::ZoomIntoBox() {
    const int x0 = box[0], y0 = box[1], x1 = box[2], y1 = box[3];
    // A box without extent changes nothing but ends the exclusive request.
    if (x0 == x1 || y0 == y1) {
        exclusiveZoom = false;
        return;
    }
    if (exclusiveZoom) {
        exclusiveZoom = false;
        if (!SetClipPlanes(x0, y0, x1, y1))
            return;
    }
    camera.ZoomIntoBox(x0, y0, x1, y1, width, height);
}

// Four planes, each through one side of the box and the viewing direction,
// the inside of the box on the visible side of all four.
bool CSceneInteractor::SetClipPlanes(int x0, int y0, int x1, int y1) {
    auto at = [this](int x, int y, double depth) { return camera.FromWindow(x, y, depth, width, height); };
    const CCoordinate tl = at(x0, y0, 0), tr = at(x1, y0, 0), br = at(x1, y1, 0), bl = at(x0, y1, 0);
    const CCoordinate tlDeep = at(x0, y0, 0.1), brDeep = at(x1, y1, 0.1);
    const CCoordinate sides[4][3] = {{tl, tr, tlDeep}, {tr, br, brDeep}, {br, bl, brDeep}, {bl, tl, tlDeep}};
    // The orientation is checked against the box centre so that it holds
    // whatever the handedness of the window mapping.
    const CCoordinate centre = (tl + br) * 0.5;
    double planes[4][4];
    for (int k = 0; k < 4; ++k) {
        const CCoordinate n = Cross(sides[k][1] - sides[k][0], sides[k][2] - sides[k][0]);
        const double length = Norm(n);
        if (!(length > 0))
            return false;
        CCoordinate unit = n * (1.0 / length);
        double d = -Dot(unit, sides[k][0]);
        if (Dot(unit, centre) + d < 0) {
            unit = unit * -1.0;
            d = -d;
        }
        planes[k][0] = unit.x;
        planes[k][1] = unit.y;
        planes[k][2] = unit.z;
        planes[k][3] = d;
    }
    std::copy(&planes[0][0], &planes[0][0] + 16, &clipPlanes[0][0]);
    clipActive = true;
    return true;
}

void CSceneInteractor::RotationTick() {
    if (lastFreePointer[0] == 0 && lastFreePointer[1] == 0) {
        StopRotation();
        return;
    }
    if (firstTick) {
        firstTick = false;
        host.CaptureMouse(false);
        host.CaptureMouse(true);
        const auto start = Unmirrored(startPoint[0], startPoint[1]);
        camera.trackball.SetLastPointer(start[0], start[1]);
    }
    // The square root of the scalar product of the two positions, as the
    // rotation has always stepped.
    const double product =
        static_cast<double>(startPoint[0]) * endPoint[0] + static_cast<double>(startPoint[1]) * endPoint[1];
    const int length = product > 0 ? static_cast<int>(std::sqrt(product)) : 0;
    if (length == 0) {
        StopRotation();
        return;
    }
    const float ux = static_cast<float>(endPoint[0] - startPoint[0]) / static_cast<float>(length);
    const float uy = static_cast<float>(endPoint[1] - startPoint[1]) / static_cast<float>(length);
    rotationCounter += 50;
    if (rotationCounter >= length) {
        rotationCounter = 0;
        const auto start = Unmirrored(startPoint[0], startPoint[1]);
        camera.trackball.SetLastPointer(start[0], start[1]);
    }
    const int px =
        static_cast<int>(static_cast<float>(rotationCounter) * ux + static_cast<float>(startPoint[0]));
    const int py =
        static_cast<int>(static_cast<float>(rotationCounter) * uy + static_cast<float>(startPoint[1]));
    rotationRunning = true;
    const auto pointer = Unmirrored(px, py);
    camera.trackball.StepFrom(pointer[0], pointer[1]);
    host.Redraw();
}

} // namespace quillmere
