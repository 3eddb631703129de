#include "scene/PickRecord.h"

#include "config/ToolSlots.h"
#include "model/CSheetProfile.h"
#include "model/SheetMeans.h"

namespace quillmere {

namespace {

void OnSheet(CDataDisplay& record) {
    record.onTool = 0;
    record.tool = nullptr;
}

} // namespace

void FillSheetNodeRecord(const CSheetProfile& sheet, int node, CDataDisplay& record) {
    const int code = sheet.Mesh().NodeCode(node);
    const CRecordValues& values = sheet.Values();
    OnSheet(record);
    record.kind = PickedNode;
    record.index = node;
    record.point1 = sheet.CurrentCoordinate(node);
    record.value1 = NodeAverageThickness(sheet, node);
    record.value2 = NodeAverageTemperature(sheet, node);
    record.fixed = code > 2;
    record.boundary = code == 1;
    record.clamped = values.IsClamped(node);
    record.noPressure = values.HasNoPressure(node);
    record.toolInContact = -1;
    for (int tool = 0; tool < kToolSlots && record.toolInContact < 0; ++tool)
        if (values.ContactFlag(node, tool) == 0)
            record.toolInContact = tool;
}

void FillSheetElementRecord(const CSheetProfile& sheet, int element, CDataDisplay& record) {
    const size_t e = static_cast<size_t>(element);
    const PrincipalStretches stretches = ElementStretches(sheet, e);
    OnSheet(record);
    record.kind = PickedElement;
    record.index = element;
    record.point1 = sheet.CurrentCorner(e, 0);
    record.point2 = sheet.CurrentCorner(e, 1);
    record.point3 = sheet.CurrentCorner(e, 2);
    record.value1 = sheet.Derived().elements[e].Thickness;
    record.value2 = sheet.Values().elements[e].Temperature;
    record.principal1 = stretches.lambda1;
    record.principal2 = stretches.lambda2;
}

void FillSheetPointRecord(const CSheetProfile& sheet, int element, const CCoordinate& point,
                          CDataDisplay& record) {
    const size_t e = static_cast<size_t>(element);
    OnSheet(record);
    record.kind = PickedPoint;
    record.index = element;
    record.point1 = point;
    record.value1 = sheet.Derived().elements[e].Thickness;
    record.value2 = sheet.Values().elements[e].Temperature;
}

} // namespace quillmere
