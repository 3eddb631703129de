// quillmere-batch tip: the data tip's lines of a sheet node or element.
#pragma once

#include "batch/BatchCommand.h"

#include <ostream>

namespace quillmere {

// The lines of the data tip that picking the item fills, on out;
// BatchFailure after a message when the sheet has no such item.
int WriteTip(const BatchArguments& arguments, BatchProject& project, std::ostream& out);

} // namespace quillmere
