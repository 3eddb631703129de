// The main window as a user drives it, under a virtual X server: opening
// projects through the Open command, the menus and the scale panel following
// the active window, the record commands, the animation, units, the options
// dialog, the keys, the Window menu and the command states.
#include "tests/app/MainFrameTest.h"
#include "app/CChildFrame.h"
#include "app/CClientArea.h"
#include "app/CExportCommands.h"
#include "app/CExtendedChildFrame.h"
#include "app/CNavigationBar.h"
#include "app/CommandIds.h"
#include "core/FilePaths.h"
#include "model/CProjectProfile.h"
#include "model/Texts.h"
#include "scale/AllRecordLimits.h"
#include "scale/ResultQuantity.h"
#include "scale/ScaleLabels.h"
#include "scale/ScaleRange.h"
#include "tests/support/QtTestShard.h"
#include "ui/config/CGraphicalOptionsDialog.h"
#include "ui/scale/CScaleLimitsDialog.h"
#include "ui/scale/CScalePanel.h"
#include "ui/scene/CSceneCommands.h"
#include "ui/scene/CSceneRender.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <unistd.h>

using namespace quillmere;

namespace {

// Counts the paints of a progress bar that show a load under way.
class CProgressPaints : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && static_cast<QProgressBar*>(watched)->value() > 0)
            ++paints;
        return false;
    }
};

// Counts the frames scene views draw, from their first show on.
class CViewFrames : public QObject {
public:
    int frames = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Polish)
            if (auto* view = qobject_cast<CSceneRender*>(watched))
                connect(view, &CSceneRender::RotationShown, this, [this] { ++frames; });
        return false;
    }
};

QMenu* MenuNamed(QMainWindow& window, const QString& title) {
    for (QAction* action : window.menuBar()->actions())
        if (action->text() == title)
            return action->menu();
    return nullptr;
}

QStringList MenuTitles(QMainWindow& window) {
    QStringList titles;
    for (QAction* action : window.menuBar()->actions())
        titles << action->text();
    return titles;
}

// The share of a widget's pixels that the screen shows black, read back from
// the display as it stands (nothing drawn again for it). A view always
// shows its background, never black: tests wait for it with QTRY_*, as a
// slow build may take a while to draw, and a view left black stays black.
double BlackOnScreen(QWidget& widget) {
    QTest::qWait(20);
    const QPoint origin = widget.mapTo(widget.window(), QPoint(0, 0));
    const QImage shown =
        widget.screen()
            ->grabWindow(widget.window()->winId(), origin.x(), origin.y(), widget.width(), widget.height())
            .toImage();
    if (shown.isNull())
        return 1;
    qint64 black = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            black += (shown.pixel(x, y) & 0xffffff) == 0;
    return double(black) / (double(shown.width()) * shown.height());
}

} // namespace

void MainFrameTest::initTestCase() {
    FixtureOptions options;
    options.records = 5;
    fixture = std::make_unique<CProjectFixture>(options);
    // Thickness 1.2 mm to 3.0 mm over the sheet, record after record; node k
    // touches the tool from record k on.
    for (int r = 0; r < options.records; ++r) {
        samplegen::RecordData record = fixture->Record(r);
        for (size_t e = 0; e < record.elements.size(); ++e)
            record.elements[e].initialThickness =
                static_cast<float>(0.0012 + 0.0018 * static_cast<double>(e) / (record.elements.size() - 1));
        record.contactTool.assign(record.current.size(), 255);
        for (int node = 0; node <= r; ++node)
            record.contactTool[static_cast<size_t>(node)] = 0;
        QVERIFY(samplegen::WriteRecordFile(samplegen::RecordFileName(fixture->ProjectPath(), r), record));
    }
    other = std::make_unique<CProjectFixture>();
}

void MainFrameTest::init() {
    messages = std::make_unique<CRecordingMessages>();
    configuration = std::make_unique<CConfiguration>(home.File("Quillmere.cfg"));
    frame = std::make_unique<CMainFrame>(*configuration, files, 1280);
    frame->resize(1100, 800);
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
}

void MainFrameTest::cleanup() {
    frame.reset();
    configuration.reset();
    messages.reset();
}

CChildFrame* MainFrameTest::Open(const std::string& path) {
    files.next = QString::fromStdString(path);
    if (!frame->Commands().Run(command::Open))
        return nullptr;
    QCoreApplication::processEvents();
    return frame->ActiveChild();
}

void MainFrameTest::openCommandOpensTheProjectInAWindow() {
    QCOMPARE(MenuTitles(*frame), (QStringList{"&File", "&View", "&Help"}));
    // The status bar's progress moves while even a small project loads,
    // and goes when it is open.
    auto* bar = frame->statusBar()->findChild<QProgressBar*>();
    QVERIFY(bar);
    CProgressPaints progress;
    bar->installEventFilter(&progress);
    // The new view is not drawn while its window takes its place, only
    // when the window is painted.
    CViewFrames frames;
    qApp->installEventFilter(&frames);
    files.next = QString::fromStdString(fixture->ProjectPath());
    QVERIFY(frame->Commands().Run(command::Open));
    QCOMPARE(frames.frames, 0);
    QTRY_VERIFY(frames.frames > 0);
    qApp->removeEventFilter(&frames);
    CChildFrame* child = frame->ActiveChild();
    QVERIFY(child);
    QVERIFY(progress.paints > 0);
    QVERIFY(bar->isHidden());
    QCOMPARE(frame->Documents().size(), size_t(1));
    QCOMPARE(child->View()->ShownRecord(), 5);
    QVERIFY(child->windowTitle().startsWith(QStringLiteral("fixture.tfc: Rec. 5 / 5.")));
    QVERIFY(MenuTitles(*frame).contains(QStringLiteral("&Record")));
    QCOMPARE(frame->RecentFiles().value(0), QString::fromStdString(fixture->ProjectPath()));
    QVERIFY2(messages->messages.empty(), messages->Texts().c_str());
}

