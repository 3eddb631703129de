#include "app/CExtendedChildFrame.h"

#include "model/CProjectProfile.h"
#include "ui/cut/CCutDialog.h"
#include "ui/scene/CSceneRender.h"

#include <QCloseEvent>

CExtendedChildFrame::CExtendedChildFrame(CProjectProfile* document, const CConfiguration& configuration,
                                         QWidget* parent)
    : CDocumentFrame(document, parent), cut(new CCutDialog(document, configuration, this)) {
    setWidget(cut);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(CCutDialog::CaptionFor(document));
    // The read-out's mark shows in every 3D view of the document.
    connect(cut, &CCutDialog::MarkMoved, this, [this] {
        if (const CProjectProfile* shown = cut->Document())
            for (CView* view : shown->Views())
                if (auto* scene = dynamic_cast<CSceneRender*>(view))
                    scene->ShowCutMark();
    });
}

void CExtendedChildFrame::closeEvent(QCloseEvent* event) {
    emit Closing();
    QMdiSubWindow::closeEvent(event);
}
