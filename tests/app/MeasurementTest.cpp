// Measured points as a user drives them: File > Import measurements... with
// the cup's gauge file (written by the sample writer), the markers in every
// view of the project, the table with a row selected, the data tip of a
// marker, "Save table...", the record stepped back, and files refused.
#include "app/CChildFrame.h"
#include "app/CMeasurementCommands.h"
#include "app/CommandIds.h"
#include "measure/MeasurementTable.h"
#include "model/CProjectProfile.h"
#include "session/CSession.h"
#include "tests/app/MainFrameTest.h"
#include "ui/inspect/CDataTip.h"
#include "ui/measure/CMeasurementPanel.h"
#include "ui/measure/CMeasurementScaleBar.h"
#include "ui/scene/CSceneRender.h"

#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <cmath>
#include <fstream>

using namespace quillmere;

namespace {

// The small cup and its gauge points on its last record.
struct CupWithGauge {
    CTempFolder folder;
    samplegen::CupOptions options;
    std::string project, gauge;

    CupWithGauge() {
        options.cellsX = 20;
        options.cellsY = 16;
        options.records = 3;
        project = samplegen::WriteCupSample(folder.Path(), options);
        gauge = folder.File("cup_gauge.csv");
        EXPECT_TRUE(samplegen::WriteMeasurementFile(gauge, samplegen::CupGaugePoints(options)));
    }
};

// The table as the batch tool writes it, from the file read afresh and the
// sheet the session holds.
std::string TableOf(const std::string& gauge, const CSheetProfile& sheet) {
    const MeasurementFile file = ReadMeasurementFile(gauge, LengthUnit::Millimetre);
    const CSurfaceSearch search(sheet, SheetImages::Mirrored);
    return MeasurementTable(file, CompareMeasurements(sheet, search, file.points, MeasureOptions()),
                            LengthUnit::Millimetre);
}

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

void MainFrameTest::importedMeasurementsShowInEveryViewAndTheTable() {
    CupWithGauge cup;
    CChildFrame* window = Open(cup.project);
    QVERIFY(window);
    CSession* session = window->Session();
    QVERIFY(frame->Commands().Run(command::GoToEnd));
    QTRY_VERIFY(!session->Project().Player().IsLoading());
    CChildFrame* second = frame->NewWindow();
    QVERIFY(second);
    frame->ClientArea()->setActiveSubWindow(window);
    frame->ClientArea()->tileSubWindows();

    files.measurements = QString::fromStdString(cup.gauge);
    QVERIFY(frame->Commands().Run(command::ImportMeasurements));
    QTRY_VERIFY(session->Measured() && !frame->Measurements().Busy(session));
    QCOMPARE(session->Measured()->record, 3);
    CMeasurementPanel* panel = frame->Measurements().Panel();
    QVERIFY(frame->Measurements().Dock()->isVisible());
    QCOMPARE(panel->Table()->rowCount(), 40);
    QVERIFY(panel->Summary()->text().startsWith(QStringLiteral("Points: 40 used, 0 missed")));
    // Both windows of the project draw the markers, with their scale beside.
    for (CChildFrame* child : {window, second}) {
        QCOMPARE(child->View()->Scene().Drawer().MeasurementMarkers().size(), size_t(40));
        QVERIFY(child->MeasurementScaleBar()->isVisible());
        QCOMPARE(child->MeasurementScaleBar()->Scale().title,
                 std::string("Thickness: simulated \u2212 measured"));
    }

    // Sorted by difference, the largest first; a row selected marks its
    // point in every view and centres the active one on it.
    panel->Table()->sortByColumn(RowDifference, Qt::DescendingOrder);
    const int point = panel->PointOfRow(0);
    const MeasuredPoints& measured = *session->Measured();
    for (size_t k = 0; k < measured.comparison.points.size(); ++k)
        QVERIFY(measured.comparison.points[k].difference <=
                measured.comparison.points[static_cast<size_t>(point)].difference);
    CSceneRender* view = window->View();
    (void)view->grabFramebuffer();
    panel->Table()->selectRow(0);
    QCOMPARE(session->SelectedPoint(), point);
    const CCoordinate marker = MeasurementMarkers(measured)[static_cast<size_t>(point)].position;
    const QPointF centre = QPointF(view->width(), view->height()) / 2;
    const QPointF at = view->ProjectToWindow(marker);
    QVERIFY2(std::hypot(at.x() - centre.x(), at.y() - centre.y()) < 2,
             qPrintable(QStringLiteral("%1, %2").arg(at.x()).arg(at.y())));
    const QImage picture = view->grabFramebuffer();
    // The selected marker is ringed in white.
    const int ring = std::clamp(std::min(view->width(), view->height()) / 60, 7, 48) - 1;
    QCOMPARE(picture.pixelColor((at + QPointF(ring, 0)).toPoint()), QColor(Qt::white));

    // Shift + right pick on the marker: its row in the data tip.
    QTest::mousePress(view, Qt::RightButton, Qt::ShiftModifier, at.toPoint());
    auto* tip = view->findChild<CDataTip*>();
    QVERIFY(tip && tip->isVisible());
    const QString label = panel->Table()->item(0, RowLabel)->text();
    QVERIFY2(tip->Lines().contains(QStringLiteral("Measured point ") + label),
             qPrintable(tip->Lines().join('|')));
    QTest::mouseRelease(view, Qt::RightButton, Qt::ShiftModifier, at.toPoint());

    // "Save table..." writes the batch tool's bytes.
    files.table = QString::fromStdString(cup.folder.File("table.csv"));
    QTest::mouseClick(panel->SaveButton(), Qt::LeftButton);
    const std::string expected = TableOf(cup.gauge, *session->Sheet());
    QCOMPARE(FileText(cup.folder.File("table.csv")), expected);

    // Navigation keeps the points and compares them with the record shown:
    // the flat first record lies farther from most of them.
    QVERIFY(frame->Commands().Run(command::GoToStart));
    QTRY_VERIFY(!session->Project().Player().IsLoading());
    QTRY_VERIFY(session->Measured()->record == 1 && !frame->Measurements().Busy(session));
    QVERIFY(session->Measured()->comparison.summary.missed > 0);
    QVERIFY(panel->Summary()->text().contains(
        QStringLiteral("%1 missed").arg(session->Measured()->comparison.summary.missed)));
    QCOMPARE(
        TableOf(cup.gauge, *session->Sheet()),
        MeasurementTable(session->Measured()->file, session->Measured()->comparison, LengthUnit::Millimetre));

    // A video's frame has the points compared at once with the record it
    // stepped to, and a comparison under way does not come back over them.
    QVERIFY(session->Project().StepToRecord(2, true));
    QCoreApplication::processEvents();
    frame->Measurements().CompareNow(*session);
    QCOMPARE(session->Measured()->record, 2);
    QCOMPARE(window->View()->Scene().Drawer().MeasurementMarkers().size(), size_t(40));
    QTRY_VERIFY(!frame->Measurements().Busy(session));
    QTest::qWait(50);
    QCOMPARE(session->Measured()->record, 2);
    QVERIFY2(messages->messages.empty(), messages->Texts().c_str());
}

void MainFrameTest::aRefusedMeasurementFileLeavesTheProjectAsItWas() {
    CupWithGauge cup;
    CChildFrame* window = Open(cup.project);
    QVERIFY(window);
    CSession* session = window->Session();
    files.measurements = QString::fromStdString(cup.gauge);
    QVERIFY(frame->Commands().Run(command::ImportMeasurements));
    QTRY_VERIFY(session->Measured() && !frame->Measurements().Busy(session));
    const std::shared_ptr<const MeasuredPoints> kept = session->Measured();

    // A header without rows: refused in one message, the points stay.
    const std::string empty = cup.folder.File("empty.csv");
    std::ofstream(empty) << "x,y,z,thickness\n";
    files.measurements = QString::fromStdString(empty);
    QVERIFY(frame->Commands().Run(command::ImportMeasurements));
    QTRY_VERIFY(!frame->Measurements().Busy(session) && !messages->messages.empty());
    QCOMPARE(messages->messages.size(), size_t(1));
    QVERIFY2(messages->messages[0].text.find("cannot be used") != std::string::npos,
             messages->Texts().c_str());
    QCOMPARE(messages->messages[0].icon, MessageIcon::Error);
    QCOMPARE(session->Measured(), kept);
    QCOMPARE(frame->Measurements().Panel()->Table()->rowCount(), 40);
    QCOMPARE(window->View()->Scene().Drawer().MeasurementMarkers().size(), size_t(40));

    // Bad rows among good ones: named in one message, the good ones used.
    messages->messages.clear();
    const std::string mixed = cup.folder.File("mixed.csv");
    std::ofstream(mixed) << "label,x,y,z,thickness\nA,0,0,0,1.5\nB,0,0\nC,0,nan,0,1\nD,10,0,0,1.5\n";
    files.measurements = QString::fromStdString(mixed);
    QVERIFY(frame->Commands().Run(command::ImportMeasurements));
    QTRY_VERIFY(session->Measured() != kept && !frame->Measurements().Busy(session));
    QCOMPARE(messages->messages.size(), size_t(1));
    QVERIFY2(messages->messages[0].text.find("line 3") != std::string::npos &&
                 messages->messages[0].text.find("line 4") != std::string::npos,
             messages->Texts().c_str());
    QCOMPARE(frame->Measurements().Panel()->Table()->rowCount(), 2);
    QCOMPARE(window->View()->Scene().Drawer().MeasurementMarkers().size(), size_t(2));
}
