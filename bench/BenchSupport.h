// The big meshes of the benchmarks, written once per run by the sample
// writer, and the peak memory of the process.
#pragma once

#include <string>

// A flat record of cellsX x cellsY cells (two elements each) in the folder
// named by QUILLMERE_BENCH_DIR, or the system's temporary folder; written
// when it is not there yet. Returns its path.
std::string BenchRecord(int cellsX, int cellsY);

// The 1,000,000-element record: 708 x 707 cells, 1,001,112 elements and
// 501,972 nodes.
inline std::string MillionElementRecord() {
    return BenchRecord(708, 707);
}

// Peak resident memory of the process so far, in megabytes.
double PeakMemoryMegabytes();

// A project of two records of the 1,000,000-element mesh (the second one
// lifted by 10 mm) with one section tool, written once per run; returns the
// path of its project file. QUILLMERE_BENCH_CELLS ("1415x1414": 4,001,620
// elements) asks for another grid, for the growth of the costs with the
// mesh; give it a QUILLMERE_BENCH_DIR of its own.
std::string MillionElementProject();

// A project of ten records of the 1,000,000-element mesh, the sheet lifted by
// 10 mm per record and touching the tool in a disc that widens record by
// record, written once per run; returns the path of its project file.
std::string TenRecordProject();
