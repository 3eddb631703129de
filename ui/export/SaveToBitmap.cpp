#include "ui/export/SaveToBitmap.h"

#include "core/Messages.h"
#include "messages/MessageText.h"
#include "model/CDocument.h"
#include "render/PictureFile.h"
#include "ui/export/CVideoExportDialog.h"
#include "ui/scene/CSceneRender.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>

namespace quillmere {

bool SaveToBitmap(CSceneRender& view, const CConfiguration& configuration, QWidget* parent,
                  const SaveToBitmapPrompts& prompts) {
    const std::vector<ImageFileType> types = WriterPictureTypes();
    if (types.empty()) {
        ShowMessage("Exporter filter failed:\n0 - no image encoders", MessageIcon::Error);
        return false;
    }
    QStringList filters;
    for (const ImageFileType& type : types)
        filters << QString::fromStdString(type.Filter());
    QString suggested;
    if (CDocument* document = view.Document())
        suggested = QString::fromStdString(DefaultPictureName(document->Title()));
    QString chosenFilter;
    const QString typed =
        prompts.fileName ? prompts.fileName(suggested, filters, chosenFilter)
                         : QFileDialog::getSaveFileName(parent, QObject::tr("Save As"), suggested,
                                                        filters.join(QStringLiteral(";;")), &chosenFilter);
    if (typed.isEmpty())
        return false;
    const ImageFileType* chosen = nullptr;
    const qsizetype index = filters.indexOf(chosenFilter);
    if (index >= 0)
        chosen = &types[static_cast<size_t>(index)];
    const std::string fileName = PictureFileName(typed.toStdString(), chosen);
    // A known extension decides the format, so that the file is what its
    // name says ("out.png" with BMP chosen is a PNG); the chosen type only
    // for a name without one.
    if (const ImageFileType* named = PictureTypeOf(fileName, types))
        chosen = named;
    // The save dialog asked about the typed name only.
    const QString finalName = QString::fromStdString(fileName);
    if (finalName != typed && QFileInfo::exists(finalName) &&
        ShowMessage(QObject::tr("%1 already exists.\nDo you want to replace it?")
                        .arg(QFileInfo(finalName).fileName())
                        .toStdString(),
                    MessageIcon::Question, MessageButtons::YesNo) != MessageAnswer::Yes)
        return false;

    CVideoExportDialog dialog(CVideoExportDialog::Use::Bitmap, parent);
    dialog.SetSize(std::clamp(view.width(), MinPictureSize, MaxPictureSize),
                   std::clamp(view.height(), MinPictureSize, MaxPictureSize));
    const bool accepted = prompts.options ? prompts.options(dialog) : dialog.exec() == QDialog::Accepted;
    if (!accepted)
        return false;

    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    SceneImageOptions options;
    options.caption = !dialog.RemoveProjectName();
    options.colourScale = dialog.ColourScale();
    SceneImageFault fault = SceneImageFault::None;
    const QImage image =
        SceneImage(view.Scene(), view.ShownRecord(), dialog.X(), dialog.Y(), options, configuration, &fault);
    std::string error;
    const bool written =
        !image.isNull() && WritePicture(image, fileName, chosen ? chosen->format : "jpg", error);
    QGuiApplication::restoreOverrideCursor();
    if (image.isNull()) {
        ReportSceneImageFault(fault);
        return false;
    }
    if (!written) {
        ShowMessage(error, MessageIcon::Error);
        return false;
    }
    ShowMessage("Bitmap successfully created.", MessageIcon::Information);
    return true;
}

} // namespace quillmere
