// The difference of two variants as a user drives it: "Compare with..." on
// two open projects written by the sample writer (the variant is the
// reference plus a known field), the scale title and labels, the data tip's
// lines, Stop comparing, a mesh that does not match, and closing the
// reference.
#include "scale/Comparison.h"
#include "app/CChildFrame.h"
#include "app/CExtendedChildFrame.h"
#include "app/CommandIds.h"
#include "core/FilePaths.h"
#include "model/CProjectProfile.h"
#include "render/SceneImage.h"
#include "scale/ResultQuantity.h"
#include "scene/CDataDisplay.h"
#include "tests/app/MainFrameTest.h"
#include "ui/cut/CCutDialog.h"
#include "ui/inspect/CDataTip.h"
#include "ui/scale/CCompareDialog.h"
#include "ui/scale/CScalePanel.h"
#include "ui/scene/CSceneRender.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

#include <cmath>

using namespace quillmere;

namespace {

constexpr int Records = 3;

// "variant.tfc" beside a fixture's files: its elements 0.4 mm thicker left of
// the sheet's middle and 0.2 mm thinner right of it, in every record.
std::string WriteVariant(CProjectFixture& fixture) {
    const std::string path = fixture.File("variant.tfc");
    EXPECT_TRUE(samplegen::WriteProjectFile(path, fixture.Project()));
    for (int r = 0; r < Records; ++r) {
        samplegen::RecordData record = fixture.Record(r);
        double left = 1e9, right = -1e9;
        for (const samplegen::Vec3& node : record.current) {
            left = std::min(left, node.x);
            right = std::max(right, node.x);
        }
        for (samplegen::RecordElement& element : record.elements) {
            double x = 0;
            for (int32_t node : element.nodes)
                x += record.current[static_cast<size_t>(node - 1)].x / 3;
            element.initialThickness += x < (left + right) / 2 ? 0.0004f : -0.0002f;
        }
        EXPECT_TRUE(samplegen::WriteRecordFile(samplegen::RecordFileName(path, r), record));
    }
    return path;
}

// Answers the next "Compare with" dialog: the reference at index, following
// the view's record (record 0) or at a fixed record; node by node is offered
// only when the reference's mesh is the view's (sameMesh), and by position
// is then chosen.
void AnswerCompareDialog(int reference, int record = 0, bool sameMesh = true) {
    QTimer::singleShot(0, [reference, record, sameMesh] {
        auto* dialog = qobject_cast<CCompareDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->ReferenceList()->setCurrentIndex(reference);
        // The view's own project cannot follow itself.
        QCOMPARE(dialog->FollowButton()->isEnabled(),
                 !dialog->ReferenceList()->currentText().endsWith(QStringLiteral("(this project)")));
        QCOMPARE(dialog->MatchNodesButton()->isEnabled(), sameMesh);
        QCOMPARE(dialog->MatchNodesButton()->isChecked(), sameMesh);
        QCOMPARE(dialog->ByPositionButton()->isChecked(), !sameMesh);
        QCOMPARE(dialog->DistanceBox()->isEnabled(), !sameMesh);
        QCOMPARE(dialog->DistanceBox()->value(), 5.0);
        if (record > 0) {
            QTest::mouseClick(dialog->FixedButton(), Qt::LeftButton);
            dialog->RecordBox()->setValue(record);
        }
        QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                          Qt::LeftButton);
    });
}

QStringList Labels(const CScalePanel& panel) {
    QStringList labels;
    for (int k = 0; k < 5; ++k)
        labels << panel.LabelText(k);
    return labels;
}

} // namespace

