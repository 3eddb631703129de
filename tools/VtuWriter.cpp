#include "tools/OutputFiles.h"
#include "tools/SampleWriter.h"

#include <functional>

namespace samplegen {

using detail::CByteOutput;
using detail::Integer;

namespace {

constexpr uint8_t kVtkTriangle = 5;

struct AppendedArray {
    std::string xml; // the DataArray element without its offset
    uint64_t bytes;  // size of the data, without the size prefix
    std::function<void(CByteOutput&)> write;
};

std::string DataArray(const char* type, const char* name, int components) {
    std::string xml = std::string("<DataArray type=\"") + type + "\" Name=\"" + name + "\"";
    if (components > 1)
        xml += " NumberOfComponents=\"" + Integer(components) + "\"";
    return xml + " format=\"appended\"";
}

} // namespace

bool WriteVtu(const std::string& path, const RecordData& record) {
    const RecordData& r = record;
    const uint64_t points = r.current.size(), cells = r.elements.size();
    auto cellField = [&](const char* name, float RecordElement::*field) {
        return AppendedArray{DataArray("Float32", name, 1), cells * 4, [&r, field](CByteOutput& out) {
                                 for (const RecordElement& element : r.elements)
                                     out.F32(element.*field);
                             }};
    };
    const std::vector<AppendedArray> cellData = {
        cellField("Temperature", &RecordElement::temperature),
        cellField("InitialThickness", &RecordElement::initialThickness),
        cellField("Stress1", &RecordElement::stress1), cellField("Stress2", &RecordElement::stress2)};
    const AppendedArray pointArray{DataArray("Float32", "Points", 3), points * 12, [&r](CByteOutput& out) {
                                       for (const Vec3& p : r.current) {
                                           out.F32(static_cast<float>(p.x));
                                           out.F32(static_cast<float>(p.y));
                                           out.F32(static_cast<float>(p.z));
                                       }
                                   }};
    const std::vector<AppendedArray> cellArrays = {
        {DataArray("Int64", "connectivity", 1), cells * 24,
         [&r](CByteOutput& out) {
             for (const RecordElement& element : r.elements)
                 for (int32_t node : element.nodes)
                     out.I64(node - 1);
         }},
        {DataArray("Int64", "offsets", 1), cells * 8,
         [&r](CByteOutput& out) {
             for (int64_t i = 1; i <= static_cast<int64_t>(r.elements.size()); ++i)
                 out.I64(3 * i);
         }},
        {DataArray("UInt8", "types", 1), cells, [&r](CByteOutput& out) {
             for (size_t i = 0; i < r.elements.size(); ++i)
                 out.U8(kVtkTriangle);
         }}};

    uint64_t offset = 0;
    std::string xml;
    auto place = [&](const AppendedArray& array) {
        xml += "        " + array.xml + " offset=\"" + Integer(static_cast<long long>(offset)) + "\"/>\n";
        offset += 8 + array.bytes;
    };
    xml += "<?xml version=\"1.0\"?>\n"
           "<VTKFile type=\"UnstructuredGrid\" version=\"1.0\" byte_order=\"LittleEndian\" "
           "header_type=\"UInt64\">\n"
           "  <UnstructuredGrid>\n";
    xml += "    <Piece NumberOfPoints=\"" + Integer(static_cast<long long>(points)) + "\" NumberOfCells=\"" +
           Integer(static_cast<long long>(cells)) + "\">\n";
    xml += "      <CellData Scalars=\"Temperature\">\n";
    for (const AppendedArray& array : cellData)
        place(array);
    xml += "      </CellData>\n      <Points>\n";
    place(pointArray);
    xml += "      </Points>\n      <Cells>\n";
    for (const AppendedArray& array : cellArrays)
        place(array);
    xml += "      </Cells>\n    </Piece>\n  </UnstructuredGrid>\n  <AppendedData encoding=\"raw\">\n   _";

    CByteOutput out(path);
    if (!out.IsOpen())
        return false;
    out.Text(xml);
    auto emit = [&out](const AppendedArray& array) {
        out.U64(array.bytes);
        array.write(out);
    };
    for (const AppendedArray& array : cellData)
        emit(array);
    emit(pointArray);
    for (const AppendedArray& array : cellArrays)
        emit(array);
    out.Text("\n  </AppendedData>\n</VTKFile>\n");
    return out.Finish();
}

} // namespace samplegen
