#include "cut/CutSession.h"

#include "config/CConfiguration.h"
#include "config/Units.h"
#include "core/TextFormat.h"
#include "cut/CutComputation.h"
#include "model/CSheetProfile.h"
#include "scale/ResultQuantity.h"

#include <algorithm>

CCutPlane CCutSession::Plane(const CConfiguration& configuration) const {
    return CCutPlane::AtAxis(PlaneIndex, configuration.LengthFromDisplay(Position));
}

void CCutSession::Cut(CSheetProfile& sheet, const CConfiguration& configuration) {
    if (ResetLimitsPending)
        GraphLimits = CGraphLimits();
    ComputeCut(sheet, Plane(configuration), Quantity());
    BuildGraph(sheet, configuration);
    ResetLimitsPending = false;
    Made = {PlaneIndex, Position, Record, RecordCount};
}

void CCutSession::BuildGraph(CSheetProfile& sheet, const CConfiguration& configuration) {
    Graph = BuildProfileGraph(sheet.CutSegments(), Quantity(), configuration);
    ApplyAutomaticLimits(Graph, configuration, GraphLimits);
    HasGraph = true;
}

void CCutSession::UnitsChanged(bool wasSIMetric, CSheetProfile* sheet, const CConfiguration& configuration) {
    if (wasSIMetric == configuration.IsSIMetric())
        return;
    const double length = configuration.IsSIMetric() ? kMmPerInch : kInchPerMm;
    Position *= length;
    Made.position *= length;
    // Automatic limits stay automatic; given ones follow their quantity.
    if (!GraphLimits.Automatic()) {
        GraphLimits.xMin *= length;
        GraphLimits.xMax *= length;
        if (Quantity() == ThicknessQuantity) {
            GraphLimits.yMin *= length;
            GraphLimits.yMax *= length;
        } else if (Quantity() == TemperatureQuantity) {
            auto convert = [&](double t) {
                return configuration.IsSIMetric() ? (t - 32.0) / 1.8 : t * 1.8 + 32.0;
            };
            GraphLimits.yMin = convert(GraphLimits.yMin);
            GraphLimits.yMax = convert(GraphLimits.yMax);
        }
    }
    if (HasGraph && sheet)
        BuildGraph(*sheet, configuration);
}

std::string CCutSession::GraphCaption(const CConfiguration& configuration) const {
    const char* const axes[3] = {"X", "Y", "Z"};
    return FormatText("%s = %.15g %s, Rec. %d / %d.", axes[std::clamp(Made.planeIndex, 0, 2)], Made.position,
                      configuration.LengthUnit(), Made.record, Made.recordCount);
}
