#include "ui/inspect/CDistanceMeasurement.h"

#include "inspect/InspectTexts.h"

#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>

namespace quillmere {

namespace {

const QColor Background(255, 200, 184);

// The screen position of the first click, from the second click and the
// markers the two picks left in the view.
QPoint FirstClick(const CDataDisplay& first, const CDataDisplay& second, QPoint secondClick, QWidget* view) {
    const qreal ratio = view ? view->devicePixelRatioF() : 1.0;
    return secondClick + QPoint(qRound((first.markerX - second.markerX) / ratio),
                                qRound((first.markerY - second.markerY) / ratio));
}

} // namespace

CDistanceMeasurement::CDistanceMeasurement(const CDataDisplay& first, const CDataDisplay& second,
                                           const CConfiguration& configuration, QPoint globalPosition,
                                           QWidget* parent)
    // A tool window: above its view and without a task-bar button.
    : QDialog(parent, Qt::Tool), texts(BuildMeasurementTexts(first, second, configuration)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("distanceMeasurement"));
    setWindowTitle(QString::fromUtf8(inspectTexts::MeasurementTitle));
    QPalette colours = palette();
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button})
        colours.setColor(role, Background);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        colours.setColor(role, Qt::black);
    setPalette(colours);
    setAutoFillBackground(true);

    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(8);
    const char* const axes[3] = {"X:", "Y:", "Z:"};
    const char* const names[3] = {"X", "Y", "Z"};
    grid->addWidget(new QLabel(QString::fromUtf8(inspectTexts::StartPoint), this), 0, 0, 1, 3);
    for (int axis = 0; axis < 3; ++axis)
        AddValue(grid, 1 + axis, QString::fromLatin1(axes[axis]), texts.start[static_cast<size_t>(axis)],
                 QStringLiteral("start") + QLatin1String(names[axis]));
    grid->addWidget(new QLabel(QString::fromUtf8(inspectTexts::EndPoint), this), 4, 0, 1, 3);
    for (int axis = 0; axis < 3; ++axis)
        AddValue(grid, 5 + axis, QString::fromLatin1(axes[axis]), texts.end[static_cast<size_t>(axis)],
                 QStringLiteral("end") + QLatin1String(names[axis]));
    AddValue(grid, 8, QString::fromUtf8(inspectTexts::LinearDistance), texts.distance,
             QStringLiteral("distance"));
    grid->setSizeConstraint(QLayout::SetFixedSize);

    const QPoint firstClick = FirstClick(first, second, globalPosition, parent);
    const ScreenPoint corner =
        MeasurementWindowPosition({firstClick.x(), firstClick.y()}, {globalPosition.x(), globalPosition.y()});
    position = QPoint(corner.x, corner.y);
    move(position);
}

QLabel* CDistanceMeasurement::AddValue(QGridLayout* grid, int row, const QString& label,
                                       const std::string& value, const QString& name) {
    grid->addWidget(new QLabel(label, this), row, 0);
    auto* text = new QLabel(QString::fromStdString(value), this);
    text->setObjectName(name);
    text->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    text->setTextInteractionFlags(Qt::NoTextInteraction);
    grid->addWidget(text, row, 1);
    auto* unit = new QLabel(QString::fromStdString(texts.unit), this);
    unit->setObjectName(name + QStringLiteral("Unit"));
    grid->addWidget(unit, row, 2);
    return text;
}

CDistanceMeasurement* CDistanceMeasurement::Open(const CDataDisplay& first, const CDataDisplay& second,
                                                 const CConfiguration& configuration, QPoint globalPosition,
                                                 QWidget* view) {
    if (view) {
        if (auto* open = view->findChild<CDistanceMeasurement*>(QString(), Qt::FindDirectChildrenOnly)) {
            open->raise();
            open->activateWindow();
            return open;
        }
    }
    if (!MeasurementPossible(first, second))
        return nullptr;
    auto* window = new CDistanceMeasurement(first, second, configuration, globalPosition, view);
    window->show();
    return window;
}

void CDistanceMeasurement::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    move(position);
    activateWindow();
    setFocus(Qt::OtherFocusReason);
    grabMouse();
}

void CDistanceMeasurement::hideEvent(QHideEvent* event) {
    releaseMouse();
    QDialog::hideEvent(event);
}

void CDistanceMeasurement::mousePressEvent(QMouseEvent* event) {
    // The window holds the mouse: a press anywhere waits for its release.
    event->accept();
}

void CDistanceMeasurement::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::RightButton)
        close();
}

void CDistanceMeasurement::done(int result) {
    emit MarkersToRemove();
    QDialog::done(result);
}

} // namespace quillmere
