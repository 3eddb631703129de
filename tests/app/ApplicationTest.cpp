// The program around the main window: its prompts and version, its
// placement saved and restored, a second start handing its files to the
// first, the running program's name, and the message boxes.
#include "app/CChildFrame.h"
#include "app/CNavigationBar.h"
#include "app/CViewerApplication.h"
#include "app/CommandIds.h"
#include "app/QtInterface.h"
#include "app/WindowPlacement.h"
#include "export/CVideoWriter.h"
#include "tests/app/MainFrameTest.h"
#include "ui/export/CVideoExportDialog.h"
#include "ui/export/SaveToBitmap.h"
#include "ui/scene/CSceneRender.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLocalSocket>
#include <QMessageBox>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

#include <atomic>
#include <cstring>
#include <map>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace quillmere;

namespace {

// What the next message box showed; it is closed with its first button.
struct ShownBox {
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
};

ShownBox BoxShownBy(const std::function<void()>& show) {
    ShownBox shown;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll.stop();
        const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        shown = {box->windowTitle(), box->icon(), label->text(), label->textFormat()};
        QTest::mouseClick(box->buttons().first(), Qt::LeftButton);
    });
    poll.start(10);
    show();
    return shown;
}

// The socket file a program leaves when it ends without closing it.
bool LeaveStaleSocket(const QString& name) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(name);
    std::strncpy(address.sun_path, path.constData(), sizeof address.sun_path - 1);
    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = ::bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(descriptor);
    return bound;
}
} // namespace

void MainFrameTest::promptsAndVersionAreTheProgramsOwn() {
    const std::pair<int, const char*> prompts[] = {
        {command::ExportVideo, "Create video - animation of results"},
        {command::ExportProject, "Export active project files into selected directory for data exchange"},
        {command::ReportFile, "Open report file"},
        {command::PrintCut, "Print cut"}};
    for (const auto& [id, prompt] : prompts)
        QCOMPARE(Command(id)->statusTip(), QString::fromLatin1(prompt));
    // The status bar shows them under the mouse, the navigation bar's too.
    CChildFrame* child = Open(fixture->ProjectPath());
    QTest::mouseMove(frame->StandardToolBar()->widgetForAction(Command(command::ExportVideo)));
    QTRY_COMPARE(frame->statusBar()->currentMessage(), QStringLiteral("Create video - animation of results"));
    QTest::mouseMove(child->NavigationBar()->findChild<QWidget*>(QStringLiteral("command252")));
    QTRY_COMPARE(frame->statusBar()->currentMessage(), QStringLiteral("Load next project record"));
    QTest::mouseMove(child->NavigationBar()->findChild<QWidget*>(QStringLiteral("load")));
    QTRY_COMPARE(frame->statusBar()->currentMessage(),
                 QStringLiteral("Load new record/reload current record"));
    // The about box gives the version of the batch tool's --version.
    QString version;
    QTimer::singleShot(0, frame.get(), [&version] {
        QWidget* box = QApplication::activeModalWidget();
        if (const auto* label = box->findChild<QLabel*>(QStringLiteral("version")))
            version = label->text();
        QTest::mouseClick(box->findChild<QPushButton*>(), Qt::LeftButton);
    });
    QVERIFY(frame->Commands().Run(command::About));
    QCOMPARE(version, QStringLiteral("Version " QUILLMERE_VERSION));
}

void MainFrameTest::windowPlacementRoundTrip() {
    QSettings profile(QStringLiteral("Veltrane"), QStringLiteral("Quillmere"));
    frame->setGeometry(100, 120, 900, 700);
    frame->showMaximized();
    QTRY_VERIFY(frame->isMaximized());
    SaveWindowPlacement(*frame);
    WindowPlacement saved;
    QVERIFY(ParseWindowPlacement(profile.value(QStringLiteral("Settings/WindowPos")).toString().toStdString(),
                                 saved));
    QCOMPARE(saved.flags, kPlacementMaximised);
    QCOMPARE(saved.showCommand, kShowMaximised);
    QVERIFY(profile.contains(QStringLiteral("Settings/MyDockState")));
    // The next start shows the normal rectangle, not maximised.
    CMainFrame next(*configuration, files, 1280);
    RestoreWindowPlacement(next);
    next.show();
    QVERIFY(!next.isMaximized());
    QCOMPARE(next.geometry().width(), saved.right - saved.left);
    // Nine numbers are not a placement.
    profile.setValue(QStringLiteral("Settings/WindowPos"), QStringLiteral("0,1,-1,-1,-1,-1,10,20,500"));
    CMainFrame ignored(*configuration, files, 1280);
    ignored.resize(640, 480);
    RestoreWindowPlacement(ignored);
    QCOMPARE(ignored.size(), QSize(640, 480));
}

