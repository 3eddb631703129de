// Off-screen frames in a context of their own: with no display at all
// (surfaceless EGL, run without DISPLAY), and, given --with-display under a
// virtual X server, in a context that shares the lists of another.
#include "config/CConfiguration.h"
#include "model/CProjectProfile.h"
#include "render/COffscreenFrame.h"
#include "render/CScene.h"
#include "render/CSceneDrawer.h"
#include "scale/Presentation.h"
#include "scale/ResultQuantity.h"
#include "session/CSession.h"
#include "tests/model/ProjectFixture.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>

using namespace quillmere;

namespace {

struct Rgb {
    int r = 0, g = 0, b = 0;
};

// 0x00BBGGRR, as the settings keep colours.
int SettingsColour(const Rgb& c) {
    return c.r | (c.g << 8) | (c.b << 16);
}

const Rgb Background{20, 40, 60};

Rgb PixelAt(const QImage& image, int x, int y) {
    const QRgb value = image.pixel(x, y);
    return {qRed(value), qGreen(value), qBlue(value)};
}

::testing::AssertionResult Near(const QImage& image, int x, int y, const Rgb& expected, int tolerance) {
    const Rgb actual = PixelAt(image, x, y);
    if (std::abs(actual.r - expected.r) <= tolerance && std::abs(actual.g - expected.g) <= tolerance &&
        std::abs(actual.b - expected.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << actual.r << ", " << actual.g << ", " << actual.b << ") instead of (" << expected.r
           << ", " << expected.g << ", " << expected.b << ") at (" << x << ", " << y << ")";
}

// Pixels whose colour bytes differ, and whether any pixel is not opaque.
struct Comparison {
    int differing = 0;
    bool translucent = false;
};

Comparison Compare(const QImage& a, const QImage& b) {
    Comparison result;
    for (int y = 0; y < a.height(); ++y) {
        const auto* rowA = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rowB = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            result.differing += (rowA[x] & 0xffffffu) != (rowB[x] & 0xffffffu);
            result.translucent = result.translucent || qAlpha(rowA[x]) != 255 || qAlpha(rowB[x]) != 255;
        }
    }
    return result;
}

// The fixture project (a flat 0.2 m x 0.1 m sheet of 4 x 3 cells with a
// section tool below it) and the display lists of one context.
class Scene {
public:
    Scene() {
        FixtureOptions options;
        options.records = 1;
        fixture = std::make_unique<CProjectFixture>(options);
        opened = project.Open(fixture->ProjectPath(), nullptr) && project.Sheet() != nullptr;
    }

    // The usual look: gradient, translucent lit sheet in thickness colours
    // and translucent tools.
    static DisplaySettings Usual() { return DisplaySettings(); }
    // One background colour, an opaque sheet of one colour with its edges,
    // no tools.
    static DisplaySettings Plain() {
        DisplaySettings settings;
        settings.backgroundScheme = 0;
        settings.backgroundColour = SettingsColour(Background);
        settings.sheetOpacity = 1.0;
        settings.sheetDisplayMode = SheetDisplayMode::ElementsAndEdges;
        for (ToolDisplay& tool : settings.tools)
            tool.shown = 0;
        return settings;
    }

    // Builds the lists in the context current now.
    void Build(CSceneDrawer& drawer, const DisplaySettings& settings, ResultQuantity quantity) const {
        CSceneDrawer::InitialiseContext();
        drawer.BuildSheetLists(
            project.Sheet(), settings,
            MakePresentation({project.Sheet(), quantity, ScaleLimits(), nullptr, 0, nullptr}));
        drawer.BuildToolLists(&project.Tools(), settings);
    }

    // Draws the frame with the camera fitted to the sheet.
    QImage Draw(COffscreenFrame& frame, CSceneDrawer& drawer, const DisplaySettings& settings, int width,
                int height, const Quaternion& rotation) {
        CCamera camera;
        camera.trackball.Initialise(width, height);
        camera.trackball.SetRotation(rotation);
        camera.FitBox(project.Sheet()->BoundingBox().data());
        camera.zoom = 1.0f;
        FrameState state;
        state.width = width;
        state.height = height;
        state.sheetElementCount = project.Sheet()->ElementCount();
        return frame.Render(width, height, [&] { drawer.DrawFrame(camera, state, settings); });
    }

    bool opened = false;
    CSession session;
    CProjectProfile& project = session.Project();
    // The one view of the session the scenes draw.
    CSessionView view{&session};

private:
    std::unique_ptr<CProjectFixture> fixture;
};

class NoDisplayFrame : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        scene = new Scene;
        frame = new COffscreenFrame;
        drawer = new CSceneDrawer;
    }
    static void TearDownTestSuite() {
        delete drawer;
        delete frame;
        delete scene;
    }
    void SetUp() override {
        if (QGuiApplication::instance() != nullptr)
            GTEST_SKIP() << "runs without a display";
        ASSERT_TRUE(scene->opened);
        ASSERT_TRUE(frame->IsValid()) << frame->Error();
        ASSERT_FALSE(frame->SharesLists());
    }

