// Frames and picks of a real 3D view, drawn by Mesa under a virtual X
// server: background, sheet and tool colours, picks, and off-screen frames.
// Only pixels that must hold whatever the driver are checked; on a failure the
// frames of the test are saved next to the test program.
#include "model/CProjectProfile.h"
#include "scene/COffscreenFrame.h"
#include "scene/CSceneRender.h"
#include "tests/model/ProjectFixture.h"

#include <QApplication>
#include <QtTest>

#include <clocale>
#include <cmath>
#include <map>
#include <memory>

namespace {

constexpr int ViewWidth = 400, ViewHeight = 300;

// The grid sheet: 4 x 8 cells of 25 mm over x in [-0.05, 0.05] and y in
// [-0.1, 0.1] at z = 0, two elements per cell; the cells with j < 4 (y < 0)
// are 1 mm thick, the others 3 mm.
constexpr int CellsX = 4, CellsY = 8;

int ElementOfCell(int i, int j, int half = 0) {
    return 2 * (j * CellsX + i) + half;
}

// Elements by their place in the XY view (x downwards, y to the right): over
// no tool, over the mould only, and wholly in the thin and the thick part.
const int OverNothing = ElementOfCell(0, 1);     // x in [-0.05, -0.025], y in [-0.075, -0.05]
const int OverMould = ElementOfCell(1, 1);       // x in [-0.025, 0], y in [-0.075, -0.05]
const int ThinElement = ElementOfCell(1, 1, 1);  // cells j <= 2 touch only thin elements
const int ThickElement = ElementOfCell(2, 6, 1); // cells j >= 5 touch only thick elements

struct Rgb {
    int r = 0, g = 0, b = 0;
};

// 0x00BBGGRR, as the settings keep colours.
int SettingsColour(const Rgb& c) {
    return c.r | (c.g << 8) | (c.b << 16);
}

Rgb FromSettings(int colour) {
    return {colour & 0xff, (colour >> 8) & 0xff, (colour >> 16) & 0xff};
}

// The colours of the scene.
const Rgb SheetColour{140, 60, 20}, EdgeColour{51, 0, 0}, MouldColour{0, 160, 0}, PlugColour{160, 0, 160};
const Rgb Background{20, 40, 60}, GradientTop{200, 100, 30}, GradientBottom{10, 90, 220};
const Rgb BackgroundCorners[4] = {{250, 250, 250}, {255, 0, 128}, {0, 200, 60}, {90, 20, 250}}; // TL TR BL BR
// The ends of the colour ramp: the thinnest and the thickest sheet.
const Rgb RampRed{255, 0, 0}, RampBlue{15, 15, 240};

// The colour bytes the frame holds at a pixel, whatever the image format.
Rgb PixelAt(const QImage& image, QPoint p) {
    const QRgb value = image.pixel(p);
    return {qRed(value), qGreen(value), qBlue(value)};
}

bool Near(const Rgb& a, const Rgb& b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

QByteArray Describe(const Rgb& c) {
    return QByteArray("(") + QByteArray::number(c.r) + ", " + QByteArray::number(c.g) + ", " +
           QByteArray::number(c.b) + ")";
}

QByteArray Where(QPoint p) {
    return " at (" + QByteArray::number(p.x()) + ", " + QByteArray::number(p.y()) + ")";
}

// The colour fixed-function lighting gives a surface whose ambient and
// diffuse colour is (r, g, b) and whose normal faces the viewer, under the
// scene's light: light-model ambient 0.9, light ambient 0.2, diffuse 0.9 from
// the direction (5, 10, 50), material specular (0.9, 0.9, 1) with shininess
// 128 and a white specular light, viewer at infinity.
Rgb LitFacingViewer(const Rgb& colour) {
    const double length = std::sqrt(5.0 * 5 + 10 * 10 + 50 * 50);
    const double lightZ = 50 / length;
    const double hx = 5 / length, hy = 10 / length, hz = lightZ + 1;
    const double halfway = hz / std::sqrt(hx * hx + hy * hy + hz * hz);
    const double shine = std::pow(halfway, 128);
    auto channel = [&](int component, double specular) {
        const double c = component / 255.0;
        const double lit = c * 0.9 + c * 0.2 + 0.9 * c * lightZ + specular * shine;
        return static_cast<int>(std::lround(std::min(lit, 1.0) * 255));
    };
    return {channel(colour.r, 0.9), channel(colour.g, 0.9), channel(colour.b, 1.0)};
}

// The XY view turned half round about the window's diagonal: model y still
// runs to the right, model x now upwards, and the tools stand in front of the
// sheet.
const Quaternion FromBehind{0.70710677f, 0.70710677f, 0, 0};

QPoint Pixel(const QPointF& window) {
    return {static_cast<int>(std::floor(window.x())), static_cast<int>(std::floor(window.y()))};
}

} // namespace

class SceneRenderTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void backgroundFillsTheCornersByLayout_data();
    void backgroundFillsTheCornersByLayout();
    void sheetWithoutScaleHasTheSheetColour();
    void sheetElementsWithoutEdgesAreTheLitDarkenedColour();
    void sheetEdgesOnlyLeaveTheElementsOpen();
    void thicknessColoursThinRedAndThickBlue();
    void opaqueSheetHidesTheToolBehindIt();
    void hiddenSheetRevealsTheToolBehindIt();
    void sheetSeenFromBehindIsDrawnBehindTheToolInFront();
    void everyToolSlotShowsItsOwnColour_data();
    void everyToolSlotShowsItsOwnColour();

    void elementPickFindsTheElementUnderItsCentre();
    void nodePickFindsTheNearestNode();
    void pointPickLiesOnTheViewingLine();
    void pickOnTheBackgroundFindsNothing();
    void hiddenSheetLetsPicksReachTheTool();
    void nearestToolWinsThePick();
    void zoomedAndPannedFrameAgreesWithProjectionAndPicks();
    void pickFollowsTheRecordShownInATurnedView();
    void recordStepDrawsWhatAViewOpenedOnTheRecordDraws();

