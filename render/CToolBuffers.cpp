#include "render/CToolBuffers.h"

#include "model/CMoldProfile.h"
#include "render/DrawingBasics.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <cstring>

namespace quillmere {

// The float values glVertex3d and glNormal3d would keep: a list of the faces
// drew the same.
bool CToolBuffers::RefillTool(ToolArrays& drawn, const CMoldProfile& tool) {
    const CFaceList& faces = tool.Faces();
    if (drawn.faceFirst.size() != faces.size() + 1)
        return false;
    float* xyz = drawn.xyz.data();
    const float* normal = drawn.normal.data();
    for (size_t f = 0; f < faces.size(); ++f) {
        const CFace& face = *faces[f];
        const int first = drawn.faceFirst[f];
        const int count = face.VertexCount() < 3 ? 0 : face.VertexCount();
        if (drawn.faceFirst[f + 1] - first != count)
            return false;
        if (count == 0)
            continue;
        const float* n = normal + 3 * first;
        if (std::memcmp(n,
                        std::array<float, 3>{static_cast<float>(face.Normal().x),
                                             static_cast<float>(face.Normal().y),
                                             static_cast<float>(face.Normal().z)}
                            .data(),
                        3 * sizeof(float)) != 0)
            return false;
        float* p = xyz + 3 * first;
        for (int k = 0; k < count; ++k, p += 3) {
            const CCoordinate& v = face.Vertex(k);
            p[0] = static_cast<float>(v.x);
            p[1] = static_cast<float>(v.y);
            p[2] = static_cast<float>(v.z);
        }
    }
    return true;
}

// Triangles go in runs; a larger face closes the run and is drawn as a
// polygon.
void CToolBuffers::RebuildTool(ToolArrays& drawn, const CMoldProfile& tool) {
    const CFaceList& faces = tool.Faces();
    drawn.xyz.clear();
    drawn.normal.clear();
    drawn.faceFirst.clear();
    drawn.runs.clear();
    drawn.polygonFirsts.clear();
    drawn.polygonCounts.clear();
    int vertices = 0;
    for (size_t f = 0; f < faces.size(); ++f) {
        const CFace& face = *faces[f];
        drawn.faceFirst.push_back(vertices);
        const int count = face.VertexCount();
        if (count < 3)
            continue;
        const GLenum mode = count == 3 ? GL_TRIANGLES : GL_POLYGON;
        if (drawn.runs.empty() || drawn.runs.back().mode != mode)
            drawn.runs.push_back(
                {mode, mode == GL_TRIANGLES ? vertices : static_cast<int>(drawn.polygonFirsts.size()), 0});
        if (mode == GL_TRIANGLES) {
            drawn.runs.back().count += 3;
        } else {
            drawn.polygonFirsts.push_back(vertices);
            drawn.polygonCounts.push_back(count);
            ++drawn.runs.back().count;
        }
        for (int k = 0; k < count; ++k) {
            const CCoordinate& v = face.Vertex(k);
            drawn.xyz.insert(drawn.xyz.end(),
                             {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)});
            drawn.normal.insert(drawn.normal.end(),
                                {static_cast<float>(face.Normal().x), static_cast<float>(face.Normal().y),
                                 static_cast<float>(face.Normal().z)});
        }
        vertices += count;
    }
    drawn.faceFirst.push_back(vertices);
}

void CToolBuffers::BuildToolLists(const CToolList* tools, const DisplaySettings& settings) {
    toolNames.clear();
    int nextName = 0;
    for (int slot = 0; slot < kToolSlots; ++slot) {
        ToolArrays& drawn = toolArrays[static_cast<size_t>(slot)];
        const CMoldProfile* tool = tools && static_cast<size_t>(slot) < tools->size()
                                       ? (*tools)[static_cast<size_t>(slot)].get()
                                       : nullptr;
        if (!tool) {
            DeleteBuffer(drawn.positions);
            DeleteBuffer(drawn.normals);
            drawn = ToolArrays();
            continue;
        }
        if (!RefillTool(drawn, *tool)) {
            RebuildTool(drawn, *tool);
            UploadBuffer(drawn.normals, GL_ARRAY_BUFFER, drawn.normal);
        }
        UploadBuffer(drawn.positions, GL_ARRAY_BUFFER, drawn.xyz);
        if (settings.tools[static_cast<size_t>(slot)].shown) {
            const int faceCount = static_cast<int>(tool->Faces().size());
            toolNames.push_back({slot, nextName, faceCount});
            nextName += faceCount;
        }
    }
    toolsBuilt = true;
}

