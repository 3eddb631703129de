// Writes the seed corpora of the fuzz targets, all made by the sample writer
// and the configuration writer: make_seeds FOLDER writes FOLDER/record,
// FOLDER/tool, FOLDER/project, FOLDER/config, FOLDER/tokenizer,
// FOLDER/record_table and FOLDER/measurement.
#include "config/CConfiguration.h"
#include "fuzz/FuzzSupport.h"
#include "tools/SampleWriter.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using namespace quillmere;

namespace {

using namespace samplegen;

std::string out;     // the seeds folder
std::string scratch; // files are written here first and read back
bool ok = true;

std::string Scratch(const std::string& name) {
    return scratch + "/" + name;
}

void Seed(const std::string& target, const std::string& name, const std::string& content) {
    const std::string folder = out + "/" + target;
    std::filesystem::create_directories(folder);
    fuzz::WriteFile(folder + "/" + name, content);
}

// Writes a file with the given writer into the scratch folder and returns
// its bytes.
template <typename Writer> std::string Made(const std::string& name, Writer write) {
    const std::string path = Scratch(name);
    if (!write(path)) {
        std::fprintf(stderr, "make_seeds: cannot write %s\n", path.c_str());
        ok = false;
    }
    return fuzz::ReadFile(path);
}

std::string Record(const RecordData& record) {
    return Made("record.000", [&](const std::string& path) { return WriteRecordFile(path, record); });
}

void RecordSeeds() {
    Seed("record", "grid", Record(MakeGridRecord(2, 2, 0.1, 0.1)));

    RecordData marked = MakeGridRecord(3, 3, 0.2, 0.1);
    marked.symmetryName = "HALF";
    marked.planes = {{0, 1, 0, 0.05}};
    marked.nodeMarks.assign(marked.current.size(), 2);
    for (size_t i = 0; i < marked.current.size(); ++i) {
        marked.nodeCode[i] = static_cast<uint8_t>(i % 4);
        marked.planeIndex[i] = static_cast<uint8_t>(i % 3);
        marked.contactTool[i] = static_cast<uint8_t>(i % 12);
        marked.conditions[i] = static_cast<uint32_t>(i % 4);
        marked.current[i].z = 0.01 * static_cast<double>(i % 5);
    }
    Seed("record", "marks-planes", Record(marked));

    RecordData quarter = MakeGridRecord(2, 3, 0.1, 0.1);
    quarter.symmetryName = "QUARTER";
    quarter.planes = {{1, 0, 0, 0}, {0, 1, 0, 0}};
    quarter.nodeCode.assign(quarter.current.size(), 2);
    quarter.planeIndex.assign(quarter.current.size(), 2);
    Seed("record", "quarter", Record(quarter));

    RecordData extended = MakeGridRecord(2, 1, 0.1, 0.1);
    extended.extended = true;
    extended.version = 410;
    for (RecordElement& element : extended.elements)
        for (size_t k = 0; k < element.layers.size(); ++k)
            element.layers[k] = 100.0 + static_cast<double>(k);
    Seed("record", "extended", Record(extended));
    extended.version = 409;
    Seed("record", "extended-409", Record(extended));

    RecordData stretched = MakeGridRecord(2, 2, 0.1, 0.1);
    for (Vec3& p : stretched.current)
        p = {2 * p.x, p.y, 0.02};
    stretched.symmetryName = "ONE_STRIPE";
    stretched.toolPositions = {0.01, -0.02, 0.03};
    Seed("record", "stretched", Record(stretched));

    // Wide element records need 65536 nodes; most of them are used by no
    // element.
    RecordData wide = MakeGridRecord(1, 1, 0.1, 0.1);
    wide.current.resize(65536);
    wide.CompleteNodeData();
    wide.elements[1].nodes[2] = 65536;
    Seed("record", "wide", Record(wide));

    for (const bool quarterCup : {false, true}) {
        CupOptions options;
        options.name = "cup";
        options.cellsX = 3;
        options.cellsY = 2;
        options.records = 2;
        options.quarter = quarterCup;
        const std::string project = WriteCupSample(scratch, options);
        ok = ok && !project.empty();
        Seed("record", quarterCup ? "cup-quarter" : "cup", fuzz::ReadFile(RecordFileName(project, 1)));
    }
}

void ToolSeed(const std::string& name, const std::string& tool, uint8_t flags,
              const std::string& processControl = std::string()) {
    fuzz::ToolInput input;
    input.flags = flags;
    input.toolFile = tool;
    input.processControl = processControl;
    if (!processControl.empty())
        input.flags |= fuzz::ToolInput::WithProcessControl;
    Seed("tool", name, input.Encode());
}

void ToolSeeds() {
    const std::string control = Made("motion.prc", [](const std::string& path) {
        std::vector<ToolMotion> motions(4);
        motions[1].direction = {0, 0, -1};
        motions[2] = {{0.5, 0, -0.5}, 2, 3};
        return WriteProcessControl(path, motions);
    });
    const std::string controlCrlf = Made("motion-crlf.prc", [](const std::string& path) {
        return WriteProcessControl(path, {ToolMotion{{0, 1, 0}, 1, 0}}, true);
    });

    const std::vector<Vec3> nodes{{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 5}, {5, 5, 8}};
    const std::vector<std::vector<int>> faces{{1, 2, 3}, {1, 3, 4}, {1, 2, 5}, {1, 2, 3, 4}};
    const std::string numbered = Made("numbered.tol", [&](const std::string& path) {
        return WriteNumberedNodeTool(path, nodes, faces, false, 2);
    });
    const std::string inches = Made("inches.tol", [&](const std::string& path) {
        return WriteNumberedNodeTool(path, nodes, faces, true, 1, true);
    });
    std::vector<Vec3> ring;
    std::vector<int> big;
    for (int k = 0; k < 14; ++k) {
        ring.push_back({static_cast<double>(k % 7), static_cast<double>(k * k % 5), static_cast<double>(k)});
        big.push_back(k + 1);
    }
    const std::string bigFace = Made(
        "big.tol", [&](const std::string& path) { return WriteNumberedNodeTool(path, ring, {big}, false); });

    ShortTool shortTool;
    shortTool.faces = {{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}}};
    shortTool.hasRefPoint = true;
    shortTool.refPoint = {10, 20, 30};
    const std::string shortFile =
        Made("short.tol", [&](const std::string& path) { return WriteShortTool(path, shortTool); });
    shortTool.inches = true;
    shortTool.crlf = true;
    const std::string shortInches =
        Made("short-inches.tol", [&](const std::string& path) { return WriteShortTool(path, shortTool); });

