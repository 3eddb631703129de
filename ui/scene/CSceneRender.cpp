#include "ui/scene/CSceneRender.h"

#include "core/Messages.h"
#include "model/CProjectProfile.h"
#include "scene/SceneTexts.h"
#include "session/CSession.h"

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

void CSceneRender::PrepareApplication() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QSurfaceFormat format;
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    QSurfaceFormat::setDefaultFormat(format);
}

CSceneRender::CSceneRender(CSession* session, const DisplaySettings& defaults, QWidget* parent)
    : QOpenGLWidget(parent), project(session ? &session->Project() : nullptr), sessionView(session),
      scene(sessionView, defaults, 1, this), interactor(scene.Camera(), scene.Settings(), *this) {
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
    // Never empty: a QOpenGLWidget squeezed to no height (its window made
    // normal under a maximised one) and given back the size it had goes on
    // showing the texture of its old framebuffer, black, until it is resized.
    setMinimumSize(16, 16);
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
    // A reference that follows stops when its record cannot be read.
    const std::string failure = scene.TakeComparisonFailure();
    if (!failure.empty()) {
        WithContext([this] { RebuildLists(); });
        update();
        ShowMessage(failure, MessageIcon::Error);
    }
}

bool CSceneRender::SetComparison(std::shared_ptr<CComparison> comparison, std::string& failure) {
    if (!comparison)
        scene.ClearComparison();
    else if (!scene.SetComparison(std::move(comparison), failure))
        return false;
    SettingsChanged();
    return true;
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
        interactor.RemoveClipPlanes();
        scene.Fit(scene.Frame());
    }
    scene.DrawFrame(scene.Frame());
    QGuiApplication::restoreOverrideCursor();
    drawing = false;
    emit RotationShown(scene.Camera().trackball.Rotation());
}

void CSceneRender::OnUpdate(CView*, int hint) {
    const SceneUpdate what = scene.UpdateFor(hint, shownRecord);
    if (!CScene::UpdateKeepsLimits(what))
        RecomputeLimits();
    switch (what) {
    case SceneUpdate::CutMark: {
        // Arms of a twentieth of the height a maximised window would have.
        const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
        const int reach =
            screen ? static_cast<int>(0.05 * screen->availableGeometry().height() * devicePixelRatioF()) : 20;
        WithContext([&] { scene.BuildCutMark(hint == HintCutMark, reach); });
        break;
    }
    case SceneUpdate::CutLine:
        WithContext([this] { scene.BuildCutLine(); });
        break;
    case SceneUpdate::Lists:
        if (project)
            shownRecord = project->CurrentRecord();
        WithContext([this] { RebuildLists(); });
        break;
    case SceneUpdate::Overlay:
        WithContext([&] { scene.BuildOverlay(hint, interactor); });
        break;
    case SceneUpdate::Redraw:
        break;
    case SceneUpdate::None:
        return;
    }
    update();
}

void CSceneRender::TakeRecord(int record) {
    shownRecord = record;
    WithContext([this] { RebuildLists(); });
    // The labels follow the record taken, whatever command brought it.
    RecomputeLimits();
}

void CSceneRender::RequestRedraw() {
    // The limits came with the record (TakeRecord).
    QMetaObject::invokeMethod(
        this, [this] { repaint(); }, Qt::QueuedConnection);
}

void CSceneRender::SettingsChanged() {
    WithContext([this] {
        CSceneDrawer::SetupLighting();
        RebuildLists();
    });
    RecomputeLimits();
    update();
}

void CSceneRender::ToggleMeasurement() {
    ToggleDistanceMeasurement(scene.Settings());
    interactor.ResetMeasurement();
    if (project)
        project->UpdateAllViews(nullptr, HintNewRecord);
    else
        OnUpdate(nullptr, HintNewRecord);
    emit DisplaySettingsChanged();
}

bool CSceneRender::Pick(int x, int y, int mode, PickMarking marking, CDataDisplay& record) {
    if (!contextReady)
        return false;
    PickScene parts;
    parts.sheet = project ? project->Sheet() : nullptr;
    parts.tools = project ? &project->Tools() : nullptr;
    parts.sheetShown = scene.Settings().sheetShown != 0;
    std::vector<std::array<int, 2>> outline;
    bool found = false;
    WithContext([&] {
        found =
            picker.Pick(scene.Drawer(), scene.Camera(), scene.Frame(), parts, x, y, mode, record, outline);
    });
    if (found && marking == PickMarking::Current) {
        scene.SetPickOutline(outline);
        if (project)
            project->UpdateAllViews(nullptr, HintPickHighlight);
        else
            OnUpdate(nullptr, HintPickHighlight);
    }
    return found;
}

bool CSceneRender::PickAt(int x, int y, CDataDisplay& record, bool mark) {
    const PointerEvent at = Pointer(QPointF(x, y), devicePixelRatioF());
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
    const auto window = scene.WindowPoint(point);
    const qreal ratio = devicePixelRatioF();
    return {window[0] / ratio, window[1] / ratio};
}

void CSceneRender::RemoveMarker() {
    if (!scene.ClearPickOutline())
        return;
    WithContext([this] { scene.BuildOverlay(HintPickHighlight, interactor); });
    update();
}

void CSceneRender::mousePressEvent(QMouseEvent* event) {
    const PointerEvent pointer = Pointer(*event, devicePixelRatioF());
    if (event->button() == Qt::LeftButton)
        interactor.LeftDown(pointer);
    else if (event->button() == Qt::RightButton)
        interactor.RightDown(pointer);
}

void CSceneRender::mouseMoveEvent(QMouseEvent* event) {
    interactor.Move(Pointer(*event, devicePixelRatioF()));
}

void CSceneRender::mouseReleaseEvent(QMouseEvent* event) {
    const PointerEvent pointer = Pointer(*event, devicePixelRatioF());
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
