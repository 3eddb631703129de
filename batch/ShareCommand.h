// quillmere-batch share: one web page of a project's results that any
// current browser opens from a double-click, with nothing else.
#pragma once

#include "batch/BatchCommand.h"

namespace quillmere {

// The page of the --records in the --quantity list (every quantity by
// default), in the units of --units; BatchFailure after a line when a record
// cannot be read or the page cannot be written.
int WriteShare(const BatchArguments& arguments, BatchProject& project);

} // namespace quillmere