void MainFrameTest::secondStartHandsItsFileToTheFirst() {
    frame.reset();
    CTempFolder runtime;
    const QString server = QString::fromStdString(runtime.File("quillmere"));
    const QStringList project{QString::fromStdString(fixture->ProjectPath())};
    // The socket of a program that ended takes no files; the next program
    // takes its name.
    QVERIFY(LeaveStaleSocket(server));
    QVERIFY(!CViewerApplication::HandToRunningProgram(server, project));
    CViewerApplication first(server);
    QVERIFY(first.Start({}, false));
    QCOMPARE(first.MainFrame()->Documents().size(), size_t(0));
    // Only the user may connect.
    QCOMPARE(QFileInfo(server).permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                                QFile::ReadOther | QFile::WriteOther | QFile::ExeOther),
             QFile::Permissions());

    // The second start, in a thread of its own, waits for the first's
    // answer, which comes from the first's event loop.
    const auto secondStart = [&] {
        std::atomic<int> handed{-1};
        std::thread second(
            [&] { handed = CViewerApplication::HandToRunningProgram(server, project) ? 1 : 0; });
        const bool answered = QTest::qWaitFor([&] { return handed != -1; });
        second.join();
        return answered && handed == 1;
    };
    QVERIFY(secondStart());
    QTRY_COMPARE(first.MainFrame()->Documents().size(), size_t(1));
    // A socket in a folder that others can enter is not used.
    QCOMPARE(::chmod(runtime.Path().c_str(), 0755), 0);
    QVERIFY(!secondStart());
    QCOMPARE(::chmod(runtime.Path().c_str(), 0700), 0);
    // A first program that does not answer (its event loop does not run
    // here) leaves the files to the second start's own window.
    QVERIFY(!CViewerApplication::HandToRunningProgram(server, project, 200));
}

void MainFrameTest::runningProgramIsKeyedByUserDisplayAndSession() {
    QProcessEnvironment desk;
    desk.insert(QStringLiteral("DISPLAY"), QStringLiteral(":0"));
    desk.insert(QStringLiteral("XDG_SESSION_ID"), QStringLiteral("2"));
    desk.insert(QStringLiteral("XDG_RUNTIME_DIR"), QStringLiteral("/run/user/1000"));
    const QString name = CViewerApplication::ServerNameFor(1000, desk);
    QCOMPARE(QFileInfo(name).path(), QStringLiteral("/run/user/1000"));
    QVERIFY(CViewerApplication::ServerNameFor(1001, desk) != name);
    const std::pair<const char*, const char*> changes[] = {
        {"DISPLAY", ":1"}, {"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_SESSION_ID", "3"}};
    for (const auto& [variable, value] : changes) {
        QProcessEnvironment elsewhere = desk;
        elsewhere.insert(QString::fromLatin1(variable), QString::fromLatin1(value));
        QVERIFY2(CViewerApplication::ServerNameFor(1000, elsewhere) != name, variable);
    }
    QProcessEnvironment screen = desk;
    screen.insert(QStringLiteral("DISPLAY"), QStringLiteral(":0.0"));
    QCOMPARE(CViewerApplication::ServerNameFor(1000, screen), name);
    // With no runtime folder, a folder of the user's own.
    desk.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    QCOMPARE(QFileInfo(CViewerApplication::ServerNameFor(1000, desk)).path(),
             QDir::tempPath() + QStringLiteral("/quillmere-1000"));
}

