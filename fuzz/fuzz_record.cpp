// The record reader on arbitrary bytes, and everything the viewer derives
// from a record it accepted.
#include "fuzz/FuzzSupport.h"
#include "model/CSheetProfile.h"

#include <cstddef>
#include <cstdint>

namespace {

double Exercise(CSheetProfile& sheet) {
    double sum = sheet.MeanThickness() + sheet.MeanTemperature() + sheet.InflatedVolume();
    const ClampedStatisticsResult clamped = sheet.ClampedStatistics();
    sum += clamped.meanThickness + clamped.nonuniformity + sheet.ThicknessRange()[0];
    for (int node = 1; node <= sheet.NodeCount(); ++node) {
        const CCoordinate normal = sheet.NodeNormal(node);
        const CCoordinate extensions = sheet.NodeAverageExtensions(node);
        sum += normal.x + normal.y + normal.z + extensions.x + extensions.y + extensions.z;
        sum += sheet.NodeAverageThickness(node) + sheet.NodeAverageTemperature(node) +
               sheet.NodeAverageStretchRatio(node);
        for (int tool = 0; tool < kToolSlots; ++tool)
            sum += sheet.ContactFlag(node, tool);
        sum += sheet.NodeMark(node) + sheet.IsClamped(node) + sheet.HasNoPressure(node);
        sum += sheet.ReferenceCoordinate(node).z + sheet.CurrentCoordinate(node).z;
    }
    for (int e = 0; e < sheet.ElementCount(); ++e) {
        const CElementProfile& element = sheet.Elements()[static_cast<size_t>(e)];
        const PrincipalStretches stretches = sheet.Stretches(element);
        sum += stretches.lambda1 + stretches.lambda2 + element.VonMisesStress() + sheet.CurrentArea(element);
        for (int layer = 0; layer < 11; ++layer)
            sum += sheet.LayerValue(e, layer);
        sum += static_cast<double>(sheet.ElementNeighbours(e).size());
    }
    for (int p = 0; p < sheet.SymmetryPlaneCount(); ++p)
        sum += sheet.SymmetryPlane(p).offset;
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
    CSheetProfile::ReadOptions options;
    options.derive = true;
    options.unopenableIsCritical = false;
    CSheetProfile sheet(path, 0, &progress, options);
    if (sheet.ReadFailed())
        return 0;
    volatile double sink = Exercise(sheet);
    // A second read of the same file has the same mesh; taking its values
    // is what every record step does.
    CSheetProfile again(path, 1, nullptr, {false, false});
    if (again.ReadFailed() || !sheet.HasSameMesh(again))
        __builtin_trap(); // the same bytes must read the same way twice
    sheet.TakeRecordValues(again);
    sink = sink + Exercise(sheet);
    (void)sink;
    return 0;
}
