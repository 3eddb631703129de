#include "cut/ProfileGraph.h"

#include "config/CConfiguration.h"
#include "scale/Comparison.h"
#include "scale/ResultQuantity.h"

#include <algorithm>
#include <cmath>

namespace quillmere {

namespace {

constexpr double NiceSteps[] = {0.05, 0.1, 0.2, 0.3, 0.5, 1,    2,    3,    5,    10,    20,    30,
                                50,   100, 200, 300, 500, 1000, 2000, 3000, 5000, 10000, 20000, 30000};

constexpr int SmoothingPasses = 3;

void Smooth(std::vector<double>& values) {
    for (int pass = 0; pass < SmoothingPasses; ++pass)
        for (size_t j = 1; j + 1 < values.size(); ++j)
            values[j] = (values[j - 1] + values[j + 1]) * 0.125 + values[j] * 0.75;
}

} // namespace

CProfileGraph BuildProfileGraph(CCutSegments& cut, ResultQuantity quantity,
                                const CConfiguration& configuration, bool difference) {
    CProfileGraph graph;
    graph.Difference = difference;
    graph.Signed = quantity == ResultQuantity::Thinning;
    const size_t n = cut.size();
    if (n == 0)
        return graph;
    std::vector<double> s(n + 1), v(n + 1);
    double arc = 0;
    for (size_t i = 0; i < n; ++i) {
        CAbscisse& record = cut[i];
        v[i] = record.Value;
        s[i] = arc;
        record.ArcStart = arc;
        arc += record.Length;
        record.ArcEnd = arc;
    }
    s.back() = arc;
    v.back() = cut.back().Value;
    graph.TotalArcLength = arc;

    if (quantity != ResultQuantity::FirstContact) {
        Smooth(s);
        Smooth(v);
    }

    graph.Points.reserve(s.size());
    for (size_t j = 0; j < s.size(); ++j) {
        graph.Points.push_back({configuration.LengthToDisplay(s[j] * 1000),
                                difference ? DifferenceToDisplay(quantity, v[j], configuration)
                                           : QuantityToDisplay(quantity, v[j], configuration)});
    }
    return graph;
}

double NiceStep(double value) {
    for (double step : NiceSteps)
        if (step >= value)
            return step;
    return 0;
}

void ApplyAutomaticLimits(const CProfileGraph& graph, const CConfiguration& configuration,
                          CGraphLimits& limits) {
    if (graph.Points.empty() || !limits.Automatic())
        return;
    // From the first point that is a number (a graph of none keeps 0s).
    double yMax = std::nan(""), lowest = 0;
    for (const CGraphPoint& point : graph.Points) {
        if (!std::isfinite(point.y))
            continue;
        const double y = graph.Difference ? std::fabs(point.y) : point.y;
        yMax = std::isnan(yMax) ? y : std::max(yMax, y);
        lowest = std::min(lowest, point.y);
    }
    limits.xMin = 0;
    limits.xMax = NiceStep(configuration.LengthToDisplay(graph.TotalArcLength * 1000));
    limits.yMax = NiceStep(yMax);
    limits.yMin = graph.Difference ? -limits.yMax : graph.Signed && lowest < 0 ? -NiceStep(-lowest) : 0;
}

double GraphValueAt(const std::vector<CGraphPoint>& points, double x) {
    if (points.empty())
        return 0;
    for (size_t j = 1; j < points.size(); ++j) {
        if (points[j].x > x) {
            const CGraphPoint& a = points[j - 1];
            const CGraphPoint& b = points[j];
            // Equal x only before the first point: no slope to follow.
            if (b.x == a.x)
                return a.y;
            return a.y + (x - a.x) / (b.x - a.x) * (b.y - a.y);
        }
    }
    return points.back().y;
}

bool CutPointAt(const CCutSegments& cut, double s, CCoordinate& point) {
    for (const CAbscisse& record : cut) {
        if (record.ArcStart <= s && s <= record.ArcEnd) {
            const double span = record.ArcEnd - record.ArcStart;
            point = span == 0 ? record.Start
                              : record.Start + (record.End - record.Start) * ((s - record.ArcStart) / span);
            return true;
        }
    }
    return false;
}

} // namespace quillmere
