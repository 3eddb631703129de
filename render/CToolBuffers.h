// The tools of a scene: the faces of the ten tool slots in buffer objects,
// drawn lit, as wireframes or both, and sent for picking.
#pragma once

#include "config/DisplaySettings.h"
#include "model/CMoldProfile.h"
#include "render/FrameState.h"

#include <array>
#include <vector>

namespace quillmere {

// The names the tool pick list gives: the faces of the shown tools in slot
// order, every face counted whether it is drawn or not.
struct ToolNameRange {
    int slot = -1;
    int first = 0; // name of the tool's face 0
    int count = 0; // faces of the tool
};

class CToolBuffers {
public:
    // Refills the arrays of the ten tool slots from the tools' faces.
    void BuildToolLists(const CToolList* tools, const DisplaySettings& settings);
    // The shown tools, opaque ones first.
    void DrawTools(const FrameState& frame, const DisplaySettings& settings) const;
    // Draws for selection the faces of the shown tools, face f of a range
    // named first + f.
    void DrawToolPick() const;
    const std::vector<ToolNameRange>& ToolNames() const { return toolNames; }
    // Deletes the buffers of the current context.
    void Release();

private:
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
    void DrawTool(int slot) const;

    std::array<ToolArrays, kToolSlots> toolArrays{};
    bool toolsBuilt = false;
    std::vector<ToolNameRange> toolNames;
};

} // namespace quillmere
