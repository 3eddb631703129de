// The main window as a user drives it, under a virtual X server: opening
// projects through the Open command, the menus and the scale panel following
// the active window, the record commands with their messages, the animation,
// units, the options dialog, the window placement and a second start.
#include "app/CChildFrame.h"
#include "app/CExtendedChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CNavigationBar.h"
#include "app/CViewerApplication.h"
#include "app/CommandIds.h"
#include "app/WindowPlacement.h"
#include "config/CConfiguration.h"
#include "config/CGraphicalOptionsDialog.h"
#include "model/CProjectProfile.h"
#include "model/Texts.h"
#include "scale/CScalePanel.h"
#include "scene/CSceneRender.h"
#include "tests/model/ProjectFixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenuBar>
#include <QSettings>
#include <QSlider>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <cstdlib>
#include <memory>

namespace {

// Answers the Open dialog with a preset file.
class CPresetFiles : public IFileChooser {
public:
    QString next;
    QString ProjectToOpen(QWidget*) override { return next; }
};

QStringList MenuTitles(QMainWindow& window) {
    QStringList titles;
    for (QAction* action : window.menuBar()->actions())
        titles << action->text();
    return titles;
}

} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void openCommandOpensTheProjectInAWindow();
    void menusAndScalePanelFollowTheActiveWindow();
    void navigationCommandsWrapAround();
    void loadRecordRefusesNumbersOutsideTheProject();
    void navigationBarIsShownOnFirstActivationOnly();
    void secondWindowOnTheDocumentHasItsOwnBar();
    void animationMovesEveryViewOfTheDocument();
    void thicknessLabelsAreExactAndFollowTheUnits();
    void graphicalOptionsFollowTheActiveView();
    void graphicalOptionsRestWithoutAnActiveView();
    void graphicalOptionsShowTheToolbarCommands();
    void commandStatesFollowTheActiveView();
    void closingTheLastWindowClosesTheDocument();
    void cutWindowToggleOpensOneWindowPerDocument();
    void closingTheProjectClosesItsCutWindow();
    void windowPlacementRoundTrip();
    void secondStartHandsItsFileToTheFirst();

private:
    CChildFrame* Open(const std::string& path);

    CTempFolder home;
    std::unique_ptr<CProjectFixture> fixture, other;
    std::unique_ptr<CRecordingMessages> messages;
    CPresetFiles files;
    std::unique_ptr<CConfiguration> configuration;
    std::unique_ptr<CMainFrame> frame;
};

