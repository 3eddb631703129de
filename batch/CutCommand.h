// quillmere-batch cut: the cut of the sheet by a plane, its profile graph or
// its CSV, made as the cut window makes it.
#pragma once

#include "batch/BatchCommand.h"

#include <ostream>

namespace quillmere {

// Cuts the record shown through the session's cut, of the differences to
// the view's comparison when it compares, and writes the pieces or the
// graph on out, or the CSV into the --save file.
int WriteCut(const BatchArguments& arguments, BatchProject& project, std::ostream& out);

} // namespace quillmere
