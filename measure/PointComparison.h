// Measured points against the formed sheet: each point's closest point, the
// simulated thickness there against the measured one, and the summary.
#pragma once

#include "measure/MeasurementFile.h"
#include "measure/RigidFit.h"
#include "model/SurfaceSearch.h"

#include <limits>
#include <string>
#include <vector>

namespace quillmere {

class CSheetProfile;

// How far a simulated thickness may be from the measured one.
struct Tolerance {
    enum class Kind { None, Length, Percent };
    Kind kind = Kind::None;
    double value = 0; // metres, or percent of the measured thickness
};
// "0.1" (a length in unit) or "10%", as the user types it; false for
// anything else, or a bound below 0.
bool ParseTolerance(const std::string& text, LengthUnit unit, Tolerance& tolerance);

struct MeasureOptions {
    double maxDistance = kDefaultMaxDistance; // metres
    Tolerance tolerance;
    bool rigidFit = false; // fit the points to the sheet first
};

struct PointComparison {
    SurfacePoint closest; // of the point as compared, after a fit
    // The thickness at the closest point, from the element's nodal values
    // (those the view colours by), in metres.
    double simulated = std::numeric_limits<double>::quiet_NaN();
    // simulated - measured, and that in percent of the measured; NaN
    // without a measured thickness.
    double difference = std::numeric_limits<double>::quiet_NaN();
    double errorPercent = std::numeric_limits<double>::quiet_NaN();
    // Farther from the sheet than the maximum distance, or nowhere near a
    // sheet: left out of the summary.
    bool missed = true;
};

constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

// Over the points that are not missed; lengths in metres, NaN over no point.
struct MeasurementSummary {
    int used = 0, missed = 0;
    int thicknessPoints = 0; // used points with a measured and a simulated thickness
    double meanDifference = kNoValue, rmsDifference = kNoValue;
    double maxDifference = kNoValue;    // the largest |difference|
    double meanErrorPercent = kNoValue; // mean |error %|
    int withinTolerance = 0;            // of thicknessPoints
    double meanDistance = kNoValue, rmsDistance = kNoValue;
    double maxDistance = kNoValue; // the largest |distance|
};

struct MeasurementComparison {
    std::vector<PointComparison> points; // one per measured point, in their order
    MeasurementSummary summary;
    bool fitted = false;
    RigidFit fit;
};

// Whether a difference is within the tolerance of a measured thickness; the
// bound itself counts as within, to rounding.
bool WithinTolerance(double difference, double measured, const Tolerance& tolerance);

// Compares the points with the sheet that search was built on (after a
// rigid fit when the options ask for one). Points are taken on every core.
MeasurementComparison CompareMeasurements(const CSheetProfile& sheet, const CSurfaceSearch& search,
                                          const std::vector<MeasuredPoint>& points,
                                          const MeasureOptions& options);

} // namespace quillmere
