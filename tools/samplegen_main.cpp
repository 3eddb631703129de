// quillmere-samplegen: writes solved projects and single records for the
// tests, the benchmarks and the bundled sample.
#include "tools/SampleWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

using namespace quillmere;

namespace {

const char* const kUsage =
    "usage:\n"
    "  quillmere-samplegen cup FOLDER [--name NAME] [--cells NX NY] [--records N]\n"
    "                      [--quarter] [--crlf] [--windows-folder DIR] [--nonfinite]\n"
    "      writes the cup sample project FOLDER/NAME.tfc (NAME defaults to cup)\n"
    "  quillmere-samplegen grid RECORDFILE NX NY\n"
    "      writes a flat NX x NY grid record of a 1 m x 1 m sheet\n"
    "  quillmere-samplegen gauge CSVFILE [--cells NX NY] [--records N] [--quarter] [--moved]\n"
    "      writes gauge points measured on the cup sample of those options;\n"
    "      --moved: in a frame of their own (turned 2 degrees about (1, 2, 3)\n"
    "      and shifted by (3, -2, 1.5) mm)\n";

int Usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

bool PositiveInt(const char* text, int& value) {
    const char* end = text + std::strlen(text);
    std::from_chars_result result = std::from_chars(text, end, value);
    return result.ec == std::errc() && result.ptr == end && value > 0;
}

// Takes the cup's shape options at argv[i] (--cells NX NY, --records N,
// --quarter), moving i past their values: 1 when taken, 0 when argv[i] is
// none of them, -1 when its values are wrong.
int CupShapeOption(int argc, char** argv, int& i, samplegen::CupOptions& options) {
    const std::string option = argv[i];
    const int left = argc - i - 1;
    if (option == "--cells" && left >= 2) {
        if (!PositiveInt(argv[i + 1], options.cellsX) || !PositiveInt(argv[i + 2], options.cellsY))
            return -1;
        i += 2;
    } else if (option == "--records" && left >= 1) {
        if (!PositiveInt(argv[++i], options.records))
            return -1;
    } else if (option == "--quarter") {
        options.quarter = true;
    } else {
        return 0;
    }
    return 1;
}

int Cup(int argc, char** argv) {
    if (argc < 3)
        return Usage();
    const std::string folder = argv[2];
    samplegen::CupOptions options;
    for (int i = 3; i < argc; ++i) {
        const int shape = CupShapeOption(argc, argv, i, options);
        if (shape < 0)
            return Usage();
        if (shape > 0)
            continue;
        const std::string option = argv[i];
        const int left = argc - i - 1;
        if (option == "--name" && left >= 1 && argv[i + 1][0] != '\0') {
            options.name = argv[++i];
        } else if (option == "--crlf") {
            options.crlf = true;
        } else if (option == "--nonfinite") {
            options.nonFinite = true;
        } else if (option == "--windows-folder" && left >= 1) {
            options.windowsFolder = argv[++i];
        } else {
            return Usage();
        }
    }
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::string project = samplegen::WriteCupSample(folder, options);
    if (project.empty()) {
        std::fprintf(stderr, "quillmere-samplegen: cannot write the sample project into %s\n",
                     folder.c_str());
        return 1;
    }
    return 0;
}

int Grid(int argc, char** argv) {
    int nx = 0, ny = 0;
    if (argc != 5 || !PositiveInt(argv[3], nx) || !PositiveInt(argv[4], ny))
        return Usage();
    const samplegen::RecordData record = samplegen::MakeGridRecord(nx, ny, 1.0, 1.0);
    if (!samplegen::WriteRecordFile(argv[2], record)) {
        std::fprintf(stderr, "quillmere-samplegen: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}

// Turns p by 2 degrees about the axis (1, 2, 3) through the origin, then
// shifts it by (3, -2, 1.5) mm: the frame of a measuring machine.
samplegen::Vec3 Moved(const samplegen::Vec3& p) {
    const double angle = 2 * 3.14159265358979323846 / 180, norm = std::sqrt(14.0);
    const double x = 1 / norm, y = 2 / norm, z = 3 / norm;
    const double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
    return {(t * x * x + c) * p.x + (t * x * y - s * z) * p.y + (t * x * z + s * y) * p.z + 0.003,
            (t * x * y + s * z) * p.x + (t * y * y + c) * p.y + (t * y * z - s * x) * p.z - 0.002,
            (t * x * z - s * y) * p.x + (t * y * z + s * x) * p.y + (t * z * z + c) * p.z + 0.0015};
}

int Gauge(int argc, char** argv) {
    if (argc < 3)
        return Usage();
    samplegen::CupOptions options;
    bool moved = false;
    for (int i = 3; i < argc; ++i) {
        const int shape = CupShapeOption(argc, argv, i, options);
        if (shape < 0)
            return Usage();
        if (shape == 0 && std::strcmp(argv[i], "--moved") != 0)
            return Usage();
        moved = moved || shape == 0;
    }
    samplegen::MeasurementCsv file = samplegen::CupGaugePoints(options);
    if (moved) {
        file.comments.back() = "Positions in the measuring machine's frame, thickness to 0.01 mm.";
        for (samplegen::GaugePoint& point : file.points)
            point.position = Moved(point.position);
    }
    if (!samplegen::WriteMeasurementFile(argv[2], file)) {
        std::fprintf(stderr, "quillmere-samplegen: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return Usage();
    const std::string command = argv[1];
    if (command == "cup")
        return Cup(argc, argv);
    if (command == "grid")
        return Grid(argc, argv);
    if (command == "gauge")
        return Gauge(argc, argv);
    return Usage();
}
