#include "model/CFace.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace quillmere {

static_assert(sizeof(CFace) % alignof(CCoordinate) == 0, "the vertices follow the face");

namespace {

constexpr size_t kFirstBlock = 64 * 1024;
constexpr size_t kLargestBlock = 8 * 1024 * 1024;

} // namespace

CFaceStore::~CFaceStore() {
    for (const auto& block : blocks)
        ::operator delete(block.first);
}

void* CFaceStore::Allocate(size_t bytes) {
    bytes = (bytes + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) * alignof(std::max_align_t);
    if (bytes > left) {
        // Each block twice the last: a small tool keeps a small store.
        size_t size = blocks.empty() ? kFirstBlock : std::min(2 * blocks.back().second, kLargestBlock);
        size = std::max(size, bytes);
        void* block = ::operator new(size);
        blocks.emplace_back(block, size);
        next = static_cast<unsigned char*>(block);
        left = size;
    }
    void* at = next;
    next += bytes;
    left -= bytes;
    return at;
}

std::unique_ptr<CFace> CFace::Build(const CCoordinate* vertices, size_t count, CFaceStore& store) {
    CCoordinate local[MaxVertices];
    std::vector<CCoordinate> spilled;
    CCoordinate* points = local;
    if (count > MaxVertices) {
        spilled.assign(vertices, vertices + count);
        points = spilled.data();
    } else {
        std::copy(vertices, vertices + count, points);
    }
    // Only coincident vertices at the start of the polygon are removed: the
    // examination ends at the first edge of positive length.
    while (count >= 2 && Norm(points[1] - points[0]) == 0) {
        std::copy(points + 2, points + count, points + 1);
        --count;
    }
    if (count < 3 || count > MaxVertices)
        return nullptr;
    // Numbers too large for the products of the area (or none at all) give
    // no plane; such a face is dropped like one without area.
    for (size_t i = 0; i < count; ++i)
        if (!IsFinite(points[i]))
            return nullptr;
    const double area = TriangleArea(points[0], points[1], points[2]);
    if (area == 0 || !std::isfinite(area))
        return nullptr;
    const int vertexCount = static_cast<int>(count);
    std::unique_ptr<CFace> face(new (store, vertexCount) CFace(vertexCount));
    for (size_t i = 0; i < count; ++i)
        new (face->Vertices() + i) CCoordinate(points[i]);
    // A sliver that passes the area test can still be too thin for a plane;
    // it is dropped like a face without area.
    if (!face->Derive())
        return nullptr;
    return face;
}

bool CFace::Derive() {
    const CCoordinate* vertices = Vertices();
    CCoordinate normal;
    return UnitNormal(vertices[0], vertices[1], vertices[2], normal) &&
           TryPlaneThroughPoints(vertices[0], vertices[1], vertices[2], plane);
}

bool CFace::CanTranslate(const CCoordinate& offset) const {
    for (int i = 0; i < vertexCount; ++i)
        if (!IsFinite(Vertex(i) + offset))
            return false;
    return true;
}

void CFace::Translate(const CCoordinate& offset) {
    CCoordinate* vertices = Vertices();
    for (int i = 0; i < vertexCount; ++i)
        vertices[i] = vertices[i] + offset;
    plane.offset = -Dot(plane.normal, vertices[0]);
}

} // namespace quillmere
