// The values one record gives its sheet: the deformed nodes, the element
// results, tool contact, node conditions and the tools' positions.
#pragma once

#include "config/ToolSlots.h"
#include "model/BigArray.h"
#include "model/SheetElements.h"
#include "model/Vectors.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillmere {

// Arrays by node number have an entry 0 that is no node.
struct CRecordValues {
    std::string recordPath;
    int recordIndex = 0; // 0-based, as in the file name
    BigArray<CCoordinate> currentCoordinates;
    BigArray<CElementValues> elements;
    // The 11 further values of each element; only with extended element
    // data (each is the temperature otherwise).
    std::vector<std::array<double, 11>> layerValues;
    // 0 where the node touches the tool of the slot, else 1.
    BigArray<std::array<uint8_t, kToolSlots>> contactFlags;
    // Bit 0: clamped; bit 1: no pressure on the node.
    BigArray<uint32_t> nodeConditions;
    std::array<double, kToolSlots> toolPositions{};

    int ContactFlag(int node, int tool) const {
        return contactFlags[static_cast<size_t>(node)][static_cast<size_t>(tool)];
    }
    uint32_t NodeConditions(int node) const { return nodeConditions[static_cast<size_t>(node)]; }
    bool IsClamped(int node) const { return (NodeConditions(node) & 1u) != 0; }
    bool HasNoPressure(int node) const { return (NodeConditions(node) & 2u) != 0; }
    // The further values of an element (0-based position).
    double LayerValue(size_t element, int index) const {
        return layerValues.empty() ? elements[element].Temperature
                                   : layerValues[element][static_cast<size_t>(index)];
    }
};

} // namespace quillmere
