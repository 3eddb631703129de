#include "ui/scale/CScalePanel.h"

#include "scale/Presentation.h"
#include "ui/scale/CRotationCube.h"

#include <QAction>
#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace quillmere {

namespace {

constexpr int BarWidth = 38, BarHeight = 157;
constexpr int TickLength = 3;
constexpr int LabelGap = 5;

const char* const ViewLabels[10] = {"XYZ view", "XY view", "YZ view",  "XZ view",    "Zoom Box",
                                    "Zoom Fit", "Zoom In", "Zoom Out", "Zoom E-Box", "Del E-Box"};
const char* const PickLabels[3] = {"3D Point Info", "Element Info", "Node Info"};

// A cube seen from its corner.
void DrawCubeIcon(QPainter& p) {
    QPainterPath cube;
    cube.moveTo(9, 2);
    cube.lineTo(15.5, 5.5);
    cube.lineTo(15.5, 12.5);
    cube.lineTo(9, 16);
    cube.lineTo(2.5, 12.5);
    cube.lineTo(2.5, 5.5);
    cube.closeSubpath();
    cube.moveTo(2.5, 5.5);
    cube.lineTo(9, 9);
    cube.lineTo(15.5, 5.5);
    cube.moveTo(9, 9);
    cube.lineTo(9, 16);
    p.fillPath(cube, QColor(200, 215, 240));
    p.drawPath(cube);
}

// Four corners drawn in around a square.
void DrawFitIcon(QPainter& p) {
    for (int cx : {0, 1})
        for (int cy : {0, 1}) {
            const double x = cx ? 15.5 : 2.5, y = cy ? 15.5 : 2.5;
            const double dx = cx ? -4 : 4, dy = cy ? -4 : 4;
            p.drawLine(QPointF(x, y), QPointF(x + dx, y));
            p.drawLine(QPointF(x, y), QPointF(x, y + dy));
        }
    p.fillRect(QRectF(6.5, 6.5, 5, 5), QColor(60, 110, 200));
}

// The toolbar pictures, 18 x 18, drawn here instead of stored.
QIcon ViewIcon(int position) {
    QPixmap pixmap(18, 18);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(40, 40, 40);
    p.setPen(QPen(ink, 1.2));
    auto magnifier = [&](const char* sign) {
        p.drawEllipse(QRectF(2.5, 2.5, 9, 9));
        p.setPen(QPen(ink, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(10.5, 10.5), QPointF(15.5, 15.5));
        p.setPen(QPen(ink, 1.4));
        p.drawLine(QPointF(4.5, 7), QPointF(9.5, 7));
        if (sign[0] == '+')
            p.drawLine(QPointF(7, 4.5), QPointF(7, 9.5));
    };
    auto axes = [&](const char* text) {
        p.drawRect(QRectF(2.5, 2.5, 13, 13));
        QFont font = p.font();
        font.setPixelSize(7);
        font.setBold(true);
        p.setFont(font);
        p.drawText(QRectF(1, 1, 16, 16), Qt::AlignCenter, QString::fromLatin1(text));
    };
    const QPen dashed(QColor(30, 30, 120), 1, Qt::DashLine);
    switch (position) {
    case 0:
        DrawCubeIcon(p);
        break;
    case 1:
        axes("XY");
        break;
    case 2:
        axes("YZ");
        break;
    case 3:
        axes("XZ");
        break;
    case 4:
        p.setPen(dashed);
        p.drawRect(QRectF(2.5, 4.5, 13, 9));
        break;
    case 5:
        DrawFitIcon(p);
        break;
    case 6:
        magnifier("+");
        break;
    case 7:
        magnifier("-");
        break;
    case 8:
        p.fillRect(QRectF(5, 6.5, 8, 5), QColor(60, 110, 200));
        p.setPen(dashed);
        p.drawRect(QRectF(2.5, 4.5, 13, 9));
        break;
    default:
        p.setPen(dashed);
        p.drawRect(QRectF(2.5, 4.5, 13, 9));
        p.setPen(QPen(QColor(200, 30, 30), 2));
        p.drawLine(QPointF(5, 5), QPointF(13, 13));
        p.drawLine(QPointF(13, 5), QPointF(5, 13));
        break;
    }
    return QIcon(pixmap);
}

int PickIndex(int mode) {
    for (size_t i = 0; i < CScalePanel::PickModes.size(); ++i)
        if (CScalePanel::PickModes[i] == mode)
            return static_cast<int>(i);
    return -1;
}

} // namespace

QImage ColourBarImage(const Presentation& shown, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int row = 0; row < height; ++row) {
        // 33 bands of equal height, one per colour of the ramp.
        const int band = std::min(row * ColourRamp::Size / std::max(height, 1), ColourRamp::LastIndex);
        const RgbColour c = shown.bands[static_cast<size_t>(band)];
        const QRgb rgb = qRgb(c.red, c.green, c.blue);
        for (int column = 0; column < width; ++column)
            image.setPixel(column, row, rgb);
    }
    return image;
}

