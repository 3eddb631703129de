// The cut window as the user meets it: its controls, "Cutting" and the
// profile list, the limits kept or reset, the read-out dragged with the
// mouse and its cross-hair in a real 3D view, the units change, closing,
// the layout, "Save data..." and the printed page read back from a PDF on the
// printer given.
#include "config/CConfiguration.h"
#include "cut/CCutDialog.h"
#include "cut/ProfileCsv.h"
#include "model/CProjectProfile.h"
#include "scene/CSceneRender.h"
#include "tests/model/ProjectFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolButton>
#include <QToolTip>
#include <QtTest>

#include <clocale>
#include <fstream>
#include <memory>
#include <vector>

namespace {

// A view of the document that keeps every hint and whether the sheet held
// a cut mark then.
class CRecordingView : public CView {
public:
    explicit CRecordingView(CProjectProfile& shown) : document(shown) { document.AddView(this); }
    ~CRecordingView() override { document.RemoveView(this); }
    void OnUpdate(CView*, int hint) override {
        hints.push_back(hint);
        marks.push_back(document.Sheet()->CutMark().valid);
    }
    CDocument* Document() const override { return &document; }

    CProjectProfile& document;
    std::vector<int> hints;
    std::vector<bool> marks;
};

int Count(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += (image.pixel(x, y) & 0xffffffu) == colour;
    return count;
}

const QRgb Blue = 0x0000ff;

int Dark(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qGray(image.pixel(x, y)) < 100;
    return count;
}

QString Shown(double number) {
    return QString::number(number, 'g', 15);
}

// The width a line edit has for its text, as it lays its text out: the
// style's contents less the text margins and its own 2 each side.
int TextRoom(const QLineEdit* edit) {
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
    const QMargins margins = edit->textMargins();
    return edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit).width() -
           margins.left() - margins.right() - 4;
}

struct Word {
    QString text;
    QRectF box; // points, y downwards
};

// The words of a PDF with their boxes, as pdftotext finds them.
std::vector<Word> Words(const QString& pdf) {
    QProcess process;
    process.start("pdftotext", {"-bbox", pdf, "-"});
    process.waitForFinished();
    std::vector<Word> words;
    static const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    for (auto match = word.globalMatch(QString::fromUtf8(process.readAllStandardOutput()));
         match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        words.push_back(
            {found.captured(5), QRectF(QPointF(found.captured(1).toDouble(), found.captured(2).toDouble()),
                                       QPointF(found.captured(3).toDouble(), found.captured(4).toDouble()))});
    }
    return words;
}

} // namespace

class CutDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensOnTheCutDefinitionWithNoCut();
    void cuttingDrawsTheGraphAndRedrawsTheViews();
    void aPositionThatIsNoNumberCutsNothing();
    void typedLimitsSurviveUntilThePositionOrProfileChanges();
    void panelsShareOnePlace();
    void flagTFollowsTheDocument();
    void readOutFollowsTheMouseAndMarksTheViews();
    void pressOutsideThePlotDoesNothing();
    void crossHairInARealView();
    void unitsChangeConvertsAndRedraws();
    void closingEmptiesTheCut();
    void layoutFollowsTheWindowSize();
    void limitFieldsShowTheirWholeNumber();
    void saveDataWritesTheProfile();
    void printsOnePagePortraitAndLandscape();
    void printsOnThePrinterAndPaperGiven();

private:
    // Types a position and presses "Cutting".
    void Cut(const QString& where);
    QImage Graph() const { return dialog->Graph()->grab().toImage(); }
    template <typename T> T* Child(const char* name) const {
        T* child = dialog->findChild<T*>(name);
        if (!child)
            qFatal("no control %s", name);
        return child;
    }

    std::unique_ptr<CProjectFixture> fixture;
    std::unique_ptr<CConfiguration> configuration;
    std::unique_ptr<CProjectProfile> project;
    std::unique_ptr<CRecordingView> view;
    std::unique_ptr<CCutDialog> dialog;
};

