// The 3D view of a project: an OpenGL widget that draws the sheet and the
// tools of its document with its own camera, display settings, scale limits
// and pick state.
#pragma once

#include "config/DisplaySettings.h"
#include "model/CDocument.h"
#include "scale/ColourRamp.h"
#include "scale/ScaleLimits.h"
#include "scene/CCamera.h"
#include "scene/CDataDisplay.h"
#include "scene/CSceneDrawer.h"
#include "scene/CScenePicker.h"

#include <QElapsedTimer>
#include <QImage>
#include <QOpenGLWidget>
#include <QTimer>

class CProjectProfile;

class CSceneRender : public QOpenGLWidget, public CView {
    Q_OBJECT

public:
    // Before the QApplication exists: every context in one share group and
    // a compatibility profile for the fixed-function drawing.
    static void PrepareApplication();

    CSceneRender(CProjectProfile* document, const DisplaySettings& settings, QWidget* parent = nullptr);
    ~CSceneRender() override;

    // The view side of the document.
    void OnUpdate(CView* sender, int hint) override;
    bool IsSceneView() const override { return true; }
    void TakeRecord(int record) override;
    void RequestRedraw() override;
    void Invalidate() override { update(); }
    int ShownRecord() const override { return shownRecord; }
    CDocument* Document() const override;

    CCamera& Camera() { return camera; }
    DisplaySettings& Settings() { return settings; }
    ScaleLimits& Limits() { return limits; }
    int Quantity() const { return quantity; }
    int PickMode() const { return pickMode; }
    const CDataDisplay& CurrentPick() const { return currentPick; }
    const CDataDisplay& FirstMeasurementPoint() const { return firstPoint; }
    const CDataDisplay& SecondMeasurementPoint() const { return secondPoint; }
    bool ClipPlanesActive() const { return clipActive; }
    const double (*ClipPlanes() const)[4] { return clipPlanes; }
    bool IsZoomBoxMode() const;

    // The same frame drawn off-screen at any size (sharing this view's
    // display lists), for pictures, printing, the video and the tests; with
    // motion, the frame drawn during a drag.
    QImage RenderImage(int width, int height, bool motion = false);

    // Picks at a window point in the view's pick mode; true when something
    // was found (and, with mark, marked).
    bool PickAt(int x, int y, CDataDisplay& record, bool mark);
    // The window position of a model point (pixels, y downwards).
    QPointF ProjectToWindow(const CCoordinate& point);
    // Marks a point of the cut with the cross-hair, or clears the mark.
    void MarkCutPoint(const CCoordinate& point);
    void ClearCutMark();

    // Rebuilds every list from the document and the settings.
    void RebuildLists();

public slots:
    void SetXYView();
    void SetGeneralView();
    void SetXZView();
    void SetYZView();
    void ZoomIn();
    void ZoomOut();
    void FitIntoWindow();
    void StartZoomBox();
    void StartExclusiveZoomBox();
    void RemoveClipPlanes();
    void SetQuantity(int quantity);
    void SetPickMode(int mode);
    void ToggleSheet();
    void ToggleTool(int slot);
    void StepToolMode(int slot);
    void SetSheetDisplayMode(int mode);
    void ToggleDots();
    void ToggleMeasurement();
    void ApplySettings(const DisplaySettings& settings);

signals:
    // The limits of the current quantity, for the scale panel.
    void LimitsChanged(int quantity, double minimum, double maximum);
    // A pick was made (the data tip shows it).
    void Picked(const CDataDisplay& record);
    // Both points of a distance measurement are picked (the measurement
    // window shows them).
    void MeasurementPicked(const CDataDisplay& first, const CDataDisplay& second, QPoint position);

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    FrameState Frame() const;
    void RecomputeLimits();
    void SettingsChanged();
    void ReleaseGL();
    void FitNow();
    void ZoomIntoBox();
    void RemoveMarker();
    void OnRedrawRequest();
    void ContinualRotationTick();
    void MeasurementClick(const QPoint& point);
    bool PickMarker(int x, int y, CDataDisplay& record, Overlay marker);
    void ClearMeasurement();
    void SetCentreAt(const CCoordinate& point);

    CProjectProfile* project;
    DisplaySettings settings;
    CCamera camera;
    ScaleLimits limits;
    ColourRamp ramp;
    CSceneDrawer drawer;
    CScenePicker picker;
    int quantity = 1;
    int pickMode = PointMode;
    int shownRecord = 0;
    bool contextReady = false;
    bool fitPending = true;
    CDataDisplay currentPick;
    std::vector<std::array<int, 2>> pickOutline;

    // Distance measurement.
    CDataDisplay firstPoint, secondPoint;
    bool firstSet = false, waitingSecond = false, markerShown = false, secondSet = false;
    QPoint firstClick, secondClick;
    QRect markerRects[2];

    // Clipping.
    bool clipActive = false;
    double clipPlanes[4][4] = {};
    bool exclusiveZoom = false;

    // Mouse.
    bool leftDrag = false, rightDrag = false;
    QPoint lastPan;
    int lastDragZoomY = -11111111;
    int box[4] = {0, 0, 0, 0};

    // Continual rotation.
    QTimer rotationTimer;
    QElapsedTimer clock;
    qint64 rotationStart = 0;
    bool rotationArmed = false, firstMove = false, rotationRunning = false, firstTick = false;
    int rotationCounter = 0;
    QPoint rotationStartPoint, rotationEndPoint, lastFreePointer;
};
