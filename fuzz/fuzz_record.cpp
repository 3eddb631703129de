// The record reader on arbitrary bytes, its reader of the contact block
// alone, and everything the viewer derives from a record it accepted.
#include "fuzz/FuzzSupport.h"
#include "model/CSheetProfile.h"
#include "model/RecordReader.h"
#include "model/SheetMeans.h"
#include "model/SheetReading.h"

#include <cstddef>
#include <cstdint>

using namespace quillmere;

namespace {

double Exercise(const CSheetProfile& sheet) {
    const CSheetMesh& mesh = sheet.Mesh();
    const CRecordValues& values = sheet.Values();
    double sum = MeanThickness(sheet) + MeanTemperature(sheet) + InflatedVolume(sheet);
    const ClampedStatisticsResult clamped = ClampedStatistics(sheet);
    sum += clamped.meanThickness + clamped.nonuniformity + clamped.thicknessMinimum;
    for (int node = 1; node <= sheet.NodeCount(); ++node) {
        const CCoordinate normal = NodeNormal(sheet, node);
        const CCoordinate extensions = NodeAverageExtensions(sheet, node);
        sum += normal.x + normal.y + normal.z + extensions.x + extensions.y + extensions.z;
        sum += NodeAverageThickness(sheet, node) + NodeAverageTemperature(sheet, node) +
               NodeAverageStretchRatio(sheet, node);
        for (int tool = 0; tool < kToolSlots; ++tool)
            sum += values.ContactFlag(node, tool);
        sum += mesh.NodeMark(node) + values.IsClamped(node) + values.HasNoPressure(node);
        sum += mesh.ReferenceCoordinate(node).z + sheet.CurrentCoordinate(node).z;
    }
    for (size_t e = 0; e < static_cast<size_t>(sheet.ElementCount()); ++e) {
        const PrincipalStretches stretches = ElementStretches(sheet, e);
        sum += stretches.lambda1 + stretches.lambda2 + values.elements[e].VonMisesStress() +
               sheet.Derived().currentAreas[e] + mesh.ReferenceArea(e);
        for (int layer = 0; layer < 11; ++layer)
            sum += values.LayerValue(e, layer);
        sum += static_cast<double>(mesh.ElementNeighbours(static_cast<int>(e)).size());
    }
    for (int p = 0; p < mesh.SymmetryPlaneCount(); ++p)
        sum += mesh.SymmetryPlane(p).offset;
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::SilenceMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::ScratchFolder() + "/record.000";
    fuzz::WriteFile(path, data, size);
    fuzz::CIgnoredProgress progress;
    // The contact block alone, as first contact reads every record: where
    // the whole file is accepted, the same bytes of the same counts.
    const CRecordContact contact = ReadRecordContact(path);
    std::unique_ptr<CSheetProfile> sheet = ReadSheet(path, 0, &progress);
    if (!sheet)
        return 0;
    if (contact.error || contact.nodeCount != sheet->NodeCount() ||
        contact.elementCount != sheet->ElementCount())
        __builtin_trap();
    for (int node = 1; node <= sheet->NodeCount(); ++node) {
        const uint8_t tool = contact.tool[static_cast<size_t>(node)];
        for (int slot = 0; slot < kToolSlots; ++slot)
            if ((sheet->Values().ContactFlag(node, slot) == 0) != (tool == slot))
                __builtin_trap();
    }
    volatile double sink = Exercise(*sheet);
    // A second read of the same file has the same mesh; preparing and taking
    // its values is what every record step does.
    CRecordData again = ReadRecordFile(path, 1, nullptr);
    if (again.error)
        __builtin_trap(); // the same bytes must read the same way twice
    std::unique_ptr<CSheetProfile> prepared = PrepareRecord(sheet->SharedMesh(), std::move(again));
    if (!prepared)
        __builtin_trap();
    sheet->SwapRecordValues(*prepared);
    sink = sink + Exercise(*sheet);
    (void)sink;
    return 0;
}
