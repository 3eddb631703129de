#include "app/CExportCommands.h"

#include "app/CChildFrame.h"
#include "app/CExtendedChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CMeasurementCommands.h"
#include "app/CommandIds.h"
#include "core/Messages.h"
#include "messages/MessageText.h"
#include "model/CProjectProfile.h"
#include "render/PrintedFile.h"
#include "render/ScenePrint.h"
#include "ui/cut/CCutDialog.h"
#include "ui/export/CFilesExportDialog.h"
#include "ui/export/ModelExport.h"
#include "ui/export/SaveToBitmap.h"
#include "ui/export/ShareWebPage.h"
#include "ui/export/VideoExport.h"
#include "ui/export/ViewPrint.h"
#include "ui/scene/CSceneRender.h"

#include <QAction>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

#include <utility>

namespace quillmere {

// One printer for the program, so that Print setup's choices hold for the
// next print.
QPrinter& ThePrinter() {
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

void PrintIntoFile(QPrinter& printer, const std::function<bool()>& print) {
    CPrintedFile file(printer);
    if (!file.Ready()) {
        ShowMessage("Printing failed: " + file.Error(), MessageIcon::Error);
        return;
    }
    if (print() && !file.Commit())
        ShowMessage("Printing failed: " + file.Error(), MessageIcon::Error);
}

CExportCommands::CExportCommands(CMainFrame& mainFrame, FirstContactPreparation prepareFirstContactOf)
    : frame(mainFrame), prepareFirstContact(std::move(prepareFirstContactOf)) {
    DefinePrintCommands();
    DefinePictureCommands();
    DefineSharingCommands();
}

CommandState CExportCommands::ViewState() const {
    return CommandState{frame.ActiveSceneView() != nullptr, false};
}

CommandState CExportCommands::IdleViewState() const {
    const CProjectProfile* document = frame.ActiveDocument();
    return CommandState{frame.ActiveSceneView() && document && !document->IsAnimationRunning(), false};
}

void CExportCommands::DefinePrintCommands() {
    CCommandTable& commands = frame.Commands();
    auto view = [this] { return ViewState(); };
    commands.Define(
        command::Print, QStringLiteral("&Print..."), QStringLiteral("Print the active document"),
        [this] { Print(true); },
        [this] {
            const auto* cut = qobject_cast<CExtendedChildFrame*>(frame.ActiveDocumentFrame());
            return CommandState{frame.ActiveSceneView() || (cut && cut->CutWindow()->CanPrint()), false};
        });
    commands.Define(
        command::PrintDirect, QStringLiteral("Print &directly"), QStringLiteral("Print the active document"),
        [this] { Print(false); }, view);
    commands.Define(command::PrintSetup, QStringLiteral("P&rint setup..."),
                    QStringLiteral("Change the printer and printing options"), [this] { PrintSetup(); });
    commands.Action(command::Print)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
}

void CExportCommands::DefinePictureCommands() {
    CCommandTable& commands = frame.Commands();
    auto idleView = [this] { return IdleViewState(); };
    commands.Define(
        command::SaveBitmap, QStringLiteral("Save to &bitmap..."), QStringLiteral("Save to bitmap (*.BMP)"),
        [this] {
            if (CSceneRender* active = frame.ActiveSceneView())
                SaveToBitmap(*active, frame.Configuration(), &frame);
        },
        idleView);
    commands.Define(
        command::ExportVideo, QStringLiteral("Export &video..."),
        QStringLiteral("Create video - animation of results"),
        [this] {
            CChildFrame* child = frame.ActiveChild();
            CSceneRender* active = frame.ActiveSceneView();
            if (!active)
                return;
            VideoExportHooks hooks;
            // Each frame's markers are those of its own record.
            if (CSession* session = child ? child->Session() : nullptr)
                hooks.recordShown = [this, session] { frame.Measurements().CompareNow(*session); };
            ExportVideo(*active, frame.Configuration(), &frame, hooks);
        },
        [this, idleView] {
            // Not while the document has a cut window.
            CommandState state = idleView();
            state.enabled = state.enabled && !frame.CutWindowOf(frame.ActiveDocument());
            return state;
        });
    commands.Define(
        command::ExportModel, QStringLiteral("Export &3D model..."),
        QStringLiteral("Save the sheet and the shown tools as a 3D model (glTF) that other viewers open"),
        [this] {
            CSceneRender* active = frame.ActiveSceneView();
            const CProjectProfile* document = frame.ActiveDocument();
            if (!active || !document)
                return;
            const QString path = frame.Files().ModelToSave(
                &frame, QString::fromStdString(DefaultModelName(document->PathName())));
            if (path.isEmpty())
                return;
            // Without it the model's first contact holds no values; the
            // other quantities are still worth the file.
            prepareFirstContact(*document, active->Comparison().get());
            ExportModel(*active, path.toStdString());
        },
        idleView);
}

void CExportCommands::DefineSharingCommands() {
    CCommandTable& commands = frame.Commands();
    auto view = [this] { return ViewState(); };
    commands.Define(
        command::ShareWebPage, QStringLiteral("S&hare as web page..."),
        QStringLiteral("One web page of the results for someone without the program"),
        [this] {
            if (CSceneRender* active = frame.ActiveSceneView())
                ShareWebPage(*active, frame.Configuration(), &frame);
        },
        view);
    commands.Define(
        command::ExportProject, QStringLiteral("Export project &files..."),
        QStringLiteral("Export active project files into selected directory for data exchange"),
        [this] {
            if (CProjectProfile* document = frame.ActiveDocument())
                ExportProjectFiles(*document, &frame);
        },
        view);
    commands.Define(
        command::ReportFile, QStringLiteral("Open &report file"), QStringLiteral("Open report file"),
        [this] {
            if (CProjectProfile* document = frame.ActiveDocument())
                OpenReportFile(*document, &frame);
        },
        [this] {
            const CProjectProfile* document = frame.ActiveDocument();
            return CommandState{frame.ActiveSceneView() && document && ReportFileExists(*document), false};
        });
}

void CExportCommands::Print(bool askPrinter) {
    QPrinter& printer = ThePrinter();
    if (auto* cut = qobject_cast<CExtendedChildFrame*>(frame.ActiveDocumentFrame())) {
        if (cut->CutWindow()->AskPrinter(printer))
            PrintIntoFile(printer, [&] {
                cut->CutWindow()->Print(printer);
                return true;
            });
        return;
    }
    CSceneRender* view = frame.ActiveSceneView();
    if (!view)
        return;
    if (askPrinter) {
        QPrintDialog dialog(&printer, &frame);
        if (dialog.exec() != QDialog::Accepted)
            return;
    }
    PrintIntoFile(printer, [&] { return PrintScene(printer, *view, frame.Configuration()); });
}

void CExportCommands::PrintSetup() {
    QPageSetupDialog dialog(&ThePrinter(), &frame);
    dialog.exec();
}

} // namespace quillmere
