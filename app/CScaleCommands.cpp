#include "app/CScaleCommands.h"

#include "app/CMainFrame.h"
#include "app/CommandIds.h"
#include "model/CProjectProfile.h"
#include "scale/LimitsEditing.h"
#include "scale/ResultQuantity.h"
#include "ui/scale/CScaleLimitsDialog.h"
#include "ui/scale/CScalePanel.h"
#include "ui/scene/CSceneRender.h"

#include <QAction>

CScaleCommands::CScaleCommands(CMainFrame& mainFrame) : frame(mainFrame) {
    CScalePanel* panel = frame.ScalePanel();
    frame.Commands().Define(
        command::Limits, QStringLiteral("&Limits"),
        QStringLiteral("Fix or free the limits of the colour scale"), [this] { EditLimits(); },
        [this] {
            return CommandState{frame.ActiveSceneView() != nullptr, false};
        });
    QObject::connect(&frame, &CMainFrame::ActiveViewChanged, panel,
                     [this](CSceneRender* view) { Follow(view); });
    QObject::connect(panel, &CScalePanel::QuantityChosen, panel, [this](int quantity) {
        if (CSceneRender* view = frame.ActiveSceneView())
            view->SetQuantity(quantity);
    });
    QObject::connect(panel, &CScalePanel::PickModeChosen, panel, [this](int mode) {
        if (CSceneRender* view = frame.ActiveSceneView())
            view->SetPickMode(mode);
    });
    QObject::connect(panel, &CScalePanel::LimitsRequested, panel,
                     [this] { frame.Commands().Run(command::Limits); });
    QObject::connect(panel, &CScalePanel::OrientationDragged, panel, [this](const Quaternion& q) {
        if (CSceneRender* view = frame.ActiveSceneView())
            view->SetRotation(q);
    });
    QObject::connect(panel, &CScalePanel::OrientationDragFinished, panel, [this] {
        if (CSceneRender* view = frame.ActiveSceneView())
            view->update();
    });
    QObject::connect(panel, &CScalePanel::ViewCommand, panel, [this](int id) { frame.Commands().Run(id); });
    // "Del E-Box" is the command that removes the clipping planes.
    QObject::connect(frame.Commands().Action(command::RemoveClipPlanes), &QAction::enabledChanged, panel,
                     &CScalePanel::SetRemoveClipPlanesEnabled);
}

void CScaleCommands::Follow(CSceneRender* view) {
    CScalePanel* panel = frame.ScalePanel();
    QObject::disconnect(limits);
    QObject::disconnect(rotation);
    QObject::disconnect(gone);
    followed = view;
    if (!view) {
        panel->ClearView();
        return;
    }
    // The last window may close without another becoming active.
    gone = QObject::connect(view, &QObject::destroyed, panel, [this] { Follow(nullptr); });
    panel->ShowView(view->Scene().Quantity(), view->Interactor().PickMode());
    panel->SetOrientation(view->Scene().Camera().trackball.Rotation());
    panel->SetRemoveClipPlanesEnabled(view->Interactor().ClipPlanesActive());
    limits = QObject::connect(view, &CSceneRender::LimitsChanged, panel,
                              [panel](int quantity, double minimum, double maximum) {
                                  panel->SetLimits(quantity, minimum, maximum);
                              });
    rotation = QObject::connect(view, &CSceneRender::RotationShown, panel,
                                [panel](const Quaternion& q) { panel->SetOrientation(q); });
    view->OnActivateView(true);
}

void CScaleCommands::EditLimits() {
    CSceneRender* view = frame.ActiveSceneView();
    CProjectProfile* document = frame.ActiveDocument();
    if (!view || !document)
        return;
    CScalePanel* panel = frame.ScalePanel();
    const int quantity = panel->Quantity();
    ScaleLimits& fixed = view->Scene().Limits();
    // A value never fixed starts from the limits the panel shows.
    PrepareFixedLimits(fixed, quantity, panel->LastMinimum(), panel->LastMaximum());
    CScaleLimitsDialog dialog(quantity, QString::fromUtf8(QuantityName(quantity)), fixed,
                              frame.Configuration(), &frame);
    const std::string path = document->ProjectPathName();
    const int records = document->RecordCount();
    dialog.SetAllRecords([&dialog, path, records, quantity](double& minimum, double& maximum) {
        return ComputeAllRecordLimitsWithProgress(&dialog, path, records, quantity, minimum, maximum);
    });
    dialog.exec();
    // "Fixed" takes effect at once, so the view recolours after Cancel too.
    view->SetQuantity(quantity);
}
