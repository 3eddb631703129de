#include "ui/export/ShareWebPage.h"

#include "config/CConfiguration.h"
#include "core/Messages.h"
#include "messages/MessageText.h"
#include "model/CProjectProfile.h"
#include "scale/ResultQuantity.h"
#include "session/CSession.h"
#include "session/SharedResults.h"
#include "ui/scene/CSceneRender.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

namespace quillmere {

QString WebPageFileName(const QString& typed) {
    if (typed.isEmpty() || !QFileInfo(typed).suffix().isEmpty())
        return typed;
    return (typed.endsWith(QLatin1Char('.')) ? typed.chopped(1) : typed) + QStringLiteral(".html");
}

bool ShareWebPage(CSceneRender& view, const CConfiguration& configuration, QWidget* parent,
                  const ShareWebPageHooks& hooks) {
    const auto* document = dynamic_cast<const CProjectProfile*>(view.Document());
    if (!document)
        return false;
    const QFileInfo project(QString::fromStdString(document->PathName()));
    const QString suggested =
        project.absoluteDir().filePath(project.completeBaseName() + QStringLiteral(".html"));
    const QString typed = hooks.askFileName
                              ? hooks.askFileName(parent, suggested)
                              : QFileDialog::getSaveFileName(parent, QStringLiteral("Share as web page"),
                                                             suggested, QStringLiteral("Web page (*.html)"));
    const QString path = WebPageFileName(typed);
    if (path.isEmpty())
        return false;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    CSession session;
    // The plain values, a comparison's differences being no result of this
    // project alone.
    ShareRequest request;
    if (!view.Comparison())
        request.limits = view.Scene().Limits();
    const ResultQuantity first =
        view.Scene().Quantity() == ResultQuantity::None ? ResultQuantity::Thickness : view.Scene().Quantity();
    request.quantities.push_back(first);
    for (ResultQuantity quantity : ValueQuantities())
        if (quantity != first)
            request.quantities.push_back(quantity);
    SharePage page;
    bool written = session.Open(document->PathName(), nullptr);
    if (written) {
        for (int record = 1; record <= session.Project().RecordCount(); ++record)
            request.records.push_back(record);
        written = MakeSharedResults(session, request, configuration, page);
        if (written && !WriteSharePage(path.toStdString(), page)) {
            written = false;
            ShowMessage("The web page cannot be written: " + path.toStdString(), MessageIcon::Error);
        }
    }
    QApplication::restoreOverrideCursor();
    // As for the picture, the video and the model: a long write ends in a word.
    if (written)
        ShowMessage("Web page successfully created.", MessageIcon::Information);
    return written;
}

} // namespace quillmere