    // The lists of settings built in the frame's own context.
    static void Build(const DisplaySettings& settings, ResultQuantity quantity) {
        ASSERT_TRUE(frame->MakeCurrent()) << frame->Error();
        scene->Build(*drawer, settings, quantity);
        frame->DoneCurrent();
    }

    static Scene* scene;
    static COffscreenFrame* frame;
    static CSceneDrawer* drawer;
};

Scene* NoDisplayFrame::scene = nullptr;
COffscreenFrame* NoDisplayFrame::frame = nullptr;
CSceneDrawer* NoDisplayFrame::drawer = nullptr;

// With no display and no application at all, as the batch tool draws.
TEST_F(NoDisplayFrame, ServesFramesOfDifferentSizesInTurn) {
    ASSERT_EQ(std::getenv("DISPLAY"), nullptr);
    ASSERT_EQ(QGuiApplication::instance(), nullptr);
    // A frame of its own, so that its first target is the small one.
    COffscreenFrame sized;
    ASSERT_TRUE(sized.IsValid()) << sized.Error();
    CSceneDrawer sizedDrawer;
    const DisplaySettings settings = Scene::Plain();
    ASSERT_TRUE(sized.MakeCurrent()) << sized.Error();
    scene->Build(sizedDrawer, settings, ResultQuantity::None);
    sized.DoneCurrent();
    const QImage small = scene->Draw(sized, sizedDrawer, settings, 320, 200, CCamera::XYView);
    const QImage large = scene->Draw(sized, sizedDrawer, settings, 1234, 777, CCamera::XYView);
    const QImage tall = scene->Draw(sized, sizedDrawer, settings, 201, 640, CCamera::XYView);
    const QImage again = scene->Draw(sized, sizedDrawer, settings, 320, 200, CCamera::XYView);
    for (const QImage* image : {&small, &large, &tall, &again}) {
        ASSERT_FALSE(image->isNull()) << sized.Error();
        EXPECT_EQ(image->format(), QImage::Format_RGB32);
        const int right = image->width() - 1, bottom = image->height() - 1;
        EXPECT_TRUE(Near(*image, 0, 0, Background, 2));
        EXPECT_TRUE(Near(*image, right, bottom, Background, 2));
        EXPECT_FALSE(Near(*image, right / 2, bottom / 2, Background, 10)) << image->width();
    }
    EXPECT_EQ(small.size(), QSize(320, 200));
    EXPECT_EQ(large.size(), QSize(1234, 777));
    EXPECT_EQ(tall.size(), QSize(201, 640));
    EXPECT_EQ(Compare(small, again).differing, 0);
}

TEST_F(NoDisplayFrame, RefusesSizesItCannotDrawAndGoesOn) {
    const DisplaySettings settings = Scene::Plain();
    Build(settings, ResultQuantity::None);
    for (const auto& [width, height] : {std::pair{0, 10}, {10, -1}, {1 << 20, 8}}) {
        const QImage none = frame->Render(width, height, [] {});
        EXPECT_TRUE(none.isNull()) << width << " x " << height;
        EXPECT_FALSE(frame->Error().empty()) << width << " x " << height;
    }
    const QImage image = scene->Draw(*frame, *drawer, settings, 64, 48, CCamera::XYView);
    ASSERT_FALSE(image.isNull()) << frame->Error();
    EXPECT_TRUE(frame->Error().empty());
    EXPECT_TRUE(Near(image, 0, 0, Background, 2));
}

