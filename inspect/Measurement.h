// The distance measurement without a window: its texts, the distance held
// in single precision, and where its window goes.
#pragma once

#include "inspect/DataTip.h"
#include "scene/CDataDisplay.h"

#include <array>
#include <string>

namespace quillmere {

class CConfiguration;

struct MeasurementTexts {
    std::array<std::string, 3> start; // x, y, z of the first point
    std::array<std::string, 3> end;   // x, y, z of the second point
    std::string distance;
    std::string unit; // after every value: "mm" or "inch"
};

// The straight distance between the point 1 fields of the two records, in
// mm or inches, as the window holds it: a 32-bit float.
float MeasuredDistance(const CDataDisplay& first, const CDataDisplay& second,
                       const CConfiguration& configuration);

// Every text of the window in the configuration's units at the moment of
// the call.
MeasurementTexts BuildMeasurementTexts(const CDataDisplay& first, const CDataDisplay& second,
                                       const CConfiguration& configuration);

// Whether two records make a measurement: a pick of the reserved kind
// carries no point.
bool MeasurementPossible(const CDataDisplay& first, const CDataDisplay& second);

// The window's top-left corner from the screen positions of the two clicks:
// at the right edge of their rectangle when one click is both leftmost and
// topmost, else at the left edge; 15 pixels below the lower click.
ScreenPoint MeasurementWindowPosition(ScreenPoint firstClick, ScreenPoint secondClick);

} // namespace quillmere
