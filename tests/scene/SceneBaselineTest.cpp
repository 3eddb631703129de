// Pictures of generated projects drawn with no display (surfaceless EGL),
// compared with the PNGs under baselines/: a channel may differ by
// ChannelTolerance, and at most MaxDifferingShare of the pixels may differ
// more. A failing picture and a map of its differing pixels are written
// into the build folder. QUILLMERE_UPDATE_BASELINES=1 writes the pictures
// drawn now as the new baselines instead.
#include "config/CConfiguration.h"
#include "measure/MeasuredPoints.h"
#include "model/CProjectProfile.h"
#include "model/CSheetProfile.h"
#include "render/HeadlessScene.h"
#include "scale/Comparison.h"
#include "scale/ResultQuantity.h"
#include "session/CSession.h"
#include "tests/model/ProjectFixture.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <memory>

using namespace quillmere;

namespace {

constexpr int Width = 200, Height = 150;
constexpr int ChannelTolerance = 8;
constexpr double MaxDifferingShare = 0.002;

// The pixels of a that differ from b by more than the tolerance in some
// channel, and their map: red where they differ, the picture dimmed elsewhere.
struct Difference {
    int differing = 0;
    QImage map;
};

Difference Compare(const QImage& a, const QImage& b) {
    Difference result;
    result.map = QImage(a.size(), QImage::Format_RGB32);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const bool differs = std::abs(qRed(p) - qRed(q)) > ChannelTolerance ||
                                 std::abs(qGreen(p) - qGreen(q)) > ChannelTolerance ||
                                 std::abs(qBlue(p) - qBlue(q)) > ChannelTolerance;
            result.differing += differs;
            const int grey = qGray(p) / 3;
            result.map.setPixel(x, y, differs ? qRgb(255, 0, 0) : qRgb(grey, grey, grey));
        }
    return result;
}

bool Updating() {
    const char* update = std::getenv("QUILLMERE_UPDATE_BASELINES");
    return update != nullptr && *update != '\0' && std::string(update) != "0";
}

::testing::AssertionResult MatchesBaseline(const QImage& drawn, const std::string& name) {
    if (drawn.isNull())
        return ::testing::AssertionFailure() << name << ": nothing was drawn";
    const QImage image = drawn.convertToFormat(QImage::Format_RGB32);
    const QString file = QString::fromStdString(name) + QStringLiteral(".png");
    const QDir baselines(QStringLiteral(QUILLMERE_BASELINE_DIR));
    if (Updating()) {
        if (!image.save(baselines.filePath(file)))
            return ::testing::AssertionFailure() << "cannot write " << baselines.filePath(file).toStdString();
        return ::testing::AssertionSuccess();
    }
    const QImage baseline = QImage(baselines.filePath(file)).convertToFormat(QImage::Format_RGB32);
    QDir output(QStringLiteral(QUILLMERE_BASELINE_OUTPUT));
    output.mkpath(QStringLiteral("."));
    const QString actual = output.filePath(file);
    if (baseline.size() != image.size()) {
        image.save(actual);
        return ::testing::AssertionFailure()
               << name << ": no baseline of " << image.width() << " x " << image.height()
               << " pixels; the picture is " << actual.toStdString()
               << " (QUILLMERE_UPDATE_BASELINES=1 ctest -R scene_baseline makes it)";
    }
    const Difference difference = Compare(image, baseline);
    if (difference.differing <= MaxDifferingShare * image.width() * image.height())
        return ::testing::AssertionSuccess();
    const QString map = output.filePath(QString::fromStdString(name) + QStringLiteral("-diff.png"));
    image.save(actual);
    difference.map.save(map);
    return ::testing::AssertionFailure()
           << name << ": " << difference.differing << " pixels differ from the baseline; the picture is "
           << actual.toStdString() << ", the differing pixels (red) " << map.toStdString();
}

// Contact, surface and wire colours of the tool slots, 0x00BBGGRR.
int Colour(int r, int g, int b) {
    return r | (g << 8) | (b << 16);
}

// A box of the short tool layout, x0..x1, y0..y1, z0..z1 in metres.
samplegen::ShortTool Box(double x0, double x1, double y0, double y1, double z0, double z1) {
    using samplegen::Vec3;
    samplegen::ShortTool tool;
    tool.faces = {{{x0, y0, z0}, {x0, y1, z0}, {x1, y1, z0}, {x1, y0, z0}},
                  {{x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}},
                  {{x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1}},
                  {{x0, y1, z0}, {x0, y1, z1}, {x1, y1, z1}, {x1, y1, z0}},
                  {{x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0}},
                  {{x1, y0, z0}, {x1, y1, z0}, {x1, y1, z1}, {x1, y0, z1}}};
    return tool;
}

