#include "scene/CSceneRender.h"

#include "core/Messages.h"
#include "model/CProjectProfile.h"
#include "scale/ScaleRange.h"

#include <GL/gl.h>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QScreen>
#include <QWheelEvent>
#include <cfloat>
#include <cmath>

namespace {

// Shared by every view, as the box command is a command of the program.
bool zoomBoxMode = false;
// One frame at a time, whatever view draws it.
bool drawing = false;

constexpr GLsizei FeedbackValues = 1000000;

// The window rectangle covered by a feedback buffer; false when empty.
bool FeedbackRectangle(const std::vector<GLfloat>& values, GLint count, WindowRectangle& covered) {
    covered = {DBL_MAX, -DBL_MAX, DBL_MAX, -DBL_MAX};
    bool any = false;
    auto vertex = [&](GLint at) {
        covered.xMin = std::min<double>(covered.xMin, values[static_cast<size_t>(at)]);
        covered.xMax = std::max<double>(covered.xMax, values[static_cast<size_t>(at)]);
        covered.yMin = std::min<double>(covered.yMin, values[static_cast<size_t>(at) + 1]);
        covered.yMax = std::max<double>(covered.yMax, values[static_cast<size_t>(at) + 1]);
        any = true;
    };
    GLint at = 0;
    while (at < count) {
        const GLint token = static_cast<GLint>(values[static_cast<size_t>(at++)]);
        int vertices = 0;
        switch (token) {
        case GL_POLYGON_TOKEN:
            vertices = at < count ? static_cast<int>(values[static_cast<size_t>(at++)]) : 0;
            break;
        case GL_POINT_TOKEN:
        case GL_BITMAP_TOKEN:
        case GL_DRAW_PIXEL_TOKEN:
        case GL_COPY_PIXEL_TOKEN:
            vertices = 1;
            break;
        case GL_LINE_TOKEN:
        case GL_LINE_RESET_TOKEN:
            vertices = 2;
            break;
        case GL_PASS_THROUGH_TOKEN:
            ++at;
            break;
        default:
            return any;
        }
        for (int k = 0; k < vertices && at + 3 <= count; ++k, at += 3)
            vertex(at);
    }
    return any;
}

QPoint Mirrored(const QPoint& p, int w, int h) {
    return {w - p.x(), h - p.y()};
}

} // namespace

void CSceneRender::PrepareApplication() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QSurfaceFormat format;
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    QSurfaceFormat::setDefaultFormat(format);
}

CSceneRender::CSceneRender(CProjectProfile* document, const DisplaySettings& defaults, QWidget* parent)
    : QOpenGLWidget(parent), project(document), settings(defaults) {
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
    camera.trackball.SetRotation(CCamera::GeneralView);
    if (project) {
        project->AddView(this);
        shownRecord = project->CurrentRecord();
    }
    clock.start();
    connect(&rotationTimer, &QTimer::timeout, this, &CSceneRender::ContinualRotationTick);
}

CSceneRender::~CSceneRender() {
    if (project)
        project->RemoveView(this);
    makeCurrent();
    ReleaseGL();
    doneCurrent();
}

CDocument* CSceneRender::Document() const {
    return project;
}

bool CSceneRender::IsZoomBoxMode() const {
    return zoomBoxMode;
}

void CSceneRender::ReleaseGL() {
    if (contextReady)
        drawer.ReleaseLists();
    contextReady = false;
}

FrameState CSceneRender::Frame() const {
    FrameState frame;
    const qreal ratio = devicePixelRatioF();
    frame.width = std::max(1, static_cast<int>(width() * ratio));
    frame.height = std::max(1, static_cast<int>(height() * ratio));
    frame.motion = leftDrag || rightDrag;
    frame.clipActive = clipActive;
    std::copy(&clipPlanes[0][0], &clipPlanes[0][0] + 16, &frame.clipPlanes[0][0]);
    frame.zoomBoxMode = zoomBoxMode;
    frame.sheetElementCount = project && project->Sheet() ? project->Sheet()->ElementCount() : 0;
    return frame;
}

