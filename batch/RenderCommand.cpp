#include "batch/RenderCommand.h"

#include "batch/BatchTool.h"
#include "batch/OffscreenScene.h"
#include "core/Messages.h"
#include "model/CProjectProfile.h"
#include "render/HeadlessScene.h"
#include "render/PictureFile.h"
#include "render/PrintedFile.h"
#include "render/ScenePrint.h"
#include "scale/Comparison.h"

#include <QPrinter>

#include <cctype>
#include <memory>

namespace {

bool EndsWithPdf(const std::string& name) {
    if (name.size() < 4)
        return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".pdf";
}

void Fail(const std::string& text) {
    ShowMessage("quillmere-batch: " + text, MessageIcon::Error);
}

} // namespace

int RenderProject(const RenderArguments& arguments, CProjectProfile& project,
                  const CConfiguration& configuration, int quantity,
                  std::shared_ptr<CComparison> comparison) {
    const std::unique_ptr<CHeadlessScene> opened =
        OpenHeadlessScene(project, configuration, quantity, arguments.view, "picture");
    if (!opened)
        return BatchFailure;
    CHeadlessScene& scene = *opened;
    if (comparison) {
        std::string failure;
        if (!scene.Scene().SetComparison(std::move(comparison), failure)) {
            Fail(failure);
            return BatchFailure;
        }
        scene.Update();
    }
    SceneImageOptions options;
    options.caption = !arguments.noName;
    options.colourScale = arguments.scale;

    if (EndsWithPdf(arguments.output)) {
        // The page as the Print command prints it.
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(arguments.output));
        printer.setResolution(300);
        CPrintedFile file(printer);
        if (!file.Ready()) {
            Fail(file.Error());
            return BatchFailure;
        }
        const PrintedImageBox box = PrinterImageBox(printer);
        scene.Fit(box.width, box.height);
        if (!PrintScene(printer, scene, options)) {
            Fail("cannot print to " + arguments.output + (scene.Error().empty() ? "" : ": " + scene.Error()));
            return BatchFailure;
        }
        if (!file.Commit()) {
            Fail("cannot print to " + arguments.output + ": " + file.Error());
            return BatchFailure;
        }
        return BatchSuccess;
    }
    const std::vector<ImageFileType> types = WriterPictureTypes();
    const ImageFileType* type = PictureTypeOf(arguments.output, types);
    if (!type) {
        std::string known;
        for (const ImageFileType& each : types)
            known += (known.empty() ? "" : ", ") + each.extensions.front();
        Fail("the extension of " + arguments.output + " names no picture format (" + known + ", .pdf)");
        return BatchFailure;
    }
    scene.Fit(arguments.width, arguments.height);
    const QImage image = scene.Render(arguments.width, arguments.height, options);
    if (image.isNull()) {
        Fail("the picture could not be drawn: " + scene.Error());
        return BatchFailure;
    }
    std::string error;
    if (!WritePicture(image, arguments.output, type->format, error)) {
        Fail("cannot write " + arguments.output + ": " + error);
        return BatchFailure;
    }
    return BatchSuccess;
}