// The usual, translucent look: the same scene gives the same pixels in the
// same context and in a second one, and a frame going away leaves the others
// working.
TEST_F(NoDisplayFrame, SameSceneGivesTheSamePixelsInEveryContext) {
    const DisplaySettings settings = Scene::Usual();
    Build(settings, ResultQuantity::Thickness);
    const QImage first = scene->Draw(*frame, *drawer, settings, 640, 480, CCamera::GeneralView);
    const QImage second = scene->Draw(*frame, *drawer, settings, 640, 480, CCamera::GeneralView);
    ASSERT_FALSE(first.isNull()) << frame->Error();
    ASSERT_FALSE(second.isNull()) << frame->Error();
    Comparison same = Compare(first, second);
    EXPECT_EQ(same.differing, 0);
    EXPECT_FALSE(same.translucent);
    {
        COffscreenFrame other;
        ASSERT_TRUE(other.IsValid()) << other.Error();
        CSceneDrawer otherDrawer;
        ASSERT_TRUE(other.MakeCurrent()) << other.Error();
        scene->Build(otherDrawer, settings, ResultQuantity::Thickness);
        other.DoneCurrent();
        const QImage fromOther = scene->Draw(other, otherDrawer, settings, 640, 480, CCamera::GeneralView);
        ASSERT_FALSE(fromOther.isNull()) << other.Error();
        same = Compare(first, fromOther);
        EXPECT_EQ(same.differing, 0);
        EXPECT_FALSE(same.translucent);
    }
    const QImage after = scene->Draw(*frame, *drawer, settings, 640, 480, CCamera::GeneralView);
    ASSERT_FALSE(after.isNull()) << frame->Error();
    EXPECT_EQ(Compare(first, after).differing, 0);
}

// A scene without a window draws in a context of its own, whole or in tiles
// that are the parts of the whole.
TEST_F(NoDisplayFrame, SceneWithoutAWindowDrawsItsFrameWholeOrInTiles) {
    CScene alone(scene->view, Scene::Usual(), ResultQuantity::Thickness);
    COffscreenFrame* own = alone.Offscreen();
    ASSERT_NE(own, nullptr);
    ASSERT_TRUE(own->IsValid()) << own->Error();
    EXPECT_FALSE(own->SharesLists());
    ASSERT_TRUE(own->MakeCurrent()) << own->Error();
    CSceneDrawer::InitialiseContext();
    alone.RebuildLists();
    own->DoneCurrent();
    alone.Camera().trackball.SetRotation(CCamera::GeneralView);
    alone.FitOffscreen(300, 200);
    const QImage whole = alone.RenderImage(300, 200);
    ASSERT_EQ(whole.size(), QSize(300, 200)) << own->Error();
    EXPECT_FALSE(Near(whole, 150, 100, PixelAt(whole, 0, 100), 10)) << "the sheet is not in the middle";
    // 100 x 80 pixels from (120, 50) above the frame's lower-left corner.
    const QImage tile = alone.RenderTile(300, 200, 120, 50, 100, 80);
    ASSERT_EQ(tile.size(), QSize(100, 80)) << own->Error();
    int differing = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 100; ++x)
            // Colours interpolated from another origin may round one level
            // apart.
            differing += !Near(tile, x, y, PixelAt(whole, 120 + x, 70 + y), 1);
    EXPECT_EQ(differing, 0);
    EXPECT_GT(alone.MaxFrameSize(), 300);
}

