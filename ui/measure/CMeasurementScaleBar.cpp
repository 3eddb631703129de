#include "ui/measure/CMeasurementScaleBar.h"

#include <QFontMetrics>
#include <QPainter>

namespace quillmere {

namespace {
constexpr int Margin = 6;
constexpr int BarWidth = 14;
constexpr int Width = 112;
} // namespace

CMeasurementScaleBar::CMeasurementScaleBar(QWidget* parent) : QWidget(parent) {
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    setFont(small);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    hide();
}

void CMeasurementScaleBar::ShowScale(const MeasurementScale* shown) {
    if (!shown) {
        hide();
        return;
    }
    scale = *shown;
    setToolTip(QString::fromStdString(scale.title));
    show();
    update();
}

QSize CMeasurementScaleBar::sizeHint() const {
    return QSize(Width, 200);
}

void CMeasurementScaleBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const QFontMetrics metrics(font());
    // The title over as many lines as it needs.
    const QRect titleBox = metrics.boundingRect(QRect(Margin, Margin, width() - 2 * Margin, height()),
                                                Qt::TextWordWrap, QString::fromStdString(scale.title));
    painter.setPen(palette().windowText().color());
    painter.drawText(titleBox, Qt::TextWordWrap, QString::fromStdString(scale.title));
    const int top = titleBox.bottom() + Margin + metrics.height() / 2;
    const int barHeight = std::min(height() - top - Margin - metrics.height() / 2, 240);
    if (barHeight < 3 * metrics.height())
        return;
    const QRect bar(Margin, top, BarWidth, barHeight);
    for (int row = 0; row < barHeight; ++row) {
        const int band = std::min(row * ColourRamp::Size / barHeight, ColourRamp::LastIndex);
        const RgbColour c = scale.bands[static_cast<size_t>(band)];
        painter.setPen(QColor(c.red, c.green, c.blue));
        painter.drawLine(bar.left(), top + row, bar.right(), top + row);
    }
    painter.setPen(palette().windowText().color());
    painter.drawRect(bar.adjusted(0, 0, -1, -1));
    for (size_t k = 0; k < scale.labels.size(); ++k) {
        const int y = top + static_cast<int>(k) * (barHeight - 1) / 4;
        painter.drawLine(bar.right() + 1, y, bar.right() + 3, y);
        painter.drawText(QPoint(bar.right() + 6, y + metrics.ascent() / 2 - 1),
                         QString::fromStdString(scale.labels[k]).trimmed());
    }
}

} // namespace quillmere
