// The orthographic camera of a 3D view: zoom, pan, the model's size and
// centre, and the trackball's rotation. The arithmetic lives here so that it
// can be checked without a window; the view hands the results to OpenGL.
#pragma once

#include "model/Vectors.h"
#include "scene/CTrackball.h"

#include <array>

namespace quillmere {

// The orthographic box of one projection set-up, and the world size the
// window then shows.
struct OrthoBox {
    double left, right, bottom, top, nearPlane, farPlane;
    float visibleWidth, visibleHeight;
};

// A rectangle in window pixels (feedback or viewport).
struct WindowRectangle {
    double xMin, xMax, yMin, yMax;
};

class CCamera {
public:
    static const Quaternion XYView, XZView, YZView, GeneralView;

    float zoom = 1.0f;
    float panX = 0, panY = 0;
    double modelSize = 1.0;
    float centre[3] = {0, 0, 0};
    float visibleWidth = 0, visibleHeight = 0;
    CTrackball trackball;

    // The projection of the displayed scene for a w x h viewport (the zoom
    // is applied by glScalef before it); remembers the visible size.
    OrthoBox DisplayProjection(int w, int h);
    // The same camera as used for picking and unprojection: the zoom goes
    // into the model-view and the depth range is wider.
    OrthoBox PickingProjection(int w, int h) const;

    // Back to no zoom and no pan, before the fit.
    void ResetZoom() {
        zoom = 1.0f;
        panX = panY = 0;
    }
    void ZoomIn() { zoom *= 1.1111112f; }
    void ZoomOut() { zoom *= 0.9f; }
    // A turn of the wheel: towards the user (negative) zooms in.
    void Wheel(int delta) { delta < 0 ? ZoomIn() : ZoomOut(); }
    // Shift+Ctrl drag: one factor per pixel moved.
    void DragZoom(int dy);
    // Pan by a pointer movement in a w x h window.
    void Pan(int dx, int dy, int w, int h);
    // Zooms into a box of window pixels (corners ordered); a box without
    // extent is ignored and gives false.
    bool ZoomIntoBox(int x0, int y0, int x1, int y1, int w, int h);

    // The model box of a fit: sets the model size and centre.
    void FitBox(const double box[6]);
    // The zoom and pan of a fit from the window rectangle that the feedback
    // pass covered (count values written, negative on overflow) in the
    // viewport (x, y, w, h).
    void FitToFeedback(int count, const WindowRectangle& covered, const int viewport[4]);

    // The picking camera's matrices as OpenGL builds them (single
    // precision), in OpenGL column order, for a w x h viewport.
    void PickingMatrices(int w, int h, double modelView[16], double projection[16]) const;
    // The window position (pixels, y downwards) and window depth of a model
    // point, with the picking camera: what gluProject gives.
    std::array<double, 3> ToWindow(const CCoordinate& point, int w, int h) const;
    // The model point under window point (x, y) (y downwards) at a window
    // depth: what gluUnProject gives.
    CCoordinate FromWindow(double x, double y, double depth, int w, int h) const;
};

} // namespace quillmere