void MainFrameTest::compareWithShowsTheDifferenceOfTwoProjects() {
    FixtureOptions options;
    options.records = Records;
    CProjectFixture base(options);
    CChildFrame* reference = Open(base.ProjectPath());
    CChildFrame* variant = Open(WriteVariant(base));
    QVERIFY(reference && variant);
    CSceneRender* view = variant->View();
    CScalePanel* panel = frame->ScalePanel();
    auto* compare = panel->findChild<QPushButton*>(QStringLiteral("compareButton"));
    QCOMPARE(compare->text(), QStringLiteral("Compare with\u2026"));
    QVERIFY(!Command(command::StopComparing)->isEnabled());
    QMenu* display = nullptr;
    for (QAction* menu : frame->menuBar()->actions())
        if (menu->text() == QStringLiteral("&Display"))
            display = menu->menu();
    QVERIFY(display && display->actions().contains(Command(command::CompareWith)) &&
            display->actions().contains(Command(command::StopComparing)));
    QCOMPARE(Labels(*panel).first(), QStringLiteral("  3.40 mm"));

    AnswerCompareDialog(0);
    QTest::mouseClick(compare, Qt::LeftButton);
    QVERIFY(view->Comparison());
    QCOMPARE(panel->Title(), QStringLiteral("\u0394 Thickness (variant.tfc \u2212 fixture.tfc)"));
    QCOMPARE(Labels(*panel), (QStringList{"  0.40 mm", "  0.20 mm", "  0.00 mm", " -0.20 mm", " -0.40 mm"}));
    QCOMPARE(compare->text(), QStringLiteral("Stop comparing"));
    QVERIFY(Command(command::StopComparing)->isEnabled());

    // The tip of a node at the left edge: 3.4 mm against 3 mm.
    panel->findChild<QComboBox*>(QStringLiteral("pickList"))->setCurrentText(QStringLiteral("Node Info"));
    QVERIFY(frame->Commands().Run(command::XYView));
    const CSheetProfile& sheet = *variant->Document()->Sheet();
    int leftmost = 1;
    for (int node = 2; node <= sheet.NodeCount(); ++node)
        if (sheet.CurrentCoordinate(node).x < sheet.CurrentCoordinate(leftmost).x)
            leftmost = node;
    (void)view->grabFramebuffer();
    // A few pixels from the node towards the middle, on the sheet.
    const QPointF at = view->ProjectToWindow(sheet.CurrentCoordinate(leftmost));
    const QPointF towards = QPointF(view->width(), view->height()) / 2 - at;
    const QPoint pixel = (at + towards * (4 / std::hypot(towards.x(), towards.y()))).toPoint();
    QTest::mousePress(view, Qt::RightButton, Qt::ShiftModifier, pixel);
    auto* tip = view->findChild<CDataTip*>();
    QVERIFY(tip && tip->isVisible());
    QCOMPARE(tip->Lines().first(), QStringLiteral("Sheet - Node: %1").arg(leftmost));
    QCOMPARE(tip->Lines().mid(6), (QStringList{"variant.tfc:  3.400 mm", "fixture.tfc:  3.000 mm",
                                               "\u0394 Thickness:  0.400 mm"}));
    QTest::mouseRelease(view, Qt::RightButton, Qt::ShiftModifier, pixel);

    // The reference follows the record the view steps to.
    QVERIFY(frame->Commands().Run(command::GoToStart));
    QTRY_VERIFY(!variant->Document()->Player().IsLoading());
    QCOMPARE(view->Comparison()->PreparedRecord(), 1);
    QCOMPARE(panel->LabelText(4), QStringLiteral(" -0.40 mm"));

    // The document's cut window cuts what the view compares.
    QVERIFY(frame->Commands().Run(command::CutWindow));
    CCutDialog* cut = frame->CutWindowOf(variant->Document())->CutWindow();
    QCOMPARE(cut->CutSession().Comparison, view->Comparison());
    frame->ClientArea()->setActiveSubWindow(variant);

    QTest::mouseClick(compare, Qt::LeftButton);
    QVERIFY(!view->Comparison());
    QVERIFY(!cut->CutSession().Comparison);
    QVERIFY(panel->Title().isEmpty());
    QCOMPARE(Labels(*panel).first(), QStringLiteral("  3.40 mm"));
    QCOMPARE(Labels(*panel).last(), QStringLiteral("  2.80 mm"));
    QVERIFY2(messages->messages.empty(), messages->Texts().c_str());
}

