// The cut window as the user meets it: the wiring of its controls to the cut
// session (whose rules CutWindowTest checks without widgets), the graph
// painted, the read-out dragged with the mouse and its cross-hair in a real
// 3D view, closing, the layout, "Save data..." and the printed page read
// back from a PDF on the printer given.
#include "config/CConfiguration.h"
#include "cut/ProfileCsv.h"
#include "model/CProjectProfile.h"
#include "scale/Comparison.h"
#include "session/CSession.h"
#include "tests/model/ProjectFixture.h"
#include "tests/support/QtTestSupport.h"
#include "ui/cut/CCutDialog.h"
#include "ui/scene/CSceneRender.h"

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

#include <memory>
#include <vector>

using namespace quillmere;

namespace {

// The cut a 3D view of the session draws: none without a cut window.
const CCutSegments& DrawnCut(const CSession& session) {
    return *session.CutLine();
}

// The point of the cut a 3D view of the session marks, or null.
const CCoordinate* DrawnMark(const CSession& session) {
    return session.CutMark();
}

// A view of the document that keeps what the views draw: how many pieces of
// cut at every event of the document, whether a cut mark at every move of
// the mark that the cut window announces.
class CRecordingView : public CView {
public:
    explicit CRecordingView(CSession& shown) : session(shown) { session.Project().AddView(this); }
    ~CRecordingView() override { session.Project().RemoveView(this); }
    void OnUpdate(CView*, DocumentEvent) override {
        pieces.push_back(static_cast<int>(DrawnCut(session).size()));
    }
    void MarkMoved() { marks.push_back(DrawnMark(session) != nullptr); }
    CDocument* Document() const override { return &session.Project(); }
    void Clear() {
        marks.clear();
        pieces.clear();
    }

    CSession& session;
    std::vector<bool> marks;
    std::vector<int> pieces;
};

// The pixels of an image that pass a test.
template <class Test> int Pixels(const QImage& image, Test test) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += test(image.pixel(x, y));
    return count;
}

const QRgb Blue = 0x0000ff;

int Count(const QImage& image, QRgb colour) {
    return Pixels(image, [colour](QRgb pixel) { return (pixel & 0xffffffu) == colour; });
}

int Dark(const QImage& image) {
    return Pixels(image, [](QRgb pixel) { return qGray(pixel) < 100; });
}

QString Shown(double number) {
    return QString::number(number, 'g', 15);
}

// What pdfinfo says of a PDF.
QString PdfInfo(const QString& pdf) {
    QProcess info;
    info.start("pdfinfo", {pdf});
    info.waitForFinished();
    return QString::fromUtf8(info.readAllStandardOutput());
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

    void cuttingDrawsTheGraphAndTellsTheViews();
    void controlsMarkTypedLimitsForReset();
    void panelsAndFlagT();
    void readOutFollowsTheMouseAndMarksTheViews();
    void crossHairInARealView();
    void closingEmptiesTheCut();
    void layoutFollowsTheWindowSize();
    void unitsChangeAndLimitFieldsShowTheirWholeNumber();
    void saveDataWritesTheProfile();
    void comparingViewPlotsTheDifferenceAlongTheCut();
    void printsOnePagePortraitAndLandscape();
    void printsOnThePrinterAndPaperGiven();
    void labelsStayOutsideThePlotFrame();

private:
    // Types text into a field; the position field is followed by "Cutting".
    void Type(const char* field, const QString& text);
    void Cut(const QString& where) {
        Type("position", where);
        QTest::mouseClick(Child<QPushButton>("cutting"), Qt::LeftButton);
    }
    QImage Graph() const { return dialog->Graph()->grab().toImage(); }
    CGraphMapping Mapping() const {
        return CGraphMapping(dialog->PlotOfGraphArea(), dialog->CutSession().GraphLimits);
    }
    template <typename T> T* Child(const char* name) const {
        T* child = dialog->findChild<T*>(name);
        if (!child)
            qFatal("no control %s", name);
        return child;
    }

    std::unique_ptr<CProjectFixture> fixture;
    std::unique_ptr<CConfiguration> configuration;
    std::unique_ptr<CSession> session;
    CProjectProfile* project = nullptr; // the session's
    std::unique_ptr<CRecordingView> view;
    std::unique_ptr<CCutDialog> dialog;
};

