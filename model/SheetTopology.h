// The element lists of the sheet's mesh: the elements at a node, and the
// neighbours of an element walked from them.
#pragma once

#include "model/BigArray.h"
#include "model/SheetElements.h"

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace quillmere {

// A run of element indices (0-based positions in the element arrays).
struct ElementIndexRange {
    const int32_t* first;
    const int32_t* last;
    const int32_t* begin() const { return first; }
    const int32_t* end() const { return last; }
    size_t size() const { return static_cast<size_t>(last - first); }
};

// The elements of each node 0 .. nodeCount in element order: those of node i
// are list[start[i] .. start[i + 1]).
struct CNodeElements {
    BigArray<int32_t> start, list;

    ElementIndexRange Of(int node) const {
        return {list.data() + start[static_cast<size_t>(node)],
                list.data() + start[static_cast<size_t>(node) + 1]};
    }
};

// The lists of the count elements of nodes, in parts of the element array
// sorted side by side.
CNodeElements BuildNodeElements(const ElementNodes* nodes, size_t count, int nodeCount);

class CSheetMesh;

// The other elements sharing at least one node with an element, each once,
// in the order its three node lists meet them. Walked from the node lists
// each time instead of being stored: the same lists at no cost per record.
class CNeighbourRange {
public:
    class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = int32_t;
        using difference_type = std::ptrdiff_t;
        using pointer = const int32_t*;
        using reference = int32_t;

        Iterator(const CSheetMesh* mesh, int32_t element, int corner);
        int32_t operator*() const { return *at; }
        Iterator& operator++();
        bool operator!=(const Iterator& other) const { return corner != other.corner || at != other.at; }
        bool operator==(const Iterator& other) const { return !(*this != other); }

    private:
        void EnterCorner();
        void SkipTaken();
        bool Taken() const;
        const CSheetMesh* mesh;
        int32_t self;
        int corner;
        const int32_t* first = nullptr;
        const int32_t* at = nullptr;
        const int32_t* last = nullptr;
    };

    CNeighbourRange(const CSheetMesh* owner, int32_t of) : mesh(owner), element(of) {}
    Iterator begin() const { return Iterator(mesh, element, 0); }
    Iterator end() const { return Iterator(mesh, element, 3); }
    size_t size() const;

private:
    const CSheetMesh* mesh;
    int32_t element;
};

} // namespace quillmere
