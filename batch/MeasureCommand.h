// quillmere-batch measure: measured points against the formed sheet, as a
// table of the points and a summary.
#pragma once

#include "batch/BatchCommand.h"

#include <ostream>

namespace quillmere {

// The table on out (or into the -o file, the summary then on out), the
// summary on stderr, the rows left out named on stderr. BatchFailure after a
// message when the measurement file cannot be used or the table written;
// BatchIncomplete when some points missed the sheet.
int WriteMeasure(const BatchArguments& arguments, BatchProject& project, std::ostream& out);

} // namespace quillmere
