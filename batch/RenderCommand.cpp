#include "batch/RenderCommand.h"

#include "batch/BatchOptions.h"
#include "batch/BatchOutput.h"
#include "batch/OffscreenScene.h"
#include "render/HeadlessScene.h"
#include "render/PictureFile.h"
#include "render/PrintedFile.h"
#include "render/ScenePrint.h"
#include "scale/ResultQuantity.h"

#include <QPrinter>

#include <cctype>
#include <memory>

namespace quillmere {

namespace {

bool EndsWithPdf(const std::string& name) {
    if (name.size() < 4)
        return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".pdf";
}

// The page as the Print command prints it.
int PrintPage(const RenderArguments& arguments, CHeadlessScene& scene, const SceneImageOptions& options) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(arguments.output));
    printer.setResolution(300);
    CPrintedFile file(printer);
    if (!file.Ready())
        return BatchFail(file.Error());
    const PrintedImageBox box = PrinterImageBox(printer);
    scene.Fit(box.width, box.height);
    if (!PrintScene(printer, scene, options))
        return BatchFail("cannot print to " + arguments.output +
                         (scene.Error().empty() ? "" : ": " + scene.Error()));
    if (!file.Commit())
        return BatchFail("cannot print to " + arguments.output + ": " + file.Error());
    return BatchSuccess;
}

} // namespace

int RenderProject(const RenderArguments& arguments, CSessionView& shown, const CConfiguration& configuration,
                  ResultQuantity quantity) {
    const std::unique_ptr<CHeadlessScene> opened =
        OpenHeadlessScene(shown, configuration, quantity, arguments.view, "picture");
    if (!opened)
        return BatchFailure;
    CHeadlessScene& scene = *opened;
    if (arguments.minimumWall > 0) {
        // The scene was drawn without it when it was made.
        scene.Scene().SetMinimumWall(arguments.minimumWall);
        scene.Update();
    }
    SceneImageOptions options;
    options.caption = !arguments.noName;
    options.colourScale = arguments.scale;
    if (EndsWithPdf(arguments.output))
        return PrintPage(arguments, scene, options);

    const std::vector<ImageFileType> types = WriterPictureTypes();
    const ImageFileType* type = PictureTypeOf(arguments.output, types);
    if (!type) {
        std::string known;
        for (const ImageFileType& each : types)
            known += (known.empty() ? "" : ", ") + each.extensions.front();
        return BatchFail("the extension of " + arguments.output + " names no picture format (" + known +
                         ", .pdf)");
    }
    scene.Fit(arguments.width, arguments.height);
    const QImage image = scene.Render(arguments.width, arguments.height, options);
    if (image.isNull())
        return BatchFail("the picture could not be drawn: " + scene.Error());
    std::string error;
    if (!WritePicture(image, arguments.output, type->format, error))
        return BatchFail("cannot write " + arguments.output + ": " + error);
    return BatchSuccess;
}

int WriteRender(const BatchArguments& arguments, BatchProject& project) {
    RenderArguments render = arguments.render;
    render.minimumWall = MinimumWallMetres(arguments.minimumWall, project.configuration);
    return RenderProject(render, project.view, project.configuration,
                         arguments.quantity.value_or(ResultQuantity::Thickness));
}

} // namespace quillmere
