// The Project export dialog and the report-file command, driven as the user
// drives them.
#include "export/ProjectExport.h"
#include "model/CProjectProfile.h"
#include "model/ProjectFile.h"
#include "tests/model/ProjectFixture.h"
#include "tests/support/QtTestSupport.h"
#include "ui/export/CFilesExportDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QtTest>

#include <filesystem>

using namespace quillmere;

namespace {

std::vector<std::string> FixtureFiles(const CProjectFixture& fixture) {
    ProjectFileFields fields;
    ParseProjectFile(fixture.ProjectPath(), fields);
    return ProjectExportFiles(fields, fixture.ProjectPath());
}

} // namespace

class FilesExportDialogTest : public QObject {
    Q_OBJECT
private slots:
    void optionsFollowTheSourceOnlyBox();
    void browseAndExportKeepTheFolderForTheRun();
    void aMissingFolderIsCreatedOnlyWhenAnswered();
    void filesOfTheSameNamesAreReplacedOnlyWhenAnswered();
    void reportFile();
};

void FilesExportDialogTest::optionsFollowTheSourceOnlyBox() {
    CProjectFixture fixture;
    CFilesExportDialog dialog(fixture.ProjectPath(), {"fixture.sht", fixture.ProjectPath()});
    QCOMPARE(dialog.windowTitle(), QString("Project export"));
    QCOMPARE(dialog.ProjectField()->text(), QString::fromStdString(fixture.ProjectPath()));
    QVERIFY(dialog.SourceOnlyBox()->isChecked());
    QVERIFY(dialog.SourceOnlyBox()->isEnabled());
    QVERIFY(!dialog.FirstAndLastBox()->isChecked());
    QVERIFY(!dialog.FirstAndLastBox()->isEnabled());
    dialog.show();
    QTest::mouseClick(dialog.SourceOnlyBox(), Qt::LeftButton);
    QVERIFY(!dialog.SourceOnlyBox()->isChecked());
    QVERIFY(dialog.FirstAndLastBox()->isEnabled());
    QVERIFY(dialog.FirstAndLastBox()->isChecked());
    QTest::mouseClick(dialog.SourceOnlyBox(), Qt::LeftButton);
    QVERIFY(!dialog.FirstAndLastBox()->isEnabled());
    QVERIFY(!dialog.FirstAndLastBox()->isChecked());
    // Without a project file only the sources go.
    CFilesExportDialog sources("/jobs/cup.tfc", {"cup.sht", "cup.prc"});
    QVERIFY(!sources.SourceOnlyBox()->isEnabled());
    QVERIFY(!sources.FirstAndLastBox()->isEnabled() && !sources.FirstAndLastBox()->isChecked());
}

void FilesExportDialogTest::browseAndExportKeepTheFolderForTheRun() {
    FixtureOptions options;
    options.records = 4;
    CProjectFixture fixture(options);
    CTempFolder target;
    QString title, start;
    CFilesExportDialog::SetRememberedFolder("");
    CFilesExportDialog::SetFolderChooser([&](QWidget*, const QString& shownTitle, const QString& from) {
        title = shownTitle;
        start = from;
        return QString::fromStdString(target.Path());
    });
    {
        CFilesExportDialog dialog(fixture.ProjectPath(), FixtureFiles(fixture));
        dialog.show();
        QTest::mouseClick(dialog.BrowseButton(), Qt::LeftButton);
        QCOMPARE(title, QString("Project files will be exported to the folder:"));
        QCOMPARE(start, QDir::currentPath());
        QCOMPARE(dialog.FolderField()->text(), QString::fromStdString(target.Path()));
        QTest::mouseClick(dialog.SourceOnlyBox(), Qt::LeftButton);
        QTest::mouseClick(dialog.ExportButton(), Qt::LeftButton);
        QCOMPARE(dialog.StatusLabel()->text(),
                 QString("Results export: Project files were successfully exported."));
        QVERIFY(dialog.isVisible()); // the dialog stays open for another export
        QVERIFY(PathExists(target.File("fixture.001")));
        QVERIFY(!PathExists(target.File("fixture.002")));
    }
    CFilesExportDialog next(fixture.ProjectPath(), FixtureFiles(fixture));
    QCOMPARE(next.FolderField()->text(), QString::fromStdString(target.Path()));
    QTest::mouseClick(next.BrowseButton(), Qt::LeftButton);
    QCOMPARE(start, QString::fromStdString(target.Path()));
    CFilesExportDialog::SetFolderChooser(nullptr);
    CFilesExportDialog::SetRememberedFolder("");
}

