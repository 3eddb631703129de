// What the tests of a real 3D view share: the grid sheet in front of two
// section tools, pixel comparisons, and views of the project opened under a
// virtual X server. On a failure the frames of the test are saved next to
// the test program.
#pragma once

#include "model/CProjectProfile.h"
#include "session/CSession.h"
#include "tests/model/ProjectFixture.h"
#include "ui/scene/CSceneCommands.h"
#include "ui/scene/CSceneRender.h"

#include <QtTest>

#include <cmath>
#include <map>
#include <memory>

using namespace quillmere;

constexpr int ViewWidth = 400, ViewHeight = 300;

// The grid sheet: 4 x 8 cells of 25 mm over x in [-0.05, 0.05] and y in
// [-0.1, 0.1] at z = 0, two elements per cell; the cells with j < 4 (y < 0)
// are 1 mm thick, the others 3 mm.
constexpr int CellsX = 4, CellsY = 8;

inline int ElementOfCell(int i, int j, int half = 0) {
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
inline int SettingsColour(const Rgb& c) {
    return c.r | (c.g << 8) | (c.b << 16);
}

inline Rgb FromSettings(int colour) {
    return {colour & 0xff, (colour >> 8) & 0xff, (colour >> 16) & 0xff};
}

const Rgb Background{20, 40, 60};
// The ends of the colour ramp: the thinnest and the thickest sheet.
const Rgb RampRed{255, 0, 0}, RampBlue{15, 15, 240};

// The colour bytes the frame holds at a pixel, whatever the image format.
inline Rgb PixelAt(const QImage& image, QPoint p) {
    const QRgb value = image.pixel(p);
    return {qRed(value), qGreen(value), qBlue(value)};
}

inline bool Near(const Rgb& a, const Rgb& b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

inline QByteArray Describe(const Rgb& c) {
    return QByteArray("(") + QByteArray::number(c.r) + ", " + QByteArray::number(c.g) + ", " +
           QByteArray::number(c.b) + ")";
}

inline QByteArray Where(QPoint p) {
    return " at (" + QByteArray::number(p.x()) + ", " + QByteArray::number(p.y()) + ")";
}

// The XY view turned half round about the window's diagonal: model y still
// runs to the right, model x now upwards, and the tools stand in front of the
// sheet.
const Quaternion FromBehind{0.70710677f, 0.70710677f, 0, 0};

inline QPoint Pixel(const QPointF& window) {
    return {static_cast<int>(std::floor(window.x())), static_cast<int>(std::floor(window.y()))};
}

// Pixels of two frames of the same size that differ by more than 2 in a
// channel; the worst difference and where it is.
struct FrameDifference {
    int differing = 0, worst = 0;
    QPoint worstAt;
};

inline FrameDifference Compare(const QImage& a, const QImage& b) {
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

inline QByteArray Describe(const FrameDifference& d) {
    return QByteArray::number(d.differing) + " pixels differ, the most by " + QByteArray::number(d.worst) +
           Where(d.worstAt);
}

// The fixtures and views of a test class.
class SceneViewTest : public QObject {
protected:
    // Opens the projects (initTestCase).
    void OpenProjects();
    // Saves the frames kept by a failed test (cleanup).
    void SaveKeptFrames();
    // Settings of an opaque scene on one background colour.
    static DisplaySettings OpaqueSettings();
    // A shown view of the project (or of shown) in the XY view, in the
    // given quantity.
    std::unique_ptr<CSceneRender> OpenView(const DisplaySettings& settings, ResultQuantity quantity,
                                           CSession* shown = nullptr);
    // The view's frame, kept for the failure report under the given name.
    QImage Frame(CSceneRender& view, const QString& name = QStringLiteral("window"));
    void Keep(const QImage& image, const QString& name) { kept[name] = image; }
    // Window position of a model point and of an element's centroid.
    QPointF CentreOf(CSceneRender& view, int element) const;
    CCoordinate Centroid(int element) const;
    CCoordinate Node(int node) const { return project.Sheet()->CurrentCoordinate(node); }

    std::unique_ptr<CRecordingMessages> messages;
    std::unique_ptr<CProjectFixture> fixture;
    CSession session;
    CProjectProfile& project = session.Project();
    // Ten plates of 30 mm x 30 mm at z = -10 mm, one in every tool slot, whose
    // tool lists others are rebuilt from.
    std::unique_ptr<CProjectFixture> tenToolsFixture;
    CSession tenToolsSession;
    CProjectProfile& tenTools = tenToolsSession.Project();
    std::map<QString, QImage> kept;
};

// The picks and the mouse gestures of a view.
int RunScenePickTest(int argc, char** argv);

// Whether a test class runs with these arguments: with no test function
// named, or with one of its own.
inline bool RunsHere(const QObject& test, int argc, char** argv) {
    bool named = false;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-')
            return true; // options: every class runs with them
        const QByteArray function = QByteArray(argv[i]).split(':').front();
        if (test.metaObject()->indexOfMethod(function + "()") >= 0)
            return true;
        named = true;
    }
    return !named;
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
