#include "app/CClientArea.h"

#include "app/AppTexts.h"
#include "core/Messages.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

CClientArea::CClientArea(QWidget* parent) : QMdiArea(parent), background(BackgroundImage()) {
    if (background.isNull())
        ShowMessage(appTexts::BackgroundMissing, MessageIcon::Information);
}

QImage CClientArea::BackgroundImage() {
    QImage image(1770, 860, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, image.height());
    sky.setColorAt(0, QColor(170, 170, 255));
    sky.setColorAt(1, QColor(0, 0, 120));
    painter.fillRect(image.rect(), sky);
    // A formed cup in outline, the kind of part the program shows.
    painter.setPen(QPen(QColor(255, 255, 255, 60), 6));
    painter.setBrush(QColor(255, 255, 255, 25));
    QPainterPath cup;
    cup.moveTo(560, 300);
    cup.lineTo(1210, 300);
    cup.cubicTo(1180, 560, 1060, 640, 885, 640);
    cup.cubicTo(710, 640, 590, 560, 560, 300);
    painter.drawPath(cup);
    painter.drawEllipse(QPointF(885, 300), 325, 60);
    QFont font = painter.font();
    font.setPixelSize(72);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(255, 255, 255, 90));
    painter.drawText(QRect(0, 680, image.width(), 120), Qt::AlignHCenter | Qt::AlignTop,
                     QStringLiteral("Quillmere"));
    return image;
}

void CClientArea::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(viewport()->rect(), background);
}
