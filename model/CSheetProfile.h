// The state of the formed sheet at one record: the mesh with its current and
// undeformed nodes, per-element results, tool contact, symmetry and tool
// positions, and everything derived from them.
#pragma once

#include "config/ToolSlots.h"
#include "model/BigArray.h"
#include "model/SheetDerivation.h"
#include "model/SheetTopology.h"
#include "model/Vectors.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class IProgressSink;

enum SymmetryType { FULL = 0, HALF = 1, QUARTER = 2, ONE_STRIPE = 3, OTHER_SYMMETRY = 4 };

// The mean values over the elements that are not clamped.
struct ClampedStatisticsResult {
    double meanThickness = 0;
    double nonuniformity = 0;
    int elementCount = 0; // elements that took part
};

class CSheetProfile {
public:
    static constexpr int MaxSymmetryPlanes = 10;

    // How a record is read: with or without the post-load derivation, and
    // whether a file that cannot be opened ends the program (as at opening,
    // where its existence was just checked) or only fails the read.
    struct ReadOptions {
        bool derive = true;
        bool unopenableIsCritical = true;
    };

    // Reads the record file. A damaged file sets ReadFailed.
    CSheetProfile(const std::string& path, int index, IProgressSink* progress, ReadOptions options);
    CSheetProfile(const std::string& path, int index, IProgressSink* progress)
        : CSheetProfile(path, index, progress, ReadOptions()) {}
    // Checks a record file as the constructor reads it, with the same
    // progress and failures, but keeps none of its values: the record
    // returned only tells ReadFailed, OpenFailed and FailureReason.
    static std::unique_ptr<CSheetProfile> Check(const std::string& path, int index, IProgressSink* progress,
                                                bool unopenableIsCritical);
    virtual ~CSheetProfile() = default;
    CSheetProfile(const CSheetProfile&) = delete;
    CSheetProfile& operator=(const CSheetProfile&) = delete;

    bool ReadFailed() const { return readFailed; }
    // The file could not be opened at all (only without unopenableIsCritical).
    bool OpenFailed() const { return openFailed; }
    // What is wrong with a damaged record, for the message naming it.
    const std::string& FailureReason() const { return failureReason; }

    void PostLoadDerivation();
    // PostLoadDerivation for a record read without it whose mesh is sheet's
    // (another project's sheet, or another record's): the elements of each
    // node are taken from sheet instead of being sorted again. False, with
    // nothing derived, when the meshes differ (see HasSameMesh).
    bool DeriveOnMeshOf(const CSheetProfile& sheet);
    // Copies the elements of each node from sheet, of the same mesh: the
    // values taken over nodes of a record prepared without them.
    void CopyNodeElements(const CSheetProfile& sheet);

    // Whether other holds the same mesh: the same counts and the same nodes
    // in every element.
    bool HasSameMesh(const CSheetProfile& other) const;
    // Takes the values of another record of the same mesh: the current nodes,
    // contact, node conditions, tool positions and element results. The mesh,
    // the undeformed sheet, the node marks and the symmetry stay; everything
    // derived from the values is derived again.
    void TakeRecordValues(const CSheetProfile& record);
    // The same in two halves, so that the costly one runs off the thread
    // that owns the sheet. PrepareRecordValues turns this record (read for
    // sheet, with its counts) into the per-record arrays sheet would hold
    // after TakeRecordValues, derived again; it only reads sheet. It
    // compares the node numbers as it goes (see HasSameMesh): false when
    // they differ, and the record is good for nothing but its destruction.
    // SwapRecordValues then takes those arrays in a few swaps; prepared is
    // left holding the old ones, good for nothing but its destruction.
    bool PrepareRecordValues(const CSheetProfile& sheet);
    void SwapRecordValues(CSheetProfile& prepared);

    const std::string& RecordPath() const { return recordPath; }
    int RecordIndex() const { return recordIndex; }
    const std::string& SymmetryName() const { return symmetryName; }
    SymmetryType Symmetry() const { return symmetry; }
    int ElementCount() const { return elementCount; }
    int NodeCount() const { return nodeCount; }

    BigArray<CElementProfile>& Elements() { return elements; }
    const BigArray<CElementProfile>& Elements() const { return elements; }

    // The corners of an element in the current and the undeformed sheet.
    const CCoordinate& CurrentCorner(const CElementProfile& element, int corner) const {
        return currentCoordinates[static_cast<size_t>(element.NodeNumbers[corner])];
    }
    const CCoordinate& ReferenceCorner(const CElementProfile& element, int corner) const {
        return referenceCoordinates[static_cast<size_t>(element.NodeNumbers[corner])];
    }
    // Area of the element in the current sheet.
    double CurrentArea(const CElementProfile& element) const {
        return TriangleArea(CurrentCorner(element, 0), CurrentCorner(element, 1), CurrentCorner(element, 2));
    }
    PrincipalStretches Stretches(const CElementProfile& element) const;
    // The 11 further values of an element (0-based position): the
    // temperature unless the record carries extended element data.
    double LayerValue(int element, int index) const;

    // The current coordinates as one array indexed by node number (entry 0
    // is not a node), for drawing.
    const CCoordinate* CurrentCoordinateArray() const { return currentCoordinates.data(); }

