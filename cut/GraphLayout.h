// Where the profile graph goes in pixels: the plot inside the graph area,
// the mapping of graph values to pixels, the scale ticks and their labels,
// the curve, and the read-out under the mouse. The window and the printout
// draw what this lays out.
#pragma once

#include "cut/ProfileGraph.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace quillmere {

class CConfiguration;

// A rectangle in pixels (or printer units), right and bottom exclusive as
// the frame is drawn.
struct CPixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// The plot inside the frame, h being the height of "00000" in the font:
// room for the titles and labels, three h on the left, two on each other
// side. The left side grows when the widest y label (yLabelWidth) and its
// gaps (LabelGap on either side) need more.
CPixelRect PlotRectangle(const CPixelRect& frame, int h, int yLabelWidth = 0);

// The room between a y label and the plot's frame, and between the label
// and the frame of the graph.
int LabelGap(int h);

// Graph values to pixels and back for one plot and one set of limits.
class CGraphMapping {
public:
    CGraphMapping(const CPixelRect& plotRect, const CGraphLimits& graphLimits)
        : plot(plotRect), limits(graphLimits) {}

    // Nearest pixel, halves away from zero; huge or undefined values (empty
    // limits) land far outside any plot.
    int X(double x) const;
    int Y(double y) const;
    // The graph x (display units) under pixel column px.
    double XAt(int px) const;

    const CPixelRect& Plot() const { return plot; }
    const CGraphLimits& Limits() const { return limits; }

private:
    CPixelRect plot;
    CGraphLimits limits;
};

// Where a text starts: its left end and its baseline.
struct CTextPlace {
    int x = 0, baseline = 0;
};

struct CGraphTick {
    double value = 0;
    int pixel = 0; // column of an x tick, row of a y tick
    std::string label;
};

// Ten steps from the minimum to the maximum (both ends included when they
// fall on a step), labelled "%4.2lf" along x and "%6.3lg" along y. When the
// minimum is a whole multiple of the step, every tick is one, so that the
// tick at 0 is 0 and not what adding steps leaves of it; otherwise a tick
// that only rounding keeps from 0 is 0. No label shows a minus before a
// zero.
std::vector<CGraphTick> XTicks(const CGraphMapping& mapping);
std::vector<CGraphTick> YTicks(const CGraphMapping& mapping);

// The plot of a graph area for the limits: PlotRectangle with room for the
// widest y label, each label as wide as width gives.
CPixelRect GraphPlot(const CPixelRect& frame, int h, const CGraphLimits& limits,
                     const std::function<int(const std::string&)>& width);

// A y label as drawn: without the padding of its format, its right end
// LabelGap left of the plot and its baseline on the tick.
std::string YLabelText(const CGraphTick& tick);
CTextPlace YLabelPlace(const CPixelRect& plot, int h, const CGraphTick& tick, int width);

// Every how many x ticks a label is written: the first of 1, 2, 5 and 10
// (all of which land on the last tick) whose labels, each width(label) wide
// and centred on its tick, keep gap between neighbours; 10 when none does.
int XLabelStride(const std::vector<CGraphTick>& ticks, const std::function<int(const std::string&)>& width,
                 int gap);

// The y title starts h left of the plot, a line above the top value's label
// (whose baseline is the plot's top edge) and still inside the frame's top
// margin. The caption of width w ends at the plot's right edge on the same
// line.
CTextPlace YTitlePlace(const CPixelRect& plot, int h);
CTextPlace CaptionPlace(const CPixelRect& plot, int h, int w);

// The title of the x axis in the configuration's units (UTF-8); the y axis
// is the quantity's (Presentation::axisTitle).
std::string XAxisTitle(const CConfiguration& configuration);

// The curve in pixels: every point inside the plot, in order; points
// outside are dropped, not clipped. Fewer than two points draw nothing.
std::vector<std::array<int, 2>> CurvePixels(const CGraphMapping& mapping,
                                            const std::vector<CGraphPoint>& points);

// What the read-out shows for the pixel column px.
struct CReadOut {
    double arcLength = 0;  // m, at most the cut's length
    double arcDisplay = 0; // the arc length in display length units
    double value = 0;      // the graph read at the column, display units
    bool hasPoint = false; // whether a record of the cut covers the arc length
    CCoordinate point;     // the point of the cut there, m
};

CReadOut ReadOutAt(const CGraphMapping& mapping, int px, const CProfileGraph& graph, const CCutSegments& cut,
                   const CConfiguration& configuration);

// "%.3lf" of the read-out's numbers, in the "C" locale.
std::string ReadOutText(double value);

// The graph's rectangle on a printed page of W x H device units, h and a
// being the height and the average width of a character of the printing
// font: inside the box from 15 % to 95 % of the page, whose bottom a
// portrait page brings up to 0.9 of its right edge.
CPixelRect PrintedGraphRect(int W, int H, int h, int a);

} // namespace quillmere
