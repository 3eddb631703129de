#include "render/COverlayLists.h"

#include "render/DrawingBasics.h"

#include <GL/gl.h>
#include <cmath>

namespace quillmere {

void COverlayLists::BuildOverlay(Overlay overlay, const std::vector<std::array<int, 2>>& points) {
    unsigned& list = overlays[static_cast<size_t>(overlay)];
    ReplaceList(list);
    overlayShown[static_cast<size_t>(overlay)] = !points.empty();
    glNewList(list, GL_COMPILE);
    if (!points.empty()) {
        switch (overlay) {
        case Overlay::ZoomBox:
            glLineWidth(1.0f);
            glColor3f(0, 0, 0);
            glBegin(GL_LINE_LOOP);
            break;
        case Overlay::MeasurementLine:
            glLineWidth(2.0f);
            glColor3f(0, 0, 0);
            glBegin(GL_LINES);
            break;
        case Overlay::PickHighlight:
            glColor3f(1, 1, 0);
            if (points.size() == 5) {
                glLineWidth(1.0f);
                glBegin(GL_POLYGON);
            } else {
                glLineWidth(3.0f);
                glBegin(GL_LINE_STRIP);
            }
            break;
        default:
            glLineWidth(1.0f);
            glColor3f(0, 0.2f, 0.2f);
            glBegin(GL_LINE_LOOP);
            break;
        }
        for (const auto& point : points)
            glVertex2i(point[0], point[1]);
        glEnd();
    }
    glEndList();
}

void COverlayLists::BuildMarker(Overlay overlay, int left, int top, int right, int bottom) {
    unsigned& list = overlays[static_cast<size_t>(overlay)];
    ReplaceList(list);
    overlayShown[static_cast<size_t>(overlay)] = true;
    const double cx = (left + right) / 2.0, cy = (top + bottom) / 2.0;
    const double rx = (right - left) / 2.0, ry = (bottom - top) / 2.0;
    glNewList(list, GL_COMPILE);
    for (GLenum mode : {GLenum(GL_POLYGON), GLenum(GL_LINE_LOOP)}) {
        if (mode == GL_POLYGON)
            glColor3f(0, 1, 0);
        else
            glColor3f(0, 0, 0);
        glLineWidth(1.0f);
        glBegin(mode);
        for (int k = 0; k < 360; ++k) {
            const double angle = k * 0.017453277;
            glVertex2d(cx + rx * std::cos(angle), cy + ry * std::sin(angle));
        }
        glEnd();
    }
    glEndList();
}

void COverlayLists::BuildCrossHair(int x, int y, int reach) {
    // One closed outline of a plus sign with arms 2 pixels wide.
    const std::vector<std::array<int, 2>> outline = {{x - 1, y - reach}, {x + 1, y - reach}, {x + 1, y - 1},
                                                     {x + reach, y - 1}, {x + reach, y + 1}, {x + 1, y + 1},
                                                     {x + 1, y + reach}, {x - 1, y + reach}, {x - 1, y + 1},
                                                     {x - reach, y + 1}, {x - reach, y - 1}, {x - 1, y - 1}};
    BuildOverlay(Overlay::CutMark, outline);
}

bool COverlayLists::HasOverlay(Overlay overlay) const {
    return overlayShown[static_cast<size_t>(overlay)];
}

void COverlayLists::DrawOverlay(Overlay overlay, const FrameState& frame) const {
    glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    for (int plane = 0; plane < 4; ++plane)
        glDisable(GL_CLIP_PLANE0 + static_cast<GLenum>(plane));
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    ApplyTileWindow(frame);
    glOrtho(0, frame.width, frame.height, 0, -2, 0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glCallList(overlays[static_cast<size_t>(overlay)]);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

void COverlayLists::Release() {
    for (unsigned& list : overlays)
        DeleteList(list);
    overlayShown.fill(false);
}

} // namespace quillmere