void MainFrameTest::initTestCase() {
    FixtureOptions options;
    options.records = 5;
    fixture = std::make_unique<CProjectFixture>(options);
    // Thickness 1.2 mm to 3.0 mm over the sheet, record after record.
    for (int r = 0; r < options.records; ++r) {
        samplegen::RecordData record = fixture->Record(r);
        for (size_t e = 0; e < record.elements.size(); ++e)
            record.elements[e].initialThickness =
                static_cast<float>(0.0012 + 0.0018 * static_cast<double>(e) / (record.elements.size() - 1));
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
    CChildFrame* child = Open(fixture->ProjectPath());
    QVERIFY(child);
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
    second->View()->SetQuantity(2);
    frame->ClientArea()->setActiveSubWindow(first);
    QCOMPARE(frame->ActiveChild(), first);
    QCOMPARE(frame->ScalePanel()->Quantity(), 1);
    frame->ClientArea()->setActiveSubWindow(second);
    QCOMPARE(frame->ScalePanel()->Quantity(), 2);
    // Closing both goes back to the menus of no document.
    frame->CloseAllWindows();
    QCoreApplication::processEvents();
    QCOMPARE(MenuTitles(*frame), (QStringList{"&File", "&View", "&Help"}));
}

void MainFrameTest::navigationCommandsWrapAround() {
    CChildFrame* child = Open(fixture->ProjectPath());
    QVERIFY(child);
    CProjectProfile* document = child->Document();
    QVERIFY(frame->Commands().Run(command::NextRecord));
    QCOMPARE(document->CurrentRecord(), 1);
    QCOMPARE(child->View()->ShownRecord(), 1);
    QCOMPARE(child->NavigationBar()->RecordText(), QStringLiteral("1"));
    QVERIFY(frame->Commands().Run(command::PreviousRecord));
    QCOMPARE(document->CurrentRecord(), 5);
    QVERIFY(frame->Commands().Run(command::GoToStart));
    QCOMPARE(document->CurrentRecord(), 1);
    QVERIFY(frame->Commands().Run(command::GoToEnd));
    QCOMPARE(document->CurrentRecord(), 5);
    QCOMPARE(child->View()->ShownRecord(), 5);
    QVERIFY(child->windowTitle().startsWith(QStringLiteral("fixture.tfc: Rec. 5 / 5.")));
    QVERIFY2(messages->messages.empty(), messages->Texts().c_str());
}

void MainFrameTest::loadRecordRefusesNumbersOutsideTheProject() {
    CChildFrame* child = Open(fixture->ProjectPath());
    QVERIFY(child);
    CNavigationBar* bar = child->NavigationBar();
    for (const char* typed : {"0", "6", "-3", "text"}) {
        messages->messages.clear();
        bar->SetRecordText(QString::fromLatin1(typed));
        QTest::mouseClick(bar->findChild<QWidget*>(QStringLiteral("load")), Qt::LeftButton);
        QCOMPARE(messages->messages.size(), size_t(1));
        QCOMPARE(messages->messages[0].text, std::string(texts::InvalidRecordNumber));
        QCOMPARE(bar->RecordText(), QStringLiteral("5"));
    }
    messages->messages.clear();
    bar->SetRecordText(QStringLiteral("3"));
    QTest::keyClick(bar->RecordBox(), Qt::Key_Return);
    QCOMPARE(child->Document()->CurrentRecord(), 3);
    QCOMPARE(child->View()->ShownRecord(), 3);
    QVERIFY2(messages->messages.empty(), messages->Texts().c_str());
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

void MainFrameTest::secondWindowOnTheDocumentHasItsOwnBar() {
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
}

void MainFrameTest::animationMovesEveryViewOfTheDocument() {
    CChildFrame* first = Open(fixture->ProjectPath());
    frame->Commands().Run(command::NewWindow);
    CChildFrame* second = frame->ActiveChild();
    CProjectProfile* document = first->Document();
    document->SetAnimationPeriod(1);
    QVERIFY(frame->Commands().Run(command::Animation));
    QVERIFY(frame->Commands().Action(command::Animation)->isChecked());
    QVERIFY(!frame->Commands().Action(command::AutoLoad)->isEnabled());
    QTRY_VERIFY(first->View()->ShownRecord() == 2 && second->View()->ShownRecord() == 2);
    // Navigation is refused while it runs.
    messages->messages.clear();
    frame->Commands().Run(command::NextRecord);
    QCOMPARE(messages->messages.size(), size_t(1));
    QCOMPARE(messages->messages[0].text, std::string("Please stop the animation first."));
    QVERIFY(frame->Commands().Run(command::Animation));
    QVERIFY(!document->IsAnimationRunning());
    QVERIFY(!frame->Commands().Action(command::Animation)->isChecked());
    QCOMPARE(first->View()->ShownRecord(), document->CurrentRecord());
    QCOMPARE(second->View()->ShownRecord(), document->CurrentRecord());
}

void MainFrameTest::thicknessLabelsAreExactAndFollowTheUnits() {
    CChildFrame* child = Open(fixture->ProjectPath());
    QVERIFY(child);
    child->View()->SetQuantity(2);
    frame->ScalePanel()->findChild<QComboBox*>()->setCurrentIndex(1);
    QCOMPARE(child->View()->Quantity(), 1);
    CScalePanel* panel = frame->ScalePanel();
    const QStringList expected{"  3.00 mm", "  2.55 mm", "  2.10 mm", "  1.65 mm", "  1.20 mm"};
    for (int k = 0; k < 5; ++k)
        QCOMPARE(panel->LabelText(k), expected[k]);
    configuration->SetSIMetric(false);
    frame->NotifyUnitsChanged();
    QCOMPARE(panel->LabelText(0), QStringLiteral(" 0.118 inch"));
    QCOMPARE(panel->LabelText(4), QStringLiteral(" 0.047 inch"));
}

void MainFrameTest::graphicalOptionsFollowTheActiveView() {
    CChildFrame* first = Open(fixture->ProjectPath());
    CChildFrame* second = Open(other->ProjectPath());
    QVERIFY(frame->Commands().Run(command::GraphicsOptions));
    auto* dialog = frame->findChild<CGraphicalOptionsDialog*>();
    QVERIFY(dialog);
    QCOMPARE(dialog->Target(), &second->View()->Settings());
    frame->ClientArea()->setActiveSubWindow(first);
    QCOMPARE(dialog->Target(), &first->View()->Settings());
    QVERIFY(frame->Commands().Action(command::GraphicsOptions)->isChecked());
    // "Save" makes the view's settings the defaults and writes them.
    first->View()->Settings().tools[2].mode = 1;
    emit dialog->SaveRequested();
    QCOMPARE(configuration->Settings().tools[2].mode, 1);
    CConfiguration reread(configuration->FilePath());
    QCOMPARE(reread.Settings().tools[2].mode, 1);
    QVERIFY(frame->Commands().Run(command::GraphicsOptions));
    QTRY_VERIFY(!frame->findChild<CGraphicalOptionsDialog*>());
}

// A cut window active, then the last window closed: the dialog edits
// nothing (no crash, no freed settings saved) until a view is active again.
void MainFrameTest::graphicalOptionsRestWithoutAnActiveView() {
    CChildFrame* child = Open(fixture->ProjectPath());
    QVERIFY(frame->Commands().Run(command::GraphicsOptions));
    QPointer<CGraphicalOptionsDialog> dialog = frame->findChild<CGraphicalOptionsDialog*>();
    QVERIFY(dialog && QTest::qWaitForWindowExposed(dialog));
    const auto click = [&dialog](const char* name) {
        auto* control = dialog->findChild<QWidget*>(QString::fromLatin1(name));
        QVERIFY2(control, name);
        QVERIFY2(!control->isEnabled(), name);
        QTest::mouseClick(control, Qt::LeftButton);
        if (auto* slider = qobject_cast<QSlider*>(control))
            QTest::keyClick(slider, Qt::Key_PageUp);
    };
    const DisplaySettings before = child->View()->Settings();
    QVERIFY(frame->Commands().Run(command::CutWindow));
    QCOMPARE(dialog->Target(), nullptr);
    for (const char* name : {"sheetShown", "tool0Shown", "sheetOpacity", "save"})
        click(name);
    QCOMPARE(child->View()->Settings().sheetShown, before.sheetShown);
    QCOMPARE(child->View()->Settings().sheetOpacity, before.sheetOpacity);
    frame->ClientArea()->setActiveSubWindow(child);
    QCOMPARE(dialog->Target(), &child->View()->Settings());

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
    QCOMPARE(dialog->Target(), &next->View()->Settings());
    QVERIFY(dialog->findChild<QWidget*>(QStringLiteral("sheetShown"))->isEnabled());
}

// The toolbar's display commands edit the same settings the dialog shows.
void MainFrameTest::graphicalOptionsShowTheToolbarCommands() {
    frame->resize(1280, 800);
    CChildFrame* child = Open(fixture->ProjectPath());
    QVERIFY(frame->Commands().Run(command::GraphicsOptions));
    auto* dialog = frame->findChild<CGraphicalOptionsDialog*>();
    QVERIFY(dialog);
    const DisplaySettings& settings = child->View()->Settings();
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
        QCOMPARE(shows("sheetDisplayMode"), settings.sheetDisplayMode);
        QCOMPARE(shows("tool0Mode"), settings.tools[0].mode);
        QCOMPARE(shows("tool1Mode"), settings.tools[1].mode);
        QCOMPARE(shows("nodeDotsShown"), int(settings.nodeDotsShown != 0));
        QCOMPARE(shows("distanceMeasurement"), int(settings.distanceMeasurement != 0));
    }
    QCOMPARE(settings.sheetDisplayMode, 2);
    QCOMPARE(settings.tools[1].mode, 2);
}

void MainFrameTest::commandStatesFollowTheActiveView() {
    QVERIFY(!frame->Commands().Action(command::Sheet)->isEnabled());
    QVERIFY(!frame->Commands().Action(command::NewWindow)->isEnabled());
    CChildFrame* child = Open(fixture->ProjectPath());
    QVERIFY(frame->Commands().Action(command::Sheet)->isChecked());
    QVERIFY(frame->Commands().Run(command::Sheet));
    QVERIFY(!child->View()->Settings().sheetShown);
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
    child->Document()->SetAnimationPeriod(1);
    QVERIFY(frame->Commands().Run(command::Animation));
    QVERIFY(!frame->Commands().Action(command::SaveBitmap)->isEnabled());
    QVERIFY(!frame->Commands().Action(command::ExportVideo)->isEnabled());
    QVERIFY(frame->Commands().Run(command::Animation));
    QVERIFY(frame->Commands().Action(command::SaveBitmap)->isEnabled());
}

void MainFrameTest::closingTheLastWindowClosesTheDocument() {
    Open(fixture->ProjectPath());
    frame->Commands().Run(command::NewWindow);
    QCOMPARE(frame->Children().size(), size_t(2));
    frame->ActiveChild()->close();
    QCoreApplication::processEvents();
    QCOMPARE(frame->Documents().size(), size_t(1));
    frame->ActiveChild()->close();
    QTRY_COMPARE(frame->Documents().size(), size_t(0));
}

void MainFrameTest::cutWindowToggleOpensOneWindowPerDocument() {
    CChildFrame* first = Open(fixture->ProjectPath());
    QVERIFY(frame->Commands().Action(command::CutWindow)->isEnabled());
    QVERIFY(!frame->Commands().Action(command::CutWindow)->isChecked());
    QVERIFY(frame->Commands().Run(command::CutWindow));
    CExtendedChildFrame* cut = frame->CutWindowOf(first->Document());
    QVERIFY(cut);
    QCOMPARE(cut->windowTitle(), QStringLiteral("fixture.tfc: 3D Cut"));
    QCOMPARE(frame->ActiveDocumentFrame(), cut);
    QVERIFY(frame->Commands().Action(command::CutWindow)->isChecked());
    QCOMPARE(MenuTitles(*frame), (QStringList{"&File", "&View", "&Window", "&Help"}));
    // A second project gets its own cut window.
    CChildFrame* second = Open(other->ProjectPath());
    QVERIFY(!frame->CutWindowOf(second->Document()));
    QVERIFY(frame->Commands().Run(command::CutWindow));
    QVERIFY(frame->CutWindowOf(second->Document()));
    QVERIFY(frame->CutWindowOf(second->Document()) != frame->CutWindowOf(first->Document()));
    // The toggle again closes the active document's.
    QVERIFY(frame->Commands().Run(command::CutWindow));
    QTRY_VERIFY(!frame->CutWindowOf(second->Document()));
    QVERIFY(frame->CutWindowOf(first->Document()));
}

void MainFrameTest::closingTheProjectClosesItsCutWindow() {
    CChildFrame* child = Open(fixture->ProjectPath());
    CProjectProfile* document = child->Document();
    QVERIFY(frame->Commands().Run(command::CutWindow));
    QVERIFY(frame->CutWindowOf(document));
    child->close();
    QTRY_COMPARE(frame->Documents().size(), size_t(0));
    QVERIFY(frame->Children().empty());
    QTRY_VERIFY(frame->ClientArea()->subWindowList().isEmpty());
}

void MainFrameTest::windowPlacementRoundTrip() {
    QSettings profile(QStringLiteral("Veltrane"), QStringLiteral("Quillmere"));
    frame->setGeometry(100, 120, 900, 700);
    frame->showMaximized();
    QTRY_VERIFY(frame->isMaximized());
    frame->SavePlacement();
    WindowPlacement saved;
    QVERIFY(ParseWindowPlacement(profile.value(QStringLiteral("Settings/WindowPos")).toString().toStdString(),
                                 saved));
    QCOMPARE(saved.flags, kPlacementMaximised);
    QCOMPARE(saved.showCommand, kShowMaximised);
    QVERIFY(profile.contains(QStringLiteral("Settings/MyDockState")));
    // The next start shows the normal rectangle, not maximised.
    CMainFrame next(*configuration, files, 1280);
    next.RestorePlacement();
    next.show();
    QVERIFY(!next.isMaximized());
    QCOMPARE(next.geometry().width(), saved.right - saved.left);
    // Nine numbers are not a placement.
    profile.setValue(QStringLiteral("Settings/WindowPos"), QStringLiteral("0,1,-1,-1,-1,-1,10,20,500"));
    CMainFrame ignored(*configuration, files, 1280);
    ignored.resize(640, 480);
    ignored.RestorePlacement();
    QCOMPARE(ignored.size(), QSize(640, 480));
}

void MainFrameTest::secondStartHandsItsFileToTheFirst() {
    frame.reset();
    const QString server = QStringLiteral("quillmere-test-%1").arg(QCoreApplication::applicationPid());
    CViewerApplication first(server);
    QVERIFY(first.Start({}, false));
    QCOMPARE(first.MainFrame()->Documents().size(), size_t(0));
    QVERIFY(
        CViewerApplication::HandToRunningProgram(server, {QString::fromStdString(fixture->ProjectPath())}));
    QTRY_COMPARE(first.MainFrame()->Documents().size(), size_t(1));
    QVERIFY(!CViewerApplication::HandToRunningProgram(server + QStringLiteral("-none"), {}));
}

int main(int argc, char** argv) {
    // The profile, the configuration and the recent files of the test only.
    static CTempFolder home;
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home.Path()));
    CSceneRender::PrepareApplication();
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QCoreApplication::setOrganizationName(QStringLiteral("Veltrane"));
    QCoreApplication::setApplicationName(QStringLiteral("Quillmere"));
    MainFrameTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MainFrameTest.moc"
