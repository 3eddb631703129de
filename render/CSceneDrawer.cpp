#include "render/CSceneDrawer.h"

#include "model/CMoldProfile.h"
#include "model/CSheetProfile.h"
#include "render/DrawingBasics.h"

#include <GL/gl.h>
#include <algorithm>
#include <cfloat>

namespace quillmere {

namespace {

constexpr GLsizei FeedbackValues = 1000000;

// The window rectangle covered by a feedback buffer; false when empty.
bool FeedbackRectangle(const std::vector<GLfloat>& values, GLint count, WindowRectangle& covered) {
    covered = {DBL_MAX, -DBL_MAX, DBL_MAX, -DBL_MAX};
    bool any = false;
    auto vertex = [&](GLint at) {
        // A corner that is not a number takes no room.
        if (!std::isfinite(values[static_cast<size_t>(at)]) ||
            !std::isfinite(values[static_cast<size_t>(at) + 1]))
            return;
        covered.xMin = std::min<double>(covered.xMin, values[static_cast<size_t>(at)]);
        covered.xMax = std::max<double>(covered.xMax, values[static_cast<size_t>(at)]);
        covered.yMin = std::min<double>(covered.yMin, values[static_cast<size_t>(at) + 1]);
        covered.yMax = std::max<double>(covered.yMax, values[static_cast<size_t>(at) + 1]);
        any = true;
    };
    GLint at = 0;
    while (at < count) {
        const GLint token = static_cast<GLint>(values[static_cast<size_t>(at++)]);
        int vertices = 0;
        switch (token) {
        case GL_POLYGON_TOKEN:
            vertices = at < count ? static_cast<int>(values[static_cast<size_t>(at++)]) : 0;
            break;
        case GL_POINT_TOKEN:
        case GL_BITMAP_TOKEN:
        case GL_DRAW_PIXEL_TOKEN:
        case GL_COPY_PIXEL_TOKEN:
            vertices = 1;
            break;
        case GL_LINE_TOKEN:
        case GL_LINE_RESET_TOKEN:
            vertices = 2;
            break;
        case GL_PASS_THROUGH_TOKEN:
            ++at;
            break;
        default:
            return any;
        }
        for (int k = 0; k < vertices && at + 3 <= count; ++k, at += 3)
            vertex(at);
    }
    return any;
}

// The model-view of both cameras: pan, trackball rotation about the centre,
// and the clip planes, which belong to the model.
void ApplyModelView(const CCamera& camera, const FrameState& frame, bool zoomInModelView) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (zoomInModelView)
        glScalef(camera.zoom, camera.zoom, camera.zoom);
    glTranslatef(camera.panX, camera.panY, 0);
    float rotation[16];
    camera.trackball.Matrix(rotation);
    glMultMatrixf(rotation);
    glTranslatef(-camera.centre[0], -camera.centre[1], -camera.centre[2]);
    if (frame.clipActive)
        for (int plane = 0; plane < 4; ++plane) {
            glClipPlane(GL_CLIP_PLANE0 + static_cast<GLenum>(plane), frame.clipPlanes[plane]);
            glEnable(GL_CLIP_PLANE0 + static_cast<GLenum>(plane));
        }
}

} // namespace

void CSceneDrawer::InitialiseContext() {
    glDepthRange(1.0, 0.0);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    // Points are smoothed where they are drawn (the dots, the markers): left
    // on, the flag sends every triangle of a software driver through its
    // slow path, where polygon offset and two-sided lighting cost as much
    // as the rest of the frame.
    glDisable(GL_POINT_SMOOTH);
    SetupLighting();
}

void CSceneDrawer::SetupLighting() {
    const GLfloat ambient[] = {0.2f, 0.2f, 0.2f, 1.0f};
    const GLfloat diffuse[] = {0.9f, 0.9f, 0.9f, 1.0f};
    const GLfloat position[] = {5.0f, 10.0f, 50.0f, 0.0f};
    const GLfloat modelAmbient[] = {0.9f, 0.9f, 0.9f, 1.0f};
    const GLfloat specular[] = {0.9f, 0.9f, 1.0f, 1.0f};
    const GLfloat white[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat materialAmbient[] = {0.1f, 0.1f, 0.1f, 1.0f};
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightf(GL_LIGHT0, GL_SPOT_EXPONENT, 1.0f);
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 90.0f);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, modelAmbient);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 128.0f);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, materialAmbient);
    glPopMatrix();
}

