#include "ui/config/CGraphicalOptionsDialog.h"

#include "config/Colour.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

namespace quillmere {

namespace {

constexpr int kSwatchSize = 14;

QColor ToQColor(int colour) {
    const auto bytes = ColourBytes(colour);
    return QColor(bytes[0], bytes[1], bytes[2]);
}

int FromQColor(const QColor& colour) {
    return MakeColour(static_cast<uint8_t>(colour.red()), static_cast<uint8_t>(colour.green()),
                      static_cast<uint8_t>(colour.blue()));
}

// A filled square with a dark frame, so white and the dialog's grey differ.
QIcon SwatchIcon(int colour) {
    QPixmap pixmap(kSwatchSize, kSwatchSize);
    pixmap.fill(ToQColor(colour));
    QPainter painter(&pixmap);
    painter.setPen(QColor(64, 64, 64));
    painter.drawRect(0, 0, kSwatchSize - 1, kSwatchSize - 1);
    return QIcon(pixmap);
}

double SliderValue(const QSlider& slider, int position) {
    const int lo = slider.minimum(), hi = slider.maximum();
    return static_cast<double>(position - lo) / static_cast<double>(hi - lo);
}

// Truncated, not rounded: the position a stored value has always shown.
int SliderPosition(const QSlider& slider, double value) {
    const int lo = slider.minimum(), hi = slider.maximum();
    return static_cast<int>(static_cast<double>(hi - lo) * value + lo);
}

QToolButton* Toggle(const QString& text, const char* name, const QString& tip) {
    auto* button = new QToolButton;
    button->setText(text);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(tip);
    button->setCheckable(true);
    return button;
}

QCheckBox* TickBox(const QString& text, const char* name) {
    auto* box = new QCheckBox(text);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QLabel* Header(const QString& text) {
    auto* label = new QLabel(text);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

const DisplayField& FieldNamed(const QString& name) {
    const DisplayField* field = FindDisplayField(name.toStdString());
    Q_ASSERT(field);
    return *field;
}

QByteArray ToolName(int slot, const char* field) {
    return "tool" + QByteArray::number(slot) + field;
}

} // namespace

CGraphicalOptionsDialog::CGraphicalOptionsDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Graphical options"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    // A pressed toggle must read as "on" at a glance in every style.
    setStyleSheet(QStringLiteral("QToolButton:checked { background: palette(highlight); "
                                 "color: palette(highlighted-text); border: 1px solid palette(dark); "
                                 "border-radius: 2px; padding: 2px 4px; }"));

    chooseColour = [this](int& colour) {
        const QColor chosen = QColorDialog::getColor(ToQColor(colour), this);
        if (!chosen.isValid())
            return false;
        colour = FromQColor(chosen);
        return true;
    };

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildSheetGroup());
    layout->addWidget(BuildToolsGroup());

    auto* distance = TickBox(QStringLiteral("Distance measurement"), "distanceMeasurement");
    AddToggle(distance);
    auto* rotation = TickBox(QStringLiteral("Continual rotation on move"), "continualRotation");
    AddToggle(rotation);
    auto* ticks = new QHBoxLayout;
    ticks->addWidget(distance);
    ticks->addWidget(rotation);
    ticks->addStretch();
    layout->addLayout(ticks);
    layout->addWidget(BuildBackground());

