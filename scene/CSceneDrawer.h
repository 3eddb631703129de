// One frame of a 3D view drawn with OpenGL 1.1: the lists and arrays of the
// sheet, the tools, the pick lists and the overlays, and the frame that calls
// them. The drawer works in whatever context is current, so the same lists
// serve the window and off-screen frames of a context that shares them.
#pragma once

#include "config/DisplaySettings.h"
#include "scale/SheetColouring.h"
#include "scene/CCamera.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class CMoldProfile;
class CSheetProfile;
class ColourRamp;
class ScaleLimits;
template <typename T> class CDataBase;

// Overlay lists in window pixels.
enum class Overlay { CutMark, ZoomBox, FirstPoint, SecondPoint, MeasurementLine, PickHighlight, Count };

// What one frame needs beyond the lists.
struct FrameState {
    int width = 1, height = 1; // viewport: client or off-screen size
    bool motion = false;       // a drag is in progress
    bool clipActive = false;
    double clipPlanes[4][4] = {};
    bool zoomBoxMode = false;
    int sheetElementCount = 0;
    // The part of the frame drawn into the target, lower-left pixel first
    // (a tile of an image larger than the framebuffer); zero width: whole.
    int tileLeft = 0, tileBottom = 0, tileWidth = 0, tileHeight = 0;
};

// The names the tool pick list gives: the faces of the shown tools in slot
// order, every face counted whether it is drawn or not.
struct ToolNameRange {
    int slot = -1;
    int first = 0; // name of the tool's face 0
    int count = 0; // faces of the tool
};

class CSceneDrawer {
public:
    CSceneDrawer() = default;
    CSceneDrawer(const CSceneDrawer&) = delete;
    CSceneDrawer& operator=(const CSceneDrawer&) = delete;

    // Context state of a view: reversed depth range, depth test, point
    // smoothing and the lighting.
    static void InitialiseContext();
    static void SetupLighting();

    // Rebuilds the sheet lists (filled, edges, dots, cut line, pick) from the
    // sheet in the given quantity; a null sheet empties them.
    void BuildSheetLists(const CSheetProfile* sheet, const DisplaySettings& settings, int quantity,
                         const ScaleLimits& limits, const ColourRamp& ramp);
    // Rebuilds the cut-line list alone (a new cut of the same record).
    void BuildCutList(const CSheetProfile* sheet);
    // Refills the arrays of the ten tool slots from the tools' faces.
    void BuildToolLists(const CDataBase<CMoldProfile>* tools, const DisplaySettings& settings);
    // Replaces an overlay list: an outline of window points (5 points: a
    // closed quadrilateral, filled for the pick highlight), or empty to clear.
    void BuildOverlay(Overlay overlay, const std::vector<std::array<int, 2>>& points);
    // The marker of a measurement point: an ellipse in the given rectangle.
    void BuildMarker(Overlay overlay, int left, int top, int right, int bottom);
    // The cut-mark cross-hair centred on a window point, arms reaching
    // reach pixels.
    void BuildCrossHair(int x, int y, int reach);
    bool HasOverlay(Overlay overlay) const;

    // Draws one frame with the camera of the view.
    void DrawFrame(CCamera& camera, const FrameState& frame, const DisplaySettings& settings);

    // Fit into window in the current context: the model box of the shown
    // sheet and tools gives the model size and centre, then one feedback
    // pass of the frame gives the zoom and the pan.
    void Fit(CCamera& camera, const FrameState& frame, const DisplaySettings& settings,
             const CSheetProfile* sheet, const CDataBase<CMoldProfile>* tools);

    // Sets up the projection and model-view of the displayed scene.
    static void ApplyDisplayCamera(CCamera& camera, const FrameState& frame);
    // The picking and unprojection camera (zoom in the model-view).
    static void ApplyPickingCamera(const CCamera& camera, const FrameState& frame);

    // Draws for selection, with the current matrices, the sheet elements
    // that may meet the selection region, element i named i, in order.
    void DrawSheetPick() const;
    // Draws for selection the faces of the shown tools, face f of a range
    // named first + f.
    void DrawToolPick() const;
    const std::vector<ToolNameRange>& ToolNames() const { return toolNames; }
    bool HasSheet() const { return sheet != nullptr; }
    // Unique edges drawn while dragging a large sheet (pairs of node numbers).
    size_t DragEdgeCount();

