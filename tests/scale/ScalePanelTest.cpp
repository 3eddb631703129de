// The scale panel and the limits dialog as the user meets them: the five
// labels, the lists and their signals, the toolbar, the rotation cube, and
// the limits fixed, cancelled and typed in US units. No test waits on a
// modal window: dialogs are built, filled and ended by accept or reject.
#include "config/CConfiguration.h"
#include "core/TextFormat.h"
#include "scale/AllRecordLimits.h"
#include "scale/Comparison.h"
#include "scale/LimitsEditing.h"
#include "scale/Presentation.h"
#include "scale/ResultQuantity.h"
#include "scale/ScaleLimits.h"
#include "tests/model/ProjectFixture.h"
#include "tests/support/QtTestSupport.h"
#include "ui/scale/CRotationCube.h"
#include "ui/scale/CScaleLimitsDialog.h"
#include "ui/scale/CScalePanel.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QToolBar>
#include <QtTest>

#include <memory>

using namespace quillmere;

namespace {

QStringList Labels(const CScalePanel& panel) {
    QStringList texts;
    for (int k = 0; k < 5; ++k)
        texts << panel.LabelText(k);
    return texts;
}

QRgb Pixel(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xffffffu;
}

// What a view presents of quantity, with its texts in units and its limits
// fixed at (minimum, maximum); of the differences to reference when given.
Presentation Presented(ResultQuantity quantity, const CConfiguration& units, double minimum = 0,
                       double maximum = 0, std::shared_ptr<CComparison> reference = nullptr) {
    PresentationSource source;
    source.quantity = quantity;
    source.limits.SetFixedMode(quantity, 1);
    source.limits.SetFixedMinimum(quantity, minimum);
    source.limits.SetFixedMaximum(quantity, maximum);
    source.comparison = std::move(reference);
    source.record = 1;
    source.units = &units;
    return MakePresentation(source);
}

// A comparison of b.tfc with a.tfc, each of one record.
std::shared_ptr<CComparison> BAgainstA() {
    return std::make_shared<CComparison>(ComparisonSide{"b.tfc", "b.tfc", "b.", 1},
                                         ComparisonSide{"a.tfc", "a.tfc", "a.", 1});
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::LeftButton, held,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace

class ScalePanelTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void noViewShowsNoScale();
    void colourBarOrientation();
    void listsSignalTheUserChoiceOnly();
    void viewToolbarCommands();
    void cubeTurnsTheView();
    void comparisonShowsItsTitleRampAndDifferences();

    void neverFixedQuantityOpensOnTheShownLimits();
    void fixedThenCancelKeepsFixedModeUSUnitsStoredInCelsius();
    void textThatIsNotANumberKeepsTheDialogOpen();
    void allRecordsFillsFixedLimits();
    void allRecordsOnAWorkerThread();
    void limitsOfDifferencesTakeNoFahrenheitOffset();

private:
    std::unique_ptr<CTempFolder> folder;
    std::unique_ptr<CRecordingMessages> messages;
    std::unique_ptr<CConfiguration> configuration;
    std::unique_ptr<CScalePanel> panel;
};

void ScalePanelTest::init() {
    folder = std::make_unique<CTempFolder>();
    messages = std::make_unique<CRecordingMessages>();
    configuration = std::make_unique<CConfiguration>(folder->File("Quillmere.cfg"));
    panel = std::make_unique<CScalePanel>(false);
}

void ScalePanelTest::cleanup() {
    panel.reset();
    configuration.reset();
    messages.reset();
    folder.reset();
}

// A view publishing "(no scale)" empties the labels (no view at all:
// MainFrameTest).
void ScalePanelTest::noViewShowsNoScale() {
    panel->ShowView(ResultQuantity::Thickness, 3);
    panel->ShowPresentation(Presented(ResultQuantity::Thickness, *configuration, 0.0012, 0.0030));
    QCOMPARE(panel->LabelText(0), QStringLiteral("  3.00 mm"));
    panel->ShowPresentation(Presented(ResultQuantity::None, *configuration));
    QCOMPARE(Labels(*panel), (QStringList{"", "", "", "", ""}));
}

void ScalePanelTest::colourBarOrientation() {
    const QRgb red = qRgb(255, 0, 0) & 0xffffffu, blue = qRgb(15, 15, 240) & 0xffffffu;
    const QImage thickness = ColourBarImage(Presented(ResultQuantity::Thickness, *configuration), 38, 157);
    QCOMPARE(thickness.size(), QSize(38, 157));
    QCOMPARE(Pixel(thickness, 0, 0), blue);
    QCOMPARE(Pixel(thickness, 37, 156), red);
    for (ResultQuantity quantity :
         {ResultQuantity::None, ResultQuantity::Temperature, ResultQuantity::StretchRatio}) {
        const QImage other = ColourBarImage(Presented(quantity, *configuration), 38, 157);
        QCOMPARE(Pixel(other, 0, 0), red);
        QCOMPARE(Pixel(other, 37, 156), blue);
    }
}

void ScalePanelTest::listsSignalTheUserChoiceOnly() {
    auto* profiles = panel->findChild<QComboBox*>(QStringLiteral("profileList"));
    auto* picks = panel->findChild<QComboBox*>(QStringLiteral("pickList"));
    QCOMPARE(profiles->count(), 10);
    QCOMPARE(profiles->itemText(7), QStringLiteral("L1 / L2"));
    QCOMPARE(profiles->itemText(8), QStringLiteral("Thinning"));
    QCOMPARE(profiles->itemText(9), QStringLiteral("First contact"));
    QCOMPARE(picks->itemText(0), QStringLiteral("3D Point Info"));
    QSignalSpy quantities(panel.get(), &CScalePanel::QuantityChosen);
    QSignalSpy modes(panel.get(), &CScalePanel::PickModeChosen);
    QSignalSpy limits(panel.get(), &CScalePanel::LimitsRequested);

    // Following a view is not a choice of the user.
    panel->ShowView(ResultQuantity::StretchRatio, 2);
    QCOMPARE(profiles->currentIndex(), 7);
    QCOMPARE(picks->currentText(), QStringLiteral("Element Info"));
    panel->ShowPresentation(Presented(ResultQuantity::ExtensionX, *configuration, 1, 2));
    QCOMPARE(profiles->currentIndex(), 4);
    QCOMPARE(quantities.count(), 0);
    QCOMPARE(modes.count(), 0);

    profiles->setCurrentIndex(QuantityNumber(ResultQuantity::StretchRatio));
    QCOMPARE(quantities.count(), 1);
    QCOMPARE(quantities.at(0).at(0).value<ResultQuantity>(), ResultQuantity::StretchRatio);
    QCOMPARE(panel->Quantity(), ResultQuantity::StretchRatio);

    const int expected[3] = {3, 2, 0};
    for (int index : {2, 0, 1}) {
        picks->setCurrentIndex(index);
        QCOMPARE(modes.takeLast().at(0).toInt(), expected[index]);
    }
    panel->findChild<QPushButton*>(QStringLiteral("limitsButton"))->click();
    QCOMPARE(limits.count(), 1);
}

void ScalePanelTest::viewToolbarCommands() {
    QToolBar* bar = panel->ViewToolBar();
    QCOMPARE(bar->windowTitle(), QStringLiteral("View"));
    const QStringList labels{"XYZ view", "XY view", "YZ view",  "XZ view",    "Zoom Box",
                             "Zoom Fit", "Zoom In", "Zoom Out", "Zoom E-Box", "Del E-Box"};
    const int commands[10] = {339, 338, 343, 340, 347, 215, 348, 349, 345, 346};
    QSignalSpy spy(panel.get(), &CScalePanel::ViewCommand);
    panel->ShowView(ResultQuantity::Thickness, 3);
    panel->SetRemoveClipPlanesEnabled(true);
    int button = 0;
    QList<int> separatorsBefore;
    for (QAction* action : bar->actions()) {
        if (action->isSeparator()) {
            separatorsBefore << button;
            continue;
        }
        QCOMPARE(action->text(), labels[button]);
        QVERIFY(!action->icon().isNull());
        action->trigger();
        QCOMPARE(spy.takeLast().at(0).toInt(), commands[button]);
        ++button;
    }
    QCOMPARE(button, 10);
    QCOMPARE(separatorsBefore, (QList<int>{1, 3, 5, 7, 9}));

    QAction* remove = bar->actions().last();
    panel->SetRemoveClipPlanesEnabled(false);
    QVERIFY(!remove->isEnabled());
    panel->SetRemoveClipPlanesEnabled(true);
    QVERIFY(remove->isEnabled());
}

void ScalePanelTest::cubeTurnsTheView() {
    panel->ShowView(ResultQuantity::Thickness, 3);
    panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
    CRotationCube* cube = panel->Cube();
    QCOMPARE(cube->toolTip(),
             QStringLiteral("Press the left mouse button and drag to rotate. Release the button "
                            "for scene repaint."));

    // The view's orientation shows on the cube; grey all round it.
    panel->SetOrientation(Quaternion{0, 0, 0, 1});
    QImage frame = cube->grabFramebuffer();
    const QRgb grey = qRgb(120, 120, 120) & 0xffffffu;
    QCOMPARE(Pixel(frame, 1, 1), grey);
    QVERIFY(Pixel(frame, frame.width() / 2, frame.height() / 2) != grey);
    // Seen along z, x points right and y up.
    QVERIFY(cube->AxisLetterPosition(0).x() > cube->width() * 0.6);
    QVERIFY(cube->AxisLetterPosition(1).y() < cube->height() * 0.4);

    QSignalSpy dragged(panel.get(), &CScalePanel::OrientationDragged);
    QSignalSpy finished(panel.get(), &CScalePanel::OrientationDragFinished);
    const QPoint centre(cube->width() / 2, cube->height() / 2);
    SendMouse(cube, QEvent::MouseButtonPress, centre, Qt::LeftButton);
    QVERIFY(cube->IsDragging());
    SendMouse(cube, QEvent::MouseMove, centre + QPoint(20, 0), Qt::LeftButton);
    SendMouse(cube, QEvent::MouseMove, centre + QPoint(40, 0), Qt::LeftButton);
    SendMouse(cube, QEvent::MouseButtonRelease, centre + QPoint(40, 0), Qt::NoButton);
    QCOMPARE(dragged.count(), 2);
    QCOMPARE(finished.count(), 1);
    QVERIFY(!cube->IsDragging());
    // A drag to the right turns about y: the view gets the cube's own turn.
    const Quaternion q = dragged.last().at(0).value<Quaternion>();
    QCOMPARE(q.x, cube->Orientation().x);
    QCOMPARE(q.w, cube->Orientation().w);
    QVERIFY(std::abs(q.y) > 0.1f);
    QVERIFY(std::abs(q.x) < 1e-4f && std::abs(q.z) < 1e-4f);
    QVERIFY(frame != cube->grabFramebuffer());

    // Moves without the button turn nothing.
    SendMouse(cube, QEvent::MouseMove, centre, Qt::NoButton);
    QCOMPARE(dragged.count(), 2);
}

void ScalePanelTest::comparisonShowsItsTitleRampAndDifferences() {
    // Red (above 0) on top, white in the middle, blue at the bottom, for
    // thickness too.
    const ColourRamp& ramp = CComparison::Ramp();
    auto rgb = [](RgbColour c) { return qRgb(c.red, c.green, c.blue) & 0xffffffu; };
    for (ResultQuantity quantity : {ResultQuantity::Thickness, ResultQuantity::Temperature}) {
        const QImage bar = ColourBarImage(Presented(quantity, *configuration, 0, 0, BAgainstA()), 38, 157);
        QCOMPARE(Pixel(bar, 0, 0), rgb(ramp.Entry(ColourRamp::LastIndex)));
        QCOMPARE(Pixel(bar, 0, 78), qRgb(255, 255, 255) & 0xffffffu);
        QCOMPARE(Pixel(bar, 37, 156), rgb(ramp.Entry(0)));
    }

    // The button and the title in use: MainFrameTest. Differences of 10
    // degrees are 18 in Fahrenheit, with no offset.
    panel->ShowView(ResultQuantity::Temperature, 3);
    configuration->SetSIMetric(false);
    panel->ShowPresentation(Presented(ResultQuantity::Temperature, *configuration, -10, 10, BAgainstA()));
    QVERIFY(panel->Comparing());
    QCOMPARE(panel->Title(), QStringLiteral("\u0394 Temperature (b.tfc \u2212 a.tfc)"));
    QCOMPARE(Labels(*panel), (QStringList{"  18.0 \u00b0F", "   9.0 \u00b0F", "   0.0 \u00b0F",
                                          "  -9.0 \u00b0F", " -18.0 \u00b0F"}));
    panel->ClearView();
    QVERIFY(!panel->Comparing() && panel->Title().isEmpty());
}

void ScalePanelTest::neverFixedQuantityOpensOnTheShownLimits() {
    const Presentation shown = Presented(ResultQuantity::Thickness, *configuration, 0.00123456, 0.00298765);
    ScaleLimits limits;
    PrepareFixedLimits(limits, shown.quantity, shown.limits.minimum, shown.limits.maximum);
    CScaleLimitsDialog dialog(shown, limits, *configuration);
    QCOMPARE(dialog.Title(), QStringLiteral("Thickness (mm)"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Scale limits"));
    QCOMPARE(dialog.MinimumEdit()->text(), QStringLiteral("1.235"));
    QCOMPARE(dialog.MaximumEdit()->text(), QStringLiteral("2.988"));
    QVERIFY(dialog.AutomaticButton()->isChecked());
    QVERIFY(!dialog.AllRecordsButton()->isEnabled());
}

void ScalePanelTest::fixedThenCancelKeepsFixedModeUSUnitsStoredInCelsius() {
    ScaleLimits limits;
    limits.SetFixedMinimum(ResultQuantity::Temperature, 20);
    limits.SetFixedMaximum(ResultQuantity::Temperature, 180);
    CScaleLimitsDialog dialog(Presented(ResultQuantity::Temperature, *configuration), limits, *configuration);
    dialog.FixedButton()->click();
    QVERIFY(limits.IsFixed(ResultQuantity::Temperature));
    dialog.MinimumEdit()->setText(QStringLiteral("50"));
    dialog.reject();
    QVERIFY(limits.IsFixed(ResultQuantity::Temperature));
    QCOMPARE(limits.FixedMinimum(ResultQuantity::Temperature), 20.0);
    QCOMPARE(limits.FixedMaximum(ResultQuantity::Temperature), 180.0);

    // Reopened in US units, the dialog shows the fixed mode and the values
    // in degrees F; Automatic and OK free the mode and store the values
    // typed, in degrees C.
    configuration->SetSIMetric(false);
    CScaleLimitsDialog again(Presented(ResultQuantity::Temperature, *configuration), limits, *configuration);
    QVERIFY(again.FixedButton()->isChecked());
    QCOMPARE(again.MinimumEdit()->text(), QStringLiteral("68"));
    QCOMPARE(again.MaximumEdit()->text(), QStringLiteral("356"));
    again.MaximumEdit()->setText(QStringLiteral("212"));
    again.MinimumEdit()->setText(QStringLiteral(" 32 "));
    again.AutomaticButton()->click();
    QVERIFY(limits.IsFixed(ResultQuantity::Temperature));
    again.accept();
    QCOMPARE(again.result(), int(QDialog::Accepted));
    QVERIFY(!limits.IsFixed(ResultQuantity::Temperature));
    QVERIFY(std::abs(limits.FixedMaximum(ResultQuantity::Temperature) - 100.0) < 1e-9);
    QVERIFY(std::abs(limits.FixedMinimum(ResultQuantity::Temperature)) < 1e-9);
}

void ScalePanelTest::limitsOfDifferencesTakeNoFahrenheitOffset() {
    configuration->SetSIMetric(false);
    ScaleLimits limits;
    limits.SetFixedMinimum(ResultQuantity::Temperature, -10);
    limits.SetFixedMaximum(ResultQuantity::Temperature, 10);
    CScaleLimitsDialog dialog(Presented(ResultQuantity::Temperature, *configuration, 0, 0, BAgainstA()),
                              limits, *configuration);
    QCOMPARE(dialog.Title(), QStringLiteral("\u0394 Temperature (\u00b0F)"));
    QCOMPARE(dialog.MinimumEdit()->text(), QStringLiteral("-18"));
    QCOMPARE(dialog.MaximumEdit()->text(), QStringLiteral("18"));
    dialog.MaximumEdit()->setText(QStringLiteral("9"));
    dialog.FixedButton()->click();
    dialog.accept();
    QVERIFY(std::abs(limits.FixedMaximum(ResultQuantity::Temperature) - 5.0) < 1e-9);
    QVERIFY(std::abs(limits.FixedMinimum(ResultQuantity::Temperature) + 10.0) < 1e-9);
    QVERIFY(limits.IsFixed(ResultQuantity::Temperature));
}

void ScalePanelTest::textThatIsNotANumberKeepsTheDialogOpen() {
    ScaleLimits limits;
    limits.SetFixedMaximum(ResultQuantity::VonMises, 5);
    for (const char* typed : {"1,5", ""}) {
        CScaleLimitsDialog dialog(Presented(ResultQuantity::VonMises, *configuration), limits,
                                  *configuration);
        dialog.MinimumEdit()->setText(QString::fromLatin1(typed));
        dialog.MaximumEdit()->setText(QStringLiteral("7"));
        messages->messages.clear();
        dialog.accept();
        QVERIFY2(dialog.result() != QDialog::Accepted, typed);
        QCOMPARE(messages->messages.size(), size_t(1));
        QCOMPARE(messages->messages[0].text, std::string("Enter a number."));
        QVERIFY(messages->messages[0].icon == MessageIcon::Warning);
        QCOMPARE(limits.FixedMaximum(ResultQuantity::VonMises), 5.0);
    }
}

void ScalePanelTest::allRecordsFillsFixedLimits() {
    ScaleLimits limits;
    CScaleLimitsDialog dialog(Presented(ResultQuantity::Thickness, *configuration), limits, *configuration);
    bool succeed = false;
    dialog.SetAllRecords([&](double& minimum, double& maximum) {
        minimum = 0.00120004;
        maximum = 0.0030006;
        return succeed;
    });
    QVERIFY(dialog.AllRecordsButton()->isEnabled());
    dialog.AllRecordsButton()->click();
    QCOMPARE(dialog.MinimumEdit()->text(), QStringLiteral("0"));
    QVERIFY(!limits.IsFixed(ResultQuantity::Thickness));

    succeed = true;
    dialog.AllRecordsButton()->click();
    QCOMPARE(dialog.MinimumEdit()->text(), QStringLiteral("1.2"));
    QCOMPARE(dialog.MaximumEdit()->text(), QStringLiteral("3.001"));
    QVERIFY(dialog.FixedButton()->isChecked());
    QVERIFY(limits.IsFixed(ResultQuantity::Thickness));
    QVERIFY(dialog.isEnabled());
}

void ScalePanelTest::allRecordsOnAWorkerThread() {
    FixtureOptions options;
    options.records = 5;
    CProjectFixture fixture(options);
    for (int r = 0; r < options.records; ++r) {
        samplegen::RecordData record = fixture.Record(r);
        for (samplegen::RecordElement& element : record.elements)
            element.temperature = static_cast<float>(100 + 10 * r);
        QVERIFY(samplegen::WriteRecordFile(fixture.File(FormatText("fixture.%03d", r)), record));
    }
    double minimum = 0, maximum = 0;
    QVERIFY(ComputeAllRecordLimitsWithProgress(panel.get(), fixture.ProjectPath(), options.records,
                                               ResultQuantity::Temperature, minimum, maximum));
    QCOMPARE(minimum, 100.0);
    QCOMPARE(maximum, 140.0);

    // A missing record is said once, on this thread, and nothing is filled.
    QVERIFY(std::remove(fixture.File("fixture.002").c_str()) == 0);
    messages->messages.clear();
    minimum = maximum = -1;
    QVERIFY(!ComputeAllRecordLimitsWithProgress(panel.get(), fixture.ProjectPath(), options.records,
                                                ResultQuantity::Temperature, minimum, maximum));
    QCOMPARE(messages->messages.size(), size_t(1));
    QVERIFY(messages->messages[0].text.find("fixture.002") != std::string::npos);
    QCOMPARE(minimum, -1.0);
}

int main(int argc, char** argv) {
    return RunWindowTest<ScalePanelTest>(argc, argv);
}

#include "ScalePanelTest.moc"