void CSceneRender::initializeGL() {
    // A view moved to another window gets a new context: its lists go with
    // the old one.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] {
        makeCurrent();
        ReleaseGL();
        doneCurrent();
    });
    CSceneDrawer::InitialiseContext();
    camera.trackball.Initialise(width(), height());
    camera.trackball.SetRotation(CCamera::GeneralView);
    contextReady = true;
    RebuildLists();
    fitPending = true;
}

void CSceneRender::resizeGL(int w, int h) {
    glViewport(0, 0, w, h);
    camera.trackball.Resize(width(), height());
}

void CSceneRender::RebuildLists() {
    if (!contextReady)
        return;
    const CSheetProfile* sheet = project ? project->Sheet() : nullptr;
    drawer.BuildSheetLists(sheet, settings, quantity, limits, ramp);
    drawer.BuildToolLists(project ? project->Tools() : nullptr, settings);
}

void CSceneRender::RecomputeLimits() {
    if (!project || !project->Sheet())
        return;
    const ScaleRange range = ComputeScaleRange(*project->Sheet(), quantity, limits);
    emit LimitsChanged(quantity, range.minimum, range.maximum);
}

void CSceneRender::paintGL() {
    if (drawing || !contextReady)
        return;
    drawing = true;
    QGuiApplication::setOverrideCursor(rotationRunning ? Qt::BusyCursor : Qt::WaitCursor);
    if (fitPending) {
        fitPending = false;
        FitNow();
    }
    const FrameState frame = Frame();
    drawer.DrawFrame(camera, frame, settings);
    QGuiApplication::restoreOverrideCursor();
    drawing = false;
}

QImage CSceneRender::RenderImage(int w, int h, bool motion) {
    if (!contextReady) {
        // Not shown yet: a hidden view still gets its context.
        (void)grabFramebuffer();
    }
    QOffscreenSurface surface;
    surface.setFormat(context()->format());
    surface.create();
    QOpenGLContext offscreen;
    offscreen.setFormat(context()->format());
    offscreen.setShareContext(context());
    if (!offscreen.create() || !offscreen.makeCurrent(&surface))
        return QImage();
    QImage image;
    {
        QOpenGLFramebufferObjectFormat fboFormat;
        fboFormat.setAttachment(QOpenGLFramebufferObject::Depth);
        QOpenGLFramebufferObject fbo(w, h, fboFormat);
        fbo.bind();
        CSceneDrawer::InitialiseContext();
        FrameState frame = Frame();
        frame.width = w;
        frame.height = h;
        frame.motion = motion;
        CCamera copy = camera;
        drawer.DrawFrame(copy, frame, settings);
        glFinish();
        // Rows flipped from OpenGL's bottom-up order to the image's top-down.
        // The window shows the colour channels as they are; translucent
        // parts leave an alpha below 1 that a picture must not keep.
        image = fbo.toImage(true);
        image.reinterpretAsFormat(QImage::Format_RGB32);
        fbo.release();
    }
    offscreen.doneCurrent();
    return image;
}

void CSceneRender::FitNow() {
    camera.zoom = 1.0f;
    camera.panX = camera.panY = 0;
    double bounds[6] = {DBL_MAX, -DBL_MAX, DBL_MAX, -DBL_MAX, DBL_MAX, -DBL_MAX};
    bool any = false;
    auto include = [&](const double* other) {
        for (int axis = 0; axis < 3; ++axis) {
            bounds[2 * axis] = std::min(bounds[2 * axis], other[2 * axis]);
            bounds[2 * axis + 1] = std::max(bounds[2 * axis + 1], other[2 * axis + 1]);
        }
        any = true;
    };
    if (project && project->Sheet() && settings.sheetShown)
        include(project->Sheet()->BoundingBox().data());
    for (int slot = 0; project && slot < kToolSlots; ++slot)
        if (const CMoldProfile* tool = project->Tool(slot))
            if (settings.tools[static_cast<size_t>(slot)].shown)
                include(tool->ToolBounds().data());
    if (any)
        camera.FitBox(bounds);
    clipActive = false;

    const FrameState frame = Frame();
    std::vector<GLfloat> feedback(FeedbackValues);
    glFeedbackBuffer(FeedbackValues, GL_3D, feedback.data());
    glRenderMode(GL_FEEDBACK);
    drawer.DrawFrame(camera, frame, settings);
    const GLint count = glRenderMode(GL_RENDER);
    WindowRectangle covered{0, 0, 0, 0};
    const bool found = count > 0 && FeedbackRectangle(feedback, count, covered);
    const int viewport[4] = {0, 0, frame.width, frame.height};
    camera.FitToFeedback(found ? count : -1, covered, viewport);
}

