#include "ui/cut/CCutDialog.h"

#include "config/CConfiguration.h"
#include "core/Messages.h"
#include "core/TextFormat.h"
#include "cut/CutComputation.h"
#include "cut/ProfileCsv.h"
#include "messages/MessageText.h"
#include "model/CProjectProfile.h"
#include "scale/Presentation.h"
#include "scale/ResultQuantity.h"
#include "session/CSession.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace quillmere {

namespace {

// The graph area's distance from the window's left edge.
constexpr int GraphLeft = 8;
// The height of characters on the printed page, in its device units.
constexpr int PrintedCharacterHeight = 24;

QString Text(const std::string& text) {
    return QString::fromUtf8(text.c_str());
}

QString NumberText(double number) {
    return Text(FormatText("%.15g", number));
}

bool TakeNumber(const QLineEdit* edit, double& number) {
    return ParseWholeNumber(edit->text().trimmed().toUtf8().constData(), number);
}

// Makes a field at least wide enough to show the whole of its text: the
// text, the line edit's own margin of 2 each side, the cursor's 2 beyond the
// text, the text margins and the style's frame.
void FitToText(QLineEdit* edit) {
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth =
        edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    const QFontMetrics metrics = edit->fontMetrics();
    const QMargins margins = edit->textMargins();
    const QSize text(metrics.horizontalAdvance(edit->text()) + 6 + margins.left() + margins.right(),
                     metrics.height());
    edit->setMinimumWidth(edit->style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, edit).width());
}

} // namespace

CCutGraph::CCutGraph(CCutDialog& owner, QWidget* parent) : QWidget(parent), dialog(owner) {
    setObjectName("graph");
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CCutGraph::SetMarkerColumn(int column) {
    if (column == markerColumn)
        return;
    markerColumn = column;
    update();
}

void CCutGraph::Invalidate() {
    drawn = QImage();
    update();
}

void CCutGraph::paintEvent(QPaintEvent*) {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    if (drawn.size() != pixels) {
        drawn = QImage(pixels, QImage::Format_RGB32);
        drawn.setDevicePixelRatio(ratio);
        QPainter painter(&drawn);
        Draw(painter, rect(), font());
    }
    QPainter painter(this);
    painter.drawImage(0, 0, drawn);
    if (markerColumn != NoMarker) {
        // Inverted, so that the curve and the grid stay visible under it.
        const CPixelRect plot = dialog.PlotOfGraphArea();
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.setPen(QPen(Qt::black, 1));
        painter.drawLine(markerColumn, plot.top, markerColumn, plot.bottom);
    }
}

void CCutGraph::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        dialog.Press(event->position().toPoint());
}

void CCutGraph::mouseMoveEvent(QMouseEvent* event) {
    if (dialog.Dragging())
        dialog.Move(event->position().toPoint());
}

void CCutGraph::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && dialog.Dragging())
        dialog.Release();
}