void MainFrameTest::menusAndScalePanelFollowTheActiveWindow() {
    CChildFrame* first = Open(fixture->ProjectPath());
    CChildFrame* second = Open(other->ProjectPath());
    QVERIFY(first && second && first != second);
    QCOMPARE(frame->ActiveChild(), second);
    second->View()->Commands().SetQuantity(ResultQuantity::Temperature);
    frame->ClientArea()->setActiveSubWindow(first);
    QCOMPARE(frame->ActiveChild(), first);
    QCOMPARE(frame->ScalePanel()->Quantity(), ResultQuantity::Thickness);
    frame->ClientArea()->setActiveSubWindow(second);
    QCOMPARE(frame->ScalePanel()->Quantity(), ResultQuantity::Temperature);
    // Closing both goes back to the menus of no document and a panel at rest.
    frame->CloseAllWindows();
    QCoreApplication::processEvents();
    QCOMPARE(MenuTitles(*frame), (QStringList{"&File", "&View", "&Help"}));
    CScalePanel* panel = frame->ScalePanel();
    auto* profiles = panel->findChild<QComboBox*>(QStringLiteral("profileList"));
    QTRY_COMPARE(profiles->currentText(), QStringLiteral("(no scale)"));
    QVERIFY(!profiles->isEnabled());
    QVERIFY(!panel->findChild<QPushButton*>(QStringLiteral("limitsButton"))->isEnabled());
    for (int k = 0; k < 5; ++k)
        QCOMPARE(panel->LabelText(k), QString());
    // and wakes again with the next project.
    QVERIFY(Open(fixture->ProjectPath()));
    QVERIFY(profiles->isEnabled());
    QCOMPARE(profiles->currentText(), QStringLiteral("Thickness"));
    QCOMPARE(panel->LabelText(0), QStringLiteral("  3.00 mm"));
    QCOMPARE(panel->LabelText(4), QStringLiteral("  1.20 mm"));
    // Other units reach the panel.
    configuration->SetSIMetric(false);
    frame->NotifyUnitsChanged();
    QCOMPARE(panel->LabelText(0), QStringLiteral(" 0.118 inch"));
    QCOMPARE(panel->LabelText(4), QStringLiteral(" 0.047 inch"));
}

void MainFrameTest::navigationBarIsShownOnFirstActivationOnly() {
    CChildFrame* first = Open(fixture->ProjectPath());
    QVERIFY(first->NavigationBarShown());
    QVERIFY(frame->Commands().Action(command::NavigationBar)->isChecked());
    QVERIFY(frame->Commands().Run(command::NavigationBar));
    QVERIFY(!first->NavigationBarShown());
    CChildFrame* second = Open(other->ProjectPath());
    QVERIFY(second->NavigationBarShown());
    frame->ClientArea()->setActiveSubWindow(first);
    QVERIFY2(!first->NavigationBarShown(), "a bar the user hid stays hidden");
    QCOMPARE(first->NavigationBar()->CountText(), QStringLiteral("Project contains 5 records."));
}

void MainFrameTest::scaleShowsTheLimitsOfTheRecordOnScreen() {
    // Ranges that differ from record to record; record 2 is a uniform 3 mm
    // at 147 degrees.
    FixtureOptions options;
    options.records = 4;
    CProjectFixture varied(options);
    for (int r = 0; r < options.records; ++r) {
        samplegen::RecordData record = varied.Record(r);
        const double last = static_cast<double>(record.elements.size() - 1);
        for (size_t e = 0; e < record.elements.size(); ++e) {
            const double t = r == 1 ? 0 : static_cast<double>(e) / last;
            record.elements[e].initialThickness = static_cast<float>(0.003 - (0.0006 + 0.0005 * r) * t);
            record.elements[e].temperature = static_cast<float>(140 + 7 * r - (20 + 9 * r) * t);
        }
        QVERIFY(samplegen::WriteRecordFile(samplegen::RecordFileName(varied.ProjectPath(), r), record));
    }
    // What quillmere-batch values computes for a record.
    CProjectProfile batch;
    QVERIFY(batch.Open(varied.ProjectPath(), nullptr));
    auto range = [&batch](int record, ResultQuantity quantity) {
        if (record != batch.CurrentRecord())
            batch.GoToRecord(record);
        return ComputeScaleRange(*batch.Sheet(), quantity, ScaleLimits());
    };
    CChildFrame* child = Open(varied.ProjectPath());
    QVERIFY(child);
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame.get()));
    CScalePanel* panel = frame->ScalePanel();
    auto shows = [&](ResultQuantity quantity, const ScaleRange& expected) {
        const auto texts = ScaleLabelTexts(quantity, expected.minimum, expected.maximum, *configuration);
        for (int k = 0; k < 5; ++k)
            QCOMPARE(panel->LabelText(k), QString::fromStdString(texts[static_cast<size_t>(k)]));
    };
    auto check = [&](int record, ResultQuantity quantity) {
        QTRY_VERIFY(!child->Document()->Player().IsLoading());
        QCOMPARE(child->View()->ShownRecord(), record);
        shows(quantity, range(record, quantity));
    };
    CNavigationBar* bar = child->NavigationBar();
    auto click = [bar](int id) {
        QTest::mouseClick(bar->findChild<QToolButton*>(QStringLiteral("command%1").arg(id)), Qt::LeftButton);
    };
    auto press = [child](Qt::Key key) {
        child->View()->setFocus();
        QTest::keyClick(child->View(), key, Qt::ControlModifier);
    };
    for (ResultQuantity quantity : {ResultQuantity::Thickness, ResultQuantity::Temperature}) {
        panel->findChild<QComboBox*>(QStringLiteral("profileList"))
            ->setCurrentIndex(QuantityNumber(quantity));
        QCOMPARE(child->View()->Scene().Quantity(), quantity);
        check(quantity == ResultQuantity::Thickness ? 4 : 1, quantity);
        // Each way to another record once.
        press(Qt::Key_Home);
        check(1, quantity);
        click(command::NextRecord);
        check(2, quantity);
        press(Qt::Key_PageDown);
        check(3, quantity);
        bar->SetRecordText(QStringLiteral("2"));
        QTest::mouseClick(bar->findChild<QWidget*>(QStringLiteral("load")), Qt::LeftButton);
        check(2, quantity);
        click(command::GoToStart);
        check(1, quantity);
        // The limits dialog starts from the limits of this record.
        QTimer::singleShot(0, [] {
            if (auto* dialog = qobject_cast<CScaleLimitsDialog*>(QApplication::activeModalWidget()))
                dialog->reject();
        });
        QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("limitsButton")), Qt::LeftButton);
        QCOMPARE(child->View()->Scene().Limits().FixedMinimum(quantity), range(1, quantity).minimum);
        QCOMPARE(child->View()->Scene().Limits().FixedMaximum(quantity), range(1, quantity).maximum);
    }
    // Back in a window of the project after a record was loaded in another
    // one, the labels are those of the record loaded, which it shows too.
    QVERIFY(frame->Commands().Run(command::NewWindow));
    QVERIFY(frame->Commands().Run(command::NextRecord));
    QTRY_VERIFY(!child->Document()->Player().IsLoading());
    frame->ClientArea()->setActiveSubWindow(child);
    check(2, ResultQuantity::Temperature);
    click(command::GoToStart);
    check(1, ResultQuantity::Temperature);
    // Fixed at record 1's limits, record 2 shows them; automatic again, its own.
    auto limitsDialog = [&](const QString& mode, bool ok) {
        QTimer::singleShot(0, [mode, ok] {
            auto* dialog = qobject_cast<CScaleLimitsDialog*>(QApplication::activeModalWidget());
            for (QRadioButton* button : dialog->findChildren<QRadioButton*>())
                if (button->text() == mode)
                    QTest::mouseClick(button, Qt::LeftButton);
            ok ? dialog->accept() : dialog->reject();
        });
        QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("limitsButton")), Qt::LeftButton);
    };
    limitsDialog(QStringLiteral("Fixed"), false);
    click(command::NextRecord);
    QTRY_VERIFY(!child->Document()->Player().IsLoading());
    QCOMPARE(child->View()->ShownRecord(), 2);
    shows(ResultQuantity::Temperature, range(1, ResultQuantity::Temperature));
    limitsDialog(QStringLiteral("Automatic"), true);
    check(2, ResultQuantity::Temperature);
    QVERIFY2(messages->messages.empty(), messages->Texts().c_str());
}