    const std::vector<SectionGroup> groups{{0, 100, 50, 10}, {80, 100, 50, 10}, {90, 60, 40, 5}};
    const std::string section =
        Made("section.tol", [&](const std::string& path) { return WriteSectionTool(path, groups, false); });
    const std::string sectionInches = Made("section-inches.tol", [&](const std::string& path) {
        return WriteSectionTool(path, groups, true, true);
    });
    const std::string oneRing = Made("ring.tol", [&](const std::string& path) {
        return WriteSectionTool(path, {{5, 40, 40, 20}}, false);
    });

    const uint8_t tmp = 2 << fuzz::ToolInput::ExtensionShift;
    const uint8_t upper = 1 << fuzz::ToolInput::ExtensionShift;
    ToolSeed("numbered", numbered, 0);
    ToolSeed("numbered-motion", numbered, 2, control);
    ToolSeed("numbered-inches", inches, upper | 1, controlCrlf);
    ToolSeed("numbered-big-face", bigFace, tmp);
    ToolSeed("short", shortFile, 1, control);
    ToolSeed("short-inches", shortInches, fuzz::ToolInput::StoredInUpperCase | tmp);
    ToolSeed("section", section, 0, control);
    ToolSeed("section-inches", sectionInches, 3 | upper);
    ToolSeed("section-one-ring", oneRing, 9, controlCrlf);
    ToolSeed("other-extension", numbered, 3 << fuzz::ToolInput::ExtensionShift);