void CCutGraph::Draw(QPainter& painter, const QRect& area, const QFont& font) const {
    const CCutSession* cut = dialog.cut;
    const CConfiguration& configuration = dialog.configuration;
    painter.save();
    painter.fillRect(area, dialog.palette().color(QPalette::Button));
    painter.setFont(font);
    const QFontMetrics metrics(font, painter.device());
    painter.setPen(Qt::black);
    if (!cut->HasPoints()) {
        painter.drawText(QRect(area.left(), area.top() + area.height() / 2, area.width(), area.height() / 2),
                         Qt::AlignHCenter | Qt::AlignTop, NoCutText);
        painter.restore();
        return;
    }
    const QPen frame(Qt::black, 1, Qt::SolidLine), dotted(Qt::black, 1, Qt::DotLine),
        plotFrame(Qt::black, 2, Qt::SolidLine), curve(QColor(0, 0, 255), 1, Qt::SolidLine);

    painter.setPen(frame);
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    const int h = metrics.height(), ascent = metrics.ascent();
    const auto width = [&](const std::string& label) { return metrics.horizontalAdvance(Text(label)); };
    const CPixelRect plot =
        GraphPlot({area.left(), area.top(), area.left() + area.width(), area.top() + area.height()}, h,
                  cut->GraphLimits, width);
    const CGraphMapping mapping(plot, cut->GraphLimits);

    const QString xTitle = Text(XAxisTitle(configuration));
    const int middle = (plot.left + plot.right) / 2;
    painter.drawText(QPoint(middle - metrics.horizontalAdvance(xTitle) / 2,
                            plot.bottom + static_cast<int>(0.875 * h) + ascent),
                     xTitle);
    const CTextPlace yTitle = YTitlePlace(plot, h);
    PresentationSource axis;
    axis.quantity = cut->ProfileQuantity;
    axis.units = &configuration;
    const std::string yText = MakePresentation(axis).axisTitle;
    painter.drawText(QPoint(yTitle.x, yTitle.baseline),
                     Text(cut->Made.difference ? "\xCE\x94 " + yText : yText));
    const QString caption = Text(cut->GraphCaption(configuration));
    const CTextPlace captionPlace = CaptionPlace(plot, h, metrics.horizontalAdvance(caption));
    painter.drawText(QPoint(captionPlace.x, captionPlace.baseline), caption);

    painter.setPen(dotted);
    const std::vector<CGraphTick> xTicks = XTicks(mapping);
    const int stride = XLabelStride(xTicks, width, metrics.averageCharWidth());
    for (size_t k = 0; k < xTicks.size(); ++k) {
        const CGraphTick& tick = xTicks[k];
        const QString label = Text(tick.label);
        if (k % static_cast<size_t>(stride) == 0)
            painter.drawText(QPoint(tick.pixel - metrics.horizontalAdvance(label) / 2, plot.bottom + ascent),
                             label);
        painter.drawLine(tick.pixel, plot.top, tick.pixel, plot.bottom);
    }
    for (const CGraphTick& tick : YTicks(mapping)) {
        const std::string label = YLabelText(tick);
        const CTextPlace place = YLabelPlace(plot, h, tick, width(label));
        painter.drawText(QPoint(place.x, place.baseline), Text(label));
        painter.drawLine(plot.left, tick.pixel, plot.right, tick.pixel);
    }

    painter.setPen(plotFrame);
    painter.drawRect(QRect(plot.left, plot.top, plot.Width(), plot.Height()));

    const std::vector<std::array<int, 2>> pixels = CurvePixels(mapping, cut->Graph.Points);
    if (!pixels.empty()) {
        QPolygon polyline(static_cast<int>(pixels.size()));
        for (size_t i = 0; i < pixels.size(); ++i)
            polyline.setPoint(static_cast<int>(i), pixels[i][0], pixels[i][1]);
        painter.setPen(curve);
        painter.drawPolyline(polyline);
    }
    painter.restore();
}

CCutDialog::CCutDialog(CSession* shown, const CConfiguration& units, QWidget* parent)
    : QWidget(parent), session(shown), document(shown ? &shown->Project() : nullptr), configuration(units),
      shownSIMetric(units.IsSIMetric()), cut(shown ? &shown->StartCut() : &kept) {
    BuildControls();
    PutControls();
    ShowPanel(0);
    GraphRebuilt();
    resize(760, 520);
}

CCutDialog::~CCutDialog() {
    if (!session)
        return;
    session->EndCut();
    document->UpdateAllViews(nullptr, DocumentEvent::CutChanged);
}

QString CCutDialog::CaptionFor(const CProjectProfile* project) {
    return Text(project ? project->DisplayName() : std::string()) + ": 3D Cut";
}

void CCutDialog::DocumentClosing() {
    // The window keeps its graph until it goes, the session not.
    if (session) {
        kept = *cut;
        cut = &kept;
        session->EndCut();
    }
    session = nullptr;
    document = nullptr;
    dragging = false;
    graph->SetMarkerColumn(CCutGraph::NoMarker);
}

CSheetProfile* CCutDialog::Sheet() const {
    return document ? document->Sheet() : nullptr;
}

void CCutDialog::BuildControls() {
    controls = new QWidget(this);
    auto* top = new QHBoxLayout(controls);
    auto* left = new QVBoxLayout;
    left->addLayout(BuildChoice());
    left->addLayout(BuildPanels());
    top->addLayout(left, 1);
    top->addLayout(BuildActions());
    graph = new CCutGraph(*this, this);
    ConnectControls();
}