// Thinning and first contact follow "L1 / L2" in the panel's and the cut
// window's lists, and the panel labels what quillmere-batch values computes
// for them; first contact reads every record first, and a record that
// cannot be read leaves the quantity shown before.
void MainFrameTest::thinningAndFirstContactLabelWhatValuesComputes() {
    FixtureOptions options;
    options.records = 3;
    CProjectFixture formed(options);
    for (int r = 0; r < options.records; ++r) {
        samplegen::RecordData record = formed.Record(r);
        record.contactTool.assign(record.current.size(), 255);
        for (size_t n = 0; n < record.current.size(); ++n) {
            record.current[n].x *= 1 + 0.2 * r + 0.1 * record.current[n].y;
            if (static_cast<int>(n % 4) <= r)
                record.contactTool[n] = 1;
        }
        QVERIFY(samplegen::WriteRecordFile(samplegen::RecordFileName(formed.ProjectPath(), r), record));
    }
    // What quillmere-batch values computes.
    CProjectProfile batch;
    QVERIFY(batch.Open(formed.ProjectPath(), nullptr));
    Message failure;
    QVERIFY2(EnsureFirstContact(batch, failure), MessageText(failure).c_str());
    CChildFrame* child = Open(formed.ProjectPath());
    QVERIFY(child);
    CScalePanel* panel = frame->ScalePanel();
    auto* profiles = panel->findChild<QComboBox*>(QStringLiteral("profileList"));
    QCOMPARE(profiles->itemText(7), QStringLiteral("L1 / L2"));
    QCOMPARE(profiles->itemText(8), QStringLiteral("Thinning"));
    QCOMPARE(profiles->itemText(9), QStringLiteral("First contact"));
    for (ResultQuantity quantity : {ResultQuantity::Thinning, ResultQuantity::FirstContact}) {
        profiles->setCurrentIndex(QuantityNumber(quantity));
        QCOMPARE(child->View()->Scene().Quantity(), quantity);
        const ScaleRange range = ComputeScaleRange(*batch.Sheet(), quantity, ScaleLimits());
        QVERIFY(range.minimum < range.maximum);
        const auto texts = ScaleLabelTexts(quantity, range.minimum, range.maximum, *configuration);
        for (int k = 0; k < 5; ++k)
            QCOMPARE(panel->LabelText(k), QString::fromStdString(texts[static_cast<size_t>(k)]));
    }
    QCOMPARE(panel->LabelText(0), QStringLiteral("   3.0"));
    QCOMPARE(panel->LabelText(4), QStringLiteral("   1.0"));
    QVERIFY(child->Document()->Sheet()->FirstContact());
    QVERIFY(frame->Commands().Run(command::CutWindow));
    auto* cutProfiles =
        frame->CutWindowOf(child->Document())->findChild<QComboBox*>(QStringLiteral("profile"));
    QCOMPARE(cutProfiles->itemText(7), QStringLiteral("Thinning"));
    QCOMPARE(cutProfiles->itemText(8), QStringLiteral("First contact"));
    QVERIFY2(messages->messages.empty(), messages->Texts().c_str());

    // Another project, one of whose records is gone.
    FixtureOptions broken = options;
    broken.records = 4;
    CProjectFixture gap(broken);
    QVERIFY(std::remove(samplegen::RecordFileName(gap.ProjectPath(), 1).c_str()) == 0);
    CChildFrame* second = Open(gap.ProjectPath());
    QVERIFY(second);
    messages->messages.clear();
    profiles->setCurrentIndex(QuantityNumber(ResultQuantity::Temperature));
    profiles->setCurrentIndex(QuantityNumber(ResultQuantity::FirstContact));
    QCOMPARE(messages->messages.size(), size_t(1));
    QVERIFY2(messages->messages[0].text.find("Unable to read from the") == 0, messages->Texts().c_str());
    QCOMPARE(second->View()->Scene().Quantity(), ResultQuantity::Temperature);
    QCOMPARE(profiles->currentIndex(), QuantityNumber(ResultQuantity::Temperature));
    QVERIFY(!second->Document()->Sheet()->FirstContact());
}

