#include "cut/CutSession.h"

#include "config/CConfiguration.h"
#include "config/Units.h"
#include "cut/CutComputation.h"
#include "model/CSheetProfile.h"
#include "scale/ResultQuantity.h"

CCutPlane CCutSession::Plane(const CConfiguration& configuration) const {
    return CCutPlane::AtAxis(PlaneIndex, configuration.LengthFromDisplay(Position));
}

void CCutSession::Cut(CSheetProfile& sheet, const CConfiguration& configuration) {
    if (ResetLimitsPending)
        GraphLimits = CGraphLimits();
    ComputeCut(sheet, Plane(configuration), Quantity());
    BuildGraph(sheet, configuration);
    ResetLimitsPending = false;
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