QLayout* CCutDialog::BuildChoice() {
    auto* choice = new QHBoxLayout;
    cutDefinition = new QRadioButton("Cut definition", controls);
    cutDefinition->setObjectName("cutDefinition");
    graphLimits = new QRadioButton("Graph limits", controls);
    graphLimits->setObjectName("graphLimits");
    auto* panels = new QButtonGroup(this);
    panels->addButton(cutDefinition, 0);
    panels->addButton(graphLimits, 1);
    connect(panels, &QButtonGroup::idClicked, this, [this](int id) { ShowPanel(id); });
    flagT = new QToolButton(controls);
    flagT->setObjectName("flagT");
    flagT->setText("T");
    flagT->setToolTip("Cut flag of the project: pressed while it is set");
    flagT->setCheckable(true);
    choice->addWidget(cutDefinition);
    choice->addWidget(graphLimits);
    choice->addStretch();
    choice->addWidget(flagT);
    return choice;
}

QLayout* CCutDialog::BuildPanels() {
    // Both panels in one cell: only one shows.
    auto* panelCell = new QGridLayout;
    planeGroup = new QGroupBox("Cut plane", controls);
    auto* planeRow = new QHBoxLayout(planeGroup);
    plane = new QComboBox(planeGroup);
    plane->setObjectName("plane");
    plane->addItems({"X =", "Y =", "Z ="});
    position = new QLineEdit(planeGroup);
    position->setObjectName("position");
    positionUnit = new QLabel(planeGroup);
    positionUnit->setObjectName("positionUnit");
    planeRow->addWidget(plane);
    planeRow->addWidget(position, 1);
    planeRow->addWidget(positionUnit);

    limitsGroup = new QGroupBox("Graph limits", controls);
    auto* limitsGrid = new QGridLayout(limitsGroup);
    const char* const limitLabels[4] = {"x min:", "x max:", "y min:", "y max:"};
    const char* const limitNames[4] = {"xMin", "xMax", "yMin", "yMax"};
    for (int k = 0; k < 4; ++k) {
        limitEdits[k] = new QLineEdit(limitsGroup);
        limitEdits[k]->setObjectName(limitNames[k]);
        limitsGrid->addWidget(new QLabel(limitLabels[k], limitsGroup), k / 2, (k % 2) * 2);
        limitsGrid->addWidget(limitEdits[k], k / 2, (k % 2) * 2 + 1);
    }
    // The cell keeps the room of the taller panel, so that neither is
    // squeezed when it shows.
    for (QGroupBox* group : {planeGroup, limitsGroup}) {
        QSizePolicy policy = group->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        group->setSizePolicy(policy);
        panelCell->addWidget(group, 0, 0);
    }
    return panelCell;
}

QLayout* CCutDialog::BuildActions() {
    auto* right = new QGridLayout;
    cutting = new QPushButton("Cutting", controls);
    cutting->setObjectName("cutting");
    profile = new QComboBox(controls);
    profile->setObjectName("profile");
    // The scale panel's list without "(no scale)".
    for (ResultQuantity quantity : ValueQuantities())
        profile->addItem(QString::fromUtf8(QuantityName(quantity)));
    saveData = new QPushButton(QString::fromUtf8("Save data\xE2\x80\xA6"), controls);
    saveData->setObjectName("saveData");
    arcLength = new QLineEdit(controls);
    arcLength->setObjectName("arcLength");
    arcLength->setReadOnly(true);
    value = new QLineEdit(controls);
    value->setObjectName("value");
    value->setReadOnly(true);
    right->addWidget(cutting, 0, 0);
    right->addWidget(profile, 0, 1);
    right->addWidget(saveData, 0, 2);
    right->addWidget(new QLabel("Arc length:", controls), 1, 0);
    right->addWidget(arcLength, 1, 1, 1, 2);
    right->addWidget(new QLabel("Value:", controls), 2, 0);
    right->addWidget(value, 2, 1, 1, 2);
    return right;
}

void CCutDialog::ConnectControls() {
    connect(flagT, &QToolButton::toggled, this, [this](bool set) {
        if (document && !updatingControls)
            document->SetCutFlag(set);
    });
    connect(cutting, &QPushButton::clicked, this, &CCutDialog::Cutting);
    connect(saveData, &QPushButton::clicked, this, &CCutDialog::SaveData);
    connect(plane, &QComboBox::currentIndexChanged, this, [this] {
        if (!updatingControls)
            cut->PlaneChanged();
    });
    connect(position, &QLineEdit::textEdited, this, [this] { cut->PlaneChanged(); });
    // Another profile cuts again at once, from automatic limits.
    connect(profile, &QComboBox::currentIndexChanged, this, [this] {
        if (updatingControls)
            return;
        cut->PlaneChanged();
        Cutting();
    });
}

