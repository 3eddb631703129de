// Sheets for the cut tests, made with the sample writer and read back.
#pragma once

#include "CSheetProfile.h"
#include "SampleWriter.h"
#include "TestSupport.h"

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace cuttest {

using samplegen::RecordData;
using samplegen::Vec3;

// Writes each record to a file of its own and reads it as a sheet.
class CSheetFiles {
public:
    std::unique_ptr<CSheetProfile> Read(const RecordData& record) {
        const std::string path = folder.File("sheet" + std::to_string(++count) + ".000");
        EXPECT_TRUE(samplegen::WriteRecordFile(path, record));
        auto sheet = std::make_unique<CSheetProfile>(path, 0, nullptr);
        EXPECT_FALSE(sheet->ReadFailed()) << sheet->FailureReason();
        return sheet;
    }
    const CTempFolder& Folder() const { return folder; }

private:
    CTempFolder folder;
    int count = 0;
};

// Triangles (1-based node numbers) on the given nodes, ids 1 .. E.
inline RecordData Triangles(const std::vector<Vec3>& nodes,
                            const std::vector<std::array<int32_t, 3>>& triangles) {
    RecordData record;
    record.current = nodes;
    for (const auto& nodesOfElement : triangles) {
        samplegen::RecordElement element;
        element.nodes = nodesOfElement;
        element.temperature = 150;
        element.initialThickness = 0.003f;
        element.id = record.ElementCount() + 1;
        record.elements.push_back(element);
    }
    record.CompleteNodeData();
    return record;
}

// A grid whose current nodes are moved by shape; the reference stays flat.
inline RecordData ShapedGrid(int nx, int ny, double size, const std::function<Vec3(Vec3)>& shape) {
    RecordData record = samplegen::MakeGridRecord(nx, ny, size, size);
    for (Vec3& node : record.current)
        node = shape(node);
    return record;
}

// 8 x 8 cells over 0.25 m bent to z = 0.3 x + 0.5 y^2: every axis cuts it.
inline RecordData BentGrid() {
    return ShapedGrid(8, 8, 0.25, [](Vec3 p) { return Vec3{p.x, p.y, 0.3 * p.x + 0.5 * p.y * p.y}; });
}

inline RecordData Shuffled(RecordData record, unsigned seed) {
    std::mt19937 random(seed);
    std::shuffle(record.elements.begin(), record.elements.end(), random);
    return record;
}

} // namespace cuttest