void CSceneRender::FitIntoWindow() {
    camera.panX = camera.panY = 0;
    camera.zoom = 1.0f;
    fitPending = true;
    update();
}

void CSceneRender::OnUpdate(CView*, int hint) {
    RecomputeLimits();
    switch (hint) {
    case HintNewRecord:
    case HintRecordStep:
        if (project)
            shownRecord = project->CurrentRecord();
        makeCurrent();
        RebuildLists();
        doneCurrent();
        update();
        break;
    case HintRedraw:
        update();
        break;
    case HintCutMark:
    case HintZoomBox:
    case HintMeasurementFirst:
    case HintMeasurementSecond:
    case HintMeasurementLine:
    case HintPickHighlight:
        makeCurrent();
        if (hint == HintZoomBox)
            drawer.BuildOverlay(Overlay::ZoomBox,
                                {{box[0], box[1]}, {box[2], box[1]}, {box[2], box[3]}, {box[0], box[3]}});
        else if (hint == HintPickHighlight)
            drawer.BuildOverlay(Overlay::PickHighlight, pickOutline);
        else if (hint == HintMeasurementFirst || hint == HintMeasurementSecond) {
            const QRect& r = markerRects[hint == HintMeasurementFirst ? 0 : 1];
            if (r.isNull())
                drawer.BuildOverlay(hint == HintMeasurementFirst ? Overlay::FirstPoint : Overlay::SecondPoint,
                                    {});
            else
                drawer.BuildMarker(hint == HintMeasurementFirst ? Overlay::FirstPoint : Overlay::SecondPoint,
                                   r.left(), r.top(), r.right(), r.bottom());
        } else if (hint == HintMeasurementLine) {
            if (markerRects[0].isNull() || markerRects[1].isNull())
                drawer.BuildOverlay(Overlay::MeasurementLine, {});
            else
                drawer.BuildOverlay(Overlay::MeasurementLine,
                                    {{markerRects[0].center().x(), markerRects[0].center().y()},
                                     {markerRects[1].center().x(), markerRects[1].center().y()}});
        }
        doneCurrent();
        update();
        break;
    default:
        break;
    }
}

void CSceneRender::TakeRecord(int record) {
    shownRecord = record;
    makeCurrent();
    RebuildLists();
    doneCurrent();
}

void CSceneRender::RequestRedraw() {
    QMetaObject::invokeMethod(
        this, [this] { OnRedrawRequest(); }, Qt::QueuedConnection);
}

void CSceneRender::OnRedrawRequest() {
    RecomputeLimits();
    repaint();
}

void CSceneRender::SettingsChanged() {
    makeCurrent();
    CSceneDrawer::SetupLighting();
    RebuildLists();
    doneCurrent();
    RecomputeLimits();
    update();
}

void CSceneRender::SetXYView() {
    camera.trackball.SetRotation(CCamera::XYView);
    update();
}

void CSceneRender::SetGeneralView() {
    camera.trackball.SetRotation(CCamera::GeneralView);
    update();
}

void CSceneRender::SetXZView() {
    camera.trackball.SetRotation(CCamera::XZView);
    update();
}

void CSceneRender::SetYZView() {
    camera.trackball.SetRotation(CCamera::YZView);
    update();
}

void CSceneRender::ZoomIn() {
    camera.ZoomIn();
    update();
}

void CSceneRender::ZoomOut() {
    camera.ZoomOut();
    update();
}

