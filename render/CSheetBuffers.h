// The sheet of a scene: the mesh's element buffers, built once per mesh, the
// record's node positions, normals and colours, the node dots and the cut
// line, drawn in two passes of faces, and sent for picking.
#pragma once

#include "config/DisplaySettings.h"
#include "model/CAbscisse.h"
#include "render/FrameState.h"
#include "scale/SheetColouring.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace quillmere {

class COverlayLists;
class CSheetMesh;
class CSheetProfile;
struct Presentation;

class CSheetBuffers {
public:
    // Rebuilds the sheet lists (filled, edges, dots, pick) from the sheet,
    // coloured as shown presents it: its quantity's values or their
    // differences to its comparison's reference (prepared for the sheet); a
    // null sheet empties them.
    void BuildSheetLists(const CSheetProfile* sheet, const DisplaySettings& settings,
                         const Presentation& shown);
    // Rebuilds the cut-line list from the pieces of a cut (none for null).
    void BuildCutList(const CCutSegments* cut);
    // The sheet with its dots, cut line and cut mark.
    void DrawSheet(const FrameState& frame, const DisplaySettings& settings, const COverlayLists& overlays);
    // Draws for selection, with the current matrices, the sheet elements
    // that may meet the selection region, element i named i, in order.
    void DrawSheetPick() const;
    bool HasSheet() const { return sheet != nullptr; }
    // Unique edges drawn while dragging a large sheet (pairs of node numbers).
    size_t DragEdgeCount();
    // The elements drawn in the minimum wall's colour.
    size_t BelowWallCount() const { return wall.below.size() / 3; }
    // How often the sheet's buffers were built.
    int SheetBuilds() const { return sheetBuilds; }
    // Deletes the lists and buffers of the current context.
    void Release();

private:
    int sheetBuilds = 0;
    // The sheet's arrays of the current record, bound for drawing.
    void BindSheetArrays(bool withColours) const;
    void DrawSheetTriangles(bool withColours) const;
    void DrawSheetEdges() const;
    void DrawDragWireframe();
    void BuildMesh(const CSheetProfile& sheet);
    void BuildWallLists(const CSheetProfile& sheet, const DisplaySettings& settings, double wall);

    // What depends on the mesh only: built once per mesh, kept across
    // records.
    struct Mesh {
        std::weak_ptr<const CSheetMesh> source;
        int elements = 0;
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
    // With a minimum wall: the record's triangles above it and those below,
    // drawn in its colour.
    struct WallLists {
        std::vector<unsigned> above, below;
        unsigned aboveBuffer = 0, belowBuffer = 0;
        std::array<float, 4> colour{};
    } wall;
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
    void BuildTriangleCrosses();

    // The dots of the sheet's nodes, built for the first frame that shows
    // them after the sheet lists.
    void BuildDots(const DisplaySettings& settings);
    bool dotsBuilt = false;
    unsigned sheetDots = 0, cutLine = 0;
};

} // namespace quillmere
