#include "app/CChildFrame.h"

#include "app/AppTexts.h"
#include "app/CNavigationBar.h"
#include "app/CommandIds.h"
#include "config/CConfiguration.h"
#include "core/TextFormat.h"
#include "model/CProjectProfile.h"
#include "session/CSession.h"
#include "ui/measure/CMeasurementScaleBar.h"
#include "ui/scene/CSceneRender.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace quillmere {

CChildFrame::CChildFrame(CSession* shown, const CConfiguration& configuration, QWidget* parent)
    : CDocumentFrame(shown, parent), units(configuration) {
    auto* content = new QWidget(this);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    view = new CSceneRender(shown, configuration.Settings(), content, &configuration);
    navigation = new CNavigationBar(content);
    measurementScale = new CMeasurementScaleBar(content);
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(view, 1);
    row->addWidget(measurementScale);
    layout->addLayout(row, 1);
    layout->addWidget(navigation);
    navigation->hide();
    setWidget(content);
    setAttribute(Qt::WA_DeleteOnClose);
    connect(navigation, &CNavigationBar::Command, this, &CChildFrame::NavigationCommand);
    // After a load from the record box the record keys reach the view again.
    connect(navigation, &CNavigationBar::Command, view, [this](int id) {
        if (id == command::LoadRecord)
            view->setFocus();
    });
    UpdateCaption(0);
    ShowMeasurements();
}

void CChildFrame::ShowMeasurements() {
    const MeasuredPoints* points = Session() ? Session()->Measured().get() : nullptr;
    if (points) {
        const MeasurementScale scale = MarkerScale(*points, units);
        measurementScale->ShowScale(&scale);
    } else {
        measurementScale->ShowScale(nullptr);
    }
    view->ShowMeasurements();
}

CChildFrame::~CChildFrame() = default;

bool CChildFrame::NavigationBarShown() const {
    return !navigation->isHidden();
}

void CChildFrame::SetNavigationBarShown(bool shown) {
    navigation->setVisible(shown);
}

void CChildFrame::Activated() {
    if (!activatedOnce) {
        activatedOnce = true;
        navigation->show();
    }
    boxRecord = ShownRecord();
    navigation->SetRecord(boxRecord);
    navigation->SetRecordCount(Document() ? Document()->RecordCount() : 0);
    view->OnActivateView(true);
}

void CChildFrame::ShowViewRecord() {
    // Only a record newly loaded is written, so that a number being
    // typed here stays while another document animates.
    if (ShownRecord() == boxRecord)
        return;
    boxRecord = ShownRecord();
    navigation->SetRecord(boxRecord);
}

int CChildFrame::ShownRecord() const {
    return Document() ? Document()->Player().ShownRecord() : 0;
}

void CChildFrame::UpdateCaption(int windowNumber) {
    number = windowNumber;
    const CProjectProfile* document = Document();
    if (!document)
        return;
    std::string caption = FormatText(appTexts::RecordCaption, document->DisplayName().c_str(), ShownRecord(),
                                     document->RecordCount());
    if (number > 0)
        caption += FormatText(":%d", number);
    setWindowTitle(QString::fromStdString(caption));
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    emit Closing(this);
    QMdiSubWindow::closeEvent(event);
}

} // namespace quillmere
