#include "app/CExtendedChildFrame.h"

#include "model/CProjectProfile.h"
#include "ui/cut/CCutDialog.h"

#include <QCloseEvent>

CExtendedChildFrame::CExtendedChildFrame(CProjectProfile* document, const CConfiguration& configuration,
                                         QWidget* parent)
    : CDocumentFrame(document, parent), cut(new CCutDialog(document, configuration, this)) {
    setWidget(cut);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(CCutDialog::CaptionFor(document));
}

void CExtendedChildFrame::closeEvent(QCloseEvent* event) {
    emit Closing();
    QMdiSubWindow::closeEvent(event);
}
