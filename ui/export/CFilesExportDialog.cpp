#include "ui/export/CFilesExportDialog.h"

#include "core/FilePaths.h"
#include "core/Messages.h"
#include "core/TextFormat.h"
#include "core/TextLines.h"
#include "export/ProjectExport.h"
#include "messages/MessageText.h"
#include "model/CProjectProfile.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace quillmere {

namespace {

QString& Remembered() {
    static QString folder;
    return folder;
}

CFilesExportDialog::FolderChooser& Chooser() {
    static CFilesExportDialog::FolderChooser chooser;
    return chooser;
}

std::function<bool(const QUrl&)>& Opener() {
    static std::function<bool(const QUrl&)> opener;
    return opener;
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// One question for all the files an export would replace: the file named
// when it is one, the count when they are more.
Message ReplaceQuestion(const std::string& folder, const std::vector<std::string>& existing) {
    if (existing.size() == 1)
        return Message(MessageId::ReplaceOneQuestion, folder, FileNamePart(existing.front()));
    return Message(MessageId::ReplaceQuestion, folder, static_cast<int>(existing.size()));
}

} // namespace

CFilesExportDialog::CFilesExportDialog(const std::string& path, std::vector<std::string> listed,
                                       QWidget* parent)
    : QDialog(parent), projectPath(path), files(std::move(listed)) {
    setWindowTitle(exporttexts::DialogTitle);
    setModal(true);

    projectField = new QLineEdit(Text(projectPath), this);
    projectField->setReadOnly(true);
    folderField = new QLineEdit(Remembered(), this);
    browseButton = new QPushButton(exporttexts::Browse, this);
    sourceOnlyBox = new QCheckBox(exporttexts::SourceOnly, this);
    firstAndLastBox = new QCheckBox(exporttexts::FirstAndLast, this);
    statusLabel = new QLabel(this);
    statusLabel->setWordWrap(true);
    statusLabel->setMinimumHeight(statusLabel->fontMetrics().height() * 3);
    exportButton = new QPushButton(exporttexts::ExportButton, this);
    closeButton = new QPushButton(exporttexts::CloseButton, this);
    exportButton->setDefault(true);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(exporttexts::ExportedProject, this), 0, 0);
    fields->addWidget(projectField, 0, 1, 1, 2);
    fields->addWidget(new QLabel(exporttexts::ExportToFolder, this), 1, 0);
    fields->addWidget(folderField, 1, 1);
    fields->addWidget(browseButton, 1, 2);
    fields->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(exportButton);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(sourceOnlyBox);
    layout->addWidget(firstAndLastBox);
    layout->addWidget(statusLabel);
    layout->addLayout(buttons);
    setMinimumWidth(560);

    // Source only at first; first and last only goes with the solution.
    sourceOnlyBox->setChecked(true);
    firstAndLastBox->setChecked(false);
    firstAndLastBox->setEnabled(false);
    // Without a project file there is no solution to export.
    if (!ListsProjectFile(files))
        sourceOnlyBox->setEnabled(false);

    connect(sourceOnlyBox, &QCheckBox::clicked, this, [this] { SourceOnlyClicked(); });
    connect(browseButton, &QPushButton::clicked, this, [this] { Browse(); });
    connect(exportButton, &QPushButton::clicked, this, [this] { Export(); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

QString CFilesExportDialog::RememberedFolder() {
    return Remembered();
}

void CFilesExportDialog::SetRememberedFolder(const QString& folder) {
    Remembered() = folder;
}

void CFilesExportDialog::SetFolderChooser(FolderChooser chooser) {
    Chooser() = std::move(chooser);
}

void CFilesExportDialog::SourceOnlyClicked() {
    const bool withSolution = !sourceOnlyBox->isChecked();
    firstAndLastBox->setEnabled(withSolution);
    firstAndLastBox->setChecked(withSolution);
}

void CFilesExportDialog::Browse() {
    const QString start = folderField->text().trimmed().isEmpty() ? QDir::currentPath() : folderField->text();
    const QString title = exporttexts::ChooseFolder;
    const QString chosen =
        Chooser() ? Chooser()(this, title, start) : QFileDialog::getExistingDirectory(this, title, start);
    if (!chosen.isEmpty()) {
        folderField->setText(QDir::toNativeSeparators(chosen));
        Remembered() = folderField->text();
    }
}

bool CFilesExportDialog::Export() {
    Remembered() = folderField->text();
    ExportOptions options;
    options.sourceOnly = sourceOnlyBox->isChecked();
    options.firstAndLast = !options.sourceOnly && firstAndLastBox->isChecked();
    bool complete = false;
    const bool ran = RunProjectExport(
        projectPath, files, folderField->text().toStdString(), options,
        [](const std::string& folder) {
            return ShowMessage(Message(MessageId::CreateFolderQuestion, folder), MessageIcon::Question,
                               MessageButtons::YesNoCancel) == MessageAnswer::Yes;
        },
        [this](const std::string& text) {
            statusLabel->setText(Text(text));
            // The copies run on the interface thread; the label shows each one.
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        },
        complete,
        [this](const std::vector<std::string>& existing) {
            return ShowMessage(ReplaceQuestion(Trim(folderField->text().toStdString()), existing),
                               MessageIcon::Question, MessageButtons::YesNo) == MessageAnswer::Yes;
        });
    if (ran)
        statusLabel->setText(
            QString::fromLatin1(MessageText(ExportResultMessage(complete)).c_str()).replace("\r\n", "\n"));
    return ran;
}

void ExportProjectFiles(CProjectProfile& project, QWidget* parent) {
    if (project.IsAnimationBusy())
        return;
    CFilesExportDialog dialog(project.ProjectPathName(), ProjectExportFiles(project), parent);
    dialog.exec();
}

bool ReportFileExists(const CProjectProfile& project) {
    return QFileInfo(Text(ReportFilePath(project.ProjectPathName()))).isFile();
}

void SetReportOpener(std::function<bool(const QUrl&)> opener) {
    Opener() = std::move(opener);
}

void OpenReportFile(const CProjectProfile& project, QWidget*) {
    const std::string report = ReportFilePath(project.ProjectPathName());
    const QUrl url = QUrl::fromLocalFile(QFileInfo(Text(report)).absoluteFilePath());
    const bool opened = Opener() ? Opener()(url) : QDesktopServices::openUrl(url);
    if (!opened)
        ShowMessage(Message(MessageId::CannotOpenReport, report), MessageIcon::Error);
}

} // namespace quillmere