    void leftDragWithTheMouseTurnsTheView();
    void rightDragWithTheMousePans();
    void wheelTowardsTheUserZoomsInAndSidewaysDoesNothing();
    void shiftRightClickPicksTheElementUnderTheMouse();
    void ctrlClickMovesTheCentreWithoutAJump();
    void zoomBoxDraggedWithTheMouseZoomsIn();
    void activationGivesTheTrackballItsFullSize();

    void offscreenFrameMatchesTheWindow();
    void frameWithoutADisplayMatchesTheWindow();
    void largerOffscreenFrameScalesTheScene();

private:
    // Settings of an opaque scene seen without blending.
    static DisplaySettings OpaqueSettings();
    // A shown view of the project in the XY view, in the given quantity.
    std::unique_ptr<CSceneRender> OpenView(const DisplaySettings& settings, int quantity,
                                           CProjectProfile* shown = nullptr);
    // The view's frame, kept for the failure report under the given name.
    QImage Frame(CSceneRender& view, const QString& name = QStringLiteral("window"));
    void Keep(const QImage& image, const QString& name) { kept[name] = image; }
    // Window position of a model point and of an element's centroid.
    QPointF CentreOf(CSceneRender& view, int element) const;
    CCoordinate Centroid(int element) const;
    CCoordinate Node(int node) const { return project.Sheet()->CurrentCoordinate(node); }
    // The pixel where the mould stands out beyond the sheet.
    QPoint MouldOnlyPixel(CSceneRender& view) const;

    std::unique_ptr<CRecordingMessages> messages;
    std::unique_ptr<CProjectFixture> fixture;
    CProjectProfile project;
    // Ten plates of 30 mm x 30 mm at z = -10 mm, one in every tool slot.
    std::unique_ptr<CProjectFixture> tenToolsFixture;
    CProjectProfile tenTools;
    std::map<QString, QImage> kept;
};

// The project: the grid sheet in front of two flat section tools, a mould
// plate (slot 1) at z = -20 mm, 50 mm x 260 mm so that it stands out on both
// sides of the sheet in y, and a small plug plate (slot 2) of 30 mm x 30 mm at
// z = -10 mm, between the sheet and the mould.
void SceneRenderTest::initTestCase() {
    messages = std::make_unique<CRecordingMessages>();
    FixtureOptions options;
    options.records = 1;
    fixture = std::make_unique<CProjectFixture>(options);

    samplegen::RecordData record = samplegen::MakeGridRecord(CellsX, CellsY, 0.1, 0.2);
    for (size_t e = 0; e < record.elements.size(); ++e) {
        const int j = static_cast<int>(e) / (2 * CellsX);
        record.elements[e].initialThickness = j < CellsY / 2 ? 0.001f : 0.003f;
    }
    QVERIFY(samplegen::WriteRecordFile(samplegen::RecordFileName(fixture->ProjectPath(), 0), record));
    QVERIFY(samplegen::WriteSectionTool(fixture->File("fixture_mould.tol"), {{-20, 50, 260, 5}}, false));
    QVERIFY(samplegen::WriteSectionTool(fixture->File("fixture_plug.tol"), {{-10, 30, 30, 5}}, false));
    QVERIFY(samplegen::WriteProcessControl(fixture->File("fixture.prc"),
                                           {samplegen::ToolMotion{}, samplegen::ToolMotion{}}));
    fixture->Project().toolNames = {"fixture_mould.tol", "fixture_plug.tol"};
    fixture->WriteProject();

    QVERIFY(project.Open(fixture->ProjectPath(), nullptr));

    tenToolsFixture = std::make_unique<CProjectFixture>(options);
    QVERIFY(samplegen::WriteRecordFile(samplegen::RecordFileName(tenToolsFixture->ProjectPath(), 0), record));
    tenToolsFixture->Project().toolNames.clear();
    for (int slot = 0; slot < kToolSlots; ++slot) {
        const std::string name = "plate" + std::to_string(slot) + ".tol";
        QVERIFY(samplegen::WriteSectionTool(tenToolsFixture->File(name), {{-10, 30, 30, 5}}, false));
        tenToolsFixture->Project().toolNames.push_back(name);
    }
    QVERIFY(samplegen::WriteProcessControl(tenToolsFixture->File("fixture.prc"),
                                           std::vector<samplegen::ToolMotion>(kToolSlots)));
    tenToolsFixture->WriteProject();
    QVERIFY(tenTools.Open(tenToolsFixture->ProjectPath(), nullptr));
    for (int slot = 0; slot < kToolSlots; ++slot)
        QVERIFY(tenTools.Tool(slot) != nullptr);
    QVERIFY(project.Sheet() != nullptr);
    QCOMPARE(project.Sheet()->ElementCount(), 2 * CellsX * CellsY);
    QVERIFY(project.Tool(0) != nullptr);
    QVERIFY(project.Tool(1) != nullptr);
    QVERIFY2(messages->messages.empty(), messages->Texts().c_str());
}

void SceneRenderTest::cleanup() {
    if (QTest::currentTestFailed()) {
        const QString folder = QCoreApplication::applicationDirPath();
        QString test = QString::fromLatin1(QTest::currentTestFunction());
        if (QTest::currentDataTag())
            test += QLatin1Char('-') +
                    QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('_'));
        for (const auto& [name, image] : kept) {
            const QString path = folder + QStringLiteral("/scene_render-%1-%2.png").arg(test, name);
            if (image.save(path))
                qWarning("frame saved as %s", qPrintable(path));
        }
    }
    kept.clear();
}

