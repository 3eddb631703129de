#include "app/CExtendedChildFrame.h"

#include "ui/cut/CCutDialog.h"

#include <QCloseEvent>

namespace quillmere {

CExtendedChildFrame::CExtendedChildFrame(CSession* shown, const CConfiguration& configuration,
                                         QWidget* parent)
    : CDocumentFrame(shown, parent), cut(new CCutDialog(shown, configuration, this)) {
    setWidget(cut);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(CCutDialog::CaptionFor(Document()));
}

void CExtendedChildFrame::closeEvent(QCloseEvent* event) {
    emit Closing();
    QMdiSubWindow::closeEvent(event);
}

} // namespace quillmere
