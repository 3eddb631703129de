// Two windows of one project under a virtual X server: a record loaded in
// one is the record the other draws, numbers and picks; what the gestures of
// one leave stays in it, and the cut window marks its point in both.
#include "app/CChildFrame.h"
#include "app/CExtendedChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CNavigationBar.h"
#include "app/CommandIds.h"
#include "config/CConfiguration.h"
#include "cut/GraphLayout.h"
#include "inspect/DataTip.h"
#include "inspect/SheetPick.h"
#include "model/CProjectProfile.h"
#include "tests/model/ProjectFixture.h"
#include "ui/cut/CCutDialog.h"
#include "ui/inspect/CDataTip.h"
#include "ui/scene/CSceneCommands.h"
#include "ui/scene/CSceneRender.h"

#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QtTest>

#include <clocale>
#include <memory>

using namespace quillmere;

namespace {

class COneProject : public IFileChooser {
public:
    QString path;
    QString ProjectToOpen(QWidget*) override { return path; }
};

} // namespace

class RecordViewsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void aRecordLoadedInOneWindowIsTheOneTheOtherShowsAndPicks();
    void gesturesStayInTheirWindowTheCutMarkShowsInBoth();

private:
    std::unique_ptr<CTempFolder> home;
    std::unique_ptr<CProjectFixture> fixture;
    std::unique_ptr<CRecordingMessages> messages;
    COneProject files;
    std::unique_ptr<CConfiguration> configuration;
    std::unique_ptr<CMainFrame> frame;
    CChildFrame* first = nullptr;
    CChildFrame* second = nullptr;
};

void RecordViewsTest::init() {
    home = std::make_unique<CTempFolder>();
    fixture = std::make_unique<CProjectFixture>(FixtureOptions{5});
    messages = std::make_unique<CRecordingMessages>();
    files.path = QString::fromStdString(fixture->ProjectPath());
    configuration = std::make_unique<CConfiguration>(home->File("Quillmere.cfg"));
    frame = std::make_unique<CMainFrame>(*configuration, files, 1280);
    frame->resize(1100, 800);
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
    QVERIFY(frame->Commands().Run(command::Open));
    first = frame->ActiveChild();
    QVERIFY(frame->Commands().Run(command::NewWindow));
    second = frame->ActiveChild();
    QVERIFY(first && second && first != second);
    frame->ClientArea()->tileSubWindows();
    frame->ClientArea()->setActiveSubWindow(first);
}

void RecordViewsTest::cleanup() {
    frame.reset();
    configuration.reset();
    messages.reset();
    fixture.reset();
    home.reset();
}

void RecordViewsTest::aRecordLoadedInOneWindowIsTheOneTheOtherShowsAndPicks() {
    QVERIFY(frame->Commands().Run(command::NextRecord));
    CProjectProfile* document = first->Document();
    QTRY_VERIFY(!document->Player().IsLoading());
    QCOMPARE(document->CurrentRecord(), 1);
    for (CChildFrame* child : {first, second}) {
        QCOMPARE(child->View()->ShownRecord(), 1);
        QCOMPARE(child->NavigationBar()->RecordText(), QStringLiteral("1"));
        QVERIFY(child->windowTitle().contains(QStringLiteral("Rec. 1 / 5.")));
    }

    // Clicking into the other window keeps the record, and the node picked
    // there is read from the record it draws.
    CSceneRender* view = second->View();
    view->Commands().SetXYView();
    view->Commands().SetPickMode(NodeMode);
    const QPointF node = view->ProjectToWindow(document->Sheet()->CurrentCoordinate(7));
    const QPoint cursor(qRound(node.x()), qRound(node.y()));
    QTest::mousePress(view, Qt::RightButton, Qt::ShiftModifier, cursor);
    QCOMPARE(frame->ActiveChild(), second);
    QCOMPARE(document->CurrentRecord(), 1);
    QCOMPARE(first->View()->ShownRecord(), 1);
    QCOMPARE(view->ShownRecord(), 1);
    CProjectProfile reference;
    QVERIFY(reference.Open(fixture->ProjectPath(), nullptr));
    QVERIFY(reference.GoToRecord(view->ShownRecord()));
    CDataDisplay expected;
    QVERIFY(PickSheetItem(*reference.Sheet(), NodeMode, 7, expected));
    QStringList lines;
    for (const std::string& line : DataTipLines(expected, *configuration))
        lines << QString::fromStdString(line);
    auto* tip = view->findChild<CDataTip*>();
    QVERIFY(tip && tip->isVisible());
    QCOMPARE(tip->Lines(), lines);
    QTest::mouseRelease(view, Qt::RightButton, Qt::ShiftModifier, cursor);
    QVERIFY2(messages->messages.empty(), messages->Texts().c_str());
}

