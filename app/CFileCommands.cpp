#include "app/CFileCommands.h"

#include "app/AppTexts.h"
#include "app/CChildFrame.h"
#include "app/CExtendedChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CommandIds.h"
#include "app/SplashImages.h"
#include "core/Messages.h"
#include "messages/MessageText.h"
#include "model/CProjectProfile.h"
#include "model/Reports.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillmere {

CFileCommands::CFileCommands(CMainFrame& mainFrame) : frame(mainFrame) {
    CCommandTable& commands = frame.Commands();
    auto child = [this] { return CommandState{frame.ActiveChild() != nullptr, false}; };
    commands
        .Define(command::Open, QStringLiteral("&Open"), QStringLiteral("Open QRELL project"),
                [this] { Open(); })
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    commands.Define(
        command::Close, QStringLiteral("&Close"), QStringLiteral("Close the active document"),
        [this] {
            CProjectProfile* document = frame.ActiveDocument();
            if (!document)
                return;
            if (CExtendedChildFrame* cut = frame.CutWindowOf(document))
                cut->close();
            for (CChildFrame* window : frame.ChildrenOf(document))
                window->close();
        },
        [this] {
            return CommandState{frame.ActiveDocument() != nullptr, false};
        });
    commands.Define(
        command::CloseAll, QStringLiteral("Close &all"), QStringLiteral("Close all open windows"),
        [this] { frame.CloseAllWindows(); },
        [this] {
            return CommandState{!frame.Documents().empty(), false};
        });
    commands.Define(
        command::DocumentInfo, QStringLiteral("&Document"), QStringLiteral("Display document info"),
        [this] { ShowDocumentInformation(); }, child);
    for (int k = 0; k < 4; ++k)
        commands.Define(command::RecentFirst + k, QStringLiteral("Recent file"),
                        QStringLiteral("Open this document"), [this, k] {
                            const QStringList files = frame.RecentFiles();
                            if (k < files.size())
                                frame.OpenProject(files[k]);
                        });
    commands.Define(command::About, QStringLiteral("&About"),
                    QStringLiteral("Display program information, version number and copyright"),
                    [this] { About(); });
    commands.Define(command::Exit, QStringLiteral("E&xit"), QStringLiteral("Quit the application"),
                    [this] { frame.close(); });
}

void CFileCommands::Open() {
    const QString path = frame.Files().ProjectToOpen(&frame);
    if (!path.isEmpty())
        frame.OpenProject(path);
}

void CFileCommands::ShowDocumentInformation() {
    CProjectProfile* document = frame.ActiveDocument();
    if (!document)
        return;
    ShowMessage(DocumentInformationReport(document->PathName()), MessageIcon::Information);
}

void CFileCommands::About() {
    QDialog box(&frame);
    box.setWindowTitle(QStringLiteral("About Quillmere"));
    auto* layout = new QVBoxLayout(&box);
    auto* picture = new QLabel(&box);
    picture->setPixmap(QPixmap::fromImage(AboutImage()));
    layout->addWidget(picture);
    // The version of the build, the one quillmere-batch --version gives.
    auto* version = new QLabel(QStringLiteral("Version " QUILLMERE_VERSION), &box);
    version->setObjectName(QStringLiteral("version"));
    layout->addWidget(version);
    auto* close = new QPushButton(QStringLiteral("Close"), &box);
    QObject::connect(close, &QPushButton::clicked, &box, &QDialog::accept);
    layout->addWidget(close, 0, Qt::AlignRight);
    box.exec();
}

} // namespace quillmere
