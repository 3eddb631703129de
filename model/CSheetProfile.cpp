#include "model/CSheetProfile.h"

#include "core/Messages.h"
#include "core/TextFormat.h"
#include "core/TextLines.h"
#include "model/Texts.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <sys/stat.h>
#include <thread>

CSheetProfile::CSheetProfile(const std::string& path, int index, IProgressSink* progress, ReadOptions options)
    : recordPath(path), recordIndex(index) {
    Read(progress, options.unopenableIsCritical);
    if (!readFailed && options.derive)
        PostLoadDerivation();
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
    double box[6] = {1e30, -1e30, 1e30, -1e30, 1e30, -1e30};
    for (int node = 1; node <= nodeCount; ++node) {
        const CCoordinate& p = currentCoordinates[static_cast<size_t>(node)];
        box[0] = std::min(box[0], p.x);
        box[1] = std::max(box[1], p.x);
        box[2] = std::min(box[2], p.y);
        box[3] = std::max(box[3], p.y);
        box[4] = std::min(box[4], p.z);
        box[5] = std::max(box[5], p.z);
    }
    std::copy(box, box + 6, boundingBox.begin());
    sizeX = box[1] - box[0];
    sizeY = box[3] - box[2];
    sheetSize = std::max({sizeX, sizeY, box[5] - box[4]});
}

void CSheetProfile::BuildAdjacency() {
    const size_t nodes = static_cast<size_t>(nodeCount);
    // Counting sort keeps every node's elements in element order.
    nodeElementStart.assign(nodes + 2, 0);
    for (const CElementProfile& element : elements)
        for (int32_t node : element.NodeNumbers)
            ++nodeElementStart[static_cast<size_t>(node) + 1];
    for (size_t i = 1; i < nodeElementStart.size(); ++i)
        nodeElementStart[i] += nodeElementStart[i - 1];
    nodeElementList.resize(static_cast<size_t>(nodeElementStart.back()));
    std::vector<int32_t> fill(nodeElementStart.begin(), nodeElementStart.end() - 1);
    for (size_t i = 0; i < elements.size(); ++i)
        for (int32_t node : elements[i].NodeNumbers)
            nodeElementList[static_cast<size_t>(fill[static_cast<size_t>(node)]++)] = static_cast<int32_t>(i);
}

void CSheetProfile::DeriveElements() {
    valuesGeneration = NewValuesGeneration();
    maxInitialThickness = 0;
    for (CElementProfile& element : elements) {
        const CCoordinate current[3] = {CurrentCorner(element, 0), CurrentCorner(element, 1),
                                        CurrentCorner(element, 2)};
        const CCoordinate reference[3] = {ReferenceCorner(element, 0), ReferenceCorner(element, 1),
                                          ReferenceCorner(element, 2)};
        DeriveElementValues(element, current, reference);
        maxInitialThickness = std::max(maxInitialThickness, element.InitialThickness);
    }
}

void CSheetProfile::PostLoadDerivation() {
    // The adjacency and the element values share nothing but the node
    // numbers they read, so they are derived side by side.
    std::thread adjacency([this] { BuildAdjacency(); });
    DeriveElements();
    adjacency.join();
    elementCount = static_cast<int>(elements.size());
    ComputeBoundingBox();
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

void CSheetProfile::ResetCut(int capacity, int growth) {
    cutSegments.reset(new CCutSegments(capacity, growth));
    cutMark = CutMarkPoint();
}

uint32_t CSheetProfile::NodeConditions(int node) const {
    uint32_t word;
    std::memcpy(&word, nodeSymmetry[static_cast<size_t>(node)].data() + 4, sizeof word);
    return word;
}

ElementIndexRange CSheetProfile::NodeElements(int node) const {
    const int32_t* base = nodeElementList.data();
    return {base + nodeElementStart[static_cast<size_t>(node)],
            base + nodeElementStart[static_cast<size_t>(node) + 1]};
}

CNeighbourRange::Iterator::Iterator(const CSheetProfile* owner, int32_t element, int startCorner)
    : sheet(owner), self(element), corner(startCorner) {
    if (corner < 3) {
        EnterCorner();
        SkipTaken();
    }
}

void CNeighbourRange::Iterator::EnterCorner() {
    const ElementIndexRange range =
        sheet->NodeElements(sheet->Elements()[static_cast<size_t>(self)].NodeNumbers[corner]);
    first = at = range.begin();
    last = range.end();
}

// An element is taken when it is the element itself, was met at an earlier
// corner (it then uses that corner's node), or is listed twice in a row
// because it uses this corner's node twice.
bool CNeighbourRange::Iterator::Taken() const {
    const int32_t other = *at;
    if (other == self || (at != first && at[-1] == other))
        return true;
    const int32_t* mine = sheet->Elements()[static_cast<size_t>(self)].NodeNumbers;
    const int32_t* theirs = sheet->Elements()[static_cast<size_t>(other)].NodeNumbers;
    for (int earlier = 0; earlier < corner; ++earlier)
        if (theirs[0] == mine[earlier] || theirs[1] == mine[earlier] || theirs[2] == mine[earlier])
            return true;
    return false;
}

void CNeighbourRange::Iterator::SkipTaken() {
    for (;;) {
        while (at != last && Taken())
            ++at;
        if (at != last)
            return;
        if (++corner == 3) {
            first = at = last = nullptr;
            return;
        }
        EnterCorner();
    }
}

CNeighbourRange::Iterator& CNeighbourRange::Iterator::operator++() {
    ++at;
    SkipTaken();
    return *this;
}

size_t CNeighbourRange::size() const {
    size_t count = 0;
    for (auto it = begin(); it != end(); ++it)
        ++count;
    return count;
}
