// The 3D view of a project: an OpenGL widget that hosts the scene of its
// document (camera, display settings, quantity, limits, presentation,
// lists), takes the document's events and publishes its presentation. Its
// gestures (CViewGestures) and its commands (CSceneCommands) are objects of
// their own.
#pragma once

#include "config/DisplaySettings.h"
#include "model/CDocument.h"
#include "render/CScene.h"
#include "scene/CDataDisplay.h"
#include "scene/CSceneInteractor.h"

#include <QImage>
#include <QOpenGLWidget>

#include <memory>

namespace quillmere {

class CConfiguration;
class CProjectProfile;
class CSession;
class CSceneCommands;
class CViewGestures;

class CSceneRender : public QOpenGLWidget, public CView, private ISceneWindow {
    Q_OBJECT

public:
    // Before the QApplication exists: every context in one share group and
    // a compatibility profile for the fixed-function drawing.
    static void PrepareApplication();

    // A view of session's project (null: of nothing), which outlives it.
    // units: the system of units of the presentation's texts (the scale
    // panel's labels, the pictures' annotations); none without.
    CSceneRender(CSession* session, const DisplaySettings& settings, QWidget* parent = nullptr,
                 const CConfiguration* units = nullptr);
    ~CSceneRender() override;

    // The view side of the document.
    void OnUpdate(CView* sender, DocumentEvent event) override;
    bool IsSceneView() const override { return true; }
    void TakeRecord(int record) override;
    void RequestRedraw() override;
    void Invalidate() override { update(); }
    int ShownRecord() const override { return shownRecord; }
    CDocument* Document() const override;
    std::function<void()> RecordPreparation(int record) override {
        return sessionView.ReferencePreparation(record, scene.Quantity());
    }

    CScene& Scene() { return scene; }
    const CScene& Scene() const { return scene; }
    const CSceneInteractor& Interactor() const;
    CSceneCommands& Commands() { return *commands; }

    // The view became the active one (or stopped being it): the trackball
    // takes its full size and the view publishes its presentation.
    void OnActivateView(bool active);
    // Makes again what changed of the presentation (the record's values, the
    // quantity, the limits, the comparison and its names, the system of
    // units) and publishes it.
    void UpdatePresentation();
    // The cut window's read-out moved its mark: the cross-hair follows.
    void ShowCutMark();
    // The session's measured points or the one selected changed: the
    // markers follow.
    void ShowMeasurements();
    // The measured point whose marker lies where the last pick was made;
    // -1 for none.
    int MeasurementMarkerPicked();
    // Pans so that a model point lies in the middle of the view.
    void CentreOn(const CCoordinate& point);

    // Shows the difference to a reference instead of the quantity's values;
    // false, with the reason in failure (the meshes differ), and nothing
    // changes. Null: the plain quantity again.
    bool SetComparison(std::shared_ptr<CComparison> comparison, Message& failure);
    const std::shared_ptr<CComparison>& Comparison() const { return scene.Comparison(); }

    // Picks at a window point (logical pixels) in the view's pick mode; true
    // when something was found (and, with mark, highlighted).
    bool PickAt(int x, int y, CDataDisplay& record, bool mark);
    // The window position of a model point (pixels, y downwards).
    QPointF ProjectToWindow(const CCoordinate& point);

signals:
    // What the view presents now (the scale panel paints it when the view is
    // the active one).
    void PresentationChanged(const Presentation& shown);
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
    void focusInEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    friend class CSceneCommands;
    friend class CViewGestures;

    // The scene's window.
    FrameState WindowFrame() const override;
    QOpenGLContext* ListContext() override;

    // Rebuilds every list from the document and the settings.
    void RebuildLists();
    // The settings changed: lighting, lists and presentation follow.
    void SettingsChanged();
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
    std::unique_ptr<CViewGestures> gestures;
    std::unique_ptr<CSceneCommands> commands;
    int shownRecord = 0;
    bool contextReady = false;
    bool fitPending = true;
    bool contextFailureShown = false;
};

} // namespace quillmere
