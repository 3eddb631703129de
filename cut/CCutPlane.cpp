#include "cut/CCutPlane.h"

namespace quillmere {

CCutPlane CCutPlane::AtAxis(int axis, double positionMillimetres) {
    CCutPlane plane;
    plane.a = axis == 0 ? 1 : 0;
    plane.b = axis == 1 ? 1 : 0;
    plane.c = axis == 2 ? 1 : 0;
    plane.d = -positionMillimetres * 0.001;
    return plane;
}

} // namespace quillmere