void MainFrameTest::animationLeavesOtherWindowsRecordBoxes() {
    CChildFrame* animated = Open(fixture->ProjectPath());
    CChildFrame* still = Open(other->ProjectPath());
    animated->Document()->SetAnimationPeriod(1);
    frame->ClientArea()->setActiveSubWindow(animated);
    QVERIFY(frame->Commands().Run(command::Animation));
    frame->ClientArea()->setActiveSubWindow(still);
    // A number typed into the other window stays while the records go by,
    // and Load loads it there.
    QLineEdit* box = still->NavigationBar()->RecordBox();
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("2"));
    QSignalSpy steps(animated->View(), &CSceneRender::PresentationChanged);
    QSignalSpy written(box, &QLineEdit::textChanged);
    QTRY_VERIFY(steps.count() >= 4);
    QCOMPARE(written.count(), 0);
    QTest::mouseClick(still->NavigationBar()->findChild<QWidget*>(QStringLiteral("load")), Qt::LeftButton);
    QTRY_VERIFY(!still->Document()->Player().IsLoading());
    QCOMPARE(still->View()->ShownRecord(), 2);
    QCOMPARE(still->Document()->CurrentRecord(), 2);
    frame->ClientArea()->setActiveSubWindow(animated);
    QVERIFY(frame->Commands().Run(command::Animation));
    QTRY_COMPARE(animated->NavigationBar()->RecordText(), QString::number(animated->View()->ShownRecord()));
    QCOMPARE(box->text(), QStringLiteral("2"));
}

// The dialog edits the active view's settings. A cut window active, then
// the last window closed: it edits nothing (no crash, no freed settings
// saved) until a view is active again.
void MainFrameTest::graphicalOptionsFollowTheActiveView() {
    CChildFrame* child = Open(fixture->ProjectPath());
    QVERIFY(frame->Commands().Run(command::GraphicsOptions));
    QPointer<CGraphicalOptionsDialog> dialog = frame->findChild<CGraphicalOptionsDialog*>();
    QVERIFY(dialog && QTest::qWaitForWindowExposed(dialog));
    QCOMPARE(dialog->Target(), &child->View()->Scene().Settings());
    QVERIFY(Command(command::GraphicsOptions)->isChecked());
    // "Save" makes the view's settings the defaults and writes them.
    child->View()->Scene().Settings().tools[2].mode = 1;
    emit dialog->SaveRequested();
    QCOMPARE(configuration->Settings().tools[2].mode, 1);
    QCOMPARE(CConfiguration(configuration->FilePath()).Settings().tools[2].mode, 1);
    const auto click = [&dialog](const char* name) {
        auto* control = dialog->findChild<QWidget*>(QString::fromLatin1(name));
        QVERIFY2(control, name);
        QVERIFY2(!control->isEnabled(), name);
        QTest::mouseClick(control, Qt::LeftButton);
        if (auto* slider = qobject_cast<QSlider*>(control))
            QTest::keyClick(slider, Qt::Key_PageUp);
    };
    const DisplaySettings before = child->View()->Scene().Settings();
    QVERIFY(frame->Commands().Run(command::CutWindow));
    QCOMPARE(dialog->Target(), nullptr);
    QVERIFY(dialog->findChild<QWidget*>(QStringLiteral("close"))->isEnabled());
    for (const char* name : {"sheetShown", "tool0Shown", "sheetOpacity", "save"})
        click(name);
    QCOMPARE(child->View()->Scene().Settings().sheetShown, before.sheetShown);
    QCOMPARE(child->View()->Scene().Settings().sheetOpacity, before.sheetOpacity);
    frame->ClientArea()->setActiveSubWindow(child);
    QCOMPARE(dialog->Target(), &child->View()->Scene().Settings());

    const std::string file = ReadWholeFile(configuration->FilePath());
    child->close();
    QTRY_COMPARE(frame->Documents().size(), size_t(0));
    QVERIFY(dialog);
    QCOMPARE(dialog->Target(), nullptr);
    for (const char* name :
         {"sheetShown", "nodeDotsShown", "tool3ContactMarking", "sheetOpacity", "applyToAll", "save"})
        click(name);
    QCOMPARE(ReadWholeFile(configuration->FilePath()), file);
    // The next window brings the controls back.
    CChildFrame* next = Open(other->ProjectPath());
    QCOMPARE(dialog->Target(), &next->View()->Scene().Settings());
    QVERIFY(dialog->findChild<QWidget*>(QStringLiteral("sheetShown"))->isEnabled());
    QVERIFY(frame->Commands().Run(command::GraphicsOptions));
    QTRY_VERIFY(!dialog);
}

