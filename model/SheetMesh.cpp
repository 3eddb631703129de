#include "model/SheetMesh.h"

#include "core/Parallel.h"

#include <cstring>

namespace quillmere {

namespace {

constexpr size_t ElementGrain = 65536;

template <typename T> bool SameBytes(const BigArray<T>& a, const BigArray<T>& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

} // namespace

CSheetMesh::CSheetMesh(CMeshData data, BigArray<double> areas, std::shared_ptr<const CNodeElements> nodeLists)
    : mesh(std::move(data)), referenceAreas(std::move(areas)), lists(std::move(nodeLists)) {}

bool CSheetMesh::HasElementNodes(const ElementNodes* nodes, size_t count) const {
    if (count != mesh.elementNodes.size())
        return false;
    const ElementNodes* mine = mesh.elementNodes.data();
    return parallel::ReduceBlocks(
        count, ElementGrain, true,
        [mine, nodes](size_t first, size_t last) {
            return std::memcmp(mine + first, nodes + first, (last - first) * sizeof(ElementNodes)) == 0;
        },
        [](bool a, bool b) { return a && b; });
}

bool CSheetMesh::IsMeshOf(const CMeshData& data) const {
    if (data.elementCount != mesh.elementCount || data.nodeCount != mesh.nodeCount ||
        data.symmetryName != mesh.symmetryName || data.symmetryPlaneCount != mesh.symmetryPlaneCount ||
        data.hasNodeMarks != mesh.hasNodeMarks)
        return false;
    for (int p = 0; p < mesh.symmetryPlaneCount; ++p)
        if (std::memcmp(&data.symmetryPlanes[static_cast<size_t>(p)],
                        &mesh.symmetryPlanes[static_cast<size_t>(p)], sizeof(CPlane)) != 0)
            return false;
    return SameBytes(data.elementIds, mesh.elementIds) &&
           SameBytes(data.referenceCoordinates, mesh.referenceCoordinates) &&
           SameBytes(data.nodeSymmetry, mesh.nodeSymmetry) && SameBytes(data.nodeMarks, mesh.nodeMarks);
}

} // namespace quillmere
