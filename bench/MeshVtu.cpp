// The 1,000,000-element mesh of the benchmarks as VTK's programs read it: the
// flat record of the sample writer with its cell fields, in 32-bit floats as
// the solver stores them, so that VTK reads no more bytes than we do.
//   bench_mesh_vtu FILE.vtu CELLS_X CELLS_Y
#include "export/VtuFile.h"
#include "tools/SampleWriter.h"

#include <cstdio>
#include <cstdlib>

using namespace quillmere;

namespace {

VtuArray CellField(const char* name, const samplegen::RecordData& record,
                   float samplegen::RecordElement::*field) {
    return {name, VtuType::Float32, 1, record.elements.size(),
            [&record, field](size_t first, size_t count, void* out) {
                for (size_t i = 0; i < count; ++i)
                    VtuStore(out, i, record.elements[first + i].*field);
            }};
}

} // namespace

int main(int argc, char** argv) {
    const int cellsX = argc == 4 ? std::atoi(argv[2]) : 0, cellsY = argc == 4 ? std::atoi(argv[3]) : 0;
    if (cellsX <= 0 || cellsY <= 0) {
        std::fprintf(stderr, "usage: bench_mesh_vtu FILE.vtu CELLS_X CELLS_Y\n");
        return 2;
    }
    const samplegen::RecordData record = samplegen::MakeGridRecord(cellsX, cellsY, 1.0, 1.0);
    VtuGrid grid;
    grid.points = {"", VtuType::Float32, 3, record.current.size(),
                   [&record](size_t first, size_t count, void* out) {
                       for (size_t i = 0; i < count; ++i) {
                           const samplegen::Vec3& p = record.current[first + i];
                           VtuStore(out, 3 * i, static_cast<float>(p.x));
                           VtuStore(out, 3 * i + 1, static_cast<float>(p.y));
                           VtuStore(out, 3 * i + 2, static_cast<float>(p.z));
                       }
                   }};
    grid.triangles = {
        "", VtuType::Int64, 3, record.elements.size(), [&record](size_t first, size_t count, void* out) {
            for (size_t i = 0; i < count; ++i)
                for (size_t corner = 0; corner < 3; ++corner)
                    VtuStore(out, 3 * i + corner,
                             static_cast<int64_t>(record.elements[first + i].nodes[corner] - 1));
        }};
    grid.cellData = {CellField("Temperature", record, &samplegen::RecordElement::temperature),
                     CellField("InitialThickness", record, &samplegen::RecordElement::initialThickness),
                     CellField("Stress1", record, &samplegen::RecordElement::stress1),
                     CellField("Stress2", record, &samplegen::RecordElement::stress2)};
    grid.cellScalars = "Temperature";
    if (!WriteVtuFile(argv[1], grid)) {
        std::fprintf(stderr, "bench_mesh_vtu: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