void CSceneDrawer::Fit(CCamera& camera, const FrameState& frame, const DisplaySettings& settings,
                       const CSheetProfile* shownSheet, const CToolList* tools) {
    camera.zoom = 1.0f;
    camera.panX = camera.panY = 0;
    double bounds[6] = {DBL_MAX, -DBL_MAX, DBL_MAX, -DBL_MAX, DBL_MAX, -DBL_MAX};
    bool any = false;
    auto include = [&](const std::array<double, 6>& other) {
        for (size_t axis = 0; axis < 3; ++axis) {
            bounds[2 * axis] = std::min(bounds[2 * axis], other[2 * axis]);
            bounds[2 * axis + 1] = std::max(bounds[2 * axis + 1], other[2 * axis + 1]);
        }
        any = true;
    };
    if (shownSheet && settings.sheetShown)
        include(shownSheet->BoundingBox());
    for (size_t slot = 0; tools && slot < kToolSlots && slot < tools->size(); ++slot)
        if (const CMoldProfile* tool = (*tools)[slot].get())
            if (settings.tools[slot].shown)
                include(tool->ToolBounds());
    if (any)
        camera.FitBox(bounds);

    std::vector<GLfloat> feedback(FeedbackValues);
    glFeedbackBuffer(FeedbackValues, GL_3D, feedback.data());
    glRenderMode(GL_FEEDBACK);
    DrawFrame(camera, frame, settings);
    const GLint count = glRenderMode(GL_RENDER);
    WindowRectangle covered{0, 0, 0, 0};
    const bool found = count > 0 && FeedbackRectangle(feedback, count, covered);
    const int viewport[4] = {0, 0, frame.width, frame.height};
    camera.FitToFeedback(found ? count : -1, covered, viewport);
}