// The toolbar's display commands edit the same settings the dialog shows.
void MainFrameTest::graphicalOptionsShowTheToolbarCommands() {
    frame->resize(1280, 800);
    CChildFrame* child = Open(fixture->ProjectPath());
    QVERIFY(frame->Commands().Run(command::GraphicsOptions));
    auto* dialog = frame->findChild<CGraphicalOptionsDialog*>();
    QVERIFY(dialog);
    const DisplaySettings& settings = child->View()->Scene().Settings();
    const auto press = [this](int id) {
        QWidget* button = frame->StandardToolBar()->widgetForAction(frame->Commands().Action(id));
        QVERIFY2(button && button->isVisible(), qPrintable(QString::number(id)));
        QTest::mouseClick(button, Qt::LeftButton);
    };
    const auto shows = [dialog](const char* name) {
        auto* control = dialog->findChild<QWidget*>(QString::fromLatin1(name));
        if (auto* list = qobject_cast<QComboBox*>(control))
            return list->currentIndex();
        return int(qobject_cast<QAbstractButton*>(control)->isChecked());
    };
    for (int id : {command::Sheet, command::Tool1, command::Tool2, command::SheetEdges, command::Tool1Shading,
                   command::Tool2Shading, command::Tool2Shading, command::Dots, command::Measurement}) {
        press(id);
        QCOMPARE(shows("sheetShown"), int(settings.sheetShown != 0));
        QCOMPARE(shows("tool0Shown"), int(settings.tools[0].shown != 0));
        QCOMPARE(shows("tool1Shown"), int(settings.tools[1].shown != 0));
        QCOMPARE(shows("sheetDisplayMode"), int(settings.sheetDisplayMode));
        QCOMPARE(shows("tool0Mode"), settings.tools[0].mode);
        QCOMPARE(shows("tool1Mode"), settings.tools[1].mode);
        QCOMPARE(shows("nodeDotsShown"), int(settings.nodeDotsShown != 0));
        QCOMPARE(shows("distanceMeasurement"), int(settings.distanceMeasurement != 0));
    }
    QCOMPARE(settings.sheetDisplayMode, SheetDisplayMode::Edges);
    QCOMPARE(settings.tools[1].mode, 2);
}

void MainFrameTest::commandStatesFollowTheActiveView() {
    QVERIFY(!frame->Commands().Action(command::Sheet)->isEnabled());
    QVERIFY(!frame->Commands().Action(command::NewWindow)->isEnabled());
    CChildFrame* child = Open(fixture->ProjectPath());
    QVERIFY(frame->Commands().Action(command::Sheet)->isChecked());
    QVERIFY(frame->Commands().Run(command::Sheet));
    QVERIFY(!child->View()->Scene().Settings().sheetShown);
    QVERIFY(!frame->Commands().Action(command::Sheet)->isChecked());
    QVERIFY(frame->Commands().Run(command::SheetEdges));
    QVERIFY(frame->Commands().Action(command::SheetEdges)->isChecked());
    QVERIFY(!frame->Commands().Action(command::SheetElements)->isChecked());
    QVERIFY2(!frame->Commands().Action(command::RemoveClipPlanes)->isEnabled(), "no planes are set");
    QVERIFY(frame->Commands().Action(command::CutWindow)->isEnabled());
    // The take-away commands work on the active view; pictures and the video
    // wait for a running animation to stop.
    for (int id : {command::Print, command::SaveBitmap, command::ExportVideo, command::ExportProject})
        QVERIFY2(frame->Commands().Action(id)->isEnabled(), qPrintable(QString::number(id)));
    // The animation moves every view of the document.
    CProjectProfile* document = child->Document();
    document->SetAnimationPeriod(1);
    QVERIFY(frame->Commands().Run(command::NewWindow));
    CChildFrame* second = frame->ActiveChild();
    QVERIFY(frame->Commands().Run(command::Animation));
    QVERIFY(Command(command::Animation)->isChecked());
    QVERIFY(!Command(command::AutoLoad)->isEnabled());
    QVERIFY(!Command(command::SaveBitmap)->isEnabled());
    QVERIFY(!Command(command::ExportVideo)->isEnabled());
    QTRY_VERIFY(child->View()->ShownRecord() == 2 && second->View()->ShownRecord() == 2);
    QVERIFY(frame->Commands().Run(command::Animation));
    QVERIFY(!document->IsAnimationRunning());
    QVERIFY(!Command(command::Animation)->isChecked());
    QCOMPARE(child->View()->ShownRecord(), document->CurrentRecord());
    QCOMPARE(second->View()->ShownRecord(), document->CurrentRecord());
    QVERIFY(Command(command::SaveBitmap)->isEnabled());
}

void MainFrameTest::commandStatesFollowTheViewAndTheBars() {
    CChildFrame* child = Open(fixture->ProjectPath());
    QAction* removeBox = nullptr;
    for (QAction* action : frame->ScalePanel()->findChild<QToolBar*>(QStringLiteral("viewBar"))->actions())
        if (action->text() == QStringLiteral("Del E-Box"))
            removeBox = action;
    QVERIFY(removeBox && !removeBox->isEnabled());
    QVERIFY(frame->Commands().Run(command::ExclusiveZoomBox));
    CSceneRender* view = child->View();
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(100, 80));
    QTest::mouseMove(view, QPoint(300, 250));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(300, 250));
    QVERIFY(view->Interactor().ClipPlanesActive());
    QTRY_VERIFY(Command(command::RemoveClipPlanes)->isEnabled());
    QVERIFY(removeBox->isEnabled());
    // Bars closed by their own buttons lose their check marks.
    QVERIFY(Command(command::ScaleBar)->isChecked());
    QTest::mouseClick(
        frame->ScaleDock()->findChild<QAbstractButton*>(QStringLiteral("qt_dockwidget_closebutton")),
        Qt::LeftButton);
    QVERIFY(frame->ScaleDock()->isHidden());
    QTRY_VERIFY(!Command(command::ScaleBar)->isChecked());
    QVERIFY(Command(command::StandardToolbar)->isChecked());
    frame->StandardToolBar()->toggleViewAction()->trigger();
    QTRY_VERIFY(!Command(command::StandardToolbar)->isChecked());
}

