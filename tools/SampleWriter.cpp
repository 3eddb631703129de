#include "tools/SampleWriter.h"

#include "tools/OutputFiles.h"

#include <algorithm>
#include <cstdio>

namespace quillmere {

namespace samplegen {

using detail::CByteOutput;
using detail::CTextOutput;
using detail::Integer;
using detail::Number;

namespace {

constexpr size_t kHeaderSize = 376;
constexpr size_t kSymmetryNameSize = 23;
constexpr int32_t kFirstExtendedVersion = 410;
constexpr uint8_t kNoContact = 255;

template <typename T> T ValueOr(const std::vector<T>& values, size_t index, T fallback) {
    return index < values.size() ? values[index] : fallback;
}

template <typename T> void FillTo(std::vector<T>& values, size_t count, T value) {
    if (values.size() < count)
        values.resize(count, value);
}

void WriteHeader(CByteOutput& out, const RecordData& record) {
    out.I32(record.ElementCount());
    out.I32(record.NodeCount());
    out.U8(record.nodeMarks.empty() ? 0 : 1);
    out.Zeros(15);
    // Always NUL-terminated, so a long name is cut one short of the field.
    std::string name = record.symmetryName.substr(0, kSymmetryNameSize - 1);
    out.Text(name);
    out.Zeros(kSymmetryNameSize - name.size());
    out.U8(record.extended ? 'Y' : 0);
    out.I32(record.version);
    out.Zeros(4);
    for (double position : record.toolPositions)
        out.F64(position);
    out.Zeros(kHeaderSize - 136);
}

void WriteCoordinates(CByteOutput& out, const std::vector<Vec3>& coordinates,
                      const std::vector<Vec3>& fallback, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const Vec3& p = i < coordinates.size() ? coordinates[i] : fallback[i];
        out.F32(static_cast<float>(p.x));
        out.F32(static_cast<float>(p.y));
        out.F32(static_cast<float>(p.z));
    }
}

} // namespace

void RecordData::CompleteNodeData() {
    const size_t count = current.size();
    if (reference.size() < count)
        reference.insert(reference.end(), current.begin() + static_cast<std::ptrdiff_t>(reference.size()),
                         current.end());
    FillTo(contactTool, count, kNoContact);
    FillTo<uint8_t>(nodeCode, count, 0);
    FillTo<uint8_t>(planeIndex, count, 0);
    FillTo<uint32_t>(conditions, count, 0);
    if (!nodeMarks.empty())
        FillTo<uint8_t>(nodeMarks, count, 0);
}

bool WriteRecordFile(const std::string& path, const RecordData& record) {
    CByteOutput out(path);
    if (!out.IsOpen())
        return false;
    const size_t nodes = record.current.size();
    const bool wideNodes = nodes >= 65536;
    const bool layers = record.extended && record.version >= kFirstExtendedVersion;

    WriteHeader(out, record);
    for (const RecordElement& element : record.elements) {
        if (wideNodes) {
            for (int32_t node : element.nodes)
                out.I32(node);
        } else {
            for (int32_t node : element.nodes)
                out.U16(static_cast<uint16_t>(node));
            out.Zeros(2);
        }
        out.F32(element.temperature);
        out.F32(0);
        out.F32(element.initialThickness);
        out.F32(element.stress1);
        out.F32(element.stress2);
        out.F32(element.stress3);
        if (layers)
            for (double value : element.layers)
                out.F64(value);
    }

    WriteCoordinates(out, record.current, record.current, nodes);
    out.U8(kNoContact);
    for (size_t i = 0; i < nodes; ++i)
        out.U8(ValueOr(record.contactTool, i, kNoContact));
    WriteCoordinates(out, record.reference, record.current, nodes);
    for (const RecordElement& element : record.elements)
        out.I32(element.id);
    out.Zeros(4);
    out.Zeros(8);
    for (size_t i = 0; i < nodes; ++i) {
        out.U8(ValueOr<uint8_t>(record.nodeCode, i, 0));
        out.U8(ValueOr<uint8_t>(record.planeIndex, i, 0));
        out.Zeros(2);
        out.U32(ValueOr<uint32_t>(record.conditions, i, 0));
    }
    out.I32(static_cast<int32_t>(record.planes.size()));
    for (const std::array<double, 4>& plane : record.planes)
        for (double value : plane)
            out.F64(value);
    if (!record.nodeMarks.empty()) {
        out.U8(0);
        for (size_t i = 0; i < nodes; ++i)
            out.U8(ValueOr<uint8_t>(record.nodeMarks, i, 0));
    }
    return out.Finish();
}

std::string RecordFileName(const std::string& projectPath, int index) {
    size_t separator = projectPath.find_last_of("/\\");
    size_t dot = projectPath.rfind('.');
    std::string stem = dot != std::string::npos && (separator == std::string::npos || dot > separator)
                           ? projectPath.substr(0, dot + 1)
                           : projectPath + ".";
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03d", index);
    return stem + digits;
}

RecordData MakeGridRecord(int nx, int ny, double sizeX, double sizeY, double thickness, double temperature) {
    RecordData record;
    nx = std::max(nx, 1);
    ny = std::max(ny, 1);
    const size_t nodeCount = static_cast<size_t>(nx + 1) * static_cast<size_t>(ny + 1);
    record.current.reserve(nodeCount);
    for (int j = 0; j <= ny; ++j)
        for (int i = 0; i <= nx; ++i)
            record.current.push_back({sizeX * (static_cast<double>(i) / nx - 0.5),
                                      sizeY * (static_cast<double>(j) / ny - 0.5), 0.0});
    record.reference = record.current;

    RecordElement element;
    element.temperature = static_cast<float>(temperature);
    element.initialThickness = static_cast<float>(thickness);
    element.layers.fill(temperature);
    record.elements.reserve(2 * static_cast<size_t>(nx) * static_cast<size_t>(ny));
    int32_t id = 0;
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            const int32_t n00 = j * (nx + 1) + i + 1, n10 = n00 + 1;
            const int32_t n01 = n00 + nx + 1, n11 = n01 + 1;
            element.nodes = {n00, n10, n11};
            element.id = ++id;
            record.elements.push_back(element);
            element.nodes = {n00, n11, n01};
            element.id = ++id;
            record.elements.push_back(element);
        }
    record.CompleteNodeData();
    return record;
}

