#include "scene/PickRecord.h"

#include "config/ToolSlots.h"
#include "model/CSheetProfile.h"

namespace {

void OnSheet(CDataDisplay& record) {
    record.onTool = 0;
    record.tool = nullptr;
}

} // namespace

void FillSheetNodeRecord(const CSheetProfile& sheet, int node, CDataDisplay& record) {
    const int code = sheet.NodeCode(node);
    OnSheet(record);
    record.kind = PickedNode;
    record.index = node;
    record.point1 = sheet.CurrentCoordinate(node);
    record.value1 = sheet.NodeAverageThickness(node);
    record.value2 = sheet.NodeAverageTemperature(node);
    record.fixed = code > 2;
    record.boundary = code == 1;
    record.clamped = sheet.IsClamped(node);
    record.noPressure = sheet.HasNoPressure(node);
    record.toolInContact = -1;
    for (int tool = 0; tool < kToolSlots && record.toolInContact < 0; ++tool)
        if (sheet.ContactFlag(node, tool) == 0)
            record.toolInContact = tool;
}

void FillSheetElementRecord(const CSheetProfile& sheet, int element, CDataDisplay& record) {
    const CElementProfile& profile = sheet.Elements()[static_cast<size_t>(element)];
    const PrincipalStretches stretches = sheet.Stretches(profile);
    OnSheet(record);
    record.kind = PickedElement;
    record.index = element;
    record.point1 = sheet.CurrentCorner(profile, 0);
    record.point2 = sheet.CurrentCorner(profile, 1);
    record.point3 = sheet.CurrentCorner(profile, 2);
    record.value1 = profile.Thickness;
    record.value2 = profile.Temperature;
    record.principal1 = stretches.lambda1;
    record.principal2 = stretches.lambda2;
}

void FillSheetPointRecord(const CSheetProfile& sheet, int element, const CCoordinate& point,
                          CDataDisplay& record) {
    const CElementProfile& profile = sheet.Elements()[static_cast<size_t>(element)];
    OnSheet(record);
    record.kind = PickedPoint;
    record.index = element;
    record.point1 = point;
    record.value1 = profile.Thickness;
    record.value2 = profile.Temperature;
}