class SceneBaseline : public ::testing::Test {
protected:
    // The cup sample formed, and a flat sheet beside a box in every tool slot
    // whose nodes touch the slots in turn.
    static void SetUpTestSuite() {
        folder = new CTempFolder;
        configuration = new CConfiguration(folder->File("Quillmere.cfg"));
        samplegen::CupOptions options;
        options.cellsX = 20;
        options.cellsY = 16;
        options.records = 3;
        cup = new CSession;
        cupOpened = cup->Open(samplegen::WriteCupSample(folder->Path(), options), nullptr);

        FixtureOptions flat;
        flat.records = 1;
        flat.cellsX = 10;
        flat.cellsY = 5;
        toolFixture = new CProjectFixture(flat);
        std::vector<samplegen::ToolMotion> motions(kToolSlots);
        bool written = samplegen::WriteProcessControl(toolFixture->File("fixture.prc"), motions);
        toolFixture->Project().toolNames.clear();
        for (int slot = 0; slot < kToolSlots; ++slot) {
            const std::string name = "box" + std::to_string(slot) + ".tol";
            const double x = -0.095 + 0.019 * slot;
            written = written &&
                      samplegen::WriteShortTool(toolFixture->File(name),
                                                Box(x, x + 0.016, 0.06, 0.1, -0.02, 0.01 + 0.004 * slot));
            toolFixture->Project().toolNames.push_back(name);
        }
        toolFixture->WriteProject();
        samplegen::RecordData record = toolFixture->Record(0);
        for (size_t n = 0; n < record.contactTool.size(); ++n)
            record.contactTool[n] = (n / 11) % 2 == 0 ? static_cast<uint8_t>(n % 11 % kToolSlots) : 255;
        written = written && samplegen::WriteRecordFile(
                                 samplegen::RecordFileName(toolFixture->ProjectPath(), 0), record);
        tools = new CSession;
        toolsOpened = written && tools->Open(toolFixture->ProjectPath(), nullptr);
    }
    static void TearDownTestSuite() {
        delete tools;
        delete toolFixture;
        delete cup;
        delete configuration;
        delete folder;
    }
    void SetUp() override {
        ASSERT_TRUE(cupOpened);
        ASSERT_TRUE(toolsOpened);
    }

    // The picture of a project as a view fitted to it shows it; with
    // options, annotated.
    static QImage Draw(CSession& session, const DisplaySettings& settings, ResultQuantity quantity,
                       const Quaternion& view, const SceneImageOptions* options = nullptr, int w = Width,
                       int h = Height) {
        CCamera camera;
        camera.trackball.SetRotation(view);
        CSessionView shown(&session);
        CHeadlessScene scene(shown, settings, quantity, camera);
        EXPECT_TRUE(scene.IsValid()) << scene.Error();
        scene.SetConfiguration(configuration);
        scene.Fit(w, h);
        const QImage image = options ? scene.Render(w, h, *options) : scene.RenderFrame(w, h);
        EXPECT_FALSE(image.isNull()) << scene.Error();
        return image;
    }

    inline static CTempFolder* folder = nullptr;
    inline static CConfiguration* configuration = nullptr;
    inline static CSession *cup = nullptr, *tools = nullptr;
    inline static CProjectFixture* toolFixture = nullptr;
    inline static bool cupOpened = false, toolsOpened = false;
};

TEST_F(SceneBaseline, StandardViews) {
    const std::pair<const char*, Quaternion> views[] = {{"view_xy", CCamera::XYView},
                                                        {"view_xz", CCamera::XZView},
                                                        {"view_yz", CCamera::YZView},
                                                        {"view_general", CCamera::GeneralView}};
    for (const auto& [name, view] : views)
        EXPECT_TRUE(MatchesBaseline(Draw(*cup, DisplaySettings(), ResultQuantity::Thickness, view), name));
}

// Elements with edges in thickness colours, elements alone in the darkened
// sheet colour, edges alone; the sheet opaque, the tools hidden.
TEST_F(SceneBaseline, SheetDisplayModes) {
    DisplaySettings settings;
    settings.sheetOpacity = 1.0;
    for (ToolDisplay& tool : settings.tools)
        tool.shown = 0;
    const char* const names[] = {"sheet_elements_edges", "sheet_elements", "sheet_edges"};
    for (int mode = 0; mode < 3; ++mode) {
        settings.sheetDisplayMode = SheetDisplayMode(mode);
        EXPECT_TRUE(
            MatchesBaseline(Draw(*cup, settings, mode == 1 ? ResultQuantity::None : ResultQuantity::Thickness,
                                 CCamera::GeneralView),
                            names[mode]));
    }
}

