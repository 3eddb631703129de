#include "model/CFace.h"

#include <cmath>

std::unique_ptr<CFace> CFace::Build(std::vector<CCoordinate> points) {
    // Only coincident vertices at the start of the polygon are removed: the
    // examination ends at the first edge of positive length.
    while (points.size() >= 2 && Norm(points[1] - points[0]) == 0)
        points.erase(points.begin() + 1);
    if (points.size() < 3 || points.size() > MaxVertices)
        return nullptr;
    // Numbers too large for the products of the area (or none at all) give
    // no plane; such a face is dropped like one without area.
    for (const CCoordinate& p : points)
        if (!IsFinite(p))
            return nullptr;
    const double area = TriangleArea(points[0], points[1], points[2]);
    if (area == 0 || !std::isfinite(area))
        return nullptr;
    std::unique_ptr<CFace> face(new CFace);
    face->vertexCount = static_cast<int>(points.size());
    for (size_t i = 0; i < points.size(); ++i)
        face->vertices[i] = points[i];
    // A sliver that passes the area test can still be too thin for a plane;
    // it is dropped like a face without area.
    if (!face->Derive())
        return nullptr;
    return face;
}

bool CFace::Derive() {
    return UnitNormal(vertices[0], vertices[1], vertices[2], normal) &&
           TryPlaneThroughPoints(vertices[0], vertices[1], vertices[2], plane);
}

bool CFace::CanTranslate(const CCoordinate& offset) const {
    for (int i = 0; i < vertexCount; ++i)
        if (!IsFinite(vertices[i] + offset))
            return false;
    return true;
}

void CFace::Translate(const CCoordinate& offset) {
    for (int i = 0; i < vertexCount; ++i)
        vertices[i] = vertices[i] + offset;
    plane.offset = -Dot(plane.normal, vertices[0]);
}