void RecordViewsTest::gesturesStayInTheirWindowTheCutMarkShowsInBoth() {
    CSceneRender* mine = second->View();
    CSceneRender* other = first->View();
    const auto shows = [](CSceneRender* view, Overlay overlay) {
        return view->Scene().Drawer().HasOverlay(overlay);
    };
    // The measurement switched on in one window is its own: the other
    // builds nothing again.
    (void)other->grabFramebuffer();
    const int builds = other->Scene().Drawer().SheetBuilds();
    mine->Commands().ToggleMeasurement();
    QVERIFY(mine->Scene().Settings().distanceMeasurement);
    QVERIFY(!other->Scene().Settings().distanceMeasurement);
    QCOMPARE(other->Scene().Drawer().SheetBuilds(), builds);
    mine->Commands().ToggleMeasurement();
    // So is the highlight of a pick.
    mine->Commands().SetXYView();
    mine->Commands().SetPickMode(NodeMode);
    const QPointF node = mine->ProjectToWindow(first->Document()->Sheet()->CurrentCoordinate(7));
    CDataDisplay picked;
    QVERIFY(mine->PickAt(qRound(node.x()), qRound(node.y()), picked, true));
    QVERIFY(shows(mine, Overlay::PickHighlight));
    QVERIFY(!shows(other, Overlay::PickHighlight));

    // The read-out of the cut window marks its point in every window of the
    // document, until the button is released.
    QVERIFY(frame->Commands().Run(command::CutWindow));
    CExtendedChildFrame* window = frame->CutWindowOf(first->Document());
    window->resize(700, 500);
    CCutDialog* cut = window->CutWindow();
    QTRY_VERIFY(cut->Graph()->height() > 100);
    cut->findChild<QLineEdit*>(QStringLiteral("position"))->setText(QStringLiteral("12.5"));
    QTest::mouseClick(cut->findChild<QPushButton*>(QStringLiteral("cutting")), Qt::LeftButton);
    QVERIFY(cut->CanPrint());
    const CPixelRect plot = cut->PlotOfGraphArea();
    // 25 mm along the cut.
    const QPoint middle(CGraphMapping(plot, cut->CutSession().GraphLimits).X(25),
                        (plot.top + plot.bottom) / 2);
    QTest::mousePress(cut->Graph(), Qt::LeftButton, {}, middle);
    QVERIFY(shows(mine, Overlay::CutMark) && shows(other, Overlay::CutMark));
    QTest::mouseRelease(cut->Graph(), Qt::LeftButton, {}, middle);
    QVERIFY(!shows(mine, Overlay::CutMark) && !shows(other, Overlay::CutMark));
    QVERIFY2(messages->messages.empty(), messages->Texts().c_str());
}

int main(int argc, char** argv) {
    static CTempFolder home;
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home.Path()));
    CSceneRender::PrepareApplication();
    QApplication application(argc, argv);
    qAddPostRoutine(KeepLoadedLibraries);
    std::setlocale(LC_NUMERIC, "C");
    QCoreApplication::setOrganizationName(QStringLiteral("Veltrane"));
    QCoreApplication::setApplicationName(QStringLiteral("Quillmere"));
    RecordViewsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "RecordViewsTest.moc"
