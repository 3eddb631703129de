#include "app/CClientArea.h"

#include "app/AppTexts.h"
#include "core/Messages.h"
#include "messages/MessageText.h"

#include <QLinearGradient>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace quillmere {

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

QList<QMdiSubWindow*> CClientArea::Arranged() {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : subWindowList(QMdiArea::StackingOrder)) {
        if (window->isHidden() || window->isMinimized())
            continue;
        if (window->isMaximized())
            window->showNormal();
        windows << window;
    }
    return windows;
}

void CClientArea::Tile() {
    const QList<QMdiSubWindow*> windows = Arranged();
    const int count = static_cast<int>(windows.size());
    if (count == 0)
        return;
    const QRect free = viewport()->rect();
    const int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
    const int rows = (count + columns - 1) / columns;
    for (int k = 0; k < count; ++k) {
        const int row = k / columns, column = k % columns;
        // The last row's windows share its whole width.
        const int across = row == rows - 1 ? count - row * columns : columns;
        const QPoint topLeft(free.width() * column / across, free.height() * row / rows);
        const QPoint next(free.width() * (column + 1) / across, free.height() * (row + 1) / rows);
        windows[k]->setGeometry(QRect(topLeft, next - QPoint(1, 1)));
    }
}

void CClientArea::Cascade() {
    const QList<QMdiSubWindow*> windows = Arranged();
    const int count = static_cast<int>(windows.size());
    if (count == 0)
        return;
    const QRect free = viewport()->rect();
    const int step = Step();
    const QSize size(std::max(free.width() - (count - 1) * step, free.width() * 2 / 3),
                     std::max(free.height() - (count - 1) * step, free.height() * 2 / 3));
    // More windows than steps start again at the top left.
    const int places =
        1 + std::min(free.width() - size.width(), free.height() - size.height()) / std::max(step, 1);
    for (int k = 0; k < count; ++k) {
        windows[k]->setGeometry(QRect(QPoint(k % places, k % places) * step, size));
        windows[k]->raise();
    }
}

int CClientArea::Step() {
    return style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this) + 4;
}

QRect CClientArea::NewWindowPlace() {
    const QRect free = viewport()->rect();
    const QSize size(free.width() * 2 / 3, free.height() * 2 / 3);
    QPoint place(0, 0);
    const QMdiSubWindow* active = currentSubWindow();
    if (active && !active->isMaximized() && !active->isMinimized())
        place = active->pos() + QPoint(Step(), Step());
    if (!free.contains(QRect(place, size)))
        place = QPoint(0, 0);
    return QRect(place, size);
}

void CClientArea::ListWindows(QMenu& menu, QAction* after) {
    const QList<QAction*> actions = menu.actions();
    for (qsizetype k = actions.indexOf(after) + 1; k < actions.size(); ++k)
        delete actions[k];
    int number = 0;
    for (QMdiSubWindow* window : subWindowList()) {
        ++number;
        QString title = window->windowTitle();
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* entry = menu.addAction(number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(title)
                                                    : QStringLiteral("%1 %2").arg(number).arg(title));
        entry->setCheckable(true);
        entry->setChecked(window == currentSubWindow());
        connect(entry, &QAction::triggered, this, [this, shown = QPointer<QMdiSubWindow>(window)] {
            if (shown)
                setActiveSubWindow(shown);
        });
    }
}

} // namespace quillmere