// The presentation follows the quantity, its limits setting and the system
// of units of its texts.
TEST_F(NoDisplayFrame, ScenePresentationFollowsTheQuantityTheFixedLimitsAndTheUnits) {
    CScene shown(scene->view, Scene::Plain(), ResultQuantity::Thickness);
    ASSERT_TRUE(shown.UpdatePresentation());
    const ScaleRange automatic = shown.Presented().limits;
    EXPECT_GT(automatic.maximum, 0);
    EXPECT_EQ(shown.Presented().labels[0], "") << "no units, no texts";
    shown.Limits().SetFixedMinimum(ResultQuantity::Thickness, 0.5);
    shown.Limits().SetFixedMaximum(ResultQuantity::Thickness, 0.75);
    ASSERT_TRUE(shown.UpdatePresentation());
    EXPECT_EQ(shown.Presented().limits.maximum, automatic.maximum) << "automatic limits take no fixed values";
    shown.Limits().SetFixedMode(ResultQuantity::Thickness, 1);
    ASSERT_TRUE(shown.UpdatePresentation());
    EXPECT_EQ(shown.Presented().limits.minimum, 0.5);
    EXPECT_EQ(shown.Presented().limits.maximum, 0.75);
    EXPECT_TRUE(shown.Presented().setting.IsFixed(ResultQuantity::Thickness))
        << "the colours take the fixed pair";
    shown.Limits().SetFixedMaximum(ResultQuantity::Thickness, 2.0);
    ASSERT_TRUE(shown.UpdatePresentation());
    EXPECT_EQ(shown.Presented().limits.maximum, 2.0);
    CConfiguration units("");
    shown.SetUnits(&units);
    ASSERT_TRUE(shown.UpdatePresentation());
    EXPECT_EQ(shown.Presented().labels[0], "2000.00 mm");
    units.SetSIMetric(false);
    ASSERT_TRUE(shown.UpdatePresentation());
    EXPECT_EQ(shown.Presented().labels[0], "78.740 inch");
    shown.SetQuantity(ResultQuantity::None);
    ASSERT_TRUE(shown.UpdatePresentation());
    EXPECT_EQ(shown.Presented().limits.minimum, 0);
    EXPECT_EQ(shown.Presented().limits.maximum, 0);
    EXPECT_EQ(shown.Presented().title, "(no scale)");
    shown.SetQuantity(ResultQuantity::Thickness);
    shown.Limits().SetFixedMode(ResultQuantity::Thickness, 0);
    ASSERT_TRUE(shown.UpdatePresentation());
    EXPECT_EQ(shown.Presented().limits.minimum, automatic.minimum);
    EXPECT_EQ(shown.Presented().limits.maximum, automatic.maximum);
    CSessionView nothing(nullptr);
    CScene empty(nothing, Scene::Plain(), ResultQuantity::Thickness);
    EXPECT_FALSE(empty.UpdatePresentation());
}

// A node at infinity does not empty the picture: the camera fits the rest
// of the sheet. Values that are not numbers are drawn in the one grey of no
// value, which no colour of the scale is.
TEST_F(NoDisplayFrame, ValuesThatAreNotNumbersNeitherEmptyThePictureNorTakeAColour) {
    FixtureOptions options;
    options.records = 1;
    options.cellsX = 8;
    options.cellsY = 6;
    CProjectFixture fixture(options);
    samplegen::RecordData record = fixture.Record(0);
    record.current[20].x = std::numeric_limits<double>::infinity();
    for (size_t e = 60; e < 70; ++e)
        record.elements[e].initialThickness = -std::numeric_limits<float>::quiet_NaN();
    ASSERT_TRUE(samplegen::WriteRecordFile(fixture.File("fixture.000"), record));
    CRecordingMessages messages;
    CSession session;
    ASSERT_TRUE(session.Open(fixture.ProjectPath(), nullptr)) << messages.Texts();
    EXPECT_EQ(messages.messages.size(), 1u) << messages.Texts();

    CSessionView view(&session);
    CScene alone(view, Scene::Plain(), ResultQuantity::Thickness);
    COffscreenFrame* own = alone.Offscreen();
    ASSERT_NE(own, nullptr);
    ASSERT_TRUE(own->MakeCurrent()) << own->Error();
    CSceneDrawer::InitialiseContext();
    alone.RebuildLists();
    own->DoneCurrent();
    alone.Camera().trackball.SetRotation(CCamera::XYView);
    alone.FitOffscreen(300, 200);
    const QImage image = alone.RenderImage(300, 200);
    ASSERT_EQ(image.size(), QSize(300, 200)) << own->Error();
    int sheet = 0, grey = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const Rgb c = PixelAt(image, x, y);
            sheet += !Near(image, x, y, Background, 2);
            grey += c.r > 25 && std::abs(c.r - c.g) <= 3 && std::abs(c.g - c.b) <= 3;
        }
    EXPECT_GT(sheet, image.width() * image.height() / 3);
    EXPECT_GT(grey, 200);
}