// The bar picture with its tick marks and the five labels beside them.
class CColourBar : public QWidget {
public:
    explicit CColourBar(QWidget* parent) : QWidget(parent) {
        const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        for (QLabel*& label : labels) {
            label = new QLabel(QStringLiteral("0.0"), this);
            label->setFont(fixed);
        }
        labelHeight = QFontMetrics(fixed).height();
        labelWidth = QFontMetrics(fixed).horizontalAdvance(QStringLiteral("-0000.000 inch")) + 4;
        setFixedSize(BarLeft + BarWidth + LabelGap + labelWidth, BarTop() + BarHeight + labelHeight / 2 + 1);
        PlaceLabels();
    }

    void Show(const Presentation& shown) {
        image = ColourBarImage(shown, BarWidth, BarHeight);
        for (size_t k = 0; k < labels.size(); ++k)
            labels[k]->setText(QString::fromStdString(shown.labels[k]));
        update();
    }
    QString Text(int k) const { return labels[static_cast<size_t>(k)]->text(); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawImage(BarLeft, BarTop(), image);
        painter.setPen(palette().color(QPalette::WindowText));
        const int right = BarLeft + BarWidth;
        for (int k = 0; k < ScaleLabelCount; ++k) {
            const int y = BarTop() + k * (BarHeight / 4);
            painter.drawLine(right, y, right + TickLength, y);
        }
    }

private:
    static constexpr int BarLeft = 2;
    int BarTop() const { return labelHeight / 2; }

    // Each label centred on its tick mark, 5 pixels right of the bar.
    void PlaceLabels() {
        for (size_t k = 0; k < labels.size(); ++k) {
            const int tick = BarTop() + static_cast<int>(k) * (BarHeight / 4);
            labels[k]->setGeometry(BarLeft + BarWidth + LabelGap, tick - labelHeight / 2, labelWidth,
                                   labelHeight);
        }
    }

    QImage image;
    std::array<QLabel*, ScaleLabelCount> labels{};
    int labelHeight = 0;
    int labelWidth = 0;
};

CScalePanel::CScalePanel(bool wide, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("scalePanel"));
    BuildLists();
    cube = new CRotationCube(this);
    const int cubeSide = wide ? 180 : 128;
    cube->setFixedSize(cubeSide, cubeSide);
    colourBar = new CColourBar(this);
    limitsButton = new QPushButton(QStringLiteral("Limits"), this);
    limitsButton->setObjectName(QStringLiteral("limitsButton"));
    minimumWallButton = new QPushButton(QStringLiteral("Minimum wall\u2026"), this);
    minimumWallButton->setObjectName(QStringLiteral("minimumWallButton"));
    BuildMinimumWallRow();
    compareButton = new QPushButton(this);
    compareButton->setObjectName(QStringLiteral("compareButton"));
    title = new QLabel(this);
    title->setObjectName(QStringLiteral("scaleTitle"));
    title->setWordWrap(true);
    title->hide();
    BuildViewToolBar();
    LayOut(wide);
    ConnectSignals();
    ClearView();
}

void CScalePanel::BuildLists() {
    // The quantity list is the panel's first list: created before the other.
    profileList = new QComboBox(this);
    profileList->setObjectName(QStringLiteral("profileList"));
    profileList->addItem(QString::fromUtf8(QuantityName(ResultQuantity::None)));
    for (ResultQuantity q : ValueQuantities())
        profileList->addItem(QString::fromUtf8(QuantityName(q)));
    pickList = new QComboBox(this);
    pickList->setObjectName(QStringLiteral("pickList"));
    for (const char* label : PickLabels)
        pickList->addItem(QString::fromLatin1(label));
}

void CScalePanel::BuildMinimumWallRow() {
    // The swatch of the warning colour beside the share of the area below
    // the wall, shown while the view marks one.
    minimumWall = new QWidget(this);
    auto* swatch = new QLabel(minimumWall);
    QPixmap colour(14, 14);
    colour.fill(QColor(MinimumWallColour.red, MinimumWallColour.green, MinimumWallColour.blue));
    swatch->setPixmap(colour);
    minimumWallText = new QLabel(minimumWall);
    minimumWallText->setObjectName(QStringLiteral("minimumWallText"));
    minimumWallText->setWordWrap(true);
    auto* wallLayout = new QHBoxLayout(minimumWall);
    wallLayout->setContentsMargins(2, 0, 0, 0);
    wallLayout->addWidget(swatch, 0, Qt::AlignTop);
    wallLayout->addWidget(minimumWallText, 1);
    minimumWall->hide();
}

