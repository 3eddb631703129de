// The engineer's verdict in the windows: the minimum wall of a view (its
// dialog, the scale panel's share, every new view of the project taking it)
// and Record > Forming summary with the first contact over every record.
#include "app/CChildFrame.h"
#include "app/CFormingSummaryDialog.h"
#include "app/CommandIds.h"
#include "core/TextFormat.h"
#include "session/CSession.h"
#include "tests/app/MainFrameTest.h"
#include "ui/scale/CMinimumWallDialog.h"
#include "ui/scale/CScalePanel.h"
#include "ui/scene/CSceneRender.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace quillmere;

namespace {

// A project of 3 records, 4 x 3 cells of 3 mm: in the last record the first
// column of cells is stretched to twice its width, so that its 6 elements
// are 1.5 mm thick and take 0.01 of the 0.025 m^2 formed. Node 1 touches
// the mould from record 2 on, node 20 in record 3.
std::unique_ptr<CProjectFixture> TwoThicknesses() {
    auto fixture = std::make_unique<CProjectFixture>();
    for (int r = 0; r < 3; ++r) {
        samplegen::RecordData record = fixture->Record(r);
        if (r == 2)
            for (samplegen::Vec3& node : record.current)
                node.x = node.x < -0.09 ? -0.15 : node.x;
        if (r >= 1)
            record.contactTool[0] = 0;
        if (r == 2)
            record.contactTool[19] = 0;
        EXPECT_TRUE(samplegen::WriteRecordFile(samplegen::RecordFileName(fixture->ProjectPath(), r), record));
    }
    return fixture;
}

// Calls answer on the next modal window of type T as soon as it shows (a
// progress dialog may come first).
template <typename T> void WhenShown(const std::function<void(T&)>& answer) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            answer(*dialog);
        }
    });
    poll->start(5);
}

// Sets the active view's minimum wall through its dialog: typed, and on or off.
void AnswerMinimumWall(const QString& typed, bool shown) {
    WhenShown<CMinimumWallDialog>([typed, shown](CMinimumWallDialog& dialog) {
        dialog.ShownBox()->setChecked(shown);
        dialog.ValueEdit()->setText(typed);
        dialog.accept();
    });
}

} // namespace