// Each slot's tool in a colour of its own, shaded, wire frame or both, opaque
// or translucent, and the nodes touching it in the slot's contact colour.
TEST_F(SceneBaseline, ToolInEachSlot) {
    DisplaySettings settings;
    settings.sheetOpacity = 1.0;
    settings.nodeDotsShown = 1;
    for (int slot = 0; slot < kToolSlots; ++slot) {
        ToolDisplay& tool = settings.tools[static_cast<size_t>(slot)];
        tool.mode = slot % 3;
        tool.opacity = slot < 5 ? 1.0 : 0.6;
        tool.surfaceColour = Colour(255 - 25 * slot, 60 + 19 * slot, 128);
        tool.wireColour = Colour(20 * slot, 0, 255 - 20 * slot);
    }
    EXPECT_TRUE(MatchesBaseline(Draw(*tools, settings, ResultQuantity::None, CCamera::GeneralView), "tools"));
}

// The cut line over the translucent sheet (black and white) and over the
// opaque one (white).
TEST_F(SceneBaseline, CutLine) {
    cup->StartCut().Position = 10; // x = 10 mm
    Message failure;
    ASSERT_TRUE(cup->MakeCut(*configuration, failure)) << failure;
    ASSERT_FALSE(cup->CutLine()->empty());
    DisplaySettings settings;
    EXPECT_TRUE(
        MatchesBaseline(Draw(*cup, settings, ResultQuantity::Thickness, CCamera::XYView), "cut_translucent"));
    settings.sheetOpacity = 1.0;
    EXPECT_TRUE(
        MatchesBaseline(Draw(*cup, settings, ResultQuantity::Thickness, CCamera::GeneralView), "cut_opaque"));
    cup->EndCut();
}

TEST_F(SceneBaseline, CaptionAndColourScale) {
    SceneImageOptions options;
    options.colourScale = true;
    EXPECT_TRUE(MatchesBaseline(
        Draw(*cup, DisplaySettings(), ResultQuantity::Temperature, CCamera::GeneralView, &options),
        "annotated"));
}

// The formed cup against its first record: thinner (blue) where it was
// drawn, white where it kept its thickness, with the caption naming both
// records.
TEST_F(SceneBaseline, DifferenceToAnotherRecord) {
    CCamera camera;
    camera.trackball.SetRotation(CCamera::GeneralView);
    CSessionView shown(cup);
    CHeadlessScene scene(shown, DisplaySettings(), ResultQuantity::Thickness, camera);
    ASSERT_TRUE(scene.IsValid()) << scene.Error();
    scene.SetConfiguration(configuration);
    Message failure;
    ASSERT_TRUE(scene.Scene().SetComparison(std::make_shared<CComparison>(cup->Project(), cup->Project(), 1),
                                            failure))
        << failure;
    scene.Update();
    scene.Fit(Width, Height);
    EXPECT_TRUE(MatchesBaseline(scene.Render(Width, Height), "difference"));
}

// The formed cup in thickness with a minimum wall of 1.5 mm: the elements
// thinner than it in magenta, outside the ramp, and under the colour bar
// the swatch with "Below 1.50 mm".
TEST_F(SceneBaseline, MinimumWall) {
    CCamera camera;
    camera.trackball.SetRotation(CCamera::GeneralView);
    CSessionView shown(cup);
    CHeadlessScene scene(shown, DisplaySettings(), ResultQuantity::Thickness, camera);
    ASSERT_TRUE(scene.IsValid()) << scene.Error();
    scene.SetConfiguration(configuration);
    scene.Scene().SetMinimumWall(0.0015);
    scene.Update();
    ASSERT_GT(scene.Presented().minimumWall.share.elements, 0);
    scene.Fit(320, 240);
    SceneImageOptions annotated;
    annotated.colourScale = true;
    EXPECT_TRUE(MatchesBaseline(scene.Render(320, 240, annotated), "minimum_wall"));
}

// The cup's gauge points seen from above: markers on the sheet coloured by
// simulated - measured thickness on the diverging ramp, the selected one
// ringed, and their own small scale at the lower left.
TEST_F(SceneBaseline, MeasuredPoints) {
    samplegen::CupOptions options;
    options.cellsX = 20;
    options.cellsY = 16;
    options.records = 3;
    const std::string gauge = folder->File("gauge.csv");
    ASSERT_TRUE(samplegen::WriteMeasurementFile(gauge, samplegen::CupGaugePoints(options)));
    ASSERT_TRUE(cup->ShowRecord(3));
    MeasuredPoints read;
    read.path = gauge;
    read.file = ReadMeasurementFile(gauge, LengthUnit::Millimetre);
    ASSERT_FALSE(read.file.error);
    cup->SetMeasured(CompareMeasuredPoints(read, *cup->Sheet(), 3));
    cup->SelectPoint(12);
    SceneImageOptions annotated;
    annotated.colourScale = true;
    const QImage image =
        Draw(*cup, DisplaySettings(), ResultQuantity::None, CCamera::XYView, &annotated, 320, 240);
    cup->SetMeasured(nullptr);
    cup->SelectPoint(-1);
    EXPECT_TRUE(MatchesBaseline(image, "measured"));
}