    CupOptions options;
    options.name = "cup";
    options.cellsX = 2;
    options.cellsY = 2;
    options.records = 1;
    options.crlf = true;
    ok = ok && !WriteCupSample(scratch, options).empty();
    const std::string cupControl = fuzz::ReadFile(Scratch("cup.prc"));
    ToolSeed("cup-mould", fuzz::ReadFile(Scratch("cup_mould.tol")), 0, cupControl);
    ToolSeed("cup-plug", fuzz::ReadFile(Scratch("cup_plug.tol")), 1, cupControl);
    ToolSeed("cup-clamp", fuzz::ReadFile(Scratch("cup_clamp.tol")), 2, cupControl);
}

// The project file of a cup sample named like the project target's own.
std::string CupProject(bool crlf, bool quarter, const std::string& windowsFolder) {
    const std::string folder = Scratch("cup-project");
    std::filesystem::create_directories(folder);
    CupOptions options;
    options.name = fuzz::ProjectName;
    options.cellsX = fuzz::ProjectCellsX;
    options.cellsY = fuzz::ProjectCellsY;
    options.records = fuzz::ProjectRecords;
    options.crlf = crlf;
    options.quarter = quarter;
    options.windowsFolder = windowsFolder;
    const std::string project = WriteCupSample(folder, options);
    ok = ok && !project.empty();
    return fuzz::ReadFile(project);
}

void ProjectSeeds() {
    Seed("project", "cup", CupProject(false, false, ""));
    Seed("project", "cup-crlf", CupProject(true, false, ""));
    Seed("project", "cup-quarter", CupProject(false, true, ""));
    Seed("project", "cup-moved-windows", CupProject(true, false, "C:\\jobs\\old"));
    Seed("project", "cup-moved-unix", CupProject(false, false, "/old/place/jobs"));

    const std::string p = fuzz::ProjectName;
    auto project = [&]() {
        ProjectFile file;
        file.sheet = p + ".sht";
        file.toolNames = {p + "_mould.tol", p + "_plug.tol", p + "_clamp.tol"};
        file.processControl = p + ".prc";
        file.materials = {p + "_pp.vie"};
        file.heatFriction = p + ".hft";
        file.configuration = p + ".cfg";
        for (int k = 0; k < fuzz::ProjectRecords; ++k)
            file.records.push_back({1000.0 * k, 0.5 * k, 0.001 * k});
        return file;
    };
    auto made = [&](const ProjectFile& file) {
        return Made("seed.tfc", [&](const std::string& path) { return WriteProjectFile(path, file); });
    };

    ProjectFile shortLayout = project();
    shortLayout.canonical = false;
    shortLayout.toolNames = {"None", p + "_plug.tol"};
    Seed("project", "non-canonical", made(shortLayout));

    ProjectFile lower = project();
    lower.header = "  qrell solved project \t";
    lower.crlf = true;
    lower.toolNames = {p + "_MOULD.TOL", "none", p + "_clamp.tol"};
    Seed("project", "lower-case", made(lower));

    ProjectFile materials = project();
    materials.materials = {"Unused", p + "_pp.vie", "UNUSED", "other.vie"};
    materials.canonical = false;
    Seed("project", "materials", made(materials));

    ProjectFile missingTool = project();
    missingTool.toolNames = {"C:\\jobs\\old\\" + p + "_mould.tol", "C:\\jobs\\old\\gone.tol"};
    Seed("project", "missing-tool", made(missingTool));

    ProjectFile missingControl = project();
    missingControl.processControl = "D:\\elsewhere\\" + p + ".prc";
    missingControl.configuration = "\\\\server\\share\\" + p + ".cfg";
    missingControl.records.clear();
    Seed("project", "moved-control", made(missingControl));

    ProjectFile tenTools = project();
    tenTools.toolNames.assign(10, p + "_clamp.tol");
    Seed("project", "ten-tools", made(tenTools));
}

