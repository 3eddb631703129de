#include "app/CMainFrame.h"

#include "app/AppTexts.h"
#include "app/CChildFrame.h"
#include "app/CClientArea.h"
#include "app/CExportCommands.h"
#include "app/CExtendedChildFrame.h"
#include "app/CFileCommands.h"
#include "app/CMeasurementCommands.h"
#include "app/CNavigationBar.h"
#include "app/COptionsCommands.h"
#include "app/CRecordCommands.h"
#include "app/CScaleCommands.h"
#include "app/CViewCommands.h"
#include "app/CommandIds.h"
#include "app/ToolbarImages.h"
#include "config/CConfiguration.h"
#include "core/FilePaths.h"
#include "model/CProjectProfile.h"
#include "scale/Comparison.h"
#include "session/CSession.h"
#include "ui/cut/CCutDialog.h"
#include "ui/inspect/ViewInspection.h"
#include "ui/scale/CScalePanel.h"
#include "ui/scene/CSceneRender.h"

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QToolBar>

namespace quillmere {

namespace {

// The status bar with its progress and the keyboard indicators.
std::unique_ptr<CStatusProgress> BuildStatusBar(QStatusBar* bar) {
    auto progress = std::make_unique<CStatusProgress>(bar);
    for (const char* indicator : {"CAP", "NUM", "SCRL"}) {
        auto* label = new QLabel(QString::fromLatin1(indicator), bar);
        label->setEnabled(false);
        bar->addPermanentWidget(label);
    }
    return progress;
}

// The standard toolbar of window, with labels only where the screen is wide
// enough for them.
QToolBar* BuildToolBar(QMainWindow& window, CCommandTable& commands, int screenWidth) {
    QToolBar* toolBar = window.addToolBar(QString::fromUtf8(appTexts::StandardToolbar));
    toolBar->setObjectName(QStringLiteral("standard"));
    toolBar->setIconSize(QSize(18, 18));
    toolBar->setToolButtonStyle(screenWidth >= 1280 ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
    QObject::connect(toolBar, &QToolBar::visibilityChanged, &commands, &CCommandTable::UpdateStates);
    struct Position {
        int id;
        const char* label;
    };
    const Position positions[] = {{command::Open, "Open"},
                                  {command::Print, "Print"},
                                  {command::GraphicsOptions, "Opts"},
                                  {0, nullptr},
                                  {command::Sheet, "Sheet"},
                                  {command::Tool1, "Tool1"},
                                  {command::Tool2, "Tool2"},
                                  {0, nullptr},
                                  {command::SheetElementsAndEdges, "All"},
                                  {command::SheetElements, "Elems"},
                                  {command::SheetEdges, "Edges"},
                                  {0, nullptr},
                                  {command::Tool1Shading, "T1 Sh"},
                                  {command::Tool2Shading, "T2 Sh"},
                                  {0, nullptr},
                                  {command::Dots, "Dots"},
                                  {command::Measurement, "Dist"},
                                  {0, nullptr},
                                  {command::ExportProject, "Data"},
                                  {command::ExportVideo, "Video"},
                                  {command::ReportFile, "Rep"},
                                  {0, nullptr},
                                  {command::CutWindow, "Cut"}};
    for (const Position& position : positions) {
        if (!position.label) {
            toolBar->addSeparator();
            continue;
        }
        QAction* action = commands.Action(position.id);
        if (!action)
            continue;
        action->setIcon(ToolbarImage(position.id));
        action->setIconText(QString::fromLatin1(position.label));
        toolBar->addAction(action);
    }
    return toolBar;
}

} // namespace

CMainFrame::CMainFrame(CConfiguration& config, IFileChooser& files, int screenWidth)
    : configuration(config), chooser(files), area(new CClientArea(this)) {
    setWindowTitle(QString::fromUtf8(appTexts::Title));
    setCentralWidget(area);
    setAcceptDrops(true);
    connect(area, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);

    fileCommands = std::make_unique<CFileCommands>(*this);
    viewCommands = std::make_unique<CViewCommands>(*this);
    recordCommands = std::make_unique<CRecordCommands>(*this, [this](const CProjectProfile& project) {
        return scaleCommands->PrepareQuantity(project, nullptr, ResultQuantity::FirstContact);
    });
    optionsCommands = std::make_unique<COptionsCommands>(*this);
    exportCommands = std::make_unique<CExportCommands>(*this);
    measurementCommands = std::make_unique<CMeasurementCommands>(*this);
    progress = BuildStatusBar(statusBar());
    BuildScalePanel(screenWidth);
    scaleCommands = std::make_unique<CScaleCommands>(*this);
    toolBar = BuildToolBar(*this, commands, screenWidth);
    // Keys for what is used most; every command is also in a menu.
    const std::pair<int, QKeySequence> keys[] = {
        {command::NextRecord, QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
        {command::PreviousRecord, QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
        {command::GoToStart, QKeySequence(Qt::CTRL | Qt::Key_Home)},
        {command::GoToEnd, QKeySequence(Qt::CTRL | Qt::Key_End)},
        {command::Animation, QKeySequence(Qt::Key_F5)},
        {command::ZoomIn, QKeySequence::ZoomIn},
        {command::ZoomOut, QKeySequence::ZoomOut},
        {command::Fit, QKeySequence(Qt::CTRL | Qt::Key_0)},
        {command::Close, QKeySequence::Close}};
    for (const auto& [id, key] : keys)
        if (QAction* action = commands.Action(id))
            action->setShortcut(key);
    BuildMenus(MenuKind::Empty);
    commands.UpdateStates();
    resize(1024, 768);
}

CMainFrame::~CMainFrame() {
    // The windows go first, while the documents they show and the commands
    // they update still exist.
    disconnect(area, nullptr, this, nullptr);
    QMdiArea* windows = area;
    area = nullptr;
    delete windows;
    for (auto& session : sessions)
        session->Project().PrepareClose();
    sessions.clear();
}

void CMainFrame::BuildScalePanel(int screenWidth) {
    scaleDock = new QDockWidget(QString::fromUtf8(appTexts::ScalePanel), this);
    scaleDock->setObjectName(QStringLiteral("scale"));
    scaleDock->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    scalePanel = new CScalePanel(screenWidth >= 1280, scaleDock);
    scaleDock->setWidget(scalePanel);
    addDockWidget(Qt::LeftDockWidgetArea, scaleDock);
    connect(scaleDock, &QDockWidget::visibilityChanged, &commands, &CCommandTable::UpdateStates);
    scalePanel->ClearView();
}

void CMainFrame::BuildMenus(MenuKind kind) {
    menuKind = kind;
    QMenuBar* bar = menuBar();
    bar->clear();
    auto add = [this](QMenu* menu, std::initializer_list<int> ids) {
        for (int id : ids) {
            if (id == 0)
                menu->addSeparator();
            else if (QAction* action = commands.Action(id))
                menu->addAction(action);
        }
    };
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    if (kind == MenuKind::Empty)
        add(file, {command::Open, 0, command::PrintSetup, 0});
    else if (kind == MenuKind::Project)
        add(file, {command::Open, command::Close, 0, command::DocumentInfo, command::ImportMeasurements, 0,
                   command::SaveBitmap, command::ExportVideo, command::ExportModel, command::ShareWebPage,
                   command::ExportProject, command::ReportFile, 0, command::Print, command::PrintSetup, 0});
    else
        add(file, {command::Open, command::Close, 0, command::PrintCut, 0});
    for (int k = 0; k < CRecentFiles::Count; ++k)
        add(file, {command::RecentFirst + k});
    add(file, {0, command::Exit});

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    add(view, {command::StandardToolbar, command::ScaleBar, command::StatusBar});
    if (kind == MenuKind::Project) {
        add(view, {command::NavigationBar, 0, command::GeneralView, command::XYView, command::YZView,
                   command::XZView, 0, command::ZoomIn, command::ZoomOut, command::Fit, command::ZoomBox,
                   command::ExclusiveZoomBox, command::RemoveClipPlanes});
        QMenu* display = bar->addMenu(QStringLiteral("&Display"));
        add(display,
            {command::Sheet, command::SheetElementsAndEdges, command::SheetElements, command::SheetEdges,
             command::Dots, 0, command::Tool1, command::Tool1Shading, command::Tool2, command::Tool2Shading,
             0, command::CompareWith, command::StopComparing, command::MinimumWall, 0, command::Measurement,
             command::DisplayOptions, command::GraphicsOptions});
        QMenu* records = bar->addMenu(QStringLiteral("&Record"));
        add(records, {command::GoToStart, command::PreviousRecord, command::NextRecord, command::GoToEnd, 0,
                      command::Animation, command::AutoLoad, 0, command::SheetProperties,
                      command::ProjectInfo, command::RecordInfo, command::FormingSummary});
    }
    if (kind != MenuKind::Empty) {
        QMenu* window = bar->addMenu(QStringLiteral("&Window"));
        add(window, {command::NewWindow, command::CutWindow, 0, command::CloseAll});
        window->addAction(QStringLiteral("&Cascade"), area, &CClientArea::Cascade);
        window->addAction(QStringLiteral("&Tile"), area, &CClientArea::Tile);
        QAction* list = window->addSeparator();
        connect(window, &QMenu::aboutToShow, this,
                [this, window, list] { area->ListWindows(*window, list); });
    }
    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    add(help, {command::Configuration, command::About});
    // A menu shows the states of the moment it opens.
    for (QAction* entry : bar->actions())
        if (QMenu* menu = entry->menu())
            connect(menu, &QMenu::aboutToShow, &commands, &CCommandTable::UpdateStates);
    recent.UpdateMenu();
}

bool CMainFrame::OpenProject(const QString& path) {
    auto session = std::make_unique<CSession>();
    session->Project().SetHost(this);
    if (!session->Open(QFileInfo(path).absoluteFilePath().toStdString(), progress.get()))
        return false;
    recent.Add(QFileInfo(path).absoluteFilePath());
    CSession* opened = session.get();
    sessions.push_back(std::move(session));
    UpdateDisplayNames();
    CChildFrame* child = AddWindow(opened, false);
    // A view is drawn at every resize and again when its window is painted:
    // it is drawn once, after the window has taken its place.
    child->setUpdatesEnabled(false);
    child->showMaximized();
    area->setActiveSubWindow(child);
    child->setUpdatesEnabled(true);
    return true;
}

CChildFrame* CMainFrame::AddWindow(CSession* session, bool show) {
    auto* child = new CChildFrame(session, configuration);
    AttachInspection(*child->View(), configuration);
    // A new view of a project marks the minimum wall last set for it.
    const RememberedWall wall =
        RememberedMinimumWall(QString::fromStdString(session->Project().ProjectPathName()));
    if (wall.shown)
        child->View()->Scene().SetMinimumWall(wall.wall);
    // Placed before it is shown: a window left at its own small size would
    // leave no room for its view, and a maximised one comes back to this.
    const QRect place = area->NewWindowPlace();
    area->addSubWindow(child);
    child->setGeometry(place);
    connect(child, &CChildFrame::Closing, this, &CMainFrame::ChildClosing);
    connect(child, &CChildFrame::NavigationCommand, this, [this](int id) { commands.Run(id); });
    NumberWindows(child->Document());
    if (show)
        child->show();
    return child;
}

CChildFrame* CMainFrame::NewWindow() {
    CDocumentFrame* active = ActiveDocumentFrame();
    if (!active || !active->Session())
        return nullptr;
    CChildFrame* child = AddWindow(active->Session());
    area->setActiveSubWindow(child);
    return child;
}

void CMainFrame::NumberWindows(const CProjectProfile* document) {
    const std::vector<CChildFrame*> children = ChildrenOf(document);
    int number = 1;
    for (CChildFrame* child : children)
        child->UpdateCaption(children.size() > 1 ? number++ : 0);
}

void CMainFrame::UpdateDisplayNames() {
    const std::vector<CProjectProfile*> documents = Documents();
    std::vector<std::string> paths;
    for (const CProjectProfile* document : documents)
        paths.push_back(document->ProjectPathName());
    const std::vector<std::string> names = DisplayNames(paths);
    bool changed = false;
    for (size_t k = 0; k < documents.size(); ++k)
        if (documents[k]->DisplayName() != names[k]) {
            documents[k]->SetDisplayName(names[k]);
            changed = true;
        }
    if (!changed)
        return;
    for (CProjectProfile* document : documents) {
        NumberWindows(document);
        if (CExtendedChildFrame* cut = CutWindowOf(document))
            cut->setWindowTitle(CCutDialog::CaptionFor(document));
    }
    scaleCommands->NamesChanged();
}

void CMainFrame::ChildClosing(CChildFrame* frame) {
    CProjectProfile* document = frame->Document();
    if (frame->View() == lastActiveView)
        lastActiveView = nullptr;
    std::vector<CChildFrame*> others = ChildrenOf(document);
    others.erase(std::remove(others.begin(), others.end(), frame), others.end());
    if (!others.empty()) {
        QMetaObject::invokeMethod(
            this, [this, document] { NumberWindows(document); }, Qt::QueuedConnection);
        return;
    }
    // The last window of a document closes it: a running animation stops
    // first, its cut window closes, then the document goes once the window
    // is gone.
    document->PrepareClose();
    emit DocumentClosing(document);
    if (CExtendedChildFrame* cut = CutWindowOf(document)) {
        // Its project's windows are going: none of them takes over.
        disconnect(cut, &CExtendedChildFrame::Closing, this, nullptr);
        cut->CutWindow()->DocumentClosing();
        cut->close();
    }
    connect(frame, &QObject::destroyed, this, [this, session = frame->Session()] {
        sessions.erase(std::remove_if(sessions.begin(), sessions.end(),
                                      [session](const auto& owned) { return owned.get() == session; }),
                       sessions.end());
        UpdateDisplayNames();
        commands.UpdateStates();
    });
}

bool CMainFrame::CloseAllWindows() {
    area->closeAllSubWindows();
    return area->subWindowList().isEmpty();
}

bool CMainFrame::CompareActiveView(const CProjectProfile& reference) {
    CSceneRender* view = ActiveSceneView();
    return view && scaleCommands->Compare(*view, reference, CComparison::Follow);
}

CChildFrame* CMainFrame::ActiveChild() const {
    // The current window stays current while a dialog or message box has the
    // focus.
    return area ? qobject_cast<CChildFrame*>(area->currentSubWindow()) : nullptr;
}

CSceneRender* CMainFrame::ActiveSceneView() const {
    CChildFrame* child = ActiveChild();
    return child ? child->View() : nullptr;
}

CDocumentFrame* CMainFrame::ActiveDocumentFrame() const {
    return area ? qobject_cast<CDocumentFrame*>(area->currentSubWindow()) : nullptr;
}

CProjectProfile* CMainFrame::ActiveDocument() const {
    CDocumentFrame* frame = ActiveDocumentFrame();
    return frame ? frame->Document() : nullptr;
}

CExtendedChildFrame* CMainFrame::CutWindowOf(const CProjectProfile* document) const {
    const auto found = cutWindows.find(document);
    return found == cutWindows.end() ? nullptr : found->second.data();
}

void CMainFrame::ToggleCutWindow() {
    CDocumentFrame* active = ActiveDocumentFrame();
    CProjectProfile* document = active ? active->Document() : nullptr;
    if (!document)
        return;
    if (CExtendedChildFrame* open = CutWindowOf(document)) {
        open->close();
        return;
    }
    const bool maximised = area->currentSubWindow() && area->currentSubWindow()->isMaximized();
    const QPointer<CChildFrame> origin = ActiveChild();
    auto* frame = new CExtendedChildFrame(active->Session(), configuration);
    area->addSubWindow(frame);
    cutWindows[document] = frame;
    // The cut of a comparing view is the cut of the difference.
    if (lastActiveView && lastActiveView->Scene().Project() == document)
        frame->CutWindow()->SetComparison(lastActiveView->Comparison());
    frame->CutWindow()->SetProfilePreparation(
        [this, document](ResultQuantity quantity, const CComparison* comparison) {
            return scaleCommands->PrepareQuantity(*document, comparison, quantity);
        });
    connect(frame->CutWindow(), &CCutDialog::GraphChanged, &commands, &CCommandTable::UpdateStates);
    // The read-out's mark shows in every 3D window of the document.
    connect(frame->CutWindow(), &CCutDialog::MarkMoved, this, [this, document] {
        for (CChildFrame* child : Children())
            if (child->Document() == document)
                child->View()->ShowCutMark();
    });
    // Closed while active, it hands over to the window it was opened from,
    // not to the one the area would pick.
    connect(frame, &CExtendedChildFrame::Closing, this, [this, frame, origin] {
        if (origin && origin->isVisible() && area->currentSubWindow() == frame)
            area->setActiveSubWindow(origin);
    });
    connect(frame, &QObject::destroyed, this, [this, document] {
        cutWindows.erase(document);
        commands.UpdateStates();
    });
    if (!maximised)
        frame->move(30, 50);
    frame->show();
    area->setActiveSubWindow(frame);
}

std::vector<CProjectProfile*> CMainFrame::Documents() const {
    std::vector<CProjectProfile*> result;
    for (const auto& session : sessions)
        result.push_back(&session->Project());
    return result;
}

std::vector<CChildFrame*> CMainFrame::Children() const {
    std::vector<CChildFrame*> result;
    if (!area)
        return result;
    for (QMdiSubWindow* window : area->subWindowList())
        if (auto* child = qobject_cast<CChildFrame*>(window))
            result.push_back(child);
    return result;
}

std::vector<CChildFrame*> CMainFrame::ChildrenOf(const CProjectProfile* document) const {
    std::vector<CChildFrame*> result;
    for (CChildFrame* child : Children())
        if (child->Document() == document)
            result.push_back(child);
    return result;
}

void CMainFrame::OnSubWindowActivated(QMdiSubWindow* window) {
    // A dialog taking the focus deactivates the area without another window
    // becoming active: nothing changes then.
    if (!window && !area->subWindowList().isEmpty())
        return;
    auto* child = qobject_cast<CChildFrame*>(window);
    const MenuKind kind = child                                        ? MenuKind::Project
                          : qobject_cast<CExtendedChildFrame*>(window) ? MenuKind::Cut
                                                                       : MenuKind::Empty;
    if (kind != menuKind)
        BuildMenus(kind);
    CSceneRender* view = child ? child->View() : nullptr;
    if (child)
        child->Activated();
    if (view != lastActiveView) {
        lastActiveView = view;
        emit ActiveViewChanged(view);
    }
    commands.UpdateStates();
}

CView* CMainFrame::ActiveView() {
    return ActiveSceneView();
}

void CMainFrame::RecordLoaded(int) {
    // Each window's box shows the record of its document.
    for (CChildFrame* child : Children())
        child->ShowViewRecord();
    // Every caption shows the record of its document.
    for (CProjectProfile* document : Documents())
        NumberWindows(document);
    // Measured points follow the record, compared by a job.
    measurementCommands->RecordLoaded();
    commands.UpdateStates();
}

void CMainFrame::NotifyUnitsChanged() {
    // The views' presentations, the active one's on the scale panel.
    for (CChildFrame* child : Children())
        child->View()->UpdatePresentation();
    for (const auto& [document, cut] : cutWindows)
        if (cut)
            cut->CutWindow()->UnitsChanged();
    measurementCommands->UnitsChanged();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!CloseAllWindows()) {
        event->ignore();
        return;
    }
    SaveWindowPlacement(*this);
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            OpenProject(url.toLocalFile());
    event->acceptProposedAction();
}

} // namespace quillmere