void CutDialogTest::init() {
    FixtureOptions options;
    options.cellsX = 8;
    options.cellsY = 6;
    fixture = std::make_unique<CProjectFixture>(options);
    configuration = std::make_unique<CConfiguration>(fixture->File("Quillmere.cfg"));
    project = std::make_unique<CProjectProfile>();
    QVERIFY(project->Open(fixture->ProjectPath(), nullptr));
    view = std::make_unique<CRecordingView>(*project);
    dialog = std::make_unique<CCutDialog>(project.get(), *configuration);
    dialog->resize(800, 560);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
}

void CutDialogTest::cleanup() {
    dialog.reset();
    view.reset();
    project.reset();
    configuration.reset();
    fixture.reset();
}

void CutDialogTest::Cut(const QString& where) {
    auto* position = Child<QLineEdit>("position");
    position->selectAll();
    QTest::keyClicks(position, where);
    QTest::mouseClick(Child<QPushButton>("cutting"), Qt::LeftButton);
}

void CutDialogTest::opensOnTheCutDefinitionWithNoCut() {
    QCOMPARE(CCutDialog::CaptionFor(project.get()), QString("fixture.tfc: 3D Cut"));
    QVERIFY(Child<QRadioButton>("cutDefinition")->isChecked());
    QCOMPARE(Child<QComboBox>("plane")->currentText(), QString("X ="));
    QCOMPARE(Child<QLineEdit>("position")->text(), QString("0"));
    QCOMPARE(Child<QLabel>("positionUnit")->text(), QString("mm"));
    QCOMPARE(Child<QComboBox>("profile")->currentText(), QString("Thickness"));
    for (const char* limit : {"xMin", "xMax", "yMin", "yMax"})
        QCOMPARE(Child<QLineEdit>(limit)->text(), QString("0"));
    QVERIFY(!Child<QPushButton>("saveData")->isEnabled());
    QVERIFY(!dialog->CanPrint());
    // Only the no-cut text, in the lower half.
    const QImage graph = Graph();
    QCOMPARE(Count(graph, Blue), 0);
    QCOMPARE(Dark(graph.copy(0, 0, graph.width(), graph.height() / 2)), 0);
    QVERIFY(Dark(graph.copy(0, graph.height() / 2, graph.width(), graph.height() / 4)) > 20);
}

void CutDialogTest::cuttingDrawsTheGraphAndRedrawsTheViews() {
    QVERIFY(!dialog->CanPrint());
    QSignalSpy changed(dialog.get(), &CCutDialog::GraphChanged);
    Cut("12.5");
    QCOMPARE(changed.count(), 1);
    QVERIFY(dialog->CanPrint());
    QVERIFY(project->Sheet()->CutSegments().Count() > 0);
    QCOMPARE(view->hints, std::vector<int>{HintCutChanged});
    // A cut of 100 mm (give or take the sum's rounding) of 3 mm: limits up to
    // the next steps, the curve along the plot's top in blue.
    const double length = dialog->Session().Graph.TotalArcLength * 1000;
    QVERIFY2(std::abs(length - 100) < 1e-5, qPrintable(QString::number(length, 'g', 17)));
    QCOMPARE(Child<QLineEdit>("xMax")->text(), Shown(NiceStep(length)));
    QCOMPARE(Child<QLineEdit>("yMax")->text(), Shown(dialog->Session().GraphLimits.yMax));
    QCOMPARE(Child<QLineEdit>("xMin")->text(), QString("0"));
    const QImage graph = Graph();
    const CPixelRect plot = dialog->PlotOfGraphArea();
    const CGraphMapping mapping(plot, dialog->Session().GraphLimits);
    QVERIFY(Count(graph, Blue) > plot.Width() / 3);
    QCOMPARE(graph.pixel(mapping.X(50), mapping.Y(3)) & 0xffffffu, Blue);
    QVERIFY((graph.pixel(mapping.X(50), mapping.Y(3) - 3) & 0xffffffu) != Blue);

    // A plane beside the sheet: the no-cut text, nothing blue, no printing.
    Cut("500");
    QVERIFY(!dialog->CanPrint());
    QCOMPARE(Count(Graph(), Blue), 0);
    QCOMPARE(project->Sheet()->CutSegments().Count(), 0);
}

