#include "measure/RigidFit.h"

#include "core/Parallel.h"
#include "model/SurfaceSearch.h"

#include <Eigen/Dense>

#include <cmath>

namespace quillmere {

namespace {

constexpr int kMaxIterations = 200;
// The fit stops once an iteration lowers the RMS distance by less than this
// share of it.
constexpr double kSettled = 1e-10;
constexpr size_t kPointGrain = 256;

// The closest points of the moved points, and the RMS of their distances
// (NaN when one has none).
double ClosestPoints(const CSurfaceSearch& search, const std::vector<CCoordinate>& points,
                     const RigidTransform& transform, std::vector<CCoordinate>& closest) {
    closest.resize(points.size());
    std::vector<double> squares(points.size());
    parallel::ForBlocks(points.size(), kPointGrain, [&](size_t first, size_t last) {
        for (size_t i = first; i < last; ++i) {
            const SurfacePoint found = search.Closest(transform.Apply(points[i]));
            closest[i] = found.point;
            squares[i] = found.distance * found.distance;
        }
    });
    double sum = 0;
    for (double square : squares)
        sum += square;
    return points.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(points.size()));
}

} // namespace

CCoordinate RigidTransform::Apply(const CCoordinate& p) const {
    const std::array<double, 9>& r = rotation;
    return {r[0] * p.x + r[1] * p.y + r[2] * p.z + translation.x,
            r[3] * p.x + r[4] * p.y + r[5] * p.z + translation.y,
            r[6] * p.x + r[7] * p.y + r[8] * p.z + translation.z};
}

RigidTransform BestRigidTransform(const std::vector<CCoordinate>& from, const std::vector<CCoordinate>& to) {
    RigidTransform transform;
    const size_t count = std::min(from.size(), to.size());
    if (count == 0)
        return transform;
    Eigen::Vector3d fromCentre = Eigen::Vector3d::Zero(), toCentre = Eigen::Vector3d::Zero();
    for (size_t i = 0; i < count; ++i) {
        fromCentre += Eigen::Vector3d(from[i].x, from[i].y, from[i].z);
        toCentre += Eigen::Vector3d(to[i].x, to[i].y, to[i].z);
    }
    fromCentre /= static_cast<double>(count);
    toCentre /= static_cast<double>(count);
    Eigen::Matrix3d covariance = Eigen::Matrix3d::Zero();
    for (size_t i = 0; i < count; ++i)
        covariance += (Eigen::Vector3d(from[i].x, from[i].y, from[i].z) - fromCentre) *
                      (Eigen::Vector3d(to[i].x, to[i].y, to[i].z) - toCentre).transpose();
    const Eigen::JacobiSVD<Eigen::Matrix3d> svd(covariance, Eigen::ComputeFullU | Eigen::ComputeFullV);
    // A reflection fits points in a plane as well as a rotation does: the
    // sign of the last axis keeps it a rotation.
    Eigen::Matrix3d sign = Eigen::Matrix3d::Identity();
    sign(2, 2) = (svd.matrixV() * svd.matrixU().transpose()).determinant() < 0 ? -1 : 1;
    const Eigen::Matrix3d rotation = svd.matrixV() * sign * svd.matrixU().transpose();
    const Eigen::Vector3d translation = toCentre - rotation * fromCentre;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            transform.rotation[static_cast<size_t>(3 * r + c)] = rotation(r, c);
    transform.translation = {translation.x(), translation.y(), translation.z()};
    return transform;
}

RigidFit FitRigidly(const CSurfaceSearch& search, const std::vector<CCoordinate>& points) {
    RigidFit fit;
    std::vector<CCoordinate> closest;
    fit.rmsBefore = ClosestPoints(search, points, fit.transform, closest);
    fit.rmsAfter = fit.rmsBefore;
    if (!std::isfinite(fit.rmsBefore))
        return fit;
    std::vector<CCoordinate> next;
    while (fit.iterations < kMaxIterations && fit.rmsAfter > 0) {
        const RigidTransform moved = BestRigidTransform(points, closest);
        const double rms = ClosestPoints(search, points, moved, next);
        // Each step lowers the sum of squares; rounding may not.
        if (!(rms < fit.rmsAfter))
            break;
        const bool settled = fit.rmsAfter - rms <= kSettled * fit.rmsAfter;
        fit.transform = moved;
        fit.rmsAfter = rms;
        ++fit.iterations;
        closest.swap(next);
        if (settled)
            break;
    }
    return fit;
}

} // namespace quillmere
