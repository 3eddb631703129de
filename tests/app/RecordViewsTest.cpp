// Two windows of one project under a virtual X server: a record loaded in
// one is the record the other draws, numbers and picks.
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CNavigationBar.h"
#include "app/CommandIds.h"
#include "config/CConfiguration.h"
#include "inspect/DataTip.h"
#include "inspect/SheetPick.h"
#include "model/CProjectProfile.h"
#include "tests/model/ProjectFixture.h"
#include "ui/inspect/CDataTip.h"
#include "ui/scene/CSceneRender.h"

#include <QApplication>
#include <QMdiArea>
#include <QtTest>

#include <clocale>
#include <memory>

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
    void aRecordLoadedInOneWindowIsTheOneTheOtherShowsAndPicks();
};

void RecordViewsTest::aRecordLoadedInOneWindowIsTheOneTheOtherShowsAndPicks() {
    CTempFolder home;
    CProjectFixture fixture(FixtureOptions{5});
    CRecordingMessages messages;
    COneProject files;
    files.path = QString::fromStdString(fixture.ProjectPath());
    CConfiguration configuration(home.File("Quillmere.cfg"));
    CMainFrame frame(configuration, files, 1280);
    frame.resize(1100, 800);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QVERIFY(frame.Commands().Run(command::Open));
    CChildFrame* first = frame.ActiveChild();
    QVERIFY(frame.Commands().Run(command::NewWindow));
    CChildFrame* second = frame.ActiveChild();
    QVERIFY(first && second && first != second);
    frame.ClientArea()->tileSubWindows();
    frame.ClientArea()->setActiveSubWindow(first);

    QVERIFY(frame.Commands().Run(command::NextRecord));
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
    view->SetXYView();
    view->SetPickMode(NodeMode);
    const QPointF node = view->ProjectToWindow(document->Sheet()->CurrentCoordinate(7));
    const QPoint cursor(qRound(node.x()), qRound(node.y()));
    QTest::mousePress(view, Qt::RightButton, Qt::ShiftModifier, cursor);
    QCOMPARE(frame.ActiveChild(), second);
    QCOMPARE(document->CurrentRecord(), 1);
    QCOMPARE(first->View()->ShownRecord(), 1);
    QCOMPARE(view->ShownRecord(), 1);
    CProjectProfile reference;
    QVERIFY(reference.Open(fixture.ProjectPath(), nullptr));
    QVERIFY(reference.GoToRecord(view->ShownRecord()));
    CDataDisplay expected;
    QVERIFY(PickSheetItem(*reference.Sheet(), NodeMode, 7, expected));
    QStringList lines;
    for (const std::string& line : DataTipLines(expected, configuration))
        lines << QString::fromStdString(line);
    auto* tip = view->findChild<CDataTip*>();
    QVERIFY(tip && tip->isVisible());
    QCOMPARE(tip->Lines(), lines);
    QTest::mouseRelease(view, Qt::RightButton, Qt::ShiftModifier, cursor);
    QVERIFY2(messages.messages.empty(), messages.Texts().c_str());
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