void ConfigSeeds() {
    const std::string path = Scratch("Quillmere.cfg");
    std::remove(path.c_str());
    CConfiguration configuration(path); // writes the defaults
    const std::string defaults = fuzz::ReadFile(path);
    Seed("config", "defaults", defaults);

    configuration.SetSIMetric(false);
    DisplaySettings& s = configuration.Settings();
    s.tools[3].mode = 2;
    s.tools[3].opacity = 0.25;
    s.sheetDisplayMode = SheetDisplayMode::Edges;
    s.backgroundScheme = 2;
    s.backgroundCorners[2] = 123456;
    s.sheetOpacity = 0.5;
    ok = ok && configuration.Write();
    const std::string custom = fuzz::ReadFile(path);
    Seed("config", "us-customary", custom);

    std::string v1 = defaults;
    v1.replace(v1.find("- V2"), 4, "- V1");
    Seed("config", "version-1", v1);

    // Lower case, indented, with Windows line ends.
    std::string loose;
    for (char c : custom) {
        if (c == '\n')
            loose += "\r\n  ";
        else
            loose += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    Seed("config", "lower-crlf", "Quillmere CConfiguration File - V2\r\n  " + loose);

    // Keywords with nothing or little after them.
    Seed("config", "short-lines",
         "Quillmere CConfiguration File - V2\nDISPLAY - TOOL:\nDISPLAY - TOOL: 9\nDISPLAY - GRID:\n"
         "DISPLAY BACKGROUND:\nDISPLAY - TOOL: -1 2\nSYSTEM OF UNITS\n");
    Seed("config", "other-file", "Some other file\n" + custom.substr(custom.find('\n') + 1));
}

void TokenizerSeeds() {
    Seed("tokenizer", "separators", "1.0,,2.0 ,\t3\r\n\v4,5\n");
    Seed("tokenizer", "section", fuzz::ReadFile(Scratch("section.tol")));
    Seed("tokenizer", "short", fuzz::ReadFile(Scratch("short-inches.tol")));
    Seed("tokenizer", "project", fuzz::ReadFile(Scratch("seed.tfc")));
}

// Project files with their record tables: several records, one, Windows
// line ends, and value lines that read like record numbers.
void RecordTableSeeds() {
    Seed("record_table", "cup-crlf", CupProject(true, false, ""));
    ProjectFile file;
    file.sheet = "t.sht";
    file.toolNames = {"t_mould.tol"};
    file.processControl = "t.prc";
    file.materials = {"t_pp.vie", "Unused"};
    file.heatFriction = "t.hft";
    file.configuration = "t.cfg";
    auto made = [&]() {
        return Made("table.tfc", [&](const std::string& path) { return WriteProjectFile(path, file); });
    };
    file.records = {{0, 0, 1}, {1, 1, 1}, {1, 2, 1}, {2000, 3.5, 0}};
    Seed("record_table", "ones", made());
    file.crlf = true;
    Seed("record_table", "crlf", made());
    file.crlf = false;
    file.records = {{1500, 0.5, 7}};
    Seed("record_table", "single", made());
    file.records.clear();
    Seed("record_table", "no-table", made());
}

// Measurement files as gauges and spreadsheets write them: the cup's gauge
// points with and without units, labels and thickness, and with semicolons
// and decimal commas.
void MeasurementSeeds() {
    CupOptions options;
    options.cellsX = 12;
    options.cellsY = 10;
    const MeasurementCsv cup = CupGaugePoints(options);
    auto made = [&](const MeasurementCsv& file) {
        return Made("points.csv", [&](const std::string& path) { return WriteMeasurementFile(path, file); });
    };
    Seed("measurement", "cup", made(cup));
    MeasurementCsv variant = cup;
    variant.points.resize(5);
    variant.unit = "in";
    variant.separator = ';';
    variant.crlf = true;
    variant.comments = {"gauge run 3"};
    Seed("measurement", "semicolons-inches", made(variant));
    variant = cup;
    variant.points.resize(5);
    variant.unit = "";
    variant.labels = false;
    variant.thickness = false;
    variant.digits = 4;
    Seed("measurement", "shape-only", made(variant));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make_seeds FOLDER\n", stderr);
        return 2;
    }
    out = argv[1];
    fuzz::SilenceMessages();
    scratch = fuzz::ScratchFolder();
    RecordSeeds();
    ToolSeeds();
    ProjectSeeds();
    ConfigSeeds();
    TokenizerSeeds();
    RecordTableSeeds();
    MeasurementSeeds();
    if (!ok) {
        std::fputs("make_seeds: some seeds could not be written\n", stderr);
        return 1;
    }
    return 0;
}
