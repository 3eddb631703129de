#include "scene/CCamera.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace quillmere {

const Quaternion CCamera::XYView{0, 0, -0.70710677f, -0.70710677f};
const Quaternion CCamera::XZView{0, -0.70710677f, -0.70710677f, 0};
const Quaternion CCamera::YZView{0.5f, 0.5f, 0.5f, 0.5f};
const Quaternion CCamera::GeneralView{0.202943f, 0.557314f, 0.756844f, 0.274596f};

OrthoBox CCamera::DisplayProjection(int w, int h) {
    const double a = modelSize * 0.5 * 0.75;
    const double aspect = static_cast<double>(w) / std::max(h, 1);
    OrthoBox box;
    if (w >= h) {
        box = {-a * aspect, a * aspect, -a, a, 10 * zoom * a, -10 * zoom * a, 0, 0};
        box.visibleWidth = static_cast<float>(2 * a * aspect / zoom);
        box.visibleHeight = static_cast<float>(2 * a / zoom);
    } else {
        const double inverse = static_cast<double>(h) / std::max(w, 1);
        box = {-a, a, -a * inverse, a * inverse, 10 * zoom * a, -10 * zoom * a, 0, 0};
        box.visibleWidth = static_cast<float>(2 * a / zoom);
        box.visibleHeight = static_cast<float>(2 * a * inverse / zoom);
    }
    visibleWidth = box.visibleWidth;
    visibleHeight = box.visibleHeight;
    return box;
}

OrthoBox CCamera::PickingProjection(int w, int h) const {
    CCamera copy = *this;
    OrthoBox box = copy.DisplayProjection(w, h);
    const double a = modelSize * 0.5 * 0.75;
    box.nearPlane = 100 * zoom * a;
    box.farPlane = -100 * zoom * a;
    return box;
}

void CCamera::DragZoom(int dy) {
    for (int i = 0; i < dy; ++i)
        zoom *= 1.010101f;
    for (int i = 0; i > dy; --i)
        zoom *= 0.99f;
}

void CCamera::Pan(int dx, int dy, int w, int h) {
    panX += static_cast<float>(dx) / static_cast<float>(std::max(w, 1)) * visibleWidth;
    panY -= static_cast<float>(dy) / static_cast<float>(std::max(h, 1)) * visibleHeight;
}

bool CCamera::ZoomIntoBox(int x0, int y0, int x1, int y1, int w, int h) {
    if (x0 == x1 || y0 == y1)
        return false;
    const float s = std::min(static_cast<float>(w) / static_cast<float>(x1 - x0),
                             static_cast<float>(h) / static_cast<float>(y1 - y0));
    // The pan uses the visible size of the projection before the zoom.
    panX += static_cast<float>(w / 2 - (x0 + x1) / 2) / static_cast<float>(w) * visibleWidth;
    panY -= static_cast<float>(h / 2 - (y0 + y1) / 2) / static_cast<float>(h) * visibleHeight;
    zoom *= s;
    return true;
}

void CCamera::FitBox(const double box[6]) {
    const double dx = box[1] - box[0], dy = box[3] - box[2], dz = box[5] - box[4];
    modelSize = std::sqrt(dx * dx + dy * dy + dz * dz);
    centre[0] = static_cast<float>((box[0] + box[1]) / 2);
    centre[1] = static_cast<float>((box[2] + box[3]) / 2);
    centre[2] = static_cast<float>((box[4] + box[5]) / 2);
}

void CCamera::FitToFeedback(int count, const WindowRectangle& covered, const int viewport[4]) {
    panX = panY = 0;
    if (count < 1)
        return;
    const double vx = viewport[0], vy = viewport[1], vw = viewport[2], vh = viewport[3];
    const double width = covered.xMax - covered.xMin;
    const double height = covered.yMax - covered.yMin;
    const double sx = width > 0 ? vw / width : DBL_MAX;
    const double sy = height > 0 ? vh / height : DBL_MAX;
    zoom = static_cast<float>(std::min(sx, sy) * 0.95);
    panX = static_cast<float>((std::fabs(vx + vw - covered.xMax) - std::fabs(vx - covered.xMin)) / zoom / vw *
                              visibleWidth);
    panY = static_cast<float>((std::fabs(vy + vh - covered.yMax) - std::fabs(vy - covered.yMin)) / zoom / vh *
                              visibleHeight);
}

