// Reading tool files of growing size: the time must grow with the size of the
// file, not with its square, also when a hostile file puts everything on
// one line.
#include "model/CMoldProfile.h"
#include "tools/SampleWriter.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>

using namespace quillmere;

namespace {

std::string BenchFolder() {
    const char* folder = std::getenv("QUILLMERE_BENCH_DIR");
    if (folder && *folder)
        return folder;
    const char* temporary = std::getenv("TMPDIR");
    return temporary && *temporary ? temporary : "/tmp";
}

bool Exists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

void Written(bool ok, const std::string& path) {
    if (!ok) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

// A strip of quads numbered node by node, the way solvers write moulds.
std::string NumberedNodeTool(int quads) {
    const std::string name = "quillmere-bench-numbered-" + std::to_string(quads) + ".tol";
    const std::string path = BenchFolder() + "/" + name;
    if (!Exists(path)) {
        std::vector<samplegen::Vec3> nodes;
        std::vector<std::vector<int>> faces;
        for (int i = 0; i <= quads; ++i) {
            nodes.push_back({static_cast<double>(i), 0, 0});
            nodes.push_back({static_cast<double>(i), 10, 1});
        }
        for (int i = 0; i < quads; ++i)
            faces.push_back({2 * i + 1, 2 * i + 3, 2 * i + 4, 2 * i + 2});
        Written(samplegen::WriteNumberedNodeTool(path, nodes, faces, false), path);
    }
    return name;
}

// A short file whose faces all stand on one line.
std::string OneLineShortTool(int triangles) {
    const std::string name = "quillmere-bench-oneline-" + std::to_string(triangles) + ".tol";
    const std::string path = BenchFolder() + "/" + name;
    if (!Exists(path)) {
        samplegen::ShortTool tool;
        for (int i = 0; i < triangles; ++i) {
            const double x = i;
            tool.faces.push_back({{x, 0, 0}, {x + 1, 0, 0}, {x, 1, 0}});
        }
        Written(samplegen::WriteShortTool(path, tool), path);
        // Written one face per line; joined into one line here.
        std::FILE* in = std::fopen(path.c_str(), "rb");
        std::string text;
        for (int c; in && (c = std::fgetc(in)) != EOF;)
            text += c == '\n' ? ' ' : static_cast<char>(c);
        if (in)
            std::fclose(in);
        std::FILE* out = std::fopen(path.c_str(), "wb");
        Written(out && std::fwrite(text.data(), 1, text.size(), out) == text.size() && std::fclose(out) == 0,
                path);
    }
    return name;
}

void BM_ReadNumberedNodeTool(benchmark::State& state) {
    const std::string name = NumberedNodeTool(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CMoldProfile tool(name, nullptr, "none.prc", 0, BenchFolder());
        benchmark::DoNotOptimize(tool.Faces().size());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ReadNumberedNodeTool)
    ->RangeMultiplier(4)
    ->Range(1 << 14, 1 << 18)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_ReadShortToolOnOneLine(benchmark::State& state) {
    const std::string name = OneLineShortTool(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CMoldProfile tool(name, nullptr, "none.prc", 0, BenchFolder());
        benchmark::DoNotOptimize(tool.Faces().size());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ReadShortToolOnOneLine)
    ->RangeMultiplier(4)
    ->Range(1 << 14, 1 << 18)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

} // namespace