DisplaySettings SceneRenderTest::OpaqueSettings() {
    DisplaySettings settings;
    settings.sheetOpacity = 1.0;
    settings.sheetDisplayMode = 0;
    settings.sheetColour = SettingsColour(SheetColour);
    settings.sheetEdgeColour = SettingsColour(EdgeColour);
    settings.backgroundScheme = 0;
    settings.backgroundColour = SettingsColour(Background);
    settings.backgroundTop = SettingsColour(GradientTop);
    settings.backgroundBottom = SettingsColour(GradientBottom);
    for (size_t corner = 0; corner < 4; ++corner)
        settings.backgroundCorners[corner] = SettingsColour(BackgroundCorners[corner]);
    settings.tools[0].opacity = 1.0;
    settings.tools[0].surfaceColour = SettingsColour(MouldColour);
    settings.tools[1].opacity = 1.0;
    settings.tools[1].surfaceColour = SettingsColour(PlugColour);
    return settings;
}

std::unique_ptr<CSceneRender> SceneRenderTest::OpenView(const DisplaySettings& settings, int quantity,
                                                        CProjectProfile* shown) {
    auto view = std::make_unique<CSceneRender>(shown ? shown : &project, settings);
    view->resize(ViewWidth, ViewHeight);
    view->show();
    if (!QTest::qWaitForWindowExposed(view.get()))
        return nullptr;
    // The first frame creates the context, builds the lists and fits.
    (void)view->grabFramebuffer();
    view->SetXYView();
    if (quantity != view->Quantity())
        view->SetQuantity(quantity);
    return view;
}

QImage SceneRenderTest::Frame(CSceneRender& view, const QString& name) {
    const QImage image = view.grabFramebuffer();
    Keep(image, name);
    return image;
}

CCoordinate SceneRenderTest::Centroid(int element) const {
    const CSheetProfile& sheet = *project.Sheet();
    const CElementProfile& profile = sheet.Elements()[static_cast<size_t>(element)];
    return (sheet.CurrentCorner(profile, 0) + sheet.CurrentCorner(profile, 1) +
            sheet.CurrentCorner(profile, 2)) *
           (1.0 / 3.0);
}

QPointF SceneRenderTest::CentreOf(CSceneRender& view, int element) const {
    return view.ProjectToWindow(Centroid(element));
}

QPoint SceneRenderTest::MouldOnlyPixel(CSceneRender& view) const {
    return Pixel(view.ProjectToWindow(CCoordinate(0, 0.115, -0.02)));
}

#define OPEN_VIEW_OF(view, settings, quantity, shown)                                                        \
    const std::unique_ptr<CSceneRender> view = OpenView(settings, quantity, shown);                          \
    QVERIFY2(view, "the view was never shown")
#define OPEN_VIEW(view, settings, quantity) OPEN_VIEW_OF(view, settings, quantity, nullptr)

#define EXPECT_PIXEL(image, point, expected, tolerance)                                                      \
    do {                                                                                                     \
        const Rgb actual_ = PixelAt(image, point);                                                           \
        QVERIFY2(Near(actual_, expected, tolerance),                                                         \
                 (Describe(actual_) + " instead of " + Describe(expected) + Where(point)).constData());      \
    } while (0)

// --- Colours ---------------------------------------------------------------

void SceneRenderTest::backgroundFillsTheCornersByLayout_data() {
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("topLeft");
    QTest::addColumn<int>("topRight");
    QTest::addColumn<int>("bottomLeft");
    QTest::addColumn<int>("bottomRight");
    const int uniform = SettingsColour(Background);
    const int top = SettingsColour(GradientTop), bottom = SettingsColour(GradientBottom);
    int corners[4];
    for (size_t corner = 0; corner < 4; ++corner)
        corners[corner] = SettingsColour(BackgroundCorners[corner]);
    QTest::newRow("uniform") << 0 << uniform << uniform << uniform << uniform;
    QTest::newRow("vertical gradient") << 1 << top << top << bottom << bottom;
    QTest::newRow("four corners") << 2 << corners[0] << corners[1] << corners[2] << corners[3];
    QTest::newRow("unknown layout as gradient") << 5 << top << top << bottom << bottom;
}

void SceneRenderTest::backgroundFillsTheCornersByLayout() {
    QFETCH(int, layout);
    QFETCH(int, topLeft);
    QFETCH(int, topRight);
    QFETCH(int, bottomLeft);
    QFETCH(int, bottomRight);
    DisplaySettings settings = OpaqueSettings();
    settings.backgroundScheme = layout;
    OPEN_VIEW(view, settings, 1);
    const QImage image = Frame(*view);
    const int right = image.width() - 1, bottom = image.height() - 1;
    EXPECT_PIXEL(image, QPoint(0, 0), FromSettings(topLeft), 2);
    EXPECT_PIXEL(image, QPoint(right, 0), FromSettings(topRight), 2);
    EXPECT_PIXEL(image, QPoint(0, bottom), FromSettings(bottomLeft), 2);
    EXPECT_PIXEL(image, QPoint(right, bottom), FromSettings(bottomRight), 2);
}

void SceneRenderTest::sheetWithoutScaleHasTheSheetColour() {
    OPEN_VIEW(view, OpaqueSettings(), 0);
    const QImage image = Frame(*view);
    for (int element : {OverNothing, OverMould, ThinElement, ThickElement, ElementOfCell(3, 7)})
        EXPECT_PIXEL(image, Pixel(CentreOf(*view, element)), SheetColour, 1);
}

void SceneRenderTest::sheetElementsWithoutEdgesAreTheLitDarkenedColour() {
    DisplaySettings settings = OpaqueSettings();
    settings.sheetDisplayMode = 1;
    OPEN_VIEW(view, settings, 0);
    const QImage image = Frame(*view);
    // Each component is darkened to trunc(c x 0.5128205128205129) first.
    const Rgb expected = LitFacingViewer({71, 30, 10}); // from SheetColour
    for (int element : {OverNothing, OverMould, ThickElement})
        EXPECT_PIXEL(image, Pixel(CentreOf(*view, element)), expected, 4);
}