void MainFrameTest::compareWithAnotherMeshGoesByPositionAndEndsWithTheReference() {
    FixtureOptions options;
    options.records = Records;
    CProjectFixture base(options);
    options.cellsX = 5;
    CProjectFixture finer(options);
    CChildFrame* finerWindow = Open(finer.ProjectPath());
    CChildFrame* reference = Open(base.ProjectPath());
    CChildFrame* variant = Open(WriteVariant(base));
    QVERIFY(finerWindow && reference && variant);
    CScalePanel* panel = frame->ScalePanel();

    // Another mesh over the same plate: by position, every node has a value.
    AnswerCompareDialog(0, 0, false);
    QVERIFY(frame->Commands().Run(command::CompareWith));
    QVERIFY2(messages->messages.empty(), messages->Texts().c_str());
    QVERIFY(variant->View()->Comparison() && variant->View()->Comparison()->ByPosition());
    // Two projects "fixture.tfc" are open: the title names the reference's folder.
    QVERIFY2(panel->Title().startsWith(QStringLiteral("\u0394 Thickness by position (variant.tfc \u2212 ")) &&
                 panel->Title().endsWith(QStringLiteral("/fixture.tfc)")),
             qPrintable(panel->Title()));
    QVERIFY(frame->Commands().Run(command::StopComparing));
    QVERIFY(panel->Title().isEmpty());

    // One window against the reference project, a second against its own
    // first record.
    AnswerCompareDialog(1);
    QVERIFY(frame->Commands().Run(command::CompareWith));
    QVERIFY(variant->View()->Comparison());
    QVERIFY(frame->Commands().Run(command::NewWindow));
    CChildFrame* second = frame->ActiveChild();
    AnswerCompareDialog(2, 1);
    QVERIFY(frame->Commands().Run(command::CompareWith));
    QCOMPARE(panel->Title(),
             QStringLiteral("\u0394 Thickness (variant.tfc Rec. 3 \u2212 variant.tfc Rec. 1)"));

    // Closing the reference ends the comparisons made with it, and only those.
    reference->close();
    QTRY_COMPARE(frame->Documents().size(), size_t(2));
    QVERIFY(!variant->View()->Comparison());
    QVERIFY(second->View()->Comparison());
    frame->ClientArea()->setActiveSubWindow(variant);
    QVERIFY(panel->Title().isEmpty());
    QVERIFY(frame->Commands().Run(command::NextRecord));
    QTRY_VERIFY(!variant->Document()->Player().IsLoading());
    frame->ClientArea()->setActiveSubWindow(second);
    QVERIFY(panel->Title().startsWith(QStringLiteral("\u0394 Thickness")));
    QVERIFY2(messages->messages.empty(), messages->Texts().c_str());
}

// Two variants "fixture.tfc" in folders of their own: every place that names
// them shows the folder that tells them apart while both are open.
void MainFrameTest::projectsOfOneNameShowTheirFolders() {
    const auto named = [](const CProjectFixture& project) {
        return QString::fromStdString(FileNamePart(FolderPart(project.ProjectPath())) + "/fixture.tfc");
    };
    const QString first = named(*fixture), second = named(*other);
    CChildFrame* reference = Open(fixture->ProjectPath());
    QVERIFY(reference->windowTitle().startsWith(QStringLiteral("fixture.tfc: Rec. ")));
    CChildFrame* variant = Open(other->ProjectPath());
    QVERIFY2(reference->windowTitle().startsWith(first + ": Rec. "), qPrintable(reference->windowTitle()));
    QVERIFY2(variant->windowTitle().startsWith(second + ": Rec. "), qPrintable(variant->windowTitle()));

    QStringList offered;
    QTimer::singleShot(0, [&offered] {
        auto* dialog = qobject_cast<CCompareDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        for (int k = 0; k < dialog->ReferenceList()->count(); ++k)
            offered << dialog->ReferenceList()->itemText(k);
        dialog->ReferenceList()->setCurrentIndex(0);
        dialog->accept();
    });
    QVERIFY(frame->Commands().Run(command::CompareWith));
    QCOMPARE(offered, (QStringList{first, second + " (this project)"}));
    CSceneRender* view = variant->View();
    QVERIFY(view->Comparison());
    QCOMPARE(frame->ScalePanel()->Title(), "\u0394 Thickness (" + second + " \u2212 " + first + ")");
    const auto tip = view->Comparison()->TipLines(view->Scene().Presented(), 0.003, 0.002, 5, *configuration);
    QVERIFY(QString::fromStdString(tip[0]).startsWith(second + ": "));
    QVERIFY(QString::fromStdString(tip[1]).startsWith(first + ": "));
    QCOMPARE(QString::fromStdString(SceneAnnotationsOf(view->Scene(), 5).title), second + " \u2212 " + first);
    QVERIFY(frame->Commands().Run(command::CutWindow));
    QCOMPARE(frame->CutWindowOf(variant->Document())->windowTitle(), second + ": 3D Cut");

    // One of them closed, the other is plain "fixture.tfc" again.
    frame->ClientArea()->setActiveSubWindow(reference);
    reference->close();
    QTRY_COMPARE(frame->Documents().size(), size_t(1));
    QVERIFY(variant->windowTitle().startsWith(QStringLiteral("fixture.tfc: Rec. ")));
    QCOMPARE(frame->CutWindowOf(variant->Document())->windowTitle(), QStringLiteral("fixture.tfc: 3D Cut"));
    QCOMPARE(QString::fromStdString(SceneAnnotationsOf(view->Scene(), 5).title),
             QStringLiteral("fixture.tfc"));
    QVERIFY2(messages->messages.empty(), messages->Texts().c_str());
}