void MainFrameTest::commandStatesFollowTheReportFileAndTheAnimation() {
    CProjectFixture project;
    CChildFrame* child = Open(project.ProjectPath());
    QAction* report = Command(command::ReportFile);
    QVERIFY(!report->isEnabled());
    const std::string reportPath = project.File("fixture.htm");
    std::ofstream(reportPath) << "<html></html>\n";
    // The menu shows the state of the moment; so does the toolbar under the
    // mouse.
    QMenu* file = frame->menuBar()->actions().value(0)->menu();
    file->popup(frame->mapToGlobal(QPoint(10, 10)));
    QVERIFY(report->isEnabled());
    file->close();
    std::remove(reportPath.c_str());
    QTest::mouseMove(frame->StandardToolBar()->widgetForAction(report));
    QTRY_VERIFY(!report->isEnabled());
    // An animation that ends by itself at a missing record.
    std::remove(project.File("fixture.000").c_str());
    child->Document()->SetAnimationPeriod(1);
    QVERIFY(frame->Commands().Run(command::Animation));
    QTRY_VERIFY(!child->Document()->IsAnimationRunning());
    QTRY_VERIFY(!Command(command::Animation)->isChecked());
    QVERIFY(Command(command::AutoLoad)->isEnabled());
}

// A second window on the document has its own bar; the last window closed
// closes the document and its cut window.
void MainFrameTest::secondWindowHasItsOwnBarAndTheLastClosesTheDocument() {
    CChildFrame* first = Open(fixture->ProjectPath());
    QVERIFY(frame->Commands().Run(command::NewWindow));
    CChildFrame* second = frame->ActiveChild();
    QVERIFY(second && second != first);
    QCOMPARE(second->Document(), first->Document());
    QVERIFY(second->NavigationBar() != first->NavigationBar());
    QVERIFY(second->NavigationBarShown());
    QVERIFY2(first->windowTitle().endsWith(QStringLiteral(":1")),
             qPrintable(first->windowTitle() + " / " + second->windowTitle()));
    QVERIFY(second->windowTitle().endsWith(QStringLiteral(":2")));
    second->close();
    QCoreApplication::processEvents();
    QCOMPARE(frame->Documents().size(), size_t(1));
    QVERIFY(frame->Commands().Run(command::CutWindow));
    QVERIFY(frame->CutWindowOf(first->Document()));
    first->close();
    QTRY_COMPARE(frame->Documents().size(), size_t(0));
    QVERIFY(frame->Children().empty());
    QTRY_VERIFY(frame->ClientArea()->subWindowList().isEmpty());
}

void MainFrameTest::cutWindowToggleOpensOneWindowPerDocument() {
    CChildFrame* first = Open(fixture->ProjectPath());
    QVERIFY(Command(command::CutWindow)->isEnabled());
    QVERIFY(!Command(command::CutWindow)->isChecked());
    QVERIFY(frame->Commands().Run(command::CutWindow));
    CExtendedChildFrame* cut = frame->CutWindowOf(first->Document());
    QVERIFY(cut);
    QCOMPARE(cut->windowTitle(), QStringLiteral("fixture.tfc: 3D Cut"));
    QCOMPARE(frame->ActiveDocumentFrame(), cut);
    QVERIFY(Command(command::CutWindow)->isChecked());
    QCOMPARE(MenuTitles(*frame), (QStringList{"&File", "&View", "&Window", "&Help"}));
    QVERIFY(!Command(command::PrintCut)->isEnabled());
    QVERIFY(!Command(command::Print)->isEnabled());
    // A cut made with the window's own controls enables printing at once.
    auto* position = cut->findChild<QLineEdit*>(QStringLiteral("position"));
    position->selectAll();
    QTest::keyClicks(position, QStringLiteral("12.5"));
    QTest::mouseClick(cut->findChild<QPushButton*>(QStringLiteral("cutting")), Qt::LeftButton);
    QTRY_VERIFY(Command(command::PrintCut)->isEnabled());
    QVERIFY(Command(command::Print)->isEnabled());
    // No video while the document has a cut window.
    frame->ClientArea()->setActiveSubWindow(first);
    QVERIFY(!Command(command::ExportVideo)->isEnabled());
    QVERIFY(Command(command::SaveBitmap)->isEnabled());
    // A second project gets its own cut window; the toggle again closes the
    // active document's.
    CChildFrame* second = Open(other->ProjectPath());
    QVERIFY(!frame->CutWindowOf(second->Document()));
    QVERIFY(frame->Commands().Run(command::CutWindow));
    QVERIFY(frame->CutWindowOf(second->Document()));
    QVERIFY(frame->CutWindowOf(second->Document()) != cut);
    QVERIFY(frame->Commands().Run(command::CutWindow));
    QTRY_VERIFY(!frame->CutWindowOf(second->Document()));
    QCOMPARE(frame->CutWindowOf(first->Document()), cut);
    frame->ClientArea()->setActiveSubWindow(cut);
    QVERIFY(frame->Commands().Run(command::CloseAll));
    QTRY_COMPARE(frame->Documents().size(), size_t(0));
}

