#include "app/CRecordCommands.h"

#include "app/CChildFrame.h"
#include "app/CFormingSummaryDialog.h"
#include "app/CMainFrame.h"
#include "app/CNavigationBar.h"
#include "app/CommandIds.h"
#include "config/CConfiguration.h"
#include "core/Messages.h"
#include "messages/MessageText.h"
#include "model/CProjectProfile.h"
#include "model/FormingSummary.h"
#include "model/Reports.h"
#include "ui/scene/CSceneRender.h"

#include <QAction>

namespace quillmere {

CRecordCommands::CRecordCommands(CMainFrame& mainFrame,
                                 std::function<bool(const CProjectProfile&)> prepareFirstContactOf)
    : frame(mainFrame), prepareFirstContact(std::move(prepareFirstContactOf)) {
    CCommandTable& commands = frame.Commands();
    auto open = [this] { return CommandState{frame.ActiveDocument() != nullptr, false}; };
    auto onPlayer = [this](void (CRecordPlayer::*step)()) {
        return [this, step] {
            if (CProjectProfile* document = frame.ActiveDocument())
                (document->Player().*step)();
        };
    };
    commands.Define(command::GoToStart, QStringLiteral("Go to &start"), QStringLiteral("Go to start"),
                    onPlayer(&CRecordPlayer::OnFirstRecord), open);
    commands.Define(command::PreviousRecord, QStringLiteral("&Previous record"),
                    QStringLiteral("Load previous project record"),
                    onPlayer(&CRecordPlayer::OnPreviousRecord), open);
    commands.Define(command::NextRecord, QStringLiteral("&Next record"),
                    QStringLiteral("Load next project record"), onPlayer(&CRecordPlayer::OnNextRecord), open);
    commands.Define(command::GoToEnd, QStringLiteral("Go to &end"), QStringLiteral("Go to end"),
                    onPlayer(&CRecordPlayer::OnLastRecord), open);
    commands.Define(
        command::LoadRecord, QStringLiteral("&Load record"),
        QStringLiteral("Load new record/reload current record"), [this] { LoadTypedRecord(); }, open);
    commands.Define(
        command::Animation, QStringLiteral("&Animation"), QStringLiteral("Start / stop animation of results"),
        onPlayer(&CRecordPlayer::ToggleAnimation),
        [this] {
            const CProjectProfile* document = frame.ActiveDocument();
            return CommandState{document != nullptr, document && document->IsAnimationRunning()};
        },
        true);
    commands.Define(
        command::AutoLoad, QStringLiteral("A&utomatic loading"),
        QStringLiteral("Automatically loads stages to all windows associated with the document"),
        [this] { autoLoad = !autoLoad; },
        [this] {
            const CProjectProfile* document = frame.ActiveDocument();
            return CommandState{document && !document->IsAnimationRunning(), autoLoad};
        },
        true);
    commands.Define(
        command::SheetProperties, QStringLiteral("Sheet p&roperties"),
        QStringLiteral("Sheet properties (number of elements, dimensions, thickness, tempearture)"),
        [this] { SheetProperties(); }, open);
    commands.Define(
        command::ProjectInfo, QStringLiteral("Pro&ject information"),
        QStringLiteral("Display information about project"), [this] { ProjectInformation(); }, open);
    commands.Define(
        command::RecordInfo, QStringLiteral("Record &information"),
        QStringLiteral("Display information about the current record"), [this] { RecordInformation(); },
        open);
    commands.Define(
        command::FormingSummary, QStringLiteral("&Forming summary"),
        QStringLiteral("Draw ratio, thickness, thinning and first contact of the record shown"),
        [this] { FormingSummary(); }, open);
}

void CRecordCommands::LoadTypedRecord() {
    CChildFrame* child = frame.ActiveChild();
    if (!child)
        return;
    CNavigationBar* bar = child->NavigationBar();
    const std::string shown = child->Document()->Player().OnLoadRecordNumber(bar->RecordText().toStdString());
    bar->SetRecordText(QString::fromStdString(shown));
}

void CRecordCommands::SheetProperties() {
    CProjectProfile* document = frame.ActiveDocument();
    if (!document || document->IsAnimationBusy())
        return;
    ShowMessage(SheetPropertiesReport(*document, frame.Configuration()), MessageIcon::Information);
}

void CRecordCommands::ProjectInformation() {
    CProjectProfile* document = frame.ActiveDocument();
    if (!document || document->IsAnimationBusy())
        return;
    const quillmere::ProjectInformation report = ProjectInformationReport(*document);
    if (report.configurationUnreadable)
        ShowMessage(report.text, MessageIcon::Error);
    ShowMessage(report.text, MessageIcon::Information);
}

void CRecordCommands::RecordInformation() {
    CProjectProfile* document = frame.ActiveDocument();
    CSceneRender* view = frame.ActiveSceneView();
    if (!document || !view || document->IsAnimationBusy())
        return;
    std::string text;
    if (RecordInformationReport(*document, frame.Configuration(), text))
        ShowMessage(text, MessageIcon::Information);
}

void CRecordCommands::FormingSummary() {
    CSceneRender* view = frame.ActiveSceneView();
    CProjectProfile* document = frame.ActiveDocument();
    if (!view || !document || !document->Sheet() || document->IsAnimationBusy())
        return;
    // Without the first contact the summary still gives the figures of the record.
    prepareFirstContact(*document);
    const FormingFigures figures = FormingFiguresOf(*document->Sheet(), view->Scene().MinimumWall(),
                                                    document->Sheet()->FirstContact().get());
    const std::string text =
        FormingSummaryText(figures, frame.Configuration(), document->PathName(), document->CurrentRecord());
    CFormingSummaryDialog dialog(QString::fromStdString(text), &frame);
    dialog.exec();
}

} // namespace quillmere
