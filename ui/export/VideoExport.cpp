#include "ui/export/VideoExport.h"

#include "core/Messages.h"
#include "export/CVideoWriter.h"
#include "model/CProjectProfile.h"
#include "render/SceneImage.h"
#include "ui/export/CVideoExportDialog.h"
#include "ui/scene/CSceneRender.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QProgressDialog>

namespace quillmere {

namespace {

const QString AviFilter = QStringLiteral("Video files (*.avi)");
const QString Mp4Filter = QStringLiteral("MP4 video (*.mp4)");

QString AskFileName(QWidget* parent, QString& filter) {
    filter = AviFilter;
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Save As"), QString(),
                                        AviFilter + QStringLiteral(";;") + Mp4Filter, &filter);
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
    options.colourScale = dialog.ColourScale();
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

QString VideoFileName(const QString& typed, const QString& chosenFilter) {
    if (CVideoWriter::IsVideoPath(typed.toStdString()))
        return typed;
    QString name = typed;
    if (name.endsWith(QLatin1Char('.')))
        name.chop(1);
    return name + (chosenFilter == Mp4Filter ? QStringLiteral(".mp4") : QStringLiteral(".avi"));
}

namespace {

// The encoder the user chooses among those of the container of path; false,
// after the message, when none is chosen.
bool AskEncoder(const std::string& path, QWidget* parent, const VideoExportHooks& hooks, std::string& codec) {
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
    return true;
}

} // namespace

bool ExportVideo(CSceneRender& view, const CConfiguration& configuration, QWidget* parent,
                 const VideoExportHooks& hooks) {
    auto* project = dynamic_cast<CProjectProfile*>(view.Document());
    if (!project || project->IsAnimationBusy())
        return false;
    QString filter;
    const QString typed = hooks.askFileName ? hooks.askFileName(parent, filter) : AskFileName(parent, filter);
    if (typed.isEmpty())
        return false;
    const std::string path = VideoFileName(typed, filter).toStdString();
    VideoExportOptions options;
    if (!(hooks.askOptions ? hooks.askOptions(parent, options) : AskOptions(parent, options)))
        return false;
    std::string codec;
    if (options.selectCodec && !AskEncoder(path, parent, hooks, codec))
        return false;
    SceneImageOptions imageOptions;
    imageOptions.colourScale = options.colourScale;
    SceneImageFault fault = SceneImageFault::None;
    const auto render = [&](int w, int h) {
        QImage image = hooks.renderFrame ? hooks.renderFrame(w, h)
                                         : SceneImage(view.Scene(), view.ShownRecord(), w, h, imageOptions,
                                                      configuration, &fault);
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

    // Cancel and a record that cannot be read or drawn end the video early;
    // the frames so far stay in a closed file under the chosen name.
    enum class End { Complete, Cancelled, Stopped } end = End::Complete;
    CVideoWriter writer;
    for (int record = 1; record <= records && end == End::Complete; ++record) {
        // The loader says why it cannot.
        if (!project->StepToRecord(record, true)) {
            end = End::Stopped;
            break;
        }
        // The views take the record and their limits before the frame.
        QCoreApplication::processEvents();
        if (hooks.recordShown)
            hooks.recordShown();
        const QImage frame = render(2 * options.width, 2 * options.height);
        if (frame.isNull()) {
            ReportSceneImageFault(fault);
            end = End::Stopped;
            break;
        }
        if (record == 1 && !writer.Open(path, options.width, options.height, codec))
            return false;
        if (!writer.AddFrame(ViewOf(frame), record - 1))
            return false;
        progress.setValue(record);
        QCoreApplication::processEvents();
        if (hooks.frameWritten)
            hooks.frameWritten(progress, record);
        if (progress.wasCanceled())
            end = End::Cancelled;
    }
    progress.close();
    if (!writer.IsOpen() || !writer.Finish())
        return false;
    if (end == End::Cancelled)
        ShowMessage(MessageId::VideoCancelled, MessageIcon::Information);
    else if (end == End::Complete)
        ShowMessage(MessageId::VideoCreated, MessageIcon::Information);
    return end == End::Complete;
}

} // namespace quillmere