// Print into a PDF file, from a view and from the cut window: a link planted
// at the file's name is replaced by the page, not written through.
void MainFrameTest::printingIntoAFileWritesNoPlantedLink() {
    CChildFrame* child = Open(fixture->ProjectPath());
    QVERIFY(child);
    const std::string victim = home.File("victim"), pdf = home.File("printed.pdf");
    QPrinter& printer = ThePrinter();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    const auto planted = [&] {
        WriteWholeFile(victim, "not to be written");
        std::remove(pdf.c_str());
        return ::symlink(victim.c_str(), pdf.c_str()) == 0;
    };
    const auto printed = [&](const char* what) {
        const std::string page = ReadWholeFile(pdf);
        QVERIFY2(ReadWholeFile(victim) == "not to be written", what);
        QVERIFY2(page.rfind("%PDF-", 0) == 0 && page.find("%%EOF") != std::string::npos, what);
    };
    QVERIFY(planted());
    QVERIFY(frame->Commands().Run(command::PrintDirect));
    printed("the view");

    QVERIFY(frame->Commands().Run(command::CutWindow));
    CExtendedChildFrame* cut = frame->CutWindowOf(child->Document());
    QVERIFY(cut);
    auto* position = cut->findChild<QLineEdit*>(QStringLiteral("position"));
    position->selectAll();
    QTest::keyClicks(position, QStringLiteral("12.5"));
    QTest::mouseClick(cut->findChild<QPushButton*>(QStringLiteral("cutting")), Qt::LeftButton);
    QTRY_VERIFY(Command(command::PrintCut)->isEnabled());
    QVERIFY(planted());
    // The print dialog starts from the program's printer; Return prints, and
    // answers its question whether to replace the file.
    QTimer answer;
    connect(&answer, &QTimer::timeout, [] {
        // Posted, so that the timer goes on while the question waits.
        QWidget* asking = QApplication::activeModalWidget();
        auto* question = qobject_cast<QMessageBox*>(asking);
        if (question && question->button(QMessageBox::Yes))
            QMetaObject::invokeMethod(question->button(QMessageBox::Yes), &QAbstractButton::click,
                                      Qt::QueuedConnection);
        else if (asking)
            QMetaObject::invokeMethod(
                asking, [asking] { QTest::keyClick(asking, Qt::Key_Return); }, Qt::QueuedConnection);
    });
    answer.start(50);
    QVERIFY(frame->Commands().Run(command::PrintCut));
    answer.stop();
    printed("the cut window");
    QCOMPARE(printer.outputFileName(), QString::fromStdString(pdf));
    QVERIFY2(messages->messages.empty(), messages->Texts().c_str());
    printer.setOutputFileName(QString());
    printer.setOutputFormat(QPrinter::NativeFormat);
}

void MainFrameTest::keysReachTheActiveWindowAfterTheRecordBox() {
    CChildFrame* first = Open(other->ProjectPath());
    CChildFrame* second = Open(fixture->ProjectPath());
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame.get()));
    // A number outside the project is refused and the box shows the record
    // again; one typed and loaded with Return; the record keys then reach
    // the view.
    QLineEdit* box = second->NavigationBar()->RecordBox();
    const auto load = [box](const char* typed) {
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, QString::fromLatin1(typed));
        QTest::keyClick(box, Qt::Key_Return);
    };
    load("6");
    QCOMPARE(messages->Texts(), MessageText(MessageId::InvalidRecordNumber));
    QCOMPARE(box->text(), QStringLiteral("5"));
    const auto loaded = [&] { return !second->Document()->Player().IsLoading(); };
    load("2");
    QTRY_VERIFY(loaded());
    QCOMPARE(second->Document()->CurrentRecord(), 2);
    QCOMPARE(QApplication::focusWidget(), second->View());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ControlModifier);
    QTRY_VERIFY(loaded());
    QCOMPARE(second->Document()->CurrentRecord(), 5);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown, Qt::ControlModifier);
    QTRY_VERIFY(loaded());
    QCOMPARE(second->Document()->CurrentRecord(), 1);
    QCOMPARE(second->View()->ShownRecord(), 1);
    QCOMPARE(second->NavigationBar()->RecordText(), QStringLiteral("1"));
    // Both projects are "fixture.tfc": the caption names the folder too.
    QCOMPARE(second->windowTitle(), QString::fromStdString(FileNamePart(FolderPart(fixture->ProjectPath())) +
                                                           "/fixture.tfc: Rec. 1 / 5."));
    // Ctrl+W closes the active window, and only that one.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_W, Qt::ControlModifier);
    QTRY_COMPARE(frame->Documents().size(), size_t(1));
    QCOMPARE(frame->ActiveChild(), first);
}

void MainFrameTest::tileAndCascadeKeepTheFrameAndUsableViews() {
    frame->setGeometry(frame->screen()->availableGeometry());
    QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
    QCOMPARE(frame->width(), 1600);
    Open(fixture->ProjectPath());
    for (int k = 1; k < 8; ++k)
        QVERIFY(frame->Commands().Run(command::NewWindow));
    QCoreApplication::processEvents();
    const QRect placed = frame->geometry();
    QMenu* window = MenuNamed(*frame, QStringLiteral("&Window"));
    QVERIFY(window);
    const QRect free = frame->ClientArea()->viewport()->rect();
    for (const char* arrange : {"&Tile", "&Cascade"}) {
        const auto actions = window->actions();
        const auto found = std::find_if(actions.begin(), actions.end(), [arrange](QAction* a) {
            return a->text() == QLatin1String(arrange);
        });
        QVERIFY(found != actions.end());
        (*found)->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(frame->geometry(), placed);
        QCOMPARE(frame->ClientArea()->viewport()->rect(), free);
        for (CChildFrame* child : frame->Children()) {
            QVERIFY2(free.contains(child->geometry()), arrange);
            QVERIFY2(child->View()->height() >= 150, arrange);
        }
    }
    // Cascaded windows are stepped.
    const std::vector<CChildFrame*> children = frame->Children();
    QVERIFY(children.front()->pos() != children.back()->pos());
}