void CutDialogTest::aPositionThatIsNoNumberCutsNothing() {
    Cut("12.5");
    const int pieces = project->Sheet()->CutSegments().Count();
    view->hints.clear();
    Cut("twelve");
    QVERIFY(view->hints.empty());
    QCOMPARE(project->Sheet()->CutSegments().Count(), pieces);
    QCOMPARE(dialog->Session().Position, 12.5);
    QVERIFY(dialog->CanPrint());
}

void CutDialogTest::typedLimitsSurviveUntilThePositionOrProfileChanges() {
    Cut("12.5");
    const double automatic = dialog->Session().GraphLimits.xMax;
    QTest::mouseClick(Child<QRadioButton>("graphLimits"), Qt::LeftButton);
    auto* xMax = Child<QLineEdit>("xMax");
    xMax->selectAll();
    QTest::keyClicks(xMax, "60");
    QTest::mouseClick(Child<QPushButton>("cutting"), Qt::LeftButton);
    QCOMPARE(dialog->Session().GraphLimits.xMax, 60.0);
    QTest::mouseClick(Child<QPushButton>("cutting"), Qt::LeftButton);
    QCOMPARE(xMax->text(), QString("60"));

    // The plane list marks the limits for resetting at the next cut.
    auto* plane = Child<QComboBox>("plane");
    plane->setCurrentIndex(1);
    plane->setCurrentIndex(0);
    QCOMPARE(dialog->Session().GraphLimits.xMax, 60.0); // nothing cut yet
    QTest::mouseClick(Child<QPushButton>("cutting"), Qt::LeftButton);
    QCOMPARE(xMax->text(), Shown(automatic));

    // Typed limits, then the position edited: automatic again.
    xMax->selectAll();
    QTest::keyClicks(xMax, "60");
    QTest::mouseClick(Child<QRadioButton>("cutDefinition"), Qt::LeftButton);
    Cut("12.5");
    QCOMPARE(xMax->text(), Shown(automatic));

    // Another profile cuts at once, from automatic limits.
    xMax->selectAll();
    QTest::keyClicks(xMax, "60");
    view->hints.clear();
    Child<QComboBox>("profile")->setCurrentIndex(1);
    QCOMPARE(view->hints, std::vector<int>{HintCutChanged});
    QCOMPARE(dialog->Session().Quantity(), 2);
    QCOMPARE(xMax->text(), Shown(automatic));
}

void CutDialogTest::panelsShareOnePlace() {
    auto* planeGroup = Child<QComboBox>("plane")->parentWidget();
    auto* limitsGroup = Child<QLineEdit>("xMin")->parentWidget();
    QVERIFY(planeGroup->isVisible());
    QVERIFY(!limitsGroup->isVisible());
    QTest::mouseClick(Child<QRadioButton>("graphLimits"), Qt::LeftButton);
    QVERIFY(!planeGroup->isVisible());
    QVERIFY(limitsGroup->isVisible());
    QCOMPARE(limitsGroup->geometry().topLeft(), planeGroup->geometry().topLeft());
    QTest::mouseClick(Child<QRadioButton>("cutDefinition"), Qt::LeftButton);
    QVERIFY(planeGroup->isVisible());
}