void CSceneRender::StartZoomBox() {
    zoomBoxMode = true;
}

void CSceneRender::StartExclusiveZoomBox() {
    zoomBoxMode = true;
    exclusiveZoom = true;
}

void CSceneRender::RemoveClipPlanes() {
    clipActive = false;
    update();
}

void CSceneRender::SetQuantity(int newQuantity) {
    quantity = newQuantity;
    SettingsChanged();
}

void CSceneRender::SetPickMode(int mode) {
    pickMode = mode;
}

void CSceneRender::ToggleSheet() {
    settings.sheetShown = !settings.sheetShown;
    SettingsChanged();
}

void CSceneRender::ToggleTool(int slot) {
    ToolDisplay& tool = settings.tools[static_cast<size_t>(slot)];
    tool.shown = !tool.shown;
    SettingsChanged();
}

void CSceneRender::StepToolMode(int slot) {
    ToolDisplay& tool = settings.tools[static_cast<size_t>(slot)];
    tool.mode = (tool.mode + 1) % 3;
    SettingsChanged();
}

void CSceneRender::SetSheetDisplayMode(int mode) {
    settings.sheetDisplayMode = mode;
    SettingsChanged();
}

void CSceneRender::ToggleDots() {
    settings.nodeDotsShown = !settings.nodeDotsShown;
    update();
}

void CSceneRender::ToggleMeasurement() {
    settings.distanceMeasurement = !settings.distanceMeasurement;
    ClearMeasurement();
    if (project)
        project->UpdateAllViews(nullptr, HintNewRecord);
    else
        OnUpdate(nullptr, HintNewRecord);
}

// A measurement marker: a small ellipse around the picked point.
bool CSceneRender::PickMarker(int x, int y, CDataDisplay& record, Overlay marker) {
    std::vector<std::array<int, 2>> outline;
    if (!PickAt(x, y, record, false))
        return false;
    const int index = marker == Overlay::FirstPoint ? 0 : 1;
    markerRects[index] = QRect(record.markerX - 5, record.markerY - 5, 11, 11);
    const int hint = index == 0 ? HintMeasurementFirst : HintMeasurementSecond;
    if (project) {
        project->UpdateAllViews(nullptr, hint);
        if (index == 1)
            project->UpdateAllViews(nullptr, HintMeasurementLine);
    } else {
        OnUpdate(nullptr, hint);
        if (index == 1)
            OnUpdate(nullptr, HintMeasurementLine);
    }
    return true;
}

void CSceneRender::ClearMeasurement() {
    firstSet = waitingSecond = markerShown = secondSet = false;
    markerRects[0] = markerRects[1] = QRect();
    for (int hint : {HintMeasurementFirst, HintMeasurementSecond, HintMeasurementLine})
        OnUpdate(nullptr, hint);
}

void CSceneRender::MeasurementClick(const QPoint& p) {
    if (pickMode == ElementMode) {
        ShowMessage("The distance measurement feature is not supported in the Element Info mode! Please, "
                    "select the 3D "
                    "Point Info or Node Info display mode for this measurement.",
                    MessageIcon::Error);
        return;
    }
    if (firstSet && !markerShown && !secondSet)
        firstSet = false;
    if (waitingSecond && firstSet) {
        if (PickMarker(p.x(), p.y(), secondPoint, Overlay::SecondPoint)) {
            secondSet = true;
            waitingSecond = false;
            secondClick = p;
        }
    } else if (!firstSet) {
        // A new measurement replaces the marks of the last one.
        markerRects[1] = QRect();
        OnUpdate(nullptr, HintMeasurementSecond);
        OnUpdate(nullptr, HintMeasurementLine);
        if (PickMarker(p.x(), p.y(), firstPoint, Overlay::FirstPoint)) {
            firstSet = waitingSecond = markerShown = true;
            firstClick = p;
        }
    }
    if (markerShown && secondSet) {
        markerShown = secondSet = false;
        emit MeasurementPicked(firstPoint, secondPoint, mapToGlobal(p));
    }
}

