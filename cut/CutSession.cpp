#include "cut/CutSession.h"

#include "config/CConfiguration.h"
#include "core/TextFormat.h"
#include "cut/CutComputation.h"
#include "model/CSheetProfile.h"
#include "scale/Comparison.h"
#include "scale/ResultQuantity.h"

#include <algorithm>

namespace quillmere {

CCutPlane CCutSession::Plane(const CConfiguration& configuration) const {
    return CCutPlane::AtAxis(PlaneIndex, configuration.LengthFromDisplay(Position));
}

void CCutSession::Cut(const CSheetProfile& sheet, const CConfiguration& configuration) {
    if (ResetLimitsPending)
        GraphLimits = CGraphLimits();
    cut = ComputeCut(sheet, Plane(configuration), ProfileQuantity);
    cutValues = sheet.ValuesGeneration();
    marked = false;
    if (Comparison)
        TakeCutDifferences(cut, *Comparison, sheet, ProfileQuantity);
    Made = {PlaneIndex, Position, Record, RecordCount, Comparison != nullptr};
    BuildGraph(sheet, configuration);
    ResetLimitsPending = false;
}

void CCutSession::BuildGraph(const CSheetProfile& sheet, const CConfiguration& configuration) {
    if (cutValues != sheet.ValuesGeneration()) {
        cut.clear();
        marked = false;
    }
    Graph = BuildProfileGraph(cut, ProfileQuantity, configuration, Made.difference);
    ApplyAutomaticLimits(Graph, configuration, GraphLimits);
    HasGraph = true;
}

void CCutSession::UnitsChanged(bool wasSIMetric, const CSheetProfile* sheet,
                               const CConfiguration& configuration) {
    if (wasSIMetric == configuration.IsSIMetric())
        return;
    CConfiguration before = configuration;
    before.SetSIMetric(wasSIMetric);
    const auto length = [&](double value) {
        return configuration.LengthToDisplay(before.LengthFromDisplay(value));
    };
    Position = length(Position);
    Made.position = length(Made.position);
    // Automatic limits stay automatic; given ones follow their quantity.
    if (!GraphLimits.Automatic()) {
        GraphLimits.xMin = length(GraphLimits.xMin);
        GraphLimits.xMax = length(GraphLimits.xMax);
        // A difference takes the factor of the units, not their offset.
        const double offset =
            Made.difference ? QuantityBetweenSystems(ProfileQuantity, 0, before, configuration) : 0;
        GraphLimits.yMin =
            QuantityBetweenSystems(ProfileQuantity, GraphLimits.yMin, before, configuration) - offset;
        GraphLimits.yMax =
            QuantityBetweenSystems(ProfileQuantity, GraphLimits.yMax, before, configuration) - offset;
    }
    if (HasGraph && sheet)
        BuildGraph(*sheet, configuration);
}

std::string CCutSession::GraphCaption(const CConfiguration& configuration) const {
    const char* const axes[3] = {"X", "Y", "Z"};
    return FormatText("%s = %.15g %s, Rec. %d / %d.", axes[std::clamp(Made.planeIndex, 0, 2)],
                      ShownValue("%.15g", Made.position), configuration.LengthUnit(), Made.record,
                      Made.recordCount);
}

const CCutSegments& CCutSession::CutOf(const CSheetProfile& sheet) const {
    static const CCutSegments none;
    return cutValues == sheet.ValuesGeneration() ? cut : none;
}

const CCoordinate* CCutSession::MarkOf(const CSheetProfile& sheet) const {
    return marked && cutValues == sheet.ValuesGeneration() ? &markPoint : nullptr;
}

void CCutSession::SetMark(const CCoordinate* point) {
    marked = point != nullptr;
    if (point)
        markPoint = *point;
}

} // namespace quillmere
