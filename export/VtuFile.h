// VTK's XML formats: an unstructured grid of triangles (.vtu) with its
// arrays in raw appended binary, 64-bit floats, and the collection (.pvd)
// that makes a time series of several grids. Every file goes through a
// temporary name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct VtuArray {
    std::string name;
    std::vector<double> values; // one per point or cell, or per tuple of field data
};

struct VtuFlags {
    std::string name;
    std::vector<uint8_t> values; // one per cell
};

struct VtuGrid {
    std::vector<double> points;        // x, y, z of each point
    std::vector<int64_t> connectivity; // three 0-based points per triangle
    std::vector<VtuArray> pointData;
    std::vector<VtuArray> cellData;
    std::vector<VtuFlags> cellFlags;
    std::vector<VtuArray> fieldData;
};

// False when the file cannot be written; an old file of that name is then
// left as it was.
bool WriteVtuFile(const std::string& path, const VtuGrid& grid);

struct PvdEntry {
    double time;
    std::string file; // relative to the .pvd's folder
};

bool WritePvdFile(const std::string& path, const std::vector<PvdEntry>& entries);
