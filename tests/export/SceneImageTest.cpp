// The scene image of a real view under a virtual X server: pictures whose
// pixels are the view's at any size, seamless tiles, the printed page read
// back from PDF, print failures, the options dialog and Save to bitmap.
#include "render/SceneImage.h"
#include "config/CConfiguration.h"
#include "export/PictureExport.h"
#include "model/CProjectProfile.h"
#include "render/HeadlessScene.h"
#include "render/ScenePrint.h"
#include "session/CSession.h"
#include "tests/model/ProjectFixture.h"
#include "tests/support/TestSupport.h"
#include "tools/SampleWriter.h"
#include "ui/export/CVideoExportDialog.h"
#include "ui/export/SaveToBitmap.h"
#include "ui/export/ViewPrint.h"
#include "ui/scene/CSceneCommands.h"
#include "ui/scene/CSceneRender.h"

#include <QApplication>
#include <QCheckBox>
#include <QFont>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <clocale>
#include <cstdlib>
#include <memory>

using namespace quillmere;

namespace {

constexpr int CellsX = 12, CellsY = 16;

bool Near(QRgb a, QRgb b, int tolerance) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// Whether the 5 x 5 block around (x, y) is one colour: no edge close by.
bool Uniform(const QImage& image, int x, int y) {
    const QRgb centre = image.pixel(x, y);
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            if (!Near(image.pixel(x + dx, y + dy), centre, 2))
                return false;
    return true;
}

// Pixels of the area of a that differ from b by more than the tolerance in
// some channel.
int Differing(const QImage& a, const QImage& b, int tolerance, QRect area = {}) {
    if (area.isNull())
        area = a.rect();
    int differing = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            differing += !Near(a.pixel(x, y), b.pixel(x, y), tolerance);
    return differing;
}

// A printer writing a PDF file, and the page read back at a resolution.
void PrintToPdf(QPrinter& printer, const QString& pdf, int resolution) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setResolution(resolution);
}

QImage Rasterise(const QString& pdf, int resolution) {
    QProcess raster;
    raster.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QString::number(resolution), QStringLiteral("-png"),
                  QStringLiteral("-singlefile"), pdf, pdf});
    return raster.waitForFinished(60000) ? QImage(pdf + QStringLiteral(".png")) : QImage();
}

// The box the product name takes in a picture, with a margin.
QRect NameBox(const QImage& image) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(std::max(11, std::min(image.width(), image.height()) / 40));
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(QStringLiteral("Quillmere")) + 8;
    const int height = metrics.height() + 8;
    return QRect(image.width() - 10 - width, image.height() - 10 - height, width + 10, height + 10);
}

} // namespace

class SceneImageTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup() {
        ForceTileLimit(0);
        ForceSceneImageFault(SceneImageFault::None);
    }
    void pictureHasTheViewsPixels_data();
    void pictureHasTheViewsPixels();
    void tilesAreSeamless();
    void pictureLabelsAreInItsUnitsTheViewKeepsItsOwn();
    void printedPageHasTheImageBox_data();
    void printedPageHasTheImageBox();
    void printedSceneCarriesTheChosenColourScale();
    void printFailuresAreShown();
    void optionsDialogRefusesSizesOutOfRange();
    void saveToBitmapWritesTheChosenType();
    void saveToBitmapKeepsTheOldPictureUnlessReplaced();

private:
    std::unique_ptr<CSceneRender> OpenView(int w, int h);

    std::unique_ptr<CProjectFixture> fixture;
    CSession session;
    CProjectProfile& project = session.Project();
    QTemporaryDir folder;
    std::unique_ptr<CConfiguration> configuration;
};

// A grid sheet whose thickness changes from element to element, over a
// mould plate wider than the sheet.
void SceneImageTest::initTestCase() {
    QVERIFY(folder.isValid());
    configuration =
        std::make_unique<CConfiguration>(folder.filePath(QStringLiteral("Quillmere.cfg")).toStdString());
    FixtureOptions options;
    options.records = 1;
    fixture = std::make_unique<CProjectFixture>(options);
    samplegen::RecordData record = samplegen::MakeGridRecord(CellsX, CellsY, 0.1, 0.2);
    for (size_t e = 0; e < record.elements.size(); ++e)
        record.elements[e].initialThickness = 0.001f + 0.0001f * static_cast<float>(e % 23);
    QVERIFY(samplegen::WriteRecordFile(samplegen::RecordFileName(fixture->ProjectPath(), 0), record));
    QVERIFY(samplegen::WriteSectionTool(fixture->File("fixture_mould.tol"), {{-20, 150, 260, 5}}, false));
    QVERIFY(samplegen::WriteProcessControl(fixture->File("fixture.prc"), {samplegen::ToolMotion{}}));
    fixture->Project().toolNames = {"fixture_mould.tol"};
    fixture->WriteProject();
    QVERIFY(project.Open(fixture->ProjectPath(), nullptr));
    QVERIFY(project.Sheet() != nullptr);
}

