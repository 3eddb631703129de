// One planar polygon of a tool surface.
#pragma once

#include "model/Vectors.h"

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace quillmere {

// The memory of the faces of one tool, given back all at once with the
// tool: a face lives as long as its tool, and a tool of a million faces
// would otherwise cost a million allocations and as many first touches of
// fresh pages. Blocks come from the ordinary heap: huge-page blocks were
// fresh mappings for every tool, each first touch zeroing 2 MB, and read
// slower than heap pages that the next tool read can take over.
class CFaceStore {
public:
    CFaceStore() = default;
    ~CFaceStore();
    CFaceStore(const CFaceStore&) = delete;
    CFaceStore& operator=(const CFaceStore&) = delete;

    void* Allocate(size_t bytes);

private:
    std::vector<std::pair<void*, size_t>> blocks;
    unsigned char* next = nullptr;
    size_t left = 0;
};

class CFace {
public:
    static constexpr int MaxVertices = 10;

    // Builds a face in store from its vertices in metres: coincident
    // vertices at the start are dropped; a polygon left with fewer than 3
    // vertices, with a vertex that is not a finite point, or whose first
    // three vertices span no plane, gives null. At most MaxVertices vertices
    // may be given. The face must not outlive store.
    static std::unique_ptr<CFace> Build(const CCoordinate* vertices, size_t count, CFaceStore& store);
    static std::unique_ptr<CFace> Build(const std::vector<CCoordinate>& vertices, CFaceStore& store) {
        return Build(vertices.data(), vertices.size(), store);
    }
    ~CFace() = default;
    CFace(const CFace&) = delete;
    CFace& operator=(const CFace&) = delete;

    int VertexCount() const { return vertexCount; }
    const CCoordinate& Vertex(int index) const { return Vertices()[index]; }
    const CCoordinate& Normal() const { return plane.normal; }
    const CPlane& Plane() const { return plane; }

    // Whether every vertex stays a finite point when moved by offset.
    bool CanTranslate(const CCoordinate& offset) const;
    void Translate(const CCoordinate& offset);

    // Deleting a face ends it; its memory goes with its store.
    static void operator delete(void*) {}

private:
    explicit CFace(int count) : vertexCount(count) {}
    // A face takes room for its own vertices only, right behind it: tools
    // of a million faces, mostly triangles and quadrilaterals, would
    // otherwise carry room for ten vertices each.
    static void* operator new(size_t size, CFaceStore& store, int count) {
        return store.Allocate(size + static_cast<size_t>(count) * sizeof(CCoordinate));
    }
    static void operator delete(void*, CFaceStore&, int) {}
    CCoordinate* Vertices() { return reinterpret_cast<CCoordinate*>(this + 1); }
    const CCoordinate* Vertices() const { return reinterpret_cast<const CCoordinate*>(this + 1); }
    bool Derive();

    int vertexCount;
    CPlane plane; // its normal is the face's unit normal
};

} // namespace quillmere
