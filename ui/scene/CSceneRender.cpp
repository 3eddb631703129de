#include "ui/scene/CSceneRender.h"

#include "core/Messages.h"
#include "model/CProjectProfile.h"
#include "session/CSession.h"
#include "ui/scene/CSceneCommands.h"
#include "ui/scene/CViewGestures.h"

#include <GL/gl.h>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace quillmere {

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

CSceneRender::CSceneRender(CSession* session, const DisplaySettings& defaults, QWidget* parent,
                           const CConfiguration* units)
    : QOpenGLWidget(parent), project(session ? &session->Project() : nullptr), sessionView(session),
      scene(sessionView, defaults, ResultQuantity::Thickness, this),
      gestures(std::make_unique<CViewGestures>(*this)), commands(std::make_unique<CSceneCommands>(*this)) {
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
    scene.SetUnits(units);
    scene.Camera().trackball.SetRotation(CCamera::GeneralView);
    if (project) {
        project->AddView(this);
        shownRecord = project->CurrentRecord();
    }
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

const CSceneInteractor& CSceneRender::Interactor() const {
    return gestures->Interactor();
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
    const CSceneInteractor& interactor = Interactor();
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
    gestures->Interactor().Resize(frame.width, frame.height);
    contextReady = true;
    RebuildLists();
    fitPending = true;
}

void CSceneRender::resizeGL(int w, int h) {
    glViewport(0, 0, w, h);
    gestures->Interactor().Resize(w, h);
}

void CSceneRender::showEvent(QShowEvent* event) {
    QOpenGLWidget::showEvent(event);
    // The context is made when the widget is first shown; a failure leaves
    // the view blank and is said once.
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && !isValid() && !contextFailureShown) {
            contextFailureShown = true;
            ShowMessage(MessageId::GraphicalInitialisationFailed, MessageIcon::Error);
        }
    });
}

void CSceneRender::RebuildLists() {
    if (contextReady)
        scene.RebuildLists();
}

void CSceneRender::UpdatePresentation() {
    if (scene.UpdatePresentation())
        emit PresentationChanged(scene.Presented());
    // A reference that follows stops when its record cannot be read.
    const Message failure = sessionView.TakeComparisonFailure();
    if (failure) {
        WithContext([this] { RebuildLists(); });
        update();
        ShowMessage(failure, MessageIcon::Error);
    }
}

bool CSceneRender::SetComparison(std::shared_ptr<CComparison> comparison, Message& failure) {
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
    UpdatePresentation();
}

void CSceneRender::paintGL() {
    if (drawing || !contextReady)
        return;
    drawing = true;
    QGuiApplication::setOverrideCursor(Interactor().RotationRunning() ? Qt::BusyCursor : Qt::WaitCursor);
    if (fitPending) {
        fitPending = false;
        gestures->Interactor().RemoveClipPlanes();
        scene.Fit(scene.Frame());
    }
    scene.DrawFrame(scene.Frame());
    QGuiApplication::restoreOverrideCursor();
    drawing = false;
    emit RotationShown(scene.Camera().trackball.Rotation());
}

void CSceneRender::OnUpdate(CView*, DocumentEvent event) {
    switch (scene.UpdateFor(event, shownRecord)) {
    case SceneUpdate::CutLine:
        WithContext([this] { scene.BuildCutLine(); });
        ShowCutMark();
        return;
    case SceneUpdate::Lists:
        if (project)
            shownRecord = project->CurrentRecord();
        WithContext([this] { RebuildLists(); });
        ShowCutMark();
        break;
    case SceneUpdate::Redraw:
        break;
    }
    UpdatePresentation();
    update();
}

void CSceneRender::ShowCutMark() {
    // Arms of a twentieth of the height a maximised window would have.
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const int reach =
        screen ? static_cast<int>(0.05 * screen->availableGeometry().height() * devicePixelRatioF()) : 20;
    WithContext([&] { scene.BuildCutMark(reach); });
    update();
}

void CSceneRender::ShowMeasurements() {
    scene.BuildMeasurementMarkers();
    update();
}

int CSceneRender::MeasurementMarkerPicked() {
    const QPoint point = (QPointF(gestures->LastPick()) / devicePixelRatioF()).toPoint();
    // Within a marker's reach as the window draws it, the nearest.
    const double reach = std::clamp(std::min(width(), height()) * devicePixelRatioF() / 60, 7.0, 48.0) / 2 /
                             devicePixelRatioF() +
                         3;
    const std::vector<MeasurementMarker>& markers = scene.Drawer().MeasurementMarkers();
    int found = -1;
    double nearest = reach * reach;
    for (size_t k = 0; k < markers.size(); ++k) {
        const QPointF at = ProjectToWindow(markers[k].position) - QPointF(point);
        const double squared = at.x() * at.x() + at.y() * at.y();
        if (squared <= nearest) {
            nearest = squared;
            found = static_cast<int>(k);
        }
    }
    return found;
}

void CSceneRender::CentreOn(const CCoordinate& point) {
    scene.CentreOn(point);
    update();
}

void CSceneRender::TakeRecord(int record) {
    shownRecord = record;
    WithContext([this] { RebuildLists(); });
    // The labels follow the record taken, whatever command brought it.
    UpdatePresentation();
}

void CSceneRender::RequestRedraw() {
    // The presentation came with the record (TakeRecord).
    QMetaObject::invokeMethod(
        this, [this] { repaint(); }, Qt::QueuedConnection);
}

void CSceneRender::SettingsChanged() {
    WithContext([this] {
        CSceneDrawer::SetupLighting();
        RebuildLists();
    });
    UpdatePresentation();
    update();
}

bool CSceneRender::PickAt(int x, int y, CDataDisplay& record, bool mark) {
    return gestures->PickAt(x, y, record, mark);
}

QPointF CSceneRender::ProjectToWindow(const CCoordinate& point) {
    const auto window = scene.WindowPoint(point);
    const qreal ratio = devicePixelRatioF();
    return {window[0] / ratio, window[1] / ratio};
}

void CSceneRender::focusInEvent(QFocusEvent* event) {
    OnActivateView(true);
    QOpenGLWidget::focusInEvent(event);
}

} // namespace quillmere