RecordData MakeMirroredGridRecord(int nx, int ny, double sizeX, double sizeY, double thickness,
                                  double temperature) {
    RecordData record = MakeGridRecord(nx, ny, sizeX, sizeY, thickness, temperature);
    nx = std::max(nx, 1);
    ny = std::max(ny, 1);
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            if ((2 * i < nx) == (2 * j < ny))
                continue;
            const int32_t n00 = j * (nx + 1) + i + 1, n10 = n00 + 1;
            const int32_t n01 = n00 + nx + 1, n11 = n01 + 1;
            const size_t first =
                2 * (static_cast<size_t>(j) * static_cast<size_t>(nx) + static_cast<size_t>(i));
            record.elements[first].nodes = {n00, n10, n01};
            record.elements[first + 1].nodes = {n10, n11, n01};
        }
    return record;
}

RecordData MakeLShapeRecord(int n, double size, double thickness, double temperature) {
    n = std::max(n, 1);
    const int cells = 2 * n;
    RecordData grid = MakeGridRecord(cells, cells, size, size, thickness, temperature);
    // The grid's nodes (i, j) with i, j > n and its cells (i, j) with i, j >= n
    // lie in the missing quadrant.
    std::vector<int32_t> number(grid.current.size(), 0);
    RecordData record;
    for (int j = 0; j <= cells; ++j)
        for (int i = 0; i <= cells; ++i) {
            const size_t at =
                static_cast<size_t>(j) * static_cast<size_t>(cells + 1) + static_cast<size_t>(i);
            if (i > n && j > n)
                continue;
            record.current.push_back(grid.current[at]);
            number[at] = record.NodeCount();
        }
    record.reference = record.current;
    int32_t id = 0;
    for (size_t e = 0; e < grid.elements.size(); ++e) {
        const int cell = static_cast<int>(e / 2);
        if (cell % cells >= n && cell / cells >= n)
            continue;
        RecordElement element = grid.elements[e];
        for (int32_t& node : element.nodes)
            node = number[static_cast<size_t>(node - 1)];
        element.id = ++id;
        record.elements.push_back(element);
    }
    record.CompleteNodeData();
    return record;
}

bool WriteNumberedNodeTool(const std::string& path, const std::vector<Vec3>& nodes,
                           const std::vector<std::vector<int>>& faces, bool inches, int stripes, bool crlf) {
    CTextOutput text(crlf);
    // Every token of this line must stay non-numeric: readers drop such
    // tokens and would otherwise take a number for the first face count.
    text.Line("NSTRIPES_" + Integer(stripes) + (inches ? " (INCHES)" : ""));
    for (const std::vector<int>& face : faces) {
        std::string line = Integer(static_cast<long long>(face.size()));
        for (int node : face)
            line += " " + Integer(node);
        text.Line(line);
    }
    text.Line("0");
    for (size_t i = 0; i < nodes.size(); ++i)
        text.Line(Integer(static_cast<long long>(i + 1)) + " " + Number(nodes[i].x) + " " +
                  Number(nodes[i].y) + " " + Number(nodes[i].z));
    return text.Save(path);
}

