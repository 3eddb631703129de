#include "scale/MinimumWall.h"

#include "config/CConfiguration.h"
#include "core/TextFormat.h"

namespace quillmere {

std::string MinimumWallLabel(double wall, const CConfiguration& configuration) {
    const double shown = configuration.LengthToDisplay(wall * 1000);
    return "Below " + FormatNumber(configuration.IsSIMetric() ? "%.2f" : "%.3f", shown) + ' ' +
           configuration.LengthUnit();
}

MinimumWallShown ShowMinimumWall(const CSheetProfile* sheet, double wall, const CConfiguration* units) {
    MinimumWallShown shown;
    if (!(wall > 0))
        return shown;
    shown.share = sheet ? BelowMinimumWall(*sheet, wall) : MinimumWallShare{wall, 0, 0, 0};
    if (!units)
        return shown;
    shown.label = MinimumWallLabel(wall, *units);
    if (sheet)
        shown.line =
            shown.label + ": " + FormatNumber("%.1f", shown.share.percent) + " % of the area (" +
            FormatText(shown.share.elements == 1 ? "%d element)" : "%d elements)", shown.share.elements);
    return shown;
}

} // namespace quillmere