// Points are smoothed where they are drawn: a dot is a disc, not a square.
// Left on for the rest of the frame, the flag would send every triangle of
// a software driver down its slow path; the frame ends without it.
TEST_F(NoDisplayFrame, DotsAreRoundAndTheirSmoothingEndsWithThem) {
    FixtureOptions options;
    options.records = 1;
    options.cellsX = 8;
    options.cellsY = 6;
    CProjectFixture fixture(options);
    samplegen::RecordData record = fixture.Record(0);
    // The middle node, at (0, 0), is fixed.
    record.nodeCode[31] = 3;
    ASSERT_TRUE(samplegen::WriteRecordFile(fixture.File("fixture.000"), record));
    CSession session;
    ASSERT_TRUE(session.Open(fixture.ProjectPath(), nullptr));
    CSessionView view(&session);
    DisplaySettings settings = Scene::Plain();
    settings.nodeDotsShown = 1;
    settings.fixedNodeColour = SettingsColour({0, 255, 0});
    CScene alone(view, settings, ResultQuantity::None);
    COffscreenFrame* own = alone.Offscreen();
    ASSERT_NE(own, nullptr);
    ASSERT_TRUE(own->MakeCurrent()) << own->Error();
    CSceneDrawer::InitialiseContext();
    alone.RebuildLists();
    own->DoneCurrent();
    alone.Camera().trackball.SetRotation(CCamera::XYView);
    alone.FitOffscreen(300, 200);
    const QImage image = alone.RenderImage(300, 200);
    ASSERT_EQ(image.size(), QSize(300, 200)) << own->Error();
    const auto at = alone.Camera().ToWindow(CCoordinate(0, 0, 0), 300, 200);
    const int x = static_cast<int>(at[0]), y = static_cast<int>(at[1]);
    int dot = 0;
    for (int dy = -4; dy <= 4; ++dy)
        for (int dx = -4; dx <= 4; ++dx)
            dot += Near(image, x + dx, y + dy, {0, 255, 0}, 0);
    // A square of 5 x 5 pixels would take 25.
    EXPECT_GT(dot, 9);
    EXPECT_LT(dot, 25);
    ASSERT_TRUE(own->MakeCurrent()) << own->Error();
    EXPECT_FALSE(glIsEnabled(GL_POINT_SMOOTH));
    own->DoneCurrent();
}

// Triangles far smaller than a pixel, all facing the viewer, are drawn in
// one pass: the pass that would cull them all is left out as long as the
// driver's rounding cannot turn one of them round. Smaller still, they keep
// both passes.
TEST_F(NoDisplayFrame, TinyTrianglesFacingTheViewerTakeOnePass) {
    FixtureOptions options;
    options.records = 1;
    options.cellsX = 200;
    options.cellsY = 150;
    CProjectFixture fixture(options);
    CSession session;
    ASSERT_TRUE(session.Open(fixture.ProjectPath(), nullptr));
    CSessionView view(&session);
    DisplaySettings settings = Scene::Usual();
    for (ToolDisplay& tool : settings.tools)
        tool.shown = 0;
    CScene alone(view, settings, ResultQuantity::Thickness);
    COffscreenFrame* own = alone.Offscreen();
    ASSERT_NE(own, nullptr);
    ASSERT_TRUE(own->MakeCurrent()) << own->Error();
    CSceneDrawer::InitialiseContext();
    alone.RebuildLists();
    own->DoneCurrent();
    alone.Camera().trackball.SetRotation(CCamera::GeneralView);
    const GLuint64 triangles = 2 * 200 * 150;
    // The triangles the driver is sent for a frame of the sheet.
    auto sent = [&](int width, int height) {
        alone.FitOffscreen(width, height);
        FrameState state;
        state.width = width;
        state.height = height;
        state.sheetElementCount = static_cast<int>(triangles);
        GLuint64 primitives = 0;
        own->Render(width, height, [&] {
            CSceneDrawer::InitialiseContext();
            GLuint query = 0;
            glGenQueries(1, &query);
            glBeginQuery(GL_PRIMITIVES_SUBMITTED_ARB, query);
            alone.DrawFrame(state);
            glEndQuery(GL_PRIMITIVES_SUBMITTED_ARB);
            glGetQueryObjectui64v(query, GL_QUERY_RESULT, &primitives);
            glDeleteQueries(1, &query);
        });
        return primitives;
    };
    // Twice the area of a triangle: about a tenth of a pixel.
    const GLuint64 fine = sent(160, 120);
    EXPECT_GE(fine, triangles);
    EXPECT_LT(fine, triangles + 10);
    // A hundredth: the rounding could turn some.
    EXPECT_GE(sent(40, 30), 2 * triangles);
}

