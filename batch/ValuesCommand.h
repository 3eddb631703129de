// quillmere-batch values: the scale limits and every node's value and
// colour index, as the view colours the sheet.
#pragma once

#include "batch/BatchCommand.h"

#include <ostream>

namespace quillmere {

// The limits and the nodes' values of the quantity (or of its differences
// to the view's comparison) on out.
int WriteValues(const BatchArguments& arguments, BatchProject& project, std::ostream& out);

} // namespace quillmere
