// The closest-point search against the plain answer: every triangle of the
// sheet (and of its mirror images) tried in turn.
#include "model/SurfaceSearch.h"
#include "model/CSheetProfile.h"
#include "tests/measure/MeasureFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

using namespace quillmere;

namespace {

struct Brute {
    double distanceSquared = INFINITY;
    int element = -1;
    int image = 0;
    TrianglePoint point;
};

// The closest point by trying every triangle of every image, with the same
// order among equals as the search: distance, element, image.
Brute BruteForce(const CSheetProfile& sheet, const std::vector<AffineMap>& images, const CCoordinate& p) {
    Brute best;
    for (size_t image = 0; image < images.size(); ++image)
        for (int e = 0; e < sheet.ElementCount(); ++e) {
            const size_t element = static_cast<size_t>(e);
            const CCoordinate a = images[image].Apply(sheet.CurrentCorner(element, 0));
            const CCoordinate b = images[image].Apply(sheet.CurrentCorner(element, 1));
            const CCoordinate c = images[image].Apply(sheet.CurrentCorner(element, 2));
            const TrianglePoint point = ClosestPointOnTriangle(p, a, b, c);
            if (point.distanceSquared < best.distanceSquared ||
                (point.distanceSquared == best.distanceSquared && e < best.element))
                best = {point.distanceSquared, e, static_cast<int>(image), point};
        }
    return best;
}

std::vector<CCoordinate> RandomPoints(const CSheetProfile& sheet, double margin, int count, unsigned seed,
                                      bool mirrored) {
    const std::array<double, 6>& box = sheet.BoundingBox();
    std::mt19937 random(seed);
    auto along = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low - margin, high + margin)(random);
    };
    std::vector<CCoordinate> points;
    for (int i = 0; i < count; ++i)
        points.push_back({along(mirrored ? -box[1] : box[0], box[1]),
                          along(mirrored ? -box[3] : box[2], box[3]), along(box[4], box[5])});
    return points;
}

// Stored triangles are tried as the search tries them: the same element,
// bit for bit. Mirror images round differently from the mirrored point, so
// there the search's element need only be as close, to rounding.
void ExpectSameAsBruteForce(const CSheetProfile& sheet, SheetImages kind,
                            const std::vector<CCoordinate>& points) {
    const CSurfaceSearch search(sheet, kind);
    const std::vector<AffineMap> images =
        kind == SheetImages::Mirrored ? SymmetryImages(sheet) : std::vector<AffineMap>(1);
    for (const CCoordinate& p : points) {
        const SurfacePoint found = search.Closest(p);
        const Brute brute = BruteForce(sheet, images, p);
        ASSERT_TRUE(found.Found());
        EXPECT_NEAR(std::fabs(found.distance), std::sqrt(brute.distanceSquared), 1e-15)
            << p.x << " " << p.y << " " << p.z;
        const AffineMap& image = images[static_cast<size_t>(found.image)];
        const size_t e = static_cast<size_t>(found.element);
        const TrianglePoint own = ClosestPointOnTriangle(p, image.Apply(sheet.CurrentCorner(e, 0)),
                                                         image.Apply(sheet.CurrentCorner(e, 1)),
                                                         image.Apply(sheet.CurrentCorner(e, 2)));
        EXPECT_NEAR(std::sqrt(own.distanceSquared), std::fabs(found.distance), 1e-15);
        EXPECT_NEAR(Norm(own.point - found.point), 0, 1e-15);
        if (kind == SheetImages::Stored) {
            ASSERT_EQ(found.element, brute.element) << p.x << " " << p.y << " " << p.z;
            EXPECT_EQ(std::fabs(found.distance), std::sqrt(brute.distanceSquared));
            EXPECT_EQ(found.weights, brute.point.weights);
        }
    }
}

CCoordinate Centre(const CSheetProfile& sheet, size_t element) {
    return (sheet.CurrentCorner(element, 0) + sheet.CurrentCorner(element, 1) +
            sheet.CurrentCorner(element, 2)) *
           (1.0 / 3);
}

CCoordinate UnitNormalOf(const CSheetProfile& sheet, size_t element) {
    const CCoordinate n = Cross(sheet.CurrentCorner(element, 1) - sheet.CurrentCorner(element, 0),
                                sheet.CurrentCorner(element, 2) - sheet.CurrentCorner(element, 0));
    return n * (1 / Norm(n));
}

} // namespace