void CSceneDrawer::ApplyDisplayCamera(CCamera& camera, const FrameState& frame) {
    const OrthoBox box = camera.DisplayProjection(frame.width, frame.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    ApplyTileWindow(frame);
    glEnable(GL_NORMALIZE);
    glScalef(camera.zoom, camera.zoom, camera.zoom);
    glOrtho(box.left, box.right, box.bottom, box.top, box.nearPlane, box.farPlane);
    ApplyModelView(camera, frame, false);
}

void CSceneDrawer::ApplyPickingCamera(const CCamera& camera, const FrameState& frame) {
    const OrthoBox box = camera.PickingProjection(frame.width, frame.height);
    glMatrixMode(GL_PROJECTION);
    glOrtho(box.left, box.right, box.bottom, box.top, box.nearPlane, box.farPlane);
    ApplyModelView(camera, frame, true);
}

void CSceneDrawer::DrawBackground(const FrameState& frame, const DisplaySettings& settings) const {
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    ApplyTileWindow(frame);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Corners bottom-left, bottom-right, top-right, top-left.
    int corners[4];
    switch (settings.backgroundScheme) {
    case 0:
        corners[0] = corners[1] = corners[2] = corners[3] = settings.backgroundColour;
        break;
    case 2:
        corners[0] = settings.backgroundCorners[2];
        corners[1] = settings.backgroundCorners[3];
        corners[2] = settings.backgroundCorners[1];
        corners[3] = settings.backgroundCorners[0];
        break;
    default:
        corners[0] = corners[1] = settings.backgroundBottom;
        corners[2] = corners[3] = settings.backgroundTop;
        break;
    }
    const float x[4] = {-1, 1, 1, -1}, y[4] = {-1, -1, 1, 1};
    glBegin(GL_QUADS);
    for (int k = 0; k < 4; ++k) {
        SetColour(corners[k], 1.0);
        glVertex3f(x[k], y[k], 1.0f);
    }
    glEnd();
    glEnable(GL_DEPTH_TEST);
}

void CSceneDrawer::DrawFrame(CCamera& camera, const FrameState& frame, const DisplaySettings& settings) {
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_LIGHTING);
    for (int plane = 0; plane < 4; ++plane)
        glDisable(GL_CLIP_PLANE0 + static_cast<GLenum>(plane));
    glShadeModel(GL_SMOOTH);
    if (frame.tileWidth > 0 && frame.tileHeight > 0)
        glViewport(0, 0, frame.tileWidth, frame.tileHeight);
    else
        glViewport(0, 0, frame.width, frame.height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawBackground(frame, settings);
    ApplyDisplayCamera(camera, frame);
    toolBuffers.DrawTools(frame, settings);
    if (settings.sheetShown && sheetBuffers.HasSheet()) {
        sheetBuffers.DrawSheet(frame, settings, overlays);
        DrawMeasurementMarkers(frame);
    }
    if (polyline.size() >= 3) {
        glColor3f(0, 1, 0.8f);
        glBegin(GL_LINE_STRIP);
        for (size_t i = 0; i + 2 < polyline.size(); i += 3)
            glVertex3d(polyline[i], polyline[i + 1], polyline[i + 2]);
        glEnd();
    }
    for (int plane = 0; plane < 4; ++plane)
        glDisable(GL_CLIP_PLANE0 + static_cast<GLenum>(plane));
    if (frame.zoomBoxMode && overlays.HasOverlay(Overlay::ZoomBox))
        overlays.DrawOverlay(Overlay::ZoomBox, frame);
    for (Overlay overlay :
         {Overlay::FirstPoint, Overlay::SecondPoint, Overlay::MeasurementLine, Overlay::PickHighlight})
        if (overlays.HasOverlay(overlay))
            overlays.DrawOverlay(overlay, frame);
    if (frame.clipActive)
        for (int plane = 0; plane < 4; ++plane)
            glEnable(GL_CLIP_PLANE0 + static_cast<GLenum>(plane));
    // Translucent parts leave an alpha below 1, which the window system
    // would blend with whatever lies behind the view, and which pictures
    // drop: the frame is made opaque, its colours as drawn.
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glFlush();
}

void CSceneDrawer::DrawMeasurementMarkers(const FrameState& frame) const {
    if (measurementMarkers.empty())
        return;
    // In proportion to the frame, so that a large picture shows them as the
    // window does; the sheet's faces lie behind their polygon offset, so a
    // marker on the sheet passes the depth test and one behind it does not.
    const float size = static_cast<float>(std::clamp(std::min(frame.width, frame.height) / 60, 7, 48));
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_LIGHTING);
    glEnable(GL_POINT_SMOOTH);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    // Marker k (or every one for -1) as a disc of pointSize pixels, in its
    // colour or in the given one.
    const auto draw = [this](float pointSize, int only, const RgbColour* colour) {
        glPointSize(pointSize);
        glBegin(GL_POINTS);
        for (size_t k = 0; k < measurementMarkers.size(); ++k) {
            if (only >= 0 && static_cast<int>(k) != only)
                continue;
            const MeasurementMarker& marker = measurementMarkers[k];
            const RgbColour& c = colour ? *colour : marker.colour;
            glColor3ub(c.red, c.green, c.blue);
            glVertex3d(marker.position.x, marker.position.y, marker.position.z);
        }
        glEnd();
    };
    const RgbColour black{0, 0, 0}, white{255, 255, 255};
    // A dark rim keeps a white or grey marker apart from a light sheet.
    draw(size + 3, -1, &black);
    draw(size, -1, nullptr);
    if (selectedMarker >= 0 && static_cast<size_t>(selectedMarker) < measurementMarkers.size()) {
        // The selected point, ringed, shows through whatever lies in front.
        glDisable(GL_DEPTH_TEST);
        draw(2 * size + 6, selectedMarker, &black);
        draw(2 * size + 2, selectedMarker, &white);
        draw(size + 3, selectedMarker, &black);
        draw(size, selectedMarker, nullptr);
    }
    glPopAttrib();
}

void CSceneDrawer::ReleaseLists() {
    sheetBuffers.Release();
    toolBuffers.Release();
    overlays.Release();
}

} // namespace quillmere
