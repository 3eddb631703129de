#include "model/CSheetProfile.h"

#include "core/Parallel.h"
#include "model/RecordReader.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <utility>

CSheetProfile::CSheetProfile(const std::string& path, int index, IProgressSink* progress, ReadOptions options)
    : recordPath(path), recordIndex(index) {
    ReadRecordFile(*this, progress, options.unopenableIsCritical, true);
    if (!readFailed && options.derive)
        PostLoadDerivation();
}

std::unique_ptr<CSheetProfile> CSheetProfile::Check(const std::string& path, int index,
                                                    IProgressSink* progress, bool unopenableIsCritical) {
    std::unique_ptr<CSheetProfile> record(new CSheetProfile(path, index));
    ReadRecordFile(*record, progress, unopenableIsCritical, false);
    return record;
}

uint64_t CSheetProfile::NewValuesGeneration() {
    static std::atomic<uint64_t> last{0};
    return ++last;
}

void CSheetProfile::Fail(const std::string& reason) {
    readFailed = true;
    failureReason = reason;
    elements.clear();
    layerValues.clear();
    elementCount = 0;
    nodeCount = 0;
}

void CSheetProfile::ComputeBoundingBox() {
    const NodeBox nodes = BoundingBoxOf(currentCoordinates.data(), nodeCount);
    const std::array<double, 6>& box = nodes.box;
    boundingBox = box;
    nonFinite.nodes = nodes.nonFinite;
    sizeX = box[1] - box[0];
    sizeY = box[3] - box[2];
    sheetSize = std::max({sizeX, sizeY, box[5] - box[4]});
}

void CSheetProfile::DeriveElements(int32_t* corners) {
    valuesGeneration = NewValuesGeneration();
    const DerivedTotals totals = DeriveAllElements(elements, currentCoordinates.data(),
                                                   referenceCoordinates.data(), currentAreas, corners);
    maxInitialThickness = totals.maxInitialThickness;
    nonFinite.elements = totals.nonFinite;
}

void CSheetProfile::PostLoadDerivation() {
    // The adjacency's tally reads the node numbers from a compact copy that
    // the derivation makes while it has each element at hand, not from the
    // elements, eleven times their size; the copy then makes room for the
    // lists.
    BigArray<int32_t> corners(3 * elements.size());
    DeriveElements(corners.data());
    BuildNodeElements(corners, elements, nodeCount, nodeElementStart, nodeElementList);
    elementCount = static_cast<int>(elements.size());
    ComputeBoundingBox();
}

bool CSheetProfile::DeriveOnMeshOf(const CSheetProfile& sheet) {
    if (!HasSameMesh(sheet))
        return false;
    // The reader took the bounding box.
    DeriveElements();
    CopyNodeElements(sheet);
    return true;
}

void CSheetProfile::CopyNodeElements(const CSheetProfile& sheet) {
    nodeElementStart = sheet.nodeElementStart;
    nodeElementList = sheet.nodeElementList;
}

PrincipalStretches CSheetProfile::Stretches(const CElementProfile& element) const {
    const CCoordinate current[3] = {CurrentCorner(element, 0), CurrentCorner(element, 1),
                                    CurrentCorner(element, 2)};
    const CCoordinate reference[3] = {ReferenceCorner(element, 0), ReferenceCorner(element, 1),
                                      ReferenceCorner(element, 2)};
    return ComputePrincipalStretches(current, reference);
}

double CSheetProfile::LayerValue(int element, int index) const {
    return layerValues.empty() ? elements[static_cast<size_t>(element)].Temperature
                               : layerValues[static_cast<size_t>(element)][static_cast<size_t>(index)];
}

uint32_t CSheetProfile::NodeConditions(int node) const {
    uint32_t word;
    std::memcpy(&word, nodeSymmetry[static_cast<size_t>(node)].data() + 4, sizeof word);
    return word;
}

// Loading another record of the same project into an existing sheet.

namespace {

// A record's element made the sheet's, before it is derived again: the
// values and node numbers (the mesh is the same) are the record's, the
// identifier the sheet's. The normal is the record's own: that of its
// triangle, none for a triangle without area.
void KeepSheetIdentity(CElementProfile& recordElement, const CElementProfile& sheetElement) {
    recordElement.ElementId = sheetElement.ElementId;
    recordElement.Normal = CCoordinate();
}

} // namespace

bool CSheetProfile::HasSameMesh(const CSheetProfile& other) const {
    if (other.elementCount != elementCount || other.nodeCount != nodeCount ||
        other.elements.size() != elements.size())
        return false;
    return parallel::ReduceBlocks(
        elements.size(), kElementGrain, true,
        [this, &other](size_t first, size_t last) {
            for (size_t i = first; i < last; ++i)
                if (std::memcmp(elements[i].NodeNumbers, other.elements[i].NodeNumbers,
                                sizeof elements[i].NodeNumbers) != 0)
                    return false;
            return true;
        },
        [](bool a, bool b) { return a && b; });
}

