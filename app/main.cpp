// quillmere: opens a solved project in a 3D view.
#include "app/CSceneWindow.h"
#include "app/QtInterface.h"
#include "config/CConfiguration.h"
#include "core/Messages.h"
#include "model/CProjectProfile.h"
#include "scene/CSceneRender.h"

#include <QApplication>
#include <QFileDialog>
#include <QImage>
#include <clocale>

int main(int argc, char** argv) try {
    CSceneRender::PrepareApplication();
    QApplication application(argc, argv);
    // Numbers in files are read and written in the "C" locale.
    std::setlocale(LC_NUMERIC, "C");
    QCoreApplication::setOrganizationName(QStringLiteral("Veltrane"));
    QCoreApplication::setApplicationName(QStringLiteral("Quillmere"));

    CMessageBoxSink messages;
    SetMessageSink(&messages);
    CConfiguration configuration(
        CConfiguration::DefaultFilePath(QCoreApplication::applicationDirPath().toStdString()));

    // quillmere [PROJECT.tfc] [--snapshot PICTURE.png]: the snapshot saves
    // the first frame and ends the program.
    QString path, snapshot;
    const QStringList arguments = QCoreApplication::arguments();
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QStringLiteral("--snapshot") && i + 1 < arguments.size())
            snapshot = arguments[++i];
        else
            path = arguments[i];
    }
    if (path.isEmpty())
        path = QFileDialog::getOpenFileName(nullptr, QStringLiteral("Open"), QString(),
                                            QStringLiteral("QRELL projects (*.tfc)"));
    if (path.isEmpty())
        return 0;
    CProjectProfile project;
    if (!project.Open(path.toStdString(), nullptr))
        return 2;
    CSceneWindow window(&project, configuration.Settings());
    window.show();
    if (!snapshot.isEmpty()) {
        QCoreApplication::processEvents();
        const QImage image = window.View()->grabFramebuffer();
        return image.save(snapshot) ? 0 : 1;
    }
    const int status = application.exec();
    project.PrepareClose();
    SetMessageSink(nullptr);
    return status;
} catch (const CCriticalError&) {
    // The libraries have shown the message; the program ends with status 1.
    SetMessageSink(nullptr);
    return 1;
}
