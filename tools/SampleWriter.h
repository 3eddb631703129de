// Writes solved projects in the solver's on-disk formats: record files,
// tool files in their three layouts, process control files, project files
// with their record data blocks and project configuration files. The bundled
// sample, the tests, the benchmarks and the fuzz seeds are all made with it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace quillmere {

namespace samplegen {

struct Vec3 {
    double x = 0, y = 0, z = 0;
};

// One element record of a record file.
struct RecordElement {
    std::array<int32_t, 3> nodes{};              // 1-based node numbers
    float temperature = 0;                       // degrees Celsius
    float initialThickness = 0;                  // m
    float stress1 = 0, stress2 = 0, stress3 = 0; // Pa
    int32_t id = 0;                              // element identifier of the identifier block
    std::array<double, 11> layers{};             // written only with extended data
};

// The content of one record file. Node vectors are indexed 0 .. N-1 for nodes
// 1 .. N; the unused leading entries of the per-node blocks are written by
// the writer.
struct RecordData {
    std::string symmetryName = "FULL"; // at most 22 characters are written
    int32_t version = 410;
    // Byte 47 "Y". The 88 extra bytes per element follow only when the version
    // is also 410 or more, since readers skip them for older versions.
    bool extended = false;
    std::array<double, 10> toolPositions{};
    std::vector<Vec3> current;
    std::vector<Vec3> reference;
    std::vector<uint8_t> contactTool; // per node; 0..9 touches that tool, 255 none
    std::vector<uint8_t> nodeCode;    // per node: 1 boundary, 1/2 symmetry, >=3 fixed
    std::vector<uint8_t> planeIndex;  // per node: 1-based symmetry plane
    std::vector<uint32_t> conditions; // per node: bit 0 clamped, bit 1 no pressure
    std::vector<uint8_t> nodeMarks;   // empty: no NodeMarks block
    std::vector<RecordElement> elements;
    std::vector<std::array<double, 4>> planes; // normal x, y, z, offset

