// Measured points imported into an open project: the file as read, compared
// with the record its sheet shows, and what the views draw of them (markers
// coloured on a scale of their own).
#pragma once

#include "measure/MeasurementFile.h"
#include "measure/PointComparison.h"
#include "scale/ColourRamp.h"
#include "scale/ScaleLabels.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace quillmere {

class CConfiguration;
class CSheetProfile;

// One comparison, never changed once made: the interface thread swaps in a
// new one that a job made for another record.
struct MeasuredPoints {
    std::string path; // the file's
    MeasurementFile file;
    MeasureOptions options;
    int record = 0; // the record the points were compared with
    MeasurementComparison comparison;
};

// A copy of the sheet's state for a job to read while the interface thread
// steps the project on.
std::unique_ptr<CSheetProfile> CopySheet(const CSheetProfile& sheet);

// The points of read compared with sheet, which holds record (its mirror
// images taken as the view shows them).
std::shared_ptr<const MeasuredPoints> CompareMeasuredPoints(const MeasuredPoints& read,
                                                            const CSheetProfile& sheet, int record);

// What a marker is coloured by: the thickness difference (simulated -
// measured) when the file has a thickness, else the distance from the sheet.
bool ColouredByDifference(const MeasuredPoints& points);
// The value a point's marker is coloured by (metres); NaN for none.
double MarkerValue(const MeasuredPoints& points, size_t point);

// Missed points, and points without a value, are drawn in this grey.
constexpr RgbColour kMissedMarkerColour = {160, 160, 160};

struct MeasurementMarker {
    CCoordinate position; // the closest point on the sheet; the point itself when missed
    RgbColour colour;
};

// The scale of the markers: the diverging ramp over +- the largest
// |value| of the points used.
struct MeasurementScale {
    // "Thickness: simulated − measured", or "Distance from the sheet".
    std::string title;
    double limit = 0; // metres
    std::array<RgbColour, ColourRamp::Size> bands{};
    std::array<std::string, ScaleLabelCount> labels; // top first, in units
};
// The columns of a point's row in the measurements table, in the user's
// units ("" where there is nothing to show): label (or the line number),
// position "x, y, z", measured, simulated, difference, error % and distance.
enum MeasurementTableColumn {
    RowLabel,
    RowPosition,
    RowMeasured,
    RowSimulated,
    RowDifference,
    RowErrorPercent,
    RowDistance,
    RowColumns
};
// "Label", "Position (mm)", "Measured (mm)", ...
std::array<std::string, RowColumns> MeasurementRowHeadings(const CConfiguration& units);
std::array<std::string, RowColumns> MeasurementRowTexts(const MeasuredPoints& points, size_t point,
                                                        const CConfiguration& units);
// What the rows are sorted by in each column: the numbers in metres (the
// label's line number for the label); NaN where the text is empty.
std::array<double, RowColumns> MeasurementRowKeys(const MeasuredPoints& points, size_t point);
// The data tip's lines of a point: "Measured point G07", "measured
// 2.31 mm, simulated 2.40 mm", "difference 0.09 mm (3.90 %), distance
// 0.01 mm"; "missed" for a point not on the sheet.
std::vector<std::string> MeasurementTipLines(const MeasuredPoints& points, size_t point,
                                             const CConfiguration& units);

MeasurementScale MarkerScale(const MeasuredPoints& points, const CConfiguration& units);
std::vector<MeasurementMarker> MeasurementMarkers(const MeasuredPoints& points);

} // namespace quillmere
