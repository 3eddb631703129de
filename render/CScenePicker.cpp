#include "render/CScenePicker.h"

#include "model/CMoldProfile.h"
#include "model/CSheetProfile.h"
#include "scene/PickRecord.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>

namespace quillmere {

namespace {

constexpr size_t SelectionNames = 2560000;
constexpr int MarkerHalfSize = 4;

std::vector<std::array<int, 2>> MarkerOutline(int x, int y) {
    return {{x - MarkerHalfSize, y - MarkerHalfSize},
            {x + MarkerHalfSize, y - MarkerHalfSize},
            {x + MarkerHalfSize, y + MarkerHalfSize},
            {x - MarkerHalfSize, y + MarkerHalfSize},
            {x - MarkerHalfSize, y - MarkerHalfSize}};
}

int Round(double value) {
    return static_cast<int>(std::lround(value));
}

} // namespace

std::array<double, 2> CScenePicker::Project(const CCamera& camera, const FrameState& frame,
                                            const CCoordinate& point, double* depth) {
    const std::array<double, 3> window = camera.ToWindow(point, frame.width, frame.height);
    if (depth)
        *depth = window[2];
    return {window[0], window[1]};
}

CCoordinate CScenePicker::Unproject(const CCamera& camera, const FrameState& frame, double x, double y,
                                    double depth) {
    return camera.FromWindow(x, y, depth, frame.width, frame.height);
}

long long CScenePicker::Select(const std::function<void()>& draw, const CCamera& camera,
                               const FrameState& frame, int x, int y) {
    buffer.resize(SelectionNames);
    glSelectBuffer(static_cast<GLsizei>(buffer.size()), buffer.data());
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(~0u);
    GLint viewport[4] = {0, 0, frame.width, frame.height};
    glViewport(0, 0, frame.width, frame.height);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPickMatrix(x, frame.height - y, 1, 1, viewport);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    CSceneDrawer::ApplyPickingCamera(camera, frame);
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_POLYGON_BIT);
    glShadeModel(GL_FLAT);
    glDisable(GL_LIGHTING);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    draw();
    glPopAttrib();
    for (int plane = 0; plane < 4; ++plane)
        glDisable(GL_CLIP_PLANE0 + static_cast<GLenum>(plane));
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    const GLint hits = glRenderMode(GL_RENDER);
    // Records of four words: name count, minimum depth, maximum depth, name.
    long long nearest = -1;
    GLuint nearestDepth = 0;
    for (GLint hit = 0; hit < hits; ++hit) {
        const GLuint* record = buffer.data() + 4 * hit;
        if (nearest < 0 || record[1] < nearestDepth) {
            nearest = record[3];
            nearestDepth = record[1];
        }
    }
    return nearest;
}

namespace {

// Where a pick looks from and at: the window points of an item's points.
struct PickView {
    const CCamera& camera;
    const FrameState& frame;
    int x, y;

    // The point nearest the cursor in the window.
    int Nearest(const CCoordinate* points, int count) const {
        int best = 0;
        double bestDistance = 0;
        for (int k = 0; k < count; ++k) {
            const auto window = CScenePicker::Project(camera, frame, points[k]);
            const double distance = std::hypot(window[0] - x, window[1] - y);
            if (k == 0 || distance < bestDistance) {
                best = k;
                bestDistance = distance;
            }
        }
        return best;
    }
    void Outline(const CCoordinate* points, int count, std::vector<std::array<int, 2>>& outline) const {
        outline.clear();
        for (int k = 0; k <= count; ++k) {
            const auto window = CScenePicker::Project(camera, frame, points[k % count]);
            outline.push_back({Round(window[0]), Round(window[1])});
        }
    }
    void Mark(const CCoordinate& point, CDataDisplay& record,
              std::vector<std::array<int, 2>>& outline) const {
        const auto window = CScenePicker::Project(camera, frame, point);
        record.markerX = Round(window[0]);
        record.markerY = Round(window[1]);
        outline = MarkerOutline(record.markerX, record.markerY);
    }
};

void PickOnSheet(const PickView& view, const CSheetProfile& sheet, long long name, int mode,
                 CDataDisplay& record, std::vector<std::array<int, 2>>& outline) {
    const size_t element = static_cast<size_t>(name);
    const CCoordinate corners[3] = {sheet.CurrentCorner(element, 0), sheet.CurrentCorner(element, 1),
                                    sheet.CurrentCorner(element, 2)};
    if (mode == NodeMode) {
        FillSheetNodeRecord(sheet, sheet.Mesh().Nodes(element)[static_cast<size_t>(view.Nearest(corners, 3))],
                            record);
        view.Mark(record.point1, record, outline);
    } else if (mode == ElementMode) {
        FillSheetElementRecord(sheet, static_cast<int>(name), record);
        view.Outline(corners, 3, outline);
        record.markerX = outline[0][0];
        record.markerY = outline[0][1];
    } else {
        // On the viewing line through the cursor, at the element's mean
        // window depth.
        double depth = 0, sum = 0;
        for (const CCoordinate& corner : corners) {
            CScenePicker::Project(view.camera, view.frame, corner, &depth);
            sum += depth;
        }
        FillSheetPointRecord(
            sheet, static_cast<int>(name),
            CScenePicker::Unproject(view.camera, view.frame, view.x, view.y, sum * 0.3333333333333333),
            record);
        view.Mark(record.point1, record, outline);
    }
}

void PickOnTool(const PickView& view, const CMoldProfile& tool, int faceIndex, int mode, CDataDisplay& record,
                std::vector<std::array<int, 2>>& outline) {
    const CFace& face = *tool.Faces()[static_cast<size_t>(faceIndex)];
    record.onTool = 1;
    record.tool = &tool;
    record.index = faceIndex;
    std::vector<CCoordinate> vertices;
    for (int k = 0; k < face.VertexCount(); ++k)
        vertices.push_back(face.Vertex(k));
    if (mode == NodeMode) {
        record.kind = PickedNode;
        record.point1 = vertices[static_cast<size_t>(view.Nearest(vertices.data(), face.VertexCount()))];
        view.Mark(record.point1, record, outline);
    } else if (mode == ElementMode) {
        record.kind = PickedElement;
        record.point1 = vertices[0];
        record.point2 = vertices[1];
        record.point3 = vertices[2];
        view.Outline(vertices.data(), face.VertexCount(), outline);
    } else {
        record.kind = PickedNothing;
        outline.clear();
    }
}

} // namespace

bool CScenePicker::Pick(CSceneDrawer& drawer, const CCamera& camera, const FrameState& frame,
                        const PickScene& scene, int x, int y, int mode, CDataDisplay& record,
                        std::vector<std::array<int, 2>>& outline) {
    long long name = scene.sheetShown ? Select([&] { drawer.DrawSheetPick(); }, camera, frame, x, y) : -1;
    bool onTool = false;
    if (name < 0 || !scene.sheetShown) {
        name = Select([&drawer] { drawer.DrawToolPick(); }, camera, frame, x, y);
        onTool = true;
    }
    if (name < 0)
        return false;
    const PickView view{camera, frame, x, y};
    if (!onTool) {
        if (scene.sheet)
            PickOnSheet(view, *scene.sheet, name, mode, record, outline);
        return true;
    }
    for (const ToolNameRange& range : drawer.ToolNames()) {
        if (name < range.first || name >= range.first + range.count)
            continue;
        PickOnTool(view, *(*scene.tools)[static_cast<size_t>(range.slot)],
                   static_cast<int>(name - range.first), mode, record, outline);
        return true;
    }
    return false;
}

} // namespace quillmere