void CSheetProfile::TakeRecordValues(const CSheetProfile& record) {
    parallel::ForBlocks(
        currentCoordinates.size() - 1, kNodeGrain, [this, &record](size_t first, size_t last) {
            for (size_t node = first + 1; node <= last; ++node) {
                currentCoordinates[node] = record.currentCoordinates[node];
                contactFlags[node] = record.contactFlags[node];
                // Only the condition word; the node's symmetry code and plane stay.
                std::memcpy(nodeSymmetry[node].data() + 4, record.nodeSymmetry[node].data() + 4, 4);
            }
        });
    toolPositions = record.toolPositions;
    parallel::ForBlocks(elements.size(), kElementGrain, [this, &record](size_t first, size_t last) {
        for (size_t i = first; i < last; ++i) {
            CElementProfile element = record.elements[i];
            KeepSheetIdentity(element, elements[i]);
            elements[i] = element;
        }
    });
    layerValues = record.layerValues;
    DeriveElements();
    ComputeBoundingBox();
}

bool CSheetProfile::PrepareRecordValues(const CSheetProfile& sheet) {
    if (sheet.elementCount != elementCount || sheet.nodeCount != nodeCount ||
        sheet.elements.size() != elements.size())
        return false;
    // Entry 0 is no node; it is kept as the sheet has it all the same.
    currentCoordinates[0] = sheet.currentCoordinates[0];
    contactFlags[0] = sheet.contactFlags[0];
    nodeSymmetry[0] = sheet.nodeSymmetry[0];
    parallel::ForBlocks(nodeSymmetry.size() - 1, kNodeGrain, [this, &sheet](size_t first, size_t last) {
        for (size_t node = first + 1; node <= last; ++node)
            std::memcpy(nodeSymmetry[node].data(), sheet.nodeSymmetry[node].data(), 4);
    });
    currentAreas.resize(elements.size());
    // What the derivation of all elements finds, and whether every element
    // has the sheet's nodes.
    struct Outcome {
        DerivedTotals totals;
        bool sameMesh;
    };
    const Outcome outcome = parallel::ReduceBlocks(
        elements.size(), kElementGrain, Outcome{DerivedTotals(), true},
        [this, &sheet](size_t first, size_t last) {
            Outcome part{DerivedTotals(), true};
            for (size_t i = first; i < last; ++i) {
                CElementProfile& element = elements[i];
                const CElementProfile& mesh = sheet.elements[i];
                if (std::memcmp(element.NodeNumbers, mesh.NodeNumbers, sizeof element.NodeNumbers) != 0) {
                    part.sameMesh = false;
                    break;
                }
                KeepSheetIdentity(element, mesh);
                // This record's nodes over the sheet's undeformed ones.
                const CCoordinate current[3] = {CurrentCorner(element, 0), CurrentCorner(element, 1),
                                                CurrentCorner(element, 2)};
                const CCoordinate reference[3] = {sheet.ReferenceCorner(element, 0),
                                                  sheet.ReferenceCorner(element, 1),
                                                  sheet.ReferenceCorner(element, 2)};
                currentAreas[i] = DeriveElementValues(element, current, reference);
                DerivedTotals& totals = part.totals;
                if (std::isfinite(element.InitialThickness))
                    totals.maxInitialThickness =
                        std::max(totals.maxInitialThickness, element.InitialThickness);
                if (HasNonFiniteValue(element))
                    totals.nonFinite.Add(static_cast<int>(i));
            }
            return part;
        },
        [](Outcome a, const Outcome& b) {
            a.totals.maxInitialThickness =
                std::max(a.totals.maxInitialThickness, b.totals.maxInitialThickness);
            a.totals.nonFinite.Join(b.totals.nonFinite);
            a.sameMesh = a.sameMesh && b.sameMesh;
            return a;
        });
    maxInitialThickness = outcome.totals.maxInitialThickness;
    nonFinite.elements = outcome.totals.nonFinite;
    ComputeBoundingBox();
    return outcome.sameMesh;
}

void CSheetProfile::SwapRecordValues(CSheetProfile& prepared) {
    std::swap(elements, prepared.elements);
    std::swap(currentAreas, prepared.currentAreas);
    std::swap(currentCoordinates, prepared.currentCoordinates);
    std::swap(contactFlags, prepared.contactFlags);
    std::swap(nodeSymmetry, prepared.nodeSymmetry);
    std::swap(layerValues, prepared.layerValues);
    toolPositions = prepared.toolPositions;
    maxInitialThickness = prepared.maxInitialThickness;
    nonFinite = prepared.nonFinite;
    boundingBox = prepared.boundingBox;
    sizeX = prepared.sizeX;
    sizeY = prepared.sizeY;
    sheetSize = prepared.sheetSize;
    valuesGeneration = NewValuesGeneration();
}

// Values taken over nodes and elements: normals and averages at nodes,
// area-weighted means, the inflated volume and the thickness statistics of
// the free (not clamped) sheet.

