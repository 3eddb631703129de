#include "app/CNavigationBar.h"

#include "app/AppTexts.h"
#include "app/CommandIds.h"
#include "core/TextFormat.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QToolButton>

namespace quillmere {

namespace {

// A 30 x 10 button image: a triangle pointing left or right (arrow -1 or 1),
// with a bar at the end it points to (bars 1) for start and end.
QPixmap ArrowImage(int arrow, int bars) {
    QPixmap image(30, 10);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(40, 70, 140));
    painter.setPen(Qt::NoPen);
    const qreal tip = arrow > 0 ? 20 : 10, base = arrow > 0 ? 10 : 20;
    QPainterPath triangle;
    triangle.moveTo(base, 0.5);
    triangle.lineTo(tip, 5);
    triangle.lineTo(base, 9.5);
    triangle.closeSubpath();
    painter.drawPath(triangle);
    if (bars)
        painter.drawRect(QRectF(arrow > 0 ? 21 : 7, 0.5, 2, 9));
    return image;
}

} // namespace

CNavigationBar::CNavigationBar(QWidget* parent)
    : QWidget(parent), recordBox(new QLineEdit(this)), count(new QLabel(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(4);
    layout->addWidget(Button(command::GoToStart, QStringLiteral("Go to start"), -1, 1));
    layout->addWidget(Button(command::PreviousRecord, QStringLiteral("Load previous project record"), -1, 0));
    layout->addWidget(Button(command::NextRecord, QStringLiteral("Load next project record"), 1, 0));
    layout->addWidget(Button(command::GoToEnd, QStringLiteral("Go to end"), 1, 1));
    recordBox->setToolTip(QString::fromUtf8(appTexts::RecordBoxTip));
    recordBox->setMaximumWidth(70);
    recordBox->setObjectName(QStringLiteral("record"));
    layout->addWidget(recordBox);
    auto* load = new QPushButton(QStringLiteral("Load"), this);
    load->setToolTip(QStringLiteral("Load new record/reload current record"));
    load->setStatusTip(load->toolTip());
    load->setObjectName(QStringLiteral("load"));
    layout->addWidget(load);
    count->setObjectName(QStringLiteral("count"));
    layout->addWidget(count, 1);
    connect(load, &QPushButton::clicked, this, [this] { emit Command(command::LoadRecord); });
    connect(recordBox, &QLineEdit::returnPressed, this, [this] { emit Command(command::LoadRecord); });
}

QToolButton* CNavigationBar::Button(int id, const QString& tip, int arrow, int bars) {
    auto* button = new QToolButton(this);
    button->setIcon(ArrowImage(arrow, bars));
    button->setIconSize(QSize(30, 10));
    button->setToolTip(tip);
    button->setStatusTip(tip);
    button->setObjectName(QStringLiteral("command%1").arg(id));
    connect(button, &QToolButton::clicked, this, [this, id] { emit Command(id); });
    return button;
}

void CNavigationBar::SetRecord(int record) {
    recordBox->setText(QString::fromStdString(FormatText("%d", record)));
}

QString CNavigationBar::RecordText() const {
    return recordBox->text();
}

void CNavigationBar::SetRecordText(const QString& text) {
    recordBox->setText(text);
}

void CNavigationBar::SetRecordCount(int records) {
    count->setText(QString::fromStdString(FormatText(appTexts::ProjectRecords, records)));
}

QString CNavigationBar::CountText() const {
    return count->text();
}

} // namespace quillmere