void CutDialogTest::flagTFollowsTheDocument() {
    auto* flag = Child<QToolButton>("flagT");
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), flag->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(flag, &help);
    QCOMPARE(QToolTip::text(), flag->toolTip());
    QVERIFY(QToolTip::text().contains("flag"));
    QToolTip::hideText();
    QVERIFY(project->CutFlag());
    QVERIFY(flag->isChecked());
    QTest::mouseClick(flag, Qt::LeftButton);
    QVERIFY(!project->CutFlag());
    QVERIFY(!flag->isChecked());
    // A window opened later shows the document's flag.
    CCutDialog second(project.get(), *configuration);
    QVERIFY(!second.findChild<QToolButton*>("flagT")->isChecked());
    QTest::mouseClick(flag, Qt::LeftButton);
    QVERIFY(project->CutFlag());
}

void CutDialogTest::readOutFollowsTheMouseAndMarksTheViews() {
    Cut("12.5");
    view->hints.clear();
    view->marks.clear();
    CCutGraph* graph = dialog->Graph();
    const CPixelRect plot = dialog->PlotOfGraphArea();
    const CGraphMapping mapping(plot, dialog->Session().GraphLimits);
    const QImage before = Graph();

    // 25 mm along the cut, which runs from y = -50 mm upwards.
    const int column = mapping.X(25);
    const QPoint at(column, (plot.top + plot.bottom) / 2);
    QTest::mousePress(graph, Qt::LeftButton, {}, at);
    QVERIFY(dialog->Dragging());
    const double arc = mapping.XAt(column);
    QCOMPARE(Child<QLineEdit>("arcLength")->text(), QString::asprintf("%.3f", arc));
    QCOMPARE(Child<QLineEdit>("value")->text(), QString("3.000"));
    QCOMPARE(view->hints, std::vector<int>{HintCutMark});
    QCOMPARE(view->marks, std::vector<bool>{true});
    const CCoordinate point = project->Sheet()->CutMark().point;
    QCOMPARE(point.x, 0.0125);
    QVERIFY(std::abs(point.y - (-0.05 + arc * 0.001)) < 1e-9);

    // The marker line inverts the column from the plot's top to its bottom.
    QImage marked = Graph();
    QCOMPARE(marked.pixel(column, plot.top + 5) & 0xffffffu, ~before.pixel(column, plot.top + 5) & 0xffffffu);
    QCOMPARE(marked.pixel(column + 3, plot.top + 5), before.pixel(column + 3, plot.top + 5));

    // Dragging moves the line and the mark.
    const int next = mapping.X(75);
    QTest::mouseMove(graph, QPoint(next, at.y()));
    marked = Graph();
    QCOMPARE(marked.pixel(column, plot.top + 5), before.pixel(column, plot.top + 5));
    QCOMPARE(marked.pixel(next, plot.top + 5) & 0xffffffu, ~before.pixel(next, plot.top + 5) & 0xffffffu);
    QVERIFY(project->Sheet()->CutMark().point.y > point.y);
    QCOMPARE(view->hints.size(), size_t{2});

    // Past the end of the cut the arc length stops at 100 mm and the views
    // drop the cross-hair.
    QTest::mouseMove(graph, QPoint(plot.right + 40, at.y()));
    QCOMPARE(Child<QLineEdit>("arcLength")->text(), QString("100.000"));
    QCOMPARE(view->marks.back(), false);
    const size_t hints = view->hints.size();
    QTest::mouseMove(graph, QPoint(plot.right + 50, at.y()));
    QCOMPARE(view->hints.size(), hints); // a mark cleared is not cleared again

    QTest::mouseMove(graph, at);
    QCOMPARE(view->marks.back(), true);
    QTest::mouseRelease(graph, Qt::LeftButton, {}, at);
    QVERIFY(!dialog->Dragging());
    QCOMPARE(view->hints.back(), int{HintCutMark});
    QCOMPARE(view->marks.back(), false);
    QCOMPARE(Graph(), before);
    QCOMPARE(graph->MarkerColumn(), CCutGraph::NoMarker);

    // The read-out stays after the release, until a new cut, one that finds
    // nothing, or other units make another graph.
    auto* arcLength = Child<QLineEdit>("arcLength");
    auto* value = Child<QLineEdit>("value");
    auto readOut = [&] {
        QTest::mousePress(graph, Qt::LeftButton, {}, at);
        QTest::mouseRelease(graph, Qt::LeftButton, {}, at);
        QVERIFY(!arcLength->text().isEmpty() && !value->text().isEmpty());
    };
    readOut();
    Cut("10");
    QVERIFY(arcLength->text().isEmpty() && value->text().isEmpty());
    readOut();
    Cut("500");
    QVERIFY(arcLength->text().isEmpty() && value->text().isEmpty());
    Cut("10");
    readOut();
    configuration->SetSIMetric(false);
    dialog->UnitsChanged();
    QVERIFY(arcLength->text().isEmpty() && value->text().isEmpty());
}

