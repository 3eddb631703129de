// What the first contact of a project's nodes says of the forming: the sheet
// freezes where it touches first, so the order in which it meets the tools
// tells where it stays thick.
#pragma once

#include <vector>

namespace quillmere {

// The first and the last of the first-contact records, and the nodes that
// never touch; first and last are 0 when no node touches. records is by
// node number (entry 0 is no node), NaN where a node never touches.
struct ContactSpan {
    int first = 0, last = 0;
    int neverInContact = 0;
};
ContactSpan ContactSpanOf(const std::vector<double>& records);

} // namespace quillmere
