#include "export/SaveToBitmap.h"

#include "core/Messages.h"
#include "export/CVideoExportDialog.h"
#include "model/CDocument.h"
#include "scene/CSceneRender.h"

#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QImageWriter>

std::vector<ImageFileType> WriterPictureTypes() {
    std::vector<std::string> formats;
    for (const QByteArray& format : QImageWriter::supportedImageFormats())
        formats.push_back(format.toLower().toStdString());
    return PictureFileTypes(formats);
}

bool WritePicture(const QImage& image, const std::string& fileName, const std::string& format,
                  std::string& error) {
    std::string chosen = format;
    if (chosen.empty()) {
        const std::vector<ImageFileType> types = WriterPictureTypes();
        const ImageFileType* type = PictureTypeOf(fileName, types);
        if (!type) {
            error = "no image format for the extension of " + fileName;
            return false;
        }
        chosen = type->format;
    }
    const QString name = QString::fromStdString(fileName);
    if (QFile::exists(name) && !QFile::remove(name)) {
        error = "cannot replace " + fileName;
        return false;
    }
    QImageWriter writer(name, QByteArray::fromStdString(chosen));
    if (!writer.write(image)) {
        error = writer.errorString().toStdString();
        QFile::remove(name);
        return false;
    }
    return true;
}

bool SaveToBitmap(CSceneRender& view, const CConfiguration& configuration, QWidget* parent,
                  const SaveToBitmapPrompts& prompts) {
    auto message = [&](const QString& text, bool error) {
        if (prompts.message)
            prompts.message(text, error);
        else
            ShowMessage(text.toStdString(), error ? MessageIcon::Error : MessageIcon::Information);
    };
    const std::vector<ImageFileType> types = WriterPictureTypes();
    if (types.empty()) {
        message(QObject::tr("Exporter filter failed:\n%1 - %2")
                    .arg(QStringLiteral("0"))
                    .arg(QObject::tr("no image encoders")),
                true);
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
    // The chosen type decides the format; without one, the name's extension.
    if (!chosen)
        chosen = PictureTypeOf(fileName, types);

    CVideoExportDialog dialog(CVideoExportDialog::Use::Bitmap, parent);
    dialog.SetSize(std::clamp(view.width(), MinPictureSize, MaxPictureSize),
                   std::clamp(view.height(), MinPictureSize, MaxPictureSize));
    const bool accepted = prompts.options ? prompts.options(dialog) : dialog.exec() == QDialog::Accepted;
    if (!accepted)
        return false;

    QFile::remove(QString::fromStdString(fileName));
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    SceneImageOptions options;
    options.caption = !dialog.RemoveProjectName();
    const QImage image = SceneImage(view, dialog.X(), dialog.Y(), options, configuration);
    std::string error;
    const bool written =
        !image.isNull() && WritePicture(image, fileName, chosen ? chosen->format : "jpg", error);
    QGuiApplication::restoreOverrideCursor();
    if (!written) {
        message(QString::fromStdString(error.empty() ? "the picture could not be drawn" : error), true);
        return false;
    }
    message(QObject::tr("Bitmap successfully created."), false);
    return true;
}