void CutDialogTest::pressOutsideThePlotDoesNothing() {
    CCutGraph* graph = dialog->Graph();
    const CPixelRect plot = dialog->PlotOfGraphArea();
    QTest::mousePress(graph, Qt::LeftButton, {}, QPoint(plot.left + 10, plot.top + 10));
    QVERIFY2(!dialog->Dragging(), "no cut yet");
    QTest::mouseRelease(graph, Qt::LeftButton, {}, QPoint(plot.left + 10, plot.top + 10));

    Cut("12.5");
    view->hints.clear();
    for (const QPoint at : {QPoint(plot.left - 5, plot.top + 10), QPoint(plot.left + 10, plot.bottom + 3),
                            QPoint(plot.right + 1, plot.top + 10), QPoint(plot.left + 10, plot.top - 1)}) {
        QTest::mousePress(graph, Qt::LeftButton, {}, at);
        QVERIFY(!dialog->Dragging());
        QTest::mouseMove(graph, QPoint(plot.left + 20, plot.top + 20));
        QTest::mouseRelease(graph, Qt::LeftButton, {}, at);
    }
    QVERIFY(view->hints.empty());
    QVERIFY(Child<QLineEdit>("arcLength")->text().isEmpty());
    QCOMPARE(graph->MarkerColumn(), CCutGraph::NoMarker);
}

void CutDialogTest::crossHairInARealView() {
    view.reset();
    CSceneRender scene(project.get(), configuration->Settings());
    scene.resize(400, 300);
    scene.show();
    QVERIFY(QTest::qWaitForWindowExposed(&scene));
    const QImage uncut = scene.grabFramebuffer();
    const int builds = scene.SheetListBuilds();
    Cut("12.5");
    const QImage plain = scene.grabFramebuffer();
    // The cut's line is drawn; the sheet's buffers stay as they were.
    QVERIFY(plain != uncut);
    QCOMPARE(scene.SheetListBuilds(), builds);

    const CPixelRect plot = dialog->PlotOfGraphArea();
    const CGraphMapping mapping(plot, dialog->Session().GraphLimits);
    const QPoint at(mapping.X(50), (plot.top + plot.bottom) / 2);
    QTest::mousePress(dialog->Graph(), Qt::LeftButton, {}, at);
    const QPointF centre =
        scene.ProjectToWindow(project->Sheet()->CutMark().point) * scene.devicePixelRatioF();
    // The arms' outline around the point, and nothing of it once released.
    const QRect around(centre.toPoint() - QPoint(20, 20), QSize(41, 41));
    auto changed = [&](const QImage& frame) {
        int count = 0;
        for (int y = around.top(); y <= around.bottom(); ++y)
            for (int x = around.left(); x <= around.right(); ++x)
                count += frame.pixel(x, y) != plain.pixel(x, y);
        return count;
    };
    QVERIFY2(changed(scene.grabFramebuffer()) > 40,
             qPrintable(QString::number(changed(scene.grabFramebuffer()))));
    QTest::mouseRelease(dialog->Graph(), Qt::LeftButton, {}, at);
    QCOMPARE(changed(scene.grabFramebuffer()), 0);
}

