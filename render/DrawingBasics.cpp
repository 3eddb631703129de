#include "render/DrawingBasics.h"

#include "config/Colour.h"
#include "model/Vectors.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <cmath>
#include <cstdint>

namespace quillmere {

std::array<float, 4> ColourFractions(int colour, float factor, double alpha) {
    const std::array<uint8_t, 3> bytes = ColourBytes(colour);
    return {bytes[0] * factor, bytes[1] * factor, bytes[2] * factor, static_cast<GLfloat>(alpha)};
}

void SetColour(int colour, double alpha) {
    glColor4fv(ColourFractions(colour, 1.0f / 255.0f, alpha).data());
}

void SendVertex(const CCoordinate& p) {
    glVertex3d(p.x, p.y, p.z);
}

void UploadBuffer(unsigned& buffer, unsigned target, const void* data, size_t size) {
    const auto bytes = static_cast<GLsizeiptr>(size);
    GLint current = -1;
    if (buffer == 0)
        glGenBuffers(1, &buffer);
    glBindBuffer(target, buffer);
    if (bytes > 0)
        glGetBufferParameteriv(target, GL_BUFFER_SIZE, &current);
    if (current == bytes)
        glBufferSubData(target, 0, bytes, data);
    else
        glBufferData(target, bytes, data, GL_STATIC_DRAW);
    glBindBuffer(target, 0);
}

void DeleteBuffer(unsigned& buffer) {
    if (buffer != 0)
        glDeleteBuffers(1, &buffer);
    buffer = 0;
}

unsigned ReplaceList(unsigned& list) {
    if (list != 0)
        glDeleteLists(list, 1);
    list = glGenLists(1);
    return list;
}

void DeleteList(unsigned& list) {
    if (list != 0)
        glDeleteLists(list, 1);
    list = 0;
}

void UnbindArrays() {
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void ApplyTileWindow(const FrameState& frame) {
    if (frame.tileWidth <= 0 || frame.tileHeight <= 0)
        return;
    const double sx = static_cast<double>(frame.width) / frame.tileWidth;
    const double sy = static_cast<double>(frame.height) / frame.tileHeight;
    glTranslated(sx - 1 - 2.0 * frame.tileLeft / frame.tileWidth,
                 sy - 1 - 2.0 * frame.tileBottom / frame.tileHeight, 0);
    glScaled(sx, sy, 1);
}

void ClipRows(double rows[3][4], double magnitudes[3][4]) {
    GLdouble projection[16], modelView[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    const int rowIndex[3] = {0, 1, 3};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) {
            rows[r][c] = 0;
            for (int k = 0; k < 4; ++k)
                rows[r][c] += projection[4 * k + rowIndex[r]] * modelView[4 * c + k];
            if (magnitudes) {
                magnitudes[r][c] = 0;
                for (int k = 0; k < 4; ++k)
                    magnitudes[r][c] += std::fabs(projection[4 * k + rowIndex[r]] * modelView[4 * c + k]);
            }
        }
}

} // namespace quillmere
