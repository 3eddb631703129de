// The application: starts the program in its order (configuration, main
// window, splash, placement), opens the files it is given, and hands files
// of a second start to the running program.
#pragma once

#include "app/CMainFrame.h"

#include <QObject>
#include <QStringList>

#include <memory>

class QLocalServer;
class QProcessEnvironment;

namespace quillmere {

class CConfiguration;

// The file dialog of the desktop.
class CDesktopFileChooser : public IFileChooser {
public:
    QString ProjectToOpen(QWidget* parent) override;
    QString MeasurementsToImport(QWidget* parent) override;
    QString TableToSave(QWidget* parent, const QString& suggested) override;
    QString ModelToSave(QWidget* parent, const QString& suggested) override;
};

class CViewerApplication : public QObject {
    Q_OBJECT

public:
    // serverName: the local socket a running program listens on; empty for
    // none (tests).
    explicit CViewerApplication(QString serverName = DefaultServerName());
    ~CViewerApplication() override;

    // The local socket of the program running for this user on this
    // display and desktop session: in the user's runtime folder, or in a
    // folder of the user's own under the temporary folder when there is none.
    static QString ServerNameFor(unsigned userId, const QProcessEnvironment& environment);
    // The same in a folder that is checked to be the user's alone (made
    // when missing): the runtime folder, else quillmere-UID under the
    // temporary folder, else, when somebody else holds that one, quillmere
    // under the user's cache folder, with a notice saying so. Empty (and a
    // notice) when there is no such folder.
    static QString PrivateServerNameFor(unsigned userId, const QProcessEnvironment& environment,
                                        QString& notice);
    // For this process; the notice goes to stderr once.
    static QString DefaultServerName();
    // Hands files to a program already running; true when one took them and
    // said so within answerMilliseconds. A socket in a folder that others
    // can reach is not used.
    static bool HandToRunningProgram(const QString& serverName, const QStringList& files,
                                     int answerMilliseconds = 3000);

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

} // namespace quillmere
