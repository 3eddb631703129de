// The data tip and the measurement window on a real 3D view, driven by mouse
// events under a virtual X server.
#include "ui/inspect/ViewInspection.h"
#include "config/CConfiguration.h"
#include "inspect/SheetPick.h"
#include "model/CProjectProfile.h"
#include "session/CSession.h"
#include "tests/model/ProjectFixture.h"
#include "ui/inspect/CDataTip.h"
#include "ui/inspect/CDistanceMeasurement.h"
#include "ui/scene/CSceneCommands.h"
#include "ui/scene/CSceneRender.h"

#include <QApplication>
#include <QPointer>
#include <QtTest>

#include <clocale>
#include <memory>

using namespace quillmere;

class ViewInspectionTest : public QObject {
    Q_OBJECT

    std::unique_ptr<CRecordingMessages> messages;
    std::unique_ptr<CProjectFixture> fixture;
    CSession session;
    CProjectProfile& project = session.Project();
    std::unique_ptr<CConfiguration> configuration;
    std::unique_ptr<CSceneRender> view;
    CDataTip* tip = nullptr;

    QPoint NodePixel(int node) {
        const QPointF window = view->ProjectToWindow(project.Sheet()->CurrentCoordinate(node));
        return {qRound(window.x()), qRound(window.y())};
    }

    void ShiftRightClick(QPoint at) {
        QTest::mousePress(view.get(), Qt::RightButton, Qt::ShiftModifier, at);
        QTest::mouseRelease(view.get(), Qt::RightButton, Qt::ShiftModifier, at);
    }

private slots:
    void initTestCase() {
        messages = std::make_unique<CRecordingMessages>();
        fixture = std::make_unique<CProjectFixture>();
        QVERIFY(project.Open(fixture->ProjectPath(), nullptr));
        configuration = std::make_unique<CConfiguration>(fixture->File("Quillmere.cfg"));
    }

    void init() {
        view = std::make_unique<CSceneRender>(&session, DisplaySettings());
        tip = AttachInspection(*view, *configuration);
        view->resize(400, 300);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        (void)view->grabFramebuffer();
        view->Commands().SetXYView();
    }

    void cleanup() {
        view.reset();
        messages->messages.clear();
    }

    void TipShowsTheNodeUnderTheMouseWhileTheButtonIsHeld() {
        view->Commands().SetPickMode(NodeMode);
        QVERIFY(!tip->isVisible());
        QCOMPARE(tip->parentWidget(), static_cast<QWidget*>(view.get()));
        const QPoint cursor = NodePixel(7);
        QTest::mousePress(view.get(), Qt::RightButton, Qt::ShiftModifier, cursor);
        QVERIFY(tip->isVisible());
        CDataDisplay named;
        QVERIFY(PickSheetItem(*project.Sheet(), NodeMode, 7, named));
        QStringList expected;
        for (const std::string& line : DataTipLines(named, *configuration))
            expected << QString::fromStdString(line);
        QCOMPARE(tip->Lines(), expected);
        QCOMPARE(tip->pos(), tip->Anchor() + QPoint(0, 20));
        QTest::mouseRelease(view.get(), Qt::RightButton, Qt::ShiftModifier, cursor);
        QVERIFY(!tip->isVisible());
        QVERIFY(!tip->TimerRunning());
    }

    void MeasurementShowsUntilItCloses_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("right button released") << 0;
        QTest::newRow("Escape") << 1;
        QTest::newRow("window manager") << 2;
    }

    void MeasurementShowsUntilItCloses() {
        QFETCH(int, way);
        view->Commands().SetPickMode(NodeMode);
        view->Commands().ToggleMeasurement();
        QVERIFY(view->Scene().Settings().distanceMeasurement);
        // Two inner nodes of the sheet, apart both ways.
        const QPoint first = NodePixel(7), second = NodePixel(14);
        QVERIFY(view->rect().contains(first) && view->rect().contains(second));
        QVERIFY(first.x() != second.x() && first.y() != second.y());
        ShiftRightClick(first);
        QVERIFY(!view->findChild<CDistanceMeasurement*>());
        QVERIFY(view->Interactor().Marker(0).shown);

        QTest::mousePress(view.get(), Qt::RightButton, Qt::ShiftModifier, second);
        QPointer<CDistanceMeasurement> window = view->findChild<CDistanceMeasurement*>();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QVERIFY(view->Interactor().Marker(1).shown);
        const MeasurementTexts texts = BuildMeasurementTexts(
            view->Interactor().FirstPoint(), view->Interactor().SecondPoint(), *configuration);
        QCOMPARE(window->Texts().distance, texts.distance);
        CDataDisplay node7, node14;
        QVERIFY(PickSheetItem(*project.Sheet(), NodeMode, 7, node7));
        QVERIFY(PickSheetItem(*project.Sheet(), NodeMode, 14, node14));
        QCOMPARE(texts.distance, BuildMeasurementTexts(node7, node14, *configuration).distance);
        const QPoint firstGlobal = view->mapToGlobal(first), secondGlobal = view->mapToGlobal(second);
        const ScreenPoint corner = MeasurementWindowPosition({firstGlobal.x(), firstGlobal.y()},
                                                             {secondGlobal.x(), secondGlobal.y()});
        QCOMPARE(window->Position(), QPoint(corner.x, corner.y));
        QVERIFY(QTest::qWaitForWindowExposed(window.data()));
        QTRY_COMPARE(QWidget::mouseGrabber(), static_cast<QWidget*>(window.data()));

        // The release of the second click, sent to the view's screen window
        // as the window system sends it, reaches the measurement, which holds
        // the mouse: it closes and the markers go, as they do whichever way
        // the window goes.
        if (way == 0)
            QTest::mouseRelease(view->window()->windowHandle(), Qt::RightButton, Qt::ShiftModifier,
                                view->mapTo(view->window(), second));
        else if (way == 1)
            QTest::keyClick(window.data(), Qt::Key_Escape);
        else
            QVERIFY(window->close());
        QTRY_VERIFY(!window);
        QVERIFY(!view->Interactor().Marker(0).shown);
        QVERIFY(!view->Interactor().Marker(1).shown);
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
    }
};

int main(int argc, char** argv) {
    CSceneRender::PrepareApplication();
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    ViewInspectionTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ViewInspectionTest.moc"
