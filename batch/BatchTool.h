// The headless command line: reports, node values, cuts, data tips,
// pictures, videos, studies and VTK files of projects, written to a stream.
#pragma once

#include "batch/BatchOutput.h"

#include <ostream>
#include <string>
#include <vector>

namespace quillmere {

// Runs one command line (without the program name). configurationPath is the
// configuration file whose system of units applies unless --units is given.
int RunBatch(const std::vector<std::string>& arguments, const std::string& configurationPath,
             std::ostream& out);

} // namespace quillmere