void CutDialogTest::unitsChangeConvertsAndRedraws() {
    Cut("25.4");
    const double automatic = dialog->Session().GraphLimits.xMax;
    const QImage si = Graph();
    configuration->SetSIMetric(false);
    dialog->UnitsChanged();
    QCOMPARE(Child<QLabel>("positionUnit")->text(), QString("inch"));
    QCOMPARE(Child<QLineEdit>("position")->text(), QString("1"));
    QCOMPARE(Child<QLineEdit>("xMax")->text(), Shown(automatic / 25.4));
    QVERIFY(std::abs(dialog->Session().Graph.Points.back().x - 100 / 25.4) < 1e-6);
    QVERIFY(Graph() != si);
    // The cut is the same: a new cut in inches finds it again.
    QTest::mouseClick(Child<QPushButton>("cutting"), Qt::LeftButton);
    QVERIFY(std::abs(project->Sheet()->CutSegments().At(0)->Start.x - 0.0254) < 1e-12);
}

void CutDialogTest::closingEmptiesTheCut() {
    Cut("12.5");
    view->hints.clear();
    dialog.reset();
    QCOMPARE(project->Sheet()->CutSegments().Count(), 0);
    QCOMPARE(view->hints, (std::vector<int>{HintCutWindowCloses, HintCutChanged}));

    // A document that goes first is left alone.
    dialog = std::make_unique<CCutDialog>(project.get(), *configuration);
    Cut("12.5");
    dialog->DocumentClosing();
    view->hints.clear();
    dialog.reset();
    QVERIFY(view->hints.empty());
    QVERIFY(project->Sheet()->CutSegments().Count() > 0);
}

void CutDialogTest::layoutFollowsTheWindowSize() {
    Cut("12.5");
    const QRect first = dialog->Graph()->geometry();
    QCOMPARE(first.width(), dialog->width() - 3 * first.left());
    QCOMPARE(first.bottom() + 1, dialog->height() - 5);
    dialog->resize(1000, 700);
    QTRY_COMPARE(dialog->Graph()->width(), 1000 - 3 * first.left());
    QCOMPARE(dialog->Graph()->geometry().topLeft(), first.topLeft());
    QCOMPARE(dialog->Graph()->height(), 700 - first.top() - 5);
    const QWidget* controls[] = {Child<QPushButton>("cutting"), Child<QComboBox>("profile"),
                                 Child<QLineEdit>("value")};
    for (const QWidget* control : controls)
        QVERIFY(control->geometry().bottom() < first.top());
    const QString shot = qEnvironmentVariable("QUILLMERE_CUT_SCREENSHOT");
    if (!shot.isEmpty())
        dialog->grab().save(shot);
}

void CutDialogTest::limitFieldsShowTheirWholeNumber() {
    // Limits of fifteen digits in inches, and the longest a typed one becomes.
    dialog->resize(500, 400);
    Cut("25.4");
    configuration->SetSIMetric(false);
    dialog->UnitsChanged();
    QTest::mouseClick(Child<QRadioButton>("graphLimits"), Qt::LeftButton);
    auto* yMin = Child<QLineEdit>("yMin");
    yMin->selectAll();
    QTest::keyClicks(yMin, "-0.000123456789012345");
    QTest::mouseClick(Child<QPushButton>("cutting"), Qt::LeftButton);
    QCOMPARE(yMin->text(), QString("-0.000123456789012345"));
    QCOMPARE(Child<QLineEdit>("xMax")->text(), Shown(200 / 25.4));
    // The layouts settle from the fields up to the window, one posted
    // request a step; then no field is cut off by its group.
    auto whole = [](const QLineEdit* edit) { return edit->visibleRegion() == QRegion(edit->rect()); };
    QTRY_VERIFY(whole(Child<QLineEdit>("xMax")) && whole(yMin));
    for (const char* name : {"xMin", "xMax", "yMin", "yMax"}) {
        const auto* edit = Child<QLineEdit>(name);
        // The text and the cursor after it, in the whole height.
        QVERIFY2(edit->fontMetrics().horizontalAdvance(edit->text()) + 2 <= TextRoom(edit), name);
        QVERIFY2(edit->height() >= edit->minimumSizeHint().height() && whole(edit), name);
    }
    const QString shot = qEnvironmentVariable("QUILLMERE_CUT_SCREENSHOT");
    if (!shot.isEmpty())
        dialog->grab().save(shot.chopped(4) + "-limits.png");
}