// A document event asks a view for no more than it needs: the cut of the
// record it shows its line alone.
TEST_F(NoDisplayFrame, SceneUpdatesFollowTheDocumentEvents) {
    CScene shown(scene->view, Scene::Plain(), ResultQuantity::Thickness);
    const int current = scene->project.CurrentRecord();
    EXPECT_EQ(shown.UpdateFor(DocumentEvent::CutChanged, current), SceneUpdate::CutLine);
    EXPECT_EQ(shown.UpdateFor(DocumentEvent::CutChanged, current + 1), SceneUpdate::Lists);
    EXPECT_EQ(shown.UpdateFor(DocumentEvent::SettingsChanged, current), SceneUpdate::Redraw);
    EXPECT_FALSE(shown.ClearPickOutline()) << "no outline to clear";
    shown.SetPickOutline({{1, 2}, {3, 4}});
    EXPECT_TRUE(shown.ClearPickOutline());
    EXPECT_FALSE(shown.ClearPickOutline());
}

// A context of the views' share group (run under a virtual X server): its
// lists are called by the frame, whose pixels agree with a frame of lists of
// its own.
TEST(SharedContextFrame, CallsTheListsOfTheContextItShares) {
    if (QGuiApplication::instance() == nullptr)
        GTEST_SKIP() << "needs --with-display";
    Scene scene;
    ASSERT_TRUE(scene.opened);
    QSurfaceFormat format;
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    QOffscreenSurface surface;
    surface.setFormat(format);
    surface.create();
    QOpenGLContext views;
    views.setFormat(format);
    ASSERT_TRUE(views.create());
    ASSERT_TRUE(views.makeCurrent(&surface));
    const DisplaySettings settings = Scene::Usual();
    CSceneDrawer drawer;
    scene.Build(drawer, settings, ResultQuantity::Thickness);
    views.doneCurrent();

    QImage shared;
    {
        COffscreenFrame frame(&views);
        ASSERT_TRUE(frame.IsValid()) << frame.Error();
        EXPECT_TRUE(frame.SharesLists());
        // The lists are built in the other context only.
        ASSERT_TRUE(frame.MakeCurrent());
        CSceneDrawer::InitialiseContext();
        frame.DoneCurrent();
        shared = scene.Draw(frame, drawer, settings, 500, 400, CCamera::GeneralView);
        ASSERT_FALSE(shared.isNull()) << frame.Error();
        // The context that was current before comes back.
        ASSERT_TRUE(views.makeCurrent(&surface));
        const QImage again = scene.Draw(frame, drawer, settings, 500, 400, CCamera::GeneralView);
        EXPECT_EQ(QOpenGLContext::currentContext(), &views);
        views.doneCurrent();
        EXPECT_EQ(Compare(shared, again).differing, 0);
    }

    COffscreenFrame own;
    ASSERT_TRUE(own.IsValid()) << own.Error();
    CSceneDrawer ownDrawer;
    ASSERT_TRUE(own.MakeCurrent());
    scene.Build(ownDrawer, settings, ResultQuantity::Thickness);
    own.DoneCurrent();
    const QImage alone = scene.Draw(own, ownDrawer, settings, 500, 400, CCamera::GeneralView);
    ASSERT_FALSE(alone.isNull()) << own.Error();
    // Both are Mesa here and agree exactly; another machine may draw the
    // window's share group on other hardware.
    const Comparison comparison = Compare(shared, alone);
    EXPECT_FALSE(comparison.translucent);
    EXPECT_LE(comparison.differing, 500 * 400 / 1000) << "pixels differ";
    // Without the lists only the background would be drawn.
    EXPECT_FALSE(Near(shared, 250, 200, PixelAt(shared, 0, 200), 10));
}

} // namespace

// Without --with-display the frames run with no display at all, as the batch
// tool does.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const bool withDisplay = argc > 1 && std::strcmp(argv[1], "--with-display") == 0;
    if (!withDisplay) {
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        return RUN_ALL_TESTS();
    }
    QGuiApplication application(argc, argv);
    // The application takes the number format from the environment; files
    // are read in the "C" locale.
    std::setlocale(LC_NUMERIC, "C");
    return RUN_ALL_TESTS();
}
