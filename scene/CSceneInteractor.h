// The mouse gestures of a 3D view: rotation, pan, zooms, the zoom box and the
// exclusive zoom with its clip planes, the Ctrl-click centre, picks, the
// distance measurement clicks and the continual rotation. It knows no window
// system: the view hands it button, modifier and position events in device
// pixels and lends it what it needs through ISceneHost.
#pragma once

#include "config/DisplaySettings.h"
#include "scene/CCamera.h"
#include "scene/CDataDisplay.h"
#include "scene/Overlay.h"

#include <array>

namespace quillmere {

// The pointer shapes a gesture asks for.
enum class SceneCursor { Arrow, Rotate, Pan, ZoomBox, Busy };

// Which marker a pick leaves: none, the pick highlight, or the marker of the
// first or second measurement point.
enum class PickMarking { None, Current, FirstPoint, SecondPoint };

// No drag-zoom in progress.
constexpr int kNoDragZoom = -11111111;

// One mouse event: the pointer in device pixels, y downwards.
struct PointerEvent {
    int x = 0, y = 0;
    bool shift = false, ctrl = false;
    bool leftHeld = false; // the left button is down during a move
};

// What the gestures need of their view.
class ISceneHost {
public:
    virtual ~ISceneHost() = default;
    // Picks at a window point in the given mode and marks the result; true
    // when something was found.
    virtual bool Pick(int x, int y, int mode, PickMarking marking, CDataDisplay& record) = 0;
    // Removes the pick highlight, if any.
    virtual void RemoveMarker() = 0;
    virtual void Redraw() = 0;
    // An overlay of the view changed (the zoom box or the measurement's).
    virtual void OverlayChanged(Overlay overlay) = 0;
    virtual void SetCursor(SceneCursor cursor) = 0;
    virtual void CaptureMouse(bool capture) = 0;
    virtual void StartRotationTimer(int periodMs) = 0;
    virtual void StopRotationTimer() = 0;
    virtual long long Milliseconds() = 0;
    virtual void ShowPickInformation(const CDataDisplay& record) = 0;
    virtual void HidePickInformation() = 0;
    // Both points of a distance measurement are picked; (x, y) is the second
    // click.
    virtual void MeasurementPicked(const CDataDisplay& first, const CDataDisplay& second, int x, int y) = 0;
    // A Shift gesture over a view that is not the active one activates it.
    virtual void ActivateFrame() = 0;
};

// A marker rectangle in device pixels; empty when not shown.
struct MarkerRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool shown = false;
    int CentreX() const { return (left + right) / 2; }
    int CentreY() const { return (top + bottom) / 2; }
};

class CSceneInteractor {
public:
    CSceneInteractor(CCamera& camera, const DisplaySettings& settings, ISceneHost& host);

    // The client area in device pixels.
    void Resize(int width, int height);
    void SetPickMode(int mode) { pickMode = mode; }
    int PickMode() const { return pickMode; }

    void LeftDown(const PointerEvent& event);
    void LeftUp(const PointerEvent& event);
    void RightDown(const PointerEvent& event);
    void RightUp(const PointerEvent& event);
    void Move(const PointerEvent& event);
    // A wheel turn: the vertical delta, negative towards the user.
    void Wheel(int delta);
    void FocusLost();
    void RotationTick();

    // The zoom box commands; the box mode is shared by every view.
    static void StartZoomBox();
    void StartExclusiveZoomBox();
    static bool ZoomBoxMode();
    // Fit into window and the remove command.
    void RemoveClipPlanes() { clipActive = false; }
    // Measurement switched on or off: a new measurement starts.
    void ResetMeasurement();

    bool Dragging() const { return leftDrag || rightDrag; }
    bool RotationRunning() const { return rotationRunning; }
    bool ClipPlanesActive() const { return clipActive; }
    const double (*ClipPlanes() const)[4] { return clipPlanes; }
    bool ExclusiveZoomPending() const { return exclusiveZoom; }
    const std::array<int, 4>& ZoomBox() const { return box; }
    const MarkerRect& Marker(int point) const { return markers[point]; }
    int LastDragZoomY() const { return lastDragZoomY; }
    const CDataDisplay& CurrentPick() const { return currentPick; }
    const CDataDisplay& FirstPoint() const { return firstPoint; }
    const CDataDisplay& SecondPoint() const { return secondPoint; }

private:
    void StopRotation();
    void CentreAt(int x, int y);
    void MeasurementClick(const PointerEvent& event);
    bool PickMeasurementPoint(int x, int y, int point);
    void ClearMarkers();
    void ZoomIntoBox();
    bool SetClipPlanes(int x0, int y0, int x1, int y1);
    // The pointer a mirrored position stands for.
    std::array<int, 2> Unmirrored(int x, int y) const { return {width - x, height - y}; }

    CCamera& camera;
    const DisplaySettings& settings;
    ISceneHost& host;
    int width = 1, height = 1;
    int pickMode = PointMode;

    bool leftDrag = false, rightDrag = false;
    int lastPanX = 0, lastPanY = 0;
    int lastDragZoomY = kNoDragZoom;
    std::array<int, 4> box{};

    bool clipActive = false;
    double clipPlanes[4][4] = {};
    bool exclusiveZoom = false;

    CDataDisplay currentPick, firstPoint, secondPoint;
    bool firstSet = false, waitingSecond = false, markerShown = false, secondSet = false;
    MarkerRect markers[2];

    // Continual rotation; start and end are mirrored positions.
    long long rotationStart = 0;
    bool rotationArmed = false, firstMove = false, rotationRunning = false, firstTick = false;
    int rotationCounter = 0;
    std::array<int, 2> startPoint{}, endPoint{}, lastFreePointer{};
};

} // namespace quillmere
