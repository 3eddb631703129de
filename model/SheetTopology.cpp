#include "model/SheetTopology.h"

#include "model/CSheetProfile.h"

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
