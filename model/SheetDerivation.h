// What every load derives from the values of a record on its mesh: per
// element the thickness, the stretches, the extensions, the normal and the
// current area; the bounding box; the values that are not numbers. The
// loops over the sheet run on every core.
#pragma once

#include "model/BigArray.h"
#include "model/RecordValues.h"
#include "model/SheetElements.h"
#include "model/Vectors.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace quillmere {

// Blocks of the loops over elements and nodes.
constexpr size_t kElementGrain = 8192;
constexpr size_t kNodeGrain = 16384;

// The principal stretches of the membrane deformation, from the reference
// to the current triangle.
struct PrincipalStretches {
    double lambda1 = 0;
    double lambda2 = 0;
};

PrincipalStretches ComputePrincipalStretches(const CCoordinate current[3], const CCoordinate reference[3]);

// Thickness, stretches, extensions and normal of an element from its values
// and corners, and its undeformed area (referenceArea). Returns the current
// area, as TriangleArea of the current corners gives it. An element with a
// corner that is not a number, or without reference area (a node repeated,
// or in a line), has no thickness, stretches or extensions: they are NaN,
// and its area 0 when its current area is not a number. The normal stays
// as it was for a triangle without area.
double DeriveElementValues(CElementDerived& derived, double& referenceArea, const CElementValues& values,
                           const CCoordinate current[3], const CCoordinate reference[3]);

// Items of a record whose values are not numbers (NaN or infinite): how
// many, and the first of them (-1 for none).
struct NonFiniteItems {
    int count = 0;
    int first = -1;

    void Add(int item) {
        if (count++ == 0)
            first = item;
    }
    // Items counted after those counted so far.
    void Join(const NonFiniteItems& later) {
        if (count == 0)
            first = later.first;
        count += later.count;
    }
};

// The nodes whose current coordinates, and the elements whose values (their
// own, or derived as for an element without undeformed area), are not
// numbers: left out of the bounding box, the limits, the means and the
// sums, and drawn grey. Nodes by number, elements by 0-based index.
struct NonFiniteValues {
    NonFiniteItems nodes;
    NonFiniteItems elements;
    bool Any() const { return nodes.count > 0 || elements.count > 0; }
};

// Whether any value of the element, its own or derived, is not a number.
bool HasNonFiniteValue(const CElementValues& values, const CElementDerived& derived);

// The derivation writes every element it derives.
template <> struct FilledAfterGrowing<CElementDerived> : std::true_type {};

// What is derived from one record's values on its mesh.
struct CSheetDerived {
    BigArray<CElementDerived> elements;
    BigArray<double> currentAreas; // of each element, for the node normals and the means
    // x min, x max, y min, y max, z min, z max of the nodes that are numbers.
    std::array<double, 6> boundingBox{};
    double sizeX = 0, sizeY = 0;
    double sheetSize = 0;           // the largest of the three extents
    double maxInitialThickness = 0; // the largest initial thickness that is a number; 0 without any
    NonFiniteValues nonFinite;
};

// A record's values on a mesh, as the derivation reads them.
struct CDerivationInput {
    const ElementNodes* nodes = nullptr;         // the mesh's, by element
    const CCoordinate* referenceNodes = nullptr; // the mesh's undeformed nodes, by node number
    const CRecordValues* values = nullptr;
    int nodeCount = 0;
    // The record's own node numbers, compared with the mesh's as the
    // elements are derived; null to compare none.
    const ElementNodes* recordNodes = nullptr;
    // Takes the undeformed area of every element when given (a new mesh).
    double* referenceAreas = nullptr;
};

// Derives every element of the record and the bounding box. sameNodes, when
// given, tells whether every element of the record has the mesh's nodes;
// what is derived is then good for nothing when it has not.
CSheetDerived DeriveRecord(const CDerivationInput& input, bool* sameNodes = nullptr);

// x min, x max, y min, y max, z min, z max of the nodes 1 .. nodeCount
// whose coordinates are all numbers (all 0 when none is), and the nodes
// left out.
struct NodeBox {
    std::array<double, 6> box{};
    NonFiniteItems nonFinite; // nodes by number
};
NodeBox BoundingBoxOf(const CCoordinate* nodes, int nodeCount);

} // namespace quillmere