    // How often the sheet's buffers were built (the tests count them).
    int SheetBuilds() const { return sheetBuilds; }

    // Deletes every list of the current context's share group.
    void ReleaseLists();

    // The view's polyline of model points, drawn when it holds points.
    std::vector<double> polyline;

private:
    int sheetBuilds = 0;
    void DrawBackground(const FrameState& frame, const DisplaySettings& settings) const;
    void DrawTools(const FrameState& frame, const DisplaySettings& settings) const;
    void DrawTool(int slot) const;
    void DrawSheet(const FrameState& frame, const DisplaySettings& settings);
    void DrawOverlay(Overlay overlay, const FrameState& frame) const;
    static unsigned Replace(unsigned& list);
    // The sheet's arrays of the current record, bound for drawing.
    void BindSheetArrays(bool withColours) const;
    static void UnbindArrays();
    void DrawSheetTriangles(bool withColours) const;
    void DrawSheetEdges() const;
    void DrawDragWireframe();
    void BuildMesh(const CSheetProfile& sheet);

    // What depends on the mesh only: built once per mesh, kept across
    // records.
    struct Mesh {
        const CSheetProfile* sheet = nullptr;
        int elements = 0, nodes = 0;
        uint64_t connectivity = 0;     // a digest of the node numbers
        unsigned triangles = 0;        // element buffer of the triangles
        std::vector<unsigned> corners; // its node numbers, kept for picking
        // The triangles' batches: index counts and byte offsets.
        std::vector<int> batchCounts;
        std::vector<const void*> batchOffsets;
        unsigned wire = 0; // element buffer of the drag wireframe
        size_t wireIndices = 0;
        bool wireBuilt = false;
    } mesh;
    // The current record's node arrays, indexed by node number.
    unsigned positions = 0, normals = 0, colours = 0;
    // Their contents, kept from record to record for their storage.
    struct NodeArrays {
        std::vector<float> xyz, normal;
        std::vector<uint8_t> rgba;
        NodeColouring colouring;
    } arrays;
    const CSheetProfile* sheet = nullptr;
    bool coloured = false;
    std::array<float, 4> uniformColour{};
    int edgeColour = 0;
    double edgeAlpha = 1;

    // The faces of the sheet that can show in the frame: bit 0 front, bit 1
    // back.
    int SheetFacing();
    struct FacingKey {
        std::array<double, 12> rows{};
        int width = 0, height = 0, builds = 0;
        bool operator==(const FacingKey& other) const {
            return rows == other.rows && width == other.width && height == other.height &&
                   builds == other.builds;
        }
    } facingKey;
    bool facingKnown = false;
    int facing = 3;
    // Per triangle of the sheet lists built crossBuilds-th: the model-space
    // edge cross product and the largest edge component.
    std::vector<float> cross;
    int crossBuilds = -1;

    // The dots of the sheet's nodes, built for the first frame that shows
    // them after the sheet lists.
    void BuildDots(const DisplaySettings& settings);
    bool dotsBuilt = false;
    unsigned sheetDots = 0, cutLine = 0;
    // A tool's faces as drawn: their vertices in face order, each with its
    // face's normal, drawn in runs of triangles and of polygons. A record
    // moves the faces and keeps their shape: the positions are refilled, the
    // rest is rebuilt only when the shape changes.
    struct ToolArrays {
        std::vector<float> xyz, normal;
        std::vector<int> faceFirst; // per face and one past: its first vertex
        // Triangles: count vertices from vertex first; polygons: count
        // polygons from entry first of polygonFirsts and polygonCounts.
        struct Run {
            unsigned mode;
            int first, count;
        };
        std::vector<Run> runs;
        std::vector<int> polygonFirsts, polygonCounts;
        unsigned positions = 0, normals = 0;
    };
    static bool RefillTool(ToolArrays& drawn, const CMoldProfile& tool);
    static void RebuildTool(ToolArrays& drawn, const CMoldProfile& tool);
    std::array<ToolArrays, kToolSlots> toolArrays{};
    bool toolsBuilt = false;
    std::vector<ToolNameRange> toolNames;
    std::array<unsigned, static_cast<size_t>(Overlay::Count)> overlays{};
    std::array<bool, static_cast<size_t>(Overlay::Count)> overlayShown{};
};
