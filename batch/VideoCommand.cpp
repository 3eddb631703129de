#include "batch/VideoCommand.h"

#include "batch/BatchOutput.h"
#include "batch/OffscreenScene.h"
#include "export/CVideoWriter.h"
#include "messages/MessageText.h"
#include "model/CProjectProfile.h"
#include "render/HeadlessScene.h"
#include "scale/ResultQuantity.h"
#include "session/CSession.h"

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace quillmere {

namespace {

// "Creating video file: 3 / 15 (20 %)", rewritten in place.
void ShowProgress(bool terminal, int done, int total) {
    if (!terminal)
        return;
    std::fprintf(stderr, "\r%s: %d / %d (%d %%)", videotexts::CreatingVideo, done, total,
                 total > 0 ? done * 100 / total : 100);
    if (done == total)
        std::fputc('\n', stderr);
    std::fflush(stderr);
}

} // namespace

int WriteVideo(const BatchArguments& command, BatchProject& opened) {
    const VideoArguments& arguments = command.video;
    if (!CVideoWriter::IsVideoPath(arguments.output))
        return BatchFail("the extension of " + arguments.output + " names no video format (.avi, .mp4)");
    const std::unique_ptr<CHeadlessScene> made =
        OpenHeadlessScene(opened.view, opened.configuration,
                          command.quantity.value_or(ResultQuantity::Thickness), arguments.view, "video");
    if (!made)
        return BatchFailure;
    CHeadlessScene& scene = *made;
    CProjectProfile& project = opened.session.Project();
    const int w = 2 * arguments.width, h = 2 * arguments.height;
    // The camera a view opened on the project would have: fitted to the
    // record it opens at, kept for every frame.
    scene.Fit(w, h);

    CVideoWriter writer;
    writer.SetShowMessages(false);
    const bool terminal = ::isatty(STDERR_FILENO) != 0;
    const int records = project.RecordCount();
    ShowProgress(terminal, 0, records);
    for (int record = 1; record <= records; ++record) {
        if (!project.StepToRecord(record, false))
            return BatchFailure; // the loader has said why; nothing is left
        scene.Update();
        const QImage frame = scene.Render(w, h);
        if (frame.isNull())
            return BatchFail("the frame of record " + std::to_string(record) +
                             " cannot be drawn: " + scene.Error());
        const QImage rgb =
            frame.format() == QImage::Format_RGB32 ? frame : frame.convertToFormat(QImage::Format_RGB32);
        if (record == 1 && !writer.Open(arguments.output, arguments.width, arguments.height, arguments.codec))
            return BatchFail(arguments.output + " cannot be written: " + writer.Error());
        const Rgb32View view{reinterpret_cast<const uint32_t*>(rgb.constBits()), rgb.width(), rgb.height(),
                             static_cast<size_t>(rgb.bytesPerLine())};
        if (!writer.AddFrame(view, record - 1))
            return BatchFail(arguments.output + " cannot be written: " + writer.Error());
        ShowProgress(terminal, record, records);
    }
    if (!writer.Finish())
        return BatchFail(arguments.output + " cannot be written: " + writer.Error());
    return BatchSuccess;
}

} // namespace quillmere