CCoordinate CSheetProfile::NodeNormal(int node) const {
    CCoordinate sum;
    // The stored areas are CurrentArea's, computed once per record.
    for (int32_t index : NodeElements(node))
        sum = sum + elements[static_cast<size_t>(index)].Normal * currentAreas[static_cast<size_t>(index)];
    const double length = Norm(sum);
    if (length == 0)
        return sum;
    CCoordinate normal = sum * (1.0 / length);
    const int code = NodeCode(node);
    const int plane = NodePlaneIndex(node);
    // Nodes on a symmetry plane keep their normal in that plane. A plane
    // index the record does not define leaves the normal as it is.
    if ((code == 1 || code == 2) && plane >= 1 && plane <= symmetryPlaneCount) {
        const CCoordinate& p = symmetryPlanes[plane - 1].normal;
        const CCoordinate projected = normal - p * Dot(p, normal);
        const double projectedLength = Norm(projected);
        if (projectedLength != 0)
            normal = projected * (1.0 / projectedLength);
    }
    return normal;
}

template <typename Value> double CSheetProfile::NodeAverage(int node, Value value) const {
    const ElementIndexRange range = NodeElements(node);
    if (range.size() == 0)
        return 0;
    double sum = 0;
    for (int32_t index : range)
        sum += value(elements[static_cast<size_t>(index)]);
    return sum / static_cast<double>(range.size());
}

double CSheetProfile::NodeAverageThickness(int node) const {
    return NodeAverage(node, [](const CElementProfile& e) { return e.Thickness; });
}

double CSheetProfile::NodeAverageTemperature(int node) const {
    return NodeAverage(node, [](const CElementProfile& e) { return e.Temperature; });
}

CCoordinate CSheetProfile::NodeAverageExtensions(int node) const {
    return {NodeAverage(node, [](const CElementProfile& e) { return e.ExtensionX; }),
            NodeAverage(node, [](const CElementProfile& e) { return e.ExtensionY; }),
            NodeAverage(node, [](const CElementProfile& e) { return e.PlanarExtension; })};
}

double CSheetProfile::NodeAverageStretchRatio(int node) const {
    return NodeAverage(node, [](const CElementProfile& e) { return e.StretchRatio; });
}

template <typename Value> double CSheetProfile::AreaWeightedMean(Value value) const {
    double weighted = 0;
    double areas = 0;
    for (size_t i = 0; i < elements.size(); ++i) {
        const double area = ElementArea(i);
        const double v = value(elements[i]);
        // Values that are not numbers are left out, with their area.
        if (!std::isfinite(v) || !std::isfinite(area))
            continue;
        weighted += v * area;
        areas += area;
    }
    return areas == 0 ? 0 : weighted / areas;
}

double CSheetProfile::MeanThickness() const {
    return AreaWeightedMean([](const CElementProfile& e) { return e.Thickness; });
}

double CSheetProfile::MeanTemperature() const {
    return AreaWeightedMean([](const CElementProfile& e) { return e.Temperature; });
}

double CSheetProfile::InflatedVolume() const {
    double volume = 0;
    for (const CElementProfile& element : elements) {
        const double prism =
            PrismVolume(CurrentCorner(element, 0), CurrentCorner(element, 1), CurrentCorner(element, 2));
        if (std::isfinite(prism))
            volume += prism;
    }
    // The symmetry words are compared exactly: a record saying "half" is not
    // doubled.
    if (symmetryName == "HALF")
        return volume * 2;
    if (symmetryName == "QUARTER")
        return volume * 4;
    if (symmetryName == "ONE_STRIPE")
        return volume * 28;
    return volume;
}

namespace {

// A thickness or an area that is not a number would make every figure none.
bool TakesPartInStatistics(const CElementProfile& element, double area) {
    return std::isfinite(element.Thickness) && std::isfinite(area);
}

} // namespace

ClampedStatisticsResult CSheetProfile::ClampedStatistics() {
    ClampedStatisticsResult result;
    double areas = 0;
    double offsets = 0;
    double base = 0;
    double smallest = 0;
    double largest = 0;
    for (size_t i = 0; i < elements.size(); ++i) {
        const CElementProfile& element = elements[i];
        if (IsClampedElement(element) || !TakesPartInStatistics(element, ElementArea(i)))
            continue;
        if (result.elementCount == 0)
            base = smallest = largest = element.Thickness;
        const double area = ElementArea(i);
        areas += area;
        // Summing offsets from the first thickness gives a uniform sheet its
        // thickness as the exact mean, and so a factor of exactly 0.
        offsets += area * (element.Thickness - base);
        smallest = std::min(smallest, element.Thickness);
        largest = std::max(largest, element.Thickness);
        ++result.elementCount;
    }
    // With no free sheet (or no area) every figure stays 0.
    thicknessRange = {smallest, largest};
    if (areas == 0)
        return result;
    result.meanThickness = base + offsets / areas;
    double spread = 0;
    for (size_t i = 0; i < elements.size(); ++i) {
        const CElementProfile& element = elements[i];
        const double area = ElementArea(i);
        if (IsClampedElement(element) || area == 0 || !TakesPartInStatistics(element, area))
            continue;
        const double logRatio = std::log(element.Thickness / result.meanThickness);
        spread += area * logRatio * logRatio;
    }
    result.nonuniformity = spread / areas;
    return result;
}