namespace {

// A 4 x 4 matrix in OpenGL column order, multiplied in single precision as
// the OpenGL matrix stack does.
struct Matrix4 {
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    void Multiply(const float other[16]) {
        float result[16];
        for (int column = 0; column < 4; ++column)
            for (int row = 0; row < 4; ++row) {
                float sum = 0;
                for (int k = 0; k < 4; ++k)
                    sum += m[k * 4 + row] * other[column * 4 + k];
                result[column * 4 + row] = sum;
            }
        std::copy(result, result + 16, m);
    }
    void Scale(float s) {
        const float scale[16] = {s, 0, 0, 0, 0, s, 0, 0, 0, 0, s, 0, 0, 0, 0, 1};
        Multiply(scale);
    }
    void Translate(float x, float y, float z) {
        const float shift[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
        Multiply(shift);
    }
    void Ortho(const OrthoBox& box) {
        const float l = static_cast<float>(box.left), r = static_cast<float>(box.right);
        const float b = static_cast<float>(box.bottom), t = static_cast<float>(box.top);
        const float n = static_cast<float>(box.nearPlane), f = static_cast<float>(box.farPlane);
        const float ortho[16] = {2 / (r - l),
                                 0,
                                 0,
                                 0,
                                 0,
                                 2 / (t - b),
                                 0,
                                 0,
                                 0,
                                 0,
                                 -2 / (f - n),
                                 0,
                                 -(r + l) / (r - l),
                                 -(t + b) / (t - b),
                                 -(f + n) / (f - n),
                                 1};
        Multiply(ortho);
    }
};

// The inverse of a column-order matrix by Gauss-Jordan elimination with
// partial pivoting; false when it is singular.
bool Invert(const double in[16], double out[16]) {
    double a[4][8];
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) {
            a[row][column] = in[column * 4 + row];
            a[row][column + 4] = row == column ? 1 : 0;
        }
    for (int column = 0; column < 4; ++column) {
        int pivot = column;
        for (int row = column + 1; row < 4; ++row)
            if (std::fabs(a[row][column]) > std::fabs(a[pivot][column]))
                pivot = row;
        if (a[pivot][column] == 0)
            return false;
        std::swap(a[pivot], a[column]);
        const double scale = 1 / a[column][column];
        for (double& value : a[column])
            value *= scale;
        for (int row = 0; row < 4; ++row)
            if (row != column) {
                const double factor = a[row][column];
                for (int k = 0; k < 8; ++k)
                    a[row][k] -= factor * a[column][k];
            }
    }
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            out[column * 4 + row] = a[row][column + 4];
    return true;
}

void Transform(const double m[16], const double in[4], double out[4]) {
    for (int row = 0; row < 4; ++row)
        out[row] = m[row] * in[0] + m[4 + row] * in[1] + m[8 + row] * in[2] + m[12 + row] * in[3];
}

} // namespace

void CCamera::PickingMatrices(int w, int h, double modelView[16], double projection[16]) const {
    Matrix4 p;
    p.Ortho(PickingProjection(w, h));
    Matrix4 mv;
    mv.Scale(zoom);
    mv.Translate(panX, panY, 0);
    float rotation[16];
    trackball.Matrix(rotation);
    mv.Multiply(rotation);
    mv.Translate(-centre[0], -centre[1], -centre[2]);
    std::copy(p.m, p.m + 16, projection);
    std::copy(mv.m, mv.m + 16, modelView);
}

std::array<double, 3> CCamera::ToWindow(const CCoordinate& point, int w, int h) const {
    double modelView[16], projection[16];
    PickingMatrices(w, h, modelView, projection);
    const double in[4] = {point.x, point.y, point.z, 1};
    double eye[4], clip[4];
    Transform(modelView, in, eye);
    Transform(projection, eye, clip);
    if (clip[3] == 0)
        return {0, 0, 0};
    const double x = clip[0] / clip[3], y = clip[1] / clip[3], z = clip[2] / clip[3];
    return {(x + 1) / 2 * w, h - (y + 1) / 2 * h, (z + 1) / 2};
}

CCoordinate CCamera::FromWindow(double x, double y, double depth, int w, int h) const {
    double modelView[16], projection[16], both[16], inverse[16];
    PickingMatrices(w, h, modelView, projection);
    for (int column = 0; column < 4; ++column)
        Transform(projection, modelView + 4 * column, both + 4 * column);
    if (!Invert(both, inverse))
        return {};
    const double in[4] = {2 * x / w - 1, 2 * (h - y) / h - 1, 2 * depth - 1, 1};
    double out[4];
    Transform(inverse, in, out);
    if (out[3] == 0)
        return {};
    return {out[0] / out[3], out[1] / out[3], out[2] / out[3]};
}

} // namespace quillmere
