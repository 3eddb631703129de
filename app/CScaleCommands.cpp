#include "app/CScaleCommands.h"

#include "app/CChildFrame.h"
#include "app/CExtendedChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CommandIds.h"
#include "app/ViewerProfile.h"
#include "config/CConfiguration.h"
#include "core/Messages.h"
#include "model/CProjectProfile.h"
#include "scale/ByPosition.h"
#include "scale/Comparison.h"
#include "scale/LimitsEditing.h"
#include "scale/Presentation.h"
#include "ui/cut/CCutDialog.h"
#include "ui/scale/CCompareDialog.h"
#include "ui/scale/CMinimumWallDialog.h"
#include "ui/scale/CScaleLimitsDialog.h"
#include "ui/scale/CScalePanel.h"
#include "ui/scene/CSceneCommands.h"
#include "ui/scene/CSceneRender.h"

#include <QAction>

namespace quillmere {

CScaleCommands::CScaleCommands(CMainFrame& mainFrame) : frame(mainFrame) {
    CScalePanel* panel = frame.ScalePanel();
    frame.Commands().Define(
        command::Limits, QStringLiteral("&Limits"),
        QStringLiteral("Fix or free the limits of the colour scale"), [this] { EditLimits(); },
        [this] {
            return CommandState{frame.ActiveSceneView() != nullptr, false};
        });
    frame.Commands().Define(
        command::MinimumWall, QStringLiteral("Mi&nimum wall\u2026"),
        QStringLiteral("Mark the elements thinner than the minimum wall"), [this] { EditMinimumWall(); },
        [this] {
            const CSceneRender* view = frame.ActiveSceneView();
            return CommandState{view != nullptr, view && view->Scene().MinimumWall() > 0};
        },
        true);
    frame.Commands().Define(
        command::CompareWith, QStringLiteral("&Compare with\u2026"),
        QStringLiteral("Show the difference to another project or another record"), [this] { CompareWith(); },
        [this] {
            return CommandState{frame.ActiveSceneView() != nullptr, false};
        });
    frame.Commands().Define(
        command::StopComparing, QStringLiteral("S&top comparing"),
        QStringLiteral("Show the plain quantity again"), [this] { StopComparing(frame.ActiveSceneView()); },
        [this] {
            const CSceneRender* view = frame.ActiveSceneView();
            return CommandState{view && view->Comparison(), false};
        });
    QObject::connect(panel, &CScalePanel::CompareRequested, panel,
                     [this] { frame.Commands().Run(command::CompareWith); });
    QObject::connect(panel, &CScalePanel::StopComparingRequested, panel,
                     [this] { frame.Commands().Run(command::StopComparing); });
    QObject::connect(&frame, &CMainFrame::DocumentClosing, panel,
                     [this](const CProjectProfile* document) { ReferenceClosing(document); });
    QObject::connect(&frame, &CMainFrame::ActiveViewChanged, panel,
                     [this](CSceneRender* view) { Follow(view); });
    QObject::connect(panel, &CScalePanel::QuantityChosen, panel, [this](ResultQuantity quantity) {
        CSceneRender* view = frame.ActiveSceneView();
        if (!view)
            return;
        const CProjectProfile* project = view->Scene().Project();
        // Cancelled, the view and the panel keep the quantity they had.
        if (project && !PrepareQuantity(*project, view->Comparison().get(), quantity)) {
            frame.ScalePanel()->ShowPresentation(view->Scene().Presented());
            return;
        }
        view->Commands().SetQuantity(quantity);
    });
    QObject::connect(panel, &CScalePanel::PickModeChosen, panel, [this](int mode) {
        if (CSceneRender* view = frame.ActiveSceneView())
            view->Commands().SetPickMode(mode);
    });
    QObject::connect(panel, &CScalePanel::LimitsRequested, panel,
                     [this] { frame.Commands().Run(command::Limits); });
    QObject::connect(panel, &CScalePanel::MinimumWallRequested, panel,
                     [this] { frame.Commands().Run(command::MinimumWall); });
    QObject::connect(panel, &CScalePanel::OrientationDragged, panel, [this](const Quaternion& q) {
        if (CSceneRender* view = frame.ActiveSceneView())
            view->Commands().SetRotation(q);
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
    QObject::disconnect(presentation);
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
    panel->ShowPresentation(view->Scene().Presented());
    panel->SetOrientation(view->Scene().Camera().trackball.Rotation());
    panel->SetRemoveClipPlanesEnabled(view->Interactor().ClipPlanesActive());
    // The panel paints what the view presents, as the view makes it.
    presentation =
        QObject::connect(view, &CSceneRender::PresentationChanged, panel, &CScalePanel::ShowPresentation);
    rotation = QObject::connect(view, &CSceneRender::RotationShown, panel,
                                [panel](const Quaternion& q) { panel->SetOrientation(q); });
    view->OnActivateView(true);
}

void CScaleCommands::EditLimits() {
    CSceneRender* view = frame.ActiveSceneView();
    CProjectProfile* document = frame.ActiveDocument();
    if (!view || !document)
        return;
    const Presentation shown = view->Scene().Presented();
    const ResultQuantity quantity = shown.quantity;
    ScaleLimits& fixed = view->Scene().Limits();
    // A value never fixed starts from the limits the panel shows.
    PrepareFixedLimits(fixed, quantity, shown.limits.minimum, shown.limits.maximum);
    CScaleLimitsDialog dialog(shown, fixed, frame.Configuration(), &frame);
    const std::string path = document->ProjectPathName();
    const int records = document->RecordCount();
    // The records' own limits are no limits of differences.
    if (!shown.Difference())
        dialog.SetAllRecords([&dialog, path, records, quantity](double& minimum, double& maximum) {
            return ComputeAllRecordLimitsWithProgress(&dialog, path, records, quantity, minimum, maximum);
        });
    dialog.exec();
    // "Fixed" takes effect at once, so the view recolours after Cancel too.
    view->Commands().SetQuantity(quantity);
}

void CScaleCommands::EditMinimumWall() {
    CSceneRender* view = frame.ActiveSceneView();
    CProjectProfile* document = frame.ActiveDocument();
    if (!view || !document)
        return;
    const QString path = QString::fromStdString(document->ProjectPathName());
    CMinimumWallDialog dialog(view->Scene().MinimumWall(), RememberedMinimumWall(path).wall,
                              frame.Configuration(), &frame);
    if (dialog.exec() != QDialog::Accepted)
        return;
    view->Commands().SetMinimumWall(dialog.Wall());
    RememberMinimumWall(path, {dialog.Wall() > 0, dialog.Typed()});
}

void CScaleCommands::CompareWith() {
    CSceneRender* view = frame.ActiveSceneView();
    CProjectProfile* document = frame.ActiveDocument();
    if (!view || !document || !document->Sheet())
        return;
    const std::vector<CProjectProfile*> documents = frame.Documents();
    std::vector<CompareCandidate> candidates;
    int own = 0;
    for (size_t i = 0; i < documents.size(); ++i) {
        if (documents[i] == document)
            own = static_cast<int>(i);
        const CSheetProfile* sheet = documents[i]->Sheet();
        candidates.push_back({QString::fromStdString(documents[i]->DisplayName()),
                              documents[i]->RecordCount(),
                              sheet && !MeshMismatch(*document->Sheet(), *sheet)});
    }
    const CConfiguration& units = frame.Configuration();
    CCompareDialog dialog(candidates, own, units.LengthToDisplay(kDefaultMaxDistance * 1000),
                          QString::fromUtf8(units.LengthUnit()), &frame);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const CompareChoice choice = dialog.Choice();
    if (choice.project < 0 || choice.project >= static_cast<int>(documents.size()))
        return;
    ComparisonRule rule;
    if (choice.byPosition) {
        rule.mode = ComparisonMode::ByPosition;
        rule.maxDistance = units.LengthFromDisplay(choice.maxDistance) / 1000;
    }
    Compare(*view, *documents[static_cast<size_t>(choice.project)],
            choice.follow ? CComparison::Follow : choice.record, rule);
}

bool CScaleCommands::Compare(CSceneRender& view, const CProjectProfile& reference, int record,
                             ComparisonRule rule) {
    const auto* document = view.Scene().Project();
    if (!document)
        return false;
    // A view of first contact compares it with the reference's.
    if (view.Scene().Quantity() == ResultQuantity::FirstContact && !PrepareFirstContact(reference))
        return false;
    auto comparison = std::make_shared<CComparison>(*document, reference, record, rule);
    const CComparison* made = comparison.get();
    Message failure;
    if (!view.SetComparison(std::move(comparison), failure)) {
        ShowMessage(failure, MessageIcon::Error);
        return false;
    }
    references[made] = &reference;
    ShareWithCutWindow(view);
    if (made->ByPosition()) {
        view.UpdatePresentation();
        const Message beyond =
            BeyondReferenceMessage(made->BeyondNodes(), made->Rule().maxDistance, frame.Configuration());
        if (beyond)
            ShowMessage(beyond, MessageIcon::Information);
    }
    return true;
}

void CScaleCommands::StopComparing(CSceneRender* view) {
    if (!view || !view->Comparison())
        return;
    references.erase(view->Comparison().get());
    Message none;
    view->SetComparison(nullptr, none);
    ShareWithCutWindow(*view);
}

void CScaleCommands::NamesChanged() {
    for (CChildFrame* child : frame.Children()) {
        const std::shared_ptr<CComparison>& comparison = child->View()->Comparison();
        const auto found = references.find(comparison.get());
        if (comparison && found != references.end()) {
            comparison->SetTitles(child->Document()->DisplayName(), found->second->DisplayName());
            child->View()->UpdatePresentation();
        }
    }
}

bool CScaleCommands::PrepareQuantity(const CProjectProfile& project, const CComparison* comparison,
                                     ResultQuantity quantity) {
    if (quantity != ResultQuantity::FirstContact)
        return true;
    if (!PrepareFirstContact(project))
        return false;
    const auto found = references.find(comparison);
    return found == references.end() || PrepareFirstContact(*found->second);
}

bool CScaleCommands::PrepareFirstContact(const CProjectProfile& project) {
    CSheetProfile* sheet = project.Sheet();
    if (!sheet)
        return false;
    if (sheet->FirstContact())
        return true;
    std::shared_ptr<const FirstContactRecords> records;
    if (!ComputeFirstContactWithProgress(&frame, project.ProjectPathName(), project.RecordCount(),
                                         sheet->NodeCount(), records))
        return false;
    sheet->SetFirstContact(records);
    for (CChildFrame* child : frame.Children()) {
        const std::shared_ptr<CComparison>& comparison = child->View()->Comparison();
        const auto found = references.find(comparison.get());
        if (comparison && found != references.end() && found->second == &project)
            comparison->SetReferenceFirstContact(records);
    }
    return true;
}

void CScaleCommands::ReferenceClosing(const CProjectProfile* document) {
    for (CChildFrame* child : frame.Children()) {
        CSceneRender* view = child->View();
        const auto found = references.find(view->Comparison().get());
        if (found != references.end() && found->second == document && child->Document() != document)
            StopComparing(view);
    }
}

void CScaleCommands::ShareWithCutWindow(const CSceneRender& view) {
    if (CExtendedChildFrame* cut = frame.CutWindowOf(view.Scene().Project()))
        cut->CutWindow()->SetComparison(view.Comparison());
}

} // namespace quillmere
