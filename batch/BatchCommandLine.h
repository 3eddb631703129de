// The command line of quillmere-batch: its commands with their options and
// help texts, and the one line that says why a command line is wrong.
#pragma once

#include "batch/BatchCommand.h"

#include <ostream>
#include <string>
#include <vector>

namespace quillmere {

enum class ParseOutcome { Run, Done, Wrong };

// Help and version go to out; a wrong command line is shown with its reason
// and the usage.
ParseOutcome ParseArguments(const std::vector<std::string>& arguments, BatchArguments& parsed,
                            std::ostream& out);

} // namespace quillmere
