#include "render/ScenePrint.h"

#include "render/HeadlessScene.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace quillmere {

PrintedImageBox PrinterImageBox(const QPrinter& printer) {
    const QRectF paper = printer.paperRect(QPrinter::Millimeter);
    const QRect pixels = printer.paperRect(QPrinter::DevicePixel).toRect();
    return PrintedImageLayout(static_cast<int>(std::lround(paper.width())),
                              static_cast<int>(std::lround(paper.height())), pixels.width(), pixels.height());
}

bool PrintScene(QPrinter& printer, const std::function<QImage(int w, int h)>& sceneImage) {
    printer.setFullPage(true);
    const PrintedImageBox box = PrinterImageBox(printer);
    if (box.width < 1 || box.height < 1)
        return false;
    const bool busy = QGuiApplication::instance() != nullptr;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const QImage image =
        sceneImage(std::min(box.width, MaxSceneImageSize), std::min(box.height, MaxSceneImageSize));
    bool printed = false;
    if (!image.isNull()) {
        QPainter painter;
        if (painter.begin(&printer)) {
            const PrintedImageBox target =
                CorrectPixelAspect(box, printer.logicalDpiX(), printer.logicalDpiY());
            painter.drawImage(QRect(target.left, target.top, target.width, target.height), image);
            printed = painter.end();
        }
    }
    if (busy)
        QGuiApplication::restoreOverrideCursor();
    return printed;
}

bool PrintScene(QPrinter& printer, CHeadlessScene& scene, const SceneImageOptions& options) {
    return PrintScene(printer, [&](int w, int h) { return scene.Render(w, h, options); });
}

} // namespace quillmere
