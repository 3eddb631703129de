// What a pick found: a sheet node, element or point, or a tool face.
#pragma once

#include "model/Vectors.h"

namespace quillmere {

class CMoldProfile;

enum PickKind { PickedNode = 0, PickedNothing = 1, PickedElement = 2, PickedPoint = 3 };
enum PickMode { NodeMode = 0, ElementMode = 2, PointMode = 3 };

struct CDataDisplay {
    int clamped = 0, boundary = 0, fixed = 0, noPressure = 0;
    double principal1 = 0, principal2 = 0; // stretches of a picked element
    double value1 = 0;                     // thickness
    double value2 = 0;                     // temperature
    int index = 0;                         // node number, element index or face index
    int kind = PickedNode;
    int markerX = 0, markerY = 0;
    int toolInContact = -1;
    const CMoldProfile* tool = nullptr;
    int onTool = 0;
    CCoordinate point1, point2, point3;
};

} // namespace quillmere
