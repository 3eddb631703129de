#include "model/CSheetProfile.h"

#include "core/Messages.h"
#include "core/Parallel.h"
#include "core/TextFormat.h"
#include "core/TextLines.h"
#include "model/Texts.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <sys/stat.h>

CSheetProfile::CSheetProfile(const std::string& path, int index, IProgressSink* progress, ReadOptions options)
    : recordPath(path), recordIndex(index) {
    Read(progress, options.unopenableIsCritical);
    if (!readFailed && options.derive)
        PostLoadDerivation();
}

namespace {

// The adjacency is sorted in at most this many parts of the element array,
// none smaller than the size below: each part costs a tally of every node.
constexpr size_t AdjacencyParts = 2;
constexpr size_t AdjacencyPartSize = 65536;

} // namespace

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
    using Box = std::array<double, 6>;
    // std::min and std::max keep the earlier of equal values (0 and -0), and
    // the blocks are joined in order: the box is the serial loop's.
    auto join = [](const Box& a, const Box& b) -> Box {
        return {std::min(a[0], b[0]), std::max(a[1], b[1]), std::min(a[2], b[2]),
                std::max(a[3], b[3]), std::min(a[4], b[4]), std::max(a[5], b[5])};
    };
    const Box none = {1e30, -1e30, 1e30, -1e30, 1e30, -1e30};
    const Box box = parallel::ReduceBlocks(
        static_cast<size_t>(nodeCount), NodeGrain, none,
        [this, &none](size_t first, size_t last) {
            Box part = none;
            for (size_t node = first + 1; node <= last; ++node) {
                const CCoordinate& p = currentCoordinates[node];
                part[0] = std::min(part[0], p.x);
                part[1] = std::max(part[1], p.x);
                part[2] = std::min(part[2], p.y);
                part[3] = std::max(part[3], p.y);
                part[4] = std::min(part[4], p.z);
                part[5] = std::max(part[5], p.z);
            }
            return part;
        },
        join);
    boundingBox = box;
    sizeX = box[1] - box[0];
    sizeY = box[3] - box[2];
    sheetSize = std::max({sizeX, sizeY, box[5] - box[4]});
}

void CSheetProfile::BuildAdjacency(BigArray<int32_t>& corners) {
    // A counting sort in parts of the element array: each part tallies its
    // nodes on its own, and a node's list takes the elements of part 0, then
    // those of part 1 ..., each part's in element order. The lists are
    // therefore in element order, whatever the number of parts. The tally
    // reads the compact corners; the lists take their place in memory and
    // are filled from the elements.
    const size_t slots = static_cast<size_t>(nodeCount) + 1;
    const size_t count = elements.size();
    const size_t parts = std::max<size_t>(1, std::min(AdjacencyParts, count / AdjacencyPartSize));
    auto partStart = [count, parts](size_t part) { return count * part / parts; };
    // tally[part * slots + node]: first the part's count of the node, then
    // the place of its next element in nodeElementList.
    BigArray<int32_t> tally(parts * slots);
    const int32_t* at = corners.data();
    parallel::ForBlocks(parts, 1, [&](size_t first, size_t last) {
        for (size_t part = first; part < last; ++part) {
            int32_t* mine = tally.data() + part * slots;
            for (size_t i = 3 * partStart(part); i < 3 * partStart(part + 1); ++i)
                ++mine[at[i]];
        }
    });
    // Each node's total and, per part, the elements of earlier parts.
    nodeElementStart.resize(slots + 1);
    nodeElementStart[0] = 0;
    parallel::ForBlocks(slots, NodeGrain, [&](size_t first, size_t last) {
        for (size_t node = first; node < last; ++node) {
            int32_t before = 0;
            for (size_t part = 0; part < parts; ++part) {
                int32_t& entry = tally[part * slots + node];
                const int32_t own = entry;
                entry = before;
                before += own;
            }
            nodeElementStart[node + 1] = before;
        }
    });
    for (size_t i = 1; i < nodeElementStart.size(); ++i)
        nodeElementStart[i] += nodeElementStart[i - 1];
    BigArray<int32_t>().swap(corners);
    nodeElementList.resize(static_cast<size_t>(nodeElementStart.back()));
    parallel::ForBlocks(parts, 1, [&](size_t first, size_t last) {
        for (size_t part = first; part < last; ++part) {
            int32_t* next = tally.data() + part * slots;
            for (size_t e = partStart(part); e < partStart(part + 1); ++e)
                for (const int32_t node : elements[e].NodeNumbers)
                    nodeElementList[static_cast<size_t>(nodeElementStart[static_cast<size_t>(node)] +
                                                        next[node]++)] = static_cast<int32_t>(e);
        }
    });
}

void CSheetProfile::DeriveElements(int32_t* corners) {
    valuesGeneration = NewValuesGeneration();
    currentAreas.resize(elements.size());
    // std::max from 0 leaves out a thickness that is not a number.
    maxInitialThickness = parallel::ReduceBlocks(
        elements.size(), ElementGrain, 0.0,
        [this, corners](size_t first, size_t last) {
            double largest = 0;
            for (size_t i = first; i < last; ++i) {
                CElementProfile& element = elements[i];
                const CCoordinate current[3] = {CurrentCorner(element, 0), CurrentCorner(element, 1),
                                                CurrentCorner(element, 2)};
                const CCoordinate reference[3] = {ReferenceCorner(element, 0), ReferenceCorner(element, 1),
                                                  ReferenceCorner(element, 2)};
                currentAreas[i] = DeriveElementValues(element, current, reference);
                largest = std::max(largest, element.InitialThickness);
                if (corners)
                    std::memcpy(corners + 3 * i, element.NodeNumbers, sizeof element.NodeNumbers);
            }
            return largest;
        },
        [](double a, double b) { return std::max(a, b); });
}

void CSheetProfile::PostLoadDerivation() {
    // The adjacency's tally reads the node numbers from a compact copy that
    // the derivation makes while it has each element at hand, not from the
    // elements, eleven times their size; the copy then makes room for the
    // lists.
    BigArray<int32_t> corners(3 * elements.size());
    DeriveElements(corners.data());
    BuildAdjacency(corners);
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
