#include "app/CViewerApplication.h"

#include "app/AppTexts.h"
#include "app/SplashImages.h"
#include "config/CConfiguration.h"
#include "core/Messages.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QScreen>
#include <QSplashScreen>
#include <QTimer>

namespace {

// The splash window: gone after 3 seconds or at the first key or mouse
// button press, whichever comes first.
class CSplashWindow : public QSplashScreen {
public:
    CSplashWindow() : QSplashScreen(QPixmap::fromImage(SplashImage())) {
        setAttribute(Qt::WA_DeleteOnClose);
        qApp->installEventFilter(this);
        QTimer::singleShot(3000, this, &QWidget::close);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::NonClientAreaMouseButtonPress:
            close();
            break;
        default:
            break;
        }
        return QSplashScreen::eventFilter(watched, event);
    }
};

constexpr int FileListLimit = 1 << 20;

} // namespace

QString CDesktopFileChooser::ProjectToOpen(QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, QString::fromUtf8(appTexts::OpenTitle), QString(),
                                        QString::fromUtf8(appTexts::ProjectFilter));
}

CViewerApplication::CViewerApplication(QString name) : serverName(std::move(name)) {}

CViewerApplication::~CViewerApplication() {
    mainFrame.reset();
    configuration.reset();
}

QString CViewerApplication::DefaultServerName() {
    return QStringLiteral("quillmere-") + qEnvironmentVariable("USER", QStringLiteral("user"));
}

bool CViewerApplication::HandToRunningProgram(const QString& name, const QStringList& files) {
    if (name.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(500))
        return false;
    QStringList absolute;
    for (const QString& file : files)
        absolute << QFileInfo(file).absoluteFilePath();
    socket.write(absolute.join(QLatin1Char('\n')).toUtf8() + '\n');
    socket.flush();
    socket.waitForBytesWritten(2000);
    socket.disconnectFromServer();
    return true;
}

bool CViewerApplication::Start(const QStringList& files, bool splash) {
    // The configuration reads the per-user file, creating its folders.
    configuration = std::make_unique<CConfiguration>(
        CConfiguration::DefaultFilePath(QCoreApplication::applicationDirPath().toStdString()));
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->availableGeometry().width() : 1280;
    mainFrame = std::make_unique<CMainFrame>(*configuration, chooser, screenWidth);
    mainFrame->RestorePlacement();
    if (splash)
        ShowSplash();
    mainFrame->show();
    if (screen && screen->depth() <= 8)
        ShowMessage(appTexts::LowColourDepth, MessageIcon::None);
    Listen();
    for (const QString& file : files)
        mainFrame->OpenProject(file);
    return true;
}

void CViewerApplication::ShowSplash() {
    auto* window = new CSplashWindow;
    const QRect screen =
        QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry() : QRect();
    window->move(screen.center() - window->rect().center());
    window->show();
}

void CViewerApplication::Listen() {
    if (serverName.isEmpty())
        return;
    server = new QLocalServer(this);
    if (!server->listen(serverName)) {
        // A program that ended without closing its socket leaves the name.
        QLocalServer::removeServer(serverName);
        if (!server->listen(serverName))
            return;
    }
    connect(server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
                // Whole lines only: a path ends with its line feed. They are
                // opened once this handler has returned: opening a project
                // runs the event loop, in which the socket may go.
                QStringList paths;
                while (socket->canReadLine()) {
                    const QString file = QString::fromUtf8(socket->readLine(FileListLimit)).trimmed();
                    if (!file.isEmpty())
                        paths << file;
                }
                if (!paths.isEmpty())
                    QTimer::singleShot(0, this, [this, paths] {
                        for (const QString& path : paths)
                            if (mainFrame)
                                mainFrame->OpenProject(path);
                        if (mainFrame) {
                            mainFrame->raise();
                            mainFrame->activateWindow();
                        }
                    });
            });
        }
    });
}