// The refusals themselves are ProjectExportRefusal's.
void FilesExportDialogTest::aMissingFolderIsCreatedOnlyWhenAnswered() {
    CProjectFixture fixture;
    CFilesExportDialog dialog(fixture.ProjectPath(), FixtureFiles(fixture));
    CTempFolder parent;
    const std::string missing = parent.File("new");
    dialog.FolderField()->setText(QString::fromStdString(" " + missing));
    {
        CRecordingMessages messages;
        messages.answer = MessageAnswer::Cancel;
        QVERIFY(!dialog.Export());
        QCOMPARE(messages.messages.size(), size_t(1));
        QCOMPARE(QString::fromStdString(messages.messages[0].text),
                 QString::fromStdString("Folder " + missing + " does not exists.\r\nCreate the folder?"));
        QVERIFY(messages.messages[0].buttons == MessageButtons::YesNoCancel);
        QVERIFY(messages.messages[0].icon == MessageIcon::Question);
        QVERIFY(!PathExists(missing));
    }
    {
        CRecordingMessages messages;
        messages.answer = MessageAnswer::Yes;
        QVERIFY(dialog.Export());
        QVERIFY(PathExists(missing + "/fixture.tfc"));
    }
    CFilesExportDialog::SetRememberedFolder("");
}

// One question before files of the target are replaced, naming the file
// or how many they are; No leaves them and copies nothing.
void FilesExportDialogTest::filesOfTheSameNamesAreReplacedOnlyWhenAnswered() {
    CProjectFixture fixture;
    const std::vector<std::string> files = FixtureFiles(fixture);
    CTempFolder target;
    CFilesExportDialog dialog(fixture.ProjectPath(), files);
    dialog.FolderField()->setText(QString::fromStdString(target.Path()));
    WriteWholeFile(target.File("fixture.sht"), "older\n");
    {
        CRecordingMessages messages;
        QVERIFY(!dialog.Export());
        QCOMPARE(messages.messages.size(), size_t(1));
        QCOMPARE(
            QString::fromStdString(messages.messages[0].text),
            QString::fromStdString("The folder " + target.Path() +
                                   " already holds a file of the same name:\r\nfixture.sht\r\nReplace it?"));
        QVERIFY(messages.messages[0].icon == MessageIcon::Question);
        QVERIFY(messages.messages[0].buttons == MessageButtons::YesNo);
        QCOMPARE(ReadWholeFile(target.File("fixture.sht")), std::string("older\n"));
        QVERIFY(!PathExists(target.File("fixture.tfc")));
    }
    {
        CRecordingMessages messages;
        messages.answer = MessageAnswer::Yes;
        QVERIFY(dialog.Export());
        QCOMPARE(messages.messages.size(), size_t(1));
        QCOMPARE(ReadWholeFile(target.File("fixture.sht")), ReadWholeFile(fixture.File("fixture.sht")));
        QCOMPARE(dialog.StatusLabel()->text(),
                 QString("Results export: Project files were successfully exported."));
    }
    {
        CRecordingMessages messages;
        messages.answer = MessageAnswer::Yes;
        QVERIFY(dialog.Export());
        QCOMPARE(QString::fromStdString(messages.Texts()),
                 QString("The folder %1 already holds %2 files of the same names.\r\nReplace them?")
                     .arg(QString::fromStdString(target.Path()))
                     .arg(files.size()));
    }
    CFilesExportDialog::SetRememberedFolder("");
}

void FilesExportDialogTest::reportFile() {
    CProjectFixture fixture;
    CRecordingMessages messages;
    CProjectProfile project;
    QVERIFY(project.Open(fixture.ProjectPath(), nullptr));
    QVERIFY(!ReportFileExists(project));
    WriteWholeFile(fixture.File("fixture.htm"), "<html></html>\n");
    QVERIFY(ReportFileExists(project));
    QUrl opened;
    SetReportOpener([&](const QUrl& url) {
        opened = url;
        return true;
    });
    OpenReportFile(project, nullptr);
    QCOMPARE(opened, QUrl::fromLocalFile(QString::fromStdString(fixture.File("fixture.htm"))));
    QVERIFY(messages.messages.empty());
    SetReportOpener([](const QUrl&) { return false; });
    OpenReportFile(project, nullptr);
    QCOMPARE(QString::fromStdString(messages.Texts()),
             QString::fromStdString("Cannot open report file (" + fixture.File("fixture.htm") + ").\r\n"));
    SetReportOpener(nullptr);
}

int main(int argc, char** argv) {
    return RunWindowTest<FilesExportDialogTest>(argc, argv);
}

#include "FilesExportDialogTest.moc"
