#include "bench/BenchSupport.h"

#include "tools/SampleWriter.h"

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace quillmere;

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

std::string MillionElementProject() {
    const char* folder = std::getenv("QUILLMERE_BENCH_DIR");
    const std::string base =
        folder && *folder ? folder : (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
    const std::string project = base + "/quillmere-bench-project.tfc";
    struct stat info;
    if (::stat(project.c_str(), &info) == 0)
        return project;
    int cellsX = 708, cellsY = 707;
    if (const char* cells = std::getenv("QUILLMERE_BENCH_CELLS")) {
        if (std::sscanf(cells, "%dx%d", &cellsX, &cellsY) != 2 || cellsX < 1 || cellsY < 1) {
            std::fprintf(stderr, "QUILLMERE_BENCH_CELLS is not COLUMNSxROWS: %s\n", cells);
            std::exit(1);
        }
    }
    samplegen::RecordData record = samplegen::MakeGridRecord(cellsX, cellsY, 1.0, 1.0);
    bool written = samplegen::WriteRecordFile(base + "/quillmere-bench-project.000", record);
    for (samplegen::Vec3& node : record.current)
        node.z += 0.01;
    record.toolPositions[0] = 0.01;
    written = written && samplegen::WriteRecordFile(base + "/quillmere-bench-project.001", record) &&
              samplegen::WriteSectionTool(base + "/quillmere-bench-mould.tol",
                                          {{0, 900, 900, 50}, {-100, 800, 800, 50}}, false) &&
              samplegen::WriteProcessControl(base + "/quillmere-bench.prc", {samplegen::ToolMotion{}});
    samplegen::ProjectConfiguration configuration;
    configuration.toolNames = {"quillmere-bench-mould.tol"};
    written = written && samplegen::WriteProjectConfiguration(base + "/quillmere-bench.cfg", configuration);
    samplegen::ProjectFile file;
    file.sheet = "quillmere-bench.sht";
    file.toolNames = {"quillmere-bench-mould.tol"};
    file.processControl = "quillmere-bench.prc";
    file.materials = {"quillmere-bench.vie"};
    file.heatFriction = "quillmere-bench.hft";
    file.configuration = "quillmere-bench.cfg";
    file.records = {{0, 0, 0}, {1000, 0.2, 0}};
    if (!written || !samplegen::WriteProjectFile(project, file)) {
        std::fprintf(stderr, "cannot write the benchmark project in %s\n", base.c_str());
        std::exit(1);
    }
    return project;
}
