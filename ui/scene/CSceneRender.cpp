#include "ui/scene/CSceneRender.h"

#include "core/Messages.h"
#include "model/CProjectProfile.h"
#include "scene/SceneTexts.h"

#include <GL/gl.h>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QScreen>
#include <QWheelEvent>
#include <cmath>

namespace {

// One frame at a time, whatever view draws it.
bool drawing = false;

} // namespace

void CSceneRender::PrepareApplication() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QSurfaceFormat format;
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    QSurfaceFormat::setDefaultFormat(format);
}

CSceneRender::CSceneRender(CProjectProfile* document, const DisplaySettings& defaults, QWidget* parent)
    : QOpenGLWidget(parent), project(document), scene(document, defaults, 1, this),
      interactor(scene.Camera(), scene.Settings(), *this) {
    QSurfaceFormat format = QSurfaceFormat::defaultFormat();
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(8);
    // 32 bits of depth are asked for; the 24 that Mesa and most drivers
    // give are taken.
    format.setDepthBufferSize(32);
    setFormat(format);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    scene.Camera().trackball.SetRotation(CCamera::GeneralView);
    if (project) {
        project->AddView(this);
        shownRecord = project->CurrentRecord();
    }
    clock.start();
    connect(&rotationTimer, &QTimer::timeout, this, [this] { interactor.RotationTick(); });
}

CSceneRender::~CSceneRender() {
    // QOpenGLWidget destroys the context after this destructor: its
    // farewell must not reach the members that are gone by then.
    if (QOpenGLContext* current = context())
        disconnect(current, nullptr, this, nullptr);
    if (project)
        project->RemoveView(this);
    scene.ReleaseOffscreen();
    WithContext([this] { ReleaseGL(); });
}

CDocument* CSceneRender::Document() const {
    return project;
}

void CSceneRender::ReleaseGL() {
    if (contextReady)
        scene.Drawer().ReleaseLists();
    contextReady = false;
}

FrameState CSceneRender::WindowFrame() const {
    FrameState frame;
    const qreal ratio = devicePixelRatioF();
    frame.width = std::max(1, static_cast<int>(std::lround(width() * ratio)));
    frame.height = std::max(1, static_cast<int>(std::lround(height() * ratio)));
    frame.motion = interactor.Dragging();
    frame.clipActive = interactor.ClipPlanesActive();
    std::copy(&interactor.ClipPlanes()[0][0], &interactor.ClipPlanes()[0][0] + 16, &frame.clipPlanes[0][0]);
    frame.zoomBoxMode = CSceneInteractor::ZoomBoxMode();
    return frame;
}

QOpenGLContext* CSceneRender::ListContext() {
    // Not shown yet: a hidden view still gets its context.
    if (!contextReady)
        (void)grabFramebuffer();
    return contextReady ? context() : nullptr;
}

PointerEvent CSceneRender::Pointer(const QPointF& position, Qt::KeyboardModifiers modifiers,
                                   Qt::MouseButtons buttons) const {
    // Gestures, overlays and picks all work in device pixels.
    const qreal ratio = devicePixelRatioF();
    PointerEvent event;
    event.x = static_cast<int>(std::lround(position.x() * ratio));
    event.y = static_cast<int>(std::lround(position.y() * ratio));
    event.shift = modifiers & Qt::ShiftModifier;
    event.ctrl = modifiers & Qt::ControlModifier;
    event.leftHeld = buttons & Qt::LeftButton;
    return event;
}

void CSceneRender::initializeGL() {
    // A view moved to another window gets a new context: its lists go with
    // the old one.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this,
            [this] { WithContext([this] { ReleaseGL(); }); });
    CSceneDrawer::InitialiseContext();
    const FrameState frame = WindowFrame();
    scene.Camera().trackball.Initialise(frame.width, frame.height);
    scene.Camera().trackball.SetRotation(CCamera::GeneralView);
    interactor.Resize(frame.width, frame.height);
    contextReady = true;
    RebuildLists();
    fitPending = true;
}

void CSceneRender::resizeGL(int w, int h) {
    glViewport(0, 0, w, h);
    interactor.Resize(w, h);
}