std::unique_ptr<CSceneRender> SceneImageTest::OpenView(int w, int h) {
    auto view = std::make_unique<CSceneRender>(&session, DisplaySettings());
    view->resize(w, h);
    view->show();
    if (!QTest::qWaitForWindowExposed(view.get()))
        return nullptr;
    (void)view->grabFramebuffer();
    view->Commands().SetGeneralView();
    return view;
}

void SceneImageTest::pictureHasTheViewsPixels_data() {
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QSize>("picture");
    QTest::newRow("100 x 100") << QSize(200, 200) << QSize(100, 100);
    QTest::newRow("4000 x 3000") << QSize(200, 150) << QSize(4000, 3000);
}

// Every place of the window away from edges shows the same colour at the
// same place of the picture, scaled.
void SceneImageTest::pictureHasTheViewsPixels() {
    QFETCH(QSize, window);
    QFETCH(QSize, picture);
    const auto view = OpenView(window.width(), window.height());
    QVERIFY(view);
    const QImage shown = view->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.size(), window);
    SceneImageOptions options;
    options.caption = false;
    const QImage image = SceneImage(view->Scene(), view->ShownRecord(), picture.width(), picture.height(),
                                    options, *configuration);
    QCOMPARE(image.size(), picture);
    const QRect name = NameBox(image);
    const double scale = static_cast<double>(picture.width()) / window.width();
    int compared = 0, differing = 0;
    QString first;
    for (int y = 4; y < window.height() - 4; y += 3)
        for (int x = 4; x < window.width() - 4; x += 3) {
            if (!Uniform(shown, x, y))
                continue;
            const QPoint at(static_cast<int>((x + 0.5) * scale), static_cast<int>((y + 0.5) * scale));
            if (name.contains(at))
                continue;
            ++compared;
            if (!Near(image.pixel(at), shown.pixel(x, y), 3)) {
                if (differing++ == 0)
                    first = QStringLiteral("window (%1, %2) #%3, picture #%4")
                                .arg(x)
                                .arg(y)
                                .arg(shown.pixel(x, y), 6, 16)
                                .arg(image.pixel(at), 6, 16);
            }
        }
    QVERIFY2(compared > 500, qPrintable(QString::number(compared)));
    QVERIFY2(differing == 0,
             qPrintable(QStringLiteral("%1 of %2 differ, first %3").arg(differing).arg(compared).arg(first)));
    // The frame around it and the product name's colour.
    QCOMPARE(image.pixel(0, picture.height() / 2) & 0xffffffu, 0u);
    QCOMPARE(image.pixel(picture.width() / 2, picture.height() - 1) & 0xffffffu, 0u);
}

// Tiles of a forced small limit put together give the image drawn whole,
// from a view and without one.
void SceneImageTest::tilesAreSeamless() {
    const auto view = OpenView(300, 200);
    QVERIFY(view);
    SceneImageOptions options;
    options.caption = false;
    const QImage whole = SceneImage(view->Scene(), view->ShownRecord(), 333, 222, options, *configuration);
    ForceTileLimit(64);
    const QImage tiled = SceneImage(view->Scene(), view->ShownRecord(), 333, 222, options, *configuration);
    ForceTileLimit(0);
    QCOMPARE(tiled.size(), whole.size());
    // Colours interpolated from another origin may round one level apart; a
    // seam would be a whole colour off.
    QCOMPARE(Differing(whole, tiled, 1), 0);

    CSessionView shown(&session);
    CHeadlessScene scene(shown, view->Scene().Settings(), view->Scene().Quantity(), view->Scene().Camera());
    QVERIFY2(scene.IsValid(), scene.Error().c_str());
    const QImage alone = scene.RenderFrame(301, 199);
    ForceTileLimit(50);
    const QImage aloneTiled = scene.RenderFrame(301, 199);
    QVERIFY(!alone.isNull());
    QCOMPARE(aloneTiled.size(), alone.size());
    QCOMPARE(Differing(alone, aloneTiled, 1), 0);
}