    auto* buttons = new QHBoxLayout;
    auto* applyToAll = new QPushButton(QStringLiteral("Apply to all"));
    auto* save = new QPushButton(QStringLiteral("Save"));
    auto* close = new QPushButton(QStringLiteral("Close"));
    applyToAll->setObjectName(QStringLiteral("applyToAll"));
    save->setObjectName(QStringLiteral("save"));
    close->setObjectName(QStringLiteral("close"));
    buttons->addStretch();
    for (QPushButton* button : {applyToAll, save, close}) {
        // Return in a list or slider must not copy or save the settings.
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    connect(applyToAll, &QPushButton::clicked, this, &CGraphicalOptionsDialog::ApplyToAllRequested);
    connect(save, &QPushButton::clicked, this, &CGraphicalOptionsDialog::SaveRequested);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    editors.push_back(applyToAll);
    editors.push_back(save);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    Refresh();
}

void CGraphicalOptionsDialog::SetTarget(DisplaySettings* target, std::function<void()> onChange) {
    settings = target;
    changed = std::move(onChange);
    Refresh();
}

void CGraphicalOptionsDialog::Refresh() {
    for (QWidget* editor : editors)
        editor->setEnabled(settings != nullptr);
    if (settings) {
        for (auto& [button, field] : toggles) {
            const QSignalBlocker block(button);
            button->setChecked(field->integer(*settings) != 0);
        }
        for (auto& [swatch, field] : swatches)
            swatch->setIcon(SwatchIcon(field->integer(*settings)));
        for (auto& [list, field] : lists) {
            const QSignalBlocker block(list);
            list->setCurrentIndex(field->integer(*settings));
        }
        for (auto& [slider, field] : sliders) {
            const QSignalBlocker block(slider);
            slider->setValue(SliderPosition(*slider, field(*settings)));
        }
    }
    ShowSchemeControls();
}

QAbstractButton* CGraphicalOptionsDialog::AddToggle(QAbstractButton* button) {
    const IntField field = &FieldNamed(button->objectName());
    toggles.emplace_back(button, field);
    editors.push_back(button);
    connect(button, &QAbstractButton::clicked, this, [this, button, field] {
        if (!settings)
            return;
        const int value = field->integer(*settings) != 0 ? 0 : 1;
        field->setInteger(*settings, value);
        // A stored 2 shows ticked and becomes 0; the box follows the field.
        const QSignalBlocker block(button);
        button->setChecked(value != 0);
        Edited();
    });
    return button;
}

QToolButton* CGraphicalOptionsDialog::AddSwatch(const char* name, const QString& tip) {
    const IntField field = &FieldNamed(QString::fromLatin1(name));
    auto* swatch = new QToolButton;
    swatch->setObjectName(QString::fromLatin1(name));
    swatch->setToolTip(tip);
    swatch->setIconSize(QSize(kSwatchSize, kSwatchSize));
    swatches.emplace_back(swatch, field);
    editors.push_back(swatch);
    connect(swatch, &QToolButton::clicked, this, [this, swatch, field] {
        if (!settings || !chooseColour)
            return;
        // The chooser runs an event loop: the dialog may close or follow
        // another view meanwhile, and the colour then belongs to nobody.
        const QPointer<CGraphicalOptionsDialog> alive(this);
        DisplaySettings* const target = settings;
        int colour = field->integer(*target);
        if (!chooseColour(colour) || !alive || settings != target)
            return;
        field->setInteger(*target, colour);
        swatch->setIcon(SwatchIcon(colour));
        Edited();
    });
    return swatch;
}

QComboBox* CGraphicalOptionsDialog::AddList(const char* name, const QString& tip, const QStringList& items) {
    const IntField field = &FieldNamed(QString::fromLatin1(name));
    auto* list = new QComboBox;
    list->setObjectName(QString::fromLatin1(name));
    list->setToolTip(tip);
    list->addItems(items);
    lists.emplace_back(list, field);
    editors.push_back(list);
    connect(list, &QComboBox::currentIndexChanged, this, [this, field](int index) {
        if (!settings || index < 0)
            return;
        field->setInteger(*settings, index);
        Edited();
    });
    return list;
}

QSlider* CGraphicalOptionsDialog::AddSlider(const char* name, const QString& tip) {
    const DoubleField field = FieldNamed(QString::fromLatin1(name)).real;
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(QString::fromLatin1(name));
    slider->setToolTip(tip);
    slider->setRange(0, 100);
    slider->setPageStep(10);
    slider->setFixedWidth(110);
    sliders.emplace_back(slider, field);
    editors.push_back(slider);
    connect(slider, &QSlider::valueChanged, this, [this, slider, field](int position) {
        if (!settings)
            return;
        field(*settings) = SliderValue(*slider, position);
        Edited();
    });
    return slider;
}

QWidget* CGraphicalOptionsDialog::BuildSheetGroup() {
    auto* group = new QGroupBox(QStringLiteral("Sheet"));
    auto* sheet = new QHBoxLayout;
    sheet->addWidget(AddToggle(Toggle(QStringLiteral("SHEET"), "sheetShown", QStringLiteral("Sheet shown"))));
    sheet->addWidget(AddSwatch("sheetColour", QStringLiteral("Sheet color")));
    sheet->addWidget(AddSwatch("sheetEdgeColour", QStringLiteral("Edge color")));
    sheet->addWidget(AddList("sheetDisplayMode", QStringLiteral("Elements and edges, elements, edges"),
                             {QStringLiteral("EL+ED"), QStringLiteral("ELEMS"), QStringLiteral("EDGES")}));
    sheet->addStretch();
    sheet->addWidget(new QLabel(QStringLiteral("Opacity")));
    sheet->addWidget(AddSlider("sheetOpacity", QStringLiteral("Sheet opacity")));

    struct Marker {
        const char* text;
        const char* shownName;
        const char* colourName;
        const char* tip;
    };
    const Marker markers[] = {
        {"CLMP", "clampedNodesShown", "clampedNodeColour", "Clamped nodes"},
        {"FIX", "fixedNodesShown", "fixedNodeColour", "Fixed nodes"},
        {"BND", "boundaryNodesShown", "boundaryNodeColour", "Boundary nodes"},
        {"NP", "noPressureNodesShown", "noPressureNodeColour", "No-pressure nodes"},
    };
    auto* row = new QHBoxLayout;
    for (const Marker& marker : markers) {
        const QString tip = QString::fromLatin1(marker.tip);
        row->addWidget(AddToggle(Toggle(QString::fromLatin1(marker.text), marker.shownName, tip)));
        row->addWidget(AddSwatch(marker.colourName, tip + QStringLiteral(" color")));
        row->addSpacing(6);
    }
    row->addWidget(AddToggle(Toggle(QStringLiteral("PNTS"), "nodeDotsShown", QStringLiteral("Node dots"))));
    row->addStretch();
    auto* rows = new QVBoxLayout(group);
    rows->addLayout(sheet);
    rows->addLayout(row);
    return group;
}

QWidget* CGraphicalOptionsDialog::BuildToolsGroup() {
    auto* group = new QGroupBox(QStringLiteral("Tools"));
    auto* grid = new QGridLayout(group);
    grid->setVerticalSpacing(2);
    grid->addWidget(Header(QStringLiteral("Surface")), 0, 1);
    grid->addWidget(Header(QStringLiteral("Wire")), 0, 2);
    grid->addWidget(Header(QStringLiteral("Drawing")), 0, 3);
    grid->addWidget(Header(QStringLiteral("Contact")), 0, 4, 1, 2);
    grid->addWidget(Header(QStringLiteral("Opacity")), 0, 6);
    for (int slot = 0; slot < kToolSlots; ++slot) {
        const QString name = QStringLiteral("T%1").arg(slot + 1);
        const int row = slot + 1;
        auto* shown = TickBox(name, ToolName(slot, "Shown").constData());
        grid->addWidget(AddToggle(shown), row, 0);
        grid->addWidget(
            AddSwatch(ToolName(slot, "SurfaceColour").constData(), name + QStringLiteral(" surface color")),
            row, 1, Qt::AlignCenter);
        grid->addWidget(
            AddSwatch(ToolName(slot, "WireColour").constData(), name + QStringLiteral(" wire color")), row, 2,
            Qt::AlignCenter);
        grid->addWidget(AddList(ToolName(slot, "Mode").constData(),
                                name + QStringLiteral(": shaded, wire frame, shaded with wire frame"),
                                {QStringLiteral("SHD"), QStringLiteral("WIRE"), QStringLiteral("SH+WR")}),
                        row, 3);
        grid->addWidget(AddToggle(Toggle(QStringLiteral("CNT"), ToolName(slot, "ContactMarking").constData(),
                                         name + QStringLiteral(" contact marking"))),
                        row, 4);
        grid->addWidget(
            AddSwatch(ToolName(slot, "ContactColour").constData(), name + QStringLiteral(" contact color")),
            row, 5);
        grid->addWidget(AddSlider(ToolName(slot, "Opacity").constData(), name + QStringLiteral(" opacity")),
                        row, 6);
    }
    return group;
}

QWidget* CGraphicalOptionsDialog::BuildBackground() {
    auto* group = new QGroupBox(QStringLiteral("Background"));
    auto* row = new QHBoxLayout(group);
    row->addWidget(AddList("backgroundScheme", QStringLiteral("Background"),
                           {QStringLiteral("One color scheme"), QStringLiteral("Two colors scheme"),
                            QStringLiteral("Four colors scheme")}));
    row->addSpacing(12);

    const auto label = [](const QString& text, const char* name) {
        auto* l = new QLabel(text);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    // Each scheme's swatches sit where their colours go on the screen.
    QLabel* uniform = label(QStringLiteral("Uniform color"), "uniformLabel");
    QToolButton* colour = AddSwatch("backgroundColour", QStringLiteral("Background color"));
    row->addWidget(uniform);
    row->addWidget(colour);
    schemeControls[0] = {uniform, colour};

    QLabel* gradient = label(QStringLiteral("Vertical gradient"), "gradientLabel");
    QToolButton* top = AddSwatch("backgroundTop", QStringLiteral("Top color"));
    QToolButton* bottom = AddSwatch("backgroundBottom", QStringLiteral("Bottom color"));
    auto* column = new QVBoxLayout;
    column->setSpacing(0);
    column->addWidget(top);
    column->addWidget(bottom);
    row->addWidget(gradient);
    row->addLayout(column);
    schemeControls[1] = {gradient, top, bottom};

    QLabel* corners = label(QStringLiteral("Gradient from corners"), "cornersLabel");
    row->addWidget(corners);
    schemeControls[2] = {corners};
    auto* square = new QGridLayout;
    square->setSpacing(0);
    const char* names[4] = {"backgroundCorner0", "backgroundCorner1", "backgroundCorner2",
                            "backgroundCorner3"};
    const QString tips[4] = {QStringLiteral("Top left color"), QStringLiteral("Top right color"),
                             QStringLiteral("Bottom left color"), QStringLiteral("Bottom right color")};
    for (int corner = 0; corner < 4; ++corner) {
        QToolButton* swatch = AddSwatch(names[corner], tips[corner]);
        square->addWidget(swatch, corner / 2, corner % 2);
        schemeControls[2].push_back(swatch);
    }
    row->addLayout(square);
    row->addStretch();
    return group;
}

void CGraphicalOptionsDialog::ShowSchemeControls() {
    const int scheme = settings ? settings->backgroundScheme : -1;
    for (int shown = 0; shown < 3; ++shown)
        for (QWidget* control : schemeControls[shown])
            control->setVisible(shown == scheme);
}

void CGraphicalOptionsDialog::Edited() {
    ShowSchemeControls();
    if (changed)
        changed();
}

} // namespace quillmere
