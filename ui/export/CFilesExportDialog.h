// The "Project export" dialog and the view's two commands that hand a
// project to somebody else: its files copied into a folder, and its HTML
// report opened with the desktop's program for it.
#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QUrl;

namespace quillmere {

class CProjectProfile;

class CFilesExportDialog : public QDialog {
    Q_OBJECT
public:
    // Chooses a folder: (parent, title, start folder) -> the folder, or an
    // empty text when the user cancels.
    using FolderChooser = std::function<QString(QWidget*, const QString&, const QString&)>;

    CFilesExportDialog(const std::string& projectPath, std::vector<std::string> files,
                       QWidget* parent = nullptr);

    // The target folder offered to the next export of this run.
    static QString RememberedFolder();
    static void SetRememberedFolder(const QString& folder);
    // Tests stand in for the platform's folder chooser; null restores it.
    static void SetFolderChooser(FolderChooser chooser);

    QLineEdit* ProjectField() const { return projectField; }
    QLineEdit* FolderField() const { return folderField; }
    QPushButton* BrowseButton() const { return browseButton; }
    QCheckBox* SourceOnlyBox() const { return sourceOnlyBox; }
    QCheckBox* FirstAndLastBox() const { return firstAndLastBox; }
    QLabel* StatusLabel() const { return statusLabel; }
    QPushButton* ExportButton() const { return exportButton; }
    QPushButton* CloseButton() const { return closeButton; }

    // The "Export" button; false when it stopped before copying.
    bool Export();
    void Browse();

private:
    void SourceOnlyClicked();

    std::string projectPath;
    std::vector<std::string> files;
    QLineEdit* projectField;
    QLineEdit* folderField;
    QPushButton* browseButton;
    QCheckBox* sourceOnlyBox;
    QCheckBox* firstAndLastBox;
    QLabel* statusLabel;
    QPushButton* exportButton;
    QPushButton* closeButton;
};

// Command 117: refuses while the animation runs, then shows the dialog.
void ExportProjectFiles(CProjectProfile& project, QWidget* parent);

// Command 120: opens the project's report file with its default program;
// a failure shows message 427. Enable the command with ReportFileExists.
void OpenReportFile(const CProjectProfile& project, QWidget* parent);
bool ReportFileExists(const CProjectProfile& project);
// Tests stand in for the desktop; null restores QDesktopServices::openUrl.
void SetReportOpener(std::function<bool(const QUrl&)> opener);

} // namespace quillmere