void CCutDialog::ShowPanel(int panel) {
    cutDefinition->setChecked(panel == 0);
    graphLimits->setChecked(panel == 1);
    planeGroup->setVisible(panel == 0);
    limitsGroup->setVisible(panel == 1);
}

bool CCutDialog::TakeControls() {
    double typedPosition = 0;
    double limits[4] = {};
    if (!TakeNumber(position, typedPosition))
        return false;
    for (int k = 0; k < 4; ++k)
        if (!TakeNumber(limitEdits[k], limits[k]))
            return false;
    cut->PlaneIndex = plane->currentIndex();
    cut->Position = typedPosition;
    cut->ProfileQuantity = ValueQuantities()[static_cast<size_t>(std::max(profile->currentIndex(), 0))];
    cut->GraphLimits = {limits[0], limits[1], limits[2], limits[3]};
    return true;
}

void CCutDialog::PutControls() {
    updatingControls = true;
    plane->setCurrentIndex(cut->PlaneIndex);
    position->setText(NumberText(cut->Position));
    positionUnit->setText(configuration.IsSIMetric() ? "mm" : "inch");
    const double limits[4] = {cut->GraphLimits.xMin, cut->GraphLimits.xMax, cut->GraphLimits.yMin,
                              cut->GraphLimits.yMax};
    for (int k = 0; k < 4; ++k) {
        limitEdits[k]->setText(NumberText(limits[k]));
        FitToText(limitEdits[k]);
    }
    profile->setCurrentIndex(QuantityNumber(cut->ProfileQuantity) - 1);
    flagT->setChecked(document && document->CutFlag());
    updatingControls = false;
}

void CCutDialog::GraphRebuilt() {
    // The read-out belonged to the graph that was.
    arcLength->clear();
    value->clear();
    graph->Invalidate();
    saveData->setEnabled(cut->HasPoints());
    emit GraphChanged();
}

void CCutDialog::SetComparison(std::shared_ptr<CComparison> comparison) {
    cut->Comparison = std::move(comparison);
    // Other values: automatic limits again, as for another profile.
    cut->PlaneChanged();
    if (cut->HasGraph)
        Cutting();
}

void CCutDialog::Cutting() {
    CSheetProfile* sheet = Sheet();
    const ResultQuantity before = cut->ProfileQuantity;
    if (!sheet || !TakeControls())
        return;
    if (prepareProfile && !prepareProfile(cut->ProfileQuantity, cut->Comparison.get())) {
        cut->ProfileQuantity = before;
        PutControls();
        return;
    }
    Message failure;
    if (!session->MakeCut(configuration, failure))
        ShowMessage(failure, MessageIcon::Error);
    document->UpdateAllViews(nullptr, DocumentEvent::CutChanged);
    PutControls();
    GraphRebuilt();
}

void CCutDialog::UnitsChanged() {
    const bool wasSIMetric = shownSIMetric;
    shownSIMetric = configuration.IsSIMetric();
    positionUnit->setText(shownSIMetric ? "mm" : "inch");
    if (wasSIMetric == shownSIMetric)
        return;
    // What was typed is in the old units as well.
    TakeControls();
    cut->UnitsChanged(wasSIMetric, Sheet(), configuration);
    PutControls();
    GraphRebuilt();
}

void CCutDialog::SaveData() {
    const CSheetProfile* sheet = Sheet();
    if (!sheet || !cut->HasPoints())
        return;
    const QFileInfo project(Text(document->PathName()));
    const QString suggested = project.absoluteDir().filePath(project.completeBaseName() + "_cut.csv");
    const QString path = chooseSaveFile ? chooseSaveFile(this, suggested)
                                        : QFileDialog::getSaveFileName(this, "Save data", suggested,
                                                                       "CSV files (*.csv);;All files (*)");
    if (path.isEmpty())
        return;
    const std::string target = path.toStdString();
    if (!SaveProfileCsv(target, ProfileCsv(cut->CutOf(*sheet), cut->ProfileQuantity, configuration,
                                           cut->Made.difference)))
        ShowMessage("The file " + target + " could not be written.", MessageIcon::Error);
}

