// The main window: the window area of the project windows, the menus and the
// standard toolbar, the status bar with its progress, and the docked scale
// panel. It owns the sessions of the open projects (each document's), knows
// the active window, and hands each group of commands to a controller of its
// own.
#pragma once

#include "app/CClientArea.h"
#include "app/CCommandTable.h"
#include "app/QtInterface.h"
#include "app/ViewerProfile.h"
#include "model/CDocument.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <map>

#include <memory>
#include <vector>

class QDockWidget;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QToolBar;

namespace quillmere {

class CChildFrame;
class CConfiguration;
class CDocumentFrame;
class CExtendedChildFrame;
class CExportCommands;
class CFileCommands;
class CMeasurementCommands;
class COptionsCommands;
class CProjectProfile;
class CRecordCommands;
class CScaleCommands;
class CScalePanel;
class CSceneRender;
class CSession;
class CViewCommands;

// What the main window asks of the user beyond messages: file names.
class IFileChooser {
public:
    virtual ~IFileChooser() = default;
    // The project to open, or an empty text when the user cancels.
    virtual QString ProjectToOpen(QWidget* parent) = 0;
    // The measurement file to import; empty when the user cancels (as a
    // chooser that only opens projects always does).
    virtual QString MeasurementsToImport(QWidget*) { return QString(); }
    // Where the measurements table goes (suggested: a name beside the
    // measurement file); empty when the user cancels.
    virtual QString TableToSave(QWidget*, const QString&) { return QString(); }
    // Where the 3D model of a view goes (suggested: the project's name);
    // empty when the user cancels.
    virtual QString ModelToSave(QWidget*, const QString&) { return QString(); }
};

class CMainFrame : public QMainWindow, public IDocumentHost {
    Q_OBJECT

public:
    // screenWidth: the usable screen width, which chooses the toolbar labels
    // and the scale panel's layout.
    CMainFrame(CConfiguration& configuration, IFileChooser& files, int screenWidth);
    ~CMainFrame() override;

    // Opens a project in a new window; false, after the messages, when it
    // cannot be opened.
    bool OpenProject(const QString& path);
    // Another window on the document of the active window.
    CChildFrame* NewWindow();
    // Closes every window; false when one of them refuses.
    bool CloseAllWindows();

    CChildFrame* ActiveChild() const;
    // The active window of a document: a 3D view's window or a cut window.
    CDocumentFrame* ActiveDocumentFrame() const;
    // The cut window of a document, or null; the toggle opens or closes the
    // active document's.
    CExtendedChildFrame* CutWindowOf(const CProjectProfile* document) const;
    void ToggleCutWindow();
    CSceneRender* ActiveSceneView() const;
    CProjectProfile* ActiveDocument() const;
    std::vector<CProjectProfile*> Documents() const;
    std::vector<CChildFrame*> Children() const;
    std::vector<CChildFrame*> ChildrenOf(const CProjectProfile* document) const;

    // The active view shows its difference to reference, following its
    // record; false, after the message, when there is no view or the meshes
    // differ.
    bool CompareActiveView(const CProjectProfile& reference);

    CCommandTable& Commands() { return commands; }
    CConfiguration& Configuration() { return configuration; }
    IFileChooser& Files() { return chooser; }
    CScalePanel* ScalePanel() const { return scalePanel; }
    QDockWidget* ScaleDock() const { return scaleDock; }
    QToolBar* StandardToolBar() const { return toolBar; }
    CMeasurementCommands& Measurements() const { return *measurementCommands; }
    QMdiArea* ClientArea() const { return area; }
    QStringList RecentFiles() const { return recent.Files(); }

    // The system of units changed: every window redraws its unit texts.
    void NotifyUnitsChanged();

    // The document side.
    CView* ActiveView() override;
    void RecordLoaded(int record) override;
    IInterfaceThread& InterfaceThread() override { return interfaceThread; }
    IProgressSink* Progress() override { return progress.get(); }

signals:
    // The active project view changed (null: none).
    void ActiveViewChanged(CSceneRender* view);
    // The last window of a document is closing; the document goes next.
    void DocumentClosing(const CProjectProfile* document);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    enum class MenuKind { Empty, Project, Cut };
    void BuildScalePanel(int screenWidth);
    void BuildMenus(MenuKind kind);
    void OnSubWindowActivated(QMdiSubWindow* window);
    void ChildClosing(CChildFrame* frame);
    void NumberWindows(const CProjectProfile* document);
    // Projects of one name show the folders that tell them apart, wherever
    // their names appear.
    void UpdateDisplayNames();
    // A new window of the session's project, placed, and shown unless show
    // is false.
    CChildFrame* AddWindow(CSession* session, bool show = true);

    CConfiguration& configuration;
    IFileChooser& chooser;
    CCommandTable commands;
    CRecentFiles recent{commands};
    CClientArea* area;
    QToolBar* toolBar = nullptr;
    QDockWidget* scaleDock = nullptr;
    CScalePanel* scalePanel = nullptr;
    std::unique_ptr<CStatusProgress> progress;
    CQtInterfaceThread interfaceThread;
    std::vector<std::unique_ptr<CSession>> sessions;
    std::map<const CProjectProfile*, QPointer<CExtendedChildFrame>> cutWindows;
    MenuKind menuKind = MenuKind::Empty;
    CSceneRender* lastActiveView = nullptr;

    std::unique_ptr<CFileCommands> fileCommands;
    std::unique_ptr<CViewCommands> viewCommands;
    std::unique_ptr<CRecordCommands> recordCommands;
    std::unique_ptr<CScaleCommands> scaleCommands;
    std::unique_ptr<COptionsCommands> optionsCommands;
    std::unique_ptr<CExportCommands> exportCommands;
    std::unique_ptr<CMeasurementCommands> measurementCommands;
};

} // namespace quillmere