void SceneRenderTest::sheetEdgesOnlyLeaveTheElementsOpen() {
    DisplaySettings settings = OpaqueSettings();
    settings.sheetDisplayMode = 2;
    OPEN_VIEW(view, settings, 0);
    const QImage image = Frame(*view);
    EXPECT_PIXEL(image, Pixel(CentreOf(*view, OverNothing)), Background, 1);
    // Somewhere on the edge between two cells lies the edge colour.
    const CCoordinate edgeMiddle = (Node(6) + Node(7)) * 0.5;
    const QPoint middle = Pixel(view->ProjectToWindow(edgeMiddle));
    bool found = false;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            found = found || Near(PixelAt(image, middle + QPoint(dx, dy)), EdgeColour, 2);
    QVERIFY2(found, ("no edge colour" + Where(middle)).constData());
}

void SceneRenderTest::thicknessColoursThinRedAndThickBlue() {
    OPEN_VIEW(view, OpaqueSettings(), 1);
    const QImage image = Frame(*view);
    for (int element : {ThinElement, OverNothing, ElementOfCell(3, 0)})
        EXPECT_PIXEL(image, Pixel(CentreOf(*view, element)), RampRed, 1);
    for (int element : {ThickElement, ElementOfCell(0, 7), ElementOfCell(3, 5, 1)})
        EXPECT_PIXEL(image, Pixel(CentreOf(*view, element)), RampBlue, 1);
}

void SceneRenderTest::opaqueSheetHidesTheToolBehindIt() {
    OPEN_VIEW(view, OpaqueSettings(), 0);
    const QImage image = Frame(*view);
    const Rgb mould = PixelAt(image, MouldOnlyPixel(*view));
    QVERIFY2(!Near(mould, Background, 10), "the mould does not stand out beyond the sheet");
    EXPECT_PIXEL(image, Pixel(CentreOf(*view, OverMould)), SheetColour, 1);
    EXPECT_PIXEL(image, Pixel(view->ProjectToWindow(Centroid(ElementOfCell(2, 3)))), SheetColour, 1);
}

void SceneRenderTest::hiddenSheetRevealsTheToolBehindIt() {
    OPEN_VIEW(view, OpaqueSettings(), 0);
    view->ToggleSheet();
    const QImage image = Frame(*view);
    const Rgb mould = PixelAt(image, MouldOnlyPixel(*view));
    QVERIFY2(!Near(mould, SheetColour, 10) && !Near(mould, Background, 10),
             ("mould colour " + Describe(mould) + " is the sheet's or the background's").constData());
    EXPECT_PIXEL(image, Pixel(CentreOf(*view, OverMould)), mould, 2);
    EXPECT_PIXEL(image, Pixel(CentreOf(*view, OverNothing)), Background, 1);
}

void SceneRenderTest::sheetSeenFromBehindIsDrawnBehindTheToolInFront() {
    OPEN_VIEW(view, OpaqueSettings(), 0);
    view->Camera().trackball.SetRotation(FromBehind);
    const QImage image = Frame(*view);
    const Rgb mould = PixelAt(image, MouldOnlyPixel(*view));
    EXPECT_PIXEL(image, Pixel(CentreOf(*view, OverMould)), mould, 2);
    EXPECT_PIXEL(image, Pixel(CentreOf(*view, OverNothing)), SheetColour, 1);
}

// The colour of a lit tool face turned to the viewer: ambient surface/1530,
// diffuse surface x 10/(11 x 255), under the scene's light.
Rgb LitTool(const Rgb& colour) {
    const double length = std::sqrt(5.0 * 5 + 10 * 10 + 50 * 50);
    const double lightZ = 50 / length;
    const double hx = 5 / length, hy = 10 / length, hz = lightZ + 1;
    const double shine = std::pow(hz / std::sqrt(hx * hx + hy * hy + hz * hz), 128);
    auto channel = [&](int component, double specular) {
        const double ambient = component / 1530.0, diffuse = component * 10.0 / (11.0 * 255.0);
        const double lit = ambient * (0.9 + 0.2) + diffuse * 0.9 * lightZ + specular * shine;
        return static_cast<int>(std::lround(std::min(lit, 1.0) * 255));
    };
    return {channel(colour.r, 0.9), channel(colour.g, 0.9), channel(colour.b, 1.0)};
}

void SceneRenderTest::everyToolSlotShowsItsOwnColour_data() {
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("background");
    QTest::addColumn<int>("mode");
    for (int slot = 0; slot < kToolSlots; ++slot)
        for (int background : {0, 1})
            for (int mode : {0, 1})
                QTest::addRow("slot %d, %s, %s", slot + 1, background == 0 ? "white" : "gradient",
                              mode == 0 ? "shaded" : "wire")
                    << slot << background << mode;
}