void CScalePanel::LayOut(bool wide) {
    auto* profileLabel = new QLabel(QStringLiteral(" Profile"), this);
    auto* pickLabel = new QLabel(QStringLiteral(" Shift + right button"), this);

    auto* controls = new QVBoxLayout;
    controls->setContentsMargins(0, 0, 0, 0);
    controls->addWidget(cube, 0, Qt::AlignHCenter);
    controls->addWidget(profileLabel);
    controls->addWidget(profileList);
    controls->addSpacing(4);
    controls->addWidget(title);
    controls->addWidget(colourBar, 0, Qt::AlignLeft);
    controls->addWidget(minimumWall);
    controls->addSpacing(4);
    controls->addWidget(limitsButton);
    controls->addWidget(minimumWallButton);
    controls->addWidget(compareButton);
    controls->addSpacing(4);
    controls->addWidget(pickLabel);
    controls->addWidget(pickList);
    controls->addStretch(1);

    // The wide layout carries the toolbar across the top; the narrow one
    // keeps the panel slim with the toolbar standing beside the controls.
    if (wide) {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(6, 4, 6, 6);
        layout->addWidget(viewBar);
        layout->addLayout(controls, 1);
    } else {
        viewBar->setOrientation(Qt::Vertical);
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(2, 4, 4, 4);
        layout->setSpacing(4);
        layout->addWidget(viewBar, 0, Qt::AlignTop);
        layout->addLayout(controls, 1);
    }
}

void CScalePanel::ConnectSignals() {
    // The view chosen presents the quantity, and the panel shows that.
    connect(profileList, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int index) {
        const std::optional<ResultQuantity> chosen = QuantityFromNumber(index);
        if (!chosen)
            return;
        quantity = *chosen;
        emit QuantityChosen(quantity);
    });
    connect(pickList, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int index) {
        if (index >= 0)
            emit PickModeChosen(PickModes[static_cast<size_t>(index)]);
    });
    connect(limitsButton, &QPushButton::clicked, this, &CScalePanel::LimitsRequested);
    connect(minimumWallButton, &QPushButton::clicked, this, &CScalePanel::MinimumWallRequested);
    connect(compareButton, &QPushButton::clicked, this,
            [this] { comparing ? emit StopComparingRequested() : emit CompareRequested(); });
    connect(cube, &CRotationCube::Dragged, this, &CScalePanel::OrientationDragged);
    connect(cube, &CRotationCube::DragFinished, this, &CScalePanel::OrientationDragFinished);
}

void CScalePanel::BuildViewToolBar() {
    viewBar = new QToolBar(QStringLiteral("View"), this);
    viewBar->setObjectName(QStringLiteral("viewBar"));
    viewBar->setIconSize(QSize(18, 18));
    viewBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    viewBar->setMovable(false);
    viewBar->setFloatable(false);
    for (size_t position = 0; position < ViewCommands.size(); ++position) {
        if (position % 2 == 1)
            viewBar->addSeparator();
        const int command = ViewCommands[position];
        QAction* action = viewBar->addAction(ViewIcon(static_cast<int>(position)),
                                             QString::fromLatin1(ViewLabels[position]));
        action->setToolTip(action->text());
        action->setData(command);
        connect(action, &QAction::triggered, this, [this, command] { emit ViewCommand(command); });
        if (position + 1 == ViewCommands.size())
            removeClipPlanes = action;
    }
    removeClipPlanes->setEnabled(false);
}

void CScalePanel::SetQuantityShown(ResultQuantity shown) {
    const QSignalBlocker blocker(profileList);
    profileList->setCurrentIndex(QuantityNumber(shown));
}

void CScalePanel::ShowView(ResultQuantity viewQuantity, int pickMode) {
    profileList->setEnabled(true);
    pickList->setEnabled(true);
    limitsButton->setEnabled(true);
    minimumWallButton->setEnabled(true);
    compareButton->setEnabled(true);
    viewBar->setEnabled(true);
    quantity = viewQuantity;
    SetQuantityShown(quantity);
    const QSignalBlocker blocker(pickList);
    pickList->setCurrentIndex(PickIndex(pickMode));
}

void CScalePanel::ClearView() {
    ShowPresentation(MakePresentation(PresentationSource()));
    profileList->setEnabled(false);
    pickList->setEnabled(false);
    limitsButton->setEnabled(false);
    minimumWallButton->setEnabled(false);
    compareButton->setEnabled(false);
    viewBar->setEnabled(false);
}

void CScalePanel::ShowPresentation(const Presentation& shown) {
    quantity = shown.quantity;
    SetQuantityShown(quantity);
    colourBar->Show(shown);
    comparing = shown.Difference();
    title->setText(comparing ? QString::fromStdString(shown.title) : QString());
    title->setVisible(comparing);
    compareButton->setText(comparing ? QStringLiteral("Stop comparing")
                                     : QStringLiteral("Compare with\u2026"));
    minimumWallText->setText(QString::fromStdString(shown.minimumWall.line));
    minimumWall->setVisible(!shown.minimumWall.line.empty());
}

void CScalePanel::SetOrientation(const Quaternion& q) {
    cube->SetOrientation(q);
}

QString CScalePanel::Title() const {
    return title->text();
}

QString CScalePanel::MinimumWallText() const {
    return minimumWallText->text();
}

QString CScalePanel::LabelText(int k) const {
    return k >= 0 && k < ScaleLabelCount ? colourBar->Text(k) : QString();
}

void CScalePanel::SetRemoveClipPlanesEnabled(bool enabled) {
    removeClipPlanes->setEnabled(enabled);
}

} // namespace quillmere