void CutDialogTest::init() {
    FixtureOptions options;
    options.cellsX = 8;
    options.cellsY = 6;
    fixture = std::make_unique<CProjectFixture>(options);
    configuration = std::make_unique<CConfiguration>(fixture->File("Quillmere.cfg"));
    session = std::make_unique<CSession>();
    project = &session->Project();
    QVERIFY(session->Open(fixture->ProjectPath(), nullptr));
    view = std::make_unique<CRecordingView>(*session);
    dialog = std::make_unique<CCutDialog>(session.get(), *configuration);
    QObject::connect(dialog.get(), &CCutDialog::MarkMoved, [this] {
        if (view)
            view->MarkMoved();
    });
    dialog->resize(800, 560);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
}

void CutDialogTest::cleanup() {
    dialog.reset();
    view.reset();
    session.reset();
    configuration.reset();
    fixture.reset();
}

void CutDialogTest::Type(const char* field, const QString& text) {
    auto* edit = Child<QLineEdit>(field);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

void CutDialogTest::cuttingDrawsTheGraphAndTellsTheViews() {
    QCOMPARE(CCutDialog::CaptionFor(project), QString("fixture.tfc: 3D Cut"));
    QCOMPARE(Child<QComboBox>("plane")->currentText(), QString("X ="));
    QCOMPARE(Child<QLabel>("positionUnit")->text(), QString("mm"));
    QCOMPARE(Child<QComboBox>("profile")->currentText(), QString("Thickness"));
    QVERIFY(!Child<QPushButton>("saveData")->isEnabled());
    QVERIFY(!dialog->CanPrint());
    // Only the no-cut text, in the lower half.
    QImage graph = Graph();
    QCOMPARE(Count(graph, Blue), 0);
    QCOMPARE(Dark(graph.copy(0, 0, graph.width(), graph.height() / 2)), 0);
    QVERIFY(Dark(graph.copy(0, graph.height() / 2, graph.width(), graph.height() / 4)) > 20);

    QSignalSpy changed(dialog.get(), &CCutDialog::GraphChanged);
    Cut("12.5");
    QCOMPARE(changed.count(), 1);
    QVERIFY(dialog->CanPrint() && Child<QPushButton>("saveData")->isEnabled());
    QVERIFY(!DrawnCut(*session).empty());
    QCOMPARE(view->pieces, std::vector<int>{static_cast<int>(DrawnCut(*session).size())});
    QCOMPARE(Child<QLineEdit>("xMax")->text(), Shown(dialog->CutSession().GraphLimits.xMax));
    QCOMPARE(Child<QLineEdit>("yMax")->text(), Shown(dialog->CutSession().GraphLimits.yMax));
    // The 3 mm sheet: the blue curve along the plot's top.
    graph = Graph();
    const CGraphMapping mapping = Mapping();
    QVERIFY(Count(graph, Blue) > dialog->PlotOfGraphArea().Width() / 3);
    QCOMPARE(graph.pixel(mapping.X(50), mapping.Y(3)) & 0xffffffu, Blue);
    QVERIFY((graph.pixel(mapping.X(50), mapping.Y(3) - 3) & 0xffffffu) != Blue);

    // A position that is no number cuts nothing.
    view->Clear();
    Cut("twelve");
    QVERIFY(view->pieces.empty());
    QCOMPARE(dialog->CutSession().Position, 12.5);
    QVERIFY(dialog->CanPrint());

    // A plane beside the sheet: the no-cut text, nothing blue, no printing.
    Cut("500");
    QVERIFY(!dialog->CanPrint());
    QCOMPARE(Count(Graph(), Blue), 0);
    QCOMPARE(view->pieces, std::vector<int>{0});
}

// The limits typed are taken at "Cutting"; the plane list and the position
// field mark them for the next cut to reset; another profile cuts at once.
void CutDialogTest::controlsMarkTypedLimitsForReset() {
    Cut("12.5");
    const QString automatic = Child<QLineEdit>("xMax")->text();
    auto* cutting = Child<QPushButton>("cutting");
    QTest::mouseClick(Child<QRadioButton>("graphLimits"), Qt::LeftButton);
    Type("xMax", "60");
    QTest::mouseClick(cutting, Qt::LeftButton);
    QCOMPARE(dialog->CutSession().GraphLimits.xMax, 60.0);

    auto* plane = Child<QComboBox>("plane");
    plane->setCurrentIndex(1);
    plane->setCurrentIndex(0);
    QTest::mouseClick(cutting, Qt::LeftButton);
    QCOMPARE(Child<QLineEdit>("xMax")->text(), automatic);

    Type("xMax", "60");
    Cut("12.5");
    QCOMPARE(Child<QLineEdit>("xMax")->text(), automatic);

    Type("xMax", "60");
    view->Clear();
    Child<QComboBox>("profile")->setCurrentIndex(1);
    QCOMPARE(view->pieces.size(), size_t{1});
    QCOMPARE(dialog->CutSession().ProfileQuantity, ResultQuantity::Temperature);
    QCOMPARE(Child<QLineEdit>("xMax")->text(), automatic);
}

void CutDialogTest::panelsAndFlagT() {
    auto* planeGroup = Child<QComboBox>("plane")->parentWidget();
    auto* limitsGroup = Child<QLineEdit>("xMin")->parentWidget();
    QVERIFY(planeGroup->isVisible() && !limitsGroup->isVisible());
    QTest::mouseClick(Child<QRadioButton>("graphLimits"), Qt::LeftButton);
    QVERIFY(!planeGroup->isVisible() && limitsGroup->isVisible());
    QCOMPARE(limitsGroup->geometry().topLeft(), planeGroup->geometry().topLeft());
    QTest::mouseClick(Child<QRadioButton>("cutDefinition"), Qt::LeftButton);
    QVERIFY(planeGroup->isVisible());

    auto* flag = Child<QToolButton>("flagT");
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), flag->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(flag, &help);
    QVERIFY(QToolTip::text().contains("flag"));
    QToolTip::hideText();
    QVERIFY(project->CutFlag() && flag->isChecked());
    QTest::mouseClick(flag, Qt::LeftButton);
    QVERIFY(!project->CutFlag());
    // A window opened later shows the document's flag.
    CCutDialog second(session.get(), *configuration);
    QVERIFY(!second.findChild<QToolButton*>("flagT")->isChecked());
}

