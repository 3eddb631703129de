// The profile of a cut as a CSV file: the arc length, the value and the
// point at every point of the cut, in the configuration's units. The cut
// window's "Save data..." and quillmere-batch cut --save write the same text.
#pragma once

#include "model/CAbscisse.h"
#include "scale/Quantity.h"

#include <string>

namespace quillmere {

class CConfiguration;

// The header names each column's unit: arc_mm,value_<unit>,x_mm,y_mm,z_mm,
// element in SI, with inch for mm under US customary units. The value's
// unit is mm or inch (thickness), C or F (temperature), MPa or psi (von
// Mises stress), 1 for the ratios. Then one row per point of the cut: the
// start of every piece, then the end of the last one, each with the arc
// length along the cut, the piece's value unsmoothed and its element
// number. Numbers in the "C" locale, as many digits as read back exactly.
// A cut carrying differences heads its value column delta_<unit> and
// converts them as differences.
std::string ProfileCsv(const CCutSegments& cut, ResultQuantity quantity, const CConfiguration& configuration,
                       bool difference = false);

// The value column's unit token, as in the header.
std::string ProfileValueUnit(ResultQuantity quantity, const CConfiguration& configuration);

// Replaces path with the text through a temporary file beside it; false when
// it cannot be written.
bool SaveProfileCsv(const std::string& path, const std::string& text);

} // namespace quillmere
