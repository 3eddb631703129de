#include "BenchSupport.h"

#include "SampleWriter.h"

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/stat.h>

std::string BenchRecord(int cellsX, int cellsY) {
    const char* folder = std::getenv("QUILLMERE_BENCH_DIR");
    const std::string base =
        folder && *folder ? folder : (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
    const std::string path =
        base + "/quillmere-bench-" + std::to_string(cellsX) + "x" + std::to_string(cellsY) + ".000";
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        const samplegen::RecordData record = samplegen::MakeGridRecord(cellsX, cellsY, 1.0, 1.0);
        if (!samplegen::WriteRecordFile(path, record)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            std::exit(1);
        }
    }
    return path;
}

double PeakMemoryMegabytes() {
    struct rusage usage;
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}
