// quillmere: the viewer of solved thermoforming projects.
//   quillmere [PROJECT.tfc ...] [--minus REFERENCE.tfc] [--snapshot PICTURE.png]
// Files are opened in the program already running, when there is one.
// --minus opens the reference first and has the last project's view show its
// difference to it. The snapshot saves the main window once the files are
// shown and ends.
#include "app/CViewerApplication.h"
#include "app/QtInterface.h"
#include "core/Messages.h"
#include "model/CProjectProfile.h"
#include "ui/scene/CSceneRender.h"

#include <QApplication>
#include <QFileInfo>
#include <QOpenGLWidget>
#include <QPainter>
#include <QTimer>
#include <clocale>

using namespace quillmere;

namespace {

// The main window as it shows on the screen: a widget grab leaves the 3D
// views' translucent parts see-through, so their own frames go on top.
QImage SnapshotOf(QWidget& window) {
    QImage image = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QPainter painter(&image);
    for (QOpenGLWidget* view : window.findChildren<QOpenGLWidget*>())
        if (view->isVisible())
            painter.drawImage(QRect(view->mapTo(&window, QPoint(0, 0)), view->size()),
                              view->grabFramebuffer().convertToFormat(QImage::Format_RGB32));
    return image;
}

} // namespace

int main(int argc, char** argv) try {
    CSceneRender::PrepareApplication();
    QApplication application(argc, argv);
    // Numbers in files are read and written in the "C" locale.
    std::setlocale(LC_NUMERIC, "C");
    QCoreApplication::setOrganizationName(QStringLiteral("Veltrane"));
    QCoreApplication::setApplicationName(QStringLiteral("Quillmere"));

    QStringList files;
    QString snapshot, minus;
    const QStringList arguments = QCoreApplication::arguments();
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QStringLiteral("--snapshot") && i + 1 < arguments.size())
            snapshot = arguments[++i];
        else if (arguments[i] == QStringLiteral("--minus") && i + 1 < arguments.size())
            minus = arguments[++i];
        else
            files << arguments[i];
    }
    const QString server = snapshot.isEmpty() ? CViewerApplication::DefaultServerName() : QString();
    // A comparison is made in a program of its own.
    if (!files.isEmpty() && minus.isEmpty() && CViewerApplication::HandToRunningProgram(server, files))
        return 0;

    CMessageBoxSink messages;
    CScopedMessageSink scoped(&messages);
    CViewerApplication viewer(minus.isEmpty() ? server : QString());
    viewer.Start(minus.isEmpty() ? files : QStringList{minus} + files, snapshot.isEmpty());
    CMainFrame& frame = *viewer.MainFrame();
    // When the reference opened, it came first.
    const std::vector<CProjectProfile*> documents = frame.Documents();
    if (!minus.isEmpty() && documents.size() > 1 &&
        documents.front()->ProjectPathName() == QFileInfo(minus).absoluteFilePath().toStdString())
        frame.CompareActiveView(*documents.front());
    if (!snapshot.isEmpty()) {
        int status = 1;
        QTimer::singleShot(1500, &application, [&] {
            status = SnapshotOf(*viewer.MainFrame()).save(snapshot) ? 0 : 1;
            QCoreApplication::exit(status);
        });
        application.exec();
        return status;
    }
    return application.exec();
} catch (const CCriticalError&) {
    // The libraries have shown the message; the program ends with status 1.
    return 1;
}
