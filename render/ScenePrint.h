// Printing the scene on one page: the scene image at 95 % of the page,
// 4:3 when it fits, centred, stretched for printers whose pixels are not
// square.
#pragma once

#include "export/PictureExport.h"
#include "render/SceneImage.h"

#include <QImage>

#include <functional>

class QPrinter;

namespace quillmere {

class CHeadlessScene;

// The image box on the printer's page (full page, device pixels).
PrintedImageBox PrinterImageBox(const QPrinter& printer);

// Prints the image that sceneImage draws at the box's size on one page of
// printer; false when the image could not be drawn (nothing is printed) or
// the printer could not be started.
bool PrintScene(QPrinter& printer, const std::function<QImage(int w, int h)>& sceneImage);
// A scene without a window (the batch tool).
bool PrintScene(QPrinter& printer, CHeadlessScene& scene,
                const SceneImageOptions& options = SceneImageOptions());

} // namespace quillmere
