// The closest point of the formed sheet to any point in space: exact
// point-to-triangle distances over the current triangles, found through a
// tree of boxes; a symmetric sheet is searched with its mirror images.
#pragma once

#include "model/BigArray.h"
#include "model/Vectors.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace quillmere {

class CSheetProfile;

// How far from the sheet a point may be and still count as on it, unless
// the user says otherwise (metres).
constexpr double kDefaultMaxDistance = 0.005;

// The point of triangle a, b, c closest to p, with its weights on the three
// corners (in corner order, summing to 1) and its squared distance from p.
// Degenerate triangles are taken as their edges.
struct TrianglePoint {
    CCoordinate point;
    std::array<double, 3> weights{};
    double distanceSquared = 0;
};
TrianglePoint ClosestPointOnTriangle(const CCoordinate& p, const CCoordinate& a, const CCoordinate& b,
                                     const CCoordinate& c);

// Where a point meets the sheet.
struct SurfacePoint {
    // 0-based index of the element of the stored sheet (that of a mirror
    // image is the element it mirrors); -1 when nothing was found.
    int element = -1;
    CCoordinate point; // the closest point, on the image it lies on
    // Weights of the element's three nodes at that point, in node order.
    std::array<double, 3> weights{};
    // |p - point|, negative when p lies behind the element, against its
    // normal (right-hand rule over its nodes; mirrored with the element).
    double distance = std::numeric_limits<double>::quiet_NaN();
    int image = 0; // 0 for the stored sheet, else its mirror image

    bool Found() const { return element >= 0; }
};

// The sum of values times weights over the weights that are not 0: a
// corner without a value spoils no point away from it.
double Interpolate(const std::array<double, 3>& weights, const std::array<double, 3>& values);

// An affine map x -> m x + t.
struct AffineMap {
    std::array<double, 9> m{1, 0, 0, 0, 1, 0, 0, 0, 1}; // row by row
    CCoordinate t;

    CCoordinate Apply(const CCoordinate& p) const;
    // The map of this after first.
    AffineMap After(const AffineMap& first) const;
};

// The reflection in a plane; the identity for a plane that has no normal.
AffineMap Reflection(const CPlane& plane);

enum class SheetImages {
    Stored,   // the sheet as the record stores it
    Mirrored, // with its images in the symmetry planes (half: 2, quarter: 4)
};

// The maps from the stored sheet to each image, the identity first: for a
// half model the reflection in its first symmetry plane, for a quarter
// model those in its first two and both; the identity alone otherwise, or
// when the record does not carry the planes.
std::vector<AffineMap> SymmetryImages(const CSheetProfile& sheet);

class CSurfaceSearch {
public:
    // Copies the current triangles whose corners are all numbers; the tree
    // is built on every core.
    CSurfaceSearch(const CSheetProfile& sheet, SheetImages images);
    CSurfaceSearch(const CSurfaceSearch&) = delete;
    CSurfaceSearch& operator=(const CSurfaceSearch&) = delete;

    // The closest point of the sheet (or of any of its images) to p: the
    // smallest distance, and of equal ones the lowest element, then image.
    // Nothing is found for a p that is not a number, nor on a sheet without
    // a triangle. Safe to call from several threads.
    SurfacePoint Closest(const CCoordinate& p) const;

    size_t TriangleCount() const { return triangles.size(); }
    int ImageCount() const { return static_cast<int>(images.size()); }
    // The map from the stored sheet to an image.
    const AffineMap& Image(int image) const { return images[static_cast<size_t>(image)].toImage; }

    // A triangle of the tree: its corners and its element.
    struct Triangle {
        CCoordinate a, b, c;
        int32_t element;
    };
    // A box of the tree, rounded outwards to floats. A leaf holds triangles
    // first .. first + count - 1; an inner box has count 0, its first child
    // right after it and its second at first.
    struct Box {
        std::array<float, 3> low, high;
        uint32_t first;
        uint32_t count;
    };

private:
    struct ImageMaps {
        AffineMap toImage, fromImage;
    };
    struct Best {
        double distanceSquared = std::numeric_limits<double>::infinity();
        size_t triangle = 0;
        int32_t element = -1;
        int image = 0;
        TrianglePoint point;
    };
    void Search(const CCoordinate& p, int image, Best& best) const;

    BigArray<Triangle> triangles; // in the order of the leaves
    BigArray<Box> boxes;          // depth first, the root at 0
    std::vector<ImageMaps> images;
};

} // namespace quillmere
