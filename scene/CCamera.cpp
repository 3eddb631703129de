#include "scene/CCamera.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

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
