#include "export/VtuFile.h"

#include "core/AtomicFile.h"
#include "core/FilePaths.h"
#include "core/TextFormat.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8_t kVtkTriangle = 5;
// The appended data is produced into a buffer of this size, small enough to
// stay in the cache, and written whenever it is full.
constexpr size_t kBuffer = 1 << 20;

size_t TypeSize(VtuType type) {
    return type == VtuType::UInt8 ? 1 : 8;
}

const char* TypeName(VtuType type) {
    switch (type) {
    case VtuType::Int64:
        return "Int64";
    case VtuType::UInt8:
        return "UInt8";
    default:
        return "Float64";
    }
}

std::string Escaped(const std::string& text) {
    std::string result;
    for (char c : text) {
        if (c == '&')
            result += "&amp;";
        else if (c == '<')
            result += "&lt;";
        else if (c == '"')
            result += "&quot;";
        else
            result += c;
    }
    return result;
}

// Raw bytes in the machine's order, which the header then names.
const char* ByteOrder() {
    const uint16_t one = 1;
    uint8_t first = 0;
    std::memcpy(&first, &one, 1);
    return first == 1 ? "LittleEndian" : "BigEndian";
}

uint64_t Bytes(const VtuArray& array) {
    return array.tuples * static_cast<uint64_t>(array.components) * TypeSize(array.type);
}

class AppendedWriter {
public:
    explicit AppendedWriter(CAtomicFile& target) : file(target) { buffer.resize(kBuffer); }
    bool Add(const void* data, size_t size) {
        const char* bytes = static_cast<const char*>(data);
        while (size > 0) {
            if (used == kBuffer && !Flush())
                return false;
            const size_t part = std::min(size, kBuffer - used);
            std::memcpy(&buffer[used], bytes, part);
            used += part;
            bytes += part;
            size -= part;
        }
        return true;
    }
    // The size header, then the tuples filled into the buffer in pieces.
    bool Add(const VtuArray& array) {
        const uint64_t bytes = Bytes(array);
        if (!Add(&bytes, sizeof bytes))
            return false;
        const size_t tupleSize = static_cast<size_t>(array.components) * TypeSize(array.type);
        for (size_t first = 0; first < array.tuples;) {
            if (kBuffer - used < tupleSize && !Flush())
                return false;
            const size_t count = std::min(array.tuples - first, (kBuffer - used) / tupleSize);
            array.fill(first, count, &buffer[used]);
            used += count * tupleSize;
            first += count;
        }
        return true;
    }
    bool Flush() {
        buffer.resize(used);
        const bool ok = file.Write(buffer);
        buffer.resize(kBuffer);
        used = 0;
        return ok;
    }

private:
    CAtomicFile& file;
    std::string buffer;
    size_t used = 0;
};

// A hidden unique name beside the file.
std::string TemporaryName(const std::string& path) {
    const size_t separator = LastSeparator(path);
    return (separator == std::string::npos ? "" : path.substr(0, separator + 1)) + "." + FileNamePart(path) +
           ".XXXXXX";
}

} // namespace

VtuArray VtuNumber(const std::string& name, double value) {
    return {name, VtuType::Float64, 1, 1, [value](size_t, size_t, void* out) { VtuStore(out, 0, value); }};
}

bool WriteVtuFile(const std::string& path, const VtuGrid& grid) {
    const size_t cells = grid.triangles.tuples;
    std::vector<VtuArray> points = {grid.points};
    points[0].name = "Points";
    std::vector<VtuArray> topology = {
        grid.triangles,
        {"offsets", VtuType::Int64, 1, cells,
         [](size_t first, size_t count, void* out) {
             for (size_t i = 0; i < count; ++i)
                 VtuStore(out, i, static_cast<int64_t>(3 * (first + i + 1)));
         }},
        {"types", VtuType::UInt8, 1, cells,
         [](size_t, size_t count, void* out) { std::memset(out, kVtkTriangle, count); }}};
    topology[0].name = "connectivity";
    topology[0].flat = true;

    // The XML with every array's offset, and the arrays in that order.
    std::vector<const VtuArray*> order;
    uint64_t offset = 0;
    std::string xml = std::string("<?xml version=\"1.0\"?>\n"
                                  "<VTKFile type=\"UnstructuredGrid\" version=\"1.0\" byte_order=\"") +
                      ByteOrder() + "\" header_type=\"UInt64\">\n  <UnstructuredGrid>\n";
    auto place = [&](const std::vector<VtuArray>& arrays, const char* open, const char* close, bool tuples) {
        xml += open;
        for (const VtuArray& array : arrays) {
            xml += std::string(tuples ? "      " : "        ") + "<DataArray type=\"" + TypeName(array.type) +
                   "\" Name=\"" + Escaped(array.name) + "\"";
            if (array.components > 1 && !array.flat)
                xml += " NumberOfComponents=\"" + std::to_string(array.components) + "\"";
            if (tuples)
                xml += " NumberOfTuples=\"" + std::to_string(array.tuples) + "\"";
            xml += " format=\"appended\" offset=\"" + std::to_string(offset) + "\"/>\n";
            offset += sizeof(uint64_t) + Bytes(array);
            order.push_back(&array);
        }
        xml += close;
    };
    if (!grid.fieldData.empty())
        place(grid.fieldData, "    <FieldData>\n", "    </FieldData>\n", true);
    xml += "    <Piece NumberOfPoints=\"" + std::to_string(grid.points.tuples) + "\" NumberOfCells=\"" +
           std::to_string(cells) + "\">\n";
    place(grid.pointData, "      <PointData>\n", "      </PointData>\n", false);
    place(grid.cellData, "      <CellData>\n", "      </CellData>\n", false);
    place(points, "      <Points>\n", "      </Points>\n", false);
    place(topology, "      <Cells>\n", "      </Cells>\n", false);
    xml += "    </Piece>\n  </UnstructuredGrid>\n  <AppendedData encoding=\"raw\">\n   _";

    CAtomicFile file(path, TemporaryName(path));
    if (!file.Open())
        return false;
    AppendedWriter out(file);
    bool ok = out.Add(xml.data(), xml.size());
    for (const VtuArray* array : order)
        ok = ok && out.Add(*array);
    const std::string end = "\n  </AppendedData>\n</VTKFile>\n";
    ok = ok && out.Add(end.data(), end.size()) && out.Flush();
    return ok && file.Commit();
}

bool WritePvdFile(const std::string& path, const std::vector<PvdEntry>& entries) {
    std::string xml =
        "<?xml version=\"1.0\"?>\n<VTKFile type=\"Collection\" version=\"1.0\">\n  <Collection>\n";
    for (const PvdEntry& entry : entries)
        xml += "    <DataSet timestep=\"" + ExactNumber(entry.time) + "\" part=\"0\" file=\"" +
               Escaped(entry.file) + "\"/>\n";
    xml += "  </Collection>\n</VTKFile>\n";
    return ReplaceFileContent(path, TemporaryName(path), xml);
}
