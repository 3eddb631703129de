#include "export/VtuFile.h"

#include "core/AtomicFile.h"
#include "core/FilePaths.h"
#include "core/TextFormat.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8_t kVtkTriangle = 5;
// Appended data goes to the file in pieces of this size.
constexpr size_t kChunk = 1 << 22;

// One appended array: its XML element (without offset) and the bytes that
// follow the size header.
struct Appended {
    std::string xml;
    const void* data;
    uint64_t bytes;
};

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

std::string Element(const char* type, const std::string& name, int components, const char* extra = "") {
    std::string xml = std::string("<DataArray type=\"") + type + "\" Name=\"" + Escaped(name) + "\"";
    if (components > 1)
        xml += " NumberOfComponents=\"" + std::to_string(components) + "\"";
    return xml + extra + " format=\"appended\"";
}

// Raw bytes in the machine's order, which the header then names.
const char* ByteOrder() {
    const uint16_t one = 1;
    uint8_t first = 0;
    std::memcpy(&first, &one, 1);
    return first == 1 ? "LittleEndian" : "BigEndian";
}

class ChunkedWriter {
public:
    explicit ChunkedWriter(CAtomicFile& target) : file(target) { buffer.reserve(kChunk); }
    bool Add(const void* data, size_t size) {
        const char* bytes = static_cast<const char*>(data);
        while (size > 0) {
            const size_t part = std::min(size, kChunk - buffer.size());
            buffer.append(bytes, part);
            bytes += part;
            size -= part;
            if (buffer.size() == kChunk && !Flush())
                return false;
        }
        return true;
    }
    bool Flush() {
        const bool ok = file.Write(buffer);
        buffer.clear();
        return ok;
    }

private:
    CAtomicFile& file;
    std::string buffer;
};

// A hidden unique name beside the file.
std::string TemporaryName(const std::string& path) {
    const std::string folder = FolderPart(path);
    return (folder.empty() && LastSeparator(path) == std::string::npos ? "" : folder + "/") + "." +
           FileNamePart(path) + ".XXXXXX";
}

} // namespace

bool WriteVtuFile(const std::string& path, const VtuGrid& grid) {
    const uint64_t points = grid.points.size() / 3, cells = grid.connectivity.size() / 3;
    std::vector<int64_t> offsets(cells);
    for (uint64_t i = 0; i < cells; ++i)
        offsets[i] = static_cast<int64_t>(3 * (i + 1));
    const std::vector<uint8_t> types(cells, kVtkTriangle);

    auto doubles = [](const VtuArray& array, const char* extra = "") {
        return Appended{Element("Float64", array.name, 1, extra), array.values.data(),
                        array.values.size() * sizeof(double)};
    };
    std::vector<Appended> arrays;
    std::string xml = std::string("<?xml version=\"1.0\"?>\n"
                                  "<VTKFile type=\"UnstructuredGrid\" version=\"1.0\" byte_order=\"") +
                      ByteOrder() + "\" header_type=\"UInt64\">\n  <UnstructuredGrid>\n";
    uint64_t offset = 0;
    auto place = [&](const Appended& array, const char* indent) {
        xml += std::string(indent) + array.xml + " offset=\"" + std::to_string(offset) + "\"/>\n";
        offset += sizeof(uint64_t) + array.bytes;
        arrays.push_back(array);
    };
    if (!grid.fieldData.empty()) {
        xml += "    <FieldData>\n";
        for (const VtuArray& array : grid.fieldData)
            place(doubles(array, (" NumberOfTuples=\"" + std::to_string(array.values.size()) + "\"").c_str()),
                  "      ");
        xml += "    </FieldData>\n";
    }
    xml += "    <Piece NumberOfPoints=\"" + std::to_string(points) + "\" NumberOfCells=\"" +
           std::to_string(cells) + "\">\n      <PointData>\n";
    for (const VtuArray& array : grid.pointData)
        place(doubles(array), "        ");
    xml += "      </PointData>\n      <CellData>\n";
    for (const VtuArray& array : grid.cellData)
        place(doubles(array), "        ");
    for (const VtuFlags& flags : grid.cellFlags)
        place({Element("UInt8", flags.name, 1), flags.values.data(), flags.values.size()}, "        ");
    xml += "      </CellData>\n      <Points>\n";
    place({Element("Float64", "Points", 3), grid.points.data(), grid.points.size() * sizeof(double)},
          "        ");
    xml += "      </Points>\n      <Cells>\n";
    place({Element("Int64", "connectivity", 1), grid.connectivity.data(),
           grid.connectivity.size() * sizeof(int64_t)},
          "        ");
    place({Element("Int64", "offsets", 1), offsets.data(), offsets.size() * sizeof(int64_t)}, "        ");
    place({Element("UInt8", "types", 1), types.data(), types.size()}, "        ");
    xml += "      </Cells>\n    </Piece>\n  </UnstructuredGrid>\n  <AppendedData encoding=\"raw\">\n   _";

    CAtomicFile file(path, TemporaryName(path));
    if (!file.Open())
        return false;
    ChunkedWriter out(file);
    bool ok = out.Add(xml.data(), xml.size());
    for (const Appended& array : arrays)
        ok = ok && out.Add(&array.bytes, sizeof array.bytes) && out.Add(array.data, array.bytes);
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
