#include "app/ToolbarImages.h"

#include "app/CommandIds.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace quillmere {

namespace {

// A rounded tile in the group's colour with a small drawing on it.
QPixmap Tile(const QColor& colour, const std::function<void(QPainter&)>& draw) {
    QPixmap image(18, 18);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(colour.darker(140));
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(0.5, 0.5, 17, 17), 3, 3);
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(Qt::NoBrush);
    draw(painter);
    return image;
}

void Letters(QPainter& painter, const QString& text) {
    QFont font = painter.font();
    font.setPixelSize(text.size() > 1 ? 8 : 11);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(0, 0, 18, 18), Qt::AlignCenter, text);
}

} // namespace

namespace {

// The images of the sheet's and the tools' display commands; null for
// another command.
QIcon DisplayImage(int id) {
    const QColor sheet(40, 150, 150), tool(150, 110, 60);
    switch (id) {
    case command::Sheet:
        return Tile(sheet, [](QPainter& p) {
            p.drawLine(3, 12, 15, 6);
            p.drawLine(3, 12, 9, 15);
            p.drawLine(9, 15, 15, 6);
        });
    case command::Tool1:
        return Tile(tool, [](QPainter& p) { Letters(p, QStringLiteral("1")); });
    case command::Tool2:
        return Tile(tool, [](QPainter& p) { Letters(p, QStringLiteral("2")); });
    case command::SheetElementsAndEdges:
        return Tile(sheet, [](QPainter& p) {
            p.setBrush(QColor(255, 255, 255, 120));
            p.drawRect(QRectF(4, 4, 10, 10));
            p.drawLine(4, 14, 14, 4);
        });
    case command::SheetElements:
        return Tile(sheet, [](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4, 4, 10, 10));
        });
    case command::SheetEdges:
        return Tile(sheet, [](QPainter& p) {
            p.drawRect(QRectF(4, 4, 10, 10));
            p.drawLine(4, 14, 14, 4);
        });
    case command::Tool1Shading:
        return Tile(tool, [](QPainter& p) { Letters(p, QStringLiteral("S1")); });
    case command::Tool2Shading:
        return Tile(tool, [](QPainter& p) { Letters(p, QStringLiteral("S2")); });
    case command::Dots:
        return Tile(sheet, [](QPainter& p) {
            p.setBrush(Qt::white);
            for (int x : {5, 9, 13})
                p.drawEllipse(QPointF(x, 9), 1.2, 1.2);
        });
    default:
        return QIcon();
    }
}

} // namespace

QIcon ToolbarImage(int id) {
    const QColor file(70, 110, 170), other(120, 80, 150), exporting(90, 140, 70);
    const QIcon display = DisplayImage(id);
    if (!display.isNull())
        return display;
    switch (id) {
    case command::Open:
        return Tile(file, [](QPainter& p) {
            p.drawRect(QRectF(4, 6, 10, 7));
            p.drawLine(4, 6, 7, 4);
            p.drawLine(7, 4, 10, 4);
        });
    case command::Print:
        return Tile(file, [](QPainter& p) {
            p.drawRect(QRectF(4, 7, 10, 5));
            p.drawRect(QRectF(6, 3, 6, 4));
            p.drawRect(QRectF(6, 12, 6, 3));
        });
    case command::GraphicsOptions:
        return Tile(other, [](QPainter& p) {
            p.drawEllipse(QPointF(9, 9), 4, 4);
            p.drawLine(9, 2, 9, 5);
            p.drawLine(9, 13, 9, 16);
            p.drawLine(2, 9, 5, 9);
            p.drawLine(13, 9, 16, 9);
        });
    case command::Measurement:
        return Tile(other, [](QPainter& p) {
            p.drawLine(3, 13, 15, 5);
            p.drawEllipse(QPointF(3.5, 12.5), 1.5, 1.5);
            p.drawEllipse(QPointF(14.5, 5.5), 1.5, 1.5);
        });
    case command::ExportProject:
        return Tile(exporting, [](QPainter& p) {
            p.drawRect(QRectF(4, 4, 7, 9));
            p.drawRect(QRectF(7, 6, 7, 9));
        });
    case command::ExportVideo:
        return Tile(exporting, [](QPainter& p) {
            p.drawRect(QRectF(3, 5, 9, 8));
            p.drawLine(12, 8, 15, 6);
            p.drawLine(12, 10, 15, 12);
        });
    case command::ReportFile:
        return Tile(exporting, [](QPainter& p) {
            p.drawRect(QRectF(5, 3, 8, 12));
            p.drawLine(7, 7, 11, 7);
            p.drawLine(7, 10, 11, 10);
        });
    case command::CutWindow:
        return Tile(other, [](QPainter& p) {
            p.drawLine(3, 15, 15, 3);
            p.drawLine(3, 9, 15, 9);
        });
    default:
        return Tile(other, [](QPainter&) {});
    }
}

} // namespace quillmere
