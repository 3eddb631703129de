// The scene image: a 3D frame at any size, drawn in tiles when it is larger
// than the driver's framebuffer, with its caption, product name, frame and
// optional colour scale. Printing and "Save to bitmap" both use it.
#pragma once

#include "measure/MeasuredPoints.h"
#include "scale/ColourRamp.h"
#include "scale/ScaleLabels.h"

#include <QImage>

#include <array>
#include <functional>
#include <string>

namespace quillmere {

class CConfiguration;
class CScene;

// The largest image size either way.
constexpr int MaxSceneImageSize = 20000;

// Why a scene image is null: the view has no OpenGL context, or the
// off-screen frame could not be set up at the size asked for.
enum class SceneImageFault { None, Context, PixelFormat };

// Shows the message of a fault with an error icon: "Pixel format error."
// for the frame, "Graphical initilaization failed." otherwise.
void ReportSceneImageFault(SceneImageFault fault);

// Tests stand a fault in for a driver that fails (None gives the real
// drawing back).
void ForceSceneImageFault(SceneImageFault fault);

struct SceneImageOptions {
    bool caption = true;       // "%s: Rec. %d / %d."
    bool whiteOnBlack = false; // caption colours
    bool colourScale = false;  // the bar and its five labels
};

// What the annotations show, gathered from a view or a headless scene.
struct SceneAnnotations {
    std::string title; // the document's title
    int record = 0, recordCount = 0;
    // The colour bar's bands and the labels beside it, top (the maximum)
    // first, as the scene presents its quantity.
    std::array<RgbColour, ColourRamp::Size> bands{};
    std::array<std::string, ScaleLabelCount> scaleLabels;
    // The minimum wall beside a swatch of its colour under the bar, "Below
    // 0.80 mm"; "" for none.
    std::string minimumWall;
    // The scale of the measured points' markers, drawn small at the lower
    // left with the colour scale; none when measured is false.
    bool measured = false;
    MeasurementScale measurementScale;
};

// "%s: Rec. %d / %d." filled in.
std::string SceneCaption(const std::string& title, int record, int recordCount);

// Draws the caption, the product name, the frame and the colour scale onto
// image.
void AnnotateSceneImage(QImage& image, const SceneAnnotations& annotations, const SceneImageOptions& options);

// One tile of a w x h frame: the part whose lower-left pixel is (left,
// bottom) counted from the frame's lower-left corner.
struct FrameTile {
    int left = 0, bottom = 0, width = 0, height = 0;
};

// Puts a w x h frame together from tiles of at most limit pixels each way;
// renderTile returns the top-down image of one tile (null on failure, which
// fails the whole).
QImage RenderInTiles(int w, int h, int limit, const std::function<QImage(const FrameTile&)>& renderTile);

// The framebuffer limit tiles are cut by: the driver's, or the one a test
// forced (0 gives the driver's back).
int ForcedTileLimit();
void ForceTileLimit(int limit);

// The colour bar of a presentation's bands (top first), w x h, 33 bands of
// equal height as in the scale panel.
QImage SceneColourBar(const std::array<RgbColour, ColourRamp::Size>& bands, int w, int h);

// The scene's frame of w x h pixels drawn off-screen, in tiles when larger
// than its framebuffer (or the forced tile limit); null when the scene has
// no off-screen frame or the frame cannot be drawn.
QImage RenderSceneFrame(CScene& scene, int w, int h);

// What the annotations of the scene show at record: its document's title and
// records (both sides' names while it compares), and the bar and labels of
// its presentation as last made (labels in the scene's units; none without),
// and the scale of its measured points.
SceneAnnotations SceneAnnotationsOf(const CScene& scene, int record);

// The scene image of a scene showing record: its frame drawn off-screen
// (sharing a window's lists), with the annotations; the colour scale is the
// scene's presentation brought up to date, its texts in the configuration's
// units. Null, with fault set, when the window has no context or the frame
// could not be drawn.
QImage SceneImage(CScene& scene, int record, int w, int h, const SceneImageOptions& options,
                  const CConfiguration& configuration, SceneImageFault* fault = nullptr);

} // namespace quillmere
