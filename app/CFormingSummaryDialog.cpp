#include "app/CFormingSummaryDialog.h"

#include "app/CExportCommands.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

namespace quillmere {

CFormingSummaryDialog::CFormingSummaryDialog(const QString& text, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Forming summary"));
    view = new QPlainTextEdit(text, this);
    view->setObjectName(QStringLiteral("summary"));
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    const QFontMetrics metrics(view->font());
    view->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('x')) * 72, metrics.lineSpacing() * 22);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    copyButton = buttons->addButton(QStringLiteral("&Copy"), QDialogButtonBox::ActionRole);
    printButton = buttons->addButton(QStringLiteral("&Print\u2026"), QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(copyButton, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(view->toPlainText()); });
    connect(printButton, &QPushButton::clicked, this, &CFormingSummaryDialog::Print);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view);
    layout->addWidget(buttons);
}

QString CFormingSummaryDialog::Text() const {
    return view->toPlainText();
}

void CFormingSummaryDialog::Print() {
    QPrinter& printer = ThePrinter();
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    PrintIntoFile(printer, [&] {
        QTextDocument document(view->toPlainText());
        document.setDefaultFont(view->font());
        document.print(&printer);
        return true;
    });
}

} // namespace quillmere