void CSceneRender::ApplySettings(const DisplaySettings& newSettings) {
    settings = newSettings;
    SettingsChanged();
}

bool CSceneRender::PickAt(int x, int y, CDataDisplay& record, bool mark) {
    if (!contextReady)
        return false;
    makeCurrent();
    PickScene scene;
    scene.sheet = project ? project->Sheet() : nullptr;
    scene.tools = project ? project->Tools() : nullptr;
    scene.sheetShown = settings.sheetShown != 0;
    const qreal ratio = devicePixelRatioF();
    std::vector<std::array<int, 2>> outline;
    const bool found = picker.Pick(drawer, camera, Frame(), scene, static_cast<int>(x * ratio),
                                   static_cast<int>(y * ratio), pickMode, record, outline);
    doneCurrent();
    if (found && mark) {
        pickOutline = outline;
        if (project)
            project->UpdateAllViews(nullptr, HintPickHighlight);
        else
            OnUpdate(nullptr, HintPickHighlight);
    }
    return found;
}

QPointF CSceneRender::ProjectToWindow(const CCoordinate& point) {
    makeCurrent();
    const auto window = CScenePicker::Project(camera, Frame(), point);
    doneCurrent();
    const qreal ratio = devicePixelRatioF();
    return {window[0] / ratio, window[1] / ratio};
}

void CSceneRender::MarkCutPoint(const CCoordinate& point) {
    const QPointF window = ProjectToWindow(point);
    const qreal ratio = devicePixelRatioF();
    // Arms of a twentieth of the height a maximised window would have.
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const int reach = screen ? static_cast<int>(0.05 * screen->availableGeometry().height() * ratio) : 20;
    makeCurrent();
    drawer.BuildCrossHair(static_cast<int>(window.x() * ratio), static_cast<int>(window.y() * ratio), reach);
    doneCurrent();
    update();
}

void CSceneRender::ClearCutMark() {
    makeCurrent();
    drawer.BuildOverlay(Overlay::CutMark, {});
    doneCurrent();
    update();
}

void CSceneRender::RemoveMarker() {
    if (pickOutline.empty())
        return;
    pickOutline.clear();
    makeCurrent();
    drawer.BuildOverlay(Overlay::PickHighlight, pickOutline);
    doneCurrent();
    update();
}

void CSceneRender::SetCentreAt(const CCoordinate& point) {
    const CCoordinate oldCentre(camera.centre[0], camera.centre[1], camera.centre[2]);
    makeCurrent();
    const FrameState frame = Frame();
    const auto before = CScenePicker::Project(camera, frame, oldCentre);
    camera.centre[0] = static_cast<float>(point.x);
    camera.centre[1] = static_cast<float>(point.y);
    camera.centre[2] = static_cast<float>(point.z);
    const auto after = CScenePicker::Project(camera, frame, oldCentre);
    doneCurrent();
    // The picture must not jump: the pan takes up the old centre's move.
    camera.panX += static_cast<float>((before[0] - after[0]) * camera.visibleWidth / frame.width);
    camera.panY -= static_cast<float>((before[1] - after[1]) * camera.visibleHeight / frame.height);
}

void CSceneRender::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (event->button() == Qt::LeftButton) {
        if (rotationTimer.isActive()) {
            rotationTimer.stop();
            rotationRunning = false;
        }
        RemoveMarker();
        if (ctrl && !shift) {
            const int mode = pickMode;
            pickMode = PointMode;
            CDataDisplay record = currentPick;
            if (PickAt(p.x(), p.y(), record, true)) {
                currentPick = record;
                SetCentreAt(record.point1);
            }
            pickMode = mode;
            update();
            return;
        }
        if (ctrl && shift) {
            lastDragZoomY = p.y();
            grabMouse();
            return;
        }
        if (zoomBoxMode) {
            grabMouse();
            box[0] = box[2] = p.x();
            box[1] = box[3] = p.y();
            leftDrag = true;
            return;
        }
        leftDrag = true;
        camera.trackball.StartTracking(p.x(), p.y());
        setCursor(Qt::ClosedHandCursor);
        return;
    }
    if (event->button() == Qt::RightButton) {
        if (shift && ctrl) {
            RemoveMarker();
            return;
        }
        if (shift && settings.distanceMeasurement) {
            MeasurementClick(p);
            return;
        }
        if (shift) {
            RemoveMarker();
            CDataDisplay record = currentPick;
            if (PickAt(p.x(), p.y(), record, true)) {
                currentPick = record;
                emit Picked(currentPick);
                grabMouse();
                rightDrag = true;
            }
            return;
        }
        if (ctrl) {
            RemoveMarker();
            return;
        }
        if (!zoomBoxMode) {
            rightDrag = true;
            lastPan = p;
            grabMouse();
            RemoveMarker();
            setCursor(Qt::SizeAllCursor);
        }
    }
}

