#include "export/VtuFile.h"

#include "core/AtomicFile.h"
#include "core/FilePaths.h"
#include "core/Parallel.h"
#include "core/TextFormat.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace quillmere {

namespace {

constexpr uint8_t kVtkTriangle = 5;
// The appended data is produced in pieces of this many tuples, a piece of
// every array of that tuple count in turn: what they are computed from (a
// block of nodes or elements) then comes from memory once and stays in the
// cache for the others. Blocks of pieces go to every core, each written where
// it belongs in the file.
constexpr size_t kPiece = 8192;
constexpr size_t kBlock = 8 * kPiece;

size_t TypeSize(VtuType type) {
    return type == VtuType::UInt8 ? 1 : type == VtuType::Int32 || type == VtuType::Float32 ? 4 : 8;
}

const char* TypeName(VtuType type) {
    switch (type) {
    case VtuType::Float32:
        return "Float32";
    case VtuType::Int64:
        return "Int64";
    case VtuType::Int32:
        return "Int32";
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

size_t TupleSize(const VtuArray& array) {
    return static_cast<size_t>(array.components) * TypeSize(array.type);
}

// Arrays of one section with the same tuple count, each at its place in the
// file (that of its size header), filled one by one or by fill together.
// Runs of the same count are written together.
struct Run {
    std::vector<const VtuArray*> arrays;
    std::vector<uint64_t> places;
    const VtuFill* fill = nullptr;
};

// Tuples first .. last - 1 of every array of runs with the same tuple count,
// a piece of each in turn.
bool WriteBlock(CAtomicFile& file, const std::vector<const Run*>& runs, size_t first, size_t last) {
    // The block of every array, each aligned for any type and written at
    // once.
    std::vector<size_t> starts = {0};
    for (const Run* run : runs)
        for (const VtuArray* array : run->arrays)
            starts.push_back(starts.back() + ((last - first) * TupleSize(*array) + 15) / 16 * 16);
    const std::unique_ptr<char[]> block(new char[starts.back()]);
    std::vector<void*> outs;
    for (size_t start = first; start < last; start += kPiece) {
        const size_t count = std::min(kPiece, last - start);
        size_t slot = 0;
        for (const Run* run : runs) {
            outs.clear();
            for (const VtuArray* array : run->arrays)
                outs.push_back(block.get() + starts[slot++] + (start - first) * TupleSize(*array));
            for (size_t i = 0; !run->fill && i < run->arrays.size(); ++i)
                run->arrays[i]->fill(start, count, outs[i]);
            if (run->fill)
                (*run->fill)(start, count, outs.data());
        }
    }
    bool ok = true;
    size_t slot = 0;
    for (const Run* run : runs)
        for (size_t i = 0; ok && i < run->arrays.size(); ++i) {
            const size_t size = TupleSize(*run->arrays[i]);
            const uint64_t at = run->places[i] + sizeof(uint64_t) + first * size;
            ok = file.WriteAt(at, block.get() + starts[slot++], (last - first) * size);
            // On its way to the disk while the next block is made.
            file.StartSync(at, (last - first) * size);
        }
    return ok;
}

// A hidden unique name beside the file.
std::string TemporaryName(const std::string& path) {
    const size_t separator = LastSeparator(path);
    return (separator == std::string::npos ? "" : path.substr(0, separator + 1)) + "." + FileNamePart(path) +
           ".XXXXXX";
}

// The cells' arrays of VTK's unstructured grid: the connectivity, the
// offsets (64-bit when a 32-bit one cannot hold them) and the types.
std::vector<VtuArray> TopologyArrays(const VtuGrid& grid) {
    const size_t cells = grid.triangles.tuples;
    const bool wide = grid.triangles.type != VtuType::Int32 || 3 * cells > size_t(INT32_MAX);
    std::vector<VtuArray> topology = {
        grid.triangles,
        {"offsets", wide ? VtuType::Int64 : VtuType::Int32, 1, cells,
         [wide](size_t first, size_t count, void* out) {
             for (size_t i = 0; i < count; ++i) {
                 const size_t offset = 3 * (first + i + 1);
                 if (wide)
                     VtuStore(out, i, static_cast<int64_t>(offset));
                 else
                     VtuStore(out, i, static_cast<int32_t>(offset));
             }
         }},
        {"types", VtuType::UInt8, 1, cells,
         [](size_t, size_t count, void* out) { std::memset(out, kVtkTriangle, count); }}};
    topology[0].name = "connectivity";
    topology[0].flat = true;
    return topology;
}

// The XML before the appended data, with every array's offset in it, and
// the runs of arrays in that order.
struct VtuLayout {
    std::string xml;
    std::vector<Run> runs;
    uint64_t offset = 0; // the appended data's size
};

VtuLayout LayOut(const VtuGrid& grid, const std::vector<VtuArray>& points,
                 const std::vector<VtuArray>& topology) {
    VtuLayout layout;
    std::string& xml = layout.xml;
    std::vector<Run>& runs = layout.runs;
    uint64_t& offset = layout.offset;
    const size_t cells = grid.triangles.tuples;
    xml = std::string("<?xml version=\"1.0\"?>\n"
                      "<VTKFile type=\"UnstructuredGrid\" version=\"1.0\" byte_order=\"") +
          ByteOrder() + "\" header_type=\"UInt64\">\n  <UnstructuredGrid>\n";
    auto place = [&](const std::vector<VtuArray>& arrays, const char* open, const char* close, bool tuples,
                     const VtuFill& fill) {
        xml += open;
        for (const VtuArray& array : arrays) {
            xml += std::string(tuples ? "      " : "        ") + "<DataArray type=\"" + TypeName(array.type) +
                   "\" Name=\"" + Escaped(array.name) + "\"";
            if (array.components > 1 && !array.flat)
                xml += " NumberOfComponents=\"" + std::to_string(array.components) + "\"";
            if (tuples)
                xml += " NumberOfTuples=\"" + std::to_string(array.tuples) + "\"";
            xml += " format=\"appended\" offset=\"" + std::to_string(offset) + "\"/>\n";
            if (&array == &arrays.front() || array.tuples != runs.back().arrays.front()->tuples)
                runs.push_back({{}, {}, fill ? &fill : nullptr});
            runs.back().arrays.push_back(&array);
            runs.back().places.push_back(offset);
            offset += sizeof(uint64_t) + Bytes(array);
        }
        xml += close;
    };
    if (!grid.fieldData.empty())
        place(grid.fieldData, "    <FieldData>\n", "    </FieldData>\n", true, nullptr);
    xml += "    <Piece NumberOfPoints=\"" + std::to_string(grid.points.tuples) + "\" NumberOfCells=\"" +
           std::to_string(cells) + "\">\n";
    auto opening = [](const char* element, const std::string& scalars) {
        return std::string("      <") + element +
               (scalars.empty() ? std::string() : " Scalars=\"" + Escaped(scalars) + "\"") + ">\n";
    };
    place(grid.pointData, opening("PointData", grid.pointScalars).c_str(), "      </PointData>\n", false,
          grid.pointDataFill);
    place(grid.cellData, opening("CellData", grid.cellScalars).c_str(), "      </CellData>\n", false,
          nullptr);
    place(points, "      <Points>\n", "      </Points>\n", false, nullptr);
    place(topology, "      <Cells>\n", "      </Cells>\n", false, nullptr);
    xml += "    </Piece>\n  </UnstructuredGrid>\n  <AppendedData encoding=\"raw\">\n   _";
    return layout;
}

// Writes every run's byte counts and then its blocks, the data after xmlSize
// bytes of XML.
bool WriteRuns(CAtomicFile& file, std::vector<Run>& runs, size_t xmlSize) {
    bool ok = true;
    // The runs of each tuple count go together, so that what they are
    // computed from (the nodes or the elements) comes from memory once; their
    // blocks are taken by the cores in any order, blocks that are mostly
    // computing then going along with blocks that are mostly writing.
    std::vector<std::vector<const Run*>> passes;
    for (Run& run : runs) {
        for (size_t i = 0; ok && i < run.arrays.size(); ++i) {
            run.places[i] += xmlSize;
            const uint64_t bytes = Bytes(*run.arrays[i]);
            ok = file.WriteAt(run.places[i], &bytes, sizeof bytes);
        }
        auto same = std::find_if(passes.begin(), passes.end(), [&run](const std::vector<const Run*>& pass) {
            return pass.front()->arrays.front()->tuples == run.arrays.front()->tuples;
        });
        if (same == passes.end())
            passes.push_back({&run});
        else
            same->push_back(&run);
    }
    struct Block {
        const std::vector<const Run*>* runs;
        size_t first, last;
    };
    std::vector<Block> blocks;
    for (const std::vector<const Run*>& pass : passes) {
        const size_t tuples = pass.front()->arrays.front()->tuples;
        for (size_t first = 0; first < tuples; first += kBlock)
            blocks.push_back({&pass, first, std::min(tuples, first + kBlock)});
    }
    return ok && parallel::ReduceBlocks(
                     blocks.size(), 1, true,
                     [&](size_t first, size_t last) {
                         bool written = true;
                         for (size_t i = first; written && i < last; ++i)
                             written = WriteBlock(file, *blocks[i].runs, blocks[i].first, blocks[i].last);
                         return written;
                     },
                     [](bool earlier, bool later) { return earlier && later; });
}

} // namespace

VtuArray VtuNumber(const std::string& name, double value) {
    return {name, VtuType::Float64, 1, 1, [value](size_t, size_t, void* out) { VtuStore(out, 0, value); }};
}

bool WriteVtuFile(const std::string& path, const VtuGrid& grid) {
    std::vector<VtuArray> points = {grid.points};
    points[0].name = "Points";
    const std::vector<VtuArray> topology = TopologyArrays(grid);
    VtuLayout layout = LayOut(grid, points, topology);
    const std::string& xml = layout.xml;

    CAtomicFile file(path, TemporaryName(path));
    if (!file.Open())
        return false;
    const std::string end = "\n  </AppendedData>\n</VTKFile>\n";
    file.Reserve(xml.size() + layout.offset + end.size());
    const bool ok = file.WriteAt(0, xml.data(), xml.size()) &&
                    file.WriteAt(xml.size() + layout.offset, end.data(), end.size()) &&
                    WriteRuns(file, layout.runs, xml.size());
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

} // namespace quillmere
