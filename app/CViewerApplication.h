// The application: starts the program in its order (configuration, main
// window, splash, placement), opens the files it is given, and hands files
// of a second start to the running program.
#pragma once

#include "app/CMainFrame.h"

#include <QObject>
#include <QStringList>

#include <memory>

class CConfiguration;
class QLocalServer;

// The file dialog of the desktop.
class CDesktopFileChooser : public IFileChooser {
public:
    QString ProjectToOpen(QWidget* parent) override;
};

class CViewerApplication : public QObject {
    Q_OBJECT

public:
    // serverName: the local socket a running program listens on; empty for
    // none (tests).
    explicit CViewerApplication(QString serverName = DefaultServerName());
    ~CViewerApplication() override;

    static QString DefaultServerName();
    // Hands files to a program already running; true when one took them.
    static bool HandToRunningProgram(const QString& serverName, const QStringList& files);

    // Starts up and shows the main window, then opens the files.
    bool Start(const QStringList& files, bool splash = true);
    CMainFrame* MainFrame() const { return mainFrame.get(); }
    CConfiguration& Configuration() { return *configuration; }

private:
    void Listen();
    void ShowSplash();

    QString serverName;
    CDesktopFileChooser chooser;
    std::unique_ptr<CConfiguration> configuration;
    std::unique_ptr<CMainFrame> mainFrame;
    QLocalServer* server = nullptr;
};