void CSceneRender::showEvent(QShowEvent* event) {
    QOpenGLWidget::showEvent(event);
    // The context is made when the widget is first shown; a failure leaves
    // the view blank and is said once.
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && !isValid() && !contextFailureShown) {
            contextFailureShown = true;
            ShowMessage(sceneTexts::GraphicalInitialisationFailed, MessageIcon::Error);
        }
    });
}

void CSceneRender::RebuildLists() {
    if (contextReady)
        scene.RebuildLists();
}

void CSceneRender::RecomputeLimits() {
    if (scene.RecomputeLimits())
        emit LimitsChanged(scene.Quantity(), scene.ScaleMinimum(), scene.ScaleMaximum());
}

void CSceneRender::OnActivateView(bool active) {
    if (!active)
        return;
    scene.Camera().trackball.SetBallSize(1.0f);
    RecomputeLimits();
}

void CSceneRender::paintGL() {
    if (drawing || !contextReady)
        return;
    drawing = true;
    QGuiApplication::setOverrideCursor(interactor.RotationRunning() ? Qt::BusyCursor : Qt::WaitCursor);
    if (fitPending) {
        fitPending = false;
        FitNow();
    }
    scene.DrawFrame(scene.Frame());
    QGuiApplication::restoreOverrideCursor();
    drawing = false;
    emit RotationShown(scene.Camera().trackball.Rotation());
}

void CSceneRender::FitNow() {
    interactor.RemoveClipPlanes();
    scene.Fit(scene.Frame());
}

void CSceneRender::FitIntoWindow() {
    CCamera& camera = scene.Camera();
    camera.panX = camera.panY = 0;
    camera.zoom = 1.0f;
    fitPending = true;
    update();
}

void CSceneRender::OnUpdate(CView*, int hint) {
    // The cut window's read-out leaves its point on the sheet, at every move
    // of the mouse: the limits stay as they are.
    if (hint == HintCutMark || hint == HintCutWindowCloses) {
        const CSheetProfile* sheet = project ? project->Sheet() : nullptr;
        if (hint == HintCutMark && sheet && sheet->CutMark().valid)
            MarkCutPoint(sheet->CutMark().point);
        else
            ClearCutMark();
        return;
    }
    // A cut of the record the view shows needs its line alone.
    if (hint == HintCutChanged && project && shownRecord == project->CurrentRecord()) {
        WithContext([this] { scene.Drawer().BuildCutList(project->Sheet()); });
        update();
        return;
    }
    RecomputeLimits();
    switch (hint) {
    case HintCutChanged:
    case HintNewRecord:
    case HintRecordStep:
        if (project)
            shownRecord = project->CurrentRecord();
        WithContext([this] { RebuildLists(); });
        update();
        break;
    case HintRedraw:
        update();
        break;
    case HintZoomBox:
    case HintMeasurementFirst:
    case HintMeasurementSecond:
    case HintMeasurementLine:
    case HintPickHighlight:
        WithContext([this, hint] {
            CSceneDrawer& drawer = scene.Drawer();
            if (hint == HintZoomBox) {
                const auto& b = interactor.ZoomBox();
                if (CSceneInteractor::ZoomBoxMode() && interactor.Dragging())
                    drawer.BuildOverlay(Overlay::ZoomBox,
                                        {{b[0], b[1]}, {b[2], b[1]}, {b[2], b[3]}, {b[0], b[3]}});
                else
                    drawer.BuildOverlay(Overlay::ZoomBox, {});
            } else if (hint == HintPickHighlight) {
                drawer.BuildOverlay(Overlay::PickHighlight, pickOutline);
            } else if (hint == HintMeasurementFirst || hint == HintMeasurementSecond) {
                const int point = hint == HintMeasurementFirst ? 0 : 1;
                const Overlay overlay = point == 0 ? Overlay::FirstPoint : Overlay::SecondPoint;
                const MarkerRect& r = interactor.Marker(point);
                if (r.shown)
                    drawer.BuildMarker(overlay, r.left, r.top, r.right, r.bottom);
                else
                    drawer.BuildOverlay(overlay, {});
            } else if (hint == HintMeasurementLine) {
                const MarkerRect &first = interactor.Marker(0), &second = interactor.Marker(1);
                if (first.shown && second.shown)
                    drawer.BuildOverlay(Overlay::MeasurementLine, {{first.CentreX(), first.CentreY()},
                                                                   {second.CentreX(), second.CentreY()}});
                else
                    drawer.BuildOverlay(Overlay::MeasurementLine, {});
            }
        });
        update();
        break;
    default:
        break;
    }
}

