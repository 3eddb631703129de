// The texts of a comparison of measured points: the table, one CSV row per
// point, and the summary. The batch tool and the window's "Save table..."
// write the same bytes.
#pragma once

#include "measure/MeasurementFile.h"
#include "measure/PointComparison.h"

#include <string>

namespace quillmere {

// The header line of the table, without its line end.
constexpr const char* kMeasurementTableHeader =
    "label,x,y,z,element,distance,simulated,measured,difference,error_percent,status";

// The table: the header, then a row per point in the file's order: its label
// (or its line number), x, y and z as the file gives them, the element of
// its closest point (0-based), the signed distance, the simulated and the
// measured thickness, their difference and the error in percent of the
// measured one (both of the two numbers as written), and "ok" or "missed".
// Lengths in unit, numbers in full precision; measured, difference and
// error_percent are empty where the file gives no thickness. Lines end with
// "\n".
std::string MeasurementTable(const MeasurementFile& file, const MeasurementComparison& comparison,
                             LengthUnit unit);

// The summary, a few lines each ending with "\n": the points used and
// missed; the thickness figures and the count within the tolerance; the
// shape figures; after a rigid fit its RMS distances and a line
// "Transform:" with the 4 x 4 matrix row by row (its translation in unit).
std::string MeasurementSummaryText(const MeasurementFile& file, const MeasurementComparison& comparison,
                                   const MeasureOptions& options, LengthUnit unit);

} // namespace quillmere
