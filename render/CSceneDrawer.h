// One frame of a 3D view drawn with OpenGL 1.1: the sheet's and the tools'
// buffers, the pick lists and the overlays, and the frame that draws them.
// The drawer works in whatever context is current, so the same lists serve
// the window and off-screen frames of a context that shares them.
#pragma once

#include "config/DisplaySettings.h"
#include "measure/MeasuredPoints.h"
#include "render/COverlayLists.h"
#include "render/CSheetBuffers.h"
#include "render/CToolBuffers.h"
#include "render/FrameState.h"
#include "scene/CCamera.h"

#include <array>
#include <cstddef>
#include <utility>
#include <vector>

namespace quillmere {

class CSheetProfile;
struct Presentation;

class CSceneDrawer {
public:
    CSceneDrawer() = default;
    CSceneDrawer(const CSceneDrawer&) = delete;
    CSceneDrawer& operator=(const CSceneDrawer&) = delete;

    // Context state of a view: reversed depth range, depth test, point
    // smoothing and the lighting.
    static void InitialiseContext();
    static void SetupLighting();

    // Rebuilds the sheet lists (filled, edges, dots, pick) from the sheet,
    // coloured as shown presents it; a null sheet empties them.
    void BuildSheetLists(const CSheetProfile* sheet, const DisplaySettings& settings,
                         const Presentation& shown) {
        sheetBuffers.BuildSheetLists(sheet, settings, shown);
    }
    // Rebuilds the cut-line list from the pieces of a cut (none for null).
    void BuildCutList(const CCutSegments* cut) { sheetBuffers.BuildCutList(cut); }
    // Refills the arrays of the ten tool slots from the tools' faces.
    void BuildToolLists(const CToolList* tools, const DisplaySettings& settings) {
        toolBuffers.BuildToolLists(tools, settings);
    }
    // Replaces an overlay list: an outline of window points (5 points: a
    // closed quadrilateral, filled for the pick highlight), or empty to clear.
    void BuildOverlay(Overlay overlay, const std::vector<std::array<int, 2>>& points) {
        overlays.BuildOverlay(overlay, points);
    }
    // The marker of a measurement point: an ellipse in the given rectangle.
    void BuildMarker(Overlay overlay, int left, int top, int right, int bottom) {
        overlays.BuildMarker(overlay, left, top, right, bottom);
    }
    // The cut-mark cross-hair centred on a window point, arms reaching
    // reach pixels.
    void BuildCrossHair(int x, int y, int reach) { overlays.BuildCrossHair(x, y, reach); }
    bool HasOverlay(Overlay overlay) const { return overlays.HasOverlay(overlay); }
    // The markers of measured points on the sheet, the selected one (an
    // index, -1 for none) larger and ringed in white. Few enough to be drawn
    // as they are, in any context.
    void SetMeasurementMarkers(std::vector<MeasurementMarker> markers, int selected) {
        measurementMarkers = std::move(markers);
        selectedMarker = selected;
    }
    const std::vector<MeasurementMarker>& MeasurementMarkers() const { return measurementMarkers; }

    // Draws one frame with the camera of the view.
    void DrawFrame(CCamera& camera, const FrameState& frame, const DisplaySettings& settings);

    // Fit into window in the current context: the model box of the shown
    // sheet and tools gives the model size and centre, then one feedback
    // pass of the frame gives the zoom and the pan.
    void Fit(CCamera& camera, const FrameState& frame, const DisplaySettings& settings,
             const CSheetProfile* sheet, const CToolList* tools);

    // Sets up the projection and model-view of the displayed scene.
    static void ApplyDisplayCamera(CCamera& camera, const FrameState& frame);
    // The picking and unprojection camera (zoom in the model-view).
    static void ApplyPickingCamera(const CCamera& camera, const FrameState& frame);

    // Draws for selection, with the current matrices, the sheet elements
    // that may meet the selection region, element i named i, in order.
    void DrawSheetPick() const { sheetBuffers.DrawSheetPick(); }
    // Draws for selection the faces of the shown tools, face f of a range
    // named first + f.
    void DrawToolPick() const { toolBuffers.DrawToolPick(); }
    const std::vector<ToolNameRange>& ToolNames() const { return toolBuffers.ToolNames(); }
    bool HasSheet() const { return sheetBuffers.HasSheet(); }
    // Unique edges drawn while dragging a large sheet (pairs of node numbers).
    size_t DragEdgeCount() { return sheetBuffers.DragEdgeCount(); }
    // The elements drawn in the minimum wall's colour.
    size_t BelowWallCount() const { return sheetBuffers.BelowWallCount(); }

    // How often the sheet's buffers were built (the tests count them).
    int SheetBuilds() const { return sheetBuffers.SheetBuilds(); }

    // Deletes every list of the current context's share group.
    void ReleaseLists();

    // The view's polyline of model points, drawn when it holds points.
    std::vector<double> polyline;

private:
    void DrawBackground(const FrameState& frame, const DisplaySettings& settings) const;
    void DrawMeasurementMarkers(const FrameState& frame) const;

    CSheetBuffers sheetBuffers;
    CToolBuffers toolBuffers;
    COverlayLists overlays;
    std::vector<MeasurementMarker> measurementMarkers;
    int selectedMarker = -1;
};

} // namespace quillmere
