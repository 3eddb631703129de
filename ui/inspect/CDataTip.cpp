#include "ui/inspect/CDataTip.h"

#include <QFontMetrics>
#include <QPainter>
#include <QToolTip>

namespace quillmere {

CDataTip::CDataTip(const CConfiguration& tipConfiguration, QWidget* view)
    : QWidget(view, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      configuration(tipConfiguration), font(QStringLiteral("Arial")) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setObjectName(QStringLiteral("dataTip"));
    font.setPixelSize(12);
    font.setWeight(QFont::Normal);
    resize(400, 200);
    timer.setSingleShot(true);
    timer.setInterval(kDataTipPeriodMs);
    connect(&timer, &QTimer::timeout, this, &CDataTip::HidePick);
}

void CDataTip::ShowPick(const CDataDisplay& record, QPoint globalPointer,
                        const std::vector<std::string>& comparisonLines) {
    timer.stop();
    anchor = globalPointer;
    timer.start();
    for (QString& line : lines)
        line.clear();
    std::vector<std::string> texts = DataTipLines(record, configuration);
    if (!texts.empty())
        texts.insert(texts.end(), comparisonLines.begin(), comparisonLines.end());
    // A pick of the reserved kind leaves the lines empty and their number
    // as it was.
    if (!texts.empty())
        lineCount = static_cast<int>(texts.size());
    for (size_t i = 0; i < texts.size() && i < lines.size(); ++i)
        lines[i] = QString::fromStdString(texts[i]);

    const QFontMetrics metrics(font);
    std::vector<TipExtent> extents;
    for (int i = 0; i < lineCount; ++i)
        extents.push_back({metrics.horizontalAdvance(lines[static_cast<size_t>(i)]), metrics.height()});
    tallest = 0;
    for (const TipExtent& extent : extents)
        tallest = std::max(tallest, extent.height);
    const TipExtent size = DataTipSize(extents);
    const ScreenPoint position = DataTipPosition({globalPointer.x(), globalPointer.y()});
    setGeometry(position.x, position.y, size.width, size.height);
    update();
    show();
}

void CDataTip::HidePick() {
    timer.stop();
    hide();
}

QStringList CDataTip::Lines() const {
    QStringList inUse;
    for (int i = 0; i < lineCount; ++i)
        inUse << lines[static_cast<size_t>(i)];
    return inUse;
}

void CDataTip::paintEvent(QPaintEvent*) {
    const QPalette palette = QToolTip::palette();
    QPainter painter(this);
    painter.fillRect(rect(), palette.color(QPalette::ToolTipBase));
    painter.setPen(palette.color(QPalette::ToolTipText));
    // The thin border of a pop-up.
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setFont(font);
    const QFontMetrics metrics(font);
    for (int i = 0; i < lineCount; ++i)
        painter.drawText(2, DataTipLineTop(tallest, i) + metrics.ascent(), lines[static_cast<size_t>(i)]);
}

} // namespace quillmere