bool WriteShortTool(const std::string& path, const ShortTool& tool) {
    CTextOutput text(tool.crlf);
    text.Line(tool.inches ? "shortm (INCHES)" : "shortm");
    // A colour token; readers skip tokens starting with "#".
    text.Line("#1A2B");
    if (tool.hasRefPoint)
        text.Line("RefPoint " + Number(tool.refPoint.x) + " " + Number(tool.refPoint.y) + " " +
                  Number(tool.refPoint.z));
    for (const std::vector<Vec3>& face : tool.faces) {
        std::string line;
        for (const Vec3& p : face)
            line += Number(p.x) + " " + Number(p.y) + " " + Number(p.z) + " ";
        text.Line(line + "||");
    }
    return text.Save(path);
}

bool WriteSectionTool(const std::string& path, const std::vector<SectionGroup>& groups, bool inches,
                      bool crlf) {
    CTextOutput text(crlf);
    text.Line(inches ? "QRELL Tool (INCHES)" : "QRELL Tool");
    for (const SectionGroup& group : groups)
        text.Line(Number(group.z) + ", " + Number(group.width) + ", " + Number(group.depth) + ", " +
                  Number(group.radius));
    return text.Save(path);
}

bool WriteProcessControl(const std::string& path, const std::vector<ToolMotion>& motions, bool crlf) {
    CTextOutput text(crlf);
    text.Line("QRELL PROCESS CONTROL");
    text.Line("Forming stages: heating, plug assist, vacuum");
    text.Line("Tool motions follow, one line per tool position");
    text.Line("/v");
    for (const ToolMotion& motion : motions)
        text.Line(Number(motion.direction.x, 6) + " " + Number(motion.direction.y, 6) + " " +
                  Number(motion.direction.z, 6) + " " + Integer(motion.code1) + " " + Integer(motion.code2));
    return text.Save(path);
}

bool WriteProjectFile(const std::string& path, const ProjectFile& project) {
    CTextOutput text(project.crlf);
    text.Line(project.header);
    text.Line(project.sheet);
    const size_t toolLines =
        project.canonical ? std::max<size_t>(10, project.toolNames.size()) : project.toolNames.size();
    for (size_t i = 0; i < toolLines; ++i)
        text.Line(i < project.toolNames.size() ? project.toolNames[i] : "None");
    text.Line(project.processControl);
    for (const std::string& material : project.materials)
        text.Line(material);
    text.Line(project.heatFriction);
    text.Line(project.configuration);
    for (size_t i = 0; i < project.records.size(); ++i) {
        const RecordBlock& block = project.records[i];
        text.Line("  " + Integer(static_cast<long long>(i)) + "  ------------------------");
        text.Line("  " + Number(block.pressure) + "  Pa");
        text.Line("  " + Number(block.time) + "  s");
        text.Line("  " + Number(block.third));
    }
    return text.Save(path);
}

bool WriteProjectConfiguration(const std::string& path, const ProjectConfiguration& configuration) {
    CTextOutput text(configuration.crlf);
    text.Line(configuration.header);
    text.Line(configuration.sheet);
    for (const std::string& tool : configuration.toolNames)
        text.Line(tool);
    text.Line(configuration.processControl);
    for (const std::string& line : configuration.materialLines)
        text.Line(line);
    // Readers cut these labels off by their fixed widths: 10, 7 and 11.
    text.Line("Job No.  :" + configuration.jobNumber);
    text.Line("Number:" + configuration.number);
    text.Line("Programmer:" + configuration.programmer);
    text.Line("Comments:");
    for (const std::string& comment : configuration.comments)
        text.Line(comment);
    text.Line("Comments End");
    return text.Save(path);
}

namespace {

// Millimetres per unit word of a measurement file's header.
double MillimetresPer(const std::string& unit) {
    if (unit == "m")
        return 1000;
    if (unit == "in" || unit == "inch")
        return 25.4;
    return 1;
}

} // namespace

bool WriteMeasurementFile(const std::string& path, const MeasurementCsv& file) {
    CTextOutput text(file.crlf);
    for (const std::string& comment : file.comments)
        text.Line("# " + comment);
    const std::string separator(1, file.separator);
    const std::string suffix = file.unit.empty() ? "" : "_" + file.unit;
    std::string header = file.labels ? "label" + separator : "";
    header += "x" + suffix + separator + "y" + suffix + separator + "z" + suffix;
    if (file.thickness)
        header += separator + "thickness" + suffix;
    text.Line(header);
    const double scale = 1000 / MillimetresPer(file.unit);
    auto length = [&](double metres) {
        std::string number = Number(metres * scale, file.digits);
        if (file.separator == ';')
            std::replace(number.begin(), number.end(), '.', ',');
        return number;
    };
    for (const GaugePoint& point : file.points) {
        std::string row = file.labels ? point.label + separator : "";
        row += length(point.position.x) + separator + length(point.position.y) + separator +
               length(point.position.z);
        if (file.thickness)
            row += separator + (point.thickness < 0 ? std::string() : length(point.thickness));
        text.Line(row);
    }
    return text.Save(path);
}

} // namespace samplegen

} // namespace quillmere
