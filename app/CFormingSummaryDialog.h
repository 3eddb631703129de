// Record > Forming summary: the summary of the record shown in a window of
// its own, whose text can be copied and printed.
#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPushButton;

namespace quillmere {

class CFormingSummaryDialog : public QDialog {
    Q_OBJECT

public:
    explicit CFormingSummaryDialog(const QString& text, QWidget* parent = nullptr);

    QString Text() const;
    QPushButton* CopyButton() const { return copyButton; }
    QPushButton* PrintButton() const { return printButton; }

private:
    // On the program's printer, asking for it first.
    void Print();

    QPlainTextEdit* view = nullptr;
    QPushButton* copyButton = nullptr;
    QPushButton* printButton = nullptr;
};

} // namespace quillmere