void CSceneRender::TakeRecord(int record) {
    shownRecord = record;
    WithContext([this] { RebuildLists(); });
    // The labels follow the record taken, whatever command brought it.
    RecomputeLimits();
}

void CSceneRender::RequestRedraw() {
    QMetaObject::invokeMethod(
        this, [this] { OnRedrawRequest(); }, Qt::QueuedConnection);
}

void CSceneRender::OnRedrawRequest() {
    // The limits came with the record (TakeRecord).
    repaint();
}

void CSceneRender::SettingsChanged() {
    WithContext([this] {
        CSceneDrawer::SetupLighting();
        RebuildLists();
    });
    RecomputeLimits();
    update();
}

void CSceneRender::SetRotation(const Quaternion& rotation) {
    scene.Camera().trackball.SetRotation(rotation);
    update();
}

void CSceneRender::SetXYView() {
    scene.Camera().trackball.SetRotation(CCamera::XYView);
    update();
}

void CSceneRender::SetGeneralView() {
    scene.Camera().trackball.SetRotation(CCamera::GeneralView);
    update();
}

void CSceneRender::SetXZView() {
    scene.Camera().trackball.SetRotation(CCamera::XZView);
    update();
}

void CSceneRender::SetYZView() {
    scene.Camera().trackball.SetRotation(CCamera::YZView);
    update();
}

void CSceneRender::ZoomIn() {
    scene.Camera().ZoomIn();
    update();
}

void CSceneRender::ZoomOut() {
    scene.Camera().ZoomOut();
    update();
}

void CSceneRender::StartZoomBox() {
    CSceneInteractor::StartZoomBox();
}

void CSceneRender::StartExclusiveZoomBox() {
    interactor.StartExclusiveZoomBox();
}

void CSceneRender::RemoveClipPlanes() {
    interactor.RemoveClipPlanes();
    update();
}

void CSceneRender::SetQuantity(int newQuantity) {
    scene.SetQuantity(newQuantity);
    SettingsChanged();
}

void CSceneRender::SetPickMode(int mode) {
    interactor.SetPickMode(mode);
}

void CSceneRender::ToggleSheet() {
    Settings().sheetShown = !Settings().sheetShown;
    SettingsChanged();
    emit DisplaySettingsChanged();
}

void CSceneRender::ToggleTool(int slot) {
    ToolDisplay& tool = Settings().tools[static_cast<size_t>(slot)];
    tool.shown = !tool.shown;
    SettingsChanged();
    emit DisplaySettingsChanged();
}

void CSceneRender::StepToolMode(int slot) {
    ToolDisplay& tool = Settings().tools[static_cast<size_t>(slot)];
    tool.mode = (tool.mode + 1) % 3;
    SettingsChanged();
    emit DisplaySettingsChanged();
}

void CSceneRender::SetSheetDisplayMode(int mode) {
    Settings().sheetDisplayMode = mode;
    SettingsChanged();
    emit DisplaySettingsChanged();
}

void CSceneRender::ToggleDots() {
    Settings().nodeDotsShown = !Settings().nodeDotsShown;
    update();
    emit DisplaySettingsChanged();
}

void CSceneRender::ToggleMeasurement() {
    Settings().distanceMeasurement = !Settings().distanceMeasurement;
    interactor.ResetMeasurement();
    if (project)
        project->UpdateAllViews(nullptr, HintNewRecord);
    else
        OnUpdate(nullptr, HintNewRecord);
    emit DisplaySettingsChanged();
}

void CSceneRender::ApplySettings(const DisplaySettings& newSettings) {
    Settings() = newSettings;
    SettingsChanged();
}

bool CSceneRender::Pick(int x, int y, int mode, PickMarking marking, CDataDisplay& record) {
    if (!contextReady)
        return false;
    PickScene parts;
    parts.sheet = project ? project->Sheet() : nullptr;
    parts.tools = project ? project->Tools() : nullptr;
    parts.sheetShown = Settings().sheetShown != 0;
    std::vector<std::array<int, 2>> outline;
    bool found = false;
    WithContext([&] {
        found =
            picker.Pick(scene.Drawer(), scene.Camera(), scene.Frame(), parts, x, y, mode, record, outline);
    });
    if (found && marking == PickMarking::Current) {
        pickOutline = outline;
        if (project)
            project->UpdateAllViews(nullptr, HintPickHighlight);
        else
            OnUpdate(nullptr, HintPickHighlight);
    }
    return found;
}

