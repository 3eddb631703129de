// Frames of a real 3D view drawn by Mesa under a virtual X server:
// background, sheet and tool colours, record steps and off-screen frames;
// then the picks and the mouse (ScenePickTest.cpp).
#include "scene/COffscreenFrame.h"
#include "tests/scene/SceneTestSupport.h"

#include <QApplication>

#include <clocale>

class SceneRenderTest : public SceneViewTest {
    Q_OBJECT

private slots:
    void initTestCase() { OpenProjects(); }
    void cleanup() { SaveKeptFrames(); }

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
    void recordStepDrawsWhatAViewOpenedOnTheRecordDraws();
    void offscreenFrameMatchesTheWindow();
    void frameWithoutADisplayMatchesTheWindow();
    void largerOffscreenFrameScalesTheScene();
    void hiddenViewMakesItsContextForOffscreenFrames();
};

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

// --- Off-screen frames -----------------------------------------------------

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

// Pictures of a view that was never shown: the first off-screen frame makes
// its context, lists and fit.
void SceneRenderTest::hiddenViewMakesItsContextForOffscreenFrames() {
    CSceneRender view(&project, OpaqueSettings());
    view.resize(ViewWidth, ViewHeight);
    const QImage tile = view.RenderTile(ViewWidth, ViewHeight, 0, 0, ViewWidth / 2, ViewHeight / 2);
    Keep(tile, QStringLiteral("tile"));
    QCOMPARE(tile.size(), QSize(ViewWidth / 2, ViewHeight / 2));
    EXPECT_PIXEL(tile, QPoint(0, ViewHeight / 2 - 1), Background, 2);
    // The tile's upper-right corner is the frame's centre, on the sheet.
    QVERIFY(!Near(PixelAt(tile, QPoint(ViewWidth / 2 - 1, 0)), Background, 10));
    QVERIFY(view.MaxFrameSize() >= ViewWidth);
    QVERIFY(!view.isVisible());
}

int main(int argc, char** argv) {
    CSceneRender::PrepareApplication();
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    SceneRenderTest test;
    const int frames = RunsHere(test, argc, argv) ? QTest::qExec(&test, argc, argv) : 0;
    return RunScenePickTest(argc, argv) | frames;
}

#include "SceneRenderTest.moc"
