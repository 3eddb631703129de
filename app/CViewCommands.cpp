#include "app/CViewCommands.h"

#include "app/CChildFrame.h"
#include "app/CExportCommands.h"
#include "app/CExtendedChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CommandIds.h"
#include "ui/cut/CCutDialog.h"
#include "ui/scene/CSceneCommands.h"
#include "ui/scene/CSceneRender.h"

#include <QAction>
#include <QDockWidget>
#include <QStatusBar>
#include <QToolBar>

namespace quillmere {

CViewCommands::CViewCommands(CMainFrame& mainFrame) : frame(mainFrame) {
    DefineCameraCommands();
    DefineDisplayCommands();
    DefineWindowCommands();
}

void CViewCommands::DefineCameraCommands() {
    using S = CSceneRender;
    OnView(command::GeneralView, QStringLiteral("&General view"), QStringLiteral("General view"),
           [](S& v) { v.Commands().SetGeneralView(); });
    OnView(command::XYView, QStringLiteral("&XY view"), QStringLiteral("XY view"),
           [](S& v) { v.Commands().SetXYView(); });
    OnView(command::YZView, QStringLiteral("&YZ view"), QStringLiteral("YZ view"),
           [](S& v) { v.Commands().SetYZView(); });
    OnView(command::XZView, QStringLiteral("X&Z view"), QStringLiteral("XZ view"),
           [](S& v) { v.Commands().SetXZView(); });
    OnView(command::ZoomIn, QStringLiteral("Zoom &in"), QStringLiteral("Zoom in"),
           [](S& v) { v.Commands().ZoomIn(); });
    OnView(command::ZoomOut, QStringLiteral("Zoom &out"), QStringLiteral("Zoom out"),
           [](S& v) { v.Commands().ZoomOut(); });
    OnView(command::Fit, QStringLiteral("&Fit into window"), QStringLiteral("Fit into window"),
           [](S& v) { v.Commands().FitIntoWindow(); });
    OnView(command::ZoomBox, QStringLiteral("Zoom into &box"), QStringLiteral("Zoom into box"),
           [](S& v) { v.Commands().StartZoomBox(); });
    OnView(command::ExclusiveZoomBox, QStringLiteral("&Exclusive zoom into box"),
           QStringLiteral("Exclusive zoom into box"), [](S& v) { v.Commands().StartExclusiveZoomBox(); });
    frame.Commands().Define(
        command::RemoveClipPlanes, QStringLiteral("&Remove clipping planes"),
        QStringLiteral("Remove clipping planes"),
        [this] {
            if (S* view = frame.ActiveSceneView())
                view->Commands().RemoveClipPlanes();
        },
        [this] {
            const S* view = frame.ActiveSceneView();
            return CommandState{view && view->Interactor().ClipPlanesActive(), false};
        });
}

void CViewCommands::DefineDisplayCommands() {
    using S = CSceneRender;
    OnView(
        command::Sheet, QStringLiteral("&Sheet on/off"), QStringLiteral("Show or hide the sheet"),
        [](S& v) { v.Commands().ToggleSheet(); },
        [](const S& v) { return v.Scene().Settings().sheetShown != 0; });
    const struct {
        int id;
        SheetDisplayMode mode;
        const char* text;
    } modes[] = {{command::SheetElementsAndEdges, SheetDisplayMode::ElementsAndEdges,
                  "Show sheet elements and &edges"},
                 {command::SheetElements, SheetDisplayMode::Elements, "Show sheet elements &without edges"},
                 {command::SheetEdges, SheetDisplayMode::Edges, "Show sheet edges &only"}};
    for (const auto& mode : modes)
        OnView(
            mode.id, QString::fromLatin1(mode.text), QString::fromLatin1(mode.text).remove(QLatin1Char('&')),
            [m = mode.mode](S& v) { v.Commands().SetSheetDisplayMode(m); },
            [m = mode.mode](const S& v) { return v.Scene().Settings().sheetDisplayMode == m; });
    OnView(
        command::Dots, QStringLiteral("&Dots"), QStringLiteral("Show or hide the node dots"),
        [](S& v) { v.Commands().ToggleDots(); },
        [](const S& v) { return v.Scene().Settings().nodeDotsShown != 0; });
    for (int slot = 0; slot < 2; ++slot) {
        OnView(
            slot == 0 ? command::Tool1 : command::Tool2, QStringLiteral("Tool &%1 on/off").arg(slot + 1),
            QStringLiteral("Show or hide tool %1").arg(slot + 1),
            [slot](S& v) { v.Commands().ToggleTool(slot); },
            [slot](const S& v) { return v.Scene().Settings().tools[static_cast<size_t>(slot)].shown != 0; });
        OnView(
            slot == 0 ? command::Tool1Shading : command::Tool2Shading,
            QStringLiteral("Tool %1 s&hading mode").arg(slot + 1),
            QStringLiteral("Shaded, wire frame, or shaded with wire frame for tool %1").arg(slot + 1),
            [slot](S& v) { v.Commands().StepToolMode(slot); },
            [slot](const S& v) { return v.Scene().Settings().tools[static_cast<size_t>(slot)].mode != 0; });
    }
    OnView(
        command::Measurement, QStringLiteral("Distance/point &measurement"),
        QStringLiteral("Distance/point measurement on/off"), [](S& v) { v.Commands().ToggleMeasurement(); },
        [](const S& v) { return v.Scene().Settings().distanceMeasurement != 0; });
}

void CViewCommands::DefineWindowCommands() {
    CCommandTable& commands = frame.Commands();
    commands.Define(
        command::NavigationBar, QStringLiteral("&Navigation bar"),
        QStringLiteral("Show/hide the navigation bar"),
        [this] {
            if (CChildFrame* child = frame.ActiveChild())
                child->SetNavigationBarShown(!child->NavigationBarShown());
        },
        [this] {
            const CChildFrame* child = frame.ActiveChild();
            return CommandState{child != nullptr, child && child->NavigationBarShown()};
        },
        true);
    commands.Define(
        command::NewWindow, QStringLiteral("&New window"),
        QStringLiteral("Open another window for the active document"), [this] { frame.NewWindow(); },
        [this] {
            return CommandState{frame.ActiveChild() != nullptr, false};
        });
    commands.Define(
        command::StandardToolbar, QStringLiteral("S&tandard toolbar"),
        QStringLiteral("Show or hide the toolbar"),
        [this] { frame.StandardToolBar()->setVisible(frame.StandardToolBar()->isHidden()); },
        [this] {
            return CommandState{true, frame.StandardToolBar() && !frame.StandardToolBar()->isHidden()};
        },
        true);
    commands.Define(
        command::ScaleBar, QStringLiteral("Sca&le toolbar"), QStringLiteral("Show/hide the scale bar"),
        [this] { frame.ScaleDock()->setVisible(frame.ScaleDock()->isHidden()); },
        [this] {
            return CommandState{true, frame.ScaleDock() && !frame.ScaleDock()->isHidden()};
        },
        true);
    commands.Define(
        command::StatusBar, QStringLiteral("&Status bar"), QStringLiteral("Show or hide the status bar"),
        [this] { frame.statusBar()->setVisible(frame.statusBar()->isHidden()); },
        [this] {
            return CommandState{true, !frame.statusBar()->isHidden()};
        },
        true);

    commands.Define(
        command::CutWindow, QStringLiteral("&Cut window"),
        QStringLiteral("Show or hide cut window to perform a cut on sheet and display various profiles"),
        [this] { frame.ToggleCutWindow(); },
        [this] {
            const CProjectProfile* document = frame.ActiveDocument();
            return CommandState{document != nullptr, document && frame.CutWindowOf(document)};
        },
        true);
    commands.Define(
        command::PrintCut, QStringLiteral("Print &cut"), QStringLiteral("Print cut"),
        [this] {
            auto* cut = qobject_cast<CExtendedChildFrame*>(frame.ActiveDocumentFrame());
            if (cut && cut->CutWindow()->AskPrinter(ThePrinter()))
                PrintIntoFile(ThePrinter(), [cut] {
                    cut->CutWindow()->Print(ThePrinter());
                    return true;
                });
        },
        [this] {
            const auto* cut = qobject_cast<CExtendedChildFrame*>(frame.ActiveDocumentFrame());
            return CommandState{cut && cut->CutWindow()->CanPrint(), false};
        });
}

void CViewCommands::OnView(int id, const QString& text, const QString& prompt,
                           std::function<void(CSceneRender&)> run,
                           std::function<bool(const CSceneRender&)> checked) {
    const bool checkable = static_cast<bool>(checked);
    frame.Commands().Define(
        id, text, prompt,
        [this, run] {
            if (CSceneRender* view = frame.ActiveSceneView())
                run(*view);
        },
        [this, checked] {
            const CSceneRender* view = frame.ActiveSceneView();
            return CommandState{view != nullptr, view && checked && checked(*view)};
        },
        checkable);
}

} // namespace quillmere
