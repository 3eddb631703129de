// The limits the scale panel labels its colour bar with.
#pragma once

class CSheetProfile;
class ScaleLimits;

struct ScaleRange {
    double minimum = 0;
    double maximum = 0;
};

// The limits of the scale for a quantity: (0, 0) for "(no scale)", the fixed
// pair in fixed mode, otherwise the range of the element values with values
// that are not numbers left out, a thickness maximum cut down to the largest
// initial thickness. Without elements the result is (largest double, its
// negative). Quantities outside 0..7 are taken as 7.
ScaleRange ComputeScaleRange(const CSheetProfile& sheet, int quantity, const ScaleLimits& limits);