void MainFrameTest::windowMenuListsAndActivatesTheWindows() {
    CChildFrame* first = Open(fixture->ProjectPath());
    CChildFrame* second = Open(other->ProjectPath());
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame.get()));
    QMenu* window = MenuNamed(*frame, QStringLiteral("&Window"));
    QVERIFY(window);
    QTest::keyClick(frame.get(), Qt::Key_W, Qt::AltModifier);
    QTRY_VERIFY(window->isVisible());
    QStringList entries;
    for (QAction* action : window->actions())
        if (QRegularExpression(QStringLiteral("^&\\d ")).match(action->text()).hasMatch())
            entries << action->text() + (action->isChecked() ? QStringLiteral(" *") : QString());
    QCOMPARE(entries, (QStringList{"&1 " + first->windowTitle(), "&2 " + second->windowTitle() + " *"}));
    QTest::keyClick(window, Qt::Key_1);
    QTRY_VERIFY(!window->isVisible());
    QCOMPARE(frame->ActiveChild(), first);
}

// A window closed on top of a view leaves it drawn on the screen: the cut
// window closed with the toolbar's Cut button, and a reference project
// closed while the view compares with it.
void MainFrameTest::viewsShowAgainWhenAWindowOnTopCloses() {
    CChildFrame* variant = Open(fixture->ProjectPath());
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame.get()));
    CSceneRender* view = variant->View();
    QTRY_VERIFY(BlackOnScreen(*view) < 0.01);
    CChildFrame* reference = Open(other->ProjectPath());
    QVERIFY(reference);
    frame->ClientArea()->setActiveSubWindow(variant);
    QVERIFY(frame->CompareActiveView(*reference->Document()));
    QTRY_VERIFY(BlackOnScreen(*view) < 0.01);
    frame->ClientArea()->setActiveSubWindow(reference);
    QVERIFY(frame->Commands().Run(command::Close));
    QTRY_COMPARE(frame->Documents().size(), size_t(1));
    QCOMPARE(frame->ActiveChild(), variant);
    QVERIFY(!view->Comparison());
    QTRY_VERIFY2(BlackOnScreen(*view) < 0.01, "after the reference");
    // Turned, it shows the turned view.
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(view, QPoint(160, 130));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(160, 130));
    QTRY_VERIFY2(BlackOnScreen(*view) < 0.01, "turned");

    QVERIFY(frame->Commands().Run(command::CutWindow));
    QVERIFY(frame->CutWindowOf(variant->Document()));
    QTest::mouseClick(frame->StandardToolBar()->widgetForAction(Command(command::CutWindow)), Qt::LeftButton);
    QTRY_VERIFY(!frame->CutWindowOf(variant->Document()));
    QTRY_VERIFY2(BlackOnScreen(*view) < 0.01, "after the cut window");
    QVERIFY2(messages->messages.empty(), messages->Texts().c_str());
}

// Window > New window gives a view of a usable size inside the area, the
// windows maximised, tiled or cascaded.
void MainFrameTest::newWindowIsUsableWhereverTheOthersAre() {
    Open(fixture->ProjectPath());
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame.get()));
    QVERIFY(frame->Commands().Run(command::NewWindow));
    const QRect free = frame->ClientArea()->viewport()->rect();
    for (const char* arrange : {"maximised", "tiled", "cascaded"}) {
        auto* area = static_cast<CClientArea*>(frame->ClientArea());
        if (arrange[0] == 't')
            area->Tile();
        else if (arrange[0] == 'c')
            area->Cascade();
        CChildFrame* before = frame->ActiveChild();
        QVERIFY(frame->Commands().Run(command::NewWindow));
        CChildFrame* added = frame->ActiveChild();
        QVERIFY2(added && added != before, arrange);
        QCoreApplication::processEvents();
        QVERIFY2(added->isMaximized() || free.contains(added->geometry()), arrange);
        QVERIFY2(added->View()->width() >= free.width() / 3 && added->View()->height() >= free.height() / 3,
                 qPrintable(QStringLiteral("%1: %2 x %3")
                                .arg(arrange)
                                .arg(added->View()->width())
                                .arg(added->View()->height())));
        QVERIFY2(added->View()->isValid(), arrange);
        QTRY_VERIFY2(BlackOnScreen(*added->View()) < 0.01, arrange);
        // Over the window it came from, not hidden under it.
        QVERIFY2(added->geometry() != before->geometry() || added->isMaximized(), arrange);
    }
    QVERIFY2(messages->messages.empty(), messages->Texts().c_str());
}

void MainFrameTest::closingTheCutWindowActivatesTheWindowItCameFrom() {
    CChildFrame* first = Open(fixture->ProjectPath());
    CChildFrame* second = Open(other->ProjectPath());
    for (CChildFrame* origin : {first, second}) {
        frame->ClientArea()->setActiveSubWindow(origin);
        QVERIFY(frame->Commands().Run(command::CutWindow));
        CExtendedChildFrame* cut = frame->CutWindowOf(origin->Document());
        QVERIFY(cut);
        QCOMPARE(frame->ActiveDocumentFrame(), cut);
        QTest::mouseClick(frame->StandardToolBar()->widgetForAction(Command(command::CutWindow)),
                          Qt::LeftButton);
        QTRY_VERIFY(!frame->CutWindowOf(origin->Document()));
        QCOMPARE(frame->ActiveChild(), origin);
    }
    // Closed with its own window button too.
    frame->ClientArea()->setActiveSubWindow(first);
    QVERIFY(frame->Commands().Run(command::CutWindow));
    frame->CutWindowOf(first->Document())->close();
    QTRY_VERIFY(!frame->CutWindowOf(first->Document()));
    QCOMPARE(frame->ActiveChild(), first);
}

int main(int argc, char** argv) {
    // The profile, the configuration and the recent files of the test only.
    static CTempFolder home;
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home.Path()));
    CSceneRender::PrepareApplication();
    QApplication application(argc, argv);
    qAddPostRoutine(KeepLoadedLibraries);
    std::setlocale(LC_NUMERIC, "C");
    QCoreApplication::setOrganizationName(QStringLiteral("Veltrane"));
    QCoreApplication::setApplicationName(QStringLiteral("Quillmere"));
    MainFrameTest test;
    return ExecTestShard(test, argc, argv);
}
