#include "batch/ValuesCommand.h"

#include "batch/BatchOptions.h"
#include "batch/BatchOutput.h"
#include "config/CConfiguration.h"
#include "core/TextFormat.h"
#include "model/CSheetProfile.h"
#include "scale/Presentation.h"
#include "session/CSessionView.h"

namespace quillmere {

int WriteValues(const BatchArguments& arguments, BatchProject& project, std::ostream& out) {
    const ResultQuantity quantity = *arguments.quantity;
    ScaleLimits limits;
    if (arguments.hasMinimum) {
        limits.SetFixedMode(quantity, 1);
        limits.SetFixedMinimum(quantity, arguments.minimum);
        limits.SetFixedMaximum(quantity, arguments.maximum);
    }
    const CSheetProfile& sheet = *project.view.Sheet();
    // The limits and colours a view of this quantity presents; the texts are
    // none of this command's output.
    const double wall = MinimumWallMetres(arguments.minimumWall, project.configuration);
    const Presentation shown = MakePresentation(
        {&sheet, quantity, limits, project.view.Comparison(), project.view.ShownRecord(), nullptr, wall});
    NodeColouring colouring;
    ColourPresented(sheet, shown, colouring);
    out << "# limits " << ExactNumber(shown.limits.minimum) << ' ' << ExactNumber(shown.limits.maximum)
        << '\n';
    if (const MinimumWallShown& below = shown.minimumWall; below.Shown())
        out << "# below minimum wall " << FormatNumber("%g", arguments.minimumWall) << ' '
            << project.configuration.LengthUnit() << ": " << below.share.elements << " elements, "
            << FormatNumber("%.2f", below.share.percent) << " % of the area\n";
    out << "node,value,colour\n";
    for (int node = 1; node <= sheet.NodeCount(); ++node) {
        // The grey of a value that is not a number is no index of the ramp.
        const int index = colouring.indices[static_cast<size_t>(node)];
        out << node << ',' << ExactNumber(colouring.values[static_cast<size_t>(node)]) << ','
            << (index == ColourRamp::NoValue ? -1 : index) << '\n';
    }
    return BatchSuccess;
}

} // namespace quillmere