void CToolBuffers::DrawTool(int slot) const {
    const ToolArrays& drawn = toolArrays[static_cast<size_t>(slot)];
    if (drawn.runs.empty())
        return;
    glBindBuffer(GL_ARRAY_BUFFER, drawn.positions);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glEnableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, drawn.normals);
    glNormalPointer(GL_FLOAT, 0, nullptr);
    glEnableClientState(GL_NORMAL_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    for (const ToolArrays::Run& run : drawn.runs) {
        if (run.mode == GL_TRIANGLES)
            glDrawArrays(GL_TRIANGLES, run.first, run.count);
        else
            glMultiDrawArrays(GL_POLYGON, drawn.polygonFirsts.data() + run.first,
                              drawn.polygonCounts.data() + run.first, run.count);
    }
    UnbindArrays();
    // The last normal stays current, as after the faces' list.
    glNormal3fv(drawn.normal.data() + drawn.normal.size() - 3);
}

// Each face a polygon under its name; a face that is not drawn still uses up
// its name.
void CToolBuffers::DrawToolPick() const {
    for (const ToolNameRange& range : toolNames) {
        const ToolArrays& drawn = toolArrays[static_cast<size_t>(range.slot)];
        for (int f = 0; f < range.count; ++f) {
            const int first = drawn.faceFirst[static_cast<size_t>(f)];
            const int count = drawn.faceFirst[static_cast<size_t>(f) + 1] - first;
            if (count == 0)
                continue;
            glLoadName(static_cast<GLuint>(range.first + f));
            glBegin(GL_POLYGON);
            for (int k = 0; k < count; ++k)
                glVertex3fv(drawn.xyz.data() + 3 * (first + k));
            glEnd();
        }
    }
}

void CToolBuffers::DrawTools(const FrameState& frame, const DisplaySettings& settings) const {
    const bool reduced = frame.motion && frame.sheetElementCount > settings.reducedDrawingThreshold;
    for (int pass = 1; pass <= 2; ++pass)
        for (int slot = 0; slot < kToolSlots; ++slot) {
            const ToolDisplay& tool = settings.tools[static_cast<size_t>(slot)];
            const bool opaque = tool.opacity == 1.0;
            if (!tool.shown || !toolsBuilt || opaque != (pass == 1))
                continue;
            if (!opaque) {
                glEnable(GL_BLEND);
                glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
                glDepthMask(GL_FALSE);
            }
            glShadeModel(GL_FLAT);
            glLineWidth(1.0f);
            if (reduced) {
                glDisable(GL_DEPTH_TEST);
                glDisable(GL_LIGHTING);
                glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
                SetColour(tool.surfaceColour, tool.opacity);
                DrawTool(slot);
                glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
                glEnable(GL_DEPTH_TEST);
            } else {
                if (tool.mode == 0 || tool.mode == 2) {
                    glPushAttrib(GL_ALL_ATTRIB_BITS);
                    glShadeModel(GL_SMOOTH);
                    glEnable(GL_LIGHTING);
                    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
                    // Both terms set as materials: colour material would
                    // leave one of them at the colour set before.
                    glDisable(GL_COLOR_MATERIAL);
                    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT,
                                 ColourFractions(tool.surfaceColour, 1.0f / 1530.0f, tool.opacity).data());
                    glMaterialfv(
                        GL_FRONT_AND_BACK, GL_DIFFUSE,
                        ColourFractions(tool.surfaceColour, 10.0f / (11.0f * 255.0f), tool.opacity).data());
                    DrawTool(slot);
                    glPopAttrib();
                }
                if (tool.mode == 1 || tool.mode == 2) {
                    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
                    SetColour(tool.wireColour, tool.opacity);
                    DrawTool(slot);
                    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
                }
            }
            glShadeModel(GL_SMOOTH);
            if (!opaque) {
                glDepthMask(GL_TRUE);
                glDisable(GL_BLEND);
            }
        }
}

void CToolBuffers::Release() {
    for (ToolArrays& drawn : toolArrays) {
        DeleteBuffer(drawn.positions);
        DeleteBuffer(drawn.normals);
        drawn = ToolArrays();
    }
    toolsBuilt = false;
}

} // namespace quillmere