void CutDialogTest::saveDataWritesTheProfile() {
    Cut("12.5");
    QString suggested;
    const QString path = QString::fromStdString(fixture->File("profile.csv"));
    dialog->SetSaveFileChooser([&](QWidget*, const QString& name) {
        suggested = name;
        return path;
    });
    QTest::mouseClick(Child<QPushButton>("saveData"), Qt::LeftButton);
    QVERIFY(suggested.endsWith("/fixture_cut.csv"));
    std::ifstream file(path.toStdString());
    const std::string written((std::istreambuf_iterator<char>(file)), {});
    QCOMPARE(written, ProfileCsv(project->Sheet()->CutSegments(), 1, *configuration));
    QVERIFY(written.rfind("arc_mm,value_mm,", 0) == 0);

    // Cancelling the chooser writes nothing.
    QFile::remove(path);
    dialog->SetSaveFileChooser([](QWidget*, const QString&) { return QString(); });
    QTest::mouseClick(Child<QPushButton>("saveData"), Qt::LeftButton);
    QVERIFY(!QFile::exists(path));
}

void CutDialogTest::printsOnePagePortraitAndLandscape() {
    QVERIFY(project->GoToRecord(2));
    Cut("12.5");
    QVERIFY(project->GoToRecord(3)); // the graph stays the cut of record 2
    for (const auto orientation : {QPageLayout::Portrait, QPageLayout::Landscape}) {
        const QString pdf = QString::fromStdString(
            fixture->File(orientation == QPageLayout::Portrait ? "portrait.pdf" : "wide.pdf"));
        // The program's printer draws at its high resolution; the page looks
        // the same as at the layout's own.
        QPrinter printer(QPrinter::HighResolution);
        if (orientation == QPageLayout::Portrait)
            printer.setResolution(CCutDialog::PrintResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(orientation);
        printer.setFullPage(true);
        dialog->Print(printer);

        QProcess info;
        info.start("pdfinfo", {pdf});
        QVERIFY(info.waitForFinished());
        const QString text = QString::fromUtf8(info.readAllStandardOutput());
        QVERIFY2(text.contains(QRegularExpression("Pages:\\s+1\\n")), qPrintable(text));
        QVERIFY2(text.contains(orientation == QPageLayout::Portrait ? "595 x 842 pts" : "842 x 595 pts"),
                 qPrintable(text));

        // The page at 72 dpi: one point a pixel.
        const QString stem = pdf.chopped(4);
        QProcess raster;
        raster.start("pdftoppm", {"-r", "72", "-png", "-singlefile", pdf, stem});
        QVERIFY(raster.waitForFinished());
        const QImage page(stem + ".png");
        QVERIFY(!page.isNull());
        const QString shot = qEnvironmentVariable("QUILLMERE_CUT_SCREENSHOT");
        if (!shot.isEmpty())
            page.save(shot.chopped(4) +
                      (orientation == QPageLayout::Portrait ? "-portrait.png" : "-landscape.png"));
        const QRect box = dialog->LastPrintedGraph();
        const double scale = 72.0 / printer.resolution();
        const QRect shown(
            QPoint(static_cast<int>(box.left() * scale), static_cast<int>(box.top() * scale)),
            QPoint(static_cast<int>(box.right() * scale), static_cast<int>(box.bottom() * scale)));
        // Portrait pages bring the box up to 0.9 of its right edge.
        const int W = printer.width(), H = printer.height();
        if (orientation == QPageLayout::Portrait)
            QVERIFY(box.bottom() < static_cast<int>(0.9 * static_cast<int>(0.95 * W)) -
                                       static_cast<int>(0.15 * H) + box.top());
        QVERIFY(box.left() > 0 && box.right() < W && box.bottom() < H);
        // Inside the box the 3D-face grey and the blue curve; outside it white.
        const QRgb inside = page.pixel(shown.left() + 3, shown.center().y()) & 0xffffffu;
        QVERIFY2(inside != 0xffffffu, qPrintable(QString::number(inside, 16)));
        QCOMPARE(page.pixel(shown.left() / 2, shown.center().y()) & 0xffffffu, 0xffffffu);
        QCOMPARE(page.pixel(shown.center().x(), shown.bottom() + 20) & 0xffffffu, 0xffffffu);
        int blue = 0;
        for (int y = shown.top(); y <= shown.bottom(); ++y)
            for (int x = shown.left(); x <= shown.right(); ++x) {
                const QColor colour = page.pixelColor(x, y);
                blue += colour.blue() > 200 && colour.red() < 100 && colour.green() < 100;
            }
        QVERIFY2(blue > shown.width() / 3, qPrintable(QString::number(blue)));

        // The title above the graph; the plane, its position and the record
        // inside it; the x labels apart; the y title clear of the top value.
        const std::vector<Word> words = Words(pdf);
        QStringList all, caption;
        const Word *top = nullptr, *yTitle = nullptr;
        std::vector<const Word*> xLabels;
        static const QRegularExpression xLabel("^\\d+\\.\\d\\d$");
        for (const Word& word : words) {
            all << word.text.normalized(QString::NormalizationForm_KC); // no ligatures
            if (shown.contains(word.box.center().toPoint()) && word.box.bottom() < shown.center().y())
                caption << word.text;
            if (word.text == "5")
                top = &word;
            if (word.text.contains("Thickness"))
                yTitle = &word;
            if (xLabel.match(word.text).hasMatch())
                xLabels.push_back(&word);
        }
        QVERIFY2(all.join(' ').contains("fixture.tfc: 3D Cut"), qPrintable(all.join(' ')));
        QVERIFY2(caption.join(' ').contains("X = 12.5 mm, Rec. 2 / 3."), qPrintable(caption.join(' ')));
        QVERIFY(top && yTitle);
        QVERIFY2(yTitle->box.height() > 9, qPrintable(QString::number(yTitle->box.height()))); // 11 points
        QVERIFY2(!top->box.intersects(yTitle->box), qPrintable(yTitle->text));
        QVERIFY2(xLabels.size() >= 3 && xLabels.front()->text == "0.00" && xLabels.back()->text == "200.00",
                 qPrintable(all.join(' ')));
        for (size_t k = 1; k < xLabels.size(); ++k)
            QVERIFY2(xLabels[k - 1]->box.right() < xLabels[k]->box.left(), qPrintable(xLabels[k]->text));
    }
}

void CutDialogTest::printsOnThePrinterAndPaperGiven() {
    Cut("12.5");
    // What Print setup left in the program's printer: A5 across, into a file.
    const QString pdf = QString::fromStdString(fixture->File("a5.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A5));
    printer.setPageOrientation(QPageLayout::Landscape);
    // The print dialog starts from it; Return prints.
    QTimer::singleShot(0, [] {
        if (QWidget* asking = QApplication::activeModalWidget())
            QTest::keyClick(asking, Qt::Key_Return);
    });
    dialog->PrintWithDialog(printer);
    QProcess info;
    info.start("pdfinfo", {pdf});
    QVERIFY(info.waitForFinished());
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    QVERIFY2(text.contains(QRegularExpression("Page size:\\s+595 x 420 pts")), qPrintable(text));
    QVERIFY(dialog->LastPrintedGraph().right() < printer.width());
}

int main(int argc, char** argv) {
    CSceneRender::PrepareApplication();
    QApplication application(argc, argv);
    qAddPostRoutine(KeepLoadedLibraries);
    std::setlocale(LC_NUMERIC, "C");
    CutDialogTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "CutDialogTest.moc"