void CutDialogTest::readOutFollowsTheMouseAndMarksTheViews() {
    CCutGraph* graph = dialog->Graph();
    const CPixelRect plot = dialog->PlotOfGraphArea();
    const QPoint inside(plot.left + 10, plot.top + 10);
    QTest::mousePress(graph, Qt::LeftButton, {}, inside);
    QVERIFY2(!dialog->Dragging(), "no cut yet");
    QTest::mouseRelease(graph, Qt::LeftButton, {}, inside);

    Cut("12.5");
    view->Clear();
    QTest::mousePress(graph, Qt::LeftButton, {}, QPoint(plot.left - 5, plot.top + 10));
    QVERIFY2(!dialog->Dragging(), "outside the plot");
    QTest::mouseRelease(graph, Qt::LeftButton, {}, QPoint(plot.left - 5, plot.top + 10));
    QVERIFY(view->marks.empty());

    const CGraphMapping mapping = Mapping();
    const QImage before = Graph();
    // 25 mm along the cut, which runs from y = -50 mm upwards.
    const int column = mapping.X(25);
    const QPoint at(column, (plot.top + plot.bottom) / 2);
    QTest::mousePress(graph, Qt::LeftButton, {}, at);
    QVERIFY(dialog->Dragging());
    const double arc = mapping.XAt(column);
    QCOMPARE(Child<QLineEdit>("arcLength")->text(), QString::asprintf("%.3f", arc));
    QCOMPARE(Child<QLineEdit>("value")->text(), QString("3.000"));
    QCOMPARE(view->marks, std::vector<bool>{true});
    QVERIFY(DrawnMark(*session));
    const CCoordinate point = *DrawnMark(*session);
    QCOMPARE(point.x, 0.0125);
    QVERIFY(std::abs(point.y - (-0.05 + arc * 0.001)) < 1e-9);

    // The marker line inverts the column from the plot's top to its bottom;
    // dragging moves it and the mark.
    QImage marked = Graph();
    QCOMPARE(marked.pixel(column, plot.top + 5) & 0xffffffu, ~before.pixel(column, plot.top + 5) & 0xffffffu);
    QCOMPARE(marked.pixel(column + 3, plot.top + 5), before.pixel(column + 3, plot.top + 5));
    const int next = mapping.X(75);
    QTest::mouseMove(graph, QPoint(next, at.y()));
    marked = Graph();
    QCOMPARE(marked.pixel(column, plot.top + 5), before.pixel(column, plot.top + 5));
    QCOMPARE(marked.pixel(next, plot.top + 5) & 0xffffffu, ~before.pixel(next, plot.top + 5) & 0xffffffu);
    QVERIFY(DrawnMark(*session) && DrawnMark(*session)->y > point.y);
    QCOMPARE(view->marks.size(), size_t{2});

    // Past the end of the cut the views drop the cross-hair, once.
    QTest::mouseMove(graph, QPoint(plot.right + 40, at.y()));
    QCOMPARE(Child<QLineEdit>("arcLength")->text(), QString("100.000"));
    QCOMPARE(view->marks.back(), false);
    const size_t updates = view->marks.size();
    QTest::mouseMove(graph, QPoint(plot.right + 50, at.y()));
    QCOMPARE(view->marks.size(), updates);

    QTest::mouseMove(graph, at);
    QCOMPARE(view->marks.back(), true);
    QTest::mouseRelease(graph, Qt::LeftButton, {}, at);
    QVERIFY(!dialog->Dragging());
    QCOMPARE(view->marks.back(), false);
    QCOMPARE(Graph(), before);

    // The read-out stays after the release, until another graph: a new cut
    // or other units.
    auto* arcLength = Child<QLineEdit>("arcLength");
    auto* value = Child<QLineEdit>("value");
    QVERIFY(!arcLength->text().isEmpty() && !value->text().isEmpty());
    Cut("10");
    QVERIFY(arcLength->text().isEmpty() && value->text().isEmpty());
    QTest::mousePress(graph, Qt::LeftButton, {}, at);
    QTest::mouseRelease(graph, Qt::LeftButton, {}, at);
    QVERIFY(!arcLength->text().isEmpty());
    configuration->SetSIMetric(false);
    dialog->UnitsChanged();
    QVERIFY(arcLength->text().isEmpty() && value->text().isEmpty());
}

