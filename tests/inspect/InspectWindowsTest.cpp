// The data tip and the distance measurement window under a virtual X
// server. QUILLMERE_SCREENSHOTS=FOLDER keeps a picture of each window.
#include "config/CConfiguration.h"
#include "tests/support/QtTestSupport.h"
#include "tests/support/TestSupport.h"
#include "ui/inspect/CDataTip.h"
#include "ui/inspect/CDistanceMeasurement.h"

#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QToolTip>
#include <QtTest>

#include <memory>

using namespace quillmere;

namespace {

CDataDisplay SheetNode() {
    CDataDisplay record;
    record.kind = PickedNode;
    record.index = 17;
    record.point1 = {0.0125, -0.05, 0.01};
    record.value1 = 0.003;
    record.value2 = 150.0;
    record.clamped = 1;
    record.toolInContact = 0;
    return record;
}

CDataDisplay PointAt(double x, double y, double z, int markerX, int markerY) {
    CDataDisplay record;
    record.kind = PickedPoint;
    record.point1 = {x, y, z};
    record.markerX = markerX;
    record.markerY = markerY;
    return record;
}

QFont TipFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    return font;
}

QString Text(QWidget* window, const QString& name) {
    auto* label = window->findChild<QLabel*>(name);
    return label ? label->text() : QStringLiteral("(no %1)").arg(name);
}

} // namespace

class InspectWindowsTest : public QObject {
    Q_OBJECT

    CTempFolder folder;
    std::unique_ptr<CConfiguration> configuration;
    std::unique_ptr<QWidget> view;

private slots:
    void init() {
        configuration = std::make_unique<CConfiguration>(folder.File("Quillmere.cfg"));
        view = std::make_unique<QWidget>();
        view->setGeometry(50, 50, 700, 500);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    }

    void cleanup() {
        view.reset();
        configuration.reset();
    }

    void TipShowsBelowThePointerAndGoesOnHide() {
        CDataTip tip(*configuration, view.get());
        QVERIFY(!tip.isVisible());
        tip.ShowPick(SheetNode(), QPoint(300, 200));
        QVERIFY(tip.isVisible());
        QVERIFY(tip.TimerRunning());
        QCOMPARE(tip.Anchor(), QPoint(300, 200));
        // The lines are DataTipTest's; here their box in the tip's font.
        const QStringList lines = tip.Lines();
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines[0], QStringLiteral("Sheet - Node: 17"));

        const QFontMetrics metrics(TipFont());
        int widest = 0;
        for (const QString& line : lines)
            widest = std::max(widest, metrics.horizontalAdvance(line));
        QCOMPARE(tip.size(), QSize(widest + 6, (metrics.height() + 1) * 6 + 4));
        QVERIFY(QTest::qWaitForWindowExposed(&tip));
        QTRY_COMPARE(tip.mapToGlobal(QPoint(0, 0)), QPoint(300, 220));
        // Nothing takes the focus from the view's window.
        QVERIFY(!tip.isActiveWindow());
        KeepPicture(tip, QStringLiteral("data-tip"));

        // The tip's background is the tool-tip colour, its text darker.
        const QImage picture = tip.grab().toImage();
        QCOMPARE(picture.pixelColor(tip.width() - 3, tip.height() - 3),
                 QToolTip::palette().color(QPalette::ToolTipBase));

