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

std::string TenRecordProject() {
    const char* folder = std::getenv("QUILLMERE_BENCH_DIR");
    const std::string base =
        folder && *folder ? folder : (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
    const std::string project = base + "/quillmere-bench-ten.tfc";
    struct stat info;
    if (::stat(project.c_str(), &info) == 0)
        return project;
    constexpr int records = 10;
    samplegen::RecordData record = samplegen::MakeGridRecord(708, 707, 1.0, 1.0);
    record.contactTool.assign(record.current.size(), 255);
    samplegen::ProjectFile file;
    bool written = true;
    for (int r = 0; r < records && written; ++r) {
        const double reach = 0.5 * (r + 1) / records;
        for (size_t n = 0; n < record.current.size(); ++n) {
            samplegen::Vec3& node = record.current[n];
            node.z = 0.01 * r;
            if (node.x * node.x + node.y * node.y <= reach * reach)
                record.contactTool[n] = 0;
        }
        record.toolPositions[0] = 0.01 * r;
        written = samplegen::WriteRecordFile(samplegen::RecordFileName(project, r), record);
        file.records.push_back({1000.0 * r, 0.2 * r, 0});
    }
    written = written &&
              samplegen::WriteSectionTool(base + "/quillmere-bench-ten.tol", {{0, 900, 900, 50}}, false) &&
              samplegen::WriteProcessControl(base + "/quillmere-bench-ten.prc", {samplegen::ToolMotion{}});
    samplegen::ProjectConfiguration configuration;
    configuration.toolNames = {"quillmere-bench-ten.tol"};
    written =
        written && samplegen::WriteProjectConfiguration(base + "/quillmere-bench-ten.cfg", configuration);
    file.sheet = "quillmere-bench-ten.sht";
    file.toolNames = {"quillmere-bench-ten.tol"};
    file.processControl = "quillmere-bench-ten.prc";
    file.materials = {"quillmere-bench.vie"};
    file.heatFriction = "quillmere-bench.hft";
    file.configuration = "quillmere-bench-ten.cfg";
    if (!written || !samplegen::WriteProjectFile(project, file)) {
        std::fprintf(stderr, "cannot write the ten-record benchmark project in %s\n", base.c_str());
        std::exit(1);
    }
    return project;
}