void CSceneRender::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool left = event->buttons() & Qt::LeftButton;
    if (shift && ctrl) {
        CDataDisplay scratch;
        if (!PickAt(p.x(), p.y(), scratch, false) && lastDragZoomY == -11111111)
            return;
    }
    if (zoomBoxMode) {
        setCursor(Qt::CrossCursor);
    } else if (shift && ctrl && lastDragZoomY != -11111111) {
        camera.DragZoom(p.y() - lastDragZoomY);
        lastDragZoomY = p.y();
        update();
        return;
    } else if (left) {
        setCursor(Qt::ClosedHandCursor);
    } else if (rightDrag && !ctrl) {
        setCursor(Qt::SizeAllCursor);
    } else {
        setCursor(rotationRunning ? Qt::BusyCursor : Qt::ArrowCursor);
    }
    if (leftDrag) {
        if (zoomBoxMode) {
            box[2] = p.x();
            box[3] = p.y();
            if (project)
                project->UpdateAllViews(nullptr, HintZoomBox);
            else
                OnUpdate(nullptr, HintZoomBox);
            return;
        }
        if (settings.continualRotation && !rotationArmed && !firstMove) {
            rotationStart = clock.elapsed();
            rotationStartPoint = Mirrored(p, width(), height());
            rotationArmed = true;
            firstMove = true;
        }
        camera.trackball.Step(p.x(), p.y());
        update();
        return;
    }
    if (firstMove)
        firstMove = false;
    else
        lastFreePointer = p;
    if (rightDrag && !shift && !ctrl) {
        const QPoint d = p - lastPan;
        lastPan = p;
        const qreal ratio = devicePixelRatioF();
        camera.Pan(static_cast<int>(d.x() * ratio), static_cast<int>(d.y() * ratio),
                   static_cast<int>(width() * ratio), static_cast<int>(height() * ratio));
        update();
    }
}

void CSceneRender::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (rotationArmed) {
            rotationEndPoint = Mirrored(p, width(), height());
            rotationArmed = false;
            const qint64 period = (clock.elapsed() - rotationStart) / 100;
            firstTick = true;
            rotationCounter = 0;
            rotationTimer.start(static_cast<int>(std::max<qint64>(period, 1)));
        }
        lastDragZoomY = -11111111;
        releaseMouse();
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
            makeCurrent();
            drawer.BuildOverlay(Overlay::ZoomBox, {});
            doneCurrent();
            unsetCursor();
        } else {
            camera.trackball.StopTracking();
        }
        update();
        return;
    }
    if (event->button() == Qt::RightButton) {
        RemoveMarker();
        const bool shift = event->modifiers() & Qt::ShiftModifier;
        if (shift && settings.distanceMeasurement && firstSet && !markerShown && !secondSet)
            ClearMeasurement();
        if (rightDrag) {
            rightDrag = false;
            releaseMouse();
            unsetCursor();
            update();
        }
    }
}

