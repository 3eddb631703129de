// The mesh of a project's sheet: what stays from record to record. Made
// once when a project opens and never changed; every record of the project,
// and every reference record of the same mesh, shares it.
#pragma once

#include "model/BigArray.h"
#include "model/SheetElements.h"
#include "model/SheetTopology.h"
#include "model/Vectors.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace quillmere {

enum SymmetryType { FULL = 0, HALF = 1, QUARTER = 2, ONE_STRIPE = 3, OTHER_SYMMETRY = 4 };

constexpr int MaxSymmetryPlanes = 10;

// A node's symmetry record: byte 0 its code (1 boundary node, 1 or 2 on the
// symmetry plane of byte 1, 3 or more fixed), byte 1 the 1-based plane.
using NodeSymmetry = std::array<uint8_t, 2>;

// The mesh as a record file gives it. Arrays by node number have an entry 0
// that is no node.
struct CMeshData {
    int elementCount = 0;
    int nodeCount = 0;
    std::string symmetryName; // as the header writes it
    SymmetryType symmetry = OTHER_SYMMETRY;
    int symmetryPlaneCount = 0;
    std::array<CPlane, MaxSymmetryPlanes> symmetryPlanes{};
    BigArray<ElementNodes> elementNodes; // by element
    BigArray<int32_t> elementIds;        // by element
    BigArray<CCoordinate> referenceCoordinates;
    BigArray<NodeSymmetry> nodeSymmetry;
    BigArray<uint8_t> nodeMarks; // all 0 without the record's block of them
    bool hasNodeMarks = false;
};

class CSheetMesh {
public:
    // The mesh of data, with the areas of its undeformed elements and the
    // elements of its nodes (shared with the meshes of the same elements).
    CSheetMesh(CMeshData data, BigArray<double> referenceAreas, std::shared_ptr<const CNodeElements> lists);
    CSheetMesh(const CSheetMesh&) = delete;
    CSheetMesh& operator=(const CSheetMesh&) = delete;

    int ElementCount() const { return mesh.elementCount; }
    int NodeCount() const { return mesh.nodeCount; }

    const ElementNodes& Nodes(size_t element) const { return mesh.elementNodes[element]; }
    const ElementNodes* NodeArray() const { return mesh.elementNodes.data(); }
    int32_t ElementId(size_t element) const { return mesh.elementIds[element]; }
    // Area of the element in the undeformed sheet.
    double ReferenceArea(size_t element) const { return referenceAreas[element]; }

    const CCoordinate& ReferenceCoordinate(int node) const {
        return mesh.referenceCoordinates[static_cast<size_t>(node)];
    }
    const CCoordinate* ReferenceCoordinateArray() const { return mesh.referenceCoordinates.data(); }
    int NodeCode(int node) const { return mesh.nodeSymmetry[static_cast<size_t>(node)][0]; }
    int NodePlaneIndex(int node) const { return mesh.nodeSymmetry[static_cast<size_t>(node)][1]; }
    int NodeMark(int node) const { return mesh.nodeMarks[static_cast<size_t>(node)]; }
    bool HasNodeMarks() const { return mesh.hasNodeMarks; }

    const std::string& SymmetryName() const { return mesh.symmetryName; }
    SymmetryType Symmetry() const { return mesh.symmetry; }
    int SymmetryPlaneCount() const { return mesh.symmetryPlaneCount; }
    const CPlane& SymmetryPlane(int index) const { return mesh.symmetryPlanes[static_cast<size_t>(index)]; }

    // Elements using the node, in element order.
    ElementIndexRange NodeElements(int node) const { return lists->Of(node); }
    const std::shared_ptr<const CNodeElements>& NodeElementLists() const { return lists; }
    // Other elements sharing at least one node with the element.
    CNeighbourRange ElementNeighbours(int element) const { return CNeighbourRange(this, element); }

    // Whether the count elements of nodes use this mesh's nodes, element by
    // element.
    bool HasElementNodes(const ElementNodes* nodes, size_t count) const;
    // Whether data, whose elements use this mesh's nodes, is this mesh in
    // every other part too: the identifiers, the undeformed sheet, the
    // nodes' symmetry and marks, the planes.
    bool IsMeshOf(const CMeshData& data) const;

private:
    CMeshData mesh;
    BigArray<double> referenceAreas;
    std::shared_ptr<const CNodeElements> lists;
};

} // namespace quillmere
