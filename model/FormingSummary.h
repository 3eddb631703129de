// The figures a thermoforming engineer judges a formed part by: the areal
// draw ratio, the thickness range with the thinnest element, the thinning
// against the starting sheet, the area thickened and the area below the
// minimum wall the drawing asks for, and the order in which the sheet
// touched the tools. Over the whole sheet, clamped elements included.
#pragma once

#include "model/FirstContact.h"
#include "model/Vectors.h"

#include <optional>
#include <string>
#include <vector>

namespace quillmere {

class CConfiguration;
class CSheetProfile;

// An element is below the minimum wall when it is thinner than it: the one
// test of the view's warning colour, the scale panel and the figures.
inline bool BelowWall(double thickness, double wall) {
    return thickness < wall;
}

// The elements thinner than a minimum wall (metres) and their share of the
// formed area, counted in the stored model.
struct MinimumWallShare {
    double wall = 0;
    int elements = 0;
    double area = 0;    // their current area, square metres
    double percent = 0; // of the formed area; NaN without any
};
MinimumWallShare BelowMinimumWall(const CSheetProfile& sheet, double wall);

struct FormingFigures {
    // How often the stored model makes the whole part: 2 for a half model,
    // 4 for a quarter (mirrored in its symmetry planes), otherwise 1. The
    // areas are the whole part's; ratios and shares are the same for both,
    // counts are of the stored model.
    int images = 1;
    double sheetArea = 0, formedArea = 0; // square metres
    double drawRatio = 0;                 // formed over sheet area; NaN without area
    // Metres, area-weighted mean; NaN without an element whose values are
    // numbers.
    double thicknessMinimum = 0, thicknessMean = 0, thicknessMaximum = 0;
    int thinnestElement = -1; // 0-based, as the data tip numbers it
    CCoordinate thinnestPosition;
    // (1 - t / t0) x 100 at its largest, t0 the element's initial
    // thickness; NaN without any.
    double maximumThinning = 0;
    // The current area of the elements thicker than t0 (1 + 1e-6), in % of
    // the formed area.
    double thickenedPercent = 0;
    std::optional<MinimumWallShare> belowWall;
    std::optional<ContactSpan> contact;
};

// The figures of sheet; minimumWall in metres (none when not above 0);
// firstContact by node number as the sheet keeps it (CSheetProfile::FirstContact), or null.
FormingFigures FormingFiguresOf(const CSheetProfile& sheet, double minimumWall,
                                const std::vector<double>* firstContact);

// The summary's text in the configuration's units: a heading naming the
// project and the record, then one line per figure ("Areal draw ratio:
// 2.0000", "Maximum thinning: 50.00 %", ...), lines that scripts read.
std::string FormingSummaryText(const FormingFigures& figures, const CConfiguration& configuration,
                               const std::string& projectPath, int record);

} // namespace quillmere