    int32_t NodeCount() const { return static_cast<int32_t>(current.size()); }
    int32_t ElementCount() const { return static_cast<int32_t>(elements.size()); }
    // Fills the per-node vectors that are shorter than the node count with
    // their neutral values (no contact, code 0, plane 0, no conditions; a
    // non-empty nodeMarks with 0; missing reference nodes at their current
    // place). The writer assumes the same values for missing entries.
    void CompleteNodeData();
};

// Writes a record; 36-byte element records when N >= 65536, else 32 bytes.
bool WriteRecordFile(const std::string& path, const RecordData& record);

// The name of record index (0-based) of a project: the project path up to
// and including its last dot, then the index with at least three digits.
std::string RecordFileName(const std::string& projectPath, int index);

// A flat nx x ny grid of cells, two triangles each, spanning sizeX x sizeY
// metres centred on the origin at z = 0, uniform thickness and temperature;
// current equals reference. Element ids are 1 .. E.
RecordData MakeGridRecord(int nx, int ny, double sizeX, double sizeY, double thickness = 0.003,
                          double temperature = 150.0);

// The grid of MakeGridRecord with each cell's diagonal mirrored across the
// centre lines, so that with even nx and ny the mesh itself is symmetric
// about x = 0 and y = 0.
RecordData MakeMirroredGridRecord(int nx, int ny, double sizeX, double sizeY, double thickness = 0.003,
                                  double temperature = 150.0);

// An L of three squares of n x n cells: the size x size square centred on
// the origin without its quadrant x > 0, y > 0. Nodes are numbered row by
// row without the missing quadrant's; otherwise as MakeGridRecord.
RecordData MakeLShapeRecord(int n, double size, double thickness = 0.003, double temperature = 150.0);

// Tool files. Lengths are given in the file's own unit (mm, or inch when
// inches is set) except where noted. crlf: Windows line ends.

// Numbered-node layout: first line "NSTRIPES_<stripes>" (+ " (INCHES)"), the
// face block (count and node numbers, ended by 0) and the node block
// (number x y z). nodes[i] is node i + 1.
bool WriteNumberedNodeTool(const std::string& path, const std::vector<Vec3>& nodes,
                           const std::vector<std::vector<int>>& faces, bool inches, int stripes = 1,
                           bool crlf = false);

// Short layout: "shortm" first (+ " (INCHES)"), a "#1A2B" colour token, the
// optional "RefPoint x y z", then per face its vertex numbers followed by
// "||". Vertices are in metres, or in inches after "(INCHES)"; the optional
// reference point is in millimetres (or inches).
struct ShortTool {
    std::vector<std::vector<Vec3>> faces;
    bool inches = false;
    bool hasRefPoint = false;
    Vec3 refPoint;
    bool crlf = false;
};
bool WriteShortTool(const std::string& path, const ShortTool& tool);

// Section layout: header "QRELL Tool" (+ " (INCHES)"), then one line per group
// z, width, depth, corner radius (mm or inch).
struct SectionGroup {
    double z = 0, width = 0, depth = 0, radius = 0;
};
bool WriteSectionTool(const std::string& path, const std::vector<SectionGroup>& groups, bool inches,
                      bool crlf = false);

// Process control file: a title line, a few lines, "/v", then one motion line
// per tool slot: direction x y z and the two motion codes.
struct ToolMotion {
    Vec3 direction{0, 0, 1};
    int code1 = 0, code2 = 1;
};
bool WriteProcessControl(const std::string& path, const std::vector<ToolMotion>& motions, bool crlf = false);

// One record data block of the project file.
struct RecordBlock {
    double pressure = 0; // Pa
    double time = 0;     // s
    double third = 0;
};

// The project file. Tool names beyond toolNames.size() are written "None"
// when canonical is set (10 tool lines in all); materials as given. Each
// record block is a header line "  <index>  ------------------------" and
// the lines "  <pressure>  Pa", "  <time>  s" and "  <third>".
struct ProjectFile {
    std::string header = "QRELL SOLVED PROJECT";
    std::string sheet;
    std::vector<std::string> toolNames;
    bool canonical = true;
    std::string processControl;
    std::vector<std::string> materials;
    std::string heatFriction;
    std::string configuration;
    std::vector<RecordBlock> records;
    bool crlf = false;
};
bool WriteProjectFile(const std::string& path, const ProjectFile& project);

// The project configuration file read by the project information report:
// header, sheet, tool lines, process control, the 6 material lines, then
// "Job No.  :<job>", "Number:<number>", "Programmer:<programmer>" (labels of
// 10, 7 and 11 characters), "Comments:", the comments and "Comments End".
struct ProjectConfiguration {
    std::string header = "QRELL PROJECT CONFIGURATION";
    std::string sheet;
    std::vector<std::string> toolNames; // written as given
    std::string processControl;
    std::array<std::string, 6> materialLines; // materials and heat and friction
    std::string jobNumber, number, programmer;
    std::vector<std::string> comments;
    bool crlf = false;
};
bool WriteProjectConfiguration(const std::string& path, const ProjectConfiguration& configuration);

// A measurement file: points measured on a formed part, one CSV row each
// under a header "label,x,y,z,thickness".
struct GaugePoint {
    std::string label;
    Vec3 position;         // m
    double thickness = -1; // m; below 0: an empty cell, nothing measured
};
struct MeasurementCsv {
    std::vector<GaugePoint> points;
    // The unit written after each length column's name, as "x_mm"; one of
    // "mm", "m", "in" and "inch"; "" for bare names with lengths in mm.
    std::string unit = "mm";
    bool labels = true, thickness = true;
    char separator = ',';              // ';' also writes decimal commas
    std::vector<std::string> comments; // "# " lines before the header
    int digits = 17;                   // significant digits of the lengths
    bool crlf = false;
};
bool WriteMeasurementFile(const std::string& path, const MeasurementCsv& file);

// The bundled sample: a flat rectangular sheet vacuum-formed into a rounded
// cup mould while a plug moves down.
struct CupOptions {
    std::string name = "cup";     // base name of every file
    int cellsX = 50, cellsY = 40; // two elements per cell
    int records = 15;
    // Quadrant x, y >= 0 with (cellsX + 1) / 2 x (cellsY + 1) / 2 cells and
    // two symmetry planes; the tools stay whole.
    bool quarter = false;
    bool crlf = false; // Windows line ends in the text files
    // The last record holds values that are not numbers, as a damaged solver
    // run leaves them: node 2 at x = infinity, and element 3's temperature a
    // NaN with its sign bit set.
    bool nonFinite = false;
    // When not empty, every reference in the project file is written as an
    // absolute Windows path in this folder (e.g. "C:\\jobs\\cup").
    std::string windowsFolder;
};
// Writes the project into folder (which must exist) and returns the path of
// the project file, or "" on failure.
std::string WriteCupSample(const std::string& folder, const CupOptions& options);
// The record of a 0-based index as WriteCupSample writes it.
RecordData CupRecord(const CupOptions& options, int index);
// About 40 gauge points on the cup's last record, as an engineer measures the
// formed part: on rings from the bottom to the flange, positions to 0.1 mm,
// wall thickness to 0.01 mm, a few per cent off the simulated thickness.
MeasurementCsv CupGaugePoints(const CupOptions& options);

} // namespace samplegen

} // namespace quillmere