void MainFrameTest::minimumWallShowsItsShareAndIsRememberedPerProject() {
    const std::unique_ptr<CProjectFixture> project = TwoThicknesses();
    CChildFrame* child = Open(project->ProjectPath());
    QVERIFY(child);
    CScalePanel* panel = frame->ScalePanel();
    auto* button = panel->findChild<QPushButton*>(QStringLiteral("minimumWallButton"));
    QVERIFY(button && button->isEnabled());
    QCOMPARE(panel->MinimumWallText(), QString());
    QVERIFY(!Command(command::MinimumWall)->isChecked());

    // Between the two thicknesses: exactly the 6 thin elements.
    AnswerMinimumWall(QStringLiteral("2"), true);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(child->View()->Scene().MinimumWall(), 0.002);
    QCOMPARE(panel->MinimumWallText(), QStringLiteral("Below 2.00 mm: 40.0 % of the area (6 elements)"));
    QCOMPARE(child->View()->Scene().Drawer().BelowWallCount(), size_t(6));
    frame->Commands().UpdateStates();
    QVERIFY(Command(command::MinimumWall)->isChecked());
    // Above both, every element.
    AnswerMinimumWall(QStringLiteral("3.5"), true);
    QVERIFY(frame->Commands().Run(command::MinimumWall));
    QCOMPARE(panel->MinimumWallText(), QStringLiteral("Below 3.50 mm: 100.0 % of the area (24 elements)"));

    // Not a thickness: the dialog says so and stays open.
    WhenShown<CMinimumWallDialog>([this](CMinimumWallDialog& dialog) {
        dialog.ValueEdit()->setText(QStringLiteral("-1"));
        dialog.accept();
        QVERIFY(dialog.isVisible());
        QCOMPARE(messages->Texts(), std::string("Enter a thickness above 0."));
        messages->messages.clear();
        dialog.reject();
    });
    QVERIFY(frame->Commands().Run(command::MinimumWall));
    QCOMPARE(child->View()->Scene().MinimumWall(), 0.0035);

    // US units: the same share, the wall in inches.
    AnswerMinimumWall(QStringLiteral("2"), true);
    QVERIFY(frame->Commands().Run(command::MinimumWall));
    configuration->SetSIMetric(false);
    frame->NotifyUnitsChanged();
    QCOMPARE(panel->MinimumWallText(), QStringLiteral("Below 0.079 inch: 40.0 % of the area (6 elements)"));
    configuration->SetSIMetric(true);
    frame->NotifyUnitsChanged();

    // Every new view of the project takes it, also after the project closed.
    QVERIFY(frame->Commands().Run(command::NewWindow));
    QCOMPARE(frame->ActiveChild()->View()->Scene().MinimumWall(), 0.002);
    QVERIFY(frame->CloseAllWindows());
    child = Open(project->ProjectPath());
    QVERIFY(child);
    QCOMPARE(child->View()->Scene().MinimumWall(), 0.002);
    QCOMPARE(panel->MinimumWallText(), QStringLiteral("Below 2.00 mm: 40.0 % of the area (6 elements)"));
    // Another project knows nothing of it.
    CChildFrame* another = Open(other->ProjectPath());
    QCOMPARE(another->View()->Scene().MinimumWall(), 0.0);
    QCOMPARE(panel->MinimumWallText(), QString());

    // Off: the panel and the drawing lose it, a new view does not take it,
    // and the dialog offers the wall typed last.
    frame->ClientArea()->setActiveSubWindow(child);
    AnswerMinimumWall(QStringLiteral("2"), false);
    QVERIFY(frame->Commands().Run(command::MinimumWall));
    QCOMPARE(child->View()->Scene().MinimumWall(), 0.0);
    QCOMPARE(panel->MinimumWallText(), QString());
    QCOMPARE(child->View()->Scene().Drawer().BelowWallCount(), size_t(0));
    QVERIFY(frame->Commands().Run(command::NewWindow));
    QCOMPARE(frame->ActiveChild()->View()->Scene().MinimumWall(), 0.0);
    WhenShown<CMinimumWallDialog>([](CMinimumWallDialog& dialog) {
        QVERIFY(!dialog.ShownBox()->isChecked());
        QCOMPARE(dialog.ValueEdit()->text(), QStringLiteral("2"));
        dialog.reject();
    });
    QVERIFY(frame->Commands().Run(command::MinimumWall));
    QVERIFY2(messages->messages.empty(), messages->Texts().c_str());
}

void MainFrameTest::formingSummaryShowsTheRecordAndCopiesItsText() {
    const std::unique_ptr<CProjectFixture> project = TwoThicknesses();
    CChildFrame* child = Open(project->ProjectPath());
    QVERIFY(child);
    AnswerMinimumWall(QStringLiteral("2"), true);
    QVERIFY(frame->Commands().Run(command::MinimumWall));

    QString shown;
    const auto summary = [&] {
        WhenShown<CFormingSummaryDialog>([&shown](CFormingSummaryDialog& dialog) {
            shown = dialog.Text();
            QTest::mouseClick(dialog.CopyButton(), Qt::LeftButton);
            dialog.reject();
        });
        QVERIFY(frame->Commands().Run(command::FormingSummary));
    };
    summary();
    for (const char* line : {"Record number 3", "Areal draw ratio: 1.2500", "Maximum thinning: 50.00 %",
                             "Area below minimum wall: 40.00 %", "Elements below minimum wall: 6",
                             "First contact: records 2 to 3, 18 nodes never in contact"})
        QVERIFY2(shown.contains(QLatin1String(line)), qPrintable(shown));
    QCOMPARE(QApplication::clipboard()->text(), shown);

    // The first contact is read once for the project.
    const std::shared_ptr<const std::vector<double>> contact = child->Document()->Sheet()->FirstContact();
    QVERIFY(contact);
    QVERIFY(frame->Commands().Run(command::GoToStart));
    QTRY_VERIFY(!child->Document()->Player().IsLoading());
    summary();
    QVERIFY2(shown.contains(QLatin1String("Record number 1")), qPrintable(shown));
    QVERIFY2(shown.contains(QLatin1String("Areal draw ratio: 1.0000")), qPrintable(shown));
    QCOMPARE(child->Document()->Sheet()->FirstContact(), contact);
    QVERIFY2(messages->messages.empty(), messages->Texts().c_str());
}