void CutDialogTest::crossHairInARealView() {
    view.reset();
    CSceneRender scene(session.get(), configuration->Settings());
    scene.resize(400, 300);
    scene.show();
    QVERIFY(QTest::qWaitForWindowExposed(&scene));
    const QImage uncut = scene.grabFramebuffer();
    const int builds = scene.Scene().Drawer().SheetBuilds();
    QObject::connect(dialog.get(), &CCutDialog::MarkMoved, &scene, &CSceneRender::ShowCutMark);
    Cut("12.5");
    const QImage plain = scene.grabFramebuffer();
    // The cut's line is drawn; the sheet's buffers stay as they were.
    QVERIFY(plain != uncut);
    QCOMPARE(scene.Scene().Drawer().SheetBuilds(), builds);

    const CPixelRect plot = dialog->PlotOfGraphArea();
    const QPoint at(Mapping().X(50), (plot.top + plot.bottom) / 2);
    QTest::mousePress(dialog->Graph(), Qt::LeftButton, {}, at);
    const QPointF centre = scene.ProjectToWindow(*DrawnMark(*session)) * scene.devicePixelRatioF();
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

void CutDialogTest::closingEmptiesTheCut() {
    Cut("12.5");
    view->Clear();
    dialog.reset();
    QVERIFY(DrawnCut(*session).empty());
    QVERIFY(!view->pieces.empty());
    QCOMPARE(view->pieces.back(), 0); // the views drop the cut's line

    // A document that goes first is left alone: its views draw no cut, and
    // the window keeps its graph while the session goes.
    dialog = std::make_unique<CCutDialog>(session.get(), *configuration);
    Cut("12.5");
    const QImage graph = Graph();
    dialog->DocumentClosing();
    QVERIFY(DrawnCut(*session).empty());
    view->Clear();
    view.reset();
    session.reset();
    dialog->Graph()->Invalidate();
    QCOMPARE(Graph(), graph);
    QVERIFY(dialog->CanPrint());
    dialog.reset();
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
    for (const QWidget* control : {static_cast<QWidget*>(Child<QPushButton>("cutting")),
                                   static_cast<QWidget*>(Child<QComboBox>("profile")),
                                   static_cast<QWidget*>(Child<QLineEdit>("value"))})
        QVERIFY(control->geometry().bottom() < first.top());
    KeepPicture(*dialog, "cut-window");
}

// Limits of fifteen digits in inches, and the longest a typed one becomes.
void CutDialogTest::unitsChangeAndLimitFieldsShowTheirWholeNumber() {
    // The change of units converts the fields and redraws the graph.
    dialog->resize(500, 400);
    Cut("25.4");
    const QImage si = Graph();
    configuration->SetSIMetric(false);
    dialog->UnitsChanged();
    QCOMPARE(Child<QLabel>("positionUnit")->text(), QString("inch"));
    QCOMPARE(Child<QLineEdit>("position")->text(), QString("1"));
    QCOMPARE(Child<QLineEdit>("xMax")->text(), Shown(200 / 25.4));
    QVERIFY(Graph() != si);
    QTest::mouseClick(Child<QRadioButton>("graphLimits"), Qt::LeftButton);
    Type("yMin", "-0.000123456789012345");
    QTest::mouseClick(Child<QPushButton>("cutting"), Qt::LeftButton);
    // The same cut, found again in inches.
    QVERIFY(std::abs(DrawnCut(*session).at(0).Start.x - 0.0254) < 1e-12);
    auto* yMin = Child<QLineEdit>("yMin");
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
    KeepPicture(*dialog, "cut-window-limits");
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
    QCOMPARE(ReadWholeFile(path.toStdString()),
             ProfileCsv(DrawnCut(*session), ResultQuantity::Thickness, *configuration));

    // Cancelling the chooser writes nothing.
    QFile::remove(path);
    dialog->SetSaveFileChooser([](QWidget*, const QString&) { return QString(); });
    QTest::mouseClick(Child<QPushButton>("saveData"), Qt::LeftButton);
    QVERIFY(!QFile::exists(path));
}

void CutDialogTest::comparingViewPlotsTheDifferenceAlongTheCut() {
    // The reference: 0.45 mm thinner and 10 degrees cooler everywhere.
    FixtureOptions options;
    options.cellsX = 8;
    options.cellsY = 6;
    CProjectFixture cooler(options);
    for (int r = 0; r < 3; ++r) {
        samplegen::RecordData record = cooler.Record(r);
        for (samplegen::RecordElement& element : record.elements) {
            element.initialThickness -= 0.00045f;
            element.temperature -= 10;
        }
        QVERIFY(samplegen::WriteRecordFile(samplegen::RecordFileName(cooler.ProjectPath(), r), record));
    }
    CProjectProfile reference;
    QVERIFY(reference.Open(cooler.ProjectPath(), nullptr));
    Cut("12.5");
    // Comparing cuts again at once: the difference, on limits around 0.
    dialog->SetComparison(std::make_shared<CComparison>(*project, reference));
    QCOMPARE(dialog->CutSession().GraphLimits.yMin, -0.5);
    QCOMPARE(dialog->CutSession().GraphLimits.yMax, 0.5);
    const QImage graph = Graph();
    QCOMPARE(graph.pixel(Mapping().X(50), Mapping().Y(0.45)) & 0xffffffu, Blue);
    const QString path = QString::fromStdString(fixture->File("difference.csv"));
    dialog->SetSaveFileChooser([&](QWidget*, const QString&) { return path; });
    QTest::mouseClick(Child<QPushButton>("saveData"), Qt::LeftButton);
    QVERIFY(ReadWholeFile(path.toStdString()).rfind("arc_mm,delta_mm,", 0) == 0);
    // 10 degrees are 18 in Fahrenheit, in the graph and after a change of units.
    Child<QComboBox>("profile")->setCurrentText("Temperature");
    configuration->SetSIMetric(false);
    dialog->UnitsChanged();
    QCOMPARE(dialog->CutSession().Graph.Points.front().y, 18.0);
    // Stopping cuts the plain values again.
    dialog->SetComparison(nullptr);
    QCOMPARE(dialog->CutSession().Graph.Points.front().y, 302.0);
}

void CutDialogTest::printsOnePagePortraitAndLandscape() {
    QVERIFY(project->GoToRecord(2));
    Cut("12.5");
    QVERIFY(project->GoToRecord(3)); // the graph stays the cut of record 2
    for (const auto orientation : {QPageLayout::Portrait, QPageLayout::Landscape}) {
        const bool portrait = orientation == QPageLayout::Portrait;
        const QString pdf = QString::fromStdString(fixture->File(portrait ? "portrait.pdf" : "wide.pdf"));
        // The program's printer draws at its high resolution; the page looks
        // the same as at the layout's own.
        QPrinter printer(QPrinter::HighResolution);
        if (portrait)
            printer.setResolution(CCutDialog::PrintResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(orientation);
        printer.setFullPage(true);
        dialog->Print(printer);
        const QString info = PdfInfo(pdf);
        QVERIFY2(info.contains(QRegularExpression("Pages:\\s+1\\n")), qPrintable(info));
        QVERIFY2(info.contains(portrait ? "595 x 842 pts" : "842 x 595 pts"), qPrintable(info));

        // The page at 72 dpi: one point a pixel.
        const QString stem = pdf.chopped(4);
        QProcess raster;
        raster.start("pdftoppm", {"-r", "72", "-png", "-singlefile", pdf, stem});
        QVERIFY(raster.waitForFinished());
        const QImage page(stem + ".png");
        QVERIFY(!page.isNull());
        KeepPicture(page, portrait ? "cut-portrait" : "cut-landscape");
        const QRect box = dialog->LastPrintedGraph();
        QVERIFY(box.left() > 0 && box.right() < printer.width() && box.bottom() < printer.height());
        const double scale = 72.0 / printer.resolution();
        const QRect shown(QPoint(int(box.left() * scale), int(box.top() * scale)),
                          QPoint(int(box.right() * scale), int(box.bottom() * scale)));
        // Inside the box the 3D-face grey and the blue curve; outside it white.
        const QRgb inside = page.pixel(shown.left() + 3, shown.center().y()) & 0xffffffu;
        QVERIFY2(inside != 0xffffffu, qPrintable(QString::number(inside, 16)));
        QCOMPARE(page.pixel(shown.left() / 2, shown.center().y()) & 0xffffffu, 0xffffffu);
        QCOMPARE(page.pixel(shown.center().x(), shown.bottom() + 20) & 0xffffffu, 0xffffffu);
        const int blue = Pixels(page.copy(shown), [](QRgb pixel) {
            return qBlue(pixel) > 200 && qRed(pixel) < 100 && qGreen(pixel) < 100;
        });
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
    const QString info = PdfInfo(pdf);
    QVERIFY2(info.contains(QRegularExpression("Page size:\\s+595 x 420 pts")), qPrintable(info));
    QVERIFY(dialog->LastPrintedGraph().right() < printer.width());
}

// Y labels wider than the plot's margin (typed limits of many digits) stand
// left of the plot's frame on the screen and on the page, and the tick at
// 0 reads 0, not what adding steps leaves of it.
void CutDialogTest::labelsStayOutsideThePlotFrame() {
    Cut("12.5");
    QTest::mouseClick(Child<QRadioButton>("graphLimits"), Qt::LeftButton);
    Type("yMin", "-0.0123");
    Type("yMax", "0.0123");
    QTest::mouseClick(Child<QPushButton>("cutting"), Qt::LeftButton);
    QCOMPARE(dialog->CutSession().GraphLimits.yMin, -0.0123);
    const CGraphMapping mapping = Mapping();
    const std::vector<CGraphTick> ticks = YTicks(mapping);
    QCOMPARE(ticks.size(), size_t{11});
    QCOMPARE(ticks[5].value, 0.0);
    QCOMPARE(QString::fromStdString(ticks[5].label).trimmed(), QString("0"));

    // The 3 mm curve lies far above: inside the plot, left of the first
    // grid line and above each y grid line, nothing is drawn.
    const QImage graph = Graph();
    KeepPicture(graph, "cut-wide-labels");
    const CPixelRect plot = mapping.Plot();
    const int ascent = QFontMetrics(dialog->Graph()->font()).ascent();
    for (const CGraphTick& tick : ticks) {
        const int top = std::max(plot.top + 3, tick.pixel - ascent + 1);
        if (tick.pixel - 2 > top)
            QVERIFY2(Dark(graph.copy(plot.left + 3, top, 20, tick.pixel - 2 - top)) == 0, tick.label.c_str());
    }

    const QString pdf = QString::fromStdString(fixture->File("wide.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setResolution(CCutDialog::PrintResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setFullPage(true);
    dialog->Print(printer);
    QProcess raster;
    raster.start("pdftoppm", {"-r", "72", "-png", "-singlefile", pdf, pdf.chopped(4)});
    QVERIFY(raster.waitForFinished());
    const QImage page(pdf.chopped(4) + ".png");
    QVERIFY(!page.isNull());
    KeepPicture(page, "cut-wide-labels-printed");
    // The plot's left edge: the first column inside the graph's frame that
    // is dark from top to bottom of the graph's middle half.
    const double scale = 72.0 / printer.resolution();
    const QRect box = dialog->LastPrintedGraph();
    const QRect shown(QPoint(int(box.left() * scale), int(box.top() * scale)),
                      QPoint(int(box.right() * scale), int(box.bottom() * scale)));
    int plotLeft = -1;
    for (int x = shown.left() + 3; x < shown.center().x() && plotLeft < 0; ++x) {
        int dark = 0;
        for (int y = shown.top() + shown.height() / 4; y < shown.top() + 3 * shown.height() / 4; ++y)
            dark += qGray(page.pixel(x, y)) < 160;
        if (dark > shown.height() / 2 - 2)
            plotLeft = x;
    }
    QVERIFY(plotLeft > shown.left());
    static const QRegularExpression number("^-?[0-9.]+(e[-+][0-9]+)?$");
    QStringList labels;
    for (const Word& word : Words(pdf))
        if (number.match(word.text).hasMatch() && word.box.center().x() < plotLeft &&
            word.box.center().y() > shown.top() && word.box.center().y() < shown.bottom()) {
            labels << word.text;
            QVERIFY2(word.box.right() < plotLeft, qPrintable(word.text + " " + QString::number(plotLeft)));
        }
    QVERIFY2(labels.size() == 11 && labels.contains("0") && labels.contains("-0.00984"),
             qPrintable(labels.join(' ')));
}

int main(int argc, char** argv) {
    return RunWindowTest<CutDialogTest>(argc, argv, CSceneRender::PrepareApplication);
}

#include "CutDialogTest.moc"
