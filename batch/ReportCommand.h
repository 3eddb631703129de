// quillmere-batch report: the sheet properties, the project and record
// information and the document information, as the windows show them.
#pragma once

#include "batch/BatchCommand.h"

#include <ostream>

namespace quillmere {

// The report on out; BatchFailure after a message when the record's cannot
// be made.
int WriteReport(const BatchArguments& arguments, BatchProject& project, std::ostream& out);

} // namespace quillmere
