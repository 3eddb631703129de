// What every load derives from the values of a record: per element the
// thickness, the stretches, the extensions and the normal; the elements of
// each node; the bounding box. The loops over the sheet run on every core.
#pragma once

#include "model/BigArray.h"
#include "model/CElementProfile.h"
#include "model/Vectors.h"

#include <array>
#include <cstddef>
#include <cstdint>

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

// Reference area, thickness, stretches, extensions and normal from the
// corners: what every load derives. Returns the current area, as
// TriangleArea of the current corners gives it. An element with a corner
// that is not a number, or without reference area (a node repeated, or in
// a line), has no thickness, stretches or extensions: they are NaN, and its
// area 0 when its current area is not a number.
double DeriveElementValues(CElementProfile& element, const CCoordinate current[3],
                           const CCoordinate reference[3]);

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

// Whether any value of the element, its own or derived, is not a number.
bool HasNonFiniteValue(const CElementProfile& element);

// What the derivation of every element finds besides the elements' values.
struct DerivedTotals {
    double maxInitialThickness = 0; // largest finite one; 0 without any
    NonFiniteItems nonFinite;       // elements by 0-based index
};

// DeriveElementValues for every element, its corners taken from the node
// coordinates (indexed by node number); areas takes the current areas.
// Copies the node numbers into corners, three by element, when given.
DerivedTotals DeriveAllElements(BigArray<CElementProfile>& elements, const CCoordinate* currentNodes,
                                const CCoordinate* referenceNodes, BigArray<double>& areas, int32_t* corners);

// The elements of each node 0 .. nodeCount in element order: those of node i
// are nodeElementList[nodeElementStart[i] .. nodeElementStart[i + 1]).
// corners: the elements' node numbers, three by element; released before the
// lists take their place.
void BuildNodeElements(BigArray<int32_t>& corners, const BigArray<CElementProfile>& elements, int nodeCount,
                       BigArray<int32_t>& nodeElementStart, BigArray<int32_t>& nodeElementList);

// x min, x max, y min, y max, z min, z max of the nodes 1 .. nodeCount
// whose coordinates are all numbers (all 0 when none is), and the nodes
// left out.
struct NodeBox {
    std::array<double, 6> box{};
    NonFiniteItems nonFinite; // nodes by number
};
NodeBox BoundingBoxOf(const CCoordinate* nodes, int nodeCount);
