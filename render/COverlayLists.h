// The overlays of a scene in window pixels: the cut mark, the zoom box, the
// measurement's markers and line and the pick highlight, one list each.
#pragma once

#include "render/FrameState.h"
#include "scene/Overlay.h"

#include <array>
#include <cstddef>
#include <vector>

namespace quillmere {

class COverlayLists {
public:
    // Replaces an overlay list: an outline of window points (5 points: a
    // closed quadrilateral, filled for the pick highlight), or empty to clear.
    void BuildOverlay(Overlay overlay, const std::vector<std::array<int, 2>>& points);
    // The marker of a measurement point: an ellipse in the given rectangle.
    void BuildMarker(Overlay overlay, int left, int top, int right, int bottom);
    // The cut-mark cross-hair centred on a window point, arms reaching
    // reach pixels.
    void BuildCrossHair(int x, int y, int reach);
    bool HasOverlay(Overlay overlay) const;
    // Draws an overlay over the frame, in window pixels.
    void DrawOverlay(Overlay overlay, const FrameState& frame) const;
    // Deletes the lists of the current context.
    void Release();

private:
    std::array<unsigned, static_cast<size_t>(Overlay::Count)> overlays{};
    std::array<bool, static_cast<size_t>(Overlay::Count)> overlayShown{};
};

} // namespace quillmere