// Four quarters: the sheet in its own colour without a scale on one
// background colour; the sheet hidden on the four-corner background, the
// tools alone; the cup seen from below, its tools in front of it; and a
// background layout the settings do not know, drawn as the gradient.
TEST_F(SceneBaseline, BackgroundsAndHiddenSheet) {
    DisplaySettings settings;
    settings.sheetOpacity = 1.0;
    settings.sheetDisplayMode = SheetDisplayMode::ElementsAndEdges;
    settings.sheetColour = Colour(140, 60, 20);
    settings.backgroundScheme = 0;
    settings.backgroundColour = Colour(20, 40, 60);
    QImage quarters(Width, Height, QImage::Format_RGB32);
    QPainter painter(&quarters);
    painter.drawImage(
        0, 0, Draw(*cup, settings, ResultQuantity::None, CCamera::XYView, nullptr, Width / 2, Height / 2));
    settings.sheetShown = 0;
    settings.backgroundScheme = 2;
    settings.backgroundCorners = {Colour(250, 250, 250), Colour(255, 0, 128), Colour(0, 200, 60),
                                  Colour(90, 20, 250)};
    painter.drawImage(
        Width / 2, 0,
        Draw(*cup, settings, ResultQuantity::Thickness, CCamera::XYView, nullptr, Width / 2, Height / 2));
    settings.sheetShown = 1;
    settings.backgroundScheme = 1;
    for (ToolDisplay& tool : settings.tools)
        tool.opacity = 1.0;
    const Quaternion fromBelow{0.70710677f, 0.70710677f, 0, 0};
    painter.drawImage(
        0, Height / 2,
        Draw(*cup, settings, ResultQuantity::Thickness, fromBelow, nullptr, Width / 2, Height / 2));
    settings.backgroundScheme = 5;
    painter.drawImage(Width / 2, Height / 2,
                      Draw(*cup, settings, ResultQuantity::Thickness, CCamera::GeneralView, nullptr,
                           Width / 2, Height / 2));
    painter.end();
    EXPECT_TRUE(MatchesBaseline(quarters, "backgrounds"));
}

// A sheet symmetric about x = 0 and y = 0, mesh and thickness alike, seen
// from straight above, gives a picture symmetric both ways.
TEST_F(SceneBaseline, ASymmetricSheetGivesASymmetricPicture) {
    FixtureOptions options;
    options.records = 1;
    options.cellsX = 8;
    options.cellsY = 6;
    options.sheet = FixtureSheet::MirroredGrid;
    CProjectFixture fixture(options);
    samplegen::RecordData record = fixture.Record(0);
    for (samplegen::RecordElement& element : record.elements) {
        double x = 0, y = 0;
        for (int32_t node : element.nodes) {
            x += record.reference[static_cast<size_t>(node - 1)].x / 3;
            y += record.reference[static_cast<size_t>(node - 1)].y / 3;
        }
        element.initialThickness = static_cast<float>(0.001 + 0.1 * x * x + 0.3 * y * y);
    }
    ASSERT_TRUE(samplegen::WriteRecordFile(samplegen::RecordFileName(fixture.ProjectPath(), 0), record));
    CSession project;
    ASSERT_TRUE(project.Open(fixture.ProjectPath(), nullptr));
    DisplaySettings settings;
    settings.backgroundScheme = 0;
    settings.sheetOpacity = 1.0;
    settings.sheetDisplayMode = SheetDisplayMode::ElementsAndEdges;
    for (ToolDisplay& tool : settings.tools)
        tool.shown = 0;
    // Odd sizes, so that the lines along the middle have a middle pixel row
    // and column to fall on.
    const int w = Width + 1, h = Height + 1;
    const QImage image = Draw(project, settings, ResultQuantity::Thickness, CCamera::XYView, nullptr, w, h)
                             .convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(image.isNull());
    // Not one colour: the thickness grows from the middle.
    EXPECT_GT(Compare(image.copy(w / 2 - 2, h / 2 - 2, 4, 4), image.copy(w / 2 - 2, h / 8, 4, 4)).differing,
              0);
    const int allowed = static_cast<int>(MaxDifferingShare * w * h);
    EXPECT_LE(Compare(image, image.mirrored(true, false)).differing, allowed) << "left and right";
    EXPECT_LE(Compare(image, image.mirrored(false, true)).differing, allowed) << "top and bottom";
}

} // namespace

// With no display at all, as the batch tool draws; the application only
// serves the annotations' fonts.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication application(argc, argv);
    // The application takes the number format from the environment; files
    // are read in the "C" locale.
    std::setlocale(LC_NUMERIC, "C");
    return RUN_ALL_TESTS();
}
