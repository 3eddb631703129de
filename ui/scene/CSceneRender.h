// The 3D view of a project: an OpenGL widget that hosts the scene of its
// document (camera, display settings, scale limits, lists) and turns mouse
// events into its gestures and picks.
#pragma once

#include "config/DisplaySettings.h"
#include "model/CDocument.h"
#include "render/CScene.h"
#include "render/CScenePicker.h"
#include "scene/CDataDisplay.h"
#include "scene/CSceneInteractor.h"

#include <QElapsedTimer>
#include <QImage>
#include <QOpenGLWidget>
#include <QTimer>

class CProjectProfile;
class CSession;

class CSceneRender : public QOpenGLWidget, public CView, private ISceneHost, private ISceneWindow {
    Q_OBJECT

public:
    // Before the QApplication exists: every context in one share group and
    // a compatibility profile for the fixed-function drawing.
    static void PrepareApplication();

    // A view of session's project (null: of nothing), which outlives it.
    CSceneRender(CSession* session, const DisplaySettings& settings, QWidget* parent = nullptr);
    ~CSceneRender() override;

    // The view side of the document.
    void OnUpdate(CView* sender, int hint) override;
    bool IsSceneView() const override { return true; }
    void TakeRecord(int record) override;
    void RequestRedraw() override;
    void Invalidate() override { update(); }
    int ShownRecord() const override { return shownRecord; }
    CDocument* Document() const override;
    std::function<void()> RecordPreparation(int record) override {
        return scene.ReferencePreparation(record);
    }

    CScene& Scene() { return scene; }
    const CScene& Scene() const { return scene; }
    const CSceneInteractor& Interactor() const { return interactor; }

    // The view became the active one (or stopped being it): the trackball
    // takes its full size and the scale panel the view's limits.
    void OnActivateView(bool active);

    // Shows the difference to a reference instead of the quantity's values;
    // false, with the reason in failure (the meshes differ), and nothing
    // changes. Null: the plain quantity again.
    bool SetComparison(std::shared_ptr<CComparison> comparison, std::string& failure);
    const std::shared_ptr<CComparison>& Comparison() const { return scene.Comparison(); }

    // Picks at a window point (logical pixels) in the view's pick mode; true
    // when something was found (and, with mark, highlighted).
    bool PickAt(int x, int y, CDataDisplay& record, bool mark);
    // The window position of a model point (pixels, y downwards).
    QPointF ProjectToWindow(const CCoordinate& point);

public slots:
    // Turns the view to an orientation (the scale panel's cube).
    void SetRotation(const Quaternion& rotation) {
        scene.Camera().trackball.SetRotation(rotation);
        update();
    }
    void SetXYView() { SetRotation(CCamera::XYView); }
    void SetGeneralView() { SetRotation(CCamera::GeneralView); }
    void SetXZView() { SetRotation(CCamera::XZView); }
    void SetYZView() { SetRotation(CCamera::YZView); }
    void ZoomIn() {
        scene.Camera().ZoomIn();
        update();
    }
    void ZoomOut() {
        scene.Camera().ZoomOut();
        update();
    }
    void FitIntoWindow() {
        scene.Camera().ResetZoom();
        fitPending = true;
        update();
    }
    void StartZoomBox() { CSceneInteractor::StartZoomBox(); }
    void StartExclusiveZoomBox() { interactor.StartExclusiveZoomBox(); }
    void RemoveClipPlanes() {
        interactor.RemoveClipPlanes();
        update();
    }
    void SetQuantity(int quantity) {
        scene.SetQuantity(quantity);
        SettingsChanged();
    }
    void SetPickMode(int mode) { interactor.SetPickMode(mode); }
    void ToggleSheet() { EditSettings(ToggleSheetShown); }
    void ToggleTool(int slot) {
        EditSettings([slot](DisplaySettings& s) { ToggleToolShown(s, slot); });
    }
    void StepToolMode(int slot) {
        EditSettings([slot](DisplaySettings& s) { StepToolDisplayMode(s, slot); });
    }
    void SetSheetDisplayMode(int mode) {
        EditSettings([mode](DisplaySettings& s) { s.sheetDisplayMode = mode; });
    }
    // The next frame builds the dots when it first shows them.
    void ToggleDots() { EditSettings(ToggleNodeDots, false); }
    void ToggleMeasurement();
    // The measurement window went: its two markers and the line go too.
    void ClearMeasurementMarks() { interactor.ResetMeasurement(); }
    void ApplySettings(const DisplaySettings& settings) {
        scene.Settings() = settings;
        SettingsChanged();
    }

signals:
    // The limits of the current quantity, for the scale panel.
    void LimitsChanged(int quantity, double minimum, double maximum);
    // The orientation a frame was drawn with (the scale panel's cube shows it).
    void RotationShown(const Quaternion& rotation);
    // A pick was made (the data tip shows it), and the right button that
    // made it was released (the data tip goes).
    void Picked(const CDataDisplay& record);
    void PickInformationHidden();
    // Both points of a distance measurement are picked (the measurement
    // window shows them).
    void MeasurementReady(const CDataDisplay& first, const CDataDisplay& second, QPoint position);
    // One of the view's own commands changed its display settings (the
    // options dialog shows them).
    void DisplaySettingsChanged();

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // What the gestures ask of the window.
    bool Pick(int x, int y, int mode, PickMarking marking, CDataDisplay& record) override;
    void RemoveMarker() override;
    void Redraw() override { update(); }
    void OverlayChanged(int hint) override;
    void SetCursor(SceneCursor cursor) override;
    // Every capture happens while a button is held, and Qt keeps the mouse
    // for the widget that a button was pressed on until it is released.
    void CaptureMouse(bool) override {}
    void StartRotationTimer(int periodMs) override { rotationTimer.start(periodMs); }
    void StopRotationTimer() override { rotationTimer.stop(); }
    long long Milliseconds() override { return clock.elapsed(); }
    void ShowPickInformation(const CDataDisplay& record) override { emit Picked(record); }
    void HidePickInformation() override { emit PickInformationHidden(); }
    void MeasurementPicked(const CDataDisplay& first, const CDataDisplay& second, int x, int y) override;
    void ActivateFrame() override {}

    // The scene's window.
    FrameState WindowFrame() const override;
    QOpenGLContext* ListContext() override;

    // Rebuilds every list from the document and the settings.
    void RebuildLists();
    void RecomputeLimits();
    void SettingsChanged();
    // One of the view's own commands: edits its settings, draws them and
    // tells the options dialog; lists: whether the lists show the edit.
    template <typename F> void EditSettings(F edit, bool lists = true) {
        edit(scene.Settings());
        if (lists)
            SettingsChanged();
        else
            update();
        emit DisplaySettingsChanged();
    }
    void ReleaseGL();
    // Runs f with the view's context current.
    template <typename F> void WithContext(F f) {
        makeCurrent();
        f();
        doneCurrent();
    }

    CProjectProfile* project;
    CSessionView sessionView; // what this view keeps of its own: its comparison
    CScene scene;
    CScenePicker picker;
    CSceneInteractor interactor;
    int shownRecord = 0;
    bool contextReady = false;
    bool fitPending = true;
    bool contextFailureShown = false;
    QTimer rotationTimer;
    QElapsedTimer clock;
};
