#include "inspect/Measurement.h"

#include "config/CConfiguration.h"
#include "core/TextFormat.h"
#include "inspect/InspectTexts.h"

#include <algorithm>
#include <cmath>

namespace quillmere {

namespace {

double Length(const CConfiguration& configuration, double metres) {
    return configuration.LengthToDisplay(metres * 1000.0);
}

std::array<std::string, 3> Coordinates(const CConfiguration& configuration, const CCoordinate& point) {
    return {FormatNumber("%.3lf", Length(configuration, point.x)),
            FormatNumber("%.3lf", Length(configuration, point.y)),
            FormatNumber("%.3lf", Length(configuration, point.z))};
}

} // namespace

float MeasuredDistance(const CDataDisplay& first, const CDataDisplay& second,
                       const CConfiguration& configuration) {
    const CCoordinate difference{second.point1.x - first.point1.x, second.point1.y - first.point1.y,
                                 second.point1.z - first.point1.z};
    if (configuration.IsSIMetric())
        return static_cast<float>(std::sqrt(difference.x * difference.x + difference.y * difference.y +
                                            difference.z * difference.z) *
                                  1000.0);
    // Inches: the differences are converted one by one, as the coordinates are.
    const double dx = Length(configuration, difference.x);
    const double dy = Length(configuration, difference.y);
    const double dz = Length(configuration, difference.z);
    return static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
}

MeasurementTexts BuildMeasurementTexts(const CDataDisplay& first, const CDataDisplay& second,
                                       const CConfiguration& configuration) {
    MeasurementTexts texts;
    texts.start = Coordinates(configuration, first.point1);
    texts.end = Coordinates(configuration, second.point1);
    texts.distance = FormatText("%.3f", static_cast<double>(MeasuredDistance(first, second, configuration)));
    texts.unit = configuration.IsSIMetric() ? "mm" : inspectTexts::Inch;
    return texts;
}

bool MeasurementPossible(const CDataDisplay& first, const CDataDisplay& second) {
    return first.kind != PickedNothing && second.kind != PickedNothing;
}

ScreenPoint MeasurementWindowPosition(ScreenPoint firstClick, ScreenPoint secondClick) {
    const int left = std::min(firstClick.x, secondClick.x), right = std::max(firstClick.x, secondClick.x);
    const int top = std::min(firstClick.y, secondClick.y), bottom = std::max(firstClick.y, secondClick.y);
    const bool firstLeadsBoth = firstClick.x == left && firstClick.y == top;
    const bool secondLeadsBoth = secondClick.x == left && secondClick.y == top;
    return {firstLeadsBoth || secondLeadsBoth ? right : left, bottom + 15};
}

} // namespace quillmere
