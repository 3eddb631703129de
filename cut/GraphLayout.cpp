#include "cut/GraphLayout.h"

#include "config/CConfiguration.h"
#include "core/TextFormat.h"

#include <algorithm>
#include <cmath>

namespace quillmere {

namespace {

// Far enough outside any plot and still an int.
constexpr double FarOutside = 1e8;

int Round(double value) {
    if (!std::isfinite(value))
        return value < 0 ? -static_cast<int>(FarOutside) : static_cast<int>(FarOutside);
    return static_cast<int>(std::lround(std::clamp(value, -FarOutside, FarOutside)));
}

// Eleven steps at most: the last one passes the maximum by a hair at most,
// and a step lost in the magnitude of the minimum cannot loop for ever.
// Each tick is computed on its own, never by adding steps, whose rounding
// would show as 4.44e-16 where 0 is meant.
template <typename Pixel>
std::vector<CGraphTick> Ticks(double minimum, double maximum, const char* format, Pixel pixel) {
    std::vector<CGraphTick> ticks;
    const double span = maximum - minimum;
    if (!std::isfinite(span) || span == 0)
        return ticks;
    const double step = span * 0.1;
    const double first = minimum / step;
    const double whole = std::round(first);
    const bool onSteps = std::fabs(first - whole) <= 1e-9 * std::max(1.0, std::fabs(whole));
    for (int k = 0; k <= 10; ++k) {
        // The first tick is the plot's edge itself.
        double value = k == 0 ? minimum : onSteps ? (whole + k) * step : minimum + k * step;
        if (std::fabs(value) <= 1e-9 * std::fabs(step))
            value = 0;
        if (!((value - minimum) / span <= 1.00001))
            break;
        ticks.push_back({value, pixel(value), FormatNumber(format, value)});
    }
    return ticks;
}

} // namespace

CPixelRect PlotRectangle(const CPixelRect& frame, int h, int yLabelWidth) {
    const int left = std::max(3 * h, yLabelWidth + 2 * LabelGap(h));
    return {frame.left + left, frame.top + 2 * h, frame.right - 2 * h, frame.bottom - 2 * h};
}

int LabelGap(int h) {
    return std::max(2, h / 2);
}

CPixelRect GraphPlot(const CPixelRect& frame, int h, const CGraphLimits& limits,
                     const std::function<int(const std::string&)>& width) {
    int widest = 0;
    // The labels' texts do not depend on the plot.
    for (const CGraphTick& tick : YTicks(CGraphMapping(frame, limits)))
        widest = std::max(widest, width(YLabelText(tick)));
    return PlotRectangle(frame, h, widest);
}

std::string YLabelText(const CGraphTick& tick) {
    const size_t start = tick.label.find_first_not_of(' ');
    return start == std::string::npos ? std::string() : tick.label.substr(start);
}

CTextPlace YLabelPlace(const CPixelRect& plot, int h, const CGraphTick& tick, int width) {
    return {plot.left - LabelGap(h) - width, tick.pixel};
}

int CGraphMapping::X(double x) const {
    return Round(plot.left + (x - limits.xMin) / (limits.xMax - limits.xMin) * plot.Width());
}

int CGraphMapping::Y(double y) const {
    return Round(plot.bottom - (y - limits.yMin) / (limits.yMax - limits.yMin) * plot.Height());
}

double CGraphMapping::XAt(int px) const {
    return static_cast<double>(px - plot.left) / plot.Width() * (limits.xMax - limits.xMin) + limits.xMin;
}

std::vector<CGraphTick> XTicks(const CGraphMapping& mapping) {
    return Ticks(mapping.Limits().xMin, mapping.Limits().xMax, "%4.2lf",
                 [&](double x) { return mapping.X(x); });
}

std::vector<CGraphTick> YTicks(const CGraphMapping& mapping) {
    return Ticks(mapping.Limits().yMin, mapping.Limits().yMax, "%6.3lg",
                 [&](double y) { return mapping.Y(y); });
}

int XLabelStride(const std::vector<CGraphTick>& ticks, const std::function<int(const std::string&)>& width,
                 int gap) {
    std::vector<int> widths;
    for (const CGraphTick& tick : ticks)
        widths.push_back(width(tick.label));
    for (const size_t stride : {size_t{1}, size_t{2}, size_t{5}}) {
        bool apart = true;
        for (size_t i = 0; apart && i + stride < ticks.size(); i += stride)
            apart =
                ticks[i + stride].pixel - ticks[i].pixel >= (widths[i] + widths[i + stride] + 1) / 2 + gap;
        if (apart)
            return static_cast<int>(stride);
    }
    return 10;
}

CTextPlace YTitlePlace(const CPixelRect& plot, int h) {
    return {plot.left - h, plot.top - h};
}

CTextPlace CaptionPlace(const CPixelRect& plot, int h, int w) {
    return {plot.right - w, plot.top - h};
}

std::string XAxisTitle(const CConfiguration& configuration) {
    return std::string("Arc length (") + configuration.LengthUnit() + ")";
}

std::vector<std::array<int, 2>> CurvePixels(const CGraphMapping& mapping,
                                            const std::vector<CGraphPoint>& points) {
    std::vector<std::array<int, 2>> pixels;
    pixels.reserve(points.size());
    const CPixelRect& plot = mapping.Plot();
    for (const CGraphPoint& point : points) {
        const int x = mapping.X(point.x), y = mapping.Y(point.y);
        // The plot's frame itself still belongs to it.
        if (x >= plot.left && x <= plot.right && y >= plot.top && y <= plot.bottom)
            pixels.push_back({x, y});
    }
    if (pixels.size() < 2)
        pixels.clear();
    return pixels;
}

CReadOut ReadOutAt(const CGraphMapping& mapping, int px, const CProfileGraph& graph, const CCutSegments& cut,
                   const CConfiguration& configuration) {
    CReadOut readOut;
    readOut.arcLength =
        std::min(configuration.LengthFromDisplay(mapping.XAt(px)) * 0.001, graph.TotalArcLength);
    readOut.arcDisplay = configuration.LengthToDisplay(readOut.arcLength * 1000);
    readOut.value = GraphValueAt(graph.Points, readOut.arcDisplay);
    readOut.hasPoint = CutPointAt(cut, readOut.arcLength, readOut.point);
    return readOut;
}

std::string ReadOutText(double value) {
    return FormatNumber("%.3lf", value);
}

CPixelRect PrintedGraphRect(int W, int H, int h, int a) {
    const int l0 = static_cast<int>(0.15 * W), t0 = static_cast<int>(0.15 * H);
    const int r0 = static_cast<int>(0.95 * W);
    int b0 = static_cast<int>(0.95 * H);
    if (b0 > r0)
        b0 = static_cast<int>(0.9 * r0);
    return {15 * a, t0 + 4 * h, r0 - a - l0, b0 + static_cast<int>(2.5 * h) - t0};
}

} // namespace quillmere
