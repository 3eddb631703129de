#include "model/SheetTopology.h"

#include "core/Parallel.h"
#include "model/SheetMesh.h"

#include <algorithm>

namespace quillmere {

namespace {

// The node lists are sorted in at most this many parts of the element array,
// none smaller than the size below: each part costs a tally of every node.
constexpr size_t AdjacencyParts = 2;
constexpr size_t AdjacencyPartSize = 65536;
constexpr size_t NodeGrain = 16384;

} // namespace

CNodeElements BuildNodeElements(const ElementNodes* nodes, size_t count, int nodeCount) {
    // A counting sort in parts of the element array: each part tallies its
    // nodes on its own, and a node's list takes the elements of part 0, then
    // those of part 1 ..., each part's in element order. The lists are
    // therefore in element order, whatever the number of parts.
    CNodeElements lists;
    const size_t slots = static_cast<size_t>(nodeCount) + 1;
    const size_t parts = std::max<size_t>(1, std::min(AdjacencyParts, count / AdjacencyPartSize));
    auto partStart = [count, parts](size_t part) { return count * part / parts; };
    // tally[part * slots + node]: first the part's count of the node, then
    // the place of its next element in the list.
    BigArray<int32_t> tally(parts * slots);
    parallel::ForBlocks(parts, 1, [&](size_t first, size_t last) {
        for (size_t part = first; part < last; ++part) {
            int32_t* mine = tally.data() + part * slots;
            for (size_t e = partStart(part); e < partStart(part + 1); ++e)
                for (const int32_t node : nodes[e])
                    ++mine[node];
        }
    });
    // Each node's total and, per part, the elements of earlier parts.
    BigArray<int32_t>& start = lists.start;
    start.resize(slots + 1);
    start[0] = 0;
    parallel::ForBlocks(slots, NodeGrain, [&](size_t first, size_t last) {
        for (size_t node = first; node < last; ++node) {
            int32_t before = 0;
            for (size_t part = 0; part < parts; ++part) {
                int32_t& entry = tally[part * slots + node];
                const int32_t own = entry;
                entry = before;
                before += own;
            }
            start[node + 1] = before;
        }
    });
    for (size_t i = 1; i < start.size(); ++i)
        start[i] += start[i - 1];
    lists.list.resize(static_cast<size_t>(start.back()));
    parallel::ForBlocks(parts, 1, [&](size_t first, size_t last) {
        for (size_t part = first; part < last; ++part) {
            int32_t* next = tally.data() + part * slots;
            for (size_t e = partStart(part); e < partStart(part + 1); ++e)
                for (const int32_t node : nodes[e])
                    lists.list[static_cast<size_t>(start[static_cast<size_t>(node)] + next[node]++)] =
                        static_cast<int32_t>(e);
        }
    });
    return lists;
}

CNeighbourRange::Iterator::Iterator(const CSheetMesh* owner, int32_t element, int startCorner)
    : mesh(owner), self(element), corner(startCorner) {
    if (corner < 3) {
        EnterCorner();
        SkipTaken();
    }
}

void CNeighbourRange::Iterator::EnterCorner() {
    const ElementIndexRange range = mesh->NodeElements(mesh->Nodes(static_cast<size_t>(self))[corner]);
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
    const ElementNodes& mine = mesh->Nodes(static_cast<size_t>(self));
    const ElementNodes& theirs = mesh->Nodes(static_cast<size_t>(other));
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

} // namespace quillmere