void SceneRenderTest::everyToolSlotShowsItsOwnColour() {
    QFETCH(int, slot);
    QFETCH(int, background);
    QFETCH(int, mode);
    DisplaySettings settings = OpaqueSettings();
    settings.sheetShown = 0;
    settings.backgroundScheme = background;
    settings.backgroundColour = kWhite;
    // Dots and clamp colours that would show if the tool took them.
    settings.clampedNodeColour = SettingsColour({255, 128, 128});
    for (int other = 0; other < kToolSlots; ++other) {
        ToolDisplay& tool = settings.tools[static_cast<size_t>(other)];
        tool.shown = other == slot;
        tool.opacity = 1.0;
        tool.mode = mode;
        tool.surfaceColour = SettingsColour({40 + 20 * other, 200 - 15 * other, 90 + 10 * other});
        tool.wireColour = SettingsColour({200 - 12 * other, 30 + 9 * other, 160});
    }
    OPEN_VIEW_OF(view, settings, 1, &tenTools);
    const ToolDisplay& tool = settings.tools[static_cast<size_t>(slot)];
    const QImage image = Frame(*view);
    const QPoint centre = Pixel(view->ProjectToWindow(CCoordinate(0, 0, -0.01)));
    if (mode == 0) {
        EXPECT_PIXEL(image, centre, LitTool(FromSettings(tool.surfaceColour)), 6);
        return;
    }
    // Wire lines run from the plate's centre to its rim, unlit.
    const Rgb wire = FromSettings(tool.wireColour);
    bool found = false;
    for (int dy = -3; dy <= 3 && !found; ++dy)
        for (int dx = -3; dx <= 3 && !found; ++dx)
            found = Near(PixelAt(image, centre + QPoint(dx, dy)), wire, 3);
    QVERIFY2(found, ("no wire colour " + Describe(wire) + " near" + Where(centre)).constData());
}

// --- Picks -----------------------------------------------------------------

void SceneRenderTest::elementPickFindsTheElementUnderItsCentre() {
    OPEN_VIEW(view, OpaqueSettings(), 1);
    view->SetPickMode(ElementMode);
    const CSheetProfile& sheet = *project.Sheet();
    for (int element : {0, OverNothing, OverMould, ThickElement, 2 * CellsX * CellsY - 1}) {
        const QPoint cursor = Pixel(CentreOf(*view, element));
        CDataDisplay record;
        QVERIFY(view->PickAt(cursor.x(), cursor.y(), record, false));
        QCOMPARE(record.kind, int(PickedElement));
        QCOMPARE(record.index, element);
        QCOMPARE(record.onTool, 0);
        const CElementProfile& profile = sheet.Elements()[static_cast<size_t>(element)];
        QCOMPARE(record.point2.x, sheet.CurrentCorner(profile, 1).x);
        QCOMPARE(record.point2.y, sheet.CurrentCorner(profile, 1).y);
    }
}

void SceneRenderTest::nodePickFindsTheNearestNode() {
    OPEN_VIEW(view, OpaqueSettings(), 1);
    view->SetPickMode(NodeMode);
    const CElementProfile& profile = project.Sheet()->Elements()[static_cast<size_t>(OverMould)];
    const QPointF centre = CentreOf(*view, OverMould);
    for (int corner = 0; corner < 3; ++corner) {
        const int node = profile.NodeNumbers[corner];
        // Six tenths of the way from the centre to the corner: nearer to it
        // than to any other node.
        const QPointF towards = centre + 0.6 * (view->ProjectToWindow(Node(node)) - centre);
        CDataDisplay record;
        QVERIFY(view->PickAt(qRound(towards.x()), qRound(towards.y()), record, false));
        QCOMPARE(record.kind, int(PickedNode));
        QCOMPARE(record.index, node);
        QCOMPARE(record.point1.x, Node(node).x);
        QCOMPARE(record.point1.y, Node(node).y);
    }
}

void SceneRenderTest::pointPickLiesOnTheViewingLine() {
    OPEN_VIEW(view, OpaqueSettings(), 1);
    view->SetPickMode(PointMode);
    for (int element : {OverNothing, ThickElement}) {
        const QPoint cursor = Pixel(CentreOf(*view, element)) + QPoint(1, -1);
        CDataDisplay record;
        QVERIFY(view->PickAt(cursor.x(), cursor.y(), record, false));
        QCOMPARE(record.kind, int(PickedPoint));
        QCOMPARE(record.index, element);
        const QPointF back = view->ProjectToWindow(record.point1);
        QVERIFY2(std::fabs(back.x() - cursor.x()) < 1e-3 && std::fabs(back.y() - cursor.y()) < 1e-3,
                 (QByteArray::number(back.x()) + ", " + QByteArray::number(back.y())).constData());
        // The flat sheet faces the viewer: its mean depth is its own plane.
        QVERIFY2(std::fabs(record.point1.z) < 1e-6, QByteArray::number(record.point1.z).constData());
    }
}

void SceneRenderTest::pickOnTheBackgroundFindsNothing() {
    OPEN_VIEW(view, OpaqueSettings(), 1);
    view->SetPickMode(ElementMode);
    CDataDisplay record;
    record.index = 4711;
    QVERIFY(!view->PickAt(5, 5, record, true));
    QCOMPARE(record.index, 4711);
}

void SceneRenderTest::hiddenSheetLetsPicksReachTheTool() {
    OPEN_VIEW(view, OpaqueSettings(), 1);
    view->SetPickMode(ElementMode);
    view->ToggleSheet();
    const QPoint overMould = Pixel(CentreOf(*view, OverMould));
    CDataDisplay record;
    QVERIFY(view->PickAt(overMould.x(), overMould.y(), record, false));
    QCOMPARE(record.onTool, 1);
    QCOMPARE(record.tool, static_cast<const CMoldProfile*>(project.Tool(0)));
    QCOMPARE(record.kind, int(PickedElement));
    QVERIFY(std::fabs(record.point1.z + 0.02) < 1e-12);

    // Where only the hidden sheet lies, nothing is found.
    const QPoint overNothing = Pixel(CentreOf(*view, OverNothing));
    CDataDisplay untouched;
    untouched.index = 4711;
    QVERIFY(!view->PickAt(overNothing.x(), overNothing.y(), untouched, false));
    QCOMPARE(untouched.index, 4711);
}

