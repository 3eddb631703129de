// One planar polygon of a tool surface.
#pragma once

#include "model/Vectors.h"

#include <memory>
#include <vector>

class CFace {
public:
    static constexpr int MaxVertices = 10;

    // Builds a face from its vertices in metres: coincident vertices at the
    // start are dropped; a polygon left with fewer than 3 vertices, with a
    // vertex that is not a finite point, or whose first three vertices span
    // no plane, gives null. At most MaxVertices vertices may be given.
    static std::unique_ptr<CFace> Build(std::vector<CCoordinate> vertices);
    virtual ~CFace() = default;

    int VertexCount() const { return vertexCount; }
    const CCoordinate& Vertex(int index) const { return vertices[index]; }
    const CCoordinate& Normal() const { return normal; }
    const CPlane& Plane() const { return plane; }

    // Whether every vertex stays a finite point when moved by offset.
    bool CanTranslate(const CCoordinate& offset) const;
    void Translate(const CCoordinate& offset);

private:
    CFace() = default;
    bool Derive();

    int vertexCount = 0;
    CCoordinate vertices[MaxVertices];
    CCoordinate normal;
    CPlane plane;
};
