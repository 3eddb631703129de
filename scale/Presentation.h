// How a view presents a result quantity: the limits of its scale, the colour
// ramp, the five labels beside the bar, the title and the unit texts. One
// function makes it; the sheet's colours, the scale panel, the limits
// dialog, the annotations of pictures, prints and videos, the cut graph's
// axis and the data tip read what it made, so that they never disagree.
#pragma once

#include "scale/ColourRamp.h"
#include "scale/MinimumWall.h"
#include "scale/ResultQuantity.h"
#include "scale/ScaleLabels.h"
#include "scale/ScaleLimits.h"
#include "scale/ScaleRange.h"
#include "scale/SheetColouring.h"

#include <array>
#include <memory>
#include <string>

namespace quillmere {

class CComparison;
class CConfiguration;
class CSheetProfile;

// What a presentation is made from.
struct PresentationSource {
    // The sheet state the limits span; without one the limits are the fixed
    // pair when the quantity's are fixed, 0 otherwise.
    const CSheetProfile* sheet = nullptr;
    ResultQuantity quantity = ResultQuantity::None;
    // The user's limits setting of the quantity shown (of the differences
    // while comparing).
    ScaleLimits limits;
    // The reference the sheet is compared with, prepared for its record;
    // null: the plain values.
    std::shared_ptr<CComparison> comparison;
    // The record the sheet holds, which a comparison's title may name.
    int record = 0;
    // The system of units of the texts; null: no label, unit or title texts
    // but the quantity's name.
    const CConfiguration* units = nullptr;
    // The view's minimum wall in metres; not above 0: none.
    double minimumWall = 0;
};

struct Presentation {
    ResultQuantity quantity = ResultQuantity::None;
    std::shared_ptr<CComparison> comparison;
    // The setting it was made with: in fixed mode the colours span the
    // user's pair, otherwise the nodal values (see ColourNodes).
    ScaleLimits setting;
    // What the labels span (stored units): the fixed pair, the element
    // values' range or the differences' symmetric one; NaN when no value is
    // a number.
    ScaleRange limits;
    // The plain ramp, or the diverging one of differences.
    const ColourRamp* ramp = &ColourRamp::Plain();
    // The colour bar's bands, top first.
    std::array<RgbColour, ColourRamp::Size> bands = ScaleBarBands(ResultQuantity::None, false);
    // Top (the maximum) to bottom, and their texts in the units ("" for
    // none).
    std::array<double, ScaleLabelCount> labelValues{};
    std::array<std::string, ScaleLabelCount> labels;
    // The quantity's name, or "Δ Thickness (b.tfc − a.tfc)" while comparing.
    std::string title;
    // The limits dialog's heading, "Thickness (mm)", "Δ Temperature (°F)".
    std::string limitsTitle;
    // After a value, " mm"; "" for a quantity without a unit.
    std::string valueUnit;
    // The cut graph's y axis of the quantity's values, "Thickness (mm)".
    std::string axisTitle;
    // The elements thinner than the view's minimum wall, whatever the
    // quantity: drawn in MinimumWallColour, their share on the panel.
    MinimumWallShown minimumWall;

    bool Difference() const { return comparison != nullptr; }
};

// The presentation of source. The limits follow LimitRules (ScaleRange.h)
// for plain values and DifferenceRange for differences; the texts are those
// of ScaleLabelTexts and DifferenceLabelTexts.
Presentation MakePresentation(const PresentationSource& source);

// The nodes of sheet coloured as shown presents them: its quantity's values
// or differences in its setting, on its ramp's indices.
void ColourPresented(const CSheetProfile& sheet, const Presentation& shown, NodeColouring& colouring);

} // namespace quillmere