void SceneRenderTest::nearestToolWinsThePick() {
    OPEN_VIEW(view, OpaqueSettings(), 1);
    view->SetPickMode(ElementMode);
    view->ToggleSheet();
    const CCoordinate axis(0.001, 0.001, 0);
    // The plug (slot 2) lies in front of the mould: it wins although its
    // faces are named after the mould's.
    QPoint cursor = Pixel(view->ProjectToWindow(axis));
    CDataDisplay record;
    QVERIFY(view->PickAt(cursor.x(), cursor.y(), record, false));
    QCOMPARE(record.tool, static_cast<const CMoldProfile*>(project.Tool(1)));
    // From behind the mould is nearer.
    view->Camera().trackball.SetRotation(FromBehind);
    cursor = Pixel(view->ProjectToWindow(axis));
    QVERIFY(view->PickAt(cursor.x(), cursor.y(), record, false));
    QCOMPARE(record.tool, static_cast<const CMoldProfile*>(project.Tool(0)));
}

void SceneRenderTest::zoomedAndPannedFrameAgreesWithProjectionAndPicks() {
    OPEN_VIEW(view, OpaqueSettings(), 1);
    view->SetPickMode(ElementMode);
    view->ZoomIn();
    view->ZoomIn();
    view->Camera().Pan(0, 20, ViewWidth, ViewHeight);
    const QImage image = Frame(*view);
    // Inside each corner of the sheet, off the element edges, and 5 mm
    // outside it, away from the tools.
    for (const double x : {-0.05, 0.05})
        for (const double y : {-0.1, 0.1}) {
            const CCoordinate inside(x - std::copysign(0.006, x), y - std::copysign(0.012, y), 0);
            const QPoint in = Pixel(view->ProjectToWindow(inside));
            EXPECT_PIXEL(image, in, y < 0 ? RampRed : RampBlue, 1);
            CDataDisplay record;
            QVERIFY(view->PickAt(in.x(), in.y(), record, false));
            QCOMPARE(record.onTool, 0);
            for (const CCoordinate& outside : {CCoordinate(x + std::copysign(0.005, x), inside.y, 0),
                                               CCoordinate(inside.x, y + std::copysign(0.005, y), 0)}) {
                const QPoint out = Pixel(view->ProjectToWindow(outside));
                EXPECT_PIXEL(image, out, Background, 1);
                QVERIFY(!view->PickAt(out.x(), out.y(), record, false));
            }
        }
}

// The second record holds the sheet turned half round in its plane, so
// that each element lies where another one lay in the first record.
void SceneRenderTest::pickFollowsTheRecordShownInATurnedView() {
    FixtureOptions options;
    options.records = 2;
    CProjectFixture turnedFixture(options);
    samplegen::RecordData second = turnedFixture.Record(1);
    for (samplegen::Vec3& node : second.current) {
        node.x = -node.x;
        node.y = -node.y;
    }
    QVERIFY(samplegen::WriteRecordFile(samplegen::RecordFileName(turnedFixture.ProjectPath(), 1), second));
    CProjectProfile turned;
    QVERIFY(turned.Open(turnedFixture.ProjectPath(), nullptr));
    OPEN_VIEW_OF(view, OpaqueSettings(), 1, &turned);
    view->SetPickMode(ElementMode);
    view->SetGeneralView();
    const CSheetProfile& sheet = *turned.Sheet();
    for (const int record : {2, 1, 2}) {
        if (record != turned.CurrentRecord()) {
            QVERIFY(turned.GoToRecord(record));
            view->TakeRecord(record);
        }
        for (int element : {0, 7, sheet.ElementCount() - 1}) {
            const CElementProfile& profile = sheet.Elements()[static_cast<size_t>(element)];
            const CCoordinate centroid = (sheet.CurrentCorner(profile, 0) + sheet.CurrentCorner(profile, 1) +
                                          sheet.CurrentCorner(profile, 2)) *
                                         (1.0 / 3.0);
            const QPoint cursor = Pixel(view->ProjectToWindow(centroid));
            CDataDisplay picked;
            QVERIFY(view->PickAt(cursor.x(), cursor.y(), picked, false));
            QCOMPARE(picked.onTool, 0);
            QCOMPARE(picked.index, element);
        }
    }
}

// --- The mouse -------------------------------------------------------------

void SceneRenderTest::leftDragWithTheMouseTurnsTheView() {
    OPEN_VIEW(view, OpaqueSettings(), 1);
    const Quaternion before = view->Camera().trackball.Rotation();
    QTest::mousePress(view.get(), Qt::LeftButton, {}, QPoint(200, 150));
    QTest::mouseMove(view.get(), QPoint(230, 160));
    QTest::mouseMove(view.get(), QPoint(260, 170));
    QTest::mouseRelease(view.get(), Qt::LeftButton, {}, QPoint(260, 170));
    const Quaternion after = view->Camera().trackball.Rotation();
    QVERIFY(after.x != before.x || after.y != before.y || after.z != before.z || after.w != before.w);
    QVERIFY(!view->Interactor().Dragging());
}

void SceneRenderTest::rightDragWithTheMousePans() {
    OPEN_VIEW(view, OpaqueSettings(), 1);
    CCamera& camera = view->Camera();
    const float panX = camera.panX, panY = camera.panY;
    QTest::mousePress(view.get(), Qt::RightButton, {}, QPoint(100, 100));
    QTest::mouseMove(view.get(), QPoint(140, 90));
    QTest::mouseRelease(view.get(), Qt::RightButton, {}, QPoint(140, 90));
    const qreal ratio = view->devicePixelRatioF();
    QCOMPARE(camera.panX, panX + static_cast<float>(40 * ratio) / static_cast<float>(ViewWidth * ratio) *
                                     camera.visibleWidth);
    QCOMPARE(camera.panY, panY + static_cast<float>(10 * ratio) / static_cast<float>(ViewHeight * ratio) *
                                     camera.visibleHeight);
}

