#include "app/CViewerApplication.h"

#include "app/AppTexts.h"
#include "app/SplashImages.h"
#include "config/CConfiguration.h"
#include "core/Messages.h"
#include "messages/MessageText.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QSplashScreen>
#include <QStandardPaths>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace quillmere {

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
// The running program's answer once it has the whole list, which ends with
// an empty line.
constexpr char HandOverAnswer[] = "ok\n";

// A folder of this user's alone, not reached through a link: a socket
// elsewhere could be anybody's.
bool IsPrivateFolder(const QByteArray& folder) {
    struct stat status {};
    return ::lstat(folder.constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::getuid() && (status.st_mode & 077) == 0;
}

// Made with mode 0700 when missing; true when it is the user's alone.
bool MakePrivateFolder(const QByteArray& folder) {
    if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    return IsPrivateFolder(folder);
}

// True when the socket's folder is this user's alone. The folder is made,
// mode 0700, when it is missing.
bool PrivateSocketFolder(const QString& serverName) {
    // A bare name is the toolkit's own place (tests).
    if (!QDir::isAbsolutePath(serverName))
        return true;
    return MakePrivateFolder(QFile::encodeName(QFileInfo(serverName).path()));
}

// The socket's name in a folder: the same for every start of this user on
// this display and desktop session.
QString SocketIn(const QString& folder, unsigned userId, const QProcessEnvironment& environment) {
    // ":0" and ":0.0" are one display; the screen does not matter.
    QString display = environment.value(QStringLiteral("DISPLAY"));
    display.replace(QRegularExpression(QStringLiteral("(:\\d+)\\.\\d+$")), QStringLiteral("\\1"));
    const QString place = display + QLatin1Char('\n') + environment.value(QStringLiteral("WAYLAND_DISPLAY")) +
                          QLatin1Char('\n') + environment.value(QStringLiteral("XDG_SESSION_ID"));
    const QString key = QString::fromLatin1(
        QCryptographicHash::hash(place.toUtf8(), QCryptographicHash::Sha256).toHex().left(16));
    return folder + QStringLiteral("/quillmere-%1-%2").arg(userId).arg(key);
}

QString TemporaryFolder(const QProcessEnvironment& environment) {
    const QString temporary = environment.value(QStringLiteral("TMPDIR"));
    return QDir::isAbsolutePath(temporary) ? QDir::cleanPath(temporary) : QDir::tempPath();
}

// The toolkit's profile store (window placement, recent files) is read whole
// whenever it is opened: one that is no regular file, a FIFO that would block
// the start or a device without end, is left alone, and the store lasts for
// this run only. The store's folder is then set to that very file, under
// which nothing can be read or written.
void AvoidUnreadableProfileStore() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        return;
    for (const QString& name :
         {base + QStringLiteral("/Veltrane/Quillmere.conf"), base + QStringLiteral("/Veltrane.conf")}) {
        const QByteArray path = QFile::encodeName(name);
        struct stat status {};
        if (::stat(path.constData(), &status) == 0 && !S_ISREG(status.st_mode)) {
            QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, name);
            std::fprintf(stderr,
                         "quillmere: %s is no regular file; the window placement and the recent files are "
                         "not kept.\n",
                         path.constData());
            return;
        }
    }
}

} // namespace

QString CDesktopFileChooser::ProjectToOpen(QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, QString::fromUtf8(appTexts::OpenTitle), QString(),
                                        QString::fromUtf8(appTexts::ProjectFilter));
}

QString CDesktopFileChooser::MeasurementsToImport(QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, QString::fromUtf8(appTexts::ImportMeasurementsTitle),
                                        QString(), QString::fromUtf8(appTexts::MeasurementFilter));
}

QString CDesktopFileChooser::TableToSave(QWidget* parent, const QString& suggested) {
    return QFileDialog::getSaveFileName(parent, QString::fromUtf8(appTexts::SaveTableTitle), suggested,
                                        QString::fromUtf8(appTexts::TableFilter));
}

QString CDesktopFileChooser::ModelToSave(QWidget* parent, const QString& suggested) {
    return QFileDialog::getSaveFileName(parent, QString::fromUtf8(appTexts::ExportModelTitle), suggested,
                                        QString::fromUtf8(appTexts::ModelFilter));
}

CViewerApplication::CViewerApplication(QString name) : serverName(std::move(name)) {}

CViewerApplication::~CViewerApplication() {
    mainFrame.reset();
    configuration.reset();
}

QString CViewerApplication::ServerNameFor(unsigned userId, const QProcessEnvironment& environment) {
    QString folder = environment.value(QStringLiteral("XDG_RUNTIME_DIR"));
    if (!QDir::isAbsolutePath(folder))
        folder = TemporaryFolder(environment) + QStringLiteral("/quillmere-%1").arg(userId);
    return SocketIn(folder, userId, environment);
}

