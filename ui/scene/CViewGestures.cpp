#include "ui/scene/CViewGestures.h"

#include "model/CProjectProfile.h"
#include "ui/scene/CSceneRender.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <cmath>

namespace quillmere {

namespace {

// Gestures, overlays and picks all work in device pixels.
PointerEvent Pointer(const QPointF& position, qreal ratio, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                     Qt::MouseButtons buttons = Qt::NoButton) {
    PointerEvent event;
    event.x = static_cast<int>(std::lround(position.x() * ratio));
    event.y = static_cast<int>(std::lround(position.y() * ratio));
    event.shift = modifiers & Qt::ShiftModifier;
    event.ctrl = modifiers & Qt::ControlModifier;
    event.leftHeld = buttons & Qt::LeftButton;
    return event;
}

PointerEvent Pointer(const QMouseEvent& event, qreal ratio) {
    return Pointer(event.position(), ratio, event.modifiers(), event.buttons());
}

} // namespace

CViewGestures::CViewGestures(CSceneRender& shown)
    : view(shown), interactor(shown.Scene().Camera(), shown.Scene().Settings(), *this) {
    clock.start();
    connect(&rotationTimer, &QTimer::timeout, this, [this] { interactor.RotationTick(); });
    view.installEventFilter(this);
}

bool CViewGestures::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &view)
        return false;
    const qreal ratio = view.devicePixelRatioF();
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const PointerEvent pointer = Pointer(*mouse, ratio);
        const bool press = event->type() == QEvent::MouseButtonPress;
        if (mouse->button() == Qt::LeftButton)
            press ? interactor.LeftDown(pointer) : interactor.LeftUp(pointer);
        else if (mouse->button() == Qt::RightButton)
            press ? interactor.RightDown(pointer) : interactor.RightUp(pointer);
        return true;
    }
    case QEvent::MouseMove:
        interactor.Move(Pointer(*static_cast<QMouseEvent*>(event), ratio));
        return true;
    case QEvent::Wheel:
        interactor.Wheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
        return true;
    case QEvent::FocusOut:
        interactor.FocusLost();
        return false;
    default:
        return false;
    }
}

bool CViewGestures::Pick(int x, int y, int mode, PickMarking marking, CDataDisplay& record) {
    if (!view.contextReady)
        return false;
    lastPick = QPoint(x, y);
    CScene& scene = view.Scene();
    const CProjectProfile* project = view.project;
    PickScene parts;
    parts.sheet = project ? project->Sheet() : nullptr;
    parts.tools = project ? &project->Tools() : nullptr;
    parts.sheetShown = scene.Settings().sheetShown != 0;
    std::vector<std::array<int, 2>> outline;
    bool found = false;
    view.WithContext([&] {
        found =
            picker.Pick(scene.Drawer(), scene.Camera(), scene.Frame(), parts, x, y, mode, record, outline);
    });
    if (found && marking == PickMarking::Current) {
        scene.SetPickOutline(outline);
        OverlayChanged(Overlay::PickHighlight);
    }
    return found;
}

bool CViewGestures::PickAt(int x, int y, CDataDisplay& record, bool mark) {
    const PointerEvent at = Pointer(QPointF(x, y), view.devicePixelRatioF());
    return Pick(at.x, at.y, interactor.PickMode(), mark ? PickMarking::Current : PickMarking::None, record);
}

void CViewGestures::RemoveMarker() {
    if (view.Scene().ClearPickOutline())
        OverlayChanged(Overlay::PickHighlight);
}

void CViewGestures::Redraw() {
    view.update();
}

void CViewGestures::OverlayChanged(Overlay overlay) {
    view.WithContext([&] { view.Scene().BuildOverlay(overlay, interactor); });
    view.update();
}

void CViewGestures::SetCursor(SceneCursor cursor) {
    switch (cursor) {
    case SceneCursor::Rotate:
        view.setCursor(Qt::ClosedHandCursor);
        break;
    case SceneCursor::Pan:
        view.setCursor(Qt::SizeAllCursor);
        break;
    case SceneCursor::ZoomBox:
        view.setCursor(Qt::CrossCursor);
        break;
    case SceneCursor::Busy:
        view.setCursor(Qt::BusyCursor);
        break;
    case SceneCursor::Arrow:
        view.unsetCursor();
        break;
    }
}

void CViewGestures::ShowPickInformation(const CDataDisplay& record) {
    emit view.Picked(record);
}

void CViewGestures::HidePickInformation() {
    emit view.PickInformationHidden();
}

void CViewGestures::MeasurementPicked(const CDataDisplay& first, const CDataDisplay& second, int x, int y) {
    const qreal ratio = view.devicePixelRatioF();
    emit view.MeasurementReady(
        first, second, view.mapToGlobal(QPoint(static_cast<int>(x / ratio), static_cast<int>(y / ratio))));
}

} // namespace quillmere
