// The state of the formed sheet at one record, in three parts: the mesh
// (shared by every record of the project), the values of the record, and
// what is derived from them.
#pragma once

#include "model/RecordValues.h"
#include "model/SheetDerivation.h"
#include "model/SheetMesh.h"
#include "model/Vectors.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace quillmere {

// By node number (entry 0 is no node): the first record (1-based) at which
// the node touches a tool over every record of a project; NaN where it never
// does.
using FirstContactRecords = std::vector<double>;

class CSheetProfile {
public:
    // The values of a record derived on mesh (see OpenSheet and
    // PrepareRecord in model/SheetReading.h).
    CSheetProfile(std::shared_ptr<const CSheetMesh> mesh, CRecordValues values, CSheetDerived derived);
    CSheetProfile(const CSheetProfile&) = delete;
    CSheetProfile& operator=(const CSheetProfile&) = delete;

    const CSheetMesh& Mesh() const { return *mesh; }
    const std::shared_ptr<const CSheetMesh>& SharedMesh() const { return mesh; }
    const CRecordValues& Values() const { return values; }
    const CSheetDerived& Derived() const { return derived; }

    // Takes the values of prepared, a record of the same mesh, and what is
    // derived from them, in a few swaps; prepared is left holding the old
    // ones, good for nothing but its destruction.
    void SwapRecordValues(CSheetProfile& prepared);
    // Changes whenever the sheet takes other element values, to a number no
    // sheet had before: what is computed from the values can be kept by it.
    uint64_t ValuesGeneration() const { return valuesGeneration; }

    // The first contact of the project's nodes, once computed over its
    // records (null before): the project's, not a record's, so it stays as
    // the sheet takes other records.
    const std::shared_ptr<const FirstContactRecords>& FirstContact() const { return firstContact; }
    void SetFirstContact(std::shared_ptr<const FirstContactRecords> records) {
        firstContact = std::move(records);
    }

    const std::string& RecordPath() const { return values.recordPath; }
    int ElementCount() const { return mesh->ElementCount(); }
    int NodeCount() const { return mesh->NodeCount(); }

    // The current coordinates as one array indexed by node number (entry 0
    // is not a node), for drawing.
    const CCoordinate* CurrentCoordinateArray() const { return values.currentCoordinates.data(); }
    const CCoordinate& CurrentCoordinate(int node) const {
        return values.currentCoordinates[static_cast<size_t>(node)];
    }
    // The corners of an element (0-based index) in the current and the
    // undeformed sheet.
    const CCoordinate& CurrentCorner(size_t element, int corner) const {
        return values
            .currentCoordinates[static_cast<size_t>(mesh->Nodes(element)[static_cast<size_t>(corner)])];
    }
    const CCoordinate& ReferenceCorner(size_t element, int corner) const {
        return mesh->ReferenceCoordinate(mesh->Nodes(element)[static_cast<size_t>(corner)]);
    }
    // Elements using the node, in element order.
    ElementIndexRange NodeElements(int node) const { return mesh->NodeElements(node); }
    // An element held by the clamp at all three corners.
    bool IsClampedElement(size_t element) const {
        const ElementNodes& nodes = mesh->Nodes(element);
        return values.IsClamped(nodes[0]) && values.IsClamped(nodes[1]) && values.IsClamped(nodes[2]);
    }

    const std::array<double, 6>& BoundingBox() const { return derived.boundingBox; }
    double SheetSize() const { return derived.sheetSize; }
    double MaxInitialThickness() const { return derived.maxInitialThickness; }
    const NonFiniteValues& NonFinite() const { return derived.nonFinite; }

private:
    std::shared_ptr<const CSheetMesh> mesh;
    CRecordValues values;
    CSheetDerived derived;
    uint64_t valuesGeneration;
    std::shared_ptr<const FirstContactRecords> firstContact;
};

} // namespace quillmere