void CSceneRender::ZoomIntoBox() {
    const qreal ratio = devicePixelRatioF();
    const int b[4] = {static_cast<int>(box[0] * ratio), static_cast<int>(box[1] * ratio),
                      static_cast<int>(box[2] * ratio), static_cast<int>(box[3] * ratio)};
    const FrameState frame = Frame();
    if (b[0] == b[2] || b[1] == b[3])
        return;
    if (exclusiveZoom) {
        makeCurrent();
        // Corners at depth 0 and 0.1: each side plane holds one box side and
        // the viewing direction; the inside of the box stays visible.
        auto at = [&](int x, int y, double depth) {
            return CScenePicker::Unproject(camera, frame, x, y, depth);
        };
        const CCoordinate tl = at(b[0], b[1], 0), tr = at(b[2], b[1], 0), br = at(b[2], b[3], 0),
                          bl = at(b[0], b[3], 0);
        const CCoordinate tlDeep = at(b[0], b[1], 0.1), brDeep = at(b[2], b[3], 0.1);
        doneCurrent();
        const CCoordinate sides[4][3] = {
            {tl, tr, tlDeep}, {tr, br, brDeep}, {br, bl, brDeep}, {bl, tl, tlDeep}};
        // The orientation is checked against the box centre so that it holds
        // whatever the handedness of the window mapping.
        const CCoordinate centre = (tl + br) * 0.5;
        for (int k = 0; k < 4; ++k) {
            const CCoordinate n = Cross(sides[k][1] - sides[k][0], sides[k][2] - sides[k][0]);
            const double length = Norm(n);
            if (length == 0)
                return;
            CCoordinate unit = n * (1.0 / length);
            double d = -Dot(unit, sides[k][0]);
            if (Dot(unit, centre) + d < 0) {
                unit = unit * -1.0;
                d = -d;
            }
            clipPlanes[k][0] = unit.x;
            clipPlanes[k][1] = unit.y;
            clipPlanes[k][2] = unit.z;
            clipPlanes[k][3] = d;
        }
        clipActive = true;
        exclusiveZoom = false;
    }
    camera.ZoomIntoBox(b[0], b[1], b[2], b[3], frame.width, frame.height);
}

void CSceneRender::wheelEvent(QWheelEvent* event) {
    RemoveMarker();
    camera.Wheel(event->angleDelta().y());
    update();
}

void CSceneRender::focusOutEvent(QFocusEvent* event) {
    RemoveMarker();
    QOpenGLWidget::focusOutEvent(event);
}

void CSceneRender::ContinualRotationTick() {
    if (lastFreePointer == QPoint(0, 0)) {
        rotationTimer.stop();
        rotationRunning = false;
        return;
    }
    const int w = width(), h = height();
    auto pointerOf = [w, h](const QPoint& mirrored) { return QPoint(w - mirrored.x(), h - mirrored.y()); };
    if (firstTick) {
        firstTick = false;
        const QPoint start = pointerOf(rotationStartPoint);
        camera.trackball.SetLastPointer(start.x(), start.y());
    }
    const double product = static_cast<double>(rotationStartPoint.x()) * rotationEndPoint.x() +
                           static_cast<double>(rotationStartPoint.y()) * rotationEndPoint.y();
    const int length = product > 0 ? static_cast<int>(std::sqrt(product)) : 0;
    if (length == 0) {
        rotationTimer.stop();
        return;
    }
    const float ux =
        static_cast<float>(rotationEndPoint.x() - rotationStartPoint.x()) / static_cast<float>(length);
    const float uy =
        static_cast<float>(rotationEndPoint.y() - rotationStartPoint.y()) / static_cast<float>(length);
    rotationCounter += 50;
    if (rotationCounter >= length) {
        rotationCounter = 0;
        const QPoint start = pointerOf(rotationStartPoint);
        camera.trackball.SetLastPointer(start.x(), start.y());
    }
    const QPoint virtualPointer(static_cast<int>(static_cast<float>(rotationCounter) * ux +
                                                 static_cast<float>(rotationStartPoint.x())),
                                static_cast<int>(static_cast<float>(rotationCounter) * uy +
                                                 static_cast<float>(rotationStartPoint.y())));
    rotationRunning = true;
    const QPoint pointer = pointerOf(virtualPointer);
    camera.trackball.StepFrom(pointer.x(), pointer.y());
    update();
}
