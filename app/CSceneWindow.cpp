#include "app/CSceneWindow.h"

#include "core/TextFormat.h"
#include "model/CProjectProfile.h"
#include "scale/ResultQuantity.h"
#include "scene/CSceneRender.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

CSceneWindow::CSceneWindow(CProjectProfile* document, const DisplaySettings& settings)
    : project(document), view(new CSceneRender(document, settings, this)), recordBox(new QLineEdit(this)),
      progress(new CStatusProgress(statusBar())) {
    setCentralWidget(view);
    project->SetHost(this);
    BuildMenus();
    UpdateTitle();
    resize(1024, 768);
    connect(view, &CSceneRender::LimitsChanged, this, [this](int quantity, double minimum, double maximum) {
        if (quantity == 0)
            statusBar()->showMessage(QStringLiteral("(no scale)"));
        else
            statusBar()->showMessage(QStringLiteral("%1: %2 ... %3")
                                         .arg(QString::fromUtf8(QuantityName(quantity)))
                                         .arg(minimum, 0, 'g', 6)
                                         .arg(maximum, 0, 'g', 6));
    });
}

CSceneWindow::~CSceneWindow() {
    project->SetHost(nullptr);
}

CView* CSceneWindow::ActiveView() {
    return view;
}

void CSceneWindow::RecordLoaded(int) {
    UpdateTitle();
}

void CSceneWindow::UpdateTitle() {
    setWindowTitle(QString::fromStdString(FormatText("%s: Rec. %d / %d.", project->Title().c_str(),
                                                     project->CurrentRecord(), project->RecordCount())) +
                   QStringLiteral(" - Quillmere"));
    recordBox->setText(QString::number(project->CurrentRecord()));
}

void CSceneWindow::closeEvent(QCloseEvent* event) {
    project->PrepareClose();
    event->accept();
}

void CSceneWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&Close"), QKeySequence::Close, this, &QWidget::close);

    QMenu* viewMenu = menuBar()->addMenu(tr("&View"));
    viewMenu->addAction(tr("XY view"), view, &CSceneRender::SetXYView);
    viewMenu->addAction(tr("General view"), view, &CSceneRender::SetGeneralView);
    viewMenu->addAction(tr("XZ view"), view, &CSceneRender::SetXZView);
    viewMenu->addAction(tr("YZ view"), view, &CSceneRender::SetYZView);
    viewMenu->addSeparator();
    viewMenu->addAction(tr("Zoom +"), QKeySequence::ZoomIn, view, &CSceneRender::ZoomIn);
    viewMenu->addAction(tr("Zoom -"), QKeySequence::ZoomOut, view, &CSceneRender::ZoomOut);
    viewMenu->addAction(tr("Fit into window"), QKeySequence(Qt::Key_F), view, &CSceneRender::FitIntoWindow);
    viewMenu->addAction(tr("Zoom into box"), view, &CSceneRender::StartZoomBox);
    viewMenu->addAction(tr("Exclusive zoom into box"), view, &CSceneRender::StartExclusiveZoomBox);
    viewMenu->addAction(tr("Remove clipping planes"), view, &CSceneRender::RemoveClipPlanes);

    QMenu* sheet = menuBar()->addMenu(tr("&Sheet"));
    sheet->addAction(tr("Sheet on/off"), view, &CSceneRender::ToggleSheet);
    sheet->addAction(tr("Show sheet elements and edges"), view, [this] { view->SetSheetDisplayMode(0); });
    sheet->addAction(tr("Show sheet elements without edges"), view, [this] { view->SetSheetDisplayMode(1); });
    sheet->addAction(tr("Show sheet edges only"), view, [this] { view->SetSheetDisplayMode(2); });
    sheet->addAction(tr("Dots"), view, &CSceneRender::ToggleDots);
    sheet->addSeparator();
    for (int slot = 0; slot < 2; ++slot) {
        sheet->addAction(tr("Tool %1 on/off").arg(slot + 1), view, [this, slot] { view->ToggleTool(slot); });
        sheet->addAction(tr("Tool %1 shading mode").arg(slot + 1), view,
                         [this, slot] { view->StepToolMode(slot); });
    }

    QMenu* quantities = menuBar()->addMenu(tr("&Quantity"));
    auto* quantityGroup = new QActionGroup(this);
    for (int quantity = 0; quantity < ResultQuantityCount; ++quantity) {
        QAction* action = quantities->addAction(QString::fromUtf8(QuantityName(quantity)));
        action->setCheckable(true);
        action->setChecked(quantity == view->Quantity());
        quantityGroup->addAction(action);
        connect(action, &QAction::triggered, view, [this, quantity] { view->SetQuantity(quantity); });
    }

    QMenu* picks = menuBar()->addMenu(tr("&Pick"));
    QAction* measurement =
        picks->addAction(tr("Distance measurement"), view, &CSceneRender::ToggleMeasurement);
    measurement->setCheckable(true);
    picks->addSeparator();
    auto* pickGroup = new QActionGroup(this);
    const std::pair<const char*, int> modes[] = {{"3D Point Info", 3}, {"Element Info", 2}, {"Node Info", 0}};
    for (const auto& [text, mode] : modes) {
        QAction* action = picks->addAction(QString::fromUtf8(text));
        action->setCheckable(true);
        action->setChecked(mode == view->PickMode());
        pickGroup->addAction(action);
        connect(action, &QAction::triggered, view, [this, mode = mode] { view->SetPickMode(mode); });
    }

    QToolBar* records = addToolBar(tr("Records"));
    records->addAction(tr("|<"), this, [this] { project->OnFirstRecord(); });
    records->addAction(tr("<"), this, [this] { project->OnPreviousRecord(); });
    recordBox->setMaximumWidth(60);
    recordBox->setToolTip(tr("Enter record number to load here"));
    records->addWidget(recordBox);
    connect(recordBox, &QLineEdit::returnPressed, this, [this] {
        recordBox->setText(
            QString::fromStdString(project->OnLoadRecordNumber(recordBox->text().toStdString())));
    });
    records->addAction(tr(">"), this, [this] { project->OnNextRecord(); });
    records->addAction(tr(">|"), this, [this] { project->OnLastRecord(); });
    QAction* animation = records->addAction(tr("Animate"), this, [this] { project->ToggleAnimation(); });
    animation->setCheckable(true);
    records->addWidget(new QLabel(
        QString::fromStdString(FormatText(" Project contains %d records.", project->RecordCount()))));
    QMenu* recordMenu = menuBar()->addMenu(tr("&Record"));
    recordMenu->addActions(records->actions());
}