void SceneRenderTest::wheelTowardsTheUserZoomsInAndSidewaysDoesNothing() {
    OPEN_VIEW(view, OpaqueSettings(), 1);
    const float zoom = view->Camera().zoom;
    auto turn = [&](QPoint delta) {
        QWheelEvent event(QPointF(200, 150), view->mapToGlobal(QPointF(200, 150)), QPoint(), delta,
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.get(), &event);
    };
    turn(QPoint(0, -120));
    QCOMPARE(view->Camera().zoom, zoom * 1.1111112f);
    turn(QPoint(120, 0));
    QCOMPARE(view->Camera().zoom, zoom * 1.1111112f);
    turn(QPoint(0, 120));
    QCOMPARE(view->Camera().zoom, zoom * 1.1111112f * 0.9f);
}

void SceneRenderTest::shiftRightClickPicksTheElementUnderTheMouse() {
    OPEN_VIEW(view, OpaqueSettings(), 1);
    view->SetPickMode(ElementMode);
    QSignalSpy picked(view.get(), &CSceneRender::Picked);
    const QPoint cursor = Pixel(CentreOf(*view, ThickElement));
    QTest::mousePress(view.get(), Qt::RightButton, Qt::ShiftModifier, cursor);
    QTest::mouseRelease(view.get(), Qt::RightButton, Qt::ShiftModifier, cursor);
    QCOMPARE(picked.count(), 1);
    QCOMPARE(view->CurrentPick().kind, int(PickedElement));
    QCOMPARE(view->CurrentPick().index, ThickElement);
    QVERIFY(std::fabs(view->CurrentPick().value1 - 0.003) < 1e-9);
}

void SceneRenderTest::ctrlClickMovesTheCentreWithoutAJump() {
    OPEN_VIEW(view, OpaqueSettings(), 1);
    const CCoordinate node = Node(1);
    const QPointF before = view->ProjectToWindow(node);
    const QPoint cursor = Pixel(CentreOf(*view, ThickElement));
    QTest::mouseClick(view.get(), Qt::LeftButton, Qt::ControlModifier, cursor);
    const CCoordinate centroid = Centroid(ThickElement);
    QVERIFY(std::fabs(view->Camera().centre[0] - centroid.x) < 2e-3);
    QVERIFY(std::fabs(view->Camera().centre[1] - centroid.y) < 2e-3);
    const QPointF after = view->ProjectToWindow(node);
    QVERIFY2(std::fabs(after.x() - before.x()) < 0.05 && std::fabs(after.y() - before.y()) < 0.05,
             "the picture moved");
}

void SceneRenderTest::zoomBoxDraggedWithTheMouseZoomsIn() {
    OPEN_VIEW(view, OpaqueSettings(), 1);
    OPEN_VIEW(other, OpaqueSettings(), 1);
    QCoreApplication::processEvents();
    const float zoom = view->Camera().zoom;
    view->StartZoomBox();
    QTest::mousePress(view.get(), Qt::LeftButton, {}, QPoint(150, 100));
    // The rubber band is drawn in the view dragged alone.
    QSignalSpy otherFrames(other.get(), &CSceneRender::RotationShown);
    QTest::mouseMove(view.get(), QPoint(250, 200));
    QCoreApplication::processEvents();
    QCOMPARE(otherFrames.count(), 0);
    const QImage box = Frame(*view, QStringLiteral("box"));
    // The rubber band is drawn in black along the box's top side.
    EXPECT_PIXEL(box, QPoint(200, 100), Rgb{}, 1);
    QTest::mouseRelease(view.get(), Qt::LeftButton, {}, QPoint(250, 200));
    QCOMPARE(view->Camera().zoom, zoom * std::min(400.0f / 100.0f, 300.0f / 100.0f));
    QVERIFY(!CSceneInteractor::ZoomBoxMode());
}

void SceneRenderTest::activationGivesTheTrackballItsFullSize() {
    OPEN_VIEW(view, OpaqueSettings(), 1);
    view->Camera().trackball.SetBallSize(0.8f);
    view->OnActivateView(true);
    QCOMPARE(view->Camera().trackball.BallSize(), 1.0f);
}

// --- Off-screen frames -----------------------------------------------------

// Pixels of two frames of the same size that differ by more than 2 in a
// channel; the worst difference and where it is.
struct FrameDifference {
    int differing = 0, worst = 0;
    QPoint worstAt;
};

FrameDifference Compare(const QImage& a, const QImage& b) {
    FrameDifference result;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const Rgb p = PixelAt(a, {x, y}), q = PixelAt(b, {x, y});
            const int difference = std::max({std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)});
            if (difference > 2)
                ++result.differing;
            if (difference > result.worst) {
                result.worst = difference;
                result.worstAt = {x, y};
            }
        }
    return result;
}

QByteArray Describe(const FrameDifference& d) {
    return QByteArray::number(d.differing) + " pixels differ, the most by " + QByteArray::number(d.worst) +
           Where(d.worstAt);
}

