// Values taken over the nodes and elements of a sheet: normals and averages
// at nodes, area-weighted means, the inflated volume, the thickness
// statistics of the free (not clamped) sheet and an element's stretches.
#pragma once

#include "model/SheetDerivation.h"
#include "model/Vectors.h"

#include <cstddef>

namespace quillmere {

class CSheetProfile;

// Area-weighted normal at a node, kept in its symmetry plane.
CCoordinate NodeNormal(const CSheetProfile& sheet, int node);

// Plain means over the node's elements.
double NodeAverageThickness(const CSheetProfile& sheet, int node);
double NodeAverageTemperature(const CSheetProfile& sheet, int node);
CCoordinate NodeAverageExtensions(const CSheetProfile& sheet, int node); // x, y, planar
double NodeAverageStretchRatio(const CSheetProfile& sheet, int node);

// Means over all elements weighted by the current area.
double MeanThickness(const CSheetProfile& sheet);
double MeanTemperature(const CSheetProfile& sheet);

// Signed volume under the sheet in cubic metres, scaled by its symmetry.
double InflatedVolume(const CSheetProfile& sheet);

// The thickness figures of the elements that are not clamped.
struct ClampedStatisticsResult {
    double meanThickness = 0;
    double nonuniformity = 0;
    int elementCount = 0; // elements that took part
    // The smallest and the largest thickness; both 0 without any.
    double thicknessMinimum = 0, thicknessMaximum = 0;
};
ClampedStatisticsResult ClampedStatistics(const CSheetProfile& sheet);

// The principal stretches of an element (0-based index).
PrincipalStretches ElementStretches(const CSheetProfile& sheet, size_t element);

} // namespace quillmere
