#include "app/SplashImages.h"

#include <QLinearGradient>
#include <QPainter>

namespace quillmere {

namespace {

QImage Banner(int width, int height, const QString& line) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, width, height);
    gradient.setColorAt(0, QColor(0, 0, 206));
    gradient.setColorAt(1, QColor(170, 170, 255));
    painter.fillRect(image.rect(), gradient);
    // The colour ramp of the thickness scale along the bottom.
    for (int i = 0; i < 33; ++i) {
        const int k = i <= 16 ? 0 : i - 16;
        const QColor colour = i <= 16 ? QColor(255, 15 * i, 0) : QColor(255 - 15 * k, 255 - 15 * k, 15 * k);
        painter.fillRect(QRectF(i * width / 33.0, height - 14, width / 33.0 + 1, 14), colour);
    }
    QFont font = painter.font();
    font.setPixelSize(48);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(24, 30, width - 48, 70), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Quillmere"));
    font.setPixelSize(16);
    font.setBold(false);
    painter.setFont(font);
    painter.drawText(QRect(26, 100, width - 52, 70), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, line);
    return image;
}

} // namespace

QImage SplashImage() {
    return Banner(501, 211, QStringLiteral("Post-processing of solved thermoforming projects"));
}

QImage AboutImage() {
    return Banner(502, 211, QStringLiteral("Post-processing of solved thermoforming projects"));
}

} // namespace quillmere