        tip.HidePick();
        QVERIFY(!tip.isVisible());
        QVERIFY(!tip.TimerRunning());
    }

    void TipFollowsItsLinesAndKeepsItsHeightForTheReservedKind() {
        CDataTip tip(*configuration, view.get());
        CDataDisplay node = SheetNode();
        node.onTool = 1;
        tip.ShowPick(node, QPoint(100, 100));
        QCOMPARE(tip.Lines().size(), 2);
        const QSize small = tip.size();
        node.point1 = {123.456789, -123.456789, 123.456789};
        tip.ShowPick(node, QPoint(120, 140));
        QVERIFY(tip.width() > small.width());
        QCOMPARE(tip.height(), small.height());
        QCOMPARE(tip.pos(), QPoint(120, 160));

        // Kind 1: the lines go empty, their number stays.
        node.kind = PickedNothing;
        tip.ShowPick(node, QPoint(10, 10));
        QCOMPARE(tip.Lines(), QStringList({QString(), QString()}));
        QCOMPARE(tip.size(), QSize(6, small.height()));
        QVERIFY(tip.isVisible());

        configuration->SetSIMetric(false);
        tip.ShowPick(SheetNode(), QPoint(10, 10));
        QCOMPARE(tip.Lines()[1], QStringLiteral("0.492 -1.969 0.394 (inch)"));
    }

    // The texts and the place are MeasurementTest's: here the labels that
    // show them, the window's colours, and one window at a time.
    void MeasurementShowsItsTextsInItsColoursAtItsPlace() {
        const CDataDisplay first = PointAt(0.001, 0.002, 0.003, 100, 100);
        const CDataDisplay second = PointAt(0.004, 0.006, 0.003, 300, 250);
        QPointer<CDistanceMeasurement> window =
            CDistanceMeasurement::Open(first, second, *configuration, QPoint(500, 450), view.get());
        QVERIFY(window);
        QCOMPARE(window->Position(), QPoint(500, 465));
        QVERIFY(QTest::qWaitForWindowExposed(window.data()));
        QTRY_COMPARE(window->pos(), QPoint(500, 465));
        QCOMPARE(window->windowTitle(), QStringLiteral("Distance measurement details:"));
        const std::pair<const char*, const char*> texts[] = {
            {"startX", "1.000"}, {"startY", "2.000"}, {"startZ", "3.000"},  {"endX", "4.000"},
            {"endY", "6.000"},   {"endZ", "3.000"},   {"distance", "5.000"}};
        for (const auto& [name, text] : texts) {
            QCOMPARE(Text(window, name), QString::fromLatin1(text));
            QCOMPARE(Text(window, name + QStringLiteral("Unit")), QStringLiteral("mm"));
        }
        const QImage picture = window->grab().toImage();
        QCOMPARE(picture.pixelColor(1, 1), QColor(255, 200, 184));
        QCOMPARE(window->findChild<QLabel*>("distance")->palette().color(QPalette::WindowText),
                 QColor(Qt::black));
        KeepPicture(*window, QStringLiteral("distance-measurement"));

        // A second measurement only brings the open one forward.
        configuration->SetSIMetric(false);
        QCOMPARE(CDistanceMeasurement::Open(second, first, *configuration, QPoint(10, 10), view.get()),
                 window.data());
        QCOMPARE(Text(window, "distanceUnit"), QStringLiteral("mm"));
        delete window;
        window = CDistanceMeasurement::Open(second, first, *configuration, QPoint(10, 10), view.get());
        QVERIFY(window);
        for (const auto& [name, text] : texts)
            QCOMPARE(Text(window, name + QStringLiteral("Unit")), QStringLiteral("inch"));
        KeepPicture(*window, QStringLiteral("distance-measurement-us"));
        delete window;
    }

    void MeasurementHoldsTheMouseAndClosesOnTheRightRelease() {
        QPointer<CDistanceMeasurement> window =
            CDistanceMeasurement::Open(PointAt(0, 0, 0, 10, 10), PointAt(0.001, 0, 0, 20, 20), *configuration,
                                       QPoint(400, 300), view.get());
        QVERIFY(window);
        QSignalSpy markers(window.data(), &CDistanceMeasurement::MarkersToRemove);
        QVERIFY(QTest::qWaitForWindowExposed(window.data()));
        QTRY_COMPARE(QWidget::mouseGrabber(), static_cast<QWidget*>(window.data()));
        QTRY_VERIFY(window->hasFocus());

        QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(window && window->isVisible());
        QTest::mousePress(window, Qt::RightButton, {}, QPoint(5, 5));
        QVERIFY(window && window->isVisible());
        QTest::mouseRelease(window, Qt::RightButton, {}, QPoint(5, 5));
        QCOMPARE(markers.count(), 1);
        QTRY_VERIFY(!window);
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
        // Escape and the window manager: ViewInspectionTest.
    }

    void NoMeasurementOfTheReservedKind() {
        CDataDisplay nothing = PointAt(0, 0, 0, 0, 0);
        nothing.kind = PickedNothing;
        QCOMPARE(CDistanceMeasurement::Open(PointAt(0, 0, 0, 0, 0), nothing, *configuration, QPoint(1, 1),
                                            view.get()),
                 nullptr);
        QVERIFY(!view->findChild<CDistanceMeasurement*>());
    }
};

int main(int argc, char** argv) {
    return RunWindowTest<InspectWindowsTest>(argc, argv);
}

#include "InspectWindowsTest.moc"