    // Per-node values are indexed by node number 1 .. NodeCount.
    const CCoordinate& CurrentCoordinate(int node) const {
        return currentCoordinates[static_cast<size_t>(node)];
    }
    const CCoordinate& ReferenceCoordinate(int node) const {
        return referenceCoordinates[static_cast<size_t>(node)];
    }
    // 0 when the node touches tool slot tool (0 .. 9), else 1.
    int ContactFlag(int node, int tool) const { return contactFlags[static_cast<size_t>(node)][tool]; }
    int NodeCode(int node) const { return nodeSymmetry[static_cast<size_t>(node)][0]; }
    int NodePlaneIndex(int node) const { return nodeSymmetry[static_cast<size_t>(node)][1]; }
    uint32_t NodeConditions(int node) const;
    bool IsClamped(int node) const { return (NodeConditions(node) & 1u) != 0; }
    // An element held by the clamp at all three corners.
    bool IsClampedElement(const CElementProfile& element) const {
        return IsClamped(element.NodeNumbers[0]) && IsClamped(element.NodeNumbers[1]) &&
               IsClamped(element.NodeNumbers[2]);
    }
    bool HasNoPressure(int node) const { return (NodeConditions(node) & 2u) != 0; }
    int NodeMark(int node) const { return nodeMarks[static_cast<size_t>(node)]; }
    bool HasNodeMarks() const { return hasNodeMarks; }

    int SymmetryPlaneCount() const { return symmetryPlaneCount; }
    const CPlane& SymmetryPlane(int index) const { return symmetryPlanes[index]; } // 0-based

    double ToolPosition(int tool) const { return toolPositions[tool]; }
    const std::array<double, kToolSlots>& ToolPositions() const { return toolPositions; }
    const std::array<double, 6>& BoundingBox() const { return boundingBox; }
    double SheetSize() const { return sheetSize; }
    double SizeX() const { return sizeX; }
    double SizeY() const { return sizeY; }
    // The largest initial thickness that is a number.
    double MaxInitialThickness() const { return maxInitialThickness; }
    const std::array<double, 2>& ThicknessRange() const { return thicknessRange; }

    // Elements using the node, in element order.
    ElementIndexRange NodeElements(int node) const {
        const int32_t* base = nodeElementList.data();
        return {base + nodeElementStart[static_cast<size_t>(node)],
                base + nodeElementStart[static_cast<size_t>(node) + 1]};
    }
    // Other elements sharing at least one node with the element.
    CNeighbourRange ElementNeighbours(int element) const { return CNeighbourRange(this, element); }

    // Area-weighted normal at a node, kept in its symmetry plane.
    CCoordinate NodeNormal(int node) const;

    // Plain means over the node's elements.
    double NodeAverageThickness(int node) const;
    double NodeAverageTemperature(int node) const;
    CCoordinate NodeAverageExtensions(int node) const; // x, y, planar
    double NodeAverageStretchRatio(int node) const;

    // Means over all elements weighted by the current area.
    double MeanThickness() const;
    double MeanTemperature() const;

    // Signed volume under the sheet in cubic metres, scaled by its symmetry.
    double InflatedVolume() const;

    // Thickness statistics of the elements that are not clamped; sets
    // ThicknessRange.
    ClampedStatisticsResult ClampedStatistics();

    // The nodes whose current coordinates, and the elements whose values
    // (their own, or derived as for an element without undeformed area),
    // are not numbers: left out of the bounding box, the limits, the means
    // and the sums, and drawn grey. Elements by 0-based index.
    struct NonFiniteValues {
        NonFiniteItems nodes;
        NonFiniteItems elements;
        bool Any() const { return nodes.count > 0 || elements.count > 0; }
    };
    const NonFiniteValues& NonFinite() const { return nonFinite; }

    // Changes whenever the sheet takes other element values, to a number no
    // sheet had before: what is computed from the values can be kept by it.
    uint64_t ValuesGeneration() const { return valuesGeneration; }

private:
    static uint64_t NewValuesGeneration();
    CSheetProfile(const std::string& path, int index) : recordPath(path), recordIndex(index) {}
    friend void ReadRecordFile(CSheetProfile& sheet, IProgressSink* progress, bool unopenableIsCritical,
                               bool keepValues);
    void Fail(const std::string& reason);
    void ComputeBoundingBox();
    // Also copies the node numbers into corners when given.
    void DeriveElements(int32_t* corners = nullptr);
    template <typename Value> double NodeAverage(int node, Value value) const;
    template <typename Value> double AreaWeightedMean(Value value) const;
    // CurrentArea of element i: kept by the derivation, computed without it.
    double ElementArea(size_t i) const {
        return currentAreas.size() == elements.size() ? currentAreas[i] : CurrentArea(elements[i]);
    }

    std::string recordPath;
    int recordIndex = 0;
    std::string symmetryName;
    SymmetryType symmetry = OTHER_SYMMETRY;
    int elementCount = 0;
    int nodeCount = 0;
    BigArray<CElementProfile> elements;
    BigArray<double> currentAreas;            // of each element, kept by the derivation for the node normals
    BigArray<CCoordinate> currentCoordinates; // index 0 unused
    BigArray<CCoordinate> referenceCoordinates;             // index 0 unused
    std::vector<std::array<double, 11>> layerValues;        // only with extended element data
    BigArray<std::array<uint8_t, kToolSlots>> contactFlags; // 0 where the node touches the slot's tool
    BigArray<std::array<uint8_t, 8>> nodeSymmetry;
    BigArray<uint8_t> nodeMarks;
    bool hasNodeMarks = false;
    int symmetryPlaneCount = 0;
    CPlane symmetryPlanes[MaxSymmetryPlanes];
    std::array<double, 2> thicknessRange{};
    std::array<double, kToolSlots> toolPositions{};
    std::array<double, 6> boundingBox{};
    double sheetSize = 0;
    double sizeX = 0;
    double sizeY = 0;
    double maxInitialThickness = 0;
    NonFiniteValues nonFinite;
    // The elements of node i are nodeElementList[start[i] .. start[i + 1]).
    BigArray<int32_t> nodeElementStart, nodeElementList;
    uint64_t valuesGeneration = NewValuesGeneration();
    bool readFailed = false;
    bool openFailed = false;
    std::string failureReason;
};
