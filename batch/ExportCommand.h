// quillmere-batch export, and the export dialog's rules for a target folder
// that the vtk command shares.
#pragma once

#include "batch/BatchCommand.h"

#include <ostream>
#include <string>

namespace quillmere {

// The export dialog's refusals of a target folder, with its messages; a
// missing folder is created when create is set.
bool AcceptTarget(const std::string& project, const std::string& target, bool create);

// Copies the project's files into folder as the export dialog does and
// prints the result; a refusal shows the dialog's message and copies nothing.
int ExportFiles(const std::string& project, const std::string& folder, bool withSolution, bool firstAndLast,
                bool create, std::ostream& out);

} // namespace quillmere
