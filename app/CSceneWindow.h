// A plain main window that hosts one 3D view of a project, with the view's
// commands in its menus.
#pragma once

#include "app/QtInterface.h"
#include "model/CDocument.h"

#include <QMainWindow>
#include <memory>

class CProjectProfile;
class CSceneRender;
struct DisplaySettings;
class QLineEdit;

class CSceneWindow : public QMainWindow, public IDocumentHost {
    Q_OBJECT

public:
    CSceneWindow(CProjectProfile* project, const DisplaySettings& settings);
    ~CSceneWindow() override;

    CSceneRender* View() const { return view; }

    CView* ActiveView() override;
    void RecordLoaded(int record) override;
    IInterfaceThread& InterfaceThread() override { return interfaceThread; }
    IProgressSink* Progress() override { return progress.get(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void UpdateTitle();

    CProjectProfile* project;
    CSceneRender* view;
    QLineEdit* recordBox;
    CQtInterfaceThread interfaceThread;
    std::unique_ptr<CStatusProgress> progress;
};