// A record step overwrites the node arrays of the last record in place, in
// blocks of nodes, and leaves the dots to the first frame that shows them:
// its frames are those of a view opened on the record.
void SceneRenderTest::recordStepDrawsWhatAViewOpenedOnTheRecordDraws() {
    FixtureOptions options;
    options.records = 2;
    options.cellsX = 130; // more nodes than a block holds
    options.cellsY = 70;
    CProjectFixture stepFixture(options);
    // The second record bulges, so its normals and thicknesses vary; one
    // node in the middle is a boundary node with a dot.
    samplegen::RecordData second = stepFixture.Record(1);
    for (samplegen::Vec3& node : second.current)
        node.z += 0.02 * std::cos(15 * node.x) * std::cos(30 * node.y);
    const size_t dotted = second.current.size() / 2;
    second.nodeCode.assign(second.current.size(), 0);
    second.nodeCode[dotted] = 1;
    QVERIFY(samplegen::WriteRecordFile(samplegen::RecordFileName(stepFixture.ProjectPath(), 1), second));
    CProjectProfile stepped, opened;
    QVERIFY(stepped.Open(stepFixture.ProjectPath(), nullptr));
    QVERIFY(opened.Open(stepFixture.ProjectPath(), nullptr));
    QVERIFY(stepped.GoToRecord(1));
    QVERIFY(opened.GoToRecord(2));
    DisplaySettings settings = OpaqueSettings();
    settings.sheetDisplayMode = 1;
    OPEN_VIEW_OF(steppedView, settings, 1, &stepped);
    settings.nodeDotsShown = 1;
    OPEN_VIEW_OF(openedView, settings, 1, &opened);
    QVERIFY(stepped.GoToRecord(2));
    steppedView->TakeRecord(2);
    for (CSceneRender* view : {steppedView.get(), openedView.get()}) {
        view->SetGeneralView();
        view->FitIntoWindow();
    }
    const QImage withoutDots = Frame(*steppedView, QStringLiteral("stepped"));
    steppedView->ToggleDots();
    const QImage frame = Frame(*steppedView, QStringLiteral("stepped-dots"));
    const QImage expected = Frame(*openedView, QStringLiteral("opened"));
    const FrameDifference difference = Compare(frame, expected);
    QVERIFY2(difference.worst == 0, Describe(difference).constData());
    const CCoordinate dot = stepped.Sheet()->CurrentCoordinate(static_cast<int>(dotted) + 1);
    const QPoint at = Pixel(steppedView->ProjectToWindow(dot));
    EXPECT_PIXEL(frame, at, FromSettings(settings.boundaryNodeColour), 2);
    QVERIFY(!Near(PixelAt(withoutDots, at), FromSettings(settings.boundaryNodeColour), 2));
}

void SceneRenderTest::offscreenFrameMatchesTheWindow() {
    // The usual look: gradient, translucent lit sheet and translucent tools.
    OPEN_VIEW(view, DisplaySettings(), 1);
    view->SetGeneralView();
    const QImage window = Frame(*view);
    const QImage offscreen = view->RenderImage(window.width(), window.height());
    Keep(offscreen, QStringLiteral("offscreen"));
    QCOMPARE(offscreen.size(), window.size());
    const FrameDifference difference = Compare(window, offscreen);
    QVERIFY2(difference.differing <= window.width() * window.height() / 200,
             Describe(difference).constData());
}

void SceneRenderTest::frameWithoutADisplayMatchesTheWindow() {
    OPEN_VIEW(view, DisplaySettings(), 1);
    view->SetGeneralView();
    const QImage window = Frame(*view);
    // A context of its own that shares nothing: it builds its own lists from
    // the document and draws with the view's camera.
    COffscreenFrame frame;
    QVERIFY2(frame.IsValid(), frame.Error().c_str());
    CSceneDrawer drawer;
    const ColourRamp ramp;
    QVERIFY2(frame.MakeCurrent(), frame.Error().c_str());
    CSceneDrawer::InitialiseContext();
    drawer.BuildSheetLists(project.Sheet(), view->Settings(), view->Quantity(), view->Limits(), ramp);
    // Tool arrays kept from other tools are reshaped, refilled or emptied.
    drawer.BuildToolLists(tenTools.Tools(), view->Settings());
    drawer.BuildToolLists(project.Tools(), view->Settings());
    frame.DoneCurrent();
    FrameState state;
    state.width = window.width();
    state.height = window.height();
    state.sheetElementCount = project.Sheet()->ElementCount();
    // Then without the sheet, which hides the tools.
    for (int pass = 0; pass < 2; ++pass) {
        const QImage shown = pass == 0 ? window : Frame(*view);
        CCamera camera = view->Camera();
        const QImage alone = frame.Render(window.width(), window.height(), [&] {
            CSceneDrawer::InitialiseContext();
            drawer.DrawFrame(camera, state, view->Settings());
        });
        Keep(alone, QStringLiteral("alone"));
        QCOMPARE(alone.size(), shown.size());
        const FrameDifference difference = Compare(shown, alone);
        QVERIFY2(difference.differing == 0, Describe(difference).constData());
        view->ToggleSheet();
    }
    QVERIFY(frame.MakeCurrent());
    drawer.ReleaseLists();
    frame.DoneCurrent();
}

void SceneRenderTest::largerOffscreenFrameScalesTheScene() {
    DisplaySettings settings = OpaqueSettings();
    settings.backgroundScheme = 1;
    OPEN_VIEW(view, settings, 1);
    const QImage window = Frame(*view);
    const QImage large = view->RenderImage(2 * window.width(), 2 * window.height());
    Keep(large, QStringLiteral("offscreen"));
    QCOMPARE(large.size(), 2 * window.size());
    const int right = large.width() - 1, bottom = large.height() - 1;
    EXPECT_PIXEL(large, QPoint(0, 0), GradientTop, 2);
    EXPECT_PIXEL(large, QPoint(right, 0), GradientTop, 2);
    EXPECT_PIXEL(large, QPoint(0, bottom), GradientBottom, 2);
    EXPECT_PIXEL(large, QPoint(right, bottom), GradientBottom, 2);
    for (int element : {ThinElement, ThickElement, OverNothing}) {
        const QPointF centre = CentreOf(*view, element);
        EXPECT_PIXEL(large, Pixel(2 * centre), PixelAt(window, Pixel(centre)), 1);
    }
    EXPECT_PIXEL(large, Pixel(2 * CentreOf(*view, ThinElement)), RampRed, 1);
    EXPECT_PIXEL(large, Pixel(2 * CentreOf(*view, ThickElement)), RampBlue, 1);
}

int main(int argc, char** argv) {
    CSceneRender::PrepareApplication();
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    SceneRenderTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "SceneRenderTest.moc"
