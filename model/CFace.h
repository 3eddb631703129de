// One planar polygon of a tool surface.
#pragma once

#include "model/Vectors.h"

#include <cstddef>
#include <memory>
#include <vector>

class CFace {
public:
    static constexpr int MaxVertices = 10;

    // Builds a face from its vertices in metres: coincident vertices at the
    // start are dropped; a polygon left with fewer than 3 vertices, with a
    // vertex that is not a finite point, or whose first three vertices span
    // no plane, gives null. At most MaxVertices vertices may be given.
    static std::unique_ptr<CFace> Build(const CCoordinate* vertices, size_t count);
    static std::unique_ptr<CFace> Build(const std::vector<CCoordinate>& vertices) {
        return Build(vertices.data(), vertices.size());
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

    // A face takes room for its own vertices only, right behind it: tools
    // of a million faces, mostly triangles and quadrilaterals, would
    // otherwise carry room for ten vertices each.
    static void operator delete(void* face) { ::operator delete(face); }

private:
    explicit CFace(int count) : vertexCount(count) {}
    static void* operator new(size_t size, int count) {
        return ::operator new(size + static_cast<size_t>(count) * sizeof(CCoordinate));
    }
    static void operator delete(void* face, int) { ::operator delete(face); }
    CCoordinate* Vertices() { return reinterpret_cast<CCoordinate*>(this + 1); }
    const CCoordinate* Vertices() const { return reinterpret_cast<const CCoordinate*>(this + 1); }
    bool Derive();

    int vertexCount;
    CPlane plane; // its normal is the face's unit normal
};
