#include "scene/CTrackball.h"

#include <algorithm>
#include <cmath>

namespace quillmere {

namespace {

// Products since the last renormalisation, shared by every trackball.
int productsSinceRenormalising = 0;

constexpr float HalfSqrt2 = 0.70710677f;

Quaternion DividedBySquares(const Quaternion& q) {
    const float squares = q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w;
    return {q.x / squares, q.y / squares, q.z / squares, q.w / squares};
}

} // namespace

Quaternion Compose(const Quaternion& i, const Quaternion& q) {
    Quaternion result;
    result.x = i.x * q.w + q.x * i.w + (q.y * i.z - q.z * i.y);
    result.y = i.y * q.w + q.y * i.w + (q.z * i.x - q.x * i.z);
    result.z = i.z * q.w + q.z * i.w + (q.x * i.y - q.y * i.x);
    result.w = i.w * q.w - (i.x * q.x + i.y * q.y + i.z * q.z);
    if (++productsSinceRenormalising >= 98) {
        productsSinceRenormalising = 0;
        result = DividedBySquares(result);
    }
    return result;
}

void CTrackball::Initialise(int w, int h) {
    Resize(w, h);
    q = Quaternion();
}

void CTrackball::Resize(int w, int h) {
    width = std::max(w, 1);
    height = std::max(h, 1);
}

void CTrackball::StartTracking(int x, int y) {
    tracking = true;
    lastX = x;
    lastY = y;
}

void CTrackball::SetLastPointer(int x, int y) {
    lastX = x;
    lastY = y;
}

float CTrackball::BallHeight(float bx, float by) const {
    const float d = std::sqrt(bx * bx + by * by);
    if (d < radius * HalfSqrt2)
        return std::sqrt(radius * radius - d * d);
    const float t = radius * HalfSqrt2;
    return t * t / d;
}

Quaternion CTrackball::Turn(int x1, int y1, int x2, int y2) const {
    if (x1 == x2 && y1 == y2)
        return Quaternion();
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    const float b1x = 2.0f * static_cast<float>(x1) / w - 1.0f,
                b1y = 1.0f - 2.0f * static_cast<float>(y1) / h;
    const float b2x = 2.0f * static_cast<float>(x2) / w - 1.0f,
                b2y = 1.0f - 2.0f * static_cast<float>(y2) / h;
    const float p1[3] = {b1x, b1y, BallHeight(b1x, b1y)};
    const float p2[3] = {b2x, b2y, BallHeight(b2x, b2y)};
    float axis[3] = {p2[1] * p1[2] - p2[2] * p1[1], p2[2] * p1[0] - p2[0] * p1[2],
                     p2[0] * p1[1] - p2[1] * p1[0]};
    const float dx = p1[0] - p2[0], dy = p1[1] - p2[1], dz = p1[2] - p2[2];
    const float t = std::clamp(std::sqrt(dx * dx + dy * dy + dz * dz) / (2.0f * radius), -1.0f, 1.0f);
    const float angle = 2.0f * std::asin(t);
    const float length = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
    // Two pointers on the same ray give no axis: no turn.
    if (length == 0)
        return Quaternion();
    const float s = std::sin(angle / 2.0f) / length;
    return {axis[0] * s, axis[1] * s, axis[2] * s, std::cos(angle / 2.0f)};
}

void CTrackball::Apply(const Quaternion& turn) {
    increment = turn;
    q = DividedBySquares(Compose(increment, q));
    changed = true;
}

void CTrackball::Step(int x, int y) {
    if (!tracking)
        return;
    StepFrom(x, y);
}

void CTrackball::StepFrom(int x, int y) {
    if (x == lastX && y == lastY)
        return;
    Apply(Turn(lastX, lastY, x, y));
    lastX = x;
    lastY = y;
}

void CTrackball::Matrix(float m[16]) const {
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    m[0] = 1.0f - 2.0f * (y * y + z * z);
    m[1] = 2.0f * (x * y - z * w);
    m[2] = 2.0f * (x * z + y * w);
    m[3] = 0;
    m[4] = 2.0f * (x * y + z * w);
    m[5] = 1.0f - 2.0f * (z * z + x * x);
    m[6] = 2.0f * (y * z - x * w);
    m[7] = 0;
    m[8] = 2.0f * (x * z - y * w);
    m[9] = 2.0f * (y * z + x * w);
    m[10] = 1.0f - 2.0f * (x * x + y * y);
    m[11] = m[12] = m[13] = m[14] = 0;
    m[15] = 1;
}

} // namespace quillmere
