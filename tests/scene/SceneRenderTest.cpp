// Frames of a real 3D view drawn by Mesa under a virtual X server: record
// steps and off-screen frames agree with the window (what the frames look
// like is SceneBaselineTest's); then the picks and the mouse
// (ScenePickTest.cpp).
#include "render/COffscreenFrame.h"
#include "tests/scene/SceneTestSupport.h"

#include <QApplication>

#include <clocale>

using namespace quillmere;

class SceneRenderTest : public SceneViewTest {
    Q_OBJECT

private slots:
    void initTestCase() { OpenProjects(); }
    void cleanup() { SaveKeptFrames(); }

    void recordStepDrawsWhatAViewOpenedOnTheRecordDraws();
    void offscreenFrameMatchesTheWindowAtAnySize();
    void frameWithoutADisplayMatchesTheWindow();
    void hiddenViewMakesItsContextForOffscreenFrames();
};

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
    CSession steppedSession, openedSession;
    CProjectProfile &stepped = steppedSession.Project(), &opened = openedSession.Project();
    QVERIFY(stepped.Open(stepFixture.ProjectPath(), nullptr));
    QVERIFY(opened.Open(stepFixture.ProjectPath(), nullptr));
    QVERIFY(stepped.GoToRecord(1));
    QVERIFY(opened.GoToRecord(2));
    DisplaySettings settings = OpaqueSettings();
    settings.sheetDisplayMode = SheetDisplayMode::Elements;
    OPEN_VIEW_OF(steppedView, settings, ResultQuantity::Thickness, &steppedSession);
    settings.nodeDotsShown = 1;
    OPEN_VIEW_OF(openedView, settings, ResultQuantity::Thickness, &openedSession);
    QVERIFY(stepped.GoToRecord(2));
    steppedView->TakeRecord(2);
    for (CSceneRender* view : {steppedView.get(), openedView.get()}) {
        view->Commands().SetGeneralView();
        view->Commands().FitIntoWindow();
    }
    const QImage withoutDots = Frame(*steppedView, QStringLiteral("stepped"));
    steppedView->Commands().ToggleDots();
    const QImage frame = Frame(*steppedView, QStringLiteral("stepped-dots"));
    const QImage expected = Frame(*openedView, QStringLiteral("opened"));
    const FrameDifference difference = Compare(frame, expected);
    QVERIFY2(difference.worst == 0, Describe(difference).constData());
    const CCoordinate dot = stepped.Sheet()->CurrentCoordinate(static_cast<int>(dotted) + 1);
    const QPoint at = Pixel(steppedView->ProjectToWindow(dot));
    EXPECT_PIXEL(frame, at, FromSettings(settings.boundaryNodeColour), 2);
    QVERIFY(!Near(PixelAt(withoutDots, at), FromSettings(settings.boundaryNodeColour), 2));
}

// The usual look (gradient, translucent lit sheet and tools) at the window's
// size, and at twice it, where the scene scales with the frame.
void SceneRenderTest::offscreenFrameMatchesTheWindowAtAnySize() {
    OPEN_VIEW(view, DisplaySettings(), ResultQuantity::Thickness);
    view->Commands().SetGeneralView();
    const QImage window = Frame(*view);
    const QImage offscreen = view->Scene().RenderImage(window.width(), window.height());
    Keep(offscreen, QStringLiteral("offscreen"));
    QCOMPARE(offscreen.size(), window.size());
    const FrameDifference difference = Compare(window, offscreen);
    QVERIFY2(difference.differing <= window.width() * window.height() / 200,
             Describe(difference).constData());
    const QImage large = view->Scene().RenderImage(2 * window.width(), 2 * window.height());
    Keep(large, QStringLiteral("large"));
    QCOMPARE(large.size(), 2 * window.size());
    for (int element : {ThinElement, ThickElement, OverNothing}) {
        const QPointF centre = CentreOf(*view, element);
        EXPECT_PIXEL(large, Pixel(2 * centre), PixelAt(window, Pixel(centre)), 1);
    }
}

void SceneRenderTest::frameWithoutADisplayMatchesTheWindow() {
    OPEN_VIEW(view, DisplaySettings(), ResultQuantity::Thickness);
    view->Commands().SetGeneralView();
    const QImage window = Frame(*view);
    // A context of its own that shares nothing: it builds its own lists from
    // the document and draws with the view's camera.
    COffscreenFrame frame;
    QVERIFY2(frame.IsValid(), frame.Error().c_str());
    CSceneDrawer drawer;
    QVERIFY2(frame.MakeCurrent(), frame.Error().c_str());
    CSceneDrawer::InitialiseContext();
    drawer.BuildSheetLists(project.Sheet(), view->Scene().Settings(), view->Scene().Presented());
    // Tool arrays kept from other tools are reshaped, refilled or emptied.
    drawer.BuildToolLists(&tenTools.Tools(), view->Scene().Settings());
    drawer.BuildToolLists(&project.Tools(), view->Scene().Settings());
    frame.DoneCurrent();
    FrameState state;
    state.width = window.width();
    state.height = window.height();
    state.sheetElementCount = project.Sheet()->ElementCount();
    // Then without the sheet, which hides the tools.
    for (int pass = 0; pass < 2; ++pass) {
        const QImage shown = pass == 0 ? window : Frame(*view);
        CCamera camera = view->Scene().Camera();
        const QImage alone = frame.Render(window.width(), window.height(), [&] {
            CSceneDrawer::InitialiseContext();
            drawer.DrawFrame(camera, state, view->Scene().Settings());
        });
        Keep(alone, QStringLiteral("alone"));
        QCOMPARE(alone.size(), shown.size());
        const FrameDifference difference = Compare(shown, alone);
        QVERIFY2(difference.differing == 0, Describe(difference).constData());
        view->Commands().ToggleSheet();
    }
    QVERIFY(frame.MakeCurrent());
    drawer.ReleaseLists();
    frame.DoneCurrent();
}

// Pictures of a view that was never shown: the first off-screen frame makes
// its context, lists and fit.
void SceneRenderTest::hiddenViewMakesItsContextForOffscreenFrames() {
    CSceneRender view(&session, OpaqueSettings());
    view.resize(ViewWidth, ViewHeight);
    const QImage tile = view.Scene().RenderTile(ViewWidth, ViewHeight, 0, 0, ViewWidth / 2, ViewHeight / 2);
    Keep(tile, QStringLiteral("tile"));
    QCOMPARE(tile.size(), QSize(ViewWidth / 2, ViewHeight / 2));
    EXPECT_PIXEL(tile, QPoint(0, ViewHeight / 2 - 1), Background, 2);
    // The tile's upper-right corner is the frame's centre, on the sheet.
    QVERIFY(!Near(PixelAt(tile, QPoint(ViewWidth / 2 - 1, 0)), Background, 10));
    QVERIFY(view.Scene().MaxFrameSize() >= ViewWidth);
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
