// The gestures of one 3D view on the window side: the mouse events handed
// to the interactor, what the gestures ask of the window (picks, cursor,
// timers) and the overlays they leave (the zoom box, the measurement's
// markers and line, the pick highlight), which the view rebuilds in its own
// lists. Nothing of it goes through the document: each view keeps its own.
#pragma once

#include "render/CScenePicker.h"
#include "scene/CSceneInteractor.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QTimer>

namespace quillmere {

class CSceneRender;

class CViewGestures : public QObject, private ISceneHost {
    Q_OBJECT

public:
    // Takes the view's mouse, wheel and focus events.
    explicit CViewGestures(CSceneRender& view);

    CSceneInteractor& Interactor() { return interactor; }
    const CSceneInteractor& Interactor() const { return interactor; }

    // Picks at a window point (logical pixels) in the view's pick mode; true
    // when something was found (and, with mark, highlighted).
    bool PickAt(int x, int y, CDataDisplay& record, bool mark);
    // Where the last pick was made, in device pixels.
    QPoint LastPick() const { return lastPick; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What the gestures ask of the window.
    bool Pick(int x, int y, int mode, PickMarking marking, CDataDisplay& record) override;
    void RemoveMarker() override;
    void Redraw() override;
    void OverlayChanged(Overlay overlay) override;
    void SetCursor(SceneCursor cursor) override;
    // Every capture happens while a button is held, and Qt keeps the mouse
    // for the widget that a button was pressed on until it is released.
    void CaptureMouse(bool) override {}
    void StartRotationTimer(int periodMs) override { rotationTimer.start(periodMs); }
    void StopRotationTimer() override { rotationTimer.stop(); }
    long long Milliseconds() override { return clock.elapsed(); }
    void ShowPickInformation(const CDataDisplay& record) override;
    void HidePickInformation() override;
    void MeasurementPicked(const CDataDisplay& first, const CDataDisplay& second, int x, int y) override;
    void ActivateFrame() override {}

    CSceneRender& view;
    CScenePicker picker;
    CSceneInteractor interactor;
    QTimer rotationTimer;
    QElapsedTimer clock;
    QPoint lastPick;
};

} // namespace quillmere
