// The data tip's text and geometry, without a window: the lines a pick
// record shows, the tip's size from the extents of those lines and where it
// goes. The window and quillmere-batch tip both take their lines from here.
#pragma once

#include "scene/CDataDisplay.h"

#include <string>
#include <vector>

namespace quillmere {

class CConfiguration;
class CSheetProfile;
struct Presentation;

// The tip holds at most this many lines of a pick, and as many more as a
// comparing view adds.
constexpr int kDataTipLines = 6;
constexpr int kComparisonTipLines = 3;
// The tip stays this long after a fill unless hidden sooner.
constexpr int kDataTipPeriodMs = 5000;

// The lines (UTF-8) of a pick record in the configuration's units at the
// moment of the call; none for a record of the reserved kind.
std::vector<std::string> DataTipLines(const CDataDisplay& record, const CConfiguration& configuration);

// The lines a comparing view adds to the tip of a pick on its sheet (its
// presentation's comparison prepared for viewRecord, the record shown): this
// value, the reference's and their difference (CComparison::TipLines) of the
// node as its colour takes it, or of the element an element or point pick
// found; none for a tool, the reserved kind or a view that compares nothing.
std::vector<std::string> ComparisonTipLines(const Presentation& shown, const CSheetProfile& sheet,
                                            const CDataDisplay& record, int viewRecord,
                                            const CConfiguration& configuration);

// The line a view adds to the tip of a pick on its sheet for a quantity
// shown that the pick's own lines leave out and that has a tip format:
// thinning at the node, or in the element an element or point pick found
// ("Thinning:  50.00 %"), and first contact ("First contact: 3", "none"
// where it never touched). None for the other quantities, a tool, the
// reserved kind or a view that compares (ComparisonTipLines gives it).
std::vector<std::string> QuantityTipLines(const Presentation& shown, const CSheetProfile& sheet,
                                          const CDataDisplay& record, const CConfiguration& configuration);

struct TipExtent {
    int width = 0, height = 0;
};

// The tip's size from the extents of its lines in use: widest + 6 by
// (tallest + 1) per line + 4.
TipExtent DataTipSize(const std::vector<TipExtent>& lineExtents);
// The top of line i (from 0), given the tallest line's height; every line
// starts 2 pixels from the left.
int DataTipLineTop(int tallest, int line);

struct ScreenPoint {
    int x = 0, y = 0;
};

// The tip's top-left corner: 20 pixels below the pointer.
ScreenPoint DataTipPosition(ScreenPoint pointer);

} // namespace quillmere