bool CCutDialog::event(QEvent* event) {
    // The controls' layout asks for another size (a field's number grew):
    // the window grows with them rather than cut their numbers off.
    if (event->type() == QEvent::LayoutRequest) {
        setMinimumWidth(controls->minimumSizeHint().width());
        PlaceControlsAndGraph();
    }
    return QWidget::event(event);
}

void CCutDialog::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceControlsAndGraph();
}

void CCutDialog::PlaceControlsAndGraph() {
    const int controlsHeight = controls->sizeHint().height();
    controls->setGeometry(0, 0, width(), controlsHeight);
    const int graphTop = controlsHeight + GraphLeft;
    graph->setGeometry(GraphLeft, graphTop, std::max(0, width() - 3 * GraphLeft),
                       std::max(0, height() - graphTop - 5));
}

CPixelRect CCutDialog::PlotOfGraphArea() const {
    const QFontMetrics metrics(graph->font());
    return GraphPlot({0, 0, graph->width(), graph->height()}, metrics.height(), cut->GraphLimits,
                     [&](const std::string& label) { return metrics.horizontalAdvance(Text(label)); });
}

void CCutDialog::Print(QPrinter& printer) {
    if (!CanPrint())
        return;
    printer.setDocName("Printing");
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    // The page is laid out in units of PrintResolution whatever the
    // printer's own resolution, so that it looks the same on every printer.
    const double scale = static_cast<double>(printer.resolution()) / PrintResolution;
    painter.scale(scale, scale);
    QFont font = graph->font();
    font.setPixelSize(PrintedCharacterHeight);
    const QFontMetrics metrics(font, &printer);
    const int h = metrics.height();
    const CPixelRect box =
        PrintedGraphRect(static_cast<int>(printer.width() / scale),
                         static_cast<int>(printer.height() / scale), h, metrics.averageCharWidth());
    const QRect area(box.left, box.top, box.Width(), box.Height());
    graph->Draw(painter, area, font);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(area.left(), area.top() - 2 * h), CaptionFor(document));
    lastPrintedGraph = painter.transform().mapRect(area);
    painter.end();
}

bool CCutDialog::AskPrinter(QPrinter& printer) {
    if (!CanPrint())
        return false;
    printer.setFromTo(1, 1);
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, 1);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    return dialog.exec() == QDialog::Accepted;
}

void CCutDialog::PrintWithDialog(QPrinter& printer) {
    if (AskPrinter(printer))
        Print(printer);
}

void CCutDialog::Press(QPoint at) {
    const CSheetProfile* sheet = Sheet();
    if (!sheet || cut->CutOf(*sheet).empty() || !cut->HasPoints() ||
        !PlotOfGraphArea().Contains(at.x(), at.y()))
        return;
    dragging = true;
    ReadOut(at.x());
}

void CCutDialog::Move(QPoint at) {
    if (dragging && Sheet())
        ReadOut(at.x());
}

void CCutDialog::Release() {
    dragging = false;
    graph->SetMarkerColumn(CCutGraph::NoMarker);
    MarkInViews(nullptr);
}

void CCutDialog::ReadOut(int column) {
    const CGraphMapping mapping(PlotOfGraphArea(), cut->GraphLimits);
    const CReadOut readOut = ReadOutAt(mapping, column, cut->Graph, cut->CutOf(*Sheet()), configuration);
    graph->SetMarkerColumn(column);
    arcLength->setText(Text(ReadOutText(readOut.arcDisplay)));
    value->setText(Text(ReadOutText(readOut.value)));
    MarkInViews(&readOut);
}

void CCutDialog::MarkInViews(const CReadOut* readOut) {
    if (!Sheet())
        return;
    // At the very end of the cut the views show no cross-hair.
    const bool mark =
        readOut && readOut->hasPoint && !(readOut->arcLength + 1e-05 > cut->Graph.TotalArcLength);
    cut->SetMark(mark ? &readOut->point : nullptr);
    if (mark || markShown)
        emit MarkMoved();
    markShown = mark;
}

} // namespace quillmere