TEST(ClosestPointOnTriangle, NoPointOfTheTriangleIsCloser) {
    // Sharp, obtuse, sliver and degenerate triangles, and points in every
    // region around them.
    const std::vector<std::array<CCoordinate, 3>> triangles = {
        {{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}},
        {{{0, 0, 0}, {4, 0, 1}, {2, 0.3, 0.5}}},
        {{{0, 0, 0}, {1, 1e-7, 0}, {2, 0, 1e-7}}},
        {{{1, 1, 1}, {2, 2, 2}, {3, 3, 3}}},
        {{{0.5, 0.5, 0}, {0.5, 0.5, 0}, {0.5, 0.5, 0}}}};
    std::mt19937 random(7);
    std::uniform_real_distribution<double> coordinate(-2, 4);
    for (size_t t = 0; t < triangles.size(); ++t) {
        const auto& [a, b, c] = triangles[t];
        for (int i = 0; i < 300; ++i) {
            const CCoordinate p(coordinate(random), coordinate(random), coordinate(random));
            const TrianglePoint found = ClosestPointOnTriangle(p, a, b, c);
            const std::array<double, 3>& w = found.weights;
            ASSERT_GE(std::min({w[0], w[1], w[2]}), -1e-12) << "triangle " << t;
            ASSERT_NEAR(w[0] + w[1] + w[2], 1, 1e-12);
            const CCoordinate at = a * w[0] + b * w[1] + c * w[2];
            ASSERT_NEAR(Norm(at - found.point), 0, 1e-12);
            ASSERT_NEAR(found.distanceSquared, Dot(p - found.point, p - found.point), 1e-12);
            constexpr int steps = 40;
            for (int u = 0; u <= steps; ++u)
                for (int v = 0; u + v <= steps; ++v) {
                    const CCoordinate sample =
                        a + (b - a) * (double(u) / steps) + (c - a) * (double(v) / steps);
                    ASSERT_GE(Dot(p - sample, p - sample), found.distanceSquared - 1e-12)
                        << "triangle " << t << " point " << i;
                }
        }
    }
}

TEST(SurfaceSearch, FindsWhatTryingEveryTriangleFinds) {
    const auto cup = CupSheet();
    ExpectSameAsBruteForce(*cup, SheetImages::Stored, RandomPoints(*cup, 0.02, 1500, 1, false));
    // Nodes and the middles of edges lie on several triangles at once: the
    // lowest element among them.
    std::vector<CCoordinate> onMesh;
    for (size_t e = 0; e < static_cast<size_t>(cup->ElementCount()); e += 7) {
        onMesh.push_back(cup->CurrentCorner(e, 1));
        onMesh.push_back((cup->CurrentCorner(e, 0) + cup->CurrentCorner(e, 2)) * 0.5);
    }
    ExpectSameAsBruteForce(*cup, SheetImages::Stored, onMesh);
}

TEST(SurfaceSearch, ABigSheetBuiltOnEveryCoreFindsTheSame) {
    // More triangles than one thread builds alone.
    samplegen::RecordData record = samplegen::MakeGridRecord(130, 80, 0.5, 0.3);
    for (samplegen::Vec3& node : record.current)
        node.z = 0.05 * std::sin(9 * node.x) * std::cos(13 * node.y);
    const auto sheet = ReadBackSheet(record);
    ASSERT_GT(sheet->ElementCount(), 20000);
    ExpectSameAsBruteForce(*sheet, SheetImages::Stored, RandomPoints(*sheet, 0.05, 300, 2, false));
}

TEST(SurfaceSearch, SignedByTheSideTheElementNormalPointsTo) {
    const auto cup = CupSheet();
    const CSurfaceSearch search(*cup, SheetImages::Stored);
    int tried = 0;
    for (size_t e = 3; e < static_cast<size_t>(cup->ElementCount()); e += 11) {
        const CCoordinate centre = Centre(*cup, e);
        const CCoordinate normal = UnitNormalOf(*cup, e);
        for (double d : {0.0002, -0.0002}) {
            const SurfacePoint found = search.Closest(centre + normal * d);
            ASSERT_EQ(found.element, static_cast<int>(e)) << d;
            EXPECT_NEAR(found.distance, d, 1e-12);
            EXPECT_NEAR(Norm(found.point - centre), 0, 1e-12);
            EXPECT_NEAR(found.weights[0], 1.0 / 3, 1e-6);
        }
        ++tried;
    }
    EXPECT_GT(tried, 50);
}

