// quillmere-batch study: the figures of many projects in one table, on
// every core of this machine or in shares on a cluster.
#pragma once

#include "batch/BatchCommand.h"

#include <string>

namespace quillmere {

// Writes the table or the part; BatchSuccess, BatchIncomplete when some
// project gave no figures, BatchFailure when the study cannot be done.
int RunStudyCommand(const StudyArguments& arguments, const std::string& configurationPath);

} // namespace quillmere
