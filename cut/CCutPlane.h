// An axis-aligned cutting plane a x + b y + c z + d = 0.
#pragma once

namespace quillmere {

class CCutPlane {
public:
    double a = 1, b = 0, c = 0, d = 0;

    // The plane x, y or z (axis 0, 1, 2) = position, the position in mm.
    static CCutPlane AtAxis(int axis, double positionMillimetres);
};

} // namespace quillmere
