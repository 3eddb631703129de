#include "export/VtuFile.h"
#include "core/AtomicFile.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace quillmere;

namespace {

// An array of a written .vtu found the way a reader finds it: the offset of
// its DataArray element from the '_' that opens the appended data, a 64-bit
// size there and the bytes after it.
struct Stored {
    uint64_t size = 0;
    std::string bytes;
    template <typename T> T At(size_t index) const {
        T value{};
        std::memcpy(&value, bytes.data() + index * sizeof value, sizeof value);
        return value;
    }
};

Stored Find(const std::string& file, const std::string& name) {
    const size_t element = file.find("Name=\"" + name + "\"");
    const size_t offsetAt = file.find("offset=\"", element) + 8;
    const size_t start = file.find("<AppendedData encoding=\"raw\">\n   _") + 34;
    if (element == std::string::npos || start < 34)
        return {};
    Stored stored;
    const size_t at = start + std::stoull(file.substr(offsetAt));
    std::memcpy(&stored.size, file.data() + at, sizeof stored.size);
    stored.bytes = file.substr(at + 8, stored.size);
    return stored;
}

// A strip of triangles over points 0 .. points - 1 with arrays that give each
// value away by its index; larger than the writer's buffer so that arrays
// are produced in several pieces.
VtuGrid StripGrid(size_t points) {
    VtuGrid grid;
    grid.points = {"", VtuType::Float64, 3, points, [](size_t first, size_t count, void* out) {
                       for (size_t i = 0; i < 3 * count; ++i)
                           VtuStore(out, i, static_cast<double>(3 * first + i) * 0.5);
                   }};
    grid.triangles = {"", VtuType::Int64, 3, points - 2, [](size_t first, size_t count, void* out) {
                          for (size_t i = 0; i < count; ++i)
                              for (size_t corner = 0; corner < 3; ++corner)
                                  VtuStore(out, 3 * i + corner, static_cast<int64_t>(first + i + corner));
                      }};
    grid.pointData = {{"height_mm", VtuType::Float64, 1, points, [](size_t first, size_t count, void* out) {
                           for (size_t i = 0; i < count; ++i)
                               VtuStore(out, i, -static_cast<double>(first + i));
                       }}};
    grid.cellData = {{"odd", VtuType::UInt8, 1, points - 2, [](size_t first, size_t count, void* out) {
                          for (size_t i = 0; i < count; ++i)
                              VtuStore(out, i, static_cast<uint8_t>((first + i) % 2));
                      }}};
    grid.fieldData = {VtuNumber("TimeValue", 0.25)};
    return grid;
}

TEST(VtuFile, EveryArrayLiesAtItsOffsetWithItsSize) {
    CTempFolder folder;
    const size_t points = 100003, cells = points - 2;
    ASSERT_TRUE(WriteVtuFile(folder.File("strip.vtu"), StripGrid(points)));
    const std::string file = ReadWholeFile(folder.File("strip.vtu"));
    EXPECT_NE(file.find("<Piece NumberOfPoints=\"100003\" NumberOfCells=\"100001\">"), std::string::npos);
    EXPECT_NE(file.find("header_type=\"UInt64\""), std::string::npos);
    EXPECT_EQ(file.substr(file.size() - 30), "\n  </AppendedData>\n</VTKFile>\n");

    const Stored xyz = Find(file, "Points"), corners = Find(file, "connectivity"),
                 offsets = Find(file, "offsets"), types = Find(file, "types"),
                 height = Find(file, "height_mm"), odd = Find(file, "odd"), time = Find(file, "TimeValue");
    ASSERT_EQ(xyz.size, 24 * points);
    ASSERT_EQ(corners.size, 24 * cells);
    ASSERT_EQ(offsets.size, 8 * cells);
    ASSERT_EQ(types.size, cells);
    ASSERT_EQ(height.size, 8 * points);
    ASSERT_EQ(odd.size, cells);
    ASSERT_EQ(time.size, 8u);
    EXPECT_EQ(time.At<double>(0), 0.25);
    size_t wrong = 0;
    for (size_t i = 0; i < 3 * points; ++i)
        wrong += xyz.At<double>(i) != static_cast<double>(i) * 0.5;
    for (size_t i = 0; i < points; ++i)
        wrong += height.At<double>(i) != -static_cast<double>(i);
    for (size_t i = 0; i < cells; ++i) {
        for (size_t corner = 0; corner < 3; ++corner)
            wrong += corners.At<int64_t>(3 * i + corner) != static_cast<int64_t>(i + corner);
        wrong += offsets.At<int64_t>(i) != static_cast<int64_t>(3 * i + 3);
        wrong += types.At<uint8_t>(i) != 5 || odd.At<uint8_t>(i) != i % 2;
    }
    EXPECT_EQ(wrong, 0u);
    // The connectivity is one component per value, as readers expect.
    EXPECT_EQ(file.find("Name=\"connectivity\" NumberOfComponents"), std::string::npos);
}

// 32-bit connectivity and offsets, point arrays filled together and field
// arrays of different sizes, over several blocks of the writer.
TEST(VtuFile, NarrowTopologyAndArraysFilledTogether) {
    CTempFolder folder;
    const size_t points = 200003, cells = points - 2;
    VtuGrid grid = StripGrid(points);
    grid.triangles.type = VtuType::Int32;
    grid.triangles.fill = [](size_t first, size_t count, void* out) {
        for (size_t i = 0; i < 3 * count; ++i)
            VtuStore(out, i, static_cast<int32_t>(first + i / 3 + i % 3));
    };
    grid.pointData = {{"twice", VtuType::Float64, 1, points, nullptr},
                      {"low", VtuType::UInt8, 1, points, nullptr}};
    grid.pointDataFill = [](size_t first, size_t count, void* const* outs) {
        for (size_t i = 0; i < count; ++i) {
            VtuStore(outs[0], i, 2.0 * static_cast<double>(first + i));
            VtuStore(outs[1], i, static_cast<uint8_t>(first + i));
        }
    };
    grid.fieldData.push_back({"three", VtuType::Float64, 1, 3, [](size_t first, size_t count, void* out) {
                                  for (size_t i = 0; i < count; ++i)
                                      VtuStore(out, i, 10.0 + static_cast<double>(first + i));
                              }});
    grid.cellData.push_back({"half", VtuType::Float32, 1, cells, [](size_t first, size_t count, void* out) {
                                 for (size_t i = 0; i < count; ++i)
                                     VtuStore(out, i, 0.5f * static_cast<float>(first + i));
                             }});
    grid.pointScalars = "twice";
    ASSERT_TRUE(WriteVtuFile(folder.File("strip.vtu"), grid));
    const std::string file = ReadWholeFile(folder.File("strip.vtu"));
    EXPECT_NE(file.find("<PointData Scalars=\"twice\">\n"), std::string::npos);
    EXPECT_NE(file.find("<CellData>\n"), std::string::npos);
    const Stored half = Find(file, "half");
    ASSERT_EQ(half.size, 4 * cells);
    EXPECT_EQ(half.At<float>(cells - 1), 0.5f * static_cast<float>(cells - 1));
    EXPECT_NE(file.find("<DataArray type=\"Int32\" Name=\"connectivity\" format"), std::string::npos);
    EXPECT_NE(file.find("<DataArray type=\"Int32\" Name=\"offsets\" format"), std::string::npos);
    const Stored corners = Find(file, "connectivity"), offsets = Find(file, "offsets"),
                 twice = Find(file, "twice"), low = Find(file, "low"), three = Find(file, "three"),
                 time = Find(file, "TimeValue");
    ASSERT_EQ(corners.size, 12 * cells);
    ASSERT_EQ(offsets.size, 4 * cells);
    ASSERT_EQ(twice.size, 8 * points);
    ASSERT_EQ(low.size, points);
    ASSERT_EQ(three.size, 24u);
    EXPECT_EQ(time.At<double>(0), 0.25);
    EXPECT_EQ(three.At<double>(2), 12.0);
    size_t wrong = 0;
    for (size_t i = 0; i < points; ++i)
        wrong += twice.At<double>(i) != 2.0 * static_cast<double>(i) || low.At<uint8_t>(i) != (i & 255);
    for (size_t i = 0; i < cells; ++i) {
        for (size_t corner = 0; corner < 3; ++corner)
            wrong += corners.At<int32_t>(3 * i + corner) != static_cast<int32_t>(i + corner);
        wrong += offsets.At<int32_t>(i) != static_cast<int32_t>(3 * i + 3);
    }
    EXPECT_EQ(wrong, 0u);
}

TEST(VtuFile, FailedWriteLeavesTheOldFileAndNoTemporary) {
    CTempFolder folder;
    const std::string path = folder.File("record.vtu");
    ASSERT_TRUE(ReplaceFileContent(path, path + ".new", "old"));
    CAtomicFile::SetFaultHook([](CAtomicFile::Step step) { return step == CAtomicFile::Step::Write; });
    const bool written = WriteVtuFile(path, StripGrid(100));
    const bool listed = WritePvdFile(folder.File("record.pvd"), {{0, "record.vtu"}});
    CAtomicFile::SetFaultHook(nullptr);
    EXPECT_FALSE(written);
    EXPECT_FALSE(listed);
    EXPECT_EQ(ReadWholeFile(path), "old");
    {
        // A disk that fills up while blocks are written on every core.
        const CFileSizeLimit full(300000);
        EXPECT_FALSE(WriteVtuFile(path, StripGrid(100003)));
    }
    EXPECT_EQ(ReadWholeFile(path), "old");
    size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        entries += entry.is_regular_file();
    EXPECT_EQ(entries, 1u);
}

TEST(VtuFile, CollectionListsEveryFileWithItsExactTime) {
    CTempFolder folder;
    ASSERT_TRUE(WritePvdFile(folder.File("a.pvd"), {{0.1, "a_1.vtu"}, {1e-7, "a&b \"2\".vtu"}}));
    EXPECT_EQ(
        ReadWholeFile(folder.File("a.pvd")),
        "<?xml version=\"1.0\"?>\n<VTKFile type=\"Collection\" version=\"1.0\">\n  <Collection>\n"
        "    <DataSet timestep=\"0.10000000000000001\" part=\"0\" file=\"a_1.vtu\"/>\n"
        "    <DataSet timestep=\"9.9999999999999995e-08\" part=\"0\" file=\"a&amp;b &quot;2&quot;.vtu\"/>\n"
        "  </Collection>\n</VTKFile>\n");
}

} // namespace
