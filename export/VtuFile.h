// VTK's XML formats: an unstructured grid of triangles (.vtu) with its
// arrays in raw appended binary, 64-bit floats, and the collection (.pvd)
// that makes a time series of several grids. Every file goes through a
// temporary name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace quillmere {

enum class VtuType { Float64, Float32, Int64, Int32, UInt8 };

// An array produced piece by piece, a block of every array at a time on
// every core, so that a grid of millions of cells needs no copy of its own:
// fill(first, count, out) writes tuples first .. first + count - 1 (count x
// components values of the type) to out. fill is called from several threads
// at once.
struct VtuArray {
    std::string name;
    VtuType type = VtuType::Float64;
    int components = 1;
    size_t tuples = 0;
    std::function<void(size_t first, size_t count, void* out)> fill;
    // The file declares one component per value (the connectivity); the
    // components only group the values fill is called for.
    bool flat = false;
};

// Several arrays filled together: tuples first .. first + count - 1 of the
// i-th to outs[i], which is aligned for the array's type.
using VtuFill = std::function<void(size_t first, size_t count, void* const* outs)>;

// Values go to out through VtuStore, whatever its alignment.
template <typename T> void VtuStore(void* out, size_t index, T value) {
    std::memcpy(static_cast<char*>(out) + index * sizeof value, &value, sizeof value);
}

struct VtuGrid {
    VtuArray points; // x, y, z (Float64 or Float32, 3 components); its name is not used
    // Three 0-based point numbers (Int64 or Int32, 3 components); its name is
    // not used. The offsets are Int32 too when they fit.
    VtuArray triangles;
    std::vector<VtuArray> pointData, cellData, fieldData;
    // The arrays a reader colours by when told nothing else ("" for none).
    std::string pointScalars, cellScalars;
    // When set, fills every point data array (of the same tuple count) at
    // once, for values worked out together; their own fill is not used.
    VtuFill pointDataFill;
};

// A field data array of one number.
VtuArray VtuNumber(const std::string& name, double value);

// False when the file cannot be written; an old file of that name is then
// left as it was.
bool WriteVtuFile(const std::string& path, const VtuGrid& grid);

struct PvdEntry {
    double time;
    std::string file; // relative to the .pvd's folder
};

bool WritePvdFile(const std::string& path, const std::vector<PvdEntry>& entries);

} // namespace quillmere