// A picture's labels are in the units it is made in; its view goes on
// presenting in its own.
void SceneImageTest::pictureLabelsAreInItsUnitsTheViewKeepsItsOwn() {
    CConfiguration us(folder.filePath(QStringLiteral("us.cfg")).toStdString());
    us.SetSIMetric(false);
    CSceneRender view(&session, DisplaySettings(), nullptr, &us);
    view.resize(200, 150);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    (void)view.grabFramebuffer();
    SceneImageOptions options;
    options.colourScale = true;
    QVERIFY(!SceneImage(view.Scene(), view.ShownRecord(), 200, 150, options, *configuration).isNull());
    const QString label = QString::fromStdString(SceneAnnotationsOf(view.Scene(), 1).scaleLabels[0]);
    QVERIFY2(label.endsWith(QStringLiteral(" mm")), qPrintable(label));
    view.UpdatePresentation();
    const QString own = QString::fromStdString(view.Scene().Presented().labels[0]);
    QVERIFY2(own.endsWith(QStringLiteral(" inch")), qPrintable(own));
}

void SceneImageTest::printedPageHasTheImageBox_data() {
    QTest::addColumn<bool>("landscape");
    QTest::newRow("portrait") << false;
    QTest::newRow("landscape") << true;
}

// The PDF page is the printer's, and the image sits in the box the page
// arithmetic gives (pdftoppm at the printer's resolution).
void SceneImageTest::printedPageHasTheImageBox() {
    QFETCH(bool, landscape);
    const auto view = OpenView(200, 150);
    QVERIFY(view);
    const QString pdf =
        folder.filePath(landscape ? QStringLiteral("landscape.pdf") : QStringLiteral("portrait.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    PrintToPdf(printer, pdf, 100);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    QVERIFY(PrintScene(printer, *view, *configuration));
    const PrintedImageBox box = PrinterImageBox(printer);
    const PrintedImageBox expected =
        landscape ? PrintedImageLayout(297, 210, 1169, 827) : PrintedImageLayout(210, 297, 827, 1169);
    QCOMPARE(box.width, expected.width);
    QCOMPARE(box.height, expected.height);

    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    QVERIFY(info.waitForFinished(30000));
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\n"))), qPrintable(text));
    const QString size = landscape ? QStringLiteral("Page size:\\s+84[12][.0-9]* x 595[.0-9]* pts")
                                   : QStringLiteral("Page size:\\s+595[.0-9]* x 84[12][.0-9]* pts");
    QVERIFY2(text.contains(QRegularExpression(size)), qPrintable(text));

    const QImage page = Rasterise(pdf, 100);
    QVERIFY(!page.isNull());
    QVERIFY(std::abs(page.width() - (landscape ? 1169 : 827)) <= 1);
    int left = page.width(), right = -1, top = page.height(), bottom = -1;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (!Near(page.pixel(x, y), qRgb(255, 255, 255), 8)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    const QString found = QStringLiteral("image at %1, %2 size %3 x %4, expected %5, %6 size %7 x %8")
                              .arg(left)
                              .arg(top)
                              .arg(right - left + 1)
                              .arg(bottom - top + 1)
                              .arg(box.left)
                              .arg(box.top)
                              .arg(box.width)
                              .arg(box.height);
    QVERIFY2(std::abs(left - box.left) <= 1 && std::abs(top - box.top) <= 1, qPrintable(found));
    QVERIFY2(std::abs(right - left + 1 - box.width) <= 2 && std::abs(bottom - top + 1 - box.height) <= 2,
             qPrintable(found));
}

// The printed scene carries the colour scale as the export options last
// chose it.
void SceneImageTest::printedSceneCarriesTheChosenColourScale() {
    const auto view = OpenView(200, 150);
    QVERIFY(view);
    QImage pages[2];
    for (const bool scale : {true, false}) {
        CVideoExportDialog options(CVideoExportDialog::Use::Bitmap);
        options.SetColourScale(scale);
        options.accept();
        const QString pdf =
            folder.filePath(scale ? QStringLiteral("scale.pdf") : QStringLiteral("plain.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        PrintToPdf(printer, pdf, 50);
        QVERIFY(PrintScene(printer, *view, *configuration));
        pages[scale ? 0 : 1] = Rasterise(pdf, 50);
    }
    QVERIFY(!pages[0].isNull());
    QCOMPARE(pages[0].size(), pages[1].size());
    const int differing = Differing(pages[0], pages[1], 8);
    QVERIFY2(differing > 100, qPrintable(QString::number(differing)));
}

// A printer that cannot start, a view without context and a frame that
// cannot be set up each say so, and nothing is printed.
void SceneImageTest::printFailuresAreShown() {
    const auto view = OpenView(200, 150);
    QVERIFY(view);
    CRecordingMessages messages;
    QPrinter printer(QPrinter::HighResolution);
    PrintToPdf(printer, folder.filePath(QStringLiteral("missing/page.pdf")), 100);
    QVERIFY(!PrintScene(printer, *view, *configuration));
    const QString pdf = folder.filePath(QStringLiteral("failed.pdf"));
    printer.setOutputFileName(pdf);
    ForceSceneImageFault(SceneImageFault::Context);
    QVERIFY(!PrintScene(printer, *view, *configuration));
    ForceSceneImageFault(SceneImageFault::PixelFormat);
    QVERIFY(!PrintScene(printer, *view, *configuration));
    QVERIFY(!QFile::exists(pdf));
    const std::string context = MessageText(MessageId::GraphicalInitialisationFailed);
    QCOMPARE(messages.Texts(), context + "|" + context + "|" + MessageText(MessageId::PixelFormatError));
    for (const RecordedMessage& message : messages.messages)
        QVERIFY(message.icon == MessageIcon::Error);
}

void SceneImageTest::optionsDialogRefusesSizesOutOfRange() {
    CVideoExportDialog dialog(CVideoExportDialog::Use::Bitmap);
    QStringList refusals;
    dialog.refuse = [&](const QString& message) { refusals << message; };
    QVERIFY(dialog.CodecBox()->isHidden());
    QCOMPARE(dialog.X(), 640);
    QCOMPARE(dialog.Y(), 480);
    for (const auto& [x, y] : {std::pair{99, 480}, std::pair{640, 20001}, std::pair{0, 100}}) {
        dialog.SetSize(x, y);
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
    dialog.XEdit()->setText(QStringLiteral("abc"));
    dialog.accept();
    QCOMPARE(refusals.size(), 4);
    QCOMPARE(refusals.front(), QStringLiteral("Enter an integer between 100 and 20000."));
    dialog.SetSize(100, 20000);
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(refusals.size(), 4);
    // A video's frames are drawn at twice its size.
    CVideoExportDialog video(CVideoExportDialog::Use::Video);
    video.refuse = dialog.refuse;
    QVERIFY(video.NameBox()->isHidden());
    video.SetSize(10001, 480);
    video.accept();
    QCOMPARE(video.result(), int(QDialog::Rejected));
    QCOMPARE(refusals.back(), QStringLiteral("Enter an integer between 100 and 10000."));
    video.SetSize(10000, 10000);
    video.accept();
    QCOMPARE(video.result(), int(QDialog::Accepted));

    // The colour scale: on at first, then as last accepted, for either use.
    QSettings(QStringLiteral("Veltrane"), QStringLiteral("Quillmere")).remove(QStringLiteral("Export"));
    QVERIFY(!dialog.ScaleBox()->isHidden());
    QVERIFY(CVideoExportDialog(CVideoExportDialog::Use::Video).ColourScale());
    video.ScaleBox()->setChecked(false);
    video.accept();
    QVERIFY(!CVideoExportDialog(CVideoExportDialog::Use::Bitmap).ColourScale());
    QVERIFY(!CVideoExportDialog::RememberedColourScale());
    dialog.ScaleBox()->setChecked(true);
    dialog.accept();
    QVERIFY(CVideoExportDialog(CVideoExportDialog::Use::Video).ColourScale());
}

// A typed name ending in a dot with the PNG type chosen loses the dot and
// becomes a PNG of the dialog's size; the writer's types hold no icon.
// A typed extension of another type wins over the chosen type.
void SceneImageTest::saveToBitmapWritesTheChosenType() {
    const auto view = OpenView(200, 150);
    QVERIFY(view);
    for (const ImageFileType& type : WriterPictureTypes())
        QVERIFY2(!ExcludedImageFormat(type.format), type.format.c_str());
    CRecordingMessages messages;
    QStringList offered;
    QString suggestedName;
    SaveToBitmapPrompts prompts;
    prompts.fileName = [&](const QString& suggested, const QStringList& filters, QString& chosen) {
        offered = filters;
        suggestedName = suggested;
        chosen = QStringLiteral("PNG (*.png)");
        return folder.filePath(QStringLiteral("picture."));
    };
    prompts.options = [](CVideoExportDialog& dialog) {
        dialog.SetSize(321, 123);
        dialog.SetRemoveProjectName(true);
        return true;
    };
    QVERIFY(SaveToBitmap(*view, *configuration, nullptr, prompts));
    QVERIFY(offered.contains(QStringLiteral("PNG (*.png)")));
    QCOMPARE(suggestedName, QStringLiteral("fixture"));
    QCOMPARE(messages.Texts(), "Bitmap successfully created.");
    QVERIFY(messages.messages[0].icon == MessageIcon::Information);
    const QImage written(folder.filePath(QStringLiteral("picture.png")), "png");
    QCOMPARE(written.size(), QSize(321, 123));

    // A known extension typed decides the format whatever type is chosen:
    // the file is what its name says.
    const auto magic = [this](const char* name) {
        return QByteArray::fromStdString(ReadWholeFile(folder.filePath(QLatin1String(name)).toStdString()))
            .left(4);
    };
    QString typed;
    prompts.fileName = [&](const QString&, const QStringList&, QString& chosen) {
        chosen = QStringLiteral("BMP (*.bmp)");
        return folder.filePath(typed);
    };
    for (const char* name : {"out.png", "sample.JPG", "plain", "data.xyz"}) {
        typed = QLatin1String(name);
        QVERIFY2(SaveToBitmap(*view, *configuration, nullptr, prompts), name);
    }
    QCOMPARE(magic("out.png"), QByteArray("\x89PNG"));
    QCOMPARE(magic("sample.JPG").left(2), QByteArray("\xff\xd8"));
    // Without a known extension the chosen type decides.
    QCOMPARE(magic("plain.bmp").left(2), QByteArray("BM"));
    QCOMPARE(magic("data.xyz").left(2), QByteArray("BM"));
}

// A name that got its extension after the save dialog is replaced only when
// the user says so; a picture that cannot be drawn leaves the old one; the
// colour scale comes with the option.
void SceneImageTest::saveToBitmapKeepsTheOldPictureUnlessReplaced() {
    const auto view = OpenView(200, 150);
    QVERIFY(view);
    const QString path = folder.filePath(QStringLiteral("old.png"));
    QImage old(120, 110, QImage::Format_RGB32);
    old.fill(Qt::green);
    QVERIFY(old.save(path, "png"));
    QString typed = QStringLiteral("old");
    bool scale = true;
    SaveToBitmapPrompts prompts;
    prompts.fileName = [&](const QString&, const QStringList&, QString& chosen) {
        chosen = QStringLiteral("PNG (*.png)");
        return folder.filePath(typed);
    };
    prompts.options = [&](CVideoExportDialog& dialog) {
        dialog.SetSize(300, 240);
        dialog.SetColourScale(scale);
        return true;
    };
    CRecordingMessages messages;
    QVERIFY(!SaveToBitmap(*view, *configuration, nullptr, prompts));
    QCOMPARE(messages.Texts(), "old.png already exists.\nDo you want to replace it?");
    QVERIFY(messages.messages[0].buttons == MessageButtons::YesNo);
    QCOMPARE(QImage(path).size(), QSize(120, 110));

    typed = QStringLiteral("old.png");
    ForceSceneImageFault(SceneImageFault::PixelFormat);
    QVERIFY(!SaveToBitmap(*view, *configuration, nullptr, prompts));
    ForceSceneImageFault(SceneImageFault::None);
    CAtomicFile::SetFaultHook([](CAtomicFile::Step step) { return step == CAtomicFile::Step::Rename; });
    QVERIFY(!SaveToBitmap(*view, *configuration, nullptr, prompts));
    CAtomicFile::SetFaultHook(nullptr);
    QVERIFY(messages.messages.back().icon == MessageIcon::Error);
    QCOMPARE(QImage(path).size(), QSize(120, 110));
    QCOMPARE(QDir(folder.path()).entryList({QStringLiteral(".old.png*")}, QDir::Files | QDir::Hidden),
             QStringList());

    typed = QStringLiteral("old");
    messages.answer = MessageAnswer::Yes;
    QVERIFY(SaveToBitmap(*view, *configuration, nullptr, prompts));
    const QImage withScale(path);
    QCOMPARE(withScale.size(), QSize(300, 240));
    scale = false;
    QVERIFY(SaveToBitmap(*view, *configuration, nullptr, prompts));
    const QImage without(path);
    // The bar stands at the right edge below the caption row.
    const int differing = Differing(withScale, without, 0, QRect(300 - 22, 40, 12, 70));
    QVERIFY2(differing > 500, qPrintable(QString::number(differing)));
}

int main(int argc, char** argv) {
    CSceneRender::PrepareApplication();
    QApplication application(argc, argv);
    qAddPostRoutine(KeepLoadedLibraries);
    std::setlocale(LC_NUMERIC, "C");
    SceneImageTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "SceneImageTest.moc"
