#include "export/VideoExport.h"

#include "core/Messages.h"
#include "export/CVideoExportDialog.h"
#include "export/CVideoWriter.h"
#include "export/SceneImage.h"
#include "model/CProjectProfile.h"
#include "scene/CSceneRender.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QProgressDialog>

namespace {

QString AskFileName(QWidget* parent) {
    QString filter = QStringLiteral("Video files (*.avi)");
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Save As"), QString(),
                                        QStringLiteral("Video files (*.avi);;MP4 video (*.mp4)"), &filter);
}

bool AskOptions(QWidget* parent, VideoExportOptions& options) {
    CVideoExportDialog dialog(CVideoExportDialog::Use::Video, parent);
    dialog.SetSize(options.width, options.height);
    dialog.SetSelectCodec(options.selectCodec);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    options.width = dialog.X();
    options.height = dialog.Y();
    options.selectCodec = dialog.SelectCodec();
    return true;
}

QString ChooseCodec(QWidget* parent, const QStringList& encoders) {
    bool chosen = false;
    const int current =
        static_cast<int>(encoders.indexOf(QString::fromLatin1(CVideoWriter::DefaultAviCodec)));
    const QString codec =
        QInputDialog::getItem(parent, QStringLiteral("Select codec"), QStringLiteral("Codec:"), encoders,
                              current < 0 ? 0 : current, false, &chosen);
    return chosen ? codec : QString();
}

Rgb32View ViewOf(const QImage& image) {
    return Rgb32View{reinterpret_cast<const uint32_t*>(image.constBits()), image.width(), image.height(),
                     static_cast<size_t>(image.bytesPerLine())};
}

} // namespace

QString VideoFileName(const QString& typed) {
    if (typed.endsWith(QStringLiteral(".avi"), Qt::CaseInsensitive) ||
        typed.endsWith(QStringLiteral(".mp4"), Qt::CaseInsensitive))
        return typed;
    QString name = typed;
    if (name.endsWith(QLatin1Char('.')))
        name.chop(1);
    return name + QStringLiteral(".avi");
}

bool ExportVideo(CSceneRender& view, const CConfiguration& configuration, QWidget* parent,
                 const VideoExportHooks& hooks) {
    auto* project = dynamic_cast<CProjectProfile*>(view.Document());
    if (!project || project->IsAnimationBusy())
        return false;
    const QString typed = hooks.askFileName ? hooks.askFileName(parent) : AskFileName(parent);
    if (typed.isEmpty())
        return false;
    const std::string path = VideoFileName(typed).toStdString();
    VideoExportOptions options;
    if (!(hooks.askOptions ? hooks.askOptions(parent, options) : AskOptions(parent, options)))
        return false;
    std::string codec;
    if (options.selectCodec) {
        QStringList encoders;
        if (CVideoWriter::IsMp4Path(path))
            encoders << QString::fromLatin1(CVideoWriter::Mp4Codec);
        else
            for (const std::string& name : CVideoWriter::AviEncoders())
                encoders << QString::fromStdString(name);
        const QString chosen =
            hooks.chooseCodec ? hooks.chooseCodec(parent, encoders) : ChooseCodec(parent, encoders);
        if (chosen.isEmpty()) {
            ShowVideoError();
            return false;
        }
        codec = chosen.toStdString();
    }
    const auto render = [&](int w, int h) {
        QImage image = hooks.renderFrame ? hooks.renderFrame(w, h)
                                         : SceneImage(view, w, h, SceneImageOptions(), configuration);
        return image.isNull() || image.format() == QImage::Format_RGB32
                   ? image
                   : image.convertToFormat(QImage::Format_RGB32);
    };

    const int records = project->RecordCount();
    QProgressDialog progress(QString::fromLatin1(videotexts::CreatingVideo), QStringLiteral("Cancel"), 0,
                             records, parent ? parent->window() : nullptr);
    progress.setWindowTitle(QString::fromLatin1(videotexts::ProgressCaption));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    progress.setValue(0);

    CVideoWriter writer;
    bool written = false;
    for (int record = 1; record <= records; ++record) {
        // A record that cannot be read ends the video with the frames so far
        // (the loader has said why).
        if (!project->StepToRecord(record, true))
            break;
        // The views take the record and their limits before the frame.
        QCoreApplication::processEvents();
        const QImage frame = render(2 * options.width, 2 * options.height);
        if (frame.isNull())
            break;
        if (record == 1 && !writer.Open(path, options.width, options.height, codec))
            return false;
        if (!writer.AddFrame(ViewOf(frame), record - 1))
            return false;
        written = true;
        progress.setValue(record);
        QCoreApplication::processEvents();
        if (hooks.frameWritten)
            hooks.frameWritten(progress, record);
        if (progress.wasCanceled()) {
            writer.Cancel();
            progress.close();
            ShowMessage(videotexts::VideoCancelled, MessageIcon::Information);
            return false;
        }
    }
    progress.close();
    if (!written) {
        writer.Cancel();
        return false;
    }
    if (!writer.Finish())
        return false;
    ShowMessage(videotexts::VideoCreated, MessageIcon::Information);
    return true;
}