TEST(SurfaceSearch, AQuarterIsSearchedWithItsMirrorImages) {
    const auto quarter = CupSheet(true);
    ASSERT_EQ(SymmetryImages(*quarter).size(), 4u);
    const CSurfaceSearch mirrored(*quarter, SheetImages::Mirrored);
    const CSurfaceSearch stored(*quarter, SheetImages::Stored);
    EXPECT_EQ(mirrored.ImageCount(), 4);
    EXPECT_EQ(stored.ImageCount(), 1);
    for (size_t e = 5; e < static_cast<size_t>(quarter->ElementCount()); e += 37) {
        const CCoordinate centre = Centre(*quarter, e);
        const CCoordinate normal = UnitNormalOf(*quarter, e);
        // Outside the stored quarter, on the image across x = 0, a little
        // on the side the mirrored normal points to.
        const CCoordinate onImage(-centre.x, centre.y, centre.z);
        const CCoordinate off = onImage + CCoordinate(-normal.x, normal.y, normal.z) * 0.0003;
        const SurfacePoint found = mirrored.Closest(off);
        ASSERT_EQ(found.element, static_cast<int>(e));
        EXPECT_NE(found.image, 0);
        EXPECT_NEAR(found.distance, 0.0003, 1e-12);
        EXPECT_NEAR(Norm(found.point - onImage), 0, 1e-12);
        if (centre.x > 0.002) {
            EXPECT_GT(std::fabs(stored.Closest(off).distance), 0.001);
        }
        // Across both planes.
        const SurfacePoint opposite = mirrored.Closest({-centre.x, -centre.y, centre.z});
        EXPECT_EQ(opposite.element, static_cast<int>(e));
        EXPECT_NEAR(opposite.distance, 0, 1e-12);
    }
    ExpectSameAsBruteForce(*quarter, SheetImages::Mirrored, RandomPoints(*quarter, 0.01, 400, 3, true));
}

TEST(SurfaceSearch, OnlyHalfAndQuarterModelsAreMirrored) {
    samplegen::RecordData record = samplegen::MakeGridRecord(4, 3, 0.2, 0.1);
    record.planes = {{0, 2, 0, 0.1}}; // y = -0.05, not of unit length
    record.symmetryName = "FULL";
    EXPECT_EQ(SymmetryImages(*ReadBackSheet(record)).size(), 1u);
    record.symmetryName = "HALF";
    const auto half = ReadBackSheet(record);
    const std::vector<AffineMap> images = SymmetryImages(*half);
    ASSERT_EQ(images.size(), 2u);
    const CCoordinate mirrored = images[1].Apply({0.01, -0.04, 0.02});
    EXPECT_NEAR(mirrored.x, 0.01, 1e-15);
    EXPECT_NEAR(mirrored.y, -0.06, 1e-15);
    EXPECT_NEAR(mirrored.z, 0.02, 1e-15);
    // A quarter model that carries only one plane is mirrored in that one.
    record.symmetryName = "QUARTER";
    EXPECT_EQ(SymmetryImages(*ReadBackSheet(record)).size(), 2u);
    record.planes.clear();
    EXPECT_EQ(SymmetryImages(*ReadBackSheet(record)).size(), 1u);
}

TEST(SurfaceSearch, CornersThatAreNotNumbersAreLeftOut) {
    samplegen::RecordData record = samplegen::MakeGridRecord(3, 2, 0.3, 0.2);
    record.current[0].x = NAN;
    const auto sheet = ReadBackSheet(record);
    const CSurfaceSearch search(*sheet, SheetImages::Stored);
    EXPECT_LT(search.TriangleCount(), static_cast<size_t>(sheet->ElementCount()));
    for (const CCoordinate& p : RandomPoints(*sheet, 0.05, 200, 4, false)) {
        const SurfacePoint found = search.Closest(p);
        ASSERT_TRUE(found.Found());
        EXPECT_TRUE(std::isfinite(found.distance));
    }
    EXPECT_FALSE(search.Closest({NAN, 0, 0}).Found());
}