QString CViewerApplication::PrivateServerNameFor(unsigned userId, const QProcessEnvironment& environment,
                                                 QString& notice) {
    notice.clear();
    const QString runtime = environment.value(QStringLiteral("XDG_RUNTIME_DIR"));
    if (QDir::isAbsolutePath(runtime) && IsPrivateFolder(QFile::encodeName(runtime)))
        return SocketIn(runtime, userId, environment);
    const QString temporary = TemporaryFolder(environment) + QStringLiteral("/quillmere-%1").arg(userId);
    if (MakePrivateFolder(QFile::encodeName(temporary)))
        return SocketIn(temporary, userId, environment);
    // Somebody else made the folder first, or opened it to others: the
    // user's own cache folder stands in, the same one at every start.
    QString cache = environment.value(QStringLiteral("XDG_CACHE_HOME"));
    if (!QDir::isAbsolutePath(cache)) {
        const QString home = environment.value(QStringLiteral("HOME"));
        cache = QDir::isAbsolutePath(home) ? home + QStringLiteral("/.cache") : QString();
    }
    const QString fallback =
        cache.isEmpty() ? QString() : QDir::cleanPath(cache) + QStringLiteral("/quillmere");
    if (!fallback.isEmpty() && QDir().mkpath(cache) && MakePrivateFolder(QFile::encodeName(fallback))) {
        notice =
            QStringLiteral("quillmere: %1 is no private folder of this user (another user made it first, "
                           "or others may enter it); a second start hands its files over through %2 "
                           "instead.")
                .arg(temporary, fallback);
        return SocketIn(fallback, userId, environment);
    }
    notice =
        QStringLiteral("quillmere: %1 is no private folder of this user (another user made it first, or "
                       "others may enter it), and no folder of the user's own stands in; every start opens a "
                       "window of its own.")
            .arg(temporary);
    return QString();
}

QString CViewerApplication::DefaultServerName() {
    QString notice;
    const QString name = PrivateServerNameFor(::getuid(), QProcessEnvironment::systemEnvironment(), notice);
    // Once per start, however often the name is asked for.
    static bool told = false;
    if (!notice.isEmpty() && !told) {
        told = true;
        std::fprintf(stderr, "%s\n", notice.toLocal8Bit().constData());
    }
    return name;
}

bool CViewerApplication::HandToRunningProgram(const QString& name, const QStringList& files,
                                              int answerMilliseconds) {
    if (name.isEmpty() || !PrivateSocketFolder(name))
        return false;
    const QDeadlineTimer deadline(answerMilliseconds);
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(static_cast<int>(deadline.remainingTime())))
        return false;
    QByteArray list;
    for (const QString& file : files)
        list += QFileInfo(file).absoluteFilePath().toUtf8() + '\n';
    socket.write(list + '\n');
    // A program that does not answer (stuck, or gone with its socket left)
    // leaves the files to a window of this start.
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            return false;
    const bool taken = socket.readLine() == HandOverAnswer;
    socket.disconnectFromServer();
    return taken;
}

bool CViewerApplication::Start(const QStringList& files, bool splash) {
    AvoidUnreadableProfileStore();
    // The configuration reads the per-user file, creating its folders.
    configuration = std::make_unique<CConfiguration>(
        CConfiguration::DefaultFilePath(QCoreApplication::applicationDirPath().toStdString()));
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->availableGeometry().width() : 1280;
    mainFrame = std::make_unique<CMainFrame>(*configuration, chooser, screenWidth);
    RestoreWindowPlacement(*mainFrame);
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
    if (serverName.isEmpty() || !PrivateSocketFolder(serverName))
        return;
    server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(serverName)) {
        // A program that ended without closing its socket leaves the name;
        // a running one keeps it.
        QLocalSocket running;
        running.connectToServer(serverName);
        if (running.waitForConnected(100))
            return;
        QLocalServer::removeServer(serverName);
        if (!server->listen(serverName))
            return;
    }
    connect(server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            auto paths = std::make_shared<QStringList>();
            connect(socket, &QLocalSocket::readyRead, socket, [this, socket, paths] {
                // Whole lines only: a path ends with its line feed, the list
                // with an empty line. The files are opened once this handler
                // has returned: opening a project runs the event loop, in
                // which the socket may go.
                // A list that never ends its line is not kept waiting for.
                if (!socket->canReadLine() && socket->bytesAvailable() > FileListLimit) {
                    socket->abort();
                    return;
                }
                while (socket->canReadLine()) {
                    const QString file = QString::fromUtf8(socket->readLine(FileListLimit)).trimmed();
                    if (!file.isEmpty()) {
                        *paths << file;
                        continue;
                    }
                    socket->write(HandOverAnswer);
                    socket->flush();
                    QTimer::singleShot(0, this, [this, files = *paths] {
                        for (const QString& path : files)
                            if (mainFrame)
                                mainFrame->OpenProject(path);
                        if (mainFrame) {
                            mainFrame->raise();
                            mainFrame->activateWindow();
                        }
                    });
                    paths->clear();
                }
            });
        }
    });
}

} // namespace quillmere
