#include "model/SheetReading.h"

#include <utility>

namespace quillmere {

namespace {

// The sheet of read on a mesh of its own, which takes lists as the elements
// of its nodes when given (another mesh's of the same elements).
std::unique_ptr<CSheetProfile> OpenOwnMesh(CRecordData read, std::shared_ptr<const CNodeElements> lists) {
    CMeshData& data = read.mesh;
    BigArray<double> referenceAreas(data.elementNodes.size());
    CDerivationInput input;
    input.nodes = data.elementNodes.data();
    input.referenceNodes = data.referenceCoordinates.data();
    input.values = &read.values;
    input.nodeCount = data.nodeCount;
    input.referenceAreas = referenceAreas.data();
    CSheetDerived derived = DeriveRecord(input);
    if (!lists)
        lists = std::make_shared<const CNodeElements>(
            BuildNodeElements(data.elementNodes.data(), data.elementNodes.size(), data.nodeCount));
    auto mesh =
        std::make_shared<const CSheetMesh>(std::move(data), std::move(referenceAreas), std::move(lists));
    return std::make_unique<CSheetProfile>(std::move(mesh), std::move(read.values), std::move(derived));
}

// The values of read derived on mesh; with compareNodes, null when the
// record's elements use other nodes than the mesh's.
std::unique_ptr<CSheetProfile> OnMesh(const std::shared_ptr<const CSheetMesh>& mesh, CRecordData read,
                                      bool compareNodes) {
    CDerivationInput input;
    input.nodes = mesh->NodeArray();
    input.referenceNodes = mesh->ReferenceCoordinateArray();
    input.values = &read.values;
    input.nodeCount = mesh->NodeCount();
    input.recordNodes = compareNodes ? read.mesh.elementNodes.data() : nullptr;
    bool sameNodes = true;
    CSheetDerived derived = DeriveRecord(input, &sameNodes);
    if (!sameNodes)
        return nullptr;
    return std::make_unique<CSheetProfile>(mesh, std::move(read.values), std::move(derived));
}

bool SameCounts(const CSheetMesh& mesh, const CMeshData& data) {
    return data.elementCount == mesh.ElementCount() && data.nodeCount == mesh.NodeCount() &&
           data.elementNodes.size() == static_cast<size_t>(mesh.ElementCount()) &&
           data.referenceCoordinates.size() == static_cast<size_t>(mesh.NodeCount()) + 1;
}

} // namespace

std::unique_ptr<CSheetProfile> OpenSheet(CRecordData read) {
    return OpenOwnMesh(std::move(read), nullptr);
}

std::unique_ptr<CSheetProfile> PrepareRecord(const std::shared_ptr<const CSheetMesh>& mesh,
                                             CRecordData read) {
    if (!SameCounts(*mesh, read.mesh))
        return nullptr;
    return OnMesh(mesh, std::move(read), true);
}

std::unique_ptr<CSheetProfile>
OpenSheetOnMesh(CRecordData read, const std::shared_ptr<const CSheetMesh>& mesh, bool& sameElements) {
    sameElements = SameCounts(*mesh, read.mesh) &&
                   mesh->HasElementNodes(read.mesh.elementNodes.data(), read.mesh.elementNodes.size());
    if (sameElements && mesh->IsMeshOf(read.mesh))
        return OnMesh(mesh, std::move(read), false);
    return OpenOwnMesh(std::move(read), sameElements ? mesh->NodeElementLists() : nullptr);
}

std::unique_ptr<CSheetProfile> ReadSheet(const std::string& path, int index, IProgressSink* progress,
                                         RecordError* error) {
    CRecordData read = ReadRecordFile(path, index, progress);
    if (error)
        *error = read.error;
    if (read.error)
        return nullptr;
    return OpenSheet(std::move(read));
}

} // namespace quillmere