// The folder under the temporary folder may be made first by somebody else
// (or opened to others): a folder of the user's own under the cache folder
// stands in, the same at every start, so that a second start still finds
// the first, and a notice says so.
void MainFrameTest::aSocketFolderTakenByAnotherGivesWayToAPrivateOne() {
    frame.reset();
    CTempFolder temporary, user;
    const QString taken = QString::fromStdString(temporary.File("quillmere-" + std::to_string(::getuid())));
    QVERIFY(QDir().mkdir(taken));
    QCOMPARE(::chmod(QFile::encodeName(taken).constData(), 0777), 0);
    const QString cache = QString::fromStdString(user.File(".cache/quillmere"));
    std::map<const char*, QByteArray> saved;
    for (const char* variable : {"TMPDIR", "HOME", "XDG_RUNTIME_DIR", "XDG_CACHE_HOME"})
        saved[variable] = qgetenv(variable);
    const auto restore = qScopeGuard([&] {
        for (const auto& [variable, value] : saved)
            if (value.isNull())
                qunsetenv(variable);
            else
                qputenv(variable, value);
    });
    qputenv("TMPDIR", QByteArray::fromStdString(temporary.Path()));
    qputenv("HOME", QByteArray::fromStdString(user.Path()));
    qunsetenv("XDG_RUNTIME_DIR");
    qunsetenv("XDG_CACHE_HOME");

    const QString server = CViewerApplication::DefaultServerName();
    QCOMPARE(QFileInfo(server).path(), cache);
    QCOMPARE(QFileInfo(cache).permissions() & ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
             QFile::Permissions());
    QString notice;
    QCOMPARE(CViewerApplication::PrivateServerNameFor(::getuid(), QProcessEnvironment::systemEnvironment(),
                                                      notice),
             server);
    QVERIFY2(notice.contains(taken) && notice.contains(cache), qPrintable(notice));

    // The first start listens there and the second hands its file over.
    CViewerApplication first(server);
    QVERIFY(first.Start({}, false));
    const QStringList project{QString::fromStdString(fixture->ProjectPath())};
    std::atomic<int> handed{-1};
    std::thread second([&] { handed = CViewerApplication::HandToRunningProgram(server, project) ? 1 : 0; });
    QVERIFY(QTest::qWaitFor([&] { return handed != -1; }));
    second.join();
    QCOMPARE(handed.load(), 1);
    QTRY_COMPARE(first.MainFrame()->Documents().size(), size_t(1));

    // A list that never ends its line is not waited for.
    QLocalSocket endless;
    endless.connectToServer(server);
    QVERIFY(endless.waitForConnected(3000));
    endless.write(QByteArray((1 << 20) + 2, 'x'));
    QTRY_COMPARE(endless.state(), QLocalSocket::UnconnectedState);

    // Without a folder of the user's own, no socket at all, and a notice.
    qunsetenv("HOME");
    QVERIFY(
        CViewerApplication::PrivateServerNameFor(::getuid(), QProcessEnvironment::systemEnvironment(), notice)
            .isEmpty());
    QVERIFY2(notice.contains(taken), qPrintable(notice));
}

// A FIFO given at the start, or handed over, is not opened to wait for a
// writer: the program says it cannot read it and goes on.
void MainFrameTest::aFifoIsNotOpenedAtTheStart() {
    frame.reset();
    CTempFolder folder;
    const std::string fifo = folder.File("fifo.tfc");
    QCOMPARE(::mkfifo(fifo.c_str(), 0600), 0);
    CViewerApplication viewer{QString()};
    QVERIFY(viewer.Start({QString::fromStdString(fifo)}, false));
    QCOMPARE(viewer.MainFrame()->Documents().size(), size_t(0));
    QCOMPARE(QString::fromStdString(messages->Texts()),
             QString::fromStdString("Unable to read from the " + fifo + " file."));
}

// The toolkit's profile store is read whole when it is opened: a FIFO in its
// place would keep the program on its splash screen for good.
void MainFrameTest::aProfileStoreThatIsNoFileIsNotRead() {
    frame.reset();
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString store = base + QStringLiteral("/Veltrane/Quillmere.conf");
    const QString kept = store + QStringLiteral(".kept");
    QVERIFY(QDir().mkpath(base + QStringLiteral("/Veltrane")));
    QFile::remove(kept);
    QFile::rename(store, kept);
    const auto restore = qScopeGuard([&] {
        QFile::remove(store);
        QFile::rename(kept, store);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, base);
    });
    QCOMPARE(::mkfifo(QFile::encodeName(store).constData(), 0600), 0);
    CViewerApplication viewer{QString()};
    QVERIFY(viewer.Start({}, false));
    SaveWindowPlacement(*viewer.MainFrame());
    QVERIFY(QFileInfo(store).isFile() == false && QFileInfo::exists(store));
}

void MainFrameTest::messageBoxesShowTheTextAsTypedUnderTheirCaptionAndIcon() {
    CMessageBoxSink boxes;
    CScopedMessageSink scoped(&boxes);
    ShownBox shown = BoxShownBy([] { ShowMessage("<b>x</b>", MessageIcon::Error); });
    QCOMPARE(shown.caption, QStringLiteral("Quillmere"));
    QCOMPARE(shown.icon, QMessageBox::Critical);
    QCOMPARE(shown.text, QStringLiteral("<b>x</b>"));
    QCOMPARE(shown.format, Qt::PlainText);

    shown = BoxShownBy(ShowVideoError);
    QCOMPARE(shown.caption, QStringLiteral("Message"));
    QCOMPARE(shown.icon, QMessageBox::Critical);
    QCOMPARE(shown.text, QString::fromStdString(MessageText(MessageId::VideoError)));

    // A picture that cannot be written.
    CChildFrame* child = Open(fixture->ProjectPath());
    QVERIFY(child);
    SaveToBitmapPrompts prompts;
    prompts.fileName = [this](const QString&, const QStringList&, QString&) {
        return QString::fromStdString(home.File("missing/picture.png"));
    };
    prompts.options = [](CVideoExportDialog&) { return true; };
    shown = BoxShownBy([&] { QVERIFY(!SaveToBitmap(*child->View(), *configuration, frame.get(), prompts)); });
    QCOMPARE(shown.icon, QMessageBox::Critical);
    QCOMPARE(shown.format, Qt::PlainText);
}