bool CSceneRender::PickAt(int x, int y, CDataDisplay& record, bool mark) {
    const PointerEvent at = Pointer(QPointF(x, y), Qt::NoModifier, Qt::NoButton);
    return Pick(at.x, at.y, interactor.PickMode(), mark ? PickMarking::Current : PickMarking::None, record);
}

void CSceneRender::OverlayChanged(int hint) {
    // The rubber band belongs to the view dragged: the others keep their
    // frames until the zoom shows.
    if (project && hint != HintZoomBox)
        project->UpdateAllViews(nullptr, hint);
    else
        OnUpdate(nullptr, hint);
}

void CSceneRender::SetCursor(SceneCursor cursor) {
    switch (cursor) {
    case SceneCursor::Rotate:
        setCursor(Qt::ClosedHandCursor);
        break;
    case SceneCursor::Pan:
        setCursor(Qt::SizeAllCursor);
        break;
    case SceneCursor::ZoomBox:
        setCursor(Qt::CrossCursor);
        break;
    case SceneCursor::Busy:
        setCursor(Qt::BusyCursor);
        break;
    case SceneCursor::Arrow:
        unsetCursor();
        break;
    }
}

void CSceneRender::MeasurementPicked(const CDataDisplay& first, const CDataDisplay& second, int x, int y) {
    const qreal ratio = devicePixelRatioF();
    emit MeasurementReady(first, second,
                          mapToGlobal(QPoint(static_cast<int>(x / ratio), static_cast<int>(y / ratio))));
}

QPointF CSceneRender::ProjectToWindow(const CCoordinate& point) {
    const FrameState frame = WindowFrame();
    const auto window = scene.Camera().ToWindow(point, frame.width, frame.height);
    const qreal ratio = devicePixelRatioF();
    return {window[0] / ratio, window[1] / ratio};
}

void CSceneRender::MarkCutPoint(const CCoordinate& point) {
    const FrameState frame = WindowFrame();
    const auto window = scene.Camera().ToWindow(point, frame.width, frame.height);
    const qreal ratio = devicePixelRatioF();
    // Arms of a twentieth of the height a maximised window would have.
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const int reach = screen ? static_cast<int>(0.05 * screen->availableGeometry().height() * ratio) : 20;
    WithContext([&] {
        scene.Drawer().BuildCrossHair(static_cast<int>(window[0]), static_cast<int>(window[1]), reach);
    });
    update();
}

void CSceneRender::ClearCutMark() {
    WithContext([this] { scene.Drawer().BuildOverlay(Overlay::CutMark, {}); });
    update();
}

void CSceneRender::RemoveMarker() {
    if (pickOutline.empty())
        return;
    pickOutline.clear();
    WithContext([this] { scene.Drawer().BuildOverlay(Overlay::PickHighlight, pickOutline); });
    update();
}

void CSceneRender::mousePressEvent(QMouseEvent* event) {
    const PointerEvent pointer = Pointer(event->position(), event->modifiers(), event->buttons());
    if (event->button() == Qt::LeftButton)
        interactor.LeftDown(pointer);
    else if (event->button() == Qt::RightButton)
        interactor.RightDown(pointer);
}

void CSceneRender::mouseMoveEvent(QMouseEvent* event) {
    interactor.Move(Pointer(event->position(), event->modifiers(), event->buttons()));
}

void CSceneRender::mouseReleaseEvent(QMouseEvent* event) {
    const PointerEvent pointer = Pointer(event->position(), event->modifiers(), event->buttons());
    if (event->button() == Qt::LeftButton)
        interactor.LeftUp(pointer);
    else if (event->button() == Qt::RightButton)
        interactor.RightUp(pointer);
}

void CSceneRender::wheelEvent(QWheelEvent* event) {
    interactor.Wheel(event->angleDelta().y());
}

void CSceneRender::focusInEvent(QFocusEvent* event) {
    OnActivateView(true);
    QOpenGLWidget::focusInEvent(event);
}

void CSceneRender::focusOutEvent(QFocusEvent* event) {
    interactor.FocusLost();
    QOpenGLWidget::focusOutEvent(event);
}
